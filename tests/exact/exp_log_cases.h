// The exp/ln/hyperbolic family against MPFR: the function table and the random check shared
// by the unit tests and the slow sample.
#pragma once

#include <gtest/gtest.h>
#include <gmpxx.h>
#include <mpfr.h>

#include <random>
#include <string>

#include "core/text.h"
#include "exact/exact.h"
#include "tests/exact/mpfr_oracle.h"

namespace exact_test {

using Unary = int (*)(DecWord *, const DecWord *);
using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// One function and the argument range its random cases cover: decimal exponents
// [emin, emax], negative arguments when `signed_args`.
struct UnaryFn {
  const char *name;
  Unary exact;
  MpfrUnary oracle;
  int emin, emax;
  bool signed_args;
};

inline const UnaryFn UNARY_FNS[] = {
    {"exp", exact_exp, mpfr_exp, -30, 10, true},
    {"exp10", exact_exp10, mpfr_exp10, -30, 10, true},
    {"ln", exact_ln, mpfr_log, -999999000, 999999000, false},
    {"ln_mid", exact_ln, mpfr_log, -3, 3, false},
    {"log10", exact_log10, mpfr_log10, -999999000, 999999000, false},
    {"log10_mid", exact_log10, mpfr_log10, -3, 3, false},
    {"sinh", exact_sinh, mpfr_sinh, -30, 10, true},
    {"cosh", exact_cosh, mpfr_cosh, -30, 10, true},
    {"tanh", exact_tanh, mpfr_tanh, -30, 4, true},
    {"asinh", exact_asinh, mpfr_asinh, -30, 999999000, true},
    {"acosh", exact_acosh, mpfr_acosh, 0, 999999000, false},
    {"atanh", exact_atanh, mpfr_atanh, -30, -1, true},
};

inline void wide_exponents() {
  mpfr_set_emax(mpfr_get_emax_max());
  mpfr_set_emin(mpfr_get_emin_min());
}

// The truncated true value of f(x) from MPFR rounded toward zero at oracle_bits().
inline std::string oracle_unary(MpfrUnary f, DecWord *x) {
  mpfr_t a, r;
  mpfr_inits2(oracle_bits(), a, r, (mpfr_ptr)0);
  mpfr_of(a, x);
  f(r, a, MPFR_RNDZ);
  std::string s = digits_of(r);
  mpfr_clears(a, r, (mpfr_ptr)0);
  return s;
}

inline std::string oracle_pow(DecWord *x, DecWord *y) {
  mpfr_t a, b, r;
  mpfr_inits2(oracle_bits(), a, b, r, (mpfr_ptr)0);
  mpfr_of(a, x);
  mpfr_of(b, y);
  mpfr_pow(r, a, b, MPFR_RNDZ);
  std::string s = digits_of(r);
  mpfr_clears(a, b, r, (mpfr_ptr)0);
  return s;
}

// x ^ n for an integer n, exactly with GMP (an MPFR operand is x rounded to binary, which
// would misplace results that lie on a truncation boundary, like x ^ 1).
inline std::string oracle_pow_int(DecWord *x, long n) {
  if (dec_is_zero(x)) return n > 0 ? "0" : n == 0 ? "1" : "ERROR";
  const std::string s = digits_of(x);
  const bool neg = s[0] == '-' && n % 2 != 0;
  const size_t epos = s.find('e');
  const std::string digits = s.substr(s[0] == '-' ? 1 : 0, epos - (s[0] == '-' ? 1 : 0));
  const long D = (long)digits.size(), f = std::stol(s.substr(epos + 1)) - (D - 1);  // x = X 10^f
  mpz_class N;
  mpz_pow_ui(N.get_mpz_t(), mpz_class(digits).get_mpz_t(), (unsigned long)std::labs(n));
  long exponent;
  std::string r;
  if (n >= 0) {
    r = N.get_str();
    exponent = (long)r.size() - 1 + f * n;
  } else {
    const long sh = D + 2 + (long)N.get_str().size();
    mpz_class ten, Q;
    mpz_ui_pow_ui(ten.get_mpz_t(), 10, (unsigned long)sh);
    Q = ten / N;
    r = Q.get_str();
    exponent = (long)r.size() - 1 + f * n - sh;
  }
  if (exponent > DEC_EXP_MAX) return "OVERFLOW";
  if (exponent < DEC_EXP_MIN) return "0";
  r.resize((size_t)D, '0');
  std::string text = neg ? "-" : "";
  text.append(r).append("e").append(std::to_string(exponent));
  return text;
}

// `count` random full-length arguments of every function, and as many x ^ y cases
// (x > 0 over [10^−20, 10^20], y over [−10^3, 10^3]; x < 0 with integer y).
inline void check_random(int digits, int count, uint64_t seed) {
  wide_exponents();
  dec_set_precision(digits);
  std::mt19937_64 rng(seed);
  Num x, y, out;
  for (const UnaryFn &fn : UNARY_FNS)
    for (int i = 0; i < count; ++i) {
      random_number(x, rng, internal_digits - 1, fn.emin, fn.emax, fn.signed_args);
      fn.exact(out, x);
      ASSERT_EQ(digits_of(out), oracle_unary(fn.oracle, x))
          << fn.name << " at " << digits << " digits of " << digits_of(x);
    }
  for (int i = 0; i < count; ++i) {
    random_number(x, rng, internal_digits - 1, -20, 20, false);
    random_number(y, rng, internal_digits - 1, -6, 3, true);
    long n = 0;
    const bool integer = i % 4 == 3;
    if (integer) {  // x of either sign with a short integer y
      random_number(x, rng, internal_digits - 1, -3, 3, true);
      n = (long)(rng() % 41) - 20;
      dec_from_text(y, std::to_string(n).c_str());
    }
    exact_pow(out, x, y);
    ASSERT_EQ(digits_of(out), integer ? oracle_pow_int(x, n) : oracle_pow(x, y))
        << "pow at " << digits << " digits of " << digits_of(x) << " ^ " << digits_of(y);
  }
}

}  // namespace exact_test
