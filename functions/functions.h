// Elementary functions and constants, built from the core at the current precision.
//
// Calling form: op (out, x …) → 0 or −1; out may alias an operand. Common result rules:
// null out → −1; an operand null or NUM_ERROR → NUM_ERROR; NUM_OVERFLOW → NUM_OVERFLOW;
// domain errors NUM_ERROR, range errors NUM_OVERFLOW, both with −1. Zero is canonical.
//
// Work numbers W0..W4 are ScratchNums slots 10..14. Series evaluators, dec_exp, dec_ln and
// the square root use only W0..W2 and the core's slots; a function that keeps a value
// across a call to one of them keeps it in W3 or W4.
#pragma once

#include "core/decnum.h"

// ---- series settings (written by the executor / the script runner) -----------------
extern int radian_mode;    // non-zero: angles in radians
extern int term_override;  // > 0 forces the number of series terms

enum TermColumn { TERMS_EXP = 0, TERMS_LN = 1, TERMS_TRIG = 2, TERMS_ASIN = 3 };
// The term count for the current sig_digits (or term_override when positive).
int series_terms(TermColumn column);

inline DecWord *work_number(int k) { return ScratchNums[10 + k]; }

// ---- small operands: n × 10^k, n a 32-bit int other than INT32_MIN --------------------
int dec_add_small(DecWord *out, const DecWord *x, int32_t n, int32_t k);
int dec_rsub_small(DecWord *out, int32_t n, int32_t k, const DecWord *x);
int dec_mul_small(DecWord *out, const DecWord *x, int32_t n, int32_t k);
int dec_div_small(DecWord *out, const DecWord *x, int32_t n, int32_t k);
int dec_divmod_small(DecWord *q, DecWord *r, const DecWord *x, int32_t n, int32_t k);
int dec_compare_small(const DecWord *x, int32_t n, int32_t k);

// ---- stored constants (100,199 digits each, exponent 0, no head word) ----------------
constexpr int CONST_TABLE_WORDS = 16702;
constexpr int CONST_TABLE_DIGITS = 100199;  // correct digits from position 1
extern const DecWord PiDigits[CONST_TABLE_WORDS];
extern const DecWord EDigits[CONST_TABLE_WORDS];
extern const DecWord Ln10Digits[CONST_TABLE_WORDS];
int dec_pi(DecWord *out);
int dec_e(DecWord *out);
int dec_ln10(DecWord *out);

// ---- roots, exponential, logarithms, power -----------------------------------------
int dec_sqrt(DecWord *out, const DecWord *x);
int dec_cbrt(DecWord *out, const DecWord *x);
int dec_exp(DecWord *out, const DecWord *x);
int exp_series(DecWord *out, const DecWord *x, int N);
int dec_exp10(DecWord *out, const DecWord *x);
int dec_ln(DecWord *out, const DecWord *x);
int ln_series(DecWord *out, const DecWord *x, int N);
int dec_log10(DecWord *out, const DecWord *x);
int dec_pow(DecWord *out, const DecWord *x, const DecWord *y);

// ---- trigonometric, inverse trigonometric, hyperbolic ------------------------------
int dec_sin(DecWord *out, const DecWord *x);
int dec_cos(DecWord *out, const DecWord *x);
int dec_tan(DecWord *out, const DecWord *x);
int sin_series(DecWord *out, const DecWord *t, int N);
int cos_series(DecWord *out, const DecWord *t, int N);
int dec_asin(DecWord *out, const DecWord *x);
int dec_acos(DecWord *out, const DecWord *x);
int dec_atan(DecWord *out, const DecWord *x);
int asin_series(DecWord *out, const DecWord *u, int N);
int dec_sinh(DecWord *out, const DecWord *x);
int dec_cosh(DecWord *out, const DecWord *x);
int dec_tanh(DecWord *out, const DecWord *x);
int dec_asinh(DecWord *out, const DecWord *x);
int dec_acosh(DecWord *out, const DecWord *x);
int dec_atanh(DecWord *out, const DecWord *x);

// ---- factorial ----------------------------------------------------------------------
// out = n! by dec_mul_small for k = n, n − 1, …, 2 (out = 1 for n = 0 and 1), stopping at
// the first failing multiplication (NUM_OVERFLOW left in out, −1). n < 0: NUM_ERROR, −1.
int dec_factorial(DecWord *out, int32_t n);
