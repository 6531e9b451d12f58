// The exponential and powers of ten.
//
// e^x = e^d × (e^(2^30))^n × e^f for |x| = n × 2^30 + d + f (n ≤ 2, d < 2^30 an integer,
// 0 ≤ f < 1): the integer part by square-and-multiply on the stored e, the fraction by its
// Taylor sum in Horner form, 1 + f(1 + f/2(1 + f/3(… (1 + f/N)))), on f ≤ 1/2 (a larger f
// is halved and the sum squared). A negative x takes the reciprocal at the end, so the range
// test is made on e^|x|. Every step truncates; the series adds about one unit of the last
// internal digit per term, the powering about one per multiplication, relative.
// 10^x moves its integer part into the exponent and needs only e^(f ln 10).
#include "functions/fn_internal.h"

// e^x with N series terms. Work numbers: W0 the series sum, W1 the reduced argument,
// W2 the power of e, then the series term, then the constant 1.
int exp_series(DecWord *out, const DecWord *x, int N) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (N > SERIES_MAX_TERMS) N = SERIES_MAX_TERMS;
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2);
  dec_copy(W1, x);
  const bool neg = dec_is_negative(W1);
  dec_make_abs(W1);

  int n = 0;  // reductions by 2^30
  while (dec_compare_small(W1, 1073741824, 0) >= 0) {
    if (n == 2) return fn_fail(out, NUM_OVERFLOW);
    ++n;
    dec_add_small(W1, W1, -1073741824, 0);
  }
  int32_t d = dec_to_int(W1);  // 0 ≤ d < 2^30
  if (d != 0) dec_add_small(W1, W1, -d, 0);  // W1 = f

  dec_set_int(out, 1, 0);
  if (d > 0 || n > 0) dec_e(W2);
  for (int i = 0;; ++i) {
    cancel_check();
    if (d == 0) {
      if (n == 0) break;
      if (i >= 30) {  // W2 = e^(2^30)
        for (int m = 0; m < n; ++m)
          if (dec_mul(out, out, W2) != 0) return fn_fail(out, NUM_OVERFLOW);
        break;
      }
    }
    if (d & 1)
      if (dec_mul(out, out, W2) != 0) return fn_fail(out, NUM_OVERFLOW);
    d >>= 1;
    // An overflowed W2 is not tested here: it makes the next multiplication of out fail.
    if (d != 0 || n > 0) dec_mul(W2, W2, W2);
  }

  if (!dec_is_zero(W1)) {
    const bool halve = dec_compare_small(W1, 5, -1) > 0;
    if (halve) dec_mul_small(W1, W1, 5, -1);
    dec_set_int(W0, 1, 0);
    ProgressLoop progress;
    for (int k = N; k >= 1; --k) {
      cancel_check();
      progress.set(N - k, N);
      dec_mul(W2, W0, W1);
      dec_div_small(W2, W2, k, 0);
      dec_add_small(W0, W2, 1, 0);
    }
    if (halve) dec_mul(W0, W0, W0);
    if (dec_mul(out, out, W0) != 0) return fn_fail(out, NUM_OVERFLOW);
  }
  if (neg) {
    dec_set_int(W2, 1, 0);
    return dec_div(out, W2, out);
  }
  return 0;
}

int dec_exp(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  return exp_series(out, x, series_terms(TERMS_EXP));
}

// 10^x = 10^e × e^(f ln 10) for |x| = e + f. Work numbers: W0 the integer part, W1 the
// fraction, W2 ln 10 and then the constant 1 (dec_exp uses W0..W2 itself once e is known).
int dec_exp10(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2);
  dec_copy(W1, x);
  const bool neg = dec_is_negative(W1);
  dec_make_abs(W1);
  dec_trunc(W0, W1);
  if (dec_compare_small(W0, 999999999, 0) > 0) {
    if (neg) return dec_zero(out);
    return fn_fail(out, NUM_OVERFLOW);
  }
  dec_sub(W1, W1, W0);
  const int32_t e = dec_to_int(W0);
  if (!dec_is_zero(W1)) {
    dec_ln10(W2);
    dec_mul(out, W1, W2);
    if (dec_exp(out, out) != 0) return -1;
  } else {
    dec_set_int(out, 1, 0);
  }
  // out < 10 here, so the exponent stays in range; the test only guards the invariant.
  if ((int64_t)dec_exponent(out) + e > DEC_EXP_MAX) return fn_fail(out, NUM_OVERFLOW);
  out[0] += (DecWord)(2 * e);
  if (neg) {
    dec_set_int(W2, 1, 0);
    return dec_div(out, W2, out);
  }
  return 0;
}
