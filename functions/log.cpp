// Natural and common logarithms and the general power.
//
// ln x for x > 1: m square roots bring y = x^(1/k), k = 2^m, below 1.133148454; then
// ln x = 2k atanh z = 2k (z + z³/3 + … + z^(2N+1)/(2N+1)) with z = (y − 1)/(y + 1) < 0.0625,
// summed in Horner form in z². x < 1 goes through 1/x. The roots are exact truncations, so
// y carries a relative error of about one unit of the last internal digit, which the
// factor k leaves relative. A decimal exponent E needs about log2(18.4 |E|) roots; beyond
// |E| ≈ 58,000,000 the factor k no longer fits a 32-bit int and is applied as 2^30 × 2^(m−30).
//
// x^y = x^e × (x^(2^30))^n × e^(f ln x) for |y| = n × 2^30 + e + f, the integer part by
// square-and-multiply, the fraction through dec_exp and dec_ln; a negative y takes the
// reciprocal at the end.
#include "functions/fn_internal.h"

// ln x for x > 1 with N series terms. Work numbers: W2 the root of x, then z; W0 and W1
// y − 1 and y + 1, then the series sum and z².
int ln_series(DecWord *out, const DecWord *x, int N) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (N > SERIES_MAX_TERMS) N = SERIES_MAX_TERMS;
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2);
  dec_copy(W2, x);
  int m = 0;  // k = 2^m square roots taken; every valid x needs at most 35
  while (m < 62 && dec_compare_small(W2, 1133148454, -9) >= 0) {
    cancel_check();
    dec_sqrt(W2, W2);
    ++m;
  }
  dec_add_small(W0, W2, -1, 0);
  dec_add_small(W1, W2, 1, 0);
  dec_div(W2, W0, W1);  // z
  dec_mul(W1, W2, W2);  // z²

  dec_zero(W0);
  const int64_t terms = (int64_t)N + 1;
  ProgressLoop progress;
  for (int64_t t = 0; t < terms; ++t) {
    cancel_check();
    progress.set((int)t, (int)terms);
    const int32_t odd = (int32_t)(2 * (N - t) + 1);  // 2N + 1, 2N − 1, …, 1
    dec_mul(out, W0, W1);
    dec_set_int(W0, 1, 0);
    dec_div_small(W0, W0, odd, 0);
    dec_add(W0, W0, out);
  }
  dec_mul(out, W0, W2);
  dec_add(out, out, out);
  // out × k, k = 2^m held as a 64-bit value: one factor while it fits an int.
  if (m <= 30)
    return dec_mul_small(out, out, (int32_t)(1 << m), 0);
  dec_mul_small(out, out, 1 << 30, 0);
  return dec_mul_small(out, out, (int32_t)(1LL << (m - 30)), 0);
}

int dec_ln(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_negative(x) || dec_is_zero(x)) return fn_fail(out, NUM_ERROR);
  const int c = dec_compare_small(x, 1, 0);
  if (c == 0) return dec_zero(out);
  const int N = series_terms(TERMS_LN);
  if (c > 0) return ln_series(out, x, N);
  DecWord *W0 = W(0);
  dec_set_int(W0, 1, 0);
  dec_div(out, W0, x);
  ln_series(out, out, N);
  dec_make_negative(out);
  return 0;
}

// log10 x = ln m / ln 10 + E for x = m × 10^E, 1 ≤ m < 10.
int dec_log10(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_negative(x) || dec_is_zero(x)) return fn_fail(out, NUM_ERROR);
  if (dec_compare_small(x, 1, 0) == 0) return dec_zero(out);
  const int32_t E = dec_exponent(x);
  DecWord *W0 = W(0);
  dec_copy(W0, x);
  dec_set_head(W0, 0);
  dec_ln(out, W0);
  dec_ln10(W0);
  dec_div(out, out, W0);
  return dec_add_small(out, out, E, 0);
}

// x^y. Work numbers: W0 x and its squares, W3 the integer power, W4 |y| and then its
// fraction, W1 the quotient of the reduction, W2 the constant 1.
int dec_pow(DecWord *out, const DecWord *x, const DecWord *y) {
  if (out == nullptr) return -1;
  if (x == nullptr || y == nullptr || dec_head(x) == NUM_ERROR || dec_head(y) == NUM_ERROR)
    return fn_fail(out, NUM_ERROR);
  if (dec_head(x) == NUM_OVERFLOW || dec_head(y) == NUM_OVERFLOW)
    return fn_fail(out, NUM_OVERFLOW);
  if (dec_is_negative(x) || dec_is_zero(x)) return fn_fail(out, NUM_ERROR);
  if (dec_is_zero(y)) {
    dec_set_int(out, 1, 0);
    return 0;
  }
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2), *W3 = W(3), *W4 = W(4);
  dec_copy(W0, x);
  dec_copy(W4, y);
  const bool neg = dec_is_negative(W4);
  dec_make_abs(W4);
  if (dec_exponent(W4) >= internal_digits - 1) return fn_fail(out, NUM_ERROR);

  // n = floor(|y| / 2^30) and W4 = |y| − n × 2^30. The remainder of the integer division
  // is the exact value that n subtractions of 2^30 leave; n above 2^31 − 1 (|y| ≥ 2^61)
  // cannot be counted.
  int32_t n = 0;
  if (dec_compare_small(W4, 1073741824, 0) >= 0) {
    dec_divmod_small(W1, W4, W4, 1073741824, 0);
    const int32_t quotient = dec_to_int(W1);
    if (quotient == INT32_MIN || quotient < 0) return fn_fail(out, NUM_OVERFLOW);
    n = quotient;
  }
  int32_t e = dec_to_int(W4);  // 0 ≤ e < 2^30
  if (e != 0) dec_add_small(W4, W4, -e, 0);  // W4 = f

  dec_set_int(W3, 1, 0);
  for (int i = 0;; ++i) {
    cancel_check();
    if (e == 0) {
      if (n == 0) break;
      if (i >= 30) {  // W0 = x^(2^30)
        // Once W3 is zero, or W0 is exactly 1, further factors change nothing.
        const bool unit = dec_compare_small(W0, 1, 0) == 0;
        ProgressLoop progress;
        for (int32_t m = 0; m < n && !unit && !dec_is_zero(W3); ++m) {
          cancel_check();
          progress.set(m, n);
          if (dec_mul(W3, W3, W0) != 0) return fn_fail(out, NUM_OVERFLOW);
        }
        break;
      }
    }
    if (e & 1)
      if (dec_mul(W3, W3, W0) != 0) return fn_fail(out, NUM_OVERFLOW);
    e >>= 1;
    if (e != 0 || n > 0)
      if (dec_mul(W0, W0, W0) != 0) return fn_fail(out, NUM_OVERFLOW);
  }

  if (!dec_is_zero(W4)) {
    dec_ln(out, x);  // of x itself (untouched so far; y's value is in W4)
    dec_mul(out, W4, out);
    if (dec_exp(out, out) != 0) return fn_fail(out, NUM_OVERFLOW);
    if (dec_mul(out, W3, out) != 0) return fn_fail(out, NUM_OVERFLOW);
  } else {
    dec_copy(out, W3);
  }
  if (neg) {
    dec_set_int(W2, 1, 0);
    return dec_div(out, W2, out);
  }
  return 0;
}
