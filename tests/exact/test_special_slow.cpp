// The slow sample of the exact mode's further constants and special functions: random
// operands at 1,000 digits, and at 10,000 digits the constants, the functions MPFR computes
// quickly, and Γ and ln Γ at half-integers against √π.
#include <string>

#include "tests/exact/special_cases.h"

using namespace exact_test;

namespace {

TEST(ExactSpecialSlow, RandomArgumentsAt1000Digits) {
  exact_radian_mode = 0;
  check_special_random(1000, 2, 21);
}

// ζ at a non-integer s with its prime powers by exponentials and logarithms, at 3,000 digits
// (MPFR's ζ takes about a minute at the oracle's precision).
TEST(ExactSpecialSlow, ZetaAt3000Digits) {
  wide_exponents();
  dec_set_precision(3000);
  Num x, y;
  dec_from_text(x, "2.5");
  EXPECT_EQ(special_exact(*special_fn("zeta"), x, y), special_oracle(*special_fn("zeta"), x, y));
}

TEST(ExactSpecialSlow, SampleAt10000Digits) {
  wide_exponents();
  dec_set_precision(10000);
  exact_radian_mode = 0;
  mpfr_t v, a;
  mpfr_inits2(oracle_bits(), v, a, (mpfr_ptr)0);
  Num out, x, y;
  // Constants.
  exact_euler(out);
  mpfr_const_euler(v, MPFR_RNDZ);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "euler";
  exact_catalan(out);
  mpfr_const_catalan(v, MPFR_RNDZ);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "catalan";
  exact_zeta3(out);
  mpfr_zeta_ui(v, 3, MPFR_RNDZ);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "zeta3";
  // Γ(1/2) = √π, Γ(7/2) = 15 √π / 8, ln Γ(1/2) = ln √π (the series at a short argument).
  mpfr_const_pi(a, MPFR_RNDN);
  mpfr_sqrt(a, a, MPFR_RNDN);
  dec_from_text(x, "0.5");
  exact_gamma(out, x);
  mpfr_set(v, a, MPFR_RNDZ);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "gamma(0.5)";
  dec_from_text(x, "3.5");
  exact_gamma(out, x);
  mpfr_mul_ui(v, a, 15, MPFR_RNDN);
  mpfr_div_ui(v, v, 8, MPFR_RNDN);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "gamma(3.5)";
  dec_from_text(x, "0.5");
  exact_lngamma(out, x);
  mpfr_log(v, a, MPFR_RNDN);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "lngamma(0.5)";
  // ζ at an odd integer (the exact terms) against MPFR's ζ at integers.
  dec_from_text(x, "7");
  exact_zeta(out, x);
  mpfr_zeta_ui(v, 7, MPFR_RNDZ);
  EXPECT_EQ(digits_of(out), digits_of(v)) << "zeta(7)";
  // The functions MPFR computes quickly, at short and full-length operands.
  std::mt19937_64 rng(22);
  for (const char *name : {"erf", "erfc", "agm", "atan2", "logb", "nroot"}) {
    const SpecialFn &f = *special_fn(name);
    for (int len : {3, internal_digits - 1}) {
      random_number(x, rng, len, 0, 0, false);
      if (f.int_y) dec_from_text(y, "5");
      else random_number(y, rng, len, 0, 1, false);
      EXPECT_EQ(special_exact(f, x, y), special_oracle(f, x, y)) << name << " at 10,000 digits";
    }
  }
  mpfr_clears(v, a, (mpfr_ptr)0);
}

}  // namespace
