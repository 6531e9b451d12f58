// The constants and special functions of the exact mode against MPFR: the function table,
// MPFR's side of each, random operands and the check shared by the unit tests and the slow
// sample. MPFR computes at about twice the digits plus 60 and rounds toward zero; its
// truncation to D digits is the expected result.
#pragma once

#include <gtest/gtest.h>
#include <mpfr.h>

#include <cstring>
#include <random>
#include <string>

#include "exact/exact.h"
#include "tests/exact/exp_log_cases.h"

namespace exact_test {

using Binary = int (*)(DecWord *, const DecWord *, const DecWord *);
using MpfrBinary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

// ln |Γ(x)|; the poles are errors (MPFR gives +Inf there).
inline int mpfr_lngamma_abs(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t rnd) {
  if (mpfr_sgn(x) <= 0 && mpfr_integer_p(x)) {
    mpfr_set_nan(r);
    return 0;
  }
  int sign;
  return mpfr_lgamma(r, &sign, x, rnd);
}

// atan2(y, x) in degrees or radians (exact_radian_mode).
inline int mpfr_atan2_unit(mpfr_ptr r, mpfr_srcptr y, mpfr_srcptr x, mpfr_rnd_t rnd) {
  mpfr_atan2(r, y, x, rnd);
  if (exact_radian_mode) return 0;
  mpfr_t pi;
  mpfr_init2(pi, mpfr_get_prec(r) + 32);
  mpfr_const_pi(pi, MPFR_RNDN);
  mpfr_mul_ui(r, r, 180, MPFR_RNDN);
  mpfr_div(r, r, pi, MPFR_RNDN);
  mpfr_clear(pi);
  return 0;
}

inline int mpfr_logb(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr b, mpfr_rnd_t) {
  mpfr_t lb;
  mpfr_init2(lb, mpfr_get_prec(r));
  mpfr_log(r, x, MPFR_RNDN);
  mpfr_log(lb, b, MPFR_RNDN);
  mpfr_div(r, r, lb, MPFR_RNDN);
  mpfr_clear(lb);
  return 0;
}

// x^(1/n) for an integer n ≠ 0 (odd roots of negatives).
inline int mpfr_nroot(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr n, mpfr_rnd_t) {
  const long k = mpfr_get_si(n, MPFR_RNDZ);
  mpfr_rootn_ui(r, x, (unsigned long)(k < 0 ? -k : k), MPFR_RNDN);
  if (k < 0) mpfr_ui_div(r, 1, r, MPFR_RNDN);
  return 0;
}

inline int mpfr_agm_signed(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr y, mpfr_rnd_t rnd) {
  if (mpfr_sgn(x) < 0) {
    mpfr_t a, b;
    mpfr_inits2(mpfr_get_prec(r), a, b, (mpfr_ptr)0);
    mpfr_neg(a, x, MPFR_RNDN);
    mpfr_neg(b, y, MPFR_RNDN);
    mpfr_agm(r, a, b, rnd);
    mpfr_neg(r, r, MPFR_RNDN);
    mpfr_clears(a, b, (mpfr_ptr)0);
    return 0;
  }
  return mpfr_agm(r, x, y, rnd);
}

// One function and the operands its random cases draw: decimal exponents [emin, emax],
// negative values when `negative`; binary functions draw y from [yemin, yemax] (or a small
// integer 2 .. 9 with `int_y`).
struct SpecialFn {
  const char *name;
  Unary unary;
  Binary binary;
  MpfrUnary mpfr_unary;
  MpfrBinary mpfr_binary;
  int emin, emax;
  bool negative;
  int yemin, yemax;
  bool int_y;
};

inline const SpecialFn SPECIAL_FNS[] = {
    {"gamma", exact_gamma, nullptr, mpfr_gamma, nullptr, -3, 2, true, 0, 0, false},
    {"lngamma", exact_lngamma, nullptr, mpfr_lngamma_abs, nullptr, -3, 3, true, 0, 0, false},
    {"zeta", exact_zeta, nullptr, mpfr_zeta, nullptr, -2, 2, true, 0, 0, false},
    {"erf", exact_erf, nullptr, mpfr_erf, nullptr, -4, 1, true, 0, 0, false},
    {"erfc", exact_erfc, nullptr, mpfr_erfc, nullptr, -4, 1, true, 0, 0, false},
    {"agm", nullptr, exact_agm, nullptr, mpfr_agm_signed, -5, 5, false, -5, 5, false},
    {"atan2", nullptr, exact_atan2, nullptr, mpfr_atan2_unit, -6, 6, true, -6, 6, false},
    {"logb", nullptr, exact_logb, nullptr, mpfr_logb, -9, 9, false, -3, 3, false},
    {"nroot", nullptr, exact_root, nullptr, mpfr_nroot, -20, 20, true, 0, 0, true},
};

inline const SpecialFn *special_fn(const std::string &name) {
  for (const SpecialFn &f : SPECIAL_FNS)
    if (name == f.name) return &f;
  return nullptr;
}

// f(x[, y]) truncated, from MPFR.
inline std::string special_oracle(const SpecialFn &f, DecWord *x, DecWord *y) {
  mpfr_t a, b, r;
  mpfr_inits2(oracle_bits(), a, b, r, (mpfr_ptr)0);
  mpfr_of(a, x);
  if (f.binary) {
    mpfr_of(b, y);
    f.mpfr_binary(r, a, b, MPFR_RNDZ);
  } else {
    f.mpfr_unary(r, a, MPFR_RNDZ);
  }
  std::string s = digits_of(r);
  mpfr_clears(a, b, r, (mpfr_ptr)0);
  return s;
}

inline std::string special_exact(const SpecialFn &f, DecWord *x, DecWord *y) {
  Num out;
  if (f.binary) f.binary(out, x, y);
  else f.unary(out, x);
  return digits_of(out);
}

// `count` random cases of every function at `digits`, half of them short operands (3 digits)
// and half full-length. A nroot of an even order takes |x|.
inline void check_special_random(int digits, int count, uint64_t seed) {
  wide_exponents();
  dec_set_precision(digits);
  std::mt19937_64 rng(seed);
  for (const SpecialFn &f : SPECIAL_FNS) {
    for (int i = 0; i < count; ++i) {
      const int len = i % 2 ? internal_digits - 1 : 3;
      Num x, y;
      random_number(x, rng, len, f.emin, f.emax, f.negative);
      if (f.int_y) {
        const int n = 2 + (int)(rng() % 8);
        dec_from_text(y, std::to_string(n).c_str());
        if (n % 2 == 0) x.w[0] &= ~1u;  // |x|
      } else if (f.binary) {
        random_number(y, rng, len, f.yemin, f.yemax, f.negative);
      }
      if (std::string(f.name) == "agm" && (dec_sign(x) != dec_sign(y))) y.w[0] ^= 1u;
      EXPECT_EQ(special_exact(f, x, y), special_oracle(f, x, y))
          << f.name << "(" << digits_of(x) << (f.binary ? ", " + digits_of(y) : std::string()) << ") at "
          << digits << " digits, seed " << seed;
    }
  }
}

}  // namespace exact_test
