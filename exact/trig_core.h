// Kernels shared by the trigonometric functions of the exact mode and their inverses.
//
// Fixed-point values are Ints M standing for M × BASE^−p; errors are bounds in units of
// BASE^−p ("ulps").
#pragma once

#include <cstdint>

#include "exact/real.h"

namespace exact {

// sin r and cos r for 0 ≤ r = R × BASE^−p ≤ 0.8 (R exact): |S − sin r|, |C − cos r| ≤ *err.
// S or C may be null: that component is not computed (it costs a quotient).
void sincos_fix(const Nat &R, int p, Int *S, Int *C, uint64_t *err);

// λ sin r and λ cos r for the same unknown λ with 1 ≤ λ < *lambda ≤ BASE, without the
// quotient that would take λ off (for ratios such as tan r, where λ cancels):
// |S − λ sin r|, |C − λ cos r| ≤ *err units of BASE^−p.
void sincos_scaled_fix(const Nat &R, int p, Int *S, Int *C, uint64_t *err, uint64_t *lambda);

// θ = atan(N / D) for 0 ≤ N ≤ D at p limbs (N within en units, D within ed, D ≥ 0.7):
// |Θ − θ| ≤ *err.
void atan_fix(const Int &N, uint64_t en, const Int &D, uint64_t ed, int p, Int *theta,
              uint64_t *err);

// Approximate log10 |M × BASE^−p| (M ≠ 0).
double fix_log10(const Int &m, int p);

// The enclosure M × BASE^−p ± err, with the magnitude bounded away from `limit` × BASE^p
// when the true value is known to lie strictly inside (|v| < 1 for sin and cos that are not
// exact cases): the top of the enclosure is then cut at limit BASE^p − 1, which changes
// no truncation because limit BASE^p has more digits than the result keeps.
Approx approx_fix_below(const Int &m, int p, uint64_t err, uint64_t limit);

// An enclosure that cannot decide anything (the correctness loop then raises precision).
inline Approx approx_undecided() {
  Approx a;
  a.rad = 1;
  return a;
}

// The result of a function f with f(x) = c x (1 + ε) for a tiny x, where |ε| < x²
// and ε has the sign `dir` (−1: |f| < c|x|, +1: |f| > c|x|): c = 1 (conv 0), π/180
// (conv 1) or 180/π (conv 2). True when x is small enough for working precision w
// (|x|² below 10^−(w + 40)) and *a was filled in.
bool tiny_argument(const Dec &x, int conv, int dir, int64_t w, Approx *a);

// True when |x| is below the tiny-argument bound at every precision the loop tries.
bool is_tiny_for_all(const Dec &x);

}  // namespace exact
