// The "Exact digits" mode: every operation of the calculator with a result whose digit
// positions 1 .. internal_digits − 1 are the true value's, truncated toward zero.
//
// How the mode meets the rest of the system
// -----------------------------------------
// The engine calls these in place of the default operations when the option is set; the
// calling form is the same (op(out, x, y) → 0 or −1, out may alias an operand, markers
// passed on, NUM_ERROR for domain errors, NUM_OVERFLOW past the exponent range, results
// below the range are zero). Operands are the register values as held. The working
// numbers live in the exact mode's arena (exact/arena.h), which every call empties first;
// constants computed beyond the stored precision are cached across calls. The worker
// thread runs each call; from a few hundred digits on, parts of the work (bit-burst pieces,
// halves of binary splits, the two primes of a transform) go to the core's pool helper
// (exact/parallel.h), which allocates on an arena stack of its own and has ended its part
// before the call returns.
// When a call fails for a reason the result marker does not tell (a radian argument too
// large to reduce, working memory exhausted, an undecidable result), exact_message()
// holds a line for the status line; it is empty otherwise.
#pragma once

#include "core/decnum.h"

// Angle unit of the trigonometric functions, set by the engine before every command.
extern int exact_radian_mode;

const char *exact_message();
void exact_clear_message();  // called by the engine at the start of every command

int exact_add(DecWord *out, const DecWord *x, const DecWord *y);
int exact_sub(DecWord *out, const DecWord *x, const DecWord *y);
int exact_mul(DecWord *out, const DecWord *x, const DecWord *y);
int exact_div(DecWord *out, const DecWord *x, const DecWord *y);
int exact_mod(DecWord *out, const DecWord *x, const DecWord *y);  // sign of x
int exact_pow(DecWord *out, const DecWord *x, const DecWord *y);  // x ^ y

int exact_reciprocal(DecWord *out, const DecWord *y);
int exact_square(DecWord *out, const DecWord *y);
int exact_cube(DecWord *out, const DecWord *y);
int exact_sqrt(DecWord *out, const DecWord *y);
int exact_cbrt(DecWord *out, const DecWord *y);
int exact_exp(DecWord *out, const DecWord *y);
int exact_exp10(DecWord *out, const DecWord *y);
int exact_ln(DecWord *out, const DecWord *y);
int exact_log10(DecWord *out, const DecWord *y);
int exact_sin(DecWord *out, const DecWord *y);
int exact_cos(DecWord *out, const DecWord *y);
int exact_tan(DecWord *out, const DecWord *y);
int exact_asin(DecWord *out, const DecWord *y);
int exact_acos(DecWord *out, const DecWord *y);
int exact_atan(DecWord *out, const DecWord *y);
int exact_sinh(DecWord *out, const DecWord *y);
int exact_cosh(DecWord *out, const DecWord *y);
int exact_tanh(DecWord *out, const DecWord *y);
int exact_asinh(DecWord *out, const DecWord *y);
int exact_acosh(DecWord *out, const DecWord *y);
int exact_atanh(DecWord *out, const DecWord *y);
int exact_factorial(DecWord *out, const DecWord *y);  // of the integer part of y
int exact_pi(DecWord *out);

// The stored constants' digit words (exponent 0, no head word, `digits` digits from
// position 1): the exact mode takes π, e and ln 10 from them up to that many digits and
// computes them beyond. The engine hands them over before every command.
void exact_use_stored_constants(const DecWord *pi, const DecWord *e, const DecWord *ln10,
                                int64_t digits);
int exact_e(DecWord *out);

// ---- constants and functions beyond the buttons --------------------------------------------
// The same calling form; domain errors and poles give NUM_ERROR with a line in
// exact_message(). Two-operand functions take x (the first operand, R1) and y (R0).
int exact_euler(DecWord *out);    // Euler's γ
int exact_catalan(DecWord *out);  // Catalan's G
int exact_zeta3(DecWord *out);    // ζ(3)
int exact_ln2(DecWord *out);      // ln 2
int exact_phi(DecWord *out);      // the golden ratio (1 + √5) / 2
int exact_sqrt2(DecWord *out);    // √2
int exact_gamma(DecWord *out, const DecWord *x);
int exact_lngamma(DecWord *out, const DecWord *x);  // ln |Γ(x)|
int exact_zeta(DecWord *out, const DecWord *s);     // Riemann ζ, s ≠ 1
int exact_erf(DecWord *out, const DecWord *x);
int exact_erfc(DecWord *out, const DecWord *x);
int exact_lambertw(DecWord *out, const DecWord *x);    // W₀, x ≥ −1/e
int exact_lambertwm1(DecWord *out, const DecWord *x);  // W₋₁, −1/e ≤ x < 0
int exact_agm(DecWord *out, const DecWord *x, const DecWord *y);
int exact_binomial(DecWord *out, const DecWord *n, const DecWord *k);  // k an integer
int exact_atan2(DecWord *out, const DecWord *y, const DecWord *x);     // angle of (x, y)
int exact_logb(DecWord *out, const DecWord *x, const DecWord *b);      // log of x, base b
int exact_root(DecWord *out, const DecWord *x, const DecWord *n);      // x^(1/n), n an integer
int exact_gcd(DecWord *out, const DecWord *a, const DecWord *b);       // integers
int exact_powmod(DecWord *out, const DecWord *a, const DecWord *b, const DecWord *m);  // a^b mod m
