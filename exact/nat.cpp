#include "exact/nat.h"

#include <cmath>
#include <cstring>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "core/cancel.h"
#include "core/ntt.h"

namespace exact {

namespace {

constexpr uint64_t B64 = BASE;
// Products: schoolbook below MUL_KARATSUBA_MIN limbs in the shorter operand; above, Karatsuba
// or the transforms, whichever the cost model below expects to be faster.
constexpr int MUL_KARATSUBA_MIN = 160;
// Karatsuba's uncarried sums grow the limbs by a bit per level: at most this many limbs in
// the shorter operand (seven levels) keep every column below 2^64 (the cost model never
// gets near it).
constexpr int MUL_KARATSUBA_MAX = MUL_KARATSUBA_MIN << 7;
// Products' tops (nat_mul_top) by a partial schoolbook up to this many limbs in the shorter
// operand.
constexpr int MUL_TOP_SCHOOL_MAX = 300;
// Products by a factor m ≤ this many run on 64-bit words (limb × m + carry < 2^64): every
// factor of two limbs (below BASE²) is one.
constexpr uint64_t MUL_WORD_64_MAX = (~(uint64_t)0 - BASE) / (BASE + 1);
static_assert(MUL_WORD_64_MAX >= (uint64_t)BASE * BASE, "two-limb factors take one pass");
// Products whose shorter operand has at most this many limbs (and the longer at most
// MUL_SMALL_LONG_MAX) run by a plain scalar schoolbook on the stack: below these sizes
// the vector kernel's setup costs more than its products.
constexpr int MUL_SMALL_MAX = 8;
constexpr int MUL_SMALL_LONG_MAX = 24;
// Divisors (and quotients) below this many limbs run by schoolbook long division.
constexpr int DIV_SCHOOL_MAX = 20;
// Quotients of up to this many limbs (by divisors of up to twice as many) run by long
// division in chunks of about DIV_CHUNK_LIMBS limbs, each estimated from one short
// reciprocal of the divisor's top; longer ones by a Newton reciprocal of their whole
// length, whose products reach the transforms (measured: 800 / 400 limbs 72,000 cycles
// against 115,000; 2,000 / 1,000 limbs 496,000 against 311,000).
constexpr int DIV_CHUNK_MAX = 700;
constexpr int DIV_CHUNK_LIMBS = 64;
// Transform pieces: each is at most half the longest transform, so a piece product fits.
constexpr int MUL_PIECE_MAX = NTT_MAX_SIZE / 2;

// limbs not zeroed, n = limbs: for results every limb of which is written.
Nat alloc_unset(int limbs) {
  Nat a;
  a.d = arena_alloc((size_t)(limbs > 0 ? limbs : 1));
  a.n = limbs;
  return a;
}

uint64_t pow10_u64(int k) {
  uint64_t p = 1;
  while (k-- > 0) p *= 10;
  return p;
}

// Writes the limbs of column sums (each < 2^64) into out.d[0 .. len + 2), which must have
// room for the value. Each column splits into three limbs on its own (its top limb is below
// 2^64 / BASE^2 < 2^25), so the divisions run side by side; the carry from position to
// position then stays small and its chain is one 32-bit division by a constant per limb.
void carry_columns(Nat &out, const uint64_t *col, int len) {
  uint32_t carry = 0, mid_prev = 0, top_prev = 0, top_prev2 = 0;
  int i = 0;
  for (; i < len; ++i) {
    if ((i & 8191) == 8191) cancel_check();
    const uint64_t x = col[i], q = x / B64;
    const uint32_t low = (uint32_t)(x - q * B64), top = (uint32_t)(q / B64);
    const uint32_t mid = (uint32_t)(q - (uint64_t)top * B64);
    const uint32_t t = low + mid_prev + top_prev2 + carry;  // < 3 BASE + 2^25 + carry
    carry = t / BASE;
    out.d[i] = t - carry * BASE;
    top_prev2 = top_prev;
    top_prev = top;
    mid_prev = mid;
  }
  while (carry || mid_prev || top_prev || top_prev2) {
    const uint32_t t = mid_prev + top_prev2 + carry;
    carry = t / BASE;
    out.d[i++] = t - carry * BASE;
    top_prev2 = top_prev;
    top_prev = 0;
    mid_prev = 0;
  }
  out.n = i;
  nat_trim(out);
}

// col[from .. ns + nl − 1) = those column sums of s × l (limbs below 2^32; every column sum
// must stay below 2^64). The portable loop takes four rows per pass.
void mul_school_portable(uint64_t *__restrict col, const uint32_t *s, int ns, const uint32_t *l, int nl,
                         int from) {
  std::memset(col + from, 0, sizeof(uint64_t) * (size_t)(ns + nl - 1 - from));
  Frame f;
  uint32_t *__restrict lp = arena_alloc((size_t)nl + 6) + 3;  // l with three zeros each side
  for (int j = -3; j < 0; ++j) lp[j] = lp[nl + 3 + j] = 0;
  std::memcpy(lp, l, sizeof(uint32_t) * (size_t)nl);
  int i = 0;
  for (; i + 3 < ns; i += 4) {
    const uint64_t s0 = s[i], s1 = s[i + 1], s2 = s[i + 2], s3 = s[i + 3];
    uint64_t *__restrict c = col + i;
    for (int j = from > i ? from - i : 0; j < nl + 3; ++j)
      c[j] += s0 * (uint64_t)lp[j] + s1 * (uint64_t)lp[j - 1] + s2 * (uint64_t)lp[j - 2] +
              s3 * (uint64_t)lp[j - 3];
  }
  for (; i < ns; ++i) {
    const uint64_t si = s[i];
    uint64_t *__restrict c = col + i;
    for (int j = from > i ? from - i : 0; j < nl; ++j) c[j] += si * (uint64_t)lp[j];
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same with AVX2: eight rows per pass, four columns per vector, over a copy of l widened
// to 64-bit lanes (seven zeros each side) so every product is one vpmuludq.
__attribute__((target("avx2"))) void mul_school_avx2(uint64_t *__restrict col, const uint32_t *s, int ns,
                                                     const uint32_t *l, int nl, int from) {
  std::memset(col + from, 0, sizeof(uint64_t) * (size_t)(ns + nl - 1 - from));
  Frame f;
  uint64_t *lp = (uint64_t *)arena_alloc(2 * ((size_t)nl + 14)) + 7;
  for (int j = -7; j < 0; ++j) lp[j] = lp[nl + 7 + j] = 0;
  for (int j = 0; j < nl; ++j) lp[j] = l[j];
  int i = 0;
  for (; i + 7 < ns; i += 8) {
    __m256i S[8];
    for (int r = 0; r < 8; ++r) S[r] = _mm256_set1_epi64x((long long)s[i + r]);
    uint64_t *c = col + i;
    const int width = nl + 7;  // columns c[0 .. width) receive these rows' products
    int j = from > i ? from - i : 0;
    for (; j + 4 <= width; j += 4) {
      __m256i acc = _mm256_loadu_si256((const __m256i *)(c + j));
      __m256i acc2 = _mm256_mul_epu32(S[0], _mm256_loadu_si256((const __m256i *)(lp + j)));
      acc = _mm256_add_epi64(acc, _mm256_mul_epu32(S[1], _mm256_loadu_si256((const __m256i *)(lp + j - 1))));
      acc2 = _mm256_add_epi64(acc2, _mm256_mul_epu32(S[2], _mm256_loadu_si256((const __m256i *)(lp + j - 2))));
      acc = _mm256_add_epi64(acc, _mm256_mul_epu32(S[3], _mm256_loadu_si256((const __m256i *)(lp + j - 3))));
      acc2 = _mm256_add_epi64(acc2, _mm256_mul_epu32(S[4], _mm256_loadu_si256((const __m256i *)(lp + j - 4))));
      acc = _mm256_add_epi64(acc, _mm256_mul_epu32(S[5], _mm256_loadu_si256((const __m256i *)(lp + j - 5))));
      acc2 = _mm256_add_epi64(acc2, _mm256_mul_epu32(S[6], _mm256_loadu_si256((const __m256i *)(lp + j - 6))));
      acc = _mm256_add_epi64(acc, _mm256_mul_epu32(S[7], _mm256_loadu_si256((const __m256i *)(lp + j - 7))));
      _mm256_storeu_si256((__m256i *)(c + j), _mm256_add_epi64(acc, acc2));
    }
    for (; j < width; ++j) {
      uint64_t t = 0;
      for (int r = 0; r < 8; ++r) t += (uint64_t)s[i + r] * lp[j - r];
      c[j] += t;
    }
  }
  for (; i < ns; ++i) {
    const __m256i si = _mm256_set1_epi64x((long long)s[i]);
    uint64_t *c = col + i;
    int j = from > i ? from - i : 0;
    for (; j + 4 <= nl; j += 4) {
      const __m256i v = _mm256_mul_epu32(si, _mm256_loadu_si256((const __m256i *)(lp + j)));
      _mm256_storeu_si256((__m256i *)(c + j), _mm256_add_epi64(_mm256_loadu_si256((const __m256i *)(c + j)), v));
    }
    for (; j < nl; ++j) c[j] += (uint64_t)s[i] * lp[j];
  }
}

const bool school_has_avx2 = __builtin_cpu_supports("avx2");

// The columns from `from` on (0 ≤ from < ns + nl − 1); the ones below are left unset.
void mul_school(uint64_t *col, const uint32_t *s, int ns, const uint32_t *l, int nl, int from = 0) {
  if (school_has_avx2)
    mul_school_avx2(col, s, ns, l, nl, from);
  else
    mul_school_portable(col, s, ns, l, nl, from);
}
#else
void mul_school(uint64_t *col, const uint32_t *s, int ns, const uint32_t *l, int nl, int from = 0) {
  mul_school_portable(col, s, ns, l, nl, from);
}
#endif

void mul_columns(uint64_t *col, const uint32_t *a, int na, const uint32_t *b, int nb);

// Karatsuba's step for two n-limb operands: three half-length products instead of four.
// The halves' sums are not carried (each level adds a bit to the limbs), which keeps every
// column sum exact in 64 bits for the few levels between schoolbook and transforms.
void mul_karatsuba(uint64_t *col, const uint32_t *a, const uint32_t *b, int n) {
  const int h = n / 2, k = n - h;
  Frame f;
  uint32_t *sa = arena_alloc((size_t)k), *sb = a == b ? sa : arena_alloc((size_t)k);
  uint64_t *mid = (uint64_t *)arena_alloc(2 * (size_t)(2 * k));
  for (int i = 0; i < k; ++i) sa[i] = a[h + i] + (i < h ? a[i] : 0);
  if (a != b)
    for (int i = 0; i < k; ++i) sb[i] = b[h + i] + (i < h ? b[i] : 0);
  mul_columns(col, a, h, b, h);
  col[2 * h - 1] = 0;
  mul_columns(col + 2 * h, a + h, k, b + h, k);
  mul_columns(mid, sa, k, sb, k);
  for (int i = 0; i < 2 * h - 1; ++i) mid[i] -= col[i];
  for (int i = 0; i < 2 * k - 1; ++i) mid[i] -= col[2 * h + i];
  for (int i = 0; i < 2 * k - 1; ++i) col[h + i] += mid[i];
}

// col[0 .. na + nb − 1) = the column sums of a × b below the transforms' range.
void mul_columns(uint64_t *col, const uint32_t *a, int na, const uint32_t *b, int nb) {
  if (na < nb) {
    std::swap(a, b);
    std::swap(na, nb);
  }
  if (nb < MUL_KARATSUBA_MIN) {
    mul_school(col, b, nb, a, na);
  } else if (na == nb) {
    mul_karatsuba(col, a, b, na);
  } else {
    // Unbalanced: nb-limb pieces of a, each against b.
    Frame f;
    uint64_t *piece = (uint64_t *)arena_alloc(2 * (size_t)(2 * nb));
    std::memset(col, 0, sizeof(uint64_t) * (size_t)(na + nb - 1));
    for (int i = 0; i < na; i += nb) {
      const int li = na - i < nb ? na - i : nb;
      mul_columns(piece, a + i, li, b, nb);
      for (int j = 0; j < li + nb - 1; ++j) col[i + j] += piece[j];
    }
  }
}

// Adds the product of a's limbs [a0, a0 + la) and b's [b0, b0 + lb) into col at a0 + b0.
void mul_piece(uint64_t *col, uint64_t *tmp, const Nat &a, int a0, int la, const Nat &b, int b0,
               int lb, bool square) {
  const uint32_t *pa = a.d + a0, *pb = square ? pa : b.d + b0;
  ntt_convolve(tmp, pa, la, pb, lb);
  uint64_t *c = col + a0 + b0;
  for (int i = 0; i < la + lb - 1; ++i) c[i] += tmp[i];
}

// Whether the transforms beat Karatsuba for na × nb limbs (na ≥ nb ≥ MUL_KARATSUBA_MIN).
// Timings of both kernels fit t_ntt ≈ 1.17 N log2 N (N the transform size, a power of two)
// and t_kar ≈ 0.78 n^1.585 per balanced n × n piece, in the same unit.
bool transform_pays(int na, int nb) {
  int lg = 0;
  while ((1 << lg) < na + nb - 1) ++lg;
  const double t_ntt = 1.17 * (double)(1 << lg) * lg;
  const double t_kar = 0.78 * std::pow((double)nb, 1.585) * std::ceil((double)na / nb);
  return t_ntt < t_kar;
}

// s × l for s.n ≤ MUL_SMALL_MAX ≤ l.n ≤ MUL_SMALL_LONG_MAX: column sums on the stack
// (each below MUL_SMALL_MAX BASE² < 2^43), carried limb by limb.
Nat mul_small(const Nat &s, const Nat &l) {
  uint64_t col[MUL_SMALL_MAX + MUL_SMALL_LONG_MAX] = {};
  for (int i = 0; i < s.n; ++i) {
    const uint64_t si = s.d[i];
    for (int j = 0; j < l.n; ++j) col[i + j] += si * l.d[j];
  }
  const int len = s.n + l.n - 1;
  Nat out = alloc_unset(len + 1);
  uint64_t carry = 0;
  for (int k = 0; k < len; ++k) {
    const uint64_t t = col[k] + carry;
    carry = t / B64;
    out.d[k] = (uint32_t)(t - carry * B64);
  }
  out.d[len] = (uint32_t)carry;  // below BASE: the product has at most len + 1 limbs
  out.n = len + 1;
  nat_trim(out);
  return out;
}

Nat mul_impl(const Nat &a, const Nat &b, bool square) {
  if (a.n == 0 || b.n == 0) return Nat{};
  if (a.n == 1 || b.n == 1) return a.n == 1 ? nat_mul_u64(b, a.d[0]) : nat_mul_u64(a, b.d[0]);
  if (a.n == 2 || b.n == 2) {
    const Nat &l = a.n == 2 ? b : a, &s = a.n == 2 ? a : b;
    return nat_mul_u64(l, s.d[0] + B64 * s.d[1]);
  }
  {
    const Nat &s = a.n <= b.n ? a : b, &l = a.n <= b.n ? b : a;
    if (s.n <= MUL_SMALL_MAX && l.n <= MUL_SMALL_LONG_MAX) return mul_small(s, l);
  }
  Nat out = alloc_unset(a.n + b.n + 2);
  Frame f;
  uint64_t *col = (uint64_t *)arena_alloc(2 * (size_t)(a.n + b.n + 2));
  const int ls = a.n < b.n ? a.n : b.n;
  const int ll = a.n < b.n ? b.n : a.n;
  if (ls < MUL_KARATSUBA_MIN ||
      (ls <= MUL_KARATSUBA_MAX && ll + ls - 1 <= NTT_MAX_SIZE && !transform_pays(ll, ls))) {
    mul_columns(col, a.d, a.n, square ? a.d : b.d, b.n);
  } else if (a.n + b.n - 1 <= NTT_MAX_SIZE && ls <= MUL_PIECE_MAX) {
    ntt_convolve(col, a.d, a.n, square ? a.d : b.d, b.n);
  } else {
    // Long or unbalanced: pieces of the longer operand against pieces of the shorter.
    std::memset(col, 0, sizeof(uint64_t) * (size_t)(a.n + b.n));
    const Nat &l = a.n >= b.n ? a : b, &s = a.n >= b.n ? b : a;
    const int ps = s.n < MUL_PIECE_MAX ? s.n : MUL_PIECE_MAX;
    int pl = ps < MUL_PIECE_MAX ? ps : MUL_PIECE_MAX;
    if (pl < 1024) pl = 1024;
    uint64_t *tmp = (uint64_t *)arena_alloc(2 * (size_t)(pl + ps));
    for (int i = 0; i < l.n; i += pl) {
      const int li = l.n - i < pl ? l.n - i : pl;
      for (int j = 0; j < s.n; j += ps) {
        const int sj = s.n - j < ps ? s.n - j : ps;
        mul_piece(col, tmp, l, i, li, s, j, sj, false);
      }
    }
  }
  carry_columns(out, col, a.n + b.n - 1);
  return out;
}

// Knuth's long division, base 10^6; b.n ≥ 2, a ≥ b. q and r optional.
void divmod_school(const Nat &a, const Nat &b, Nat *q, Nat *r) {
  const int n = b.n, m = a.n - b.n;
  const uint32_t f = BASE / (b.d[n - 1] + 1);
  Nat qn = nat_alloc(m + 1), rn = nat_alloc(n);
  {
    Frame fr;
    Nat u = nat_mul_small(a, f), v = nat_mul_small(b, f);
    int64_t *w = (int64_t *)arena_alloc(2 * (size_t)(a.n + 2));
    for (int i = 0; i < a.n + 2; ++i) w[i] = i < u.n ? u.d[i] : 0;
    const int64_t vt = v.d[n - 1], vs = v.d[n - 2];
    for (int j = m; j >= 0; --j) {
      if ((j & 255) == 0) cancel_check();
      int64_t num = w[j + n] * (int64_t)BASE + w[j + n - 1];
      int64_t qhat = num / vt, rhat = num % vt;
      while (qhat >= (int64_t)BASE || qhat * vs > rhat * (int64_t)BASE + w[j + n - 2]) {
        --qhat;
        rhat += vt;
        if (rhat >= (int64_t)BASE) break;
      }
      int64_t k = 0;
      for (int i = 0; i < n; ++i) {
        int64_t p = qhat * (int64_t)v.d[i];
        int64_t t = w[i + j] - k - p % (int64_t)BASE;
        int64_t hi = t < 0 ? (t - (int64_t)BASE + 1) / (int64_t)BASE : 0;  // floor(t / BASE)
        w[i + j] = t - hi * (int64_t)BASE;
        k = p / (int64_t)BASE - hi;
      }
      int64_t t = w[j + n] - k;
      w[j + n] = t;
      if (t < 0) {
        --qhat;
        int64_t c = 0;
        for (int i = 0; i < n; ++i) {
          int64_t s = w[i + j] + v.d[i] + c;
          c = s >= (int64_t)BASE;
          w[i + j] = c ? s - (int64_t)BASE : s;
        }
        w[j + n] += c;
      }
      qn.d[j] = (uint32_t)qhat;
    }
    for (int i = 0; i < n; ++i) rn.d[i] = (uint32_t)w[i];
  }
  nat_trim(qn);
  nat_trim(rn);
  if (q) *q = qn;
  if (r) {
    uint32_t rem;
    *r = nat_divmod_small(rn, f, &rem);
  }
}

// ≈ floor(BASE^(2t) / b) for b of exactly t limbs, within a few units.
Nat reciprocal(const Nat &b, int t) {
  if (t <= DIV_SCHOOL_MAX) {
    Nat one = nat_shift_limbs(nat_from_u64(1), 2 * (int64_t)t);
    Nat q;
    divmod_school(one, b, &q, nullptr);
    return q;
  }
  const int h = t / 2 + 2;
  Int x;
  {
    Frame f;
    Nat xh = reciprocal(nat_high_limbs(b, t - h), h);  // ≈ BASE^(2h) / b_h
    // X0 = xh BASE^(t−h); E = BASE^(2t) − b X0; X = X0 + floor(X0 E / BASE^(2t)).
    // Only E's top limbs count: dropping its L = t − 3 lowest (rounding toward −∞) moves
    // xh E / BASE^(t+h) by less than BASE^(L+1−t) = BASE^−2. So b xh is needed from limb
    // L − (t − h) = h − 3 on only: its top from there (nat_mul_top) is low by less than
    // 2 h BASE units of BASE^L, which moves the correction by less than
    // (2 h BASE + 1) xh / BASE^(h+3) < 2.02 h / BASE (xh < BASE^(h+1)): its floor by at
    // most one unit.
    const int drop = t - 3;
    const Nat bx_top = nat_mul_top(b, xh, h - 3);  // b xh BASE^(t−h) / BASE^drop
    Int e = int_sub(int_from(nat_shift_limbs(nat_from_u64(1), 2 * (int64_t)t - drop), false),
                    int_from(bx_top, false));
    Int corr = int_shift_floor(int_mul(int_from(xh, false), e), -(int64_t)(t + h - drop));
    x = int_add(int_from(nat_shift_limbs(xh, t - h), false), corr);
    f.keep({&x});
  }
  return x.m;
}

// a × BASE^e for e ≥ 0, floor(a / BASE^−e) for e < 0.
Nat scale_limbs(const Nat &a, int64_t e) {
  return e >= 0 ? nat_shift_limbs(a, e) : nat_high_limbs(a, (int)-e);
}

// r[0 .. n) −= p[0 .. pn) (pn ≤ n) in place; the borrow out of the top.
uint32_t limbs_sub_in_place(uint32_t *r, int n, const uint32_t *p, int pn) {
  uint32_t br = 0;
  int i = 0;
  for (; i < pn; ++i) {
    const uint32_t t = r[i] + BASE - p[i] - br;  // in (0, 2 BASE)
    br = t < BASE;
    r[i] = br ? t : t - BASE;
  }
  for (; i < n && br; ++i) {
    br = r[i] == 0;
    r[i] = br ? BASE - 1 : r[i] - 1;
  }
  return br;
}

// Whether r[0 .. n) ≥ b (n ≥ b.n).
bool limbs_at_least(const uint32_t *r, int n, const Nat &b) {
  for (int i = n - 1; i >= b.n; --i)
    if (r[i]) return true;
  for (int i = b.n - 1; i >= 0; --i)
    if (r[i] != b.d[i]) return r[i] > b.d[i];
  return true;
}

// Long division by chunks: a = q b + r for a ≥ b, b.n > DIV_SCHOOL_MAX, with k = a.n − b.n + 1
// quotient limbs. One reciprocal x ≈ BASE^(2t) / b_t of b's top t = s + 2 limbs (b padded
// with zero limbs when shorter) serves every chunk of s quotient limbs, from the top: with
// the remainder below b BASE^(pos + s) (true for a at the top), its chunk quotient
// q = floor(r / (b BASE^pos)) is below BASE^s, and the estimate floor(R x / BASE^(2t)),
// R = floor(r / BASE^(pos + b.n − t)), is within a few units of it (the truncations of r,
// b and x are relative BASE^(1−t) on a quotient below BASE^s). It is at most one above q
// (Newton's steps stay below the reciprocal, the top product in `reciprocal` adds at most
// one unit, and dropping b's low limbs raises the estimate by less than BASE^(s+1−t)), and
// that only when r / (b BASE^pos) lies that close below the next integer. The chunk's
// product is subtracted in place and the remainder corrected by subtracting b BASE^pos
// while it is at least that, which leaves it below b BASE^pos for the next chunk; a
// subtraction that goes below zero (the rare estimate one too many) makes the function
// return false, its result unwritten, and the caller divide by the Newton reciprocal
// instead. Cost: one s-limb reciprocal, k / s short estimates, and products s × b.n
// summing to one k × b.n product.
bool divmod_chunked(const Nat &a, const Nat &b, Nat *q_out, Nat *r_out) {
  const int k = a.n - b.n + 1;
  const int chunks = (k + DIV_CHUNK_LIMBS - 1) / DIV_CHUNK_LIMBS;
  const int s = (k + chunks - 1) / chunks, t = s + 2;
  Nat q = nat_alloc(k + 1);
  Nat r = alloc_unset(a.n + 1);
  std::memcpy(r.d, a.d, sizeof(uint32_t) * (size_t)a.n);
  r.d[a.n] = 0;
  {
    Frame f;
    const Nat x = reciprocal(scale_limbs(b, (int64_t)t - b.n), t);
    for (int hi = k; hi > 0;) {
      cancel_check();
      const int pos = hi > s ? hi - s : 0;
      Frame g;
      // r's limbs from pos on: below b BASE^(hi − pos) + … , at most b.n + s + 1 limbs.
      const int rn = std::min(a.n + 1 - pos, b.n + (hi - pos) + 1);
      Nat top{r.d + pos, rn};
      nat_trim(top);
      const Nat R = scale_limbs(top, (int64_t)t - b.n);
      Nat qc = nat_high_limbs(nat_mul_top(R, x, 2 * t - 2), 2);
      uint32_t *seg = r.d + pos;
      if (qc.n) {
        const Nat p = nat_mul(qc, b);
        if (p.n > rn || limbs_sub_in_place(seg, rn, p.d, p.n)) return false;  // one too many
      }
      while (limbs_at_least(seg, rn, b)) {
        limbs_sub_in_place(seg, rn, b.d, b.n);
        qc = nat_add_small(qc, 1);
      }
      if (qc.n) std::memcpy(q.d + pos, qc.d, sizeof(uint32_t) * (size_t)qc.n);
      hi = pos;
    }
  }
  nat_trim(q);
  r.n = b.n + 1 <= a.n + 1 ? b.n + 1 : a.n + 1;
  nat_trim(r);
  if (q_out) *q_out = q;
  if (r_out) *r_out = r;
  return true;
}

}  // namespace

// ---- making and reading -----------------------------------------------------------------
Nat nat_alloc(int limbs) {
  Nat a;
  a.d = arena_alloc((size_t)(limbs > 0 ? limbs : 1));
  std::memset(a.d, 0, sizeof(uint32_t) * (size_t)(limbs > 0 ? limbs : 1));
  a.n = limbs;
  return a;
}

void nat_trim(Nat &a) {
  while (a.n > 0 && a.d[a.n - 1] == 0) --a.n;
}

Nat nat_from_u64(uint64_t v) {
  Nat a = nat_alloc(4);
  int i = 0;
  while (v) {
    a.d[i++] = (uint32_t)(v % B64);
    v /= B64;
  }
  a.n = i;
  return a;
}

Nat nat_copy(const Nat &a) {
  Nat c = alloc_unset(a.n);
  if (a.n) std::memcpy(c.d, a.d, sizeof(uint32_t) * (size_t)a.n);
  return c;
}

uint64_t nat_to_u64(const Nat &a) {
  uint64_t v = 0;
  for (int i = a.n - 1; i >= 0; --i) v = v * B64 + a.d[i];
  return v;
}

int64_t nat_digits(const Nat &a) {
  if (a.n == 0) return 0;
  int64_t d = 6 * (int64_t)(a.n - 1);
  for (uint32_t t = a.d[a.n - 1]; t; t /= 10) ++d;
  return d;
}

double nat_log10(const Nat &a) {
  double top = 0;
  int used = 0;
  for (int i = a.n - 1; i >= 0 && used < 3; --i, ++used) top = top * 1e6 + a.d[i];
  return std::log10(top) + 6.0 * (a.n - used);
}

// ---- comparison, addition ---------------------------------------------------------------
int nat_cmp(const Nat &a, const Nat &b) {
  if (a.n != b.n) return a.n > b.n ? 1 : -1;
  for (int i = a.n - 1; i >= 0; --i)
    if (a.d[i] != b.d[i]) return a.d[i] > b.d[i] ? 1 : -1;
  return 0;
}

Nat nat_add(const Nat &a, const Nat &b) {
  const Nat &l = a.n >= b.n ? a : b, &s = a.n >= b.n ? b : a;
  Nat out;
  out.d = arena_alloc((size_t)l.n + 1);
  uint32_t c = 0;
  int i = 0;
  for (; i < s.n; ++i) {
    const uint32_t t = l.d[i] + s.d[i] + c;
    c = t >= BASE;
    out.d[i] = t - c * BASE;
  }
  for (; i < l.n && c; ++i) {
    const uint32_t t = l.d[i] + 1;
    c = t == BASE;
    out.d[i] = c ? 0 : t;
  }
  if (i < l.n) std::memcpy(out.d + i, l.d + i, sizeof(uint32_t) * (size_t)(l.n - i));
  out.d[l.n] = c;
  out.n = l.n + 1;
  nat_trim(out);
  return out;
}

Nat nat_sub(const Nat &a, const Nat &b) {
  Nat out = alloc_unset(a.n);
  uint32_t br = 0;
  int i = 0;
  for (; i < b.n; ++i) {
    const uint32_t t = a.d[i] + BASE - b.d[i] - br;  // in (0, 2 BASE)
    br = t < BASE;
    out.d[i] = t - (1 - br) * BASE;
  }
  for (; i < a.n && br; ++i) {
    br = a.d[i] == 0;
    out.d[i] = br ? BASE - 1 : a.d[i] - 1;
  }
  if (i < a.n) std::memcpy(out.d + i, a.d + i, sizeof(uint32_t) * (size_t)(a.n - i));
  nat_trim(out);
  return out;
}

Nat nat_add_small(const Nat &a, uint32_t v) {
  Nat s = nat_from_u64(v);
  return nat_add(a, s);
}

Nat nat_sub_small(const Nat &a, uint32_t v) {
  Nat s = nat_from_u64(v);
  return nat_sub(a, s);
}

// ---- products ---------------------------------------------------------------------------
Nat nat_mul(const Nat &a, const Nat &b) { return mul_impl(a, b, a.d == b.d && a.n == b.n); }
Nat nat_sqr(const Nat &a) { return mul_impl(a, a, true); }

Nat nat_mul_top(const Nat &a, const Nat &b, int from) {
  if (from <= 0) return nat_mul(a, b);
  if (a.n == 0 || b.n == 0 || from >= a.n + b.n - 1) return Nat{};
  const Nat &sn = a.n < b.n ? a : b, &ln = a.n < b.n ? b : a;
  // Half a schoolbook product beats Karatsuba's whole one up to a few hundred limbs; above,
  // the exact product's top is taken.
  if (sn.n > MUL_TOP_SCHOOL_MAX) return nat_high_limbs(nat_mul(a, b), from);
  Nat out = alloc_unset(a.n + b.n + 2 - from);
  Frame f;
  uint64_t *col = (uint64_t *)arena_alloc(2 * (size_t)(a.n + b.n + 2));
  mul_school(col, sn.d, sn.n, ln.d, ln.n, from);
  carry_columns(out, col + from, a.n + b.n - 1 - from);
  return out;
}

Nat nat_mul_u64(const Nat &a, uint64_t m) {
  if (a.n == 0 || m == 0) return Nat{};
  Nat out = alloc_unset(a.n + 4);
  int i = 0;
  unsigned __int128 c = 0;
  if (m <= MUL_WORD_64_MAX) {  // limb × m + carry < BASE m + m + 1 ≤ 2^64: 64-bit arithmetic
    uint64_t c64 = 0;
    for (; i < a.n; ++i) {
      const uint64_t t = a.d[i] * m + c64;
      out.d[i] = (uint32_t)(t % B64);
      c64 = t / B64;
    }
    c = c64;
  } else {
    for (; i < a.n; ++i) {
      unsigned __int128 t = (unsigned __int128)a.d[i] * m + c;
      out.d[i] = (uint32_t)(t % B64);
      c = t / B64;
    }
  }
  while (c) {
    out.d[i++] = (uint32_t)(c % B64);
    c /= B64;
  }
  out.n = i;
  return out;
}

Nat nat_mul_small(const Nat &a, uint32_t m) { return nat_mul_u64(a, m); }

Nat nat_pow(const Nat &a, uint64_t e) {
  Nat r = nat_from_u64(1);
  if (e == 0) return r;
  int top = 63;
  while (!((e >> top) & 1)) --top;
  Frame f;
  Nat acc = nat_copy(a);
  for (int bit = top - 1; bit >= 0; --bit) {
    cancel_check();
    acc = nat_sqr(acc);
    if ((e >> bit) & 1) acc = nat_mul(acc, a);
  }
  r = acc;
  f.keep({&r});
  return r;
}

Nat nat_pow_small(uint32_t base, uint64_t e) {
  Frame f;
  Nat r = nat_pow(nat_from_u64(base), e);
  f.keep({&r});
  return r;
}

// ---- scaling by powers of ten -----------------------------------------------------------
Nat nat_shift_limbs(const Nat &a, int64_t limbs) {
  if (a.n == 0) return Nat{};
  Nat out = alloc_unset(a.n + (int)limbs);
  std::memset(out.d, 0, sizeof(uint32_t) * (size_t)limbs);
  std::memcpy(out.d + limbs, a.d, sizeof(uint32_t) * (size_t)a.n);
  return out;
}

Nat nat_low_limbs(const Nat &a, int limbs) {
  Nat out = a;
  if (out.n > limbs) out.n = limbs;
  nat_trim(out);
  return out;  // a view into a's limbs: a is never changed, so sharing is safe
}

Nat nat_high_limbs(const Nat &a, int limbs) {
  if (limbs <= 0) return a;
  if (limbs >= a.n) return Nat{};
  return Nat{a.d + limbs, a.n - limbs};
}

Nat nat_mul_pow10(const Nat &a, int64_t k) {
  if (a.n == 0) return Nat{};
  if (k == 0) return a;  // operands are never changed, so the same limbs serve
  if (k % 6 == 0) return nat_shift_limbs(a, k / 6);
  Frame f;
  Nat s = nat_mul_small(a, (uint32_t)pow10_u64((int)(k % 6)));
  Nat r = nat_shift_limbs(s, k / 6);
  f.keep({&r});
  return r;
}

namespace {

// floor(a / M) for a constant M (the compiler turns the divisions into multiplications).
template <uint32_t M>
Nat div_by_constant(const Nat &a) {
  Nat q = alloc_unset(a.n);
  uint64_t r = 0;
  for (int i = a.n - 1; i >= 0; --i) {
    const uint64_t t = r * B64 + a.d[i];
    q.d[i] = (uint32_t)(t / M);
    r = t % M;
  }
  nat_trim(q);
  return q;
}

}  // namespace

Nat nat_div_pow10(const Nat &a, int64_t k) {
  Nat h = nat_high_limbs(a, (int)(k / 6 < a.n ? k / 6 : a.n));
  switch (k % 6) {
    case 0: return nat_copy(h);
    case 1: return div_by_constant<10>(h);
    case 2: return div_by_constant<100>(h);
    case 3: return div_by_constant<1000>(h);
    case 4: return div_by_constant<10000>(h);
    default: return div_by_constant<100000>(h);
  }
}

int64_t nat_trailing_zero_digits(const Nat &a) {
  int i = 0;
  while (i < a.n && a.d[i] == 0) ++i;
  if (i == a.n) return 0;
  int64_t z = 6 * (int64_t)i;
  for (uint32_t t = a.d[i]; t % 10 == 0; t /= 10) ++z;
  return z;
}

bool nat_divisible_pow10(const Nat &a, int64_t k) {
  return a.n == 0 || nat_trailing_zero_digits(a) >= k;
}

// ---- quotients and roots ----------------------------------------------------------------
Nat nat_divmod_small(const Nat &a, uint32_t m, uint32_t *rem) {
  Nat q = alloc_unset(a.n);
  uint64_t r = 0;
  for (int i = a.n - 1; i >= 0; --i) {
    uint64_t t = r * B64 + a.d[i];
    q.d[i] = (uint32_t)(t / m);
    r = t % m;
  }
  nat_trim(q);
  *rem = (uint32_t)r;
  return q;
}

void nat_divmod(const Nat &a, const Nat &b, Nat *q, Nat *r) {
  if (nat_cmp(a, b) < 0) {
    if (q) *q = Nat{};
    if (r) *r = a;
    return;
  }
  if (b.n == 1) {
    uint32_t rem;
    Nat qq = nat_divmod_small(a, b.d[0], &rem);
    if (q) *q = qq;
    if (r) *r = nat_from_u64(rem);
    return;
  }
  const int k = a.n - b.n + 1;
  if (b.n <= DIV_SCHOOL_MAX || k <= DIV_SCHOOL_MAX) {
    divmod_school(a, b, q, r);
    return;
  }
  if (k <= DIV_CHUNK_MAX && b.n <= 2 * DIV_CHUNK_MAX) {
    Frame f;
    Nat qc, rc;
    if (divmod_chunked(a, b, &qc, &rc)) {
      f.keep({&qc, &rc});
      if (q) *q = qc;
      if (r) *r = rc;
      return;
    }
  }
  Int qi, ri;
  {
    Frame f;
    // b's top t limbs (b padded with zero limbs when the quotient is the longer).
    const int t = k + 2, s = b.n - t;
    Nat x = reciprocal(s >= 0 ? nat_high_limbs(b, s) : nat_shift_limbs(b, -s), t);
    Nat at = s >= 0 ? nat_high_limbs(a, s) : nat_shift_limbs(a, -s);
    // at's lowest t − 3 limbs move at x / BASE^(2t) by less than BASE^−2 (x < BASE^(t+1)):
    // the estimate keeps the top limbs only, and the correction below makes it exact.
    // Of that product only the limbs from 2t − low on count: its top from two limbs lower
    // (nat_mul_top, low by less than 2 t BASE units there) floors at most one unit lower.
    const int low = t - 3;
    qi = int_from(nat_high_limbs(nat_mul_top(nat_high_limbs(at, low), x, 2 * t - low - 2), 2), false);
    ri = int_sub(int_from(a, false), int_from(nat_mul(qi.m, b), false));
    // The estimate is within a few units: the steps are counted and applied to qi once.
    const Int bi = int_from(b, false);
    int64_t adjust = 0;
    for (; ri.neg; --adjust) ri = int_add(ri, bi);
    for (; nat_cmp(ri.m, b) >= 0; ++adjust) ri.m = nat_sub(ri.m, b);
    if (adjust != 0) qi = int_add(qi, int_from_i64(adjust));
    qi.m = nat_copy(qi.m);
    ri.m = nat_copy(ri.m);
    f.keep({&qi, &ri});
  }
  if (q) *q = qi.m;
  if (r) *r = ri.m;
}

Nat nat_div(const Nat &a, const Nat &b) {
  Nat q;
  nat_divmod(a, b, &q, nullptr);
  return q;
}

namespace {

uint64_t isqrt_u64(uint64_t v) {
  uint64_t s = (uint64_t)std::sqrt((double)v);
  while (s * s > v) --s;
  while ((s + 1) * (s + 1) <= v) ++s;
  return s;
}

// √ with remainder of a number of exactly 2n limbs whose top limb is at least BASE / 4.
void sqrtrem_normalised(const Nat &a, int n, Nat *s, Int *r) {
  if (n == 1) {
    uint64_t v = nat_to_u64(a);
    uint64_t q = isqrt_u64(v);
    *s = nat_from_u64(q);
    *r = int_from(nat_from_u64(v - q * q), false);
    return;
  }
  cancel_check();
  const int l = n / 2, h = n - l;
  Nat s1;
  Int r1;
  sqrtrem_normalised(nat_high_limbs(a, 2 * l), h, &s1, &r1);
  Nat a1 = nat_low_limbs(nat_high_limbs(a, l), l), a0 = nat_low_limbs(a, l);
  Nat num = nat_add(nat_shift_limbs(r1.m, l), a1);
  Nat q, u;
  nat_divmod(num, nat_mul_small(s1, 2), &q, &u);
  Nat root = nat_add(nat_shift_limbs(s1, l), q);
  Int rem = int_sub(int_from(nat_add(nat_shift_limbs(u, l), a0), false), int_from(nat_sqr(q), false));
  if (rem.neg) {
    rem = int_add(rem, int_from(nat_sub_small(nat_mul_small(root, 2), 1), false));
    root = nat_sub_small(root, 1);
  }
  *s = root;
  *r = rem;
}

}  // namespace

Nat nat_sqrt(const Nat &a, Nat *rem) {
  if (a.n <= 2) {
    uint64_t v = nat_to_u64(a), q = isqrt_u64(v);
    if (rem) *rem = nat_from_u64(v - q * q);
    return nat_from_u64(q);
  }
  Nat root;
  {
    Frame f;
    // a c² BASE^k has an even limb count and a top limb of at least BASE / 4; its root is
    // c 1000^k times a's.
    const uint32_t top = a.d[a.n - 1];
    uint32_t c = 1;
    while ((uint64_t)top * c * c < BASE / 4) ++c;
    Nat an = nat_mul_small(a, c * c);
    int k = an.n % 2;
    if (k) an = nat_shift_limbs(an, 1);
    Nat s;
    Int r;
    sqrtrem_normalised(an, an.n / 2, &s, &r);
    uint32_t dropped;
    root = nat_divmod_small(s, c * (k ? 1000u : 1u), &dropped);
    f.keep({&root});
  }
  if (rem) {
    Frame f;
    Nat rr = nat_sub(a, nat_sqr(root));
    f.keep({&rr});
    *rem = rr;
  }
  return root;
}

Nat nat_root(const Nat &a, uint64_t k) {
  if (k == 1 || a.n == 0) return nat_copy(a);
  if (k == 2) return nat_sqrt(a);
  const int64_t digits = nat_digits(a);
  if ((uint64_t)digits * 4 < k) return nat_from_u64(1);  // a < 10^digits ≤ 2^k: root 1
  Nat x;
  {
    Frame f;
    // Start above the root: from a few limbs of a's top for long roots, else 10^⌈d/k⌉.
    Nat est;
    const int64_t rd = (digits + (int64_t)k - 1) / (int64_t)k;
    if (rd > 12 && a.n > 6) {
      const int64_t m = rd / 2 / 6;  // root limbs dropped from the top estimate
      Nat top = nat_root(nat_high_limbs(a, (int)(k * m)), k);
      est = nat_shift_limbs(nat_add_small(top, 1), m);
    } else {
      est = nat_mul_pow10(nat_from_u64(1), rd);
    }
    x = est;
    for (;;) {
      cancel_check();
      // y = ((k − 1) x + floor(a / x^(k−1))) / k, decreasing to the root from above.
      Nat y = nat_mul_u64(x, k - 1);
      y = nat_add(y, nat_div(a, nat_pow(x, k - 1)));
      uint32_t dropped;
      if (k < BASE) {
        y = nat_divmod_small(y, (uint32_t)k, &dropped);
      } else {
        y = nat_div(y, nat_from_u64(k));
      }
      if (nat_cmp(y, x) >= 0) break;
      x = y;
      // From above, every step stays at or above the root (the arithmetic-geometric mean
      // inequality), so a step whose k-th power does not exceed a has reached it: one
      // power instead of one more step with its division.
      if (nat_cmp(nat_pow(x, k), a) <= 0) break;
    }
    x = nat_copy(x);
    f.keep({&x});
  }
  return x;
}

namespace {

// floor(∛a) for a below BASE^9 (a root below 10^18): from the long double root (within a
// few units), corrected with exact cubes.
Nat cbrt_small(const Nat &a) {
  long double v = 0;
  for (int i = a.n - 1; i >= 0; --i) v = v * 1e6L + a.d[i];
  uint64_t r = (uint64_t)cbrtl(v);
  const auto cube = [](uint64_t x) { return nat_pow(nat_from_u64(x), 3); };
  while (r > 0 && nat_cmp(cube(r), a) > 0) --r;
  while (nat_cmp(cube(r + 1), a) <= 0) ++r;
  return nat_from_u64(r);
}

// floor(∛a) or one more. Below a few limbs directly; above, one step from the
// near root of a's top: with m limbs dropped, x0 = near ∛(floor(a / BASE^(3m))) is
// floor(r / BASE^m) or one more (r = ∛a), so x = x0 BASE^m lies within BASE^m of r. The
// step y = x + floor((a − x³) / (3x²)) lands at or above r wherever x is (x³ − a is
// convex), and above it by at most (r − x)² ξ / x² ≤ 2 BASE^(2m) / x ≤ 2 BASE^(2m − n + 1)
// for an n-limb root: below 10^−11 with 2m ≤ n − 3, below 2 · 10^−6 with m = 1 for roots of
// four to eight limbs (roots of up to three come from cbrt_small). So y is floor(r) or one
// more. The
// quotient has only about m limbs, and x0's powers are half-length products.
// *certain (when asked for): y is floor(r) for sure. With r = x + δ and t = e / (3x²)
// (e = a − x³), δ = t − ε with ε = (3x δ² + δ³) / (3x²) ≥ 0, so y = x + floor(t) exceeds
// floor(r) only when t's fraction, ρ / (3x²) with e = 3x² floor(t) + ρ, is below ε. The
// quotient's remainder r' gives ρ ≥ r' BASE^(2m), and 3x δ² + δ³ ≤ 4 (x0 + 1) BASE^m
// (|d| + 1)² (|δ| ≤ |d| + 1): when the first exceeds the second, compared in logarithms from
// the top limbs (within 10^−12) with a margin, y is floor(r); that leaves out all but a
// vanishing share of the arguments (exact cubes among them) without a full cube.
Nat cbrt_near(const Nat &a, bool *certain = nullptr) {
  const int n = (a.n + 2) / 3;  // limbs of the root, or one more
  if (n <= 3) {
    if (certain) *certain = true;
    return cbrt_small(a);
  }
  const int m = n >= 9 ? (n - 3) / 2 : 1;
  Frame f;
  const Nat x0 = cbrt_near(nat_high_limbs(a, 3 * m));
  const Nat x0sq = nat_sqr(x0);
  const Int e = int_sub(int_from(a, false), int_from(nat_shift_limbs(nat_mul(x0sq, x0), 3 * (int64_t)m), false));
  const Int es = int_shift_floor(e, -2 * (int64_t)m);
  const Nat div = nat_mul_small(x0sq, 3);
  Nat q, rem;  // floor(es / div) and es − q div ∈ [0, div)
  nat_divmod(es.m, div, &q, &rem);
  if (es.neg && rem.n != 0) {
    q = nat_add_small(q, 1);
    rem = nat_sub(div, rem);
  }
  const Int d = int_from(q, es.neg);
  Int y = int_add(int_from(nat_shift_limbs(x0, m), false), d);
  if (certain) {
    const double rho = rem.n ? nat_log10(rem) + 12.0 * m : -1e300;
    const double bound = std::log10(4.0) + nat_log10(nat_add_small(x0, 1)) + 6.0 * m +
                         2.0 * nat_log10(nat_add_small(d.m, 1));
    *certain = rho > bound + 0.01;
  }
  f.keep({&y});
  return y.m;
}

}  // namespace

Nat nat_cbrt(const Nat &a) {
  if (a.n == 0) return Nat{};
  Nat y;
  {
    Frame f;
    bool certain;
    y = cbrt_near(a, &certain);
    if (!certain && nat_cmp(nat_mul(nat_sqr(y), y), a) > 0) y = nat_sub_small(y, 1);
    y = nat_copy(y);
    f.keep({&y});
  }
  return y;
}

// ---- signed integers --------------------------------------------------------------------
Int int_from_i64(int64_t v) {
  return int_from(nat_from_u64(v < 0 ? (uint64_t)0 - (uint64_t)v : (uint64_t)v), v < 0);
}

int int_cmp(const Int &a, const Int &b) {
  if (a.neg != b.neg) return a.neg ? -1 : 1;
  int c = nat_cmp(a.m, b.m);
  return a.neg ? -c : c;
}

Int int_add(const Int &a, const Int &b) {
  if (a.neg == b.neg) return int_from(nat_add(a.m, b.m), a.neg);
  int c = nat_cmp(a.m, b.m);
  if (c == 0) return Int{};
  if (c > 0) return int_from(nat_sub(a.m, b.m), a.neg);
  return int_from(nat_sub(b.m, a.m), b.neg);
}

Int int_sub(const Int &a, const Int &b) { return int_add(a, int_neg(b)); }

Int int_mul(const Int &a, const Int &b) { return int_from(nat_mul(a.m, b.m), a.neg != b.neg); }

Int int_mul_small(const Int &a, int64_t m) {
  const uint64_t am = m < 0 ? (uint64_t)0 - (uint64_t)m : (uint64_t)m;
  return int_from(nat_mul_u64(a.m, am), a.neg != (m < 0));
}

Int int_div_floor(const Int &a, const Nat &b) {
  Nat q, r;
  nat_divmod(a.m, b, &q, &r);
  if (!a.neg) return int_from(q, false);
  if (r.n != 0) q = nat_add_small(q, 1);
  return int_from(q, true);
}

Int int_shift_floor(const Int &a, int64_t k) {
  if (k >= 0) return int_from(nat_shift_limbs(a.m, k), a.neg);
  const int64_t drop = -k;
  Nat h = nat_high_limbs(a.m, drop >= a.m.n ? a.m.n : (int)drop);
  if (!a.neg) return int_from(h, false);
  // Rounding toward −∞: one more when anything non-zero was dropped.
  bool inexact = false;
  for (int i = 0; i < a.m.n && i < drop; ++i)
    if (a.m.d[i]) {
      inexact = true;
      break;
    }
  return int_from(inexact ? nat_add_small(h, 1) : h, true);
}

}  // namespace exact
