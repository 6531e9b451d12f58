// Lambert's W in the exact mode: the principal branch W₀(x) for x ≥ −1/e and the lower
// branch W₋₁(x) for −1/e ≤ x < 0, the solutions of w e^w = x with w ≥ −1 and w ≤ −1.
//
// Exact cases: W₀(0) = 0. For a rational w ≠ 0, w e^w is transcendental (Lindemann), so no
// other decimal x has a rational W(x): every other result is decided by its enclosure. The
// domain needs x + 1/e ≥ 0, decided from e to enough digits (x is a decimal, −1/e is not).
//
// Method: Newton's iteration from a double start at growing precisions, then one
// certified enclosure. Where |w| > 1 (W₀ for x > e, and W₋₁) the iteration solves
// g(w) = w + ln|w| − ln|x| = 0, whose numbers stay moderate for huge or tiny x; elsewhere
// (W₀ for −1/e < x ≤ e) f(w) = w e^w − x = 0. Certification: with the residual r = g(w̃) or
// f(w̃) enclosed at the final precision, and m ≤ |h'| on J = [w̃ − δ, w̃ + δ] (g' = 1 + 1/ξ,
// f' = e^ξ (1 + ξ), both monotone on J, so the bound is taken at J's end, in double precision
// with a 2 % margin), the root lies within |r| / m of w̃ as long as |r| / m ≤ δ (h is
// monotone on J and changes sign there): the enclosure is w̃ ± 1.01 |r| / m. Near the branch
// point (1 + w small) the steps get twice −log10 |1 + w| more digits and the residual once.
// Tiny x (x² below 10^−(w+8)): W₀(x) = x − x² + θ, |θ| ≤ 2|x|³ (just inside x for x > 0,
// just beyond it for x < 0, where x² is below x's last digit).
#include <algorithm>
#include <cmath>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"

namespace exact {

namespace {

constexpr double LN10 = 2.302585092994046;

double dec_log10(const Dec &x) { return nat_log10(x.m) + (double)x.e; }

double ap_to_double(const Approx &a) {
  if (a.mid.m.n == 0) return 0;
  const double l = ap_log10(a);
  const double v = l > 300 ? 1e300 : l < -300 ? 0 : std::pow(10.0, l);
  return a.mid.neg ? -v : v;
}

// log10 of an upper bound of |v| for v in the enclosure.
double log10_upper(const Approx &a) {
  const double lrad = std::log10((double)a.rad + 1);
  if (a.mid.m.n == 0) return lrad + (double)a.e;
  const double lmid = nat_log10(a.mid.m);
  const double hi = std::max(lmid, lrad), lo = std::min(lmid, lrad);
  return hi + std::log10(1 + std::pow(10.0, lo - hi)) + 1e-9 + (double)a.e;
}

// The decimal of an enclosure's mid, cut to `digits` significant digits.
Dec dec_of_mid(const Approx &a, int64_t digits) {
  const int64_t nd = nat_digits(a.mid.m);
  if (nd <= digits) return dx_make(a.mid.m, a.e, a.mid.neg);
  return dx_make(nat_div_pow10(a.mid.m, nd - digits), a.e + (nd - digits), a.mid.neg);
}

// W in double precision from ln|x| (x's sign given): Halley's iteration on w e^w = x for
// moderate x, Newton's on w + ln|w| = ln|x| for large |w|.
double w_double(double lx, bool xneg, bool lower) {
  const double e = 2.718281828459045;
  if (!lower && !xneg && lx > 1) {
    double w = lx - std::log(lx);
    for (int i = 0; i < 60; ++i) w = w * (1 + lx - std::log(w)) / (w + 1);
    return w;
  }
  if (lower && lx < -3) {
    // −x small: w ≈ ln(−x) − ln(−ln(−x)), then Newton on w + ln(−w) = ln(−x).
    double w = lx - std::log(-lx);
    for (int i = 0; i < 60; ++i) w = w - (w + std::log(-w) - lx) / (1 + 1 / w);
    return w;
  }
  const double x = (xneg ? -1 : 1) * std::exp(lx);
  const double eta = std::max(0.0, 1 + e * x);
  double w;
  if (lower) w = -1 - std::sqrt(2 * eta) - 2 * eta / 3;
  else if (x < -0.25) w = -1 + std::sqrt(2 * eta) - 2 * eta / 3;
  else w = std::log1p(x) * (1 - std::log1p(std::log1p(std::fabs(x))) / (2 + std::log1p(std::fabs(x))));
  for (int i = 0; i < 100; ++i) {
    const double ew = std::exp(w), f = w * ew - x;
    const double d = ew * (w + 1) - (w + 2) * f / (2 * w + 2);
    if (d == 0 || !std::isfinite(d)) break;
    const double nw = w - f / d;
    if (!std::isfinite(nw) || nw == w) break;
    w = nw;
  }
  return w;
}

struct WProblem {
  Dec x;
  bool lower;    // W₋₁
  bool log_form; // g(w) = w + ln|w| − ln|x|
};

// One Newton step at d digits from w (mid only).
Dec newton_step(const WProblem &pb, const Dec &w, int64_t d) {
  const Approx W = ap_exact(w);
  Approx r;
  if (pb.log_form) {
    // w' = w − (w + ln|w| − ln|x|) / (1 + 1/w).
    Dec aw = w, ax = pb.x;
    aw.neg = false;
    ax.neg = false;
    const Approx g = ap_sub(ap_add(W, ln_dec(aw, d), d), ln_dec(ax, d), d);
    r = ap_sub(W, ap_div(ap_mul(g, W, d), ap_add(W, ap_small(1), d), d), d);
  } else {
    // w' = w − (w − x e^−w) / (1 + w); near the branch point w − x e^−w is about
    // (1 + w)² / 2 and the quotient amplifies its error by 1 / (1 + w): twice the digits
    // of 1 + w more.
    const Dec onep = dx_add(w, dx_from_i64(1));  // exact
    const int64_t lo = dx_is_zero(onep) ? -d : dx_magnitude(onep);
    const int64_t dn = d + 2 * std::max<int64_t>(0, -lo) + 4;
    const Approx t = ap_sub(W, ap_mul(ap_exact(pb.x), exp_dec(dx_neg(w), dn), dn), dn);
    r = ap_sub(W, ap_div(t, ap_add(W, ap_small(1), dn), dn), dn);
    return dec_of_mid(r, dn + 4);
  }
  return dec_of_mid(r, d + 4);
}

// The certified enclosure of W around w̃ at about w digits; undecided when the residual does
// not certify δ.
Approx certify(const WProblem &pb, const Dec &wt, int64_t w) {
  const double wd = std::pow(10.0, dec_log10(wt)) * (wt.neg ? -1 : 1);
  const Approx onep = ap_add(ap_exact(wt), ap_small(1), w + 10);
  const double one_plus = ap_to_double(onep);  // 1 + w̃ without cancellation
  const int64_t extra = std::max<int64_t>(0, (int64_t)std::ceil(-std::log10(std::fabs(one_plus) + 1e-300))) + 4;
  const int64_t wr = w + 8 + extra;
  const Approx W = ap_exact(wt);
  Approx r;
  double lm;  // log10 of the lower bound m of |h'| on J
  // δ: the interval half-width tried, 10^−(w + 4) relative to |w̃|.
  const double ld = std::log10(std::fabs(wd) + 1e-300) - (double)(w + 4);
  const double delta = std::pow(10.0, std::max(ld, -300.0));
  if (pb.log_form) {
    Dec aw = wt, ax = pb.x;
    aw.neg = false;
    ax.neg = false;
    const int64_t wl = wr + (int64_t)std::ceil(std::log10(std::fabs(wd) + 1));
    r = ap_sub(ap_add(W, ln_dec(aw, wl), wl), ln_dec(ax, wl), wl);
    // g' = 1 + 1/ξ: for ξ > 1 at least 1; for ξ < −1 at least 1 − 1/|ξ|, smallest at the end
    // nearer −1.
    if (!wt.neg) {
      lm = 0;
    } else {
      const double v = std::fabs(wd) - delta;  // |ξ| ≥ v > 1
      if (v <= 1) return ap_undecided();
      lm = std::log10((v - 1) / v);
    }
  } else {
    r = ap_sub(ap_mul(W, exp_dec(wt, wr), wr), ap_exact(pb.x), wr);
    // |f'| = e^ξ |1 + ξ| on J is at least e^(w̃ − δ) (|1 + w̃| − δ): e^ξ |1 + ξ| is monotone on
    // each side of −2 and of −1, and the bound takes each factor at its worst end.
    const double lo = std::fabs(one_plus) - delta;
    if (lo <= 0) return ap_undecided();
    lm = (wd - delta) / LN10 + std::log10(lo);
  }
  lm += std::log10(0.98);
  const double lr = log10_upper(r);
  const double lrho = lr - lm + std::log10(1.01);  // log10 of the enclosure's radius
  if (lrho > ld) return ap_undecided();
  // w̃ at a unit 10^u two digits below ρ, with ρ's units rounded up.
  const int64_t u = (int64_t)std::floor(lrho) - 2;
  Approx a;
  Nat m;
  if (wt.e >= u) {
    m = nat_mul_pow10(wt.m, wt.e - u);
  } else {
    m = nat_div_pow10(wt.m, u - wt.e);
  }
  a.mid = int_from(m, wt.neg);
  a.e = u;
  a.rad = (uint64_t)std::ceil(std::pow(10.0, lrho - (double)u)) + 2;
  return a;
}

Approx lambert(const WProblem &pb, int64_t w) {
  const double lx = dec_log10(pb.x) * LN10;
  const double w0 = w_double(lx, pb.x.neg, pb.lower);
  // The double start as a decimal with 16 digits.
  Dec wt;
  {
    const double aw = std::fabs(w0);
    const int e10 = aw > 0 ? (int)std::floor(std::log10(aw)) : 0;
    const int64_t mant = (int64_t)std::llround(aw * std::pow(10.0, 15 - e10));
    wt = dx_from_i64(w0 < 0 ? -mant : mant, e10 - 15);
  }
  // Near the branch point the double start is too coarse: W = −1 ± p − p²/3 + O(p³) with
  // p = √(2 (1 + e x)), from 1 + e x at the digits its smallness needs.
  if (!pb.log_form && pb.x.neg) {
    const double eta = 1 + 2.718281828459045 * (pb.x.neg ? -1 : 1) * std::exp(lx);
    if (eta < 1e-6) {
      const int64_t d = (int64_t)std::ceil(-std::log10(std::max(eta, 1e-300))) * 2 + 40 +
                        std::max<int64_t>(0, -(int64_t)dec_log10(pb.x));
      for (int64_t dd = d;; dd *= 2) {
        cancel_check();
        const Approx e1 = exp_dec(dx_from_i64(1), dd);
        const Approx et = ap_add(ap_small(1), ap_mul(e1, ap_exact(pb.x), dd), dd);
        if (nat_cmp(et.mid.m, nat_from_u64(et.rad)) <= 0) continue;
        const Approx pp = ap_sqrt(ap_mul(ap_small(2), et, dd), dd);
        Approx ws = ap_sub(pb.lower ? ap_neg(pp) : pp, ap_mul(et, ap_exact(dx_from_i64(6666666667, -10)), dd), dd);
        ws = ap_sub(ws, ap_small(1), dd);
        wt = dec_of_mid(ws, dd);
        break;
      }
    }
  }
  // Precisions from the top: each Newton step doubles the digits.
  int64_t targets[64];
  int steps = 0;
  const int64_t final_digits = w + 12;
  for (int64_t t = final_digits; steps < 64; t = t / 2 + 4) {
    targets[steps++] = t;
    if (t <= 24) break;
  }
  for (int i = steps - 1; i >= 0; --i) {
    cancel_check();
    wt = newton_step(pb, wt, targets[i]);
  }
  wt = newton_step(pb, wt, final_digits);
  return certify(pb, wt, w + 2);
}

// x ≥ −1/e, decided from 1/e at growing precision: −1 (x < −1/e), +1.
int branch_side(const Dec &x) {
  if (!x.neg) return 1;
  for (int64_t d = nat_digits(x.m) + 20;; d *= 2) {
    cancel_check();
    const Approx ie = ap_div(ap_small(1), exp_dec(dx_from_i64(1), d), d);
    const Approx s = ap_add(ap_exact(x), ie, d);
    const Nat rad = nat_from_u64(s.rad);
    if (nat_cmp(s.mid.m, rad) > 0) return s.mid.neg ? -1 : 1;
  }
}

int lambert_entry(DecWord *out, const DecWord *y, bool lower) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(y);
    if (dx_is_zero(X)) {
      if (lower) return error_with(out, "lambertwm1: x must lie in [-1/e, 0)");
      return dec_zero(out);
    }
    if (lower && !X.neg) return error_with(out, "lambertwm1: x must lie in [-1/e, 0)");
    if (branch_side(X) < 0)
      return error_with(out, lower ? "lambertwm1: x must lie in [-1/e, 0)" : "lambertw: x must be at least -1/e");
    WProblem pb;
    pb.x = X;
    pb.lower = lower;
    // g for |w| > 1 away from −1: W₀ for x > e (w > 1), W₋₁ for |x| < 1/4 (w < −2.15).
    const double lx = dec_log10(X);
    pb.log_form = lower ? lx < -0.6 : (!X.neg && lx > 0.4343);
    return ziv_ap(out, [&](int64_t w) -> Approx {
      if (!lower && 2 * (dx_magnitude(X) + 1) < -(w + 8)) {
        // x − x² ± 2|x|³; where x² is below the unit of x's digits, strictly inside x (x > 0)
        // or beyond it (x < 0) by less than a unit.
        if (dx_magnitude(X) < -(w + 6)) return ap_nudge(ap_exact(X), X.neg ? 1 : -1);
        Approx r = ap_sub(ap_exact(X), ap_exact(dx_mul(X, X)), w + 4);
        r.rad += 1;
        return r;
      }
      return lambert(pb, w + 2);
    });
  });
}

}  // namespace

}  // namespace exact

int exact_lambertw(DecWord *out, const DecWord *x) { return exact::lambert_entry(out, x, false); }
int exact_lambertwm1(DecWord *out, const DecWord *x) { return exact::lambert_entry(out, x, true); }
