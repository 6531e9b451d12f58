// Number-theoretic transforms for the fast product.
//
// Forward transforms are decimation in frequency (natural order in, bit-reversed out),
// the inverse is decimation in time (bit-reversed in, natural out), so no permutation
// pass is needed. Twiddles are multiplied with Shoup's precomputed quotients: for a
// constant w, q = floor(w × 2^32 / p) gives t × w mod p from one high product.
// Twiddle tables for level L (butterfly span L) hold w_{2L}^j, j < L, at offset L.
#include "core/ntt.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>

#include "core/cancel.h"
#include "core/parallel.h"
#include "core/ntt_butterflies.h"

namespace {

struct Prime {
  uint32_t p;
  uint32_t g;  // primitive root
};
constexpr Prime PRIMES[2] = {{998244353u, 3u}, {469762049u, 3u}};

uint32_t pow_mod(uint32_t b, uint64_t e, uint32_t p) {
  uint64_t r = 1, x = b;
  while (e) {
    if (e & 1) r = r * x % p;
    x = x * x % p;
    e >>= 1;
  }
  return (uint32_t)r;
}

// The twiddles of one prime for transforms up to `size`: four arrays of `size` entries in
// one block, level L (butterfly span L) at offset L.
struct Tables {
  uint32_t *fwd, *fwd_q, *inv, *inv_q;
  int size;
};
// The tables in use, one per prime. They are made at the first transform and made anew,
// larger, when a longer one comes (so a run that needs only short transforms never maps
// more: at most 8 MiB a prime at the longest). A table once published is never changed
// or freed, since the other thread may be reading it: the levels it has are copied into
// the larger one, and the smaller stays (all of them together are smaller than the
// largest).
std::atomic<const Tables *> tables[2];
// The tables replaced by larger ones, kept (and reachable) for the life of the process:
// one per size at most, per prime.
const Tables *retired[2][NTT_MAX_LOG + 1];
int retired_count = 0;
// n^−1 mod p (and its Shoup quotient, and as a Montgomery residue) for n = 2^k, per prime:
// kept with the tables so a short product pays no modular powering.
struct Scale {
  uint32_t inv, inv_q, mont, mont_q;
};
Scale scales[2][NTT_MAX_LOG + 1];
// The levels L < tables_size are built. Two threads may transform at once (the pool's
// caller and helper): tables are only ever made, under tables_mutex, and published by the
// release stores of tables and tables_size, so a reader that has seen a size reads a
// table of at least that size with finished levels.
std::atomic<int> tables_size{1};
std::mutex tables_mutex;
bool use_avx2 = false;  // set with the first tables: the processor has AVX2

uint32_t shoup_quotient(uint32_t w, uint32_t p) { return (uint32_t)(((uint64_t)w << 32) / p); }

// a mod p for a < 2^62 by Barrett reduction with m = floor(2^64 / p).
inline uint32_t reduce(uint64_t a, uint64_t m, uint32_t p) {
  uint64_t q = (uint64_t)(((unsigned __int128)a * m) >> 64);
  uint64_t r = a - q * p;
  return (uint32_t)(r >= p ? r - p : r);
}

// t × w mod p for t < 2p, with wq = shoup_quotient(w): a result below 2p.
inline uint32_t mul_shoup(uint32_t t, uint32_t w, uint32_t wq, uint32_t p) {
  uint32_t q = (uint32_t)(((uint64_t)t * wq) >> 32);
  return t * w - q * p;
}

// Builds the twiddle levels up to transforms of size n (only those not built yet). The
// top level by the recurrence x ← x w (Shoup's product, no division), each level below by
// taking every other entry of the one above (w_2L^j = w_4L^2j), and the quotients by a
// double-precision estimate that one correction step makes exact.
// std::bad_alloc, with nothing changed, when the system cannot give the memory.
void build_tables(int n) {
  std::lock_guard<std::mutex> lock(tables_mutex);
  const int built = tables_size.load(std::memory_order_relaxed);
  if (n <= built) return;
  const int top = n >> 1;
  Tables made[2];
  std::unique_ptr<uint32_t[]> blocks[2];
  for (int k = 0; k < 2; ++k) {
    blocks[k].reset(new uint32_t[4 * (size_t)n]);
    uint32_t *b = blocks[k].get();
    made[k] = Tables{b, b + n, b + 2 * (size_t)n, b + 3 * (size_t)n, n};
    if (const Tables *old = tables[k].load(std::memory_order_relaxed)) {
      std::memcpy(made[k].fwd, old->fwd, sizeof(uint32_t) * (size_t)built);
      std::memcpy(made[k].fwd_q, old->fwd_q, sizeof(uint32_t) * (size_t)built);
      std::memcpy(made[k].inv, old->inv, sizeof(uint32_t) * (size_t)built);
      std::memcpy(made[k].inv_q, old->inv_q, sizeof(uint32_t) * (size_t)built);
    }
  }
  for (int k = 0; k < 2; ++k) {
    const uint32_t p = PRIMES[k].p;
    const double scale = 4294967296.0 / p;
    const auto quotient = [&](uint32_t w) {
      const uint64_t num = (uint64_t)w << 32;
      uint64_t q = (uint64_t)((double)w * scale);  // within one of floor(num / p)
      if (q * p > num) --q;
      if (num - q * p >= p) ++q;
      return (uint32_t)q;
    };
    Tables &t = made[k];
    const uint32_t w = pow_mod(PRIMES[k].g, (p - 1) / (2 * (uint64_t)top), p);
    const uint32_t wi = pow_mod(w, p - 2, p);
    const uint32_t wq = shoup_quotient(w, p), wiq = shoup_quotient(wi, p);
    uint32_t x = 1, y = 1;
    for (int j = 0; j < top; ++j) {
      t.fwd[top + j] = x;
      t.fwd_q[top + j] = quotient(x);
      t.inv[top + j] = y;
      t.inv_q[top + j] = quotient(y);
      x = mul_shoup(x, w, wq, p);
      x = x >= p ? x - p : x;
      y = mul_shoup(y, wi, wiq, p);
      y = y >= p ? y - p : y;
    }
    for (int L = top >> 1; L >= built; L >>= 1) {
      for (int j = 0; j < L; ++j) {
        t.fwd[L + j] = t.fwd[2 * L + 2 * j];
        t.fwd_q[L + j] = t.fwd_q[2 * L + 2 * j];
        t.inv[L + j] = t.inv[2 * L + 2 * j];
        t.inv_q[L + j] = t.inv_q[2 * L + 2 * j];
      }
    }
  }
  if (built == 1) {
    use_avx2 = ntt_have_avx2();
    for (int k = 0; k < 2; ++k) {
      const uint32_t p = PRIMES[k].p;
      for (int lg = 0; lg <= NTT_MAX_LOG; ++lg) {
        Scale &s = scales[k][lg];
        s.inv = pow_mod((uint32_t)1 << lg, p - 2, p);
        s.inv_q = shoup_quotient(s.inv, p);
        s.mont = (uint32_t)(((uint64_t)s.inv << 32) % p);
        s.mont_q = shoup_quotient(s.mont, p);
      }
    }
  }
  for (int k = 0; k < 2; ++k) {
    blocks[k].release();  // kept for the life of the process (see tables)
    const Tables *old = tables[k].exchange(new Tables(made[k]), std::memory_order_acq_rel);
    if (old != nullptr) retired[k][retired_count] = old;
  }
  if (retired[0][retired_count] != nullptr) ++retired_count;
  tables_size.store(n, std::memory_order_release);
}

void forward(uint32_t *a, int n, const Tables &t, uint32_t p) {
  for (int L = n >> 1; L >= 1; L >>= 1) {
    cancel_check();
    if (use_avx2 && L >= 16) {
      // Spans L and L / 2 in one pass.
      const int M = L >> 1;
      for (int i = 0; i < n; i += 2 * L) ntt_dif_pair_avx2(a + i, M, t.fwd + L, t.fwd_q + L, t.fwd + M, t.fwd_q + M, p);
      L = M;
      continue;
    }
    const uint32_t *w = t.fwd + L, *wq = t.fwd_q + L;
    if (use_avx2 && L < 8 && n >= 16) {
      ntt_dif_small_avx2(a, n, L, w, wq, p);
      continue;
    }
    for (int i = 0; i < n; i += 2 * L) {
      uint32_t *x = a + i, *y = a + i + L;
      if (use_avx2 && L >= 8) {
        ntt_dif_span_avx2(x, y, w, wq, L, p);
        continue;
      }
      for (int j = 0; j < L; ++j) {
        uint32_t u = x[j], v = y[j];
        uint32_t s = u + v;
        x[j] = s >= p ? s - p : s;
        uint32_t r = mul_shoup(u - v + p, w[j], wq[j], p);
        y[j] = r >= p ? r - p : r;
      }
    }
  }
}

void inverse(uint32_t *a, int n, const Tables &t, uint32_t p) {
  for (int L = 1; L < n; L <<= 1) {
    cancel_check();
    if (use_avx2 && L >= 8 && 2 * L < n) {
      // Spans L and 2L in one pass.
      for (int i = 0; i < n; i += 4 * L) ntt_dit_pair_avx2(a + i, L, t.inv + L, t.inv_q + L, t.inv + 2 * L, t.inv_q + 2 * L, p);
      L <<= 1;
      continue;
    }
    const uint32_t *w = t.inv + L, *wq = t.inv_q + L;
    if (use_avx2 && L < 8 && n >= 16) {
      ntt_dit_small_avx2(a, n, L, w, wq, p);
      continue;
    }
    for (int i = 0; i < n; i += 2 * L) {
      uint32_t *x = a + i, *y = a + i + L;
      if (use_avx2 && L >= 8) {
        ntt_dit_span_avx2(x, y, w, wq, L, p);
        continue;
      }
      for (int j = 0; j < L; ++j) {
        uint32_t u = x[j];
        uint32_t v = mul_shoup(y[j], w[j], wq[j], p);
        v = v >= p ? v - p : v;
        uint32_t s = u + v;
        x[j] = s >= p ? s - p : s;
        y[j] = u >= v ? u - v : u - v + p;
      }
    }
  }
}

// Work buffers per pool slot (the caller's thread and the helper may each run a product)
// and per prime: a[k], b[k] of `size` entries each, grown to the longest transform the
// slot has run. Only the thread of a slot grows its buffers, before it hands a prime to
// the other thread.
struct Work {
  uint32_t *a[2] = {}, *b[2] = {};
  int size = 0;
  std::unique_ptr<uint32_t[]> block;
  // std::bad_alloc, with the buffers unchanged, when the system cannot give the memory.
  void reserve(int n) {
    if (n <= size) return;
    std::unique_ptr<uint32_t[]> fresh(new uint32_t[4 * (size_t)n]);
    for (int k = 0; k < 2; ++k) {
      a[k] = fresh.get() + (size_t)(2 * k) * n;
      b[k] = a[k] + n;
    }
    block = std::move(fresh);
    size = n;
  }
};
Work work[2];

}  // namespace

namespace {

struct PrimeJob {
  int k, n, la, lb;
  const uint32_t *a, *b;
  bool square;
  uint32_t *x, *y;  // the work buffers of this prime
};

// The cyclic convolution of a and b modulo prime k, left in j.x[0 .. n).
void convolve_mod_prime(void *arg) {
  const PrimeJob &j = *(const PrimeJob *)arg;
  const uint32_t p = PRIMES[j.k].p;
  const int n = j.n;
  uint32_t *x = j.x, *y = j.y;
  std::memcpy(x, j.a, sizeof(uint32_t) * (size_t)j.la);
  std::memset(x + j.la, 0, sizeof(uint32_t) * (size_t)(n - j.la));
  const Tables &t = *tables[j.k].load(std::memory_order_acquire);
  forward(x, n, t, p);
  if (j.square) {
    y = x;
  } else {
    std::memcpy(y, j.b, sizeof(uint32_t) * (size_t)j.lb);
    std::memset(y + j.lb, 0, sizeof(uint32_t) * (size_t)(n - j.lb));
    forward(y, n, t, p);
  }
  const Scale &sc = scales[j.k][__builtin_ctz((unsigned)n)];
  const uint32_t scale = sc.inv, scale_q = sc.inv_q;
  if (use_avx2 && n >= 8) {
    // Montgomery's product leaves a factor 2^−32, which the scale takes back.
    uint32_t neg_inv = 1;
    for (int b = 0; b < 5; ++b) neg_inv *= 2 - p * neg_inv;  // p^−1 mod 2^32 by Newton
    neg_inv = 0u - neg_inv;
    ntt_pointwise_avx2(x, y, n, p, neg_inv, sc.mont, sc.mont_q);
  } else {
    const uint64_t m = ~(uint64_t)0 / p;
    for (int i = 0; i < n; ++i) {
      uint32_t v = mul_shoup(reduce((uint64_t)x[i] * y[i], m, p), scale, scale_q, p);
      x[i] = v >= p ? v - p : v;
    }
  }
  inverse(x, n, t, p);
}

// Chinese remainder for the columns [from, to): v = r0 + p0 × ((r1 − r0) × p0^−1 mod p1).
// Branch-free, so the loop vectorises; compiled twice, the AVX2 copy chosen at run time.
constexpr uint32_t CRT_P0 = PRIMES[0].p, CRT_P1 = PRIMES[1].p;
constexpr uint32_t CRT_P0_INV = 208783132u;  // p0^−1 mod p1
constexpr uint32_t CRT_P0_INV_Q = (uint32_t)(((uint64_t)CRT_P0_INV << 32) / CRT_P1);
static_assert((uint64_t)CRT_P0 % CRT_P1 * CRT_P0_INV % CRT_P1 == 1, "p0^−1 mod p1");

// The loop itself, inlined into a portable and an AVX2 copy.
__attribute__((always_inline)) inline void recombine_loop(uint64_t *__restrict out,
                                                          const uint32_t *__restrict x0,
                                                          const uint32_t *__restrict x1, int len) {
  for (int i = 0; i < len; ++i) {
    const uint32_t r0 = x0[i], r1 = x1[i];
    uint32_t r0m = r0 >= CRT_P1 ? r0 - CRT_P1 : r0;  // r0 < p0 < 3 p1
    r0m = r0m >= CRT_P1 ? r0m - CRT_P1 : r0m;
    const uint32_t diff = r1 + CRT_P1 - r0m;  // < 2 p1
    const uint32_t q = (uint32_t)(((uint64_t)diff * CRT_P0_INV_Q) >> 32);
    uint32_t h = diff * CRT_P0_INV - q * CRT_P1;  // < 2 p1
    h = h >= CRT_P1 ? h - CRT_P1 : h;
    out[i] = r0 + (uint64_t)CRT_P0 * h;
  }
}

void recombine_portable(uint64_t *out, const uint32_t *x0, const uint32_t *x1, int len) {
  recombine_loop(out, x0, x1, len);
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void recombine_avx2(uint64_t *out, const uint32_t *x0, const uint32_t *x1,
                                                    int len) {
  recombine_loop(out, x0, x1, len);
}
#endif

void recombine_span(uint64_t *out, const uint32_t *x0, const uint32_t *x1, int len) {
#if defined(__x86_64__) && defined(__GNUC__)
  if (use_avx2) {
    recombine_avx2(out, x0, x1, len);
    return;
  }
#endif
  recombine_portable(out, x0, x1, len);
}

struct CrtJob {
  uint64_t *out;
  const uint32_t *x0, *x1;
  int from, to;
};

void recombine(void *arg) {
  const CrtJob &c = *(const CrtJob *)arg;
  recombine_span(c.out + c.from, c.x0 + c.from, c.x1 + c.from, c.to - c.from);
}

}  // namespace

void ntt_convolve(uint64_t *out, const uint32_t *a, int la, const uint32_t *b, int lb) {
  const int len = la + lb - 1;
  int n = 1;
  while (n < len) n <<= 1;
  if (n > tables_size.load(std::memory_order_acquire)) build_tables(n);
  const bool square = a == b && la == lb;
  Work &w = work[parallel_slot()];
  w.reserve(n);
  PrimeJob jobs[2] = {{0, n, la, lb, a, b, square, w.a[0], w.b[0]}, {1, n, la, lb, a, b, square, w.a[1], w.b[1]}};
  if (n >= NTT_PARALLEL_MIN) {
    run_two(convolve_mod_prime, &jobs[0], convolve_mod_prime, &jobs[1]);
  } else {
    convolve_mod_prime(&jobs[0]);
    convolve_mod_prime(&jobs[1]);
  }
  CrtJob halves[2] = {{out, w.a[0], w.a[1], 0, len / 2}, {out, w.a[0], w.a[1], len / 2, len}};
  if (n >= NTT_PARALLEL_MIN) {
    run_two(recombine, &halves[0], recombine, &halves[1]);
  } else {
    recombine(&halves[0]);
    recombine(&halves[1]);
  }
}
