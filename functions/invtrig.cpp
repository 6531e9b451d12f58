// Arc sine, arc cosine and arc tangent, the result in the angle unit of radian_mode.
//
// All three rest on the Taylor series of the arc sine on 0 ≤ u ≤ 1/2, summed in Horner form,
//   asin u = u (1 + u² 1²/(2·3) (1 + u² 3²/(4·5) (… (1 + u² (2N − 1)²/(2N (2N + 1)))))).
// Larger arguments are reflected, asin x = π/2 − 2 asin √((1 − x)/2); acos x = π/2 − asin x;
// atan x = asin (|x| / √(1 + x²)), taken of 1/|x| and subtracted from a right angle when
// |x| > 1. Results are computed in radians and converted at the end. The exact values at
// ±1/2 and ±1 come without a series.
#include "functions/fn_internal.h"

namespace {

// Largest k for which (2k − 1)² and 2k(2k + 1) are 32-bit ints.
constexpr int SINGLE_FACTOR_TERMS = 23170;

// out = π × 0.5 (W0 = π).
void half_pi(DecWord *out) {
  dec_pi(W(0));
  dec_mul_small(out, W(0), 5, -1);
}

}  // namespace

// W0 the Horner sum, W1 u², W2 u; out takes the terms.
int asin_series(DecWord *out, const DecWord *u, int N) {
  int status;
  if (!fn_operand_ok(out, u, &status)) return status;
  if (N > SERIES_MAX_TERMS) N = SERIES_MAX_TERMS;
  DecWord *W0 = W(0), *W1 = W(1), *W2 = W(2);
  dec_set_int(W0, 1, 0);
  dec_copy(W2, u);
  dec_mul(W1, u, u);
  const int total = N;
  // Beyond SINGLE_FACTOR_TERMS the coefficient (2k − 1)² / (2k (2k + 1)) is applied one
  // factor at a time.
  ProgressLoop progress;
  for (int k = N; k > SINGLE_FACTOR_TERMS; --k) {
    cancel_check();
    progress.set(total - k, total);
    const int32_t c = 2 * k - 1;
    dec_mul(out, W0, W1);
    dec_mul_small(W0, out, c, 0);
    dec_mul_small(out, W0, c, 0);
    dec_div_small(out, out, c + 2, 0);
    dec_div_small(out, out, c + 1, 0);
    dec_add_small(W0, out, 1, 0);
  }
  if (N > SINGLE_FACTOR_TERMS) N = SINGLE_FACTOR_TERMS;
  // (2k − 1)² and 2k (2k + 1), updated as k decreases.
  int32_t square = (2 * N - 1) * (2 * N - 1);
  int32_t divisor = 2 * N * (2 * N + 1);
  for (int k = N; k >= 1; --k) {
    cancel_check();
    progress.set(total - k, total);
    dec_mul(out, W0, W1);
    dec_mul_small(W0, out, square, 0);
    dec_div_small(out, W0, divisor, 0);
    dec_add_small(W0, out, 1, 0);
    square -= 8 * k - 8;
    divisor -= 8 * k - 2;
  }
  return dec_mul(out, W0, W2);
}

int dec_asin(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  DecWord *W0 = W(0), *W1 = W(1);
  dec_copy(out, x);
  const bool neg = dec_is_negative(out);
  dec_make_abs(out);
  int c = dec_compare_small(out, 1, 0);
  if (c > 0) return fn_fail(out, NUM_ERROR);
  if (c == 0) {
    if (radian_mode)
      half_pi(out);
    else
      dec_set_int(out, 90, 0);
  } else {
    c = dec_compare_small(out, 5, -1);
    if (c == 0 && term_override == 0) {
      if (radian_mode) {
        dec_pi(W0);
        dec_div_small(out, W0, 6, 0);
      } else {
        dec_set_int(out, 30, 0);
      }
    } else {
      const bool reflect = c > 0;
      if (reflect) {  // u = √((1 − |x|) / 2)
        dec_rsub_small(W0, 1, 0, out);
        dec_mul_small(out, W0, 5, -1);
        dec_sqrt(out, out);
      }
      asin_series(out, out, series_terms(TERMS_ASIN));
      if (reflect) {  // π/2 − 2 asin u
        dec_add(out, out, out);
        dec_pi(W0);
        dec_mul_small(W1, W0, 5, -1);
        dec_sub(out, W1, out);
      }
      if (!radian_mode) {
        if (!reflect) dec_pi(W0);
        dec_mul_small(W1, out, 180, 0);
        dec_div(out, W1, W0);
      }
    }
  }
  if (neg) dec_make_negative(out);
  return 0;
}

int dec_acos(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  DecWord *W0 = W(0), *W1 = W(1);
  if (dec_is_zero(x)) {
    if (radian_mode)
      half_pi(out);
    else
      dec_set_int(out, 90, 0);
    return 0;
  }
  dec_copy(out, x);
  const bool neg = dec_is_negative(out);
  dec_make_abs(out);
  int c = dec_compare_small(out, 1, 0);
  if (c > 0) return fn_fail(out, NUM_ERROR);
  if (c == 0) {
    if (!neg)
      dec_zero(out);
    else if (radian_mode)
      dec_pi(out);
    else
      dec_set_int(out, 180, 0);
    return 0;
  }
  c = dec_compare_small(out, 5, -1);
  if (c == 0) {  // whatever term_override is
    if (radian_mode) {
      dec_pi(W0);
      if (neg)
        dec_div_small(out, W0, 15, -1);
      else
        dec_div_small(out, W0, 3, 0);
    } else {
      dec_set_int(out, neg ? 120 : 60, 0);
    }
    return 0;
  }
  const bool reflect = c > 0;
  if (reflect) {
    dec_rsub_small(W0, 1, 0, out);
    dec_mul_small(out, W0, 5, -1);
    dec_sqrt(out, out);
  }
  asin_series(out, out, series_terms(TERMS_ASIN));
  if (reflect) {
    dec_add(out, out, out);
    dec_pi(W0);
    dec_mul_small(W1, W0, 5, -1);
    dec_sub(out, W1, out);
  }
  // out = asin |x| in radians; acos x = π/2 ∓ asin |x|.
  dec_pi(W0);
  dec_mul_small(W1, W0, 5, -1);
  if (neg)
    dec_add(out, W1, out);
  else
    dec_sub(out, W1, out);
  if (!radian_mode) {
    dec_mul_small(W1, out, 180, 0);
    dec_div(out, W1, W0);
  }
  return 0;
}

int dec_atan(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  DecWord *W0 = W(0), *W1 = W(1);
  dec_copy(out, x);
  const bool neg = dec_is_negative(out);
  dec_make_abs(out);
  const int c = dec_compare_small(out, 1, 0);
  if (c == 0 && term_override == 0) {
    if (radian_mode) {
      dec_pi(W0);
      dec_mul_small(out, W0, 25, -2);
    } else {
      dec_set_int(out, 45, 0);
    }
  } else {
    const bool recip = c > 0;
    if (recip) {
      dec_set_int(W1, 1, 0);
      dec_div(out, W1, out);
    }
    // v / √(1 + v²) for v = |x| or 1/|x|.
    dec_mul(W0, out, out);
    dec_add_small(W1, W0, 1, 0);
    dec_div(W1, W0, W1);
    dec_sqrt(out, W1);
    dec_asin(out, out);
    if (recip) {
      if (radian_mode)
        half_pi(W0);
      else
        dec_set_int(W0, 90, 0);
      dec_sub(out, W0, out);
    }
  }
  if (neg) dec_make_negative(out);
  return 0;
}
