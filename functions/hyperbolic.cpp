// Hyperbolic functions and their inverses, as fixed formulas over exp, ln and √:
//   sinh x = (e^x − e^−x)/2,  cosh x = (e^x + e^−x)/2,  tanh x = (e^x − e^−x)/(e^x + e^−x),
//   asinh x = ln (x + √(x² + 1)),  acosh x = ln (x + √(x² − 1)),
//   atanh x = ln ((1 + x)/(1 − x)) / 2.
// Domain errors are not tested up front: they arise in the root, the division or the
// logarithm and come out as NUM_ERROR. The formulas subtract nearly equal values for small
// |x| (sinh, tanh, asinh, atanh: about log10(1/|x|) significant digits are lost) and for
// negative x of large magnitude (asinh: about 2 log10 |x| digits).
//
// W0 and W1 hold the intermediate values; out holds e^x or the logarithm's argument, since
// dec_exp, dec_ln and dec_sqrt use W0..W2 themselves.
#include "functions/fn_internal.h"

namespace {

// out = e^x and W1 = 1 / e^x; false (out = NUM_OVERFLOW) when e^x fails.
bool exp_pair(DecWord *out, const DecWord *x) {
  if (dec_exp(out, x) != 0) return false;
  dec_set_int(W(0), 1, 0);
  dec_div(W(1), W(0), out);
  return true;
}

}  // namespace

int dec_sinh(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  if (!exp_pair(out, x)) return -1;
  dec_sub(W(0), out, W(1));
  return dec_mul_small(out, W(0), 5, -1);
}

int dec_cosh(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) {
    dec_set_int(out, 1, 0);
    return 0;
  }
  if (!exp_pair(out, x)) return -1;
  dec_add(W(0), out, W(1));
  return dec_mul_small(out, W(0), 5, -1);
}

int dec_tanh(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  if (!exp_pair(out, x)) return -1;
  dec_sub(W(0), out, W(1));
  dec_add(W(1), out, W(1));
  return dec_div(out, W(0), W(1));
}

int dec_asinh(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  dec_mul(W(0), x, x);
  dec_add_small(W(1), W(0), 1, 0);
  dec_sqrt(W(0), W(1));
  dec_add(out, W(0), x);
  return dec_ln(out, out);
}

int dec_acosh(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_compare_small(x, 1, 0) == 0) return dec_zero(out);
  dec_mul(W(0), x, x);
  dec_add_small(W(1), W(0), -1, 0);
  dec_sqrt(W(0), W(1));
  dec_add(out, W(0), x);
  return dec_ln(out, out);
}

int dec_atanh(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  dec_add_small(W(0), x, 1, 0);
  dec_rsub_small(W(1), 1, 0, x);
  dec_div(out, W(0), W(1));
  dec_ln(out, out);
  return dec_mul_small(out, out, 5, -1);
}
