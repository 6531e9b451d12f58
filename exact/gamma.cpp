// Γ(x) and ln |Γ(x)| in the exact mode.
//
// Exact cases and errors: Γ(n) = (n − 1)! for integers n ≥ 1 (the factorial's product tree,
// exactly while it fits); poles at 0, −1, −2, … are ERROR (for ln |Γ| too); ln Γ(1) =
// ln Γ(2) = 0. Every other value is taken as irrational (Γ at a rational non-integer is not
// known to be rational anywhere; the loop's limit would report it) and decided by its
// enclosure.
//
// x > 0, the incomplete-gamma split at an integer N (Γ(x, N) the upper part):
//   Γ(x) = N^(x−1) e^−N Σ_{k≥0} u_k + Γ(x, N),  u_k = N^(k+1) / (x (x+1) … (x+k)).
// Σ_{k<K} u_k = T / Q by binary splitting over q(j) = x + j with the constant p = N, each
// node truncated to K limbs (Fl, exact/special.h; a short x keeps its lower levels exact,
// a full-length one is truncated from the leaves up); the counts bound the relative error.
// The parts left out are positive: Γ(x, N) ≤ c N^(x−1) e^−N with c = 1 for x ≤ 1 and
// c = 1 / (1 − (x−1)/N) for N > x − 1, and Σ_{k≥K} u_k ≤ u_K / (1 − ρ), ρ = N / (x + K + 1) < 1.
// N is the least integer ≥ max(1, x) with c / max_k u_k ≤ ε / 2 and K the least with the tail
// ≤ (ε / 2) max_k u_k, ε = 10^−(w+10) (ln u_k = (k+1) ln N − lgamma(x+k+1) + lgamma(x) in
// double precision, with a margin), so the result is N^(x−1) e^−N T/Q (1 + δ), 0 ≤ δ ≤ ε:
// one more unit of an enclosure with w + 3 digits. N^(x−1) e^−N = exp((x − 1) ln N − N)
// with ln N at w + log10 |z| + 8 digits (the exponential's relative error is z's absolute
// one). ln Γ(x) = (x − 1) ln N − N + ln(T/Q) + ln(1 + δ), with extra digits for its size
// (ln Γ vanishes at 1 and 2: −log10 |ln Γ(x)| more, from |x − 1| or |x − 2| near them) and
// for the cancellation of terms of size N.
// Large x (where m ≤ 400 terms suffice), Stirling's series:
//   ln Γ(x) = (x − 1/2) ln x − x + ln(2π)/2 + Σ_{k=1}^{m} B_2k / (2k (2k−1) x^(2k−1)) + R,
//   |R| ≤ |B_(2m+2)| / ((2m+2)(2m+1) x^(2m+1)) ≤ 3.3 (2m+2)! / ((2π)^(2m+2) (2m+2)(2m+1) x^(2m+1))
// (the error of the series for real x > 0 is bounded by the first omitted term), with the
// Bernoulli numbers from the tangent numbers, exactly; Γ = exp(ln Γ).
// Tiny x (x² below 10^−(w+8)): Γ(x) = 1/x − γ + θ, |θ| ≤ 1.1 |x| (the next Taylor coefficient
// is (γ²/2 + π²/12) < 0.99), and ln |Γ(x)| = −ln |x| − γx + O(x²) = −ln |x| within one unit.
// x < 0: Γ(x) = π / (sin(πx) Γ(1 − x)) and ln |Γ(x)| = ln π − ln |sin(πx)| − ln Γ(1 − x), with
// sin(πx) from the exact fraction of x (ap_sinpi). Results beyond the exponent range are
// found from lgamma first: OVERFLOW above, 0 below.
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
constexpr double PI_D = 3.14159265358979323846;
constexpr int STIRLING_MAX_TERMS = 400;
constexpr double SERIES_MAX_TERMS = 4e8;

double dec_to_double(const Dec &x) {
  const double v = std::pow(10.0, nat_log10(x.m) + (double)x.e);
  return x.neg ? -v : v;
}

// ---- the incomplete-gamma series ----------------------------------------------------------
struct Plan {
  int64_t N = 0, K = 0;
};

double ln_u(double x, double lnN, int64_t k) {
  return (double)(k + 1) * lnN - (std::lgamma(x + (double)k + 1) - std::lgamma(x));
}

double ln_umax(double x, double N) {
  const double lnN = std::log(N);
  const int64_t ks = std::max<int64_t>(0, (int64_t)std::ceil(N - x - 1));
  double best = ln_u(x, lnN, ks);
  if (ks > 0) best = std::max(best, ln_u(x, lnN, ks - 1));
  return best;
}

// The least N and K for a relative error of e^−target (see the head of the file).
Plan plan_series(double x, double target) {
  Plan plan;
  const double need = target + std::log(4.0) + 2;  // c / u_max ≤ e^−target / 2, with margin
  auto enough_n = [&](int64_t N) {
    double lc = 0;
    if (x > 1) lc = -std::log(1 - (x - 1) / (double)N);
    return ln_umax(x, (double)N) - lc >= need;
  };
  int64_t lo = std::max<int64_t>(1, (int64_t)std::ceil(x) + 1), hi = lo;
  if (!enough_n(lo)) {
    hi = lo + 1;
    while (!enough_n(hi)) {
      lo = hi;
      hi = 2 * hi;
    }
    while (hi - lo > 1) {
      const int64_t mid = lo + (hi - lo) / 2;
      (enough_n(mid) ? hi : lo) = mid;
    }
  }
  plan.N = hi;
  const double N = (double)plan.N, lnN = std::log(N), bound = ln_umax(x, N) - target - std::log(2.0) - 2;
  auto enough_k = [&](int64_t K) {
    const double rho = N / (x + (double)K + 1);
    return ln_u(x, lnN, K) - std::log1p(-rho) <= bound;
  };
  int64_t klo = std::max<int64_t>(1, (int64_t)std::ceil(N - x) + 1), khi = klo;
  if (!enough_k(klo)) {
    khi = klo + 1;
    while (!enough_k(khi)) {
      klo = khi;
      khi *= 2;
    }
    while (khi - klo > 1) {
      const int64_t mid = klo + (khi - klo) / 2;
      (enough_k(mid) ? khi : klo) = mid;
    }
  }
  plan.K = khi;
  return plan;
}

// N^(len) truncated to K limbs, per distinct length (a level of the split has at most two).
struct FlPowers {
  static constexpr int MAX = 128;
  int64_t len[MAX];
  Fl pw[MAX];
  int n = 0;
  Fl base;
  int K = 0;
  bool frozen = false;

  Fl get(int64_t k) {
    for (int i = 0; i < n; ++i)
      if (len[i] == k) return pw[i];
    const Fl v = k == 1 ? base : fl_mul(get(k / 2), get(k - k / 2), K);
    if (frozen || n == MAX) return v;
    len[n] = k;
    pw[n] = v;
    return pw[n++];
  }

  // The left-half lengths of every node of the split of `length` terms, level by level (at
  // most two distinct lengths per level), computed in the caller's frame.
  void prepare(int64_t length) {
    int64_t level[2] = {length, 0};
    int nl = 1;
    while (nl > 0) {
      int64_t next[2];
      int nn = 0;
      for (int i = 0; i < nl; ++i) {
        if (level[i] < 2) continue;
        const int64_t parts[2] = {level[i] / 2, level[i] - level[i] / 2};
        get(parts[0]);
        for (int64_t q : parts) {
          bool seen = false;
          for (int j = 0; j < nn; ++j) seen = seen || next[j] == q;
          if (!seen && nn < 2) next[nn++] = q;
        }
      }
      for (int i = 0; i < nn; ++i) level[i] = next[i];
      nl = nn;
    }
    frozen = true;
  }
};

struct GammaSplit {
  Fl Q, T;
};

// The terms [a, b): q(j) = x + j = (M + j BASE^−E) BASE^E, p = N.
struct GammaTerms {
  Nat M;      // x = M BASE^E, E ≤ 0
  int64_t E;
  Fl N;
  int K;
  FlPowers *pw;
  const ProgressLoop *loop;
  double total;
};

GammaSplit gamma_split(int64_t a, int64_t b, const GammaTerms &g) {
  GammaSplit s;
  if (b - a == 1) {
    Fl q;
    q.m = nat_add(g.M, nat_shift_limbs(nat_from_u64((uint64_t)a), -g.E));
    q.e = g.E;
    s.Q = fl_trunc(q, g.K);
    s.T = g.N;
    if ((a & 1023) == 0) g.loop->set((int)(1000.0 * (double)a / g.total), 1000);
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  GammaSplit l = gamma_split(a, m, g), r = gamma_split(m, b, g);
  s.T = fl_add(fl_mul(l.T, r.Q, g.K), fl_mul(g.pw->get(m - a), r.T, g.K), g.K);
  s.Q = fl_mul(l.Q, r.Q, g.K);
  f.keep({&s.Q.m, &s.T.m});
  return s;
}

// x as M BASE^E with E ≤ 0.
void limbs_of(const Dec &x, Nat *M, int64_t *E) {
  Fl f = fl_from_dec(x);
  if (f.e > 0) {
    f.m = nat_shift_limbs(f.m, f.e);
    f.e = 0;
  }
  *M = f.m;
  *E = f.e;
}

// The parts of Γ(x) for x > 0 by the series: z = (x − 1) ln N − N and S = T/Q with
// Γ(x) = e^z S (1 + δ), 0 ≤ δ ≤ 10^−(w+10)·(10^−extra); the enclosures at w + extra digits.
void gamma_series(const Dec &x, int64_t w, int64_t extra, Approx *z, Approx *S) {
  const double xd = dec_to_double(x);
  const Plan plan = plan_series(xd, (double)(w + 10 + extra) * LN10);
  const int64_t wz = w + extra + 8 + (int64_t)std::ceil(std::log10(std::fabs((xd - 1) * std::log((double)plan.N)) + plan.N + 1));
  const Approx lnN = ln_dec(dx_from_i64(plan.N), wz);
  *z = ap_sub(ap_mul(ap_sub(ap_exact(x), ap_small(1), wz), lnN, wz), ap_small(plan.N), wz);
  const int K = limbs_for(w + extra) + 5;
  GammaTerms g;
  limbs_of(x, &g.M, &g.E);
  g.N = fl_from_nat(nat_from_u64((uint64_t)plan.N));
  g.K = K;
  FlPowers pw;
  pw.base = g.N;
  pw.K = K;
  pw.prepare(plan.K);
  g.pw = &pw;
  ProgressLoop loop;
  g.loop = &loop;
  g.total = (double)plan.K;
  const GammaSplit s = gamma_split(0, plan.K, g);
  *S = fl_quotient(s.T, s.Q, K);
}

// ---- Stirling's series --------------------------------------------------------------------
// ln x from the decimal (no overflow for huge x).
double dec_ln(const Dec &x) { return (nat_log10(x.m) + (double)x.e) * LN10; }

// The least m ≤ STIRLING_MAX_TERMS with ln |R_m| ≤ −target, or 0 (lnx = ln x).
int stirling_terms(double lnx, double target) {
  if (lnx < std::log(8.0)) return 0;
  for (int m = 1; m <= STIRLING_MAX_TERMS; ++m) {
    const double lr = std::log(3.3) + std::lgamma(2.0 * m + 3) - (2.0 * m + 2) * std::log(2 * PI_D) -
                      std::log((2.0 * m + 2) * (2.0 * m + 1)) - (2.0 * m + 1) * lnx;
    if (lr <= -target - 2) return m;
  }
  return 0;
}

// ln Γ(x) for x ≥ 8 by Stirling's series with m terms, at w digits (absolute error about
// 10^−w |ln Γ(x)|, plus the remainder the caller bounded): x ln x dominates every other term
// and x ln x − x = x (ln x − 1) loses at most a digit, so each term at w + 6 digits will do.
Approx stirling_lngamma(const Dec &x, int m, int64_t w) {
  const int64_t wl = w + 6;
  Frame f;
  Nat *t = (Nat *)arena_alloc((size_t)m * sizeof(Nat) / sizeof(uint32_t) + 2);
  tangent_numbers(m, t);
  const Approx X = ap_exact(x);
  const Approx y = ap_div(ap_small(1), ap_mul(X, X, wl), wl);
  // Σ_{k=1}^{m} c_k y^(k−1), c_k = (−1)^(k−1) T_k / ((2k−1) 4^k (4^k − 1)), by Horner.
  Approx s{};
  LoopBase lb;
  for (int k = m; k >= 1; --k) {
    cancel_check();
    const Nat p4 = nat_pow_small(4, (uint64_t)k);
    const Nat den = nat_mul(nat_mul_small(p4, (uint32_t)(2 * k - 1)), nat_sub_small(p4, 1));
    Approx c = ap_div(ap_exact(dx_make(t[k - 1], 0, (k % 2) == 0)), ap_exact(dx_make(den, 0, false)), wl);
    s = k == m ? c : ap_add(c, ap_mul(s, y, wl), wl);
    lb.settle({&s.mid.m});
  }
  const Approx series = ap_div(s, X, wl);
  // (x − 1/2) ln x − x + ln(2π)/2.
  const Approx lnx = ln_dec(x, wl);
  const Approx ln2pi = ap_ln(ap_mul(ap_small(2), ap_pi(wl + 2), wl + 2), wl);
  Approx r = ap_sub(ap_mul(ap_sub(X, ap_half(ap_small(1)), wl), lnx, wl), X, wl);
  r = ap_add(ap_add(r, ap_half(ln2pi), wl), series, wl);
  f.keep({&r.mid.m});  // the tangent numbers and the temporaries go
  return r;
}

// How ln Γ(x) for x > 0 is computed at w digits, and its size.
struct LnGammaPlan {
  int stirling = 0;   // terms, or 0 for the series
  bool too_large = false;
  int64_t extra = 0;  // −log10 |ln Γ(x)| where it is small
};

LnGammaPlan plan_lngamma(const Dec &x, int64_t w, bool for_gamma) {
  LnGammaPlan p;
  const double lnx = dec_ln(x);
  const double xd = lnx < 700 ? dec_to_double(x) : 1e300;
  // Near 1 and 2, |ln Γ(x)| ≈ γ |x − 1| and 0.42 |x − 2|; for huge x, ≈ x ln x.
  double lsize = lnx < 700 ? std::log10(std::fabs(std::lgamma(xd)) + 1e-300)
                           : lnx / LN10 + std::log10(lnx);
  if (dx_magnitude(x) <= 0) {
    for (int c : {1, 2}) {
      const Dec d = dx_sub(x, dx_from_i64(c));
      if (!dx_is_zero(d) && dx_magnitude(d) < -1) lsize = (double)dx_magnitude(d) - 1;
    }
  }
  if (!for_gamma && lsize < 0) p.extra = (int64_t)std::ceil(-lsize) + 1;
  const double target = (double)(w + 10 + p.extra) * LN10 - (for_gamma ? 0.0 : std::max(0.0, lsize) * LN10);
  p.stirling = stirling_terms(lnx, target);
  if (p.stirling == 0) {
    if (lnx > 40) {
      p.too_large = true;  // far beyond the series' reach
    } else {
      const Plan s = plan_series(xd, (double)(w + 10 + p.extra) * LN10);
      if ((double)s.K > SERIES_MAX_TERMS) p.too_large = true;
    }
  }
  return p;
}

// ln Γ(x) for x > 0 (not tiny, not 1 or 2) as an enclosure of relative width ≈ 10^−w; or
// marks *too_large.
Approx lngamma_positive(const Dec &x, int64_t w, bool *too_large) {
  const LnGammaPlan p = plan_lngamma(x, w, false);
  *too_large = p.too_large;
  if (p.too_large) return ap_undecided();
  if (p.stirling) {
    Approx r = stirling_lngamma(x, p.stirling, w + p.extra + 2);
    r.rad += 1;
    return r;
  }
  const double xd = dec_to_double(x);  // below e^40 here
  const int64_t big = (int64_t)std::ceil(std::log10(std::fabs(xd * std::log(xd + 2)) + xd + 10));
  Approx z, S;
  gamma_series(x, w + big, p.extra, &z, &S);
  const int64_t wa = w + p.extra + big + 4;
  Approx r = ap_add(z, ap_ln(S, wa), wa);
  r.rad += 1;  // ln(1 + δ) ≤ δ
  return r;
}

}  // namespace

Approx gamma_positive(const Dec &x, int64_t w) {
  const LnGammaPlan p = plan_lngamma(x, w, true);
  if (p.stirling) {
    // exp(ln Γ): the exponential's relative error is ln Γ's absolute one.
    // (Γ overflows long before x ln x leaves double range.)
    const double lnx = dec_ln(x);
    const int64_t big = (int64_t)std::ceil((lnx + std::log(lnx + 1)) / LN10 + 1);
    Approx l = stirling_lngamma(x, p.stirling, w + big + 4);
    l.rad += 1;
    return ap_exp(l, w + 2);
  }
  Approx z, S;
  gamma_series(x, w, 0, &z, &S);
  Approx r = ap_mul(ap_exp(z, w + 4), S, w + 3);
  r.rad += 1;  // δ
  return r;
}

namespace {

// log10 |Γ(x)| for the exponent range (x not a pole): lgamma, with the reflection below 0.
double log10_gamma(const Dec &x) {
  if (dx_magnitude(x) < -250) return -(nat_log10(x.m) + (double)x.e);  // Γ(x) ≈ 1/x
  if (dx_magnitude(x) > 250) {
    // |Γ(x)| ≈ x^x for x > 0, and ≈ 1 / |x|^|x| for x < 0 (far beyond either end).
    const double l = std::pow(10.0, std::min(300.0, nat_log10(x.m) + (double)x.e)) * (nat_log10(x.m) + (double)x.e);
    return x.neg ? -l : l;
  }
  const double xd = dec_to_double(x);
  if (!x.neg) return std::lgamma(xd) / LN10;
  // |Γ(x)| = π / (|sin πx| Γ(1 − x)); |sin πx| ≥ 2 dist(x, Z).
  Dec f = x;
  f.neg = false;
  double frac = 0.5;
  if (f.e < 0) {
    const Nat ip = nat_div_pow10(f.m, -f.e);
    const Dec g = dx_sub(f, dx_make(ip, 0, false));
    const Dec h = dx_sub(dx_from_i64(1), g);
    frac = std::min(std::fabs(dec_to_double(g)), std::fabs(dec_to_double(h)));
    if (frac == 0) frac = std::pow(10.0, (double)std::min(dx_magnitude(g), dx_magnitude(h)));
  }
  const double lsin = std::log10(std::max(frac * 2, 1e-300));
  return std::log10(PI_D) - lsin - std::lgamma(1 - xd) / LN10;
}

bool is_pole(const Dec &x) { return dx_is_zero(x) || (x.neg && dx_is_integer(x)); }

// Tiny x: 1/x − γ ± 1.1 |x|, with γ at the absolute precision the result needs. Where γ is
// below the unit of 1/x's digits, Γ(x) lies strictly inside 1/x (x > 0) or beyond it (x < 0)
// by less than a unit.
Approx gamma_tiny(const Dec &x, int64_t w) {
  const Approx inv = ap_quotient(dx_from_i64(1), x, w + 4);
  if (inv.e > 2) return ap_nudge(inv, x.neg ? 1 : -1);
  const int64_t gdig = std::max<int64_t>(4, w + 8 + dx_magnitude(x));
  const int p = limbs_for(gdig);
  Approx r = ap_sub(inv, approx_fix(const_euler(p), p, 1), w + 4);
  r.rad += 1;
  return r;
}

bool tiny(const Dec &x, int64_t w) { return 2 * (dx_magnitude(x) + 1) < -(w + 8); }

}  // namespace

Approx gamma_real(const Dec &x, int64_t w) {
  if (tiny(x, w)) return gamma_tiny(x, w);
  if (!x.neg) return gamma_positive(x, w + 2);
  const Dec one_minus = dx_sub(dx_from_i64(1), x);
  return ap_div(ap_pi(w + 6), ap_mul(ap_sinpi(x, w + 4), gamma_positive(one_minus, w + 4), w + 4), w + 3);
}

Approx lngamma_real(const Dec &x, int64_t w, bool *too_large) { return lngamma_positive(x, w, too_large); }

}  // namespace exact

using namespace exact;

int exact_gamma(DecWord *out, const DecWord *x) {
  if (pass_markers(out, x)) return -1;
  static DecWord integer_arg[DEC_BUF_WORDS];
  bool factorial = false;
  int status = run_exact(out, [&]() -> int {
    const Dec X = dx_of(x);
    if (is_pole(X)) return error_with(out, "gamma: pole at 0, -1, -2, ...");
    if (dx_is_integer(X)) {
      // Γ(n) = (n − 1)!: the factorial's own command on n − 1 (read below).
      int64_t n;
      if (!dx_to_i64(X, &n) || n > 200000000) {
        dec_set_marker(out, NUM_OVERFLOW);
        return -1;
      }
      dx_write(integer_arg, dx_from_i64(n - 1));
      factorial = true;
      return 0;
    }
    const double lg = log10_gamma(X);
    if (lg > (double)DEC_EXP_MAX + 2) {
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    if (lg < (double)DEC_EXP_MIN - 2) return dec_zero(out);
    return ziv_ap(out, [&](int64_t w) { return gamma_real(X, w); });
  });
  if (factorial) return exact_factorial(out, integer_arg);
  return status;
}

int exact_lngamma(DecWord *out, const DecWord *x) {
  if (pass_markers(out, x)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec X = dx_of(x);
    if (is_pole(X)) return error_with(out, "lngamma: pole at 0, -1, -2, ...");
    if (dx_cmp(X, dx_from_i64(1)) == 0 || dx_cmp(X, dx_from_i64(2)) == 0) return dec_zero(out);
    bool too_large = false;
    const int status = ziv_ap(out, [&](int64_t w) -> Approx {
      if (2 * dx_magnitude(X) < -(w + 8) && dx_magnitude(X) < -(w + 5)) {
        // −ln |x|, within a unit.
        Dec a = X;
        a.neg = false;
        Approx r = ap_neg(ln_dec(a, w + 4));
        r.rad += 1;
        return r;
      }
      if (!X.neg) return lngamma_positive(X, w + 2, &too_large);
      const Dec one_minus = dx_sub(dx_from_i64(1), X);
      Approx s = ap_sinpi(X, w + 8);
      if (s.mid.neg) s.mid = int_neg(s.mid);
      const Approx l1 = lngamma_positive(one_minus, w + 8, &too_large);
      const Approx lpi = ap_ln(ap_pi(w + 10), w + 8);
      return ap_sub(ap_sub(lpi, ap_ln(s, w + 8), w + 8), l1, w + 4);
    });
    if (too_large) return error_with(out, "lngamma: argument too large for this precision");
    return status;
  });
}
