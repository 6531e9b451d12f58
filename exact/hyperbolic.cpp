// The hyperbolic functions and their inverses in the exact mode, from the exp and ln
// kernels with enclosure arithmetic.
//
// Exactness: for a rational y ≠ 0, e^y is transcendental (Lindemann–Weierstrass), so
// sinh y, cosh y and tanh y (rational functions of e^y) are irrational; asinh, acosh and
// atanh of a rational x other than 0 (1 for acosh) are logarithms of algebraic numbers
// ≠ 1, again transcendental. The only exact results are sinh 0 = tanh 0 = asinh 0 =
// atanh 0 = 0, cosh 0 = 1 and acosh 1 = 0, decided before the correctness loop.
//
// Tiny arguments (|y| < 10^−(D/2 + 2), D the result's digits) are decided from the Taylor
// series: sinh y and atanh y lie strictly between y and y + one unit of y's D-th digit
// (|y|³ / 3 is below that unit), so they truncate to y; tanh y and asinh y lie just inside
// y, so they truncate to the next D-digit number toward zero; cosh y truncates to 1.
#include <algorithm>
#include <cmath>

#include "exact/exact.h"
#include "exact/exp_log.h"
#include "exact/run.h"

using namespace exact;

namespace {

// |y| < 10^(−(D + 4) / 2), so |y|³ < 10^(mag − D + 1) × 10^−1: the Taylor terms past y stay
// below a tenth of one unit of y's last digit.
bool tiny_odd(const Dec &y) { return 2 * dx_magnitude(y) <= -result_digits() - 6; }

bool domain_error(DecWord *out) {
  dec_set_marker(out, NUM_ERROR);
  return true;
}

int overflow(DecWord *out) {
  dec_set_marker(out, NUM_OVERFLOW);
  return -1;
}

// Extra working digits for a result near |y| from a difference of terms near 1: the
// absolute precision must reach 10^−w |y|.
int64_t cancel_digits(const Dec &y) { return std::max((int64_t)0, -dx_magnitude(y)) + 5; }

Dec abs_of(Dec y) {
  y.neg = false;
  return y;
}

Approx with_sign(Approx a, bool neg) {
  if (neg) a.mid = int_neg(a.mid);
  return a;
}

}  // namespace

// sinh y = (e^|y| − e^−|y|) / 2 with y's sign; |y| ≥ 10^10 overflows.
int exact_sinh(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec Y = dx_of(y);
    if (dx_is_zero(Y)) return dec_zero(out);
    if (dx_magnitude(Y) >= 10) return overflow(out);
    if (tiny_odd(Y)) return dx_write(out, Y);
    const Dec A = abs_of(Y);
    const int64_t extra = cancel_digits(Y);
    return ziv_ap(out, [&](int64_t w) {
      const int64_t w1 = w + extra;
      Approx E = exp_dec(A, w1);
      Approx I = ap_div(ap_small(1), E, w1);
      return with_sign(ap_half(ap_sub(E, I, w1)), Y.neg);
    });
  });
}

// cosh y = (e^|y| + e^−|y|) / 2 ≥ 1; 1 exactly for y = 0, truncated to 1 for y² < 10^−D.
int exact_cosh(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec Y = dx_of(y);
    if (dx_is_zero(Y)) return dx_write(out, dx_from_i64(1));
    if (dx_magnitude(Y) >= 10) return overflow(out);
    // cosh y − 1 < y² (|y| < 1) < 10^(2 mag + 2) ≤ 10^−D: below one unit of 1's last digit.
    if (2 * dx_magnitude(Y) + 2 <= -result_digits()) return dx_write(out, dx_from_i64(1));
    const Dec A = abs_of(Y);
    return ziv_ap(out, [&](int64_t w) {
      const int64_t w1 = w + 5;
      Approx E = exp_dec(A, w1);
      Approx I = ap_div(ap_small(1), E, w1);
      return ap_half(ap_add(E, I, w1));
    });
  });
}

// tanh y. For |y| > (D ln 10 + ln 2) / 2: 0 < 1 − |tanh y| = 2 / (e^2|y| + 1) < 10^−D, the
// result is 0.99…9 (never OVERFLOW). For |y| ≥ 1/2: 1 − 2 / (e^2|y| + 1); below:
// (e^|y| − e^−|y|) / (e^|y| + e^−|y|) with the cancellation's extra digits.
int exact_tanh(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec Y = dx_of(y);
    if (dx_is_zero(Y)) return dec_zero(out);
    if (tiny_odd(Y)) return dx_write(out, dx_below(Y));
    const Dec A = abs_of(Y);
    const int64_t limit = (int64_t)std::ceil(1.1513 * (double)result_digits()) + 2;
    if (dx_magnitude(A) >= 12 || dx_cmp(A, dx_from_i64(limit)) > 0) {
      Dec r = dx_nines();
      r.neg = Y.neg;
      return dx_write(out, r);
    }
    const bool large = dx_cmp(A, dx_from_i64(5, -1)) >= 0;
    const Dec A2 = dx_add(A, A);
    const int64_t extra = cancel_digits(Y);
    return ziv_ap(out, [&](int64_t w) {
      if (large) {
        const int64_t w1 = w + 5;
        Approx den = ap_add(exp_dec(A2, w1), ap_small(1), w1);
        return with_sign(ap_sub(ap_small(1), ap_div(ap_small(2), den, w1), w1), Y.neg);
      }
      const int64_t w1 = w + extra;
      Approx E = exp_dec(A, w1);
      Approx I = ap_div(ap_small(1), E, w1);
      return with_sign(ap_div(ap_sub(E, I, w1), ap_add(E, I, w1), w1), Y.neg);
    });
  });
}

// asinh x = ln(|x| + √(x² + 1)) with x's sign. Near 0 the logarithm's operand is near 1:
// it is enclosed to the absolute precision the result needs.
int exact_asinh(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec X = dx_of(y);
    if (dx_is_zero(X)) return dec_zero(out);
    if (tiny_odd(X)) return dx_write(out, dx_below(X));
    const Dec A = abs_of(X);
    const Approx sq1 = ap_exact(dx_mul(A, A));
    const int64_t extra = cancel_digits(X);
    return ziv_ap(out, [&](int64_t w) {
      const int64_t w1 = w + extra;
      Approx v = ap_add(ap_exact(A), ap_sqrt(ap_add(sq1, ap_small(1), w1), w1), w1);
      return with_sign(ap_ln(v, w1), X.neg);
    });
  });
}

// acosh x = ln(x + √(x² − 1)), x ≥ 1 (ERROR below). Near 1 (x < 10), x² − 1 = t (t + 2) with
// t = x − 1 exact, and acosh x ≈ √(2t): the extra digits follow log10 √t.
int exact_acosh(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec X = dx_of(y);
    const Dec one = dx_from_i64(1);
    const int c = dx_cmp(X, one);
    if (c < 0) {
      domain_error(out);
      return -1;
    }
    if (c == 0) return dec_zero(out);
    Approx s2;  // x² − 1
    int64_t extra = 5;
    if (dx_magnitude(X) < 1) {
      const Dec t = dx_sub(X, one);
      s2 = ap_exact(dx_mul(t, dx_add(t, dx_from_i64(2))));
      extra += std::max((int64_t)0, -dx_magnitude(t) / 2 + 1);
    }
    const bool near = dx_magnitude(X) < 1;
    return ziv_ap(out, [&](int64_t w) {
      const int64_t w1 = w + extra;
      Approx d = near ? s2 : ap_sub(ap_exact(dx_mul(X, X)), ap_small(1), w1);
      Approx v = ap_add(ap_exact(X), ap_sqrt(d, w1), w1);
      return ap_ln(v, w1);
    });
  });
}

// atanh x = ln((1 + x) / (1 − x)) / 2 for |x| < 1 (ERROR otherwise), 1 ± x exact; near 0 the
// quotient is near 1 and is enclosed to the absolute precision the result needs.
int exact_atanh(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec X = dx_of(y);
    if (dx_is_zero(X)) return dec_zero(out);
    if (dx_cmp_abs(X, dx_from_i64(1)) >= 0) {
      domain_error(out);
      return -1;
    }
    if (tiny_odd(X)) return dx_write(out, X);
    const Dec one = dx_from_i64(1);
    const Dec p = dx_add(one, X), m = dx_sub(one, X);
    const int64_t extra = cancel_digits(X);
    return ziv_ap(out, [&](int64_t w) {
      const int64_t w1 = w + extra;
      return ap_half(ap_ln(ap_div(ap_exact(p), ap_exact(m), w1), w1));
    });
  });
}
