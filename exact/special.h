// Pieces shared by the exact mode's further constants and special functions (γ, G, ζ(3),
// Γ, ζ, erf, Lambert W, …), internal to exact/.
//
// Truncated numbers. A long series whose exact binary splitting would grow far beyond the
// precision (the incomplete-gamma sum of Γ, a product of many long factors) keeps every
// node's numbers to K limbs: Fl is a positive m × BASE^e together with the count c of
// truncations behind it. Each truncation keeps at least K limbs, so it lowers the value by
// a factor in (1 − BASE^(1−K), 1]; products add counts, sums of positive terms take the
// larger count. The true value lies in [V, V (1 + BASE^(1−K))^c] for the computed V:
// fl_quotient turns the counts into the radius of a quotient.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "exact/exp_log.h"
#include "core/cancel.h"
#include "exact/real.h"
#include "exact/series.h"

namespace exact {

// ---- loops ------------------------------------------------------------------------------
// The numbers a long loop carries from one step to the next: settle() moves them down to the
// place the loop began and gives back everything above them (their old values and the step's
// temporaries), so the loop's memory stays that of one step however many steps run. (A
// Frame inside the loop would keep each step's values above the last ones.) Numbers that lie
// below that place (operands from before the loop, or views into them) stay where they are.
class LoopBase {
 public:
  LoopBase();
  void settle(std::initializer_list<Nat *> nats);

 private:
  size_t base_;
  uint32_t *base_ptr_;
};

// ---- status messages and exact results -----------------------------------------------------
// NUM_ERROR in out, `message` on the status line; returns −1.
int error_with(DecWord *out, const char *message);
// Writes the truncation of the exact rational ±num / den (den ≠ 0): floor(num 10^t / den)
// with more digits than the result keeps, truncated once.
int write_ratio(DecWord *out, const Nat &num, const Nat &den, bool neg);

// True for an odd integer (x an integer: m × 10^e, whose units digit decides).
bool dx_is_odd_integer(const Dec &x);

// ---- truncated positive numbers -----------------------------------------------------------
struct Fl {
  Nat m;            // m ≥ 0
  int64_t e = 0;    // in limbs: the value is m × BASE^e
  int64_t c = 0;    // truncations behind it
};

Fl fl_from_nat(const Nat &m, int64_t e = 0);
// x × BASE^e exactly, for an exact decimal x ≥ 0 (the mantissa takes 10^(x.e mod 6)).
Fl fl_from_dec(const Dec &x);
// Keeps the top K limbs (one more count when limbs were dropped).
Fl fl_trunc(const Fl &a, int K);
Fl fl_mul(const Fl &a, const Fl &b, int K);
Fl fl_add(const Fl &a, const Fl &b, int K);
// The enclosure of a / b (both truncated from below): about K − 1 significant limbs, the
// radius covering both counts and the quotient's floor; one-sided (never below a / b) when
// b is exact.
Approx fl_quotient(const Fl &a, const Fl &b, int K);

// ---- enclosures ---------------------------------------------------------------------------
// The enclosure of [lo, hi] in units of BASE^−p (lo ≤ hi, both ≥ 0), coarser when the
// width does not fit the radius.
Approx approx_from_bounds(const Nat &lo, const Nat &hi, int p);
// For a value known to lie strictly beyond the exact value of an enclosure a (rad 0), away from
// zero (dir > 0) or toward it (dir < 0), by less than one unit at a finer scale than any
// result keeps: the enclosure of that open interval. An inexact a is widened by one unit.
Approx ap_nudge(const Approx &a, int dir);
// a / b as an enclosure of relative width ≈ 10^−w, exact (rad 0) when the quotient ends
// within w + 4 digits.
Approx ap_quotient(const Dec &a, const Dec &b, int64_t w);
// The enclosure as a fixed-point Int at p limbs: |v − M BASE^−p| ≤ *err units.
Int approx_to_fix(const Approx &a, int p, uint64_t *err);
// π as an enclosure with a relative width of about 10^−w.
Approx ap_pi(int64_t w);
// Approximate log10 |a| (a's mid ≠ 0).
double ap_log10(const Approx &a);
// sin(π f) for an exact decimal f, with a relative width of about 10^−w; f is not an
// integer (sin would be exactly 0: the callers decide those cases first).
Approx ap_sinpi(const Dec &f, int64_t w);

// ---- integers -----------------------------------------------------------------------------
// gcd(a, b) for a, b ≥ 0 by Lehmer's algorithm: the leading 18 digits of both run Euclid's
// steps on machine words while the quotients are certain (Knuth's test with the cofactor
// bounds), one 2 × 2 cofactor step on the full numbers replaces them; a plain division
// step when no quotient is certain.
Nat nat_gcd(Nat a, Nat b);

// ---- Bernoulli numbers --------------------------------------------------------------------
// The tangent numbers T_1 .. T_n (tan x = Σ T_k x^(2k−1) / (2k − 1)!) into t[0 .. n − 1],
// exactly (Brent and Harvey's in-place recurrence, O(n²) small operations). Then
// B_2k = (−1)^(k−1) 2k T_k / (4^k (4^k − 1)).
void tangent_numbers(int n, Nat *t);

// ---- shared function kernels ------------------------------------------------------------
// Γ(x) for an exact decimal x > 0 that is not tiny (see gamma.cpp), relative width ≈ 10^−w.
Approx gamma_positive(const Dec &x, int64_t w);
// Γ(x) for any non-integer x (the reflection below 0, 1/x − γ for a tiny x).
Approx gamma_real(const Dec &x, int64_t w);
// ln Γ(x) for x > 0 other than 1 and 2, relative width ≈ 10^−w; *too_large when neither
// Stirling's series nor the incomplete-gamma sum can reach it at this precision.
Approx lngamma_real(const Dec &x, int64_t w, bool *too_large);
// ζ(s) for an exact decimal s > 1 (see zeta.cpp), relative width ≈ 10^−w.
Approx zeta_above_one(const Dec &s, int64_t w);

// ---- binary splitting with a weight per term ---------------------------------------------
// S(a, b) = Σ_{k=a}^{b−1} a(k) Π_{j=a}^{k} p(j) / q(j) as T / Q: leaf(k, &s) sets s.P = p(k),
// s.Q = q(k), s.T = a(k) p(k); the merge is bsplit's (exact/series.h).
template <class Leaf>
Split bsplit_weighted(int64_t a, int64_t b, const Leaf &leaf, bool need_p = true) {
  Split s;
  if (b - a == 1) {
    leaf(a, &s);
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  Split l = bsplit_weighted(a, m, leaf, true), r = bsplit_weighted(m, b, leaf, need_p);
  s.T = int_add(int_mul(l.T, int_from(r.Q, false)), int_mul(l.P, r.T));
  s.Q = nat_mul(l.Q, r.Q);
  if (need_p) s.P = int_mul(l.P, r.P);
  f.keep({&s.P.m, &s.Q, &s.T.m});
  return s;
}

// The top `limbs` limbs of a (all of it when shorter) and the count of limbs dropped.
Nat nat_lead(const Nat &a, int limbs, int64_t *dropped);

}  // namespace exact
