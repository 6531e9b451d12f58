// The long samples of π and the exact-mode trigonometric functions against MPFR: random
// arguments at 10,000 and 100,000 digits, the hard radian arguments at 10,000 digits, and
// π to the radian-reduction limit (PI_MAX_DIGITS).
#include <gtest/gtest.h>

#include <cstdio>

#include "exact/constants.h"
#include "exact/exact.h"
#include "tests/exact/trig_oracle.h"

using namespace exact_test;

namespace {

TEST(ExactTrigSlow, RandomArgumentsAtTenAndHundredThousandDigits) {
  std::mt19937_64 rng(77);
  for (int digits : {10000, 100000}) {
    dec_set_precision(digits);
    const int D = internal_digits - 1;
    for (const TrigFn &f : TRIG_FNS)
      for (int mode : {0, 1}) {
        if (digits == 100000 && mode != (f.inverse ? 0 : 1)) continue;
        Num x, r;
        if (f.inverse && f.name[1] != 't')
          random_number(x, rng, D, -3, -1, true);
        else
          random_number(x, rng, D, -2, 5, true);
        const std::string want = trig_oracle(f, mode, x);
        exact_radian_mode = mode;
        f.exact(r, x);
        ASSERT_EQ(digits_of(r), want) << f.name << " mode " << mode << " digits " << digits;
      }
  }
}

TEST(ExactTrigSlow, HardRadianArgumentsAtTenThousandDigits) {
  dec_set_precision(10000);
  const int D = internal_digits - 1;
  exact_radian_mode = 1;
  for (const char *k : {"2", "1", "2e6"})
    for (const char *fn : {"sin", "cos", "tan"}) {
      Num x, r;
      multiple_of_half_pi(x, k, D, false);
      const TrigFn &f = trig_fn(fn);
      f.exact(r, x);
      ASSERT_EQ(digits_of(r), trig_oracle(f, 1, x, 3 * oracle_bits())) << fn << " k " << k;
    }
  Num x, r;
  dec_from_text(x, "1e50");
  exact_sin(r, x);
  EXPECT_EQ(digits_of(r), trig_oracle(trig_fn("sin"), 1, x));
}

TEST(ExactTrigSlow, PiToTheReductionLimit) {
  const int p = (int)(exact::PI_MAX_DIGITS / exact::BASE_DIGITS);
  exact::arena_reset();
  exact::Int v = exact::const_pi(p);
  // floor(π 10^(6p)) as digits: "3" and then 6p decimals.
  std::string got = std::to_string(v.m.d[v.m.n - 1]);
  char limb[8];
  for (int i = v.m.n - 2; i >= 0; --i) {
    std::snprintf(limb, sizeof limb, "%06u", v.m.d[i]);
    got += limb;
  }
  exact::arena_reset();
  mpfr_t pi;
  mpfr_init2(pi, (mpfr_prec_t)(6.0 * p * 3.3219280948873623) + 256);
  mpfr_const_pi(pi, MPFR_RNDZ);
  mpfr_exp_t e;
  char *s = mpfr_get_str(nullptr, &e, 10, got.size(), pi, MPFR_RNDZ);
  EXPECT_EQ(e, 1);
  EXPECT_TRUE(got == s) << "first difference at " << std::mismatch(got.begin(), got.end(), s).first - got.begin();
  mpfr_free_str(s);
  mpfr_clear(pi);
  mpfr_free_cache();
}

}  // namespace
