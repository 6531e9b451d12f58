// π and the trigonometric functions of the exact mode against MPFR (sin, …, and sinu(x, 360)
// for degrees), over their domains and at the hard points: the exact cases and hairs from
// them, arguments next to the zeros and poles in radians, tiny and huge arguments.
#include <gtest/gtest.h>

#include "core/text.h"
#include "exact/exact.h"
#include "exact/real.h"
#include "tests/exact/trig_oracle.h"

using namespace exact_test;

namespace {

TEST(ExactTrig, RandomArgumentsAgreeWithMpfr) {
  std::mt19937_64 rng(20261207);
  // 300 and 400 digits: on either side of the size from which the pieces of e^(ir) are
  // shared between two threads.
  for (int digits : {12, 13, 30, 100, 300, 400, 1000}) {
    dec_set_precision(digits);
    const int D = internal_digits - 1;
    const int samples = digits >= 300 ? 2 : 6;
    for (const TrigFn &f : TRIG_FNS)
      for (int mode : {0, 1})
        for (int i = 0; i < samples; ++i) {
          Num x, r;
          const bool inv = f.inverse;
          // Inverse sine and cosine: [−1, 1]; the others: magnitudes 10^−8 .. 10^12.
          if (inv && f.name[1] != 't')
            random_number(x, rng, D, -6, -1, true);
          else
            random_number(x, rng, D, -8, 12, true);
          const std::string want = trig_oracle(f, mode, x);
          exact_radian_mode = mode;
          f.exact(r, x);
          ASSERT_EQ(digits_of(r), want) << f.name << " mode " << mode << " digits " << digits
                                        << " x " << digits_of(x);
        }
  }
}

TEST(ExactTrig, ExactCasesHairsAndPoles) {
  struct Case {
    const char *fn;
    int mode;
    const char *x;
  };
  // The exact values of degrees and the inverse functions, and arguments a unit of the
  // last digit away (the "hair" is placed by the precision: 1e-H with H = D − 3).
  const Case cases[] = {
      {"sin", 0, "30"},     {"sin", 0, "150"},   {"sin", 0, "-30"},   {"sin", 0, "90"},
      {"sin", 0, "180"},    {"sin", 0, "-390"},  {"cos", 0, "60"},    {"cos", 0, "90"},
      {"cos", 0, "240"},    {"cos", 0, "-180"},  {"tan", 0, "45"},    {"tan", 0, "135"},
      {"tan", 0, "90"},     {"tan", 0, "-270"},  {"tan", 0, "180"},   {"asin", 0, ".5"},
      {"asin", 0, "-1"},    {"asin", 1, "1"},    {"acos", 0, ".5"},   {"acos", 0, "-.5"},
      {"acos", 0, "0"},     {"acos", 0, "-1"},   {"acos", 1, "-1"},   {"acos", 1, "1"},
      {"acos", 0, "1"},     {"atan", 0, "1"},    {"atan", 0, "-1"},   {"asin", 1, "0"},
      {"cos", 1, "0"},      {"sin", 0, "30+h"},  {"sin", 0, "30-h"},  {"cos", 0, "60+h"},
      {"tan", 0, "45-h"},   {"tan", 0, "90-h"},  {"tan", 0, "90+h"},  {"asin", 0, ".5+h"},
      {"acos", 0, "1-h"},   {"acos", 1, "1-h"},  {"acos", 0, "-1+h"}, {"asin", 1, "1-h"},
      {"atan", 0, "1+h"},   {"atan", 1, "1-h"},  {"cos", 0, "90-h"},  {"sin", 0, "180+h"},
      {"asin", 0, "2"},     {"acos", 1, "-1-h"}, {"atan", 0, "1e999999999"},
      {"atan", 1, "-1e999999999"},               {"atan", 0, "1e-30"},
      {"sin", 0, "1e50"},   {"cos", 0, "-3.6e400"},                   {"tan", 0, "1e60"},
      {"sin", 1, "1e50"},   {"cos", 1, "1e6"},   {"tan", 1, "-7e300"}, {"sin", 1, "1e-30"},
  };
  for (int digits : {12, 30, 100, 1000}) {
    dec_set_precision(digits);
    const int D = internal_digits - 1;
    for (const Case &c : cases) {
      Num x, r;
      set_argument(x, c.x, D - 3);
      const TrigFn &f = trig_fn(c.fn);
      const std::string want = trig_oracle(f, c.mode, x, 4 * oracle_bits());
      exact_radian_mode = c.mode;
      f.exact(r, x);
      ASSERT_EQ(digits_of(r), want) << c.fn << " mode " << c.mode << " x " << c.x << " digits "
                                    << digits;
    }
  }
}

TEST(ExactTrig, RadiansNextToZerosAndPoles) {
  // x = the decimal nearest (truncated and one unit above) k π/2: the result's relative
  // precision needs π to the digits of x plus those of the result.
  for (int digits : {12, 30, 100, 1000}) {
    dec_set_precision(digits);
    const int D = internal_digits - 1;
    for (const char *k : {"2", "1", "4", "3", "2e6", "2e20", "-1", "99"})
      for (int above : {0, 1})
        for (const char *fn : {"sin", "cos", "tan"}) {
          Num x, r;
          multiple_of_half_pi(x, k, D, above != 0);
          const TrigFn &f = trig_fn(fn);
          const std::string want = trig_oracle(f, 1, x, 4 * oracle_bits());
          exact_radian_mode = 1;
          f.exact(r, x);
          ASSERT_EQ(digits_of(r), want) << fn << " k " << k << " above " << above << " digits "
                                        << digits;
        }
  }
}

TEST(ExactTrig, TinyArgumentsTruncateBelowOrAboveTheArgument) {
  // sin x and atan x lie just below x, tan x and asin x just above, cos x just below 1.
  for (int digits : {12, 100}) {
    dec_set_precision(digits);
    const int D = internal_digits - 1;
    const std::string nines(D, '9'), one = "1" + std::string(D - 1, '0');
    for (const char *x : {"1e-50000", "1e-999999999", "-1e-999999999"}) {
      Num a, r;
      dec_from_text(a, x);
      const bool neg = x[0] == '-';
      const long e = std::stol(std::string(x).substr(neg ? 3 : 2));
      const std::string s = neg ? "-" : "";
      // 9…9 × 10^(e − 1) is below the exponent range for e = −999999999: zero.
      const std::string below = e - 1 < DEC_EXP_MIN ? "0" : s + nines + "e" + std::to_string(e - 1);
      const std::string above = s + one + "e" + std::to_string(e);
      exact_radian_mode = 1;
      for (auto [fn, want] : {std::pair{"sin", below}, {"atan", below}, {"tan", above},
                              {"asin", above}, {"cos", nines + "e-1"}}) {
        trig_fn(fn).exact(r, a);
        EXPECT_EQ(digits_of(r), want) << fn << " " << x << " digits " << digits;
      }
      // Degrees: sin x° = x π / 180 (1 − ε), below the exponent range for 1e-999999999.
      exact_radian_mode = 0;
      for (const char *fn : {"sin", "tan", "asin", "atan"}) {
        trig_fn(fn).exact(r, a);
        EXPECT_EQ(digits_of(r), trig_oracle(trig_fn(fn), 0, a)) << fn << " " << x;
      }
    }
  }
}

TEST(ExactTrig, HugeRadianArgumentsNeedPiUpToTheLimit) {
  dec_set_precision(100);
  Num x, r;
  exact_radian_mode = 1;
  dec_from_text(x, "1e6");
  exact_sin(r, x);
  EXPECT_EQ(digits_of(r), trig_oracle(trig_fn("sin"), 1, x));
  for (const char *big : {"1e1200000", "-3e999999999"}) {
    dec_from_text(x, big);
    exact_tan(r, x);
    EXPECT_EQ(digits_of(r), "ERROR") << big;
    EXPECT_STREQ(exact::exact_message(), "Exact digits: argument too large for radians");
  }
  // Degrees reduce exactly at any size.
  exact_radian_mode = 0;
  dec_from_text(x, "1e999999999");
  exact_sin(r, x);
  EXPECT_EQ(digits_of(r), sin_degrees_of_power_of_ten(999999999));
  EXPECT_STREQ(exact::exact_message(), "");
}

TEST(ExactTrig, PiAndMarkers) {
  for (int digits : {12, 13, 100, 1000, 10000}) {
    dec_set_precision(digits);
    Num r;
    exact_pi(r);
    EXPECT_EQ(digits_of(r), pi_oracle()) << digits;
  }
  dec_set_precision(30);
  Num x, r;
  for (int32_t m : {NUM_ERROR, NUM_OVERFLOW}) {
    dec_set_marker(x, m);
    for (const TrigFn &f : TRIG_FNS) {
      f.exact(r, x);
      EXPECT_EQ(dec_head(r), m) << f.name;
    }
  }
}

}  // namespace
