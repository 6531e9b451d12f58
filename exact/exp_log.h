// Exponential and logarithm kernels of the exact mode, and arithmetic on enclosures.
//
// The functions built on exp and ln (x ^ y, 10 ^ y, log10, the hyperbolic functions, and
// whatever else needs them) combine enclosures (Approx: mid × 10^e ± rad × 10^e) with the
// ap_* operations below. Each operation returns an enclosure of the exact result of its
// operation on any values inside its operands' enclosures, with its mid cut to about
// w + 3 significant digits; a failure (a divisor or a logarithm's operand whose
// enclosure reaches zero) marks the evaluation as undecided (ap_failed) and the
// correctness loop retries with more digits.
#pragma once

#include "exact/real.h"

namespace exact {

// ---- enclosure arithmetic ---------------------------------------------------------------
Approx ap_exact(const Dec &x);                  // rad 0
Approx ap_small(int64_t v);                     // the integer v, exact
Approx ap_neg(const Approx &a);
Approx ap_half(const Approx &a);                // exact
Approx ap_add(const Approx &a, const Approx &b, int64_t w);
Approx ap_sub(const Approx &a, const Approx &b, int64_t w);
Approx ap_mul(const Approx &a, const Approx &b, int64_t w);
Approx ap_div(const Approx &a, const Approx &b, int64_t w);
Approx ap_sqrt(const Approx &a, int64_t w);     // a > 0
Approx ap_exp(const Approx &z, int64_t w);      // |z| < 10^10
Approx ap_ln(const Approx &v, int64_t w);       // v > 0
// Set by an operation that could not enclose its result at this precision; cleared by
// ap_clear_failure (the exact-mode loops of this family clear it before each attempt).
bool ap_failed();
void ap_clear_failure();
// The enclosure that never decides a result (mid 0, rad 1).
Approx ap_undecided();

// ---- kernels ------------------------------------------------------------------------------
// exp of a fixed-point argument r × BASE^−q, 0 ≤ r < 2.4 × BASE^q: E with
// E ≤ e^r × BASE^q ≤ E + *err and E ≥ BASE^q. Bit-burst binary splitting.
Int exp_fix(const Nat &r, int q, uint64_t *err);
// exp y (exact decimal, |y| < 10^11) with a relative width of about 10^−w.
Approx exp_dec(const Dec &y, int64_t w);
// ln x (exact decimal, x > 0) with a relative width of about 10^−w; exact 0 for x = 1.
Approx ln_dec(const Dec &x, int64_t w);

// ---- helpers for functions with exactly decided tiny or huge arguments -------------------
// D = internal_digits − 1, the digits a result holds.
inline int64_t result_digits() { return (int64_t)internal_digits - 1; }
// The largest number of D significant digits below |x| in magnitude, with x's sign
// (x ≠ 0 with at most D significant digits).
Dec dx_below(const Dec &x);
// 0.99…9 (D nines).
Dec dx_nines();
// An exact decimal from an integer scaled by 10^e (trailing zero limbs dropped).
Dec dx_of_int(const Int &m, int64_t e);

// Runs the correctness loop over an evaluation built from ap_* operations:
// eval(w) → Approx; an evaluation that failed counts as undecided.
template <class Eval>
int ziv_ap(DecWord *out, Eval eval) {
  return ziv_loop(out, [&](int64_t w, Approx *a) {
    ap_clear_failure();
    Approx r = eval(w);
    *a = ap_failed() ? ap_undecided() : r;
    return 0;
  });
}

}  // namespace exact
