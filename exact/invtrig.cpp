// Arc sine, arc cosine and arc tangent of the exact mode, in degrees or radians.
//
// Every result is q × (a quarter turn) ± θ with θ = atan(N / D) ∈ [0, π/4], 0 ≤ N ≤ D,
// D ≥ 1/√2, and q ∈ {0, 1, 2}:
//   atan x, |x| ≤ 1: θ = atan(|x| / 1);   |x| > 1: π/2 − atan((1 / |x|) / 1);
//   asin x: N, D = |x|, √(1 − x²) (swapped, and π/2 − θ, above |x| = 1/√2);
//   acos x: N, D = √(1 − x²), |x| (likewise), and π − the angle for x < 0.
// 1 − x² is computed exactly as (1 − |x|)(1 + |x|) for |x| ≥ 1/2, so acos near 1 and asin
// near ±1 keep their relative precision (this is the half-angle form's accuracy: the small
// angle is atan of √(1 − x²) / |x| with √(1 − x²) correct to the last unit).
//
// θ (atan_fix) by a Newton-type iteration on sin and cos: for any y, atan(N / D) =
// y + atan(δ), δ = (N cos y − D sin y) / (D cos y + N sin y); y + δ − δ³/3 is correct to
// five times the digits of y, so the steps run at precisions growing fivefold from a double
// start, with sin y and cos y by the bit-burst series, whose cost follows the digits of y
// (both times the same unknown factor, sincos_scaled_fix, which δ takes off: no quotient
// for them). The last step, at full precision, is the enclosure:
// θ = y + δ − δ³/3 ± (Δδ (1 + δ²) + 1 + |δ|⁵/5) with Δδ from the bounds of sin y, cos y,
// N, D (propagated through F / G: (ΔF + |δ| ΔG) / (G − ΔG), plus the floor).
//
// Degrees: θ × 180 / π from π at p + 1 limbs (57.3 Δθ + 2 units); the quarter turns are
// exactly 90 and 180, and when the true angle lies strictly on one side of a multiple of
// 90° the enclosure is cut there (atan of a huge x is 89.99…9°, not 90°).
// Exact cases: 0 → 0, acos 1 = 0, and in degrees asin ±1/2 = ±30, asin ±1 = ±90,
// acos ±1/2 = 60, 120, acos 0 = 90, acos −1 = 180, atan ±1 = ±45. By Niven's theorem a
// rational number of degrees has a rational sine, cosine or tangent only at these points,
// and by Lindemann–Weierstrass the radian values at other algebraic points are
// transcendental: every other result is decided by its enclosure.
// |x| > 1 for asin and acos is NUM_ERROR. Tiny arguments: asin x = x (1 + ε) and
// atan x = x (1 − ε) with 0 < ε < x² (tiny_argument).
#include <cmath>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/trig_core.h"

namespace exact {

namespace {

enum IFn { ASIN, ACOS, ATAN };

// m ≈ mant × BASE^lexp with mant from the top three limbs.
double lead(const Nat &m, int *lexp) {
  double v = 0;
  int used = 0;
  for (int i = m.n - 1; i >= 0 && used < 3; --i, ++used) v = v * 1e6 + m.d[i];
  *lexp = m.n - used;
  return v;
}

Int clamp_angle(Int y, int p) {
  if (y.neg) return Int{};
  Nat lim = nat_mul_small(nat_shift_limbs(nat_from_u64(1), p - 1), 800000);  // 0.8
  if (nat_cmp(y.m, lim) > 0) return int_from(lim, false);
  return y;
}

}  // namespace

// θ = atan(N / D) for 0 ≤ N ≤ D at p limbs (N within en, D within ed units, D ≥ 0.7), with
// |Θ − θ| ≤ *err.
void atan_fix(const Int &N, uint64_t en, const Int &D, uint64_t ed, int p, Int *theta,
              uint64_t *err) {
  if (N.m.n == 0) {
    *theta = Int{};
    *err = 2 * en + 1;
    return;
  }
  int eN, eD;
  const double mN = lead(N.m, &eN), mD = lead(D.m, &eD);
  const double ld = std::log10(mN) - std::log10(mD) + 6.0 * (eN - eD);
  int zl = ld < -1 ? (int)std::floor((-ld - 1) / 6) : 0;
  if (zl > p - 2) zl = p - 2 > 0 ? p - 2 : 0;
  Int Y;
  double rel;
  if (ld > -250) {
    const double y0 = std::atan(mN / mD * std::pow(10.0, 6.0 * (eN - eD)));
    const int e10 = (int)std::floor(std::log10(y0));
    const int64_t mant = (int64_t)std::llround(y0 * std::pow(10.0, 16 - e10));
    Y = fix_from_dec(dx_from_i64(mant, e10 - 16), p);
    rel = 14;
  } else {
    Y = fix_div(N, D, p);
    rel = -2 * ld - 1;
  }
  // The relative digits each step must deliver, planned back from the last one: a step
  // from y of t / 5 + 8 digits gives t, so the last sine and cosine see an argument of a
  // fifth of the digits, and the one before a twenty-fifth.
  const double need = 6.0 * (p - zl) + 12;
  double targets[64];
  int steps = 0;
  for (double t = need; steps < 64; t = std::ceil(t / 5) + 8) {
    targets[steps++] = t;
    if (t <= 5 * rel) break;
  }
  for (int it = 0;; ++it) {
    cancel_check();
    const int k = steps - 1 - it;  // this step's target, the last (k ≤ 0) at full length
    const bool final = k <= 0;
    int pi = p;
    if (!final) {
      const double lim = zl + std::ceil(targets[k] / 6) + 2;
      if (lim < p) pi = (int)lim;
    }
    Frame f;
    const int64_t drop = p - pi;
    Int Yi = clamp_angle(int_shift_floor(Y, -drop), pi);
    Int Ni = int_shift_floor(N, -drop), Di = int_shift_floor(D, -drop);
    // λ sin y and λ cos y (λ ∈ [1, BASE), unknown): δ = F / G is the same for any λ.
    Int s, c;
    uint64_t esc, lambda;
    sincos_scaled_fix(Yi.m, pi, &s, &c, &esc, &lambda);
    Int F = int_sub(int_mul(Ni, c), int_mul(Di, s));
    Int G = int_add(int_mul(Di, c), int_mul(Ni, s));
    Int dl = int_div_floor(int_shift_floor(F, pi), G.m);
    // atan δ = δ − δ³/3 + ρ, |ρ| ≤ |δ|⁵/5: the step is y + δ − floor(δ³/3).
    Int cube = int_div_floor(int_shift_floor(int_mul(int_mul(dl, dl), dl), -2 * (int64_t)pi),
                             nat_from_u64(3));
    Int step = int_sub(dl, cube);
    if (final) {
      // F, G at scale BASE^(2p); errors in units of BASE^p, values N, D ≤ 1 and
      // s, c ≤ λ < lambda: F = N c − D s moves by N Δc + c ΔN + … ≤ 2 esc + λ (en + ed).
      // F and G carry the factor λ, which the quotient δ takes off; G's value below does
      // too, so the bound on Δδ holds as for λ = 1.
      const double errF = 1.01 * (2.0 * (double)esc + (double)lambda * ((double)en + (double)ed)) + 1;
      const double errG = errF;
      int eG;
      const double Gv = lead(G.m, &eG) * std::pow(10.0, 6.0 * (eG - 2 * (int64_t)p));
      const double dv = dl.m.n ? std::pow(10.0, fix_log10(dl, p)) : 0.0;
      const double den = Gv - errF * std::pow(10.0, -6.0 * p);
      const double lfifth = dl.m.n ? 5 * std::log10(dv) - std::log10(5.0) + 6.0 * p : -1e9;
      if (den > 0.5 && (lfifth < 12 || it >= steps + 40)) {
        // Δδ, then its effect through δ³/3 (δ² Δδ), the floor of the cube, and ρ.
        const double Ed = (errF + dv * errG) / den * 1.01 + 1;
        const double fifth = lfifth < 17 ? std::pow(10.0, lfifth) : 1e17;
        *theta = int_add(Yi, step);
        *err = (uint64_t)std::ceil(Ed * (1 + 1.01 * dv * dv) + fifth) + 2;
        f.keep({&theta->m});
        return;
      }
    }
    Y = int_add(int_shift_floor(Yi, drop), int_shift_floor(step, drop));
    f.keep({&Y.m});
    rel = std::fmin(5 * rel - 1, 6.0 * (pi - zl) - 8);
  }
}

namespace {

Dec dec_int(int64_t v, int64_t e = 0) { return dx_from_i64(v, e); }

// floor(BASE^p / x) for x ≥ 1.
Nat recip_fix(const Dec &x, int p) {
  const int64_t k = 6 * (int64_t)p - x.e;
  if (k < 0) return Nat{};
  return nat_div(nat_mul_pow10(nat_from_u64(1), k), x.m);
}

// √(1 − x²) at p limbs for 0 ≤ |x| ≤ 1, within *e units.
Int sqrt_one_minus_sq(const Dec &ax, int p, uint64_t *e) {
  Nat one2 = nat_shift_limbs(nat_from_u64(1), 2 * (int64_t)p);
  if (dx_cmp(ax, dec_int(5, -1)) < 0) {
    Nat X = fix_from_dec(ax, p).m;
    *e = 3;
    return int_from(nat_sqrt(nat_sub(one2, nat_sqr(X))), false);
  }
  Dec u = dx_mul(dx_sub(dec_int(1), ax), dx_add(dec_int(1), ax));
  *e = 2;
  return int_from(nat_sqrt(fix_from_dec(u, 2 * p).m), false);
}

struct Angle {
  int quarters = 0;  // multiples of the quarter turn
  int dir = 1;       // + θ or − θ
  Int theta;
  uint64_t err = 0;
};

// The angle of function fn at p limbs.
Angle angle_of(IFn fn, const Dec &ax, bool xneg, int p) {
  Angle a;
  const Int one = fix_one(p);
  if (fn == ATAN) {
    if (dx_cmp(ax, dec_int(1)) <= 0) {
      const Int X = fix_from_dec(ax, p);
      atan_fix(X, 1, one, 0, p, &a.theta, &a.err);
    } else {
      const Int X = int_from(recip_fix(ax, p), false);
      atan_fix(X, 1, one, 0, p, &a.theta, &a.err);
      a.quarters = 1;
      a.dir = -1;
    }
    return a;
  }
  uint64_t er;
  const Int R = sqrt_one_minus_sq(ax, p, &er);
  const Int X = fix_from_dec(ax, p);
  // Which of |x| and √(1 − x²) is the larger: 2x² ≤ 1.
  const bool small = dx_cmp(dx_mul(dec_int(2), dx_mul(ax, ax)), dec_int(1)) <= 0;
  // asin: angle of (N, D) = (|x|, √(1 − x²)); acos: (√(1 − x²), |x|).
  const bool n_is_x = fn == ASIN;
  const bool x_smaller = small;
  if (n_is_x == x_smaller) {
    // N ≤ D: θ = atan(N / D) directly.
    if (n_is_x) atan_fix(X, 1, R, er, p, &a.theta, &a.err);
    else atan_fix(R, er, X, 1, p, &a.theta, &a.err);
  } else {
    // N > D: π/2 − atan(D / N).
    if (n_is_x) atan_fix(R, er, X, 1, p, &a.theta, &a.err);
    else atan_fix(X, 1, R, er, p, &a.theta, &a.err);
    a.quarters = 1;
    a.dir = -1;
  }
  if (fn == ACOS && xneg) {
    a.quarters = 2 - a.quarters;
    a.dir = -a.dir;
  }
  return a;
}

// Estimated log10 of the small angle when it stands alone (quarters 0), for the precision.
double small_angle_log10(IFn fn, const Dec &ax, bool xneg) {
  if (fn == ACOS) {
    if (xneg || dx_cmp(dx_mul(dec_int(2), dx_mul(ax, ax)), dec_int(1)) <= 0) return 0;
    Dec u = dx_mul(dx_sub(dec_int(1), ax), dx_add(dec_int(1), ax));
    return dx_is_zero(u) ? 0 : (double)dx_magnitude(u) / 2 - 1;
  }
  if (fn == ATAN && dx_cmp(ax, dec_int(1)) > 0) return 0;
  return (double)dx_magnitude(ax);
}

int eval_inverse(IFn fn, const Dec &x, bool degrees, double lsmall, int64_t w, Approx *out) {
  const Dec ax{x.m, x.e, false};
  const int extra = lsmall < 0 ? (int)(-lsmall / 6) + 1 : 0;
  const int p = limbs_for(w) + 1 + extra;
  Angle a = angle_of(fn, ax, x.neg, p);
  const bool neg = fn != ACOS && x.neg;
  Int pi = const_pi(p + 1);
  Int t = a.theta;
  uint64_t err = a.err;
  Int v;
  if (degrees) {
    // θ 180 / π.
    if (t.m.n) t = int_div_floor(int_shift_floor(int_mul_small(t, 180), p + 1), pi.m);
    err = (uint64_t)std::ceil(57.3 * (double)err) + 2;
    Int base = int_from(nat_mul_u64(nat_shift_limbs(nat_from_u64(1), p), 90 * a.quarters), false);
    v = a.dir > 0 ? int_add(base, t) : int_sub(base, t);
    if (a.quarters > 0) {
      // The true angle is strictly on the side of θ's sign (θ > 0 outside the exact cases).
      Nat e = nat_from_u64(err);
      Int lo = int_sub(v, int_from(e, false)), hi = int_add(v, int_from(e, false));
      if (a.dir < 0) {
        Int cap = int_sub(base, fix_one(0));
        if (int_cmp(hi, cap) > 0) hi = cap;
      } else if (int_cmp(lo, base) < 0) {
        lo = base;
      }
      if (int_cmp(lo, hi) > 0) {
        *out = approx_undecided();
        return 0;
      }
      Int sum = int_add(lo, hi);
      Int mid = int_div_floor(sum, nat_from_u64(2));
      Int rad = int_sub(hi, mid);
      v = mid;
      err = nat_to_u64(rad.m);
    }
  } else {
    Nat half;  // floor(quarters π BASE^p / 2)
    uint32_t r;
    half = nat_high_limbs(nat_divmod_small(nat_mul_small(pi.m, (uint32_t)a.quarters), 2, &r), 1);
    Int base = int_from(half, false);
    v = a.dir > 0 ? int_add(base, t) : int_sub(base, t);
    err += a.quarters ? 2 : 0;
  }
  if (neg) v = int_neg(v);
  *out = approx_fix(v, p, err);
  return 0;
}

int inverse_entry(DecWord *out, const DecWord *y, IFn fn) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec x = dx_of(y);
    const bool degrees = exact_radian_mode == 0;
    const Dec ax{x.m, x.e, false};
    const int c1 = dx_cmp(ax, dec_int(1));
    if (fn != ATAN && c1 > 0) {
      dec_set_marker(out, NUM_ERROR);
      return -1;
    }
    auto exact = [&](int64_t v) { return dx_write(out, dec_int(v)); };
    if (dx_is_zero(x)) {
      if (fn != ACOS) return exact(0);
      if (degrees) return exact(90);
    }
    if (fn == ACOS && c1 == 0 && !x.neg) return exact(0);
    if (degrees) {
      const int sg = x.neg ? -1 : 1;
      const bool half = dx_cmp(ax, dec_int(5, -1)) == 0;
      if (fn == ATAN && c1 == 0) return exact(45 * sg);
      if (fn == ASIN && c1 == 0) return exact(90 * sg);
      if (fn == ASIN && half) return exact(30 * sg);
      if (fn == ACOS && c1 == 0) return exact(180);
      if (fn == ACOS && half) return exact(x.neg ? 120 : 60);
    }
    if (fn != ACOS && is_tiny_for_all(x)) {
      return ziv_loop(out, [&](int64_t w, Approx *a) {
        tiny_argument(x, degrees ? 2 : 0, fn == ASIN ? 1 : -1, w, a);
        return 0;
      });
    }
    const double lsmall = small_angle_log10(fn, ax, x.neg);
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      if (fn != ACOS && tiny_argument(x, degrees ? 2 : 0, fn == ASIN ? 1 : -1, w, a)) return 0;
      return eval_inverse(fn, x, degrees, lsmall, w, a);
    });
  });
}

}  // namespace

}  // namespace exact

int exact_asin(DecWord *out, const DecWord *y) { return exact::inverse_entry(out, y, exact::ASIN); }
int exact_acos(DecWord *out, const DecWord *y) { return exact::inverse_entry(out, y, exact::ACOS); }
int exact_atan(DecWord *out, const DecWord *y) { return exact::inverse_entry(out, y, exact::ATAN); }
