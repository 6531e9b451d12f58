// Number-theoretic transforms for the fast product.
//
// Forward transforms are decimation in frequency (natural order in, bit-reversed out),
// the inverse is decimation in time (bit-reversed in, natural out), so no permutation
// pass is needed. Twiddles are multiplied with Shoup's precomputed quotients: for a
// constant w, q = floor(w × 2^32 / p) gives t × w mod p from one high product.
// Twiddle tables for level L (butterfly span L) hold w_{2L}^j, j < L, at offset L.
#include "core/ntt.h"

#include <cstring>
#include <memory>

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

// The twiddles of one prime, four arrays of storage_size entries in one block (block owns
// it): level L (butterfly span L) at offset L, built for L < tables_size.
struct Tables {
  uint32_t *fwd, *fwd_q, *inv, *inv_q;
  uint32_t *block;
};
Tables tables[2];
// The transforms' work: two buffers a prime of storage_size entries.
uint32_t *work_a[2], *work_b[2];
// Entries of every table and work buffer: grown to the longest transform so far (24 MiB
// in all at the largest), so a run that needs only short ones never maps more.
int storage_size = 0;
// n^−1 mod p (and its Shoup quotient, and as a Montgomery residue) for n = 2^k, per prime:
// kept with the tables so a short product pays no modular powering.
struct Scale {
  uint32_t inv, inv_q, mont, mont_q;
};
Scale scales[2][NTT_MAX_LOG + 1];
int tables_size = 1;    // the levels L < tables_size are built
bool use_avx2 = false;  // set with the first tables: the processor has AVX2

uint32_t shoup_quotient(uint32_t w, uint32_t p) { return (uint32_t)(((uint64_t)w << 32) / p); }

// Builds the twiddle levels up to transforms of size n (only those not built yet).
void build_tables(int n) {
  for (int k = 0; k < 2; ++k) {
    const uint32_t p = PRIMES[k].p;
    Tables &t = tables[k];
    for (int L = tables_size; L < n; L <<= 1) {
      const uint32_t w = pow_mod(PRIMES[k].g, (p - 1) / (2 * (uint64_t)L), p);
      const uint32_t wi = pow_mod(w, p - 2, p);
      uint64_t x = 1, y = 1;
      for (int j = 0; j < L; ++j) {
        t.fwd[L + j] = (uint32_t)x;
        t.fwd_q[L + j] = shoup_quotient((uint32_t)x, p);
        t.inv[L + j] = (uint32_t)y;
        t.inv_q[L + j] = shoup_quotient((uint32_t)y, p);
        x = x * w % p;
        y = y * wi % p;
      }
    }
  }
  if (tables_size == 1) {
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
  tables_size = n;
}

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

// Grows the tables and the work buffers to transforms of size n (a power of two), keeping
// the levels built; std::bad_alloc, with nothing changed, when the system cannot give the
// memory.
void reserve_storage(int n) {
  if (n <= storage_size) return;
  std::unique_ptr<uint32_t[]> blocks[2], work[2];
  for (int k = 0; k < 2; ++k) {
    blocks[k].reset(new uint32_t[4 * (size_t)n]);
    work[k].reset(new uint32_t[2 * (size_t)n]);
  }
  for (int k = 0; k < 2; ++k) {
    Tables &t = tables[k];
    uint32_t *b = blocks[k].get();
    uint32_t *const fresh[4] = {b, b + n, b + 2 * (size_t)n, b + 3 * (size_t)n};
    const uint32_t *const old[4] = {t.fwd, t.fwd_q, t.inv, t.inv_q};
    for (int a = 0; a < 4 && storage_size > 0; ++a)
      std::memcpy(fresh[a], old[a], sizeof(uint32_t) * (size_t)storage_size);
    delete[] t.block;
    t = Tables{fresh[0], fresh[1], fresh[2], fresh[3], blocks[k].release()};
    delete[] work_a[k];
    work_a[k] = work[k].release();
    work_b[k] = work_a[k] + n;
  }
  storage_size = n;
}
}  // namespace

namespace {

struct PrimeJob {
  int k, n, la, lb;
  const uint32_t *a, *b;
  bool square;
};

// The cyclic convolution of a and b modulo prime k, left in work_a[k][0 .. n).
void convolve_mod_prime(void *arg) {
  const PrimeJob &j = *(const PrimeJob *)arg;
  const uint32_t p = PRIMES[j.k].p;
  const int n = j.n;
  uint32_t *x = work_a[j.k], *y = work_b[j.k];
  std::memcpy(x, j.a, sizeof(uint32_t) * (size_t)j.la);
  std::memset(x + j.la, 0, sizeof(uint32_t) * (size_t)(n - j.la));
  forward(x, n, tables[j.k], p);
  if (j.square) {
    y = x;
  } else {
    std::memcpy(y, j.b, sizeof(uint32_t) * (size_t)j.lb);
    std::memset(y + j.lb, 0, sizeof(uint32_t) * (size_t)(n - j.lb));
    forward(y, n, tables[j.k], p);
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
  inverse(x, n, tables[j.k], p);
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
  int from, to;
};

void recombine(void *arg) {
  const CrtJob &c = *(const CrtJob *)arg;
  recombine_span(c.out + c.from, work_a[0] + c.from, work_a[1] + c.from, c.to - c.from);
}

}  // namespace

void ntt_convolve(uint64_t *out, const uint32_t *a, int la, const uint32_t *b, int lb) {
  const int len = la + lb - 1;
  int n = 1;
  while (n < len) n <<= 1;
  reserve_storage(n);
  if (n > tables_size) build_tables(n);
  const bool square = a == b && la == lb;
  PrimeJob jobs[2] = {{0, n, la, lb, a, b, square}, {1, n, la, lb, a, b, square}};
  if (n >= NTT_PARALLEL_MIN) {
    run_two(convolve_mod_prime, &jobs[0], convolve_mod_prime, &jobs[1]);
  } else {
    convolve_mod_prime(&jobs[0]);
    convolve_mod_prime(&jobs[1]);
  }
  CrtJob halves[2] = {{out, 0, len / 2}, {out, len / 2, len}};
  if (n >= NTT_PARALLEL_MIN) {
    run_two(recombine, &halves[0], recombine, &halves[1]);
  } else {
    recombine(&halves[0]);
    recombine(&halves[1]);
  }
}
