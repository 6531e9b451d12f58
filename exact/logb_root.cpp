// The logarithm to any base and the n-th root in the exact mode.
//
// log_b x = ln x / ln b for x > 0 and b > 0, b ≠ 1. It is rational exactly when x and b are
// powers of one rational r (x = r^u, b = r^v: log_b x = u / v), and a rational result may be
// a short decimal (log_4 8 = 1.5, log_100 10 = .5) that no enclosure decides. Those cases are
// found by Euclid's algorithm on the logarithms, in exact rational arithmetic: with P and Q
// both powers of r, P Q^−m for the nearest integer m to ln P / ln Q is again one, with
// |ln| at most half of |ln Q|, and a power of r of smaller exponent is shorter; the steps
// keep the exponents of x and b in each number and end at 1 (then x^c b^d = 1 and
// log_b x = −d / c exactly) or, for logarithms that are not commensurable, as soon as a
// number grows longer than x and b together (a power of r never does). Rationals are held
// as 2^α 5^β u / v with u, v coprime to 10 and to each other, so a huge decimal exponent
// costs nothing. Otherwise the quotient of two enclosures of the logarithms decides
// (ap_div, each at w + 4 digits).
//
// The n-th root x^(1/n) for an integer n ≠ 0: an even n needs x ≥ 0, an odd n takes the sign
// of x; x = 0 gives 0 for n > 0 and ERROR for n < 0. With x = X 10^e (X not divisible by
// 10), x^(1/|n|) is rational exactly when |n| divides e and X = T^|n| (a rational root of an
// integer is an integer, and T^|n| keeps X's freedom from factors 10); then it is T 10^(e/|n|),
// written exactly (its inverse as an exact quotient for n < 0). Otherwise it is irrational:
// for |n| = 2 the truncation is the integer square root of x scaled (floor((X 10^s)^(1/2))
// with (e − s) even, or of floor(10^t / x) for n < 0: floor(floor(A)^(1/2)) =
// floor(A^(1/2))), exact without a loop; for 3 ≤ |n| ≤ 64 the correctness loop over Newton's
// iteration for the reciprocal root with a bound from its residual (root_newton); beyond,
// over exp(ln |x| / n), with ln |x| at w + log10 |ln |x| / n| + 5 digits (1 or .99…9 when
// that exponent is below the last digit).
#include <algorithm>
#include <cmath>

#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"

namespace exact {

namespace {

// ---- rationals 2^α 5^β u / v ----------------------------------------------------------------
struct Rat {
  Nat u, v;  // coprime to 10 and to each other
  int64_t a2 = 0, a5 = 0;
  int64_t cx = 0, cb = 0;  // this number is x^cx b^cb
};

int64_t strip_factor(Nat &m, uint32_t p) {
  int64_t count = 0;
  for (;;) {
    uint32_t r;
    const Nat q = nat_divmod_small(m, p, &r);
    if (r != 0) return count;
    m = q;
    ++count;
  }
}

Rat rat_of(const Dec &x) {
  Rat r;
  Nat m = x.m;
  r.a2 = strip_factor(m, 2) + x.e;
  r.a5 = strip_factor(m, 5) + x.e;
  r.u = m;
  r.v = nat_from_u64(1);
  return r;
}

bool rat_is_one(const Rat &r) {
  return r.a2 == 0 && r.a5 == 0 && r.u.n == 1 && r.u.d[0] == 1 && r.v.n == 1 && r.v.d[0] == 1;
}

double rat_log10(const Rat &r) {
  return nat_log10(r.u) - nat_log10(r.v) + (double)r.a2 * 0.30102999566398120 +
         (double)r.a5 * 0.69897000433601880;
}

// log10 of u and v together (powers of 2 and 5 cost nothing to raise).
double rat_uheight(const Rat &r) { return nat_log10(r.u) + nat_log10(r.v); }

double rat_height(const Rat &r) {
  return (double)(nat_digits(r.u) + nat_digits(r.v)) + std::fabs((double)r.a2) * 0.30103 +
         std::fabs((double)r.a5) * 0.69897;
}

// p q^−m, in lowest terms.
Rat rat_div_pow(const Rat &p, const Rat &q, int64_t m) {
  Rat r;
  const uint64_t am = (uint64_t)(m < 0 ? -m : m);
  const Nat qu = nat_pow(q.u, am), qv = nat_pow(q.v, am);
  Nat num = nat_mul(p.u, m > 0 ? qv : qu), den = nat_mul(p.v, m > 0 ? qu : qv);
  const Nat g = nat_gcd(num, den);
  if (!(g.n == 1 && g.d[0] == 1)) {
    num = nat_div(num, g);
    den = nat_div(den, g);
  }
  r.u = num;
  r.v = den;
  r.a2 = p.a2 - m * q.a2;
  r.a5 = p.a5 - m * q.a5;
  r.cx = p.cx - m * q.cx;
  r.cb = p.cb - m * q.cb;
  return r;
}

// log_b x as an exact fraction −cb / cx when the logarithms are commensurable.
bool exact_log_ratio(const Dec &x, const Dec &b, int64_t *num, int64_t *den) {
  Frame f;
  Rat P = rat_of(x), Q = rat_of(b);
  P.cx = 1;
  Q.cb = 1;
  const double limit = rat_height(P) + rat_height(Q) + 64;
  LoopBase lb;
  for (int step = 0; step < 400; ++step) {
    cancel_check();
    double lp = rat_log10(P), lq = rat_log10(Q);
    if (std::fabs(lp) < std::fabs(lq)) {
      std::swap(P, Q);
      std::swap(lp, lq);
    }
    if (lq == 0) return false;  // not reached: Q = 1 ends the loop below
    const double ratio = lp / lq;
    if (std::fabs(ratio) > 1e15) return false;
    int64_t m = std::llround(ratio);
    if (m == 0) m = ratio > 0 ? 1 : -1;
    // Powers of one r: P's u and v are about |m| times Q's, so a longer Q^m rules it out
    // (and keeps the powers short).
    if ((double)std::llabs(m) * rat_uheight(Q) > rat_uheight(P) + rat_uheight(Q) + 64) return false;
    Rat R = rat_div_pow(P, Q, m);
    if (std::llabs(R.cx) > (1ll << 40) || std::llabs(R.cb) > (1ll << 40)) return false;
    if (rat_is_one(R)) {
      if (R.cx == 0) return false;  // b = 1: excluded by the caller
      *num = -R.cb;
      *den = R.cx;
      if (*den < 0) {
        *num = -*num;
        *den = -*den;
      }
      return true;
    }
    if (rat_height(R) > limit) return false;
    P = R;
    lb.settle({&P.u, &P.v, &Q.u, &Q.v});
  }
  return false;
}

// ---- n-th roots -------------------------------------------------------------------------------
// floor(x^(1/k) 10^(−E)) as an exact decimal: x = X 10^e > 0, k ≥ 2 (rootk > 0: the root, else
// its inverse), with more than D digits.
Dec root_truncated(const Nat &X, int64_t e, uint64_t k, bool inverse) {
  const int64_t D = internal_digits - 1;
  const int64_t kk = (int64_t)k;
  if (!inverse) {
    // (X 10^s)^(1/k) 10^((e − s)/k) with (e − s) ≡ 0 mod k and k (D + 2) digits under the root.
    int64_t s = kk * (D + 2) - nat_digits(X);
    if (s < 0) s = 0;
    while (((e - s) % kk + kk) % kk != 0) ++s;
    const Nat r = nat_root(nat_mul_pow10(X, s), k);
    return Dec{r, (e - s) / kk, false};
  }
  // x^(−1/k) 10^t = (10^(kt − e) / X)^(1/k): kt − e ≥ 0 and D + 2 digits in the root.
  int64_t t = D + 3 + (int64_t)std::ceil((double)(e + nat_digits(X)) / (double)kk);
  while (kk * t - e < 0) ++t;
  const Nat A = nat_div(nat_mul_pow10(nat_from_u64(1), kk * t - e), X);
  const Nat r = nat_root(A, k);
  return Dec{r, -t, false};
}

// x^(1/k) for an exact x > 0 and 3 ≤ k ≤ 64, relative width about 10^−w: Newton's iteration
// for the reciprocal root from below, then a bound from its residual.
// With x = x' 10^(kq), x' ∈ [1, 10^k), and r* = x'^(−1/k) ∈ (1/10, 1]: the step
// r' = r + r (1 − x' r^k) / k maps r = t r* (t < 1) to h(t) r* with h(t) = t + t (1 − t^k) / k,
// concave with h(1) = 1 and h'(1) = 0, so the iterates rise and stay below r*; every product
// floors, and a few units are taken off after each step, so that holds for the computed ones.
// The last r has the residual ρ = 1 − x' r^k (x' r^k from floored products: ρ is an upper
// bound), and 1 − t ≤ (1 − t^k) / (k t^(k−1)): r* ≤ r (1 + 1.02 ρ / k). The root is
// x' r*^(k−1) 10^q ∈ [R, R (1 + 1.02 ρ)^((k−1)/k) + k units] for R = x' r^(k−1) floored.
Approx root_newton(const Dec &x, uint64_t k, int64_t w) {
  const int64_t kk = (int64_t)k;
  // x = x' 10^(kq) with 1 ≤ x' < 10^k.
  const int64_t mag = dx_magnitude(x);
  const int64_t q = mag >= 0 ? mag / kk : -((-mag + kk - 1) / kk);
  Dec xs = x;
  xs.e -= kk * q;
  // r^k ≥ 10^−k loses up to k digits of its fixed-point precision: as many guard digits at
  // every step.
  const int guard = (int)((kk + 5) / BASE_DIGITS) + 1;
  const int p = limbs_for(w + 4) + 2 + guard;
  // The double start, a little below r*.
  const double lx = nat_log10(xs.m) + (double)xs.e;
  const double r0 = std::pow(10.0, -lx / (double)kk) * (1 - 1e-12);
  Int r;
  {
    const int64_t mant = (int64_t)std::floor(r0 * 1e15);
    r = fix_from_dec(dx_from_i64(mant, -15), p);
  }
  auto power = [&](const Int &y, int pi, Int *y_km1) {
    // y^(k−1) at pi limbs by binary powering (floors), then y^k = y^(k−1) y.
    Int base = y, km1;
    bool have = false;
    for (uint64_t e = k - 1; e; e >>= 1) {
      if (e & 1) {
        km1 = have ? fix_mul(km1, base, pi) : base;
        have = true;
      }
      if (e > 1) base = fix_mul(base, base, pi);
    }
    *y_km1 = km1;
    return fix_mul(km1, y, pi);
  };
  // Precisions: doubling digits from a double's 15 to p limbs.
  int targets[64], steps = 0;
  for (int t = p - guard; steps < 64; t = t / 2 + 1) {
    targets[steps++] = t + guard;
    if (t <= 3) break;
  }
  Int km1, xr;
  for (int i = steps - 1; i >= -1; --i) {
    cancel_check();
    const int pi = i >= 0 ? targets[i] : p;
    Frame f;
    const Int ri = int_shift_floor(r, pi - p);
    const Int X = fix_from_dec(xs, pi);
    Int ykm1;
    const Int xrk = fix_mul(X, power(ri, pi, &ykm1), pi);
    const Int rho = int_sub(fix_one(pi), xrk);  // ≥ 0 up to the floors
    if (i < 0) {
      // The residual of the final r: the bound, and R = x' r^(k−1).
      xr = fix_mul(X, ykm1, p);
      km1 = rho.neg ? Int{} : rho;
      f.keep({&xr.m, &km1.m});
      break;
    }
    Int corr = int_div_floor(fix_mul(ri, rho, pi), nat_from_u64(k));
    Int next = int_sub(int_add(ri, corr), int_from_i64(2 * kk + 4));
    next = int_shift_floor(next, p - pi);
    f.keep({&next.m});
    r = next;
  }
  // R and its radius: R ((1 + 1.02 ρ)^((k−1)/k) − 1) ≤ 1.03 ρ R (ρ tiny), plus k units.
  const Nat rad = nat_add_small(nat_high_limbs(nat_mul_small(nat_mul(xr.m, km1.m), 103), p), (uint32_t)(k + 2));
  const Nat radc = nat_div_pow10(rad, 2);
  Approx a = approx_from_bounds(xr.m, nat_add(xr.m, nat_add_small(radc, 1)), p);
  a.e += q;
  return a;
}

}  // namespace

}  // namespace exact

using namespace exact;

int exact_logb(DecWord *out, const DecWord *x, const DecWord *b) {
  if (pass_markers(out, x, b)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(x), B = dx_of(b);
    const Dec one = dx_from_i64(1);
    if (dx_is_zero(B) || B.neg || dx_cmp(B, one) == 0)
      return error_with(out, "logb: the base y must be positive and not 1");
    if (dx_is_zero(X) || X.neg) return error_with(out, "logb: x must be positive");
    if (dx_cmp(X, one) == 0) return dec_zero(out);
    int64_t num, den;
    if (exact_log_ratio(X, B, &num, &den)) {
      const uint64_t an = (uint64_t)(num < 0 ? -num : num);
      return write_ratio(out, nat_from_u64(an), nat_from_u64((uint64_t)den), num < 0);
    }
    return ziv_ap(out, [&](int64_t w) { return ap_div(ln_dec(X, w + 4), ln_dec(B, w + 4), w + 4); });
  });
}

int exact_root(DecWord *out, const DecWord *x, const DecWord *n) {
  if (pass_markers(out, x, n)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(x), N = dx_of(n);
    if (dx_is_zero(N) || !dx_is_integer(N)) return error_with(out, "nroot: y must be a nonzero integer");
    const bool inverse = N.neg;
    if (dx_is_zero(X)) {
      if (inverse) return error_with(out, "nroot: the root of 0 with y < 0 is 1/0");
      return dec_zero(out);
    }
    const bool odd = dx_is_odd_integer(N);
    if (X.neg && !odd) return error_with(out, "nroot: an even root of a negative number");
    const bool neg = X.neg;
    int64_t k64 = 0;
    const bool small = dx_to_i64(N, &k64);
    const uint64_t k = small ? (uint64_t)(k64 < 0 ? -k64 : k64) : 0;
    Dec A = X;
    A.neg = false;
    const Dec one = dx_from_i64(1);
    if (small && k == 1) {
      if (!inverse) return dx_write(out, X);
      return write_ratio(out, nat_mul_pow10(nat_from_u64(1), A.e < 0 ? -A.e : 0),
                         nat_mul_pow10(A.m, A.e > 0 ? A.e : 0), neg);
    }
    if (dx_cmp(A, one) == 0) return dx_write(out, neg ? dx_from_i64(-1) : one);
    // Exact roots: |n| divides e and X is a perfect |n|-th power.
    const int64_t z = nat_trailing_zero_digits(A.m);
    const Nat Xm = nat_div_pow10(A.m, z);
    const int64_t e = A.e + z;
    const bool unit = Xm.n == 1 && Xm.d[0] == 1;
    if (small && e % (int64_t)k == 0 && (unit || (double)k <= 3.33 * (double)nat_digits(Xm) + 4)) {
      const Nat T = unit ? Xm : nat_root(Xm, k);
      if (nat_cmp(nat_pow(T, k), Xm) == 0) {
        const int64_t f = e / (int64_t)k;
        if (!inverse) return dx_write(out, dx_make(T, f, neg));
        // 1 / (T 10^f).
        const Nat num = nat_mul_pow10(nat_from_u64(1), f < 0 ? -f : 0);
        const Nat den = nat_mul_pow10(T, f > 0 ? f : 0);
        return write_ratio(out, num, den, neg);
      }
    }
    if (small && k == 2) {
      Dec r = root_truncated(Xm, e, k, inverse);
      r.neg = neg;
      return dx_write(out, r);
    }
    if (small && k <= 64) {
      return ziv_ap(out, [&](int64_t w) {
        const Approx r = root_newton(A, k, w + 2);
        Approx v = inverse ? ap_div(ap_small(1), r, w + 2) : r;
        if (neg) v.mid = int_neg(v.mid);
        return v;
      });
    }
    // exp(ln |x| / n): |ln |x|| < 2.4 × 10^9.
    const double lz = std::log10(std::fabs((nat_log10(A.m) + (double)A.e) * 2.302585092994046) + 1e-300) -
                      (nat_log10(N.m) + (double)N.e);
    if (lz < -(double)(internal_digits + 3)) {
      // |ln |x| / n| below one unit of the last digit: 1 (just above) or .99…9 (just below).
      const bool above = (dx_cmp(A, one) > 0) != inverse;
      Dec r = above ? one : dx_nines();
      r.neg = neg;
      return dx_write(out, r);
    }
    const int64_t extra = std::max<int64_t>(0, (int64_t)std::ceil(lz)) + 5;
    return ziv_ap(out, [&](int64_t w) {
      Approx r = ap_exp(ap_div(ln_dec(A, w + extra), ap_exact(N), w + extra), w);
      if (neg) r.mid = int_neg(r.mid);
      return r;
    });
  });
}
