// atan2(y, x) in the exact mode: the angle of the point (x, y), in (−180°, 180°] or (−π, π]
// in the angle unit.
//
// With n = min(|x|, |y|) and d = max(|x|, |y|) the angle is q (a quarter turn) ± θ,
// θ = atan(n / d) ∈ [0, π/4], with y's sign:
//   x > 0, |y| ≤ |x|: θ;  |y| > |x|: π/2 − θ (x > 0) or π/2 + θ (x < 0);  x < 0, |y| ≤ |x|: π − θ.
// θ by atan_fix (exact/invtrig.cpp) from R = floor(n BASE^p / d) (one unit) and D = 1, with
// the leading zero limbs of n / d as extra precision when the angle is θ alone, so the width
// stays relative; a ratio whose square is below 10^−(w + 12) gives θ = r (1 − ε), 0 < ε < r²,
// from the quotient itself. Degrees: θ 180 / π from π at p + 1 limbs (57.3 err + 2 units);
// the quarter turns are exactly 90 and 180, and since θ > 0 outside the exact cases, the
// angle lies strictly on one side of the multiple of 90°: the enclosure is cut there (the
// angle of (−1, −1e−9999) is −179.99…9°, not −180°). Radians: q π / 2 from π at p + 1 limbs
// (two units).
// Exact cases: y = 0 (0, or 180° / π for x < 0), x = 0 (±90° / ±π/2), and in degrees |y| = |x|
// (±45°, ±135°). By Niven's theorem no other rational number of degrees has a rational
// tangent, and in radians the angle at other rational points is transcendental: every
// other result is decided by its enclosure. atan2(0, 0) is ERROR.
#include <cmath>

#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"
#include "exact/trig_core.h"

namespace exact {

namespace {

// q π / 2 (q = 1, 2) with y's sign, decided by the loop.
int write_quarters(DecWord *out, int q, bool neg) {
  return ziv_loop(out, [&](int64_t w, Approx *a) {
    const int p = limbs_for(w) + 1;
    const Int pi = const_pi(p + 1);
    uint32_t r;
    Nat v = nat_high_limbs(nat_divmod_small(nat_mul_small(pi.m, (uint32_t)q), 2, &r), 1);
    *a = approx_fix(int_from(v, neg), p, 2);
    return 0;
  });
}

int eval_atan2(const Dec &n, const Dec &d, int q, int dir, bool neg, bool degrees, int64_t w,
               Approx *out) {
  const int64_t lr = dx_magnitude(n) - dx_magnitude(d);  // log10 (n / d) within one
  if (2 * (lr + 1) < -(w + 12)) {
    // θ = r (1 − ε), 0 < ε < r²: the quotient's enclosure, strictly below r when r is exact.
    Approx t = ap_nudge(ap_quotient(n, d, w + 4), -1);
    if (degrees) t = ap_div(ap_mul(t, ap_small(180), w + 4), ap_pi(w + 6), w + 4);
    if (q > 0) {
      Approx base;
      if (degrees) {
        // 90q ∓ θ: beyond the result's digits, one-sided within one unit of 10^−(w+6).
        if (ap_log10(t) + std::log10((double)t.rad + 2) < -(double)(w + 8)) {
          base.mid = int_from(nat_mul_u64(nat_mul_pow10(nat_from_u64(1), w + 8), 90 * (uint64_t)q), false);
          base.mid = int_add(base.mid, int_from_i64(dir > 0 ? 6 : -6));
          base.e = -(w + 8);
          base.rad = 5;
          t = base;
        } else {
          base = ap_small(90 * q);
          t = dir > 0 ? ap_add(base, t, w + 4) : ap_sub(base, t, w + 4);
        }
      } else {
        const int p = limbs_for(w) + 2;
        const Int pi = const_pi(p + 1);
        uint32_t r;
        const Nat half = nat_high_limbs(nat_divmod_small(nat_mul_small(pi.m, (uint32_t)q), 2, &r), 1);
        base = approx_fix(int_from(half, false), p, 2);
        t = dir > 0 ? ap_add(base, t, w + 4) : ap_sub(base, t, w + 4);
      }
    }
    if (neg) t.mid = int_neg(t.mid);
    *out = t;
    return 0;
  }
  const int extra = q == 0 && lr < 0 ? (int)(-lr / BASE_DIGITS) + 1 : 0;
  const int p = limbs_for(w) + 2 + extra;
  // R = floor(n BASE^p / d), exactly.
  const int64_t shift = n.e - d.e + BASE_DIGITS * (int64_t)p;
  Nat R;
  if (shift >= 0) R = nat_div(nat_mul_pow10(n.m, shift), d.m);
  else R = nat_div(n.m, nat_mul_pow10(d.m, -shift));
  Int theta;
  uint64_t err;
  atan_fix(int_from(R, false), 1, fix_one(p), 0, p, &theta, &err);
  const Int pi = const_pi(p + 1);
  Int v;
  if (degrees) {
    Int t = theta;
    if (t.m.n) t = int_div_floor(int_shift_floor(int_mul_small(t, 180), p + 1), pi.m);
    err = (uint64_t)std::ceil(57.3 * (double)err) + 2;
    const Int base = int_from(nat_mul_u64(nat_shift_limbs(nat_from_u64(1), p), 90 * (uint64_t)q), false);
    v = dir > 0 ? int_add(base, t) : int_sub(base, t);
    if (q > 0) {
      // The true angle lies strictly on θ's side of 90q: cut the enclosure there.
      const Nat e = nat_from_u64(err);
      Int lo = int_sub(v, int_from(e, false)), hi = int_add(v, int_from(e, false));
      if (dir < 0) {
        const Int cap = int_sub(base, fix_one(0));
        if (int_cmp(hi, cap) > 0) hi = cap;
      } else if (int_cmp(lo, base) < 0) {
        lo = base;
      }
      if (int_cmp(lo, hi) > 0) {
        *out = ap_undecided();
        return 0;
      }
      const Int mid = int_div_floor(int_add(lo, hi), nat_from_u64(2));
      err = nat_to_u64(int_sub(hi, mid).m);
      v = mid;
    }
  } else {
    uint32_t r;
    const Nat half = nat_high_limbs(nat_divmod_small(nat_mul_small(pi.m, (uint32_t)q), 2, &r), 1);
    const Int base = int_from(half, false);
    v = dir > 0 ? int_add(base, theta) : int_sub(base, theta);
    err += q ? 2 : 0;
  }
  if (neg) v = int_neg(v);
  *out = approx_fix(v, p, err);
  return 0;
}

}  // namespace

}  // namespace exact

using namespace exact;

int exact_atan2(DecWord *out, const DecWord *y, const DecWord *x) {
  if (pass_markers(out, y, x)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec Y = dx_of(y), X = dx_of(x);
    const bool degrees = exact_radian_mode == 0;
    if (dx_is_zero(Y) && dx_is_zero(X)) return error_with(out, "atan2: the angle of (0, 0) is undefined");
    if (dx_is_zero(Y)) {
      if (!X.neg) return dec_zero(out);
      return degrees ? dx_write(out, dx_from_i64(180)) : write_quarters(out, 2, false);
    }
    if (dx_is_zero(X)) return degrees ? dx_write(out, dx_from_i64(Y.neg ? -90 : 90)) : write_quarters(out, 1, Y.neg);
    const Dec ay{Y.m, Y.e, false}, ax{X.m, X.e, false};
    const int c = dx_cmp(ay, ax);
    if (degrees && c == 0) return dx_write(out, dx_from_i64((X.neg ? 135 : 45) * (Y.neg ? -1 : 1)));
    int q, dir;
    Dec n, d;
    if (c <= 0) {
      n = ay;
      d = ax;
      q = X.neg ? 2 : 0;
      dir = X.neg ? -1 : 1;
    } else {
      n = ax;
      d = ay;
      q = 1;
      dir = X.neg ? 1 : -1;
    }
    return ziv_loop(out, [&](int64_t w, Approx *a) { return eval_atan2(n, d, q, dir, Y.neg, degrees, w, a); });
  });
}
