// Sine, cosine and tangent in degrees or radians.
//
// The argument is reduced in its own unit: the remainder of a truncated division by the
// period (2P for sine and cosine, P for the tangent; P = 180 in degree mode, π truncated to
// the working precision in radian mode), then folded into 0 .. Q = P/4 by the symmetries,
// with H = P/2. The multiples of 45 degrees (π/4) that the folding recognises by exact
// equality get exact answers (√0.5 from the square root). Only the folded value is
// converted from degrees, t × π / 180, so the period reduction of a degree argument of
// any size is exact; a fold (P − t, H − t) aligns t to 180 or 90 and may drop t's last
// digit, at most one unit of the last digit of 180. In radian mode the reduction error is
// about |x| / π units of π's last digit.
// The two Taylor series run in Horner form on t ≤ π/4 with the trigonometric column of the
// term table. A result below 5 × 10^−(sig_digits + 1), half a unit in the sig_digits-th
// place after the point, becomes zero (what is left of an exact zero after truncation).
#include "functions/fn_internal.h"

namespace {

// Largest k for which 2k(2k + 1) is a 32-bit int; above it the series divide twice.
constexpr int SINGLE_DIVISOR_TERMS = 23170;

void load_half_period(DecWord *p) {
  if (radian_mode)
    dec_pi(p);
  else
    dec_set_int(p, 180, 0);
}

// t = a − t, held at zero should the difference be negative.
void reflect(DecWord *t, const DecWord *a) {
  dec_sub(t, a, t);
  if (dec_is_negative(t)) dec_zero(t);
}

// Degree mode: t = t × π / 180, with W0 = π and W2 the product.
void degrees_to_radians(DecWord *t) {
  if (radian_mode) return;
  dec_pi(W(0));
  dec_mul(W(2), t, W(0));
  dec_div_small(t, W(2), 180, 0);
}

bool below_shown_precision(const DecWord *r) {
  return dec_compare_small(r, 5, -sig_digits - 1) < 0;
}

// The tiny-result rule and the sign, the common end of sine and cosine.
int finish(DecWord *out, bool neg) {
  if (below_shown_precision(out)) return dec_zero(out);
  if (neg) dec_make_negative(out);
  return 0;
}

}  // namespace

// sin t = t (1 − t²/(2·3) (1 − t²/(4·5) (… (1 − t²/(2N(2N + 1)))))), 0 ≤ t ≤ π/4.
// W0 the Horner sum, W1 t², W2 the term.
int sin_series(DecWord *out, const DecWord *t, int N) {
  int status;
  if (!fn_operand_ok(out, t, &status)) return status;
  if (N > SERIES_MAX_TERMS) N = SERIES_MAX_TERMS;
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2);
  dec_set_int(W0, 1, 0);
  dec_mul(W1, t, t);
  ProgressLoop progress;
  for (int k = N; k >= 1; --k) {
    cancel_check();
    progress.set(N - k, N);
    dec_mul(W2, W0, W1);
    if (k <= SINGLE_DIVISOR_TERMS) {
      dec_div_small(W2, W2, 2 * k * (2 * k + 1), 0);
    } else {
      dec_div_small(W2, W2, 2 * k + 1, 0);
      dec_div_small(W2, W2, 2 * k, 0);
    }
    dec_rsub_small(W0, 1, 0, W2);
  }
  return dec_mul(out, W0, t);
}

// cos t = 1 − t²/(1·2) (1 − t²/(3·4) (… (1 − t²/((2N − 1)2N)))), 0 ≤ t ≤ π/4.
// out the Horner sum, W1 t², W2 and W0 the term.
int cos_series(DecWord *out, const DecWord *t, int N) {
  int status;
  if (!fn_operand_ok(out, t, &status)) return status;
  if (N > SERIES_MAX_TERMS) N = SERIES_MAX_TERMS;
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2);
  dec_mul(W1, t, t);  // first, so that out may be t
  dec_set_int(out, 1, 0);
  ProgressLoop progress;
  for (int k = N; k >= 1; --k) {
    cancel_check();
    progress.set(N - k, N);
    dec_mul(W2, out, W1);
    if (k <= SINGLE_DIVISOR_TERMS) {
      dec_div_small(W0, W2, (2 * k - 1) * 2 * k, 0);
    } else {
      dec_div_small(W0, W2, 2 * k, 0);
      dec_div_small(W0, W0, 2 * k - 1, 0);
    }
    dec_rsub_small(out, 1, 0, W0);
  }
  return 0;
}

// Work numbers: W0 P, then Q, then π; W1 2P, then H; W2 the degree conversion.
// The quotient of the period reduction goes to scratch slot 0 and is dropped.
int dec_sin(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  const int N = series_terms(TERMS_TRIG);
  DecWord *W0 = W(0), *W1 = W(1);
  load_half_period(W0);
  dec_add(W1, W0, W0);
  if (dec_divmod(scratch_slot(0), out, x, W1) != 0) return -1;  // t = x mod 2P
  if (dec_is_zero(out)) return 0;
  bool neg = dec_is_negative(out);
  dec_make_abs(out);
  int c = dec_compare(out, W0);
  if (c == 0) return dec_zero(out);
  if (c > 0) {
    dec_sub(out, out, W0);
    neg = !neg;
  }
  dec_mul_small(W1, W0, 5, -1);  // H
  c = dec_compare(out, W1);
  if (c == 0) {
    dec_set_int(out, 1, 0);
    return finish(out, neg);
  }
  if (c > 0) reflect(out, W0);
  dec_mul_small(W0, W1, 5, -1);  // Q
  c = dec_compare(out, W0);
  if (c == 0 && term_override == 0) {
    dec_set_int(out, 5, -1);
    dec_sqrt(out, out);
    return finish(out, neg);
  }
  const bool cofunction = c > 0;  // sin t = cos (π/2 − t)
  if (cofunction) reflect(out, W1);
  degrees_to_radians(out);
  if (cofunction)
    cos_series(out, out, N);
  else
    sin_series(out, out, N);
  return finish(out, neg);
}

int dec_cos(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) {
    dec_set_int(out, 1, 0);
    return 0;
  }
  const int N = series_terms(TERMS_TRIG);
  DecWord *W0 = W(0), *W1 = W(1);
  load_half_period(W0);
  dec_add(W1, W0, W0);
  if (dec_divmod(scratch_slot(0), out, x, W1) != 0) return -1;  // t = x mod 2P
  if (dec_is_zero(out)) {
    dec_set_int(out, 1, 0);
    return 0;
  }
  dec_make_abs(out);  // the cosine is even
  bool neg = false;
  int c = dec_compare(out, W0);
  if (c == 0) {
    dec_set_int(out, 1, 0);
    return finish(out, true);
  }
  if (c > 0) {
    dec_sub(out, out, W0);
    neg = true;
  }
  dec_mul_small(W1, W0, 5, -1);  // H
  c = dec_compare(out, W1);
  if (c == 0) return dec_zero(out);
  if (c > 0) {
    reflect(out, W0);
    neg = !neg;
  }
  dec_mul_small(W0, W1, 5, -1);  // Q
  c = dec_compare(out, W0);
  if (c == 0 && term_override == 0) {
    dec_set_int(out, 5, -1);
    dec_sqrt(out, out);
    return finish(out, neg);
  }
  const bool cofunction = c > 0;  // cos t = sin (π/2 − t)
  if (cofunction) reflect(out, W1);
  degrees_to_radians(out);
  if (cofunction)
    sin_series(out, out, N);
  else
    cos_series(out, out, N);
  return finish(out, neg);
}

// Work numbers: W0 P, then Q, then π; W1 H, then the degree product; W3 the sine part.
int dec_tan(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  const int N = series_terms(TERMS_TRIG);
  DecWord *W0 = W(0), *W1 = W(1), *W3 = W(3);
  load_half_period(W0);
  if (dec_divmod(scratch_slot(0), out, x, W0) != 0) return -1;  // t = x mod P
  if (dec_is_zero(out)) return 0;
  bool neg = dec_is_negative(out);
  dec_make_abs(out);
  dec_mul_small(W1, W0, 5, -1);  // H
  int c = dec_compare(out, W1);
  if (c == 0) return fn_fail(out, NUM_OVERFLOW);
  if (c > 0) {
    reflect(out, W0);
    neg = !neg;
  }
  dec_mul_small(W0, W1, 5, -1);  // Q
  c = dec_compare(out, W0);
  if (c == 0 && term_override == 0) {
    dec_set_int(out, 1, 0);
  } else {
    const bool cot = c > 0;  // tan t = cot (π/2 − t)
    if (cot) reflect(out, W1);
    if (!radian_mode) {
      dec_pi(W0);
      dec_mul(W1, out, W0);
      dec_div_small(out, W1, 180, 0);
    }
    sin_series(W3, out, N);
    if (below_shown_precision(W3)) dec_zero(W3);
    cos_series(out, out, N);
    if (below_shown_precision(out)) dec_zero(out);
    if (cot) {
      if (dec_is_zero(W3)) return fn_fail(out, NUM_ERROR);
      dec_div(out, out, W3);
    } else {
      if (dec_is_zero(out)) return fn_fail(out, NUM_ERROR);
      dec_div(out, W3, out);
    }
  }
  if (neg) dec_make_negative(out);
  return 0;
}
