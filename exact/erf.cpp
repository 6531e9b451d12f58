// The error function erf(x) and its complement erfc(x) = 1 − erf(x) in the exact mode.
//
// Exact cases: erf(0) = 0, erfc(0) = 1; erf is odd and erfc(−x) = 1 + erf(x). No other
// rational x gives a rational value known; the enclosures decide every other result.
//
// The series (every term positive): erf(x) = (2/√π) x e^(−x²) S, S = Σ_{k≥0} y^k / (2k+1)!!,
// y = 2x². For a short x (y's mantissa of at most 12 digits, |exponent| ≤ 24) by binary splitting of the exact
// terms (one floor at the end); otherwise by rectangular splitting in fixed point at p limbs: the powers y^0 .. y^m
// (m ≈ √K), then blocks of m terms from the top by Horner's rule, each block one product by
// y^m and m divisions by the small 2k + 1. Every step floors, so the computed sum is a lower
// bound, and each block's floors and the powers' errors (y^i within 2i max(1, y)^i units)
// move it by at most K (m + 6) S units in all (S ≥ 1; see erf_sum). The series stops at K
// terms with y / (2K + 3) ≤ 1/2 and 2 y^K / (2K+1)!! below 10^−(w+10): the tail is at most
// twice the first omitted term. e^(−x²) by exp_dec, √π from π.
//
// erfc(x) for x > 0: where x² ≥ (w + 11) ln 10 the asymptotic series
//   erfc(x) = e^(−x²) / (x √π) Σ_{k=0}^{K} (−1)^k (2k−1)!! / (2x²)^k + R,  |R| ≤ first omitted term
// (alternating, terms decreasing while 2k + 1 < 2x²), by binary splitting for a short x, else
// by Horner's rule on the fixed point (each step 1 − (2k−1) y acc with (2k−1) y < 1: at most
// 2 (2k − 1) units more, 2K² in all);
// elsewhere 1 − erf(x) with erf at x²/ln 10 + log10(x √π) + 3 more digits (the cancellation).
// erf(x) for x² beyond (w + 12) ln 10 is 1 − erfc(x) the same way (erfc then needs few
// digits). Results: erf(x) truncates to .99…9 once erfc(x) < 10^−D, and erfc(x) is 0 below
// the exponent range (x > about 48,000).
#include <algorithm>
#include <cmath>

#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/series.h"
#include "exact/special.h"

namespace exact {

namespace {

constexpr double LN10 = 2.302585092994046;
constexpr double PI_D = 3.14159265358979323846;

double dec_to_double(const Dec &x) {
  const double v = std::pow(10.0, nat_log10(x.m) + (double)x.e);
  return x.neg ? -v : v;
}

// log10 of |x| without overflow.
double dec_log10(const Dec &x) { return nat_log10(x.m) + (double)x.e; }

// ln(y^k / (2k+1)!!) with (2k+1)!! = (2k+1)! / (2^k k!).
double ln_term(double lny, int64_t k) {
  const double kd = (double)k;
  return kd * lny - (std::lgamma(2 * kd + 2) - kd * std::log(2.0) - std::lgamma(kd + 1));
}

// The terms of S for a tail below 10^−digits: y/(2K+3) ≤ 1/2 and 2 t_K ≤ 10^−digits.
int64_t erf_terms(double lny, double y, int64_t digits) {
  const double target = -(double)digits * LN10 - std::log(2.0);
  int64_t lo = std::max<int64_t>(1, (int64_t)std::ceil(y));
  if (ln_term(lny, lo) <= target) return lo;
  int64_t hi = lo * 2;
  while (ln_term(lny, hi) > target) {
    lo = hi;
    hi *= 2;
  }
  while (hi - lo > 1) {
    const int64_t mid = lo + (hi - lo) / 2;
    (ln_term(lny, mid) <= target ? hi : lo) = mid;
  }
  return hi;
}

// S = Σ_{k<K} y^k / (2k+1)!! at p limbs: lower bound *lo, upper bound *hi (with the tail).
// Errors (units of BASE^−p): every operation floors, so the result is a lower bound. Block j
// (terms jm .. jm + m − 1) computes h_m = y^m R_(j+1), then h_(i−1) = y^(i−1) + h_i / b_i
// (b_i = 2(jm + i) + 1 ≥ 1, so divisions shrink earlier errors); with the powers within
// 2i max(1, y)^i units, the block adds at most m² Γ_j + 3m + 1 + 2m R_j units (Γ_j the
// largest term ratio within the block, R_j the normalised tail), and carried down by the term
// ratios the total is below (K/m) (m² + 3m + 1) S ≤ K (m + 4) S units.
// h = floor(h / b) + y in place on limb arrays (h has room for y's length and a carry):
// the division runs on doubles (t < b BASE < 2^52 is exact in a double; the quotient from the
// reciprocal is off by at most one and corrected), which is several times faster than a
// hardware division per limb.
void div_add_inplace(Nat &h, uint32_t b, const Nat &y) {
  const double inv = 1.0 / (double)b;
  uint64_t r = 0;
  for (int i = h.n - 1; i >= 0; --i) {
    const uint64_t t = r * BASE + h.d[i];
    uint64_t q = (uint64_t)((double)t * inv);
    int64_t rr = (int64_t)(t - q * b);
    if (rr < 0) {
      --q;
      rr += b;
    } else if (rr >= (int64_t)b) {
      ++q;
      rr -= b;
    }
    h.d[i] = (uint32_t)q;
    r = (uint64_t)rr;
  }
  nat_trim(h);
  uint32_t carry = 0;
  int i = 0;
  for (; i < y.n || carry; ++i) {
    const uint32_t t = (i < h.n ? h.d[i] : 0) + (i < y.n ? y.d[i] : 0) + carry;
    carry = t >= BASE;
    h.d[i] = carry ? t - BASE : t;
  }
  if (i > h.n) h.n = i;
}

void erf_sum(const Dec &y, int p, int64_t K, Nat *lo, Nat *hi) {
  const int m = std::max(1, (int)std::lround(std::sqrt((double)K)));
  Frame f;
  Nat *Y = (Nat *)arena_alloc((size_t)(m + 1) * sizeof(Nat) / sizeof(uint32_t) + 2);
  Y[0] = nat_shift_limbs(nat_from_u64(1), p);
  Y[1] = fix_from_dec(y, p).m;
  for (int i = 2; i <= m; ++i) Y[i] = nat_high_limbs(nat_mul(Y[i - 1], Y[1]), p);
  const int64_t blocks = (K + m - 1) / m;
  // The working number: the block's tail times y^m has at most Y[m]'s and R's limbs together.
  int room = 0;
  for (int i = 0; i <= m; ++i) room = std::max(room, Y[i].n);
  Nat R;  // the normalised tail R_(j+1); empty above the last block
  ProgressLoop loop;
  LoopBase lb;
  for (int64_t j = blocks - 1; j >= 0; --j) {
    cancel_check();
    loop.set((int)(1000.0 * (double)(blocks - j) / (double)blocks), 1000);
    const int64_t first = j * m;
    const int len = (int)std::min<int64_t>(m, K - first);
    // h_len = y^len R (nothing above the last block).
    const Nat top = R.n ? nat_high_limbs(nat_mul(Y[len], R), p) : Nat{};
    Nat h = nat_with_room(top, std::max(top.n, room) + 2);
    for (int i = len; i >= 1; --i) {
      const uint64_t b = 2 * (uint64_t)(first + i) + 1;
      if (b < ((uint64_t)1 << 31)) {
        div_add_inplace(h, (uint32_t)b, Y[i - 1]);
      } else {
        h = nat_add(nat_div(h, nat_from_u64(b)), Y[i - 1]);
        h = nat_with_room(h, h.n + room + 2);
      }
    }
    R = h;
    lb.settle({&R});
  }
  // The floors' total, below K (m + 6) S units (S ≥ 1 in value), and the tail, below one unit.
  const Nat err = nat_add_small(nat_high_limbs(nat_mul_u64(R, (uint64_t)K * (uint64_t)(m + 7)), p), 2);
  Nat up = nat_add(R, err);
  R = nat_copy(R);
  up = nat_copy(up);
  f.keep({&R, &up});
  *lo = R;
  *hi = up;
}

// y = a / c with a and c integers (c a power of ten) when y's mantissa has at most 12
// digits: the series then runs by binary splitting with small leaves.
bool short_ratio(const Dec &y, Nat *a, Nat *c) {
  if (nat_digits(y.m) > 12 || y.e > 24 || y.e < -24) return false;
  *a = y.e >= 0 ? nat_mul_pow10(y.m, y.e) : y.m;
  *c = nat_mul_pow10(nat_from_u64(1), y.e < 0 ? -y.e : 0);
  return true;
}

// T / Q as an enclosure at p limbs (T, Q exact; the sum's tail below one unit): floor, one unit.
Approx split_quotient(const Split &s, int p, uint64_t tail_units) {
  const Int q = fix_div(s.T, int_from(s.Q, false), p);
  return approx_fix(q, p, 2 + tail_units);
}

// erf(|x|) by the series, relative width about 10^−w.
Approx erf_series(const Dec &ax, int64_t w) {
  const Dec x2 = dx_mul(ax, ax);
  const Dec y = dx_mul(x2, dx_from_i64(2));
  const double yd = dec_to_double(y);
  const double lny = dec_log10(y) * LN10;
  const int64_t K0 = erf_terms(lny, yd, w + 10);
  const int m0 = std::max(1, (int)std::lround(std::sqrt((double)K0)));
  const int guard = (int)std::ceil(std::log10((double)K0 * (m0 + 7) * 8 + 1) / BASE_DIGITS) + 1;
  const int p = limbs_for(w + 4) + guard;
  const int64_t K = erf_terms(lny, yd, 6 * (int64_t)p + 1);  // the tail below 0.1 unit
  Approx S;
  Nat a, c;
  if (short_ratio(y, &a, &c)) {
    // Term ratio y / (2k + 1) = a / (c (2k + 1)), exactly.
    const Split sp = bsplit(
        0, K,
        [&](int64_t k, Int *P, Nat *Q) {
          if (k == 0) {
            *P = int_from_i64(1);
            *Q = nat_from_u64(1);
          } else {
            *P = int_from(a, false);
            *Q = nat_mul_u64(c, 2 * (uint64_t)k + 1);
          }
        },
        false);
    S = split_quotient(sp, p, 1);
  } else {
    Nat lo, hi;
    erf_sum(y, p, K, &lo, &hi);
    S = approx_from_bounds(lo, hi, p);
  }
  // (2/√π) x e^(−x²) S.
  const Approx sqrt_pi = ap_sqrt(ap_pi(w + 8), w + 6);
  const Approx e = exp_dec(dx_neg(x2), w + 6);
  return ap_mul(ap_div(ap_mul(ap_exact(dx_mul(ax, dx_from_i64(2))), e, w + 6), sqrt_pi, w + 6), S, w + 4);
}

// ln((2k+1)!! / (2x²)^(k+1)), the asymptotic series' term after k.
double ln_asym(double ln2x2, int64_t k) {
  const double kd = (double)k;
  return std::lgamma(2 * kd + 3) - (kd + 1) * std::log(2.0) - std::lgamma(kd + 2) - (kd + 1) * ln2x2;
}

// erfc(x) for x² ≥ (w + 11) ln 10 by the asymptotic series, relative width about 10^−w.
Approx erfc_asymptotic(const Dec &x, int64_t w) {
  const Dec x2 = dx_mul(x, x);
  const double ln2x2 = (dec_log10(x2) + std::log10(2.0)) * LN10;
  const double target = -(double)(w + 10) * LN10;
  int64_t K = 0;
  // The first omitted term below 10^−(w+10); the terms still decrease there (x² is large).
  while (ln_asym(ln2x2, K) > target && (double)K < std::exp(ln2x2) / 2) ++K;
  const int guard = (int)std::ceil(std::log10(2.0 * (double)K * K + 4) / BASE_DIGITS) + 1;
  const int p = limbs_for(w + 4) + guard;
  Approx A;
  Nat a, c;
  const Dec y2 = dx_mul(x2, dx_from_i64(2));
  if (short_ratio(y2, &a, &c)) {
    // Term ratio −(2k − 1) / (2x²) = −(2k − 1) c / a, exactly (the first omitted term is below
    // 10^−(w+10): one unit at p limbs).
    const Split sp = bsplit(
        0, K + 1,
        [&](int64_t k, Int *P, Nat *Q) {
          if (k == 0) {
            *P = int_from_i64(1);
            *Q = nat_from_u64(1);
          } else {
            *P = int_from(nat_mul_u64(c, 2 * (uint64_t)k - 1), true);
            *Q = a;
          }
        },
        false);
    A = split_quotient(sp, p, 1);
  } else {
    const Int Y = fix_div(fix_one(p), fix_from_dec(y2, p), p);  // 1 / (2x²)
    const Int one = fix_one(p);
    Int acc = one;
    LoopBase lb;
    for (int64_t k = K; k >= 1; --k) {
      cancel_check();
      acc = int_sub(one, int_mul_small(fix_mul(acc, Y, p), 2 * k - 1));
      lb.settle({&acc.m});
    }
    A = approx_fix(acc, p, 2 * (uint64_t)K * (uint64_t)K + 4);
  }
  // e^(−x²) / (x √π).
  const Approx sqrt_pi = ap_sqrt(ap_pi(w + 8), w + 6);
  const Approx e = exp_dec(dx_neg(x2), w + 6);
  return ap_mul(ap_div(e, ap_mul(ap_exact(x), sqrt_pi, w + 6), w + 6), A, w + 4);
}

// erfc(x) for x > 0, relative width about 10^−w.
Approx erfc_positive(const Dec &x, int64_t w) {
  const double lx2 = 2 * dec_log10(x);  // log10 x²
  const double x2 = std::pow(10.0, std::min(lx2, 300.0));
  if (lx2 > 300 || x2 >= (double)(w + 11) * LN10 + 1) return erfc_asymptotic(x, w);
  const int64_t extra = (int64_t)std::ceil(x2 / LN10 + std::max(0.0, lx2 / 2 + 0.25) + 3);
  return ap_sub(ap_small(1), erf_series(x, w + extra), w + 3);
}

// erf(x) for x > 0, relative width about 10^−w.
Approx erf_positive(const Dec &x, int64_t w) {
  const double lx2 = 2 * dec_log10(x);
  const double x2 = std::pow(10.0, std::min(lx2, 300.0));
  if (lx2 > 300 || x2 >= (double)(w + 12) * LN10) {
    // erfc(x) < 10^−(w+12) x^−1 π^−1/2: a few digits of it suffice.
    const int64_t wc = std::max<int64_t>(12, w + 12 - (int64_t)std::floor(std::min(x2, 1e18) / LN10));
    return ap_sub(ap_small(1), erfc_asymptotic(x, wc), w + 3);
  }
  return erf_series(x, w);
}

// log10 erfc(x) ≤ this for x > 0 (erfc(x) < e^(−x²) / (x √π)).
double log10_erfc_bound(const Dec &x) {
  const double lx = dec_log10(x);
  if (2 * lx > 300) return -1e300;
  const double xd = std::pow(10.0, lx);
  return -xd * xd / LN10 - lx - 0.5 * std::log10(PI_D);
}

}  // namespace

}  // namespace exact

using namespace exact;

int exact_erf(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(y);
    if (dx_is_zero(X)) return dec_zero(out);
    const Dec ax{X.m, X.e, false};
    if (log10_erfc_bound(ax) < -(double)(internal_digits + 1)) {
      // 1 − erfc(x) with erfc below one unit of the last digit: .99…9.
      Dec r = dx_nines();
      r.neg = X.neg;
      return dx_write(out, r);
    }
    return ziv_ap(out, [&](int64_t w) {
      Approx r = erf_positive(ax, w + 2);
      if (X.neg) r.mid = int_neg(r.mid);
      return r;
    });
  });
}

int exact_erfc(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(y);
    if (dx_is_zero(X)) return dx_write(out, dx_from_i64(1));
    const Dec ax{X.m, X.e, false};
    if (dx_magnitude(X) < -((int64_t)internal_digits + 3)) {
      // 1 − 1.13 x + O(x³): .99…9 for x > 0, 1 for x < 0.
      return dx_write(out, X.neg ? dx_from_i64(1) : dx_nines());
    }
    if (!X.neg && log10_erfc_bound(ax) < (double)DEC_EXP_MIN - 2) return dec_zero(out);
    if (X.neg && log10_erfc_bound(ax) < -(double)(internal_digits + 1)) {
      // 2 − erfc(|x|) with erfc below one unit of the last digit: 1.99…9.
      const Dec nines = dx_nines();
      return dx_write(out, dx_add(dx_from_i64(1), nines));
    }
    return ziv_ap(out, [&](int64_t w) {
      if (X.neg) return ap_add(ap_small(1), erf_positive(ax, w + 2), w + 3);
      return erfc_positive(ax, w + 2);
    });
  });
}
