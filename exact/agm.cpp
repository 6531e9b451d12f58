// The arithmetic-geometric mean AGM(x, y) in the exact mode.
//
// AGM(x, y) for x, y of the same sign: a_{k+1} = (a_k + b_k) / 2, b_{k+1} = √(a_k b_k) converge
// to one limit M, homogeneous (M(ca, cb) = c M(a, b)) and increasing in both arguments. With
// a = max(|x|, |y|) and r = min / max, AGM = ±a M(1, r).
// Exact cases: x = y (M = x), x = 0 or y = 0 (M = 0). Opposite signs are ERROR.
//
// M(1, r) at p limbs: A_0 = BASE^p, B_0 = floor(r BASE^p), then A' = floor((A + B) / 2),
// B' = floor(√(A B)) until A − B ≤ 2. The floors keep both sequences below the exact ones
// (the step is increasing in both arguments), and each loses less than one unit, a relative
// change below 1 / B_0 (B only grows): by homogeneity and monotony the computed pair's mean is
// at least (1 − E) M with E = (steps + 1) / B_0. The final pair brackets its own mean, so
// M BASE^p ∈ [B_N, A_N (1 + 1.01 E)]. r's leading zero limbs are extra precision (B_0 keeps
// its relative precision).
//
// The last few steps are replaced by the series of M in δ = (a − b) / (a + b) once its fourth
// term is below the unit (agm_series): three square roots fewer.
// A tiny r (64 r² (8 + |ln r|) below 10^−(w+10) ln(4/r)) uses the logarithm instead:
// |π / (2 M(1, r)) − ln(4/r)| ≤ 4 r² (8 + |ln r|) for 0 < r ≤ 1 (the error of the AGM
// logarithm; a factor 16 in hand), so M = π / (2 ln(4a/b)) within one unit of the enclosure.
#include <algorithm>
#include <cmath>

#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"

namespace exact {

namespace {

// The end of the iteration once δ = (A − B) / (A + B) is small: with m = (A + B)/2 and z = δ²,
// M(A, B) = m / ₂F₁(1/2, 1/2; 1; z) = m (1 − z/4 − 5z²/64 − 11z³/256 + R), |R| ≤ 40 z⁴ for
// z ≤ 1/4 (the coefficients of 1/F are below 1.22 · 2^n: |F| ≥ 0.82 on |z| = 1/2), R below a
// tenth of a unit here. In units of BASE^−p: Z = floor(d² BASE^p / s²) (s = A + B, d = A − B,
// one unit), the polynomial floored term by term (three units), and the product with s/2 ≤ 1
// floored: within six units of M(A, B). With E = (steps + 1) / B_0 as in agm_unit, the limit
// lies in [M − 6, (M + 6)(1 + 1.01 E)] units.
Approx agm_series(const Nat &A, const Nat &B, int p, int64_t steps, const Nat &B0) {
  Frame f;
  const Nat sum = nat_add(A, B), dif = nat_sub(A, B);
  const Nat one = nat_shift_limbs(nat_from_u64(1), p);
  const Nat Z = nat_div(nat_shift_limbs(nat_sqr(dif), p), nat_sqr(sum));
  uint32_t r;
  const Nat z2 = nat_high_limbs(nat_sqr(Z), p), z3 = nat_high_limbs(nat_mul(z2, Z), p);
  Nat poly = nat_sub(one, nat_divmod_small(Z, 4, &r));
  poly = nat_sub(poly, nat_divmod_small(nat_mul_small(z2, 5), 64, &r));
  poly = nat_sub(poly, nat_divmod_small(nat_mul_small(z3, 11), 256, &r));
  const Nat M = nat_divmod_small(nat_high_limbs(nat_mul(sum, poly), p), 2, &r);
  const Nat lo = M.n && nat_cmp(M, nat_from_u64(6)) > 0 ? nat_sub_small(M, 6) : Nat{};
  const Nat M6 = nat_add_small(M, 6);
  const Nat hi = nat_add_small(nat_add(M6, nat_div(nat_mul_u64(M6, (uint64_t)steps + 2), B0)), 1);
  Approx a = approx_from_bounds(lo, hi, p);
  a.mid.m = nat_copy(a.mid.m);
  f.keep({&a.mid.m});
  return a;
}

Approx agm_unit(const Dec &a, const Dec &b, int64_t w) {
  const int64_t lr = dx_magnitude(b) - dx_magnitude(a);  // log10 r within one
  const double lnr = ((double)lr + 1) * 2.302585092994046;
  if (2.0 * (double)lr + std::log10(64.0 * (8.0 + std::fabs(lnr) + 3)) < -(double)(w + 10)) {
    const Approx L = ap_sub(ln_dec(dx_mul(a, dx_from_i64(4)), w + 4), ln_dec(b, w + 4), w + 4);
    Approx m = ap_div(ap_pi(w + 6), ap_mul(ap_small(2), L, w + 4), w + 4);
    m.rad += 1;
    return m;
  }
  const int extra = lr < 0 ? (int)(-lr / BASE_DIGITS) + 1 : 0;
  const int p = limbs_for(w) + 2 + extra;
  const int64_t shift = b.e - a.e + BASE_DIGITS * (int64_t)p;
  Nat B = shift >= 0 ? nat_div(nat_mul_pow10(b.m, shift), a.m) : nat_div(b.m, nat_mul_pow10(a.m, -shift));
  Nat A = nat_shift_limbs(nat_from_u64(1), p);
  const Nat B0 = B;
  int64_t steps = 0;
  LoopBase lb;
  for (;;) {
    cancel_check();
    const Nat d = nat_sub(A, B);
    if (d.n == 0 || (d.n == 1 && d.d[0] <= 2) || steps > 400) break;
    // Close enough for the series: 40 z⁴ below a tenth of a unit, z = (d / s)², s ≈ 2 BASE^p.
    const double ld = nat_log10(d) - 6.0 * p - std::log10(2.0);  // ≈ log10 δ
    if (8 * ld + std::log10(400.0) < -6.0 * p - 1) {
      const Approx fin = agm_series(A, B, p, steps, B0);
      return fin;
    }
    uint32_t rem;
    Nat a2 = nat_divmod_small(nat_add(A, B), 2, &rem);
    Nat b2 = nat_sqrt(nat_mul(A, B));
    A = a2;
    B = b2;
    lb.settle({&A, &B});
    ++steps;
  }
  // hi = A (1 + (steps + 2) / B_0), rounded up.
  const Nat hi = nat_add_small(nat_add(A, nat_div(nat_mul_u64(A, (uint64_t)steps + 2), B0)), 1);
  return approx_from_bounds(B, hi, p);
}

}  // namespace

}  // namespace exact

using namespace exact;

int exact_agm(DecWord *out, const DecWord *x, const DecWord *y) {
  if (pass_markers(out, x, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(x), Y = dx_of(y);
    if (dx_is_zero(X) || dx_is_zero(Y)) return dec_zero(out);
    if (X.neg != Y.neg) return error_with(out, "agm: x and y must have the same sign");
    if (dx_cmp(X, Y) == 0) return dx_write(out, X);
    const Dec ax{X.m, X.e, false}, ay{Y.m, Y.e, false};
    const bool x_larger = dx_cmp(ax, ay) > 0;
    const Dec a = x_larger ? ax : ay, b = x_larger ? ay : ax;
    return ziv_ap(out, [&](int64_t w) {
      Approx m = ap_mul(ap_exact(a), agm_unit(a, b, w + 2), w + 2);
      if (X.neg) m.mid = int_neg(m.mid);
      return m;
    });
  });
}
