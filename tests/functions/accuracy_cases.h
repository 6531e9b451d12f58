// The functions under the accuracy check: argument domains, MPFR references, tolerances.
//
// Domains cover small and large arguments and the special points (multiples of 45
// degrees, ±1 and ±1/2 for the inverse functions, 1 for the logarithms). Where a function's
// formula loses digits by construction, the domain stops where the loss would reach the
// shown digits, and the tolerance carries the predicted loss:
//   - exp of a large |x| (and sinh, cosh, tanh): the stored e's truncation error is raised
//     to the power |x|, a relative error of about |x| units;
//   - x^y: the squarings (about |e| units for the integer part e of y) and the exponent
//     f ln x of the fraction (ln's own error, about ten units, times |f ln x|);
//   - trigonometric functions in radians: the reduction by a truncated π, |x| / π units
//     of 10^−(internal_digits − 2), absolute; in degrees a fold may drop t's last digit
//     (a few units absolute);
//   - ln and log10 of x < 1 (through 1/x), acos (π/2 − asin), asin and atan beyond the
//     reflection, sinh, tanh, asinh and atanh of a small |x| (nearly equal values
//     subtracted): a few units of 10^−(internal_digits − 2), absolute;
//   - acosh of 1 + ε: x² − 1 loses log10(1/ε) digits; asinh of a negative x loses
//     2 log10 |x| digits.
#pragma once

#include <algorithm>
#include <vector>

#include "accuracy_harness.h"

namespace fntest {

// Error units (Prec::u) that every case allows: a series and its final steps make a few
// full multiplications' worth of truncation error, and a relative error measured in units
// of a result with leading digit 1 reads up to ten times larger than in an operand with
// leading digit 9.
constexpr double BASE = 24;

inline double mpfr_abs_d(mpfr_t a) { return std::fabs(mpfr_get_d(a, MPFR_RNDN)); }

// |a − 1| as a double (exact enough for the tolerances).
inline double mpfr_dist_from_one(mpfr_t a) {
  mpfr_t t;
  mpfr_init2(t, mpfr_get_prec(a));
  mpfr_sub_ui(t, a, 1, MPFR_RNDN);
  const double d = std::fabs(mpfr_get_d(t, MPFR_RNDN));
  mpfr_clear(t);
  return d;
}

inline bool coin(std::mt19937_64 &rng, int one_in) { return rng() % (unsigned)one_in == 0; }

inline long capped(long v, long lo, long hi) { return std::max(lo, std::min(v, hi)); }

// 1 − 10^−m or −(1 − 10^−m) style points: c ± d × 10^−m.
inline std::string near_signed(std::mt19937_64 &rng, const char *c, int mlo, int mhi, int sign) {
  for (;;) {
    std::string s = near_point(rng, c, mlo, mhi);
    // near_point picks the sign of the offset at random; keep the one asked for.
    mpfr_t a, b;
    mpfr_inits2(4096, a, b, (mpfr_ptr)0);
    mpfr_set_str(a, s.c_str(), 10, MPFR_RNDN);
    mpfr_set_str(b, c, 10, MPFR_RNDN);
    const int cmp = mpfr_cmp(a, b);
    mpfr_clears(a, b, (mpfr_ptr)0);
    if (sign == 0 || cmp == sign) return s;
  }
}

// Degrees → radians for the reference: (x mod 360) × π / 180, the remainder exact.
inline void degrees_to_radians_ref(mpfr_t r, mpfr_t x) {
  mpfr_t t, pi;
  mpfr_inits2(mpfr_get_prec(r) + 64, t, pi, (mpfr_ptr)0);
  mpfr_set_ui(t, 360, MPFR_RNDN);
  mpfr_fmod(t, x, t, MPFR_RNDN);
  mpfr_const_pi(pi, MPFR_RNDN);
  mpfr_mul(t, t, pi, MPFR_RNDN);
  mpfr_div_ui(r, t, 180, MPFR_RNDN);
  mpfr_clears(t, pi, (mpfr_ptr)0);
}

// Whether the decimal text x is an odd multiple of 90 (decided exactly).
inline bool is_odd_multiple_of_90(const std::string &x) {
  mpfr_t a, b;
  const mpfr_prec_t bits = (mpfr_prec_t)(x.size() * 4 + 64);
  mpfr_inits2(bits, a, b, (mpfr_ptr)0);
  mpfr_set_str(a, x.c_str(), 10, MPFR_RNDN);
  bool pole = false;
  if (mpfr_integer_p(a)) {
    mpfr_set_ui(b, 180, MPFR_RNDN);
    mpfr_fmod(a, a, b, MPFR_RNDN);
    mpfr_abs(a, a, MPFR_RNDN);
    pole = mpfr_cmp_ui(a, 90) == 0;
  }
  mpfr_clears(a, b, (mpfr_ptr)0);
  return pole;
}

inline void radians_to_degrees_ref(mpfr_t r) {
  mpfr_t pi;
  mpfr_init2(pi, mpfr_get_prec(r) + 64);
  mpfr_const_pi(pi, MPFR_RNDN);
  mpfr_mul_ui(r, r, 180, MPFR_RNDN);
  mpfr_div(r, r, pi, MPFR_RNDN);
  mpfr_clear(pi);
}

// kπ/4 + δ written with all the precision's digits (radian arguments near the folds).
// |δ| = 10^−1 keeps the results near the zeros of sin, cos and tan (and the poles of
// tan) clear of the reduction error relative to them.
inline std::string near_quarter_pi(std::mt19937_64 &rng, const Prec &p) {
  const long k = (long)(rng() % 33) - 16;
  const int m = 1;
  mpfr_t a, d;
  mpfr_inits2((mpfr_prec_t)(p.digits * 3.4) + 64, a, d, (mpfr_ptr)0);
  mpfr_const_pi(a, MPFR_RNDN);
  mpfr_mul_si(a, a, k, MPFR_RNDN);
  mpfr_div_ui(a, a, 4, MPFR_RNDN);
  mpfr_set_ui(d, 10, MPFR_RNDN);
  mpfr_pow_si(d, d, -m, MPFR_RNDN);
  if (rng() % 2) mpfr_neg(d, d, MPFR_RNDN);
  mpfr_add(a, a, d, MPFR_RNDN);
  mpfr_exp_t ex;
  char *str = mpfr_get_str(nullptr, &ex, 10, (size_t)p.digits, a, MPFR_RNDN);
  std::string digits = str;
  mpfr_free_str(str);
  mpfr_clears(a, d, (mpfr_ptr)0);
  bool neg = digits[0] == '-';
  if (neg) digits.erase(0, 1);
  return (neg ? "-." : ".") + digits + "e" + std::to_string((long)ex);
}

inline Args one(const std::string &x) { return Args{x, ""}; }

inline std::vector<AccuracyCase> all_accuracy_cases() {
  std::vector<AccuracyCase> cases;
  // ulps and abs in error units.
  auto tol = [](const Prec &p, double ulps, double abs, double abs_units = 0) {
    return Tolerance{ulps * p.u, abs * p.u + abs_units};
  };
  auto base = [tol](mpfr_t, mpfr_t, mpfr_t, const Prec &p) { return tol(p, BASE, 0); };
  const long EMAX = 999999990;

  // ---- roots: the true root truncated, under one unit of the last digit ----
  auto exact = [](mpfr_t, mpfr_t, mpfr_t, const Prec &) { return Tolerance{1.5, 0}; };
  auto root_sample = [=](bool signs) {
    return [=](std::mt19937_64 &rng, const Prec &p) {
      const bool neg = signs && coin(rng, 2);
      if (coin(rng, 4)) return one(random_magnitude(rng, p, EMAX, EMAX + 9, neg));
      if (coin(rng, 4)) return one(random_magnitude(rng, p, -EMAX - 9, -EMAX, neg));
      return one(random_magnitude(rng, p, -40, 40, neg));
    };
  };
  cases.push_back({"sqrt", dec_sqrt, nullptr, 0, false, false, root_sample(false),
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_sqrt(r, x, MPFR_RNDN); }, exact});
  cases.push_back({"cbrt", dec_cbrt, nullptr, 0, false, false, root_sample(true),
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_cbrt(r, x, MPFR_RNDN); }, exact});

  // ---- exponential and powers of ten ----
  cases.push_back({"exp", dec_exp, nullptr, 0, false, false,
                   [](std::mt19937_64 &rng, const Prec &p) {
                     if (coin(rng, 6)) return one(near_point(rng, "0.5", 1, p.digits - 3));
                     const long top = capped(exponent_within_guard(p, 3), 0, 9);
                     return one(random_magnitude(rng, p, -(long)p.digits - 5, top, coin(rng, 2)));
                   },
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_exp(r, x, MPFR_RNDN); },
                   [tol](mpfr_t x, mpfr_t, mpfr_t, const Prec &p) { return tol(p, BASE + 3 * mpfr_abs_d(x), 0); }});
  cases.push_back({"exp10", dec_exp10, nullptr, 0, false, false,
                   [](std::mt19937_64 &rng, const Prec &p) {
                     return one(random_magnitude(rng, p, -(long)p.digits - 5, 8, coin(rng, 2)));
                   },
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_exp10(r, x, MPFR_RNDN); }, base});

  // ---- logarithms and the power ----
  // ln multiplies the error of ln y (y the last root, ln y ≈ 0.1) by 2k, which stays
  // relative to the result; log10 of x just below 1 subtracts the exponent from
  // ln m / ln 10 ≈ 1.
  // Just below 1 the absolute error (below_one units) meets a result of about 10^−m.
  auto log_sample = [=](double below_one) {
    return [=](std::mt19937_64 &rng, const Prec &p) {
    switch (rng() % 6) {
      case 0: return one(near_signed(rng, "1", 1, p.digits - 2, 1));
      case 1: return one(near_signed(rng, "1", 1, std::max(1, (int)exponent_within_guard(p, below_one)), -1));
      case 2: return one(random_magnitude(rng, p, EMAX, EMAX + 9, false));
      case 3: return one(random_magnitude(rng, p, -EMAX - 9, -EMAX, false));
      default: return one(random_magnitude(rng, p, -40, 40, false));
    }
    };
  };
  auto log_tolerance = [tol](double below_one) {
    return [tol, below_one](mpfr_t x, mpfr_t, mpfr_t, const Prec &p) {
      return tol(p, 2 * BASE, mpfr_cmp_ui(x, 1) < 0 ? below_one : 0.0);
    };
  };
  cases.push_back({"ln", dec_ln, nullptr, 0, false, false, log_sample(4),
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_log(r, x, MPFR_RNDN); }, log_tolerance(4)});
  cases.push_back({"log10", dec_log10, nullptr, 0, false, false, log_sample(40),
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_log10(r, x, MPFR_RNDN); }, log_tolerance(40)});
  cases.push_back({"pow", nullptr, dec_pow, 0, false, false,
                   [](std::mt19937_64 &rng, const Prec &p) {
                     Args a;
                     a.x = random_magnitude(rng, p, -6, 6, false);
                     const long top = capped(exponent_within_guard(p, 60), 0, 3);
                     if (coin(rng, 3))
                       a.y = std::to_string((long)(rng() % 21) - 10);
                     else
                       a.y = random_magnitude(rng, p, -8, top - 1, coin(rng, 2));
                     return a;
                   },
                   [](mpfr_t r, mpfr_t x, mpfr_t y) { mpfr_pow(r, x, y, MPFR_RNDN); },
                   [tol](mpfr_t x, mpfr_t y, mpfr_t, const Prec &p) {
                     // Integer part e by squarings (about e units), fraction f through
                     // exp (f ln x).
                     const double ay = mpfr_abs_d(y), e = std::floor(ay), f = ay - e;
                     const double lx = std::fabs(std::log(mpfr_get_d(x, MPFR_RNDN)));
                     return tol(p, BASE + 4 * e + 16 * f * (1 + lx), 0);
                   }});

  // ---- trigonometric functions ----
  struct Trig {
    const char *deg_name, *rad_name;
    UnaryFn fn;
    int (*ref)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
  };
  const Trig trig[] = {{"sin deg", "sin rad", dec_sin, mpfr_sin},
                       {"cos deg", "cos rad", dec_cos, mpfr_cos},
                       {"tan deg", "tan rad", dec_tan, mpfr_tan}};
  for (const Trig &f : trig) {
    const bool is_tan = f.fn == dec_tan;
    auto ref = f.ref;
    // Degrees: the reduction is exact, so any size and the multiples of 45 degrees.
    cases.push_back({f.deg_name, f.fn, nullptr, 0, true, true,
                     [is_tan](std::mt19937_64 &rng, const Prec &p) {
                       if (coin(rng, 2)) {
                         const long k = (long)(rng() % 33) - 16;
                         const std::string c = std::to_string(45 * k);
                         const bool pole = is_tan && (k % 4 == 2 || k % 4 == -2);
                         if (coin(rng, 4) && !pole) return one(c);
                         // Near a pole of tan, a folded angle whose sine falls below the
                         // zero threshold gives NUM_ERROR (checked in the edge tests).
                         return one(near_point(rng, c.c_str(), 1, pole ? p.sig - 2 : p.digits - 6));
                       }
                       for (;;) {  // an exact odd multiple of 90 is tan's pole (NUM_OVERFLOW)
                         std::string x = random_magnitude(rng, p, -5, p.digits - 6, coin(rng, 2));
                         if (!is_tan || !is_odd_multiple_of_90(x)) return one(x);
                       }
                     },
                     [ref](mpfr_t r, mpfr_t x, mpfr_t) {
                       mpfr_t t;
                       mpfr_init2(t, mpfr_get_prec(r));
                       degrees_to_radians_ref(t, x);
                       ref(r, t, MPFR_RNDN);
                       mpfr_clear(t);
                     },
                     [is_tan, tol](mpfr_t x, mpfr_t, mpfr_t v, const Prec &p) {
                       // A fold against 180 or 90 may drop the last digit of a full-length
                       // t: 100 units of 10^−(P − 1) degrees, 1.75 in the result (tan: times
                       // 1 + tan²).
                       const double slope = is_tan ? 1 + mpfr_abs_d(v) * mpfr_abs_d(v) : 1;
                       const bool full = text_digits(current_args().x) >= p.digits - 2;
                       const double fold = mpfr_abs_d(x) >= 45 && full ? 4 * slope : 0;
                       return tol(p, is_tan ? 2 * BASE : BASE, 0, fold);  // tan: a quotient of two series
                     }});
    // Radians: the reduction by the truncated π errs by about |x| / π units of 10^−(P − 1).
    cases.push_back({f.rad_name, f.fn, nullptr, 1, true, true,
                     [](std::mt19937_64 &rng, const Prec &p) {
                       if (coin(rng, 3)) return one(near_quarter_pi(rng, p));
                       const long top = capped(exponent_within_guard(p, 1), 0, 6);
                       return one(random_magnitude(rng, p, -8, top, coin(rng, 2)));
                     },
                     [ref](mpfr_t r, mpfr_t x, mpfr_t) { ref(r, x, MPFR_RNDN); },
                     [is_tan, tol](mpfr_t x, mpfr_t, mpfr_t v, const Prec &p) {
                       // Below π/4 nothing is reduced or folded.
                       const double ax = mpfr_abs_d(x);
                       const double slope = is_tan ? 1 + mpfr_abs_d(v) * mpfr_abs_d(v) : 1;
                       return tol(p, is_tan ? 2 * BASE : BASE, 0, ax > 0.78 ? 2 * (1 + ax) * slope : 0);
                     }});
  }

  // ---- inverse trigonometric functions ----
  // Beyond the reflection (|x| > 1/2) and for acos always, the result is a difference
  // with π/2: a few units absolute.
  for (int radians = 0; radians <= 1; ++radians) {
    auto unit = [radians](mpfr_t r) {
      if (!radians) radians_to_degrees_ref(r);
    };
    auto reflected = [tol](mpfr_t x, mpfr_t, mpfr_t, const Prec &p) {
      return tol(p, BASE, mpfr_abs_d(x) > 0.5 ? 8.0 : 0.0);
    };
    cases.push_back({radians ? "asin rad" : "asin deg", dec_asin, nullptr, radians, false, false,
                     [](std::mt19937_64 &rng, const Prec &p) {
                       const bool neg = coin(rng, 2);
                       switch (rng() % 4) {
                         case 0: return one(near_signed(rng, neg ? "-1" : "1", 1, p.digits - 2, neg ? 1 : -1));
                         case 1: return one(near_point(rng, neg ? "-0.5" : "0.5", 1, p.digits - 2));
                         default: return one(random_magnitude(rng, p, -(long)p.digits, -1, neg));
                       }
                     },
                     [unit](mpfr_t r, mpfr_t x, mpfr_t) {
                       mpfr_asin(r, x, MPFR_RNDN);
                       unit(r);
                     },
                     reflected});
    cases.push_back({radians ? "acos rad" : "acos deg", dec_acos, nullptr, radians, false, false,
                     [](std::mt19937_64 &rng, const Prec &p) {
                       const bool neg = coin(rng, 2);
                       // acos (1 − ε) ≈ √(2ε) carries the absolute error of π/2 − asin.
                       const int near_one = std::max(1, 2 * (int)exponent_within_guard(p, 8));
                       switch (rng() % 4) {
                         case 0:
                           if (neg) return one(near_signed(rng, "-1", 1, p.digits - 2, 1));
                           return one(near_signed(rng, "1", 1, near_one, -1));
                         case 1: return one(near_point(rng, neg ? "-0.5" : "0.5", 1, p.digits - 2));
                         default: return one(random_magnitude(rng, p, -(long)p.digits, -1, neg));
                       }
                     },
                     [unit](mpfr_t r, mpfr_t x, mpfr_t) {
                       mpfr_acos(r, x, MPFR_RNDN);
                       unit(r);
                     },
                     [tol](mpfr_t, mpfr_t, mpfr_t, const Prec &p) { return tol(p, BASE, 8); }});
    cases.push_back({radians ? "atan rad" : "atan deg", dec_atan, nullptr, radians, false, false,
                     [](std::mt19937_64 &rng, const Prec &p) {
                       const bool neg = coin(rng, 2);
                       if (coin(rng, 4)) return one(near_point(rng, neg ? "-1" : "1", 1, p.digits - 2));
                       return one(random_magnitude(rng, p, -(long)p.digits, p.digits, neg));
                     },
                     [unit](mpfr_t r, mpfr_t x, mpfr_t) {
                       mpfr_atan(r, x, MPFR_RNDN);
                       unit(r);
                     },
                     reflected});
  }

  // ---- hyperbolic functions ----
  // e^x as for exp; e^x − e^−x for a small |x| loses log10(1/|x|) digits (absolute error).
  auto hyp_sample = [](std::mt19937_64 &rng, const Prec &p) {
    const long top = capped(exponent_within_guard(p, 3), 0, 8);
    const long low = exponent_within_guard(p, 4);
    return one(random_magnitude(rng, p, -low, top, coin(rng, 2)));
  };
  auto hyp_tolerance = [tol](double abs_units) {
    return [tol, abs_units](mpfr_t x, mpfr_t, mpfr_t, const Prec &p) {
      return tol(p, BASE + 3 * mpfr_abs_d(x), abs_units);
    };
  };
  cases.push_back({"sinh", dec_sinh, nullptr, 0, false, false, hyp_sample,
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_sinh(r, x, MPFR_RNDN); }, hyp_tolerance(4)});
  cases.push_back({"cosh", dec_cosh, nullptr, 0, false, false, hyp_sample,
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_cosh(r, x, MPFR_RNDN); }, hyp_tolerance(0)});
  cases.push_back({"tanh", dec_tanh, nullptr, 0, false, false, hyp_sample,
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_tanh(r, x, MPFR_RNDN); }, hyp_tolerance(4)});
  cases.push_back({"asinh", dec_asinh, nullptr, 0, false, false,
                   [](std::mt19937_64 &rng, const Prec &p) {
                     const long low = exponent_within_guard(p, 4);
                     if (coin(rng, 3)) return one(random_magnitude(rng, p, -low, low / 2, true));
                     if (coin(rng, 6)) return one(random_magnitude(rng, p, 100000000, 400000000, false));
                     return one(random_magnitude(rng, p, -low, 40, false));
                   },
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_asinh(r, x, MPFR_RNDN); },
                   [tol](mpfr_t x, mpfr_t, mpfr_t, const Prec &p) {
                     const double ax = mpfr_abs_d(x);
                     return tol(p, 2 * BASE + (mpfr_sgn(x) < 0 ? 4 * ax * ax : 0), 4);
                   }});
  cases.push_back({"acosh", dec_acosh, nullptr, 0, false, false,
                   [](std::mt19937_64 &rng, const Prec &p) {
                     if (coin(rng, 3)) return one(near_signed(rng, "1", 1, std::max(1, (int)exponent_within_guard(p, 4)), 1));
                     if (coin(rng, 6)) return one(random_magnitude(rng, p, 100000000, 400000000, false));
                     return one(random_magnitude(rng, p, 0, 40, false));
                   },
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_acosh(r, x, MPFR_RNDN); },
                   [tol](mpfr_t x, mpfr_t, mpfr_t, const Prec &p) {
                     const double eps = mpfr_dist_from_one(x);
                     return tol(p, 2 * BASE + (eps > 0 ? 1 / eps : 0), 4);
                   }});
  cases.push_back({"atanh", dec_atanh, nullptr, 0, false, false,
                   [](std::mt19937_64 &rng, const Prec &p) {
                     const bool neg = coin(rng, 2);
                     if (coin(rng, 4)) return one(near_signed(rng, neg ? "-1" : "1", 1, p.digits - 2, neg ? 1 : -1));
                     return one(random_magnitude(rng, p, -exponent_within_guard(p, 4), -1, neg));
                   },
                   [](mpfr_t r, mpfr_t x, mpfr_t) { mpfr_atanh(r, x, MPFR_RNDN); },
                   [tol](mpfr_t, mpfr_t, mpfr_t, const Prec &p) { return tol(p, 2 * BASE, 4); }});
  return cases;
}

}  // namespace fntest
