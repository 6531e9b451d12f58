// The exact mode's basic operations against an exact GMP model: the result's digits are
// the exact value's, truncated after internal_digits − 1 significant digits.
#include "tests/exact/basic_model.h"

namespace {

using namespace exact_test;

TEST(ExactBasic, RandomOperandsAtRandomLengthsAndExponentGaps) {
  std::mt19937_64 rng(42);
  for (int digits : {12, 13, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    check_random_operands(rng, digits == 1000 ? 12 : 60);
  }
}

TEST(ExactBasic, AdversarialOperands) {
  static Num x, y;
  struct Case {
    std::string x, y;
  };
  // {D} stands for internal_digits − 1, the gap where an addend stops reaching the result.
  for (int digits : {12, 13, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int D = internal_digits - 1;
    const std::string nines(D, '9');
    const Case cases[] = {
        {"1e16", "0.500000000001"},  // the subtrahend's digits below the alignment count
        {"1", "1"},                  // total cancellation
        {"1", "1e-" + std::to_string(D + 1)},
        {"1", "1e-" + std::to_string(D + 2)},
        {"1", "1e-" + std::to_string(D + 3)},
        {"1", "-1e-" + std::to_string(D)},  // a borrow through every word
        {"1", "1e-999999999"},
        {"." + nines, "1e-" + std::to_string(D + 5)},
        {"9." + nines.substr(1) + "e999999999", "9e999999999"},  // overflow
        {"1e-999999999", "1e-999999999"},                                    // underflow
        {"-7", "2"}, {"7", "-2"}, {"-7.5", "-2"}, {"1e30", "7"}, {"1e999999999", "7"},
        {"123456789012345678", "3"}, {"4", "16"}, {"0", "5"}, {"5", "0"}, {"-0.027", "-8"},
    };
    for (const Case &c : cases) {
      dec_from_text(x, c.x.c_str());
      dec_from_text(y, c.y.c_str());
      for (const char *op = OPS; *op; ++op) check(*op, x, y, c.x.c_str());
      for (const char *op = OPS; *op; ++op) check(*op, y, x, c.y.c_str());
    }
  }
}

TEST(ExactBasic, SumsOfOperandsFarApart) {
  static Num x, y, out;
  for (int digits : {12, 13, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int D = internal_digits - 1;
    dec_from_text(x, "1");
    dec_from_text(y, "1e-999999999");
    exact_sub(out, x, y);
    EXPECT_EQ(digits_of(out), std::string(D, '9').append("e-1"));
    exact_add(out, x, y);
    EXPECT_EQ(digits_of(out), std::string(1, '1').append(D - 1, '0').append("e0"));
    exact_sub(out, y, x);
    EXPECT_EQ(digits_of(out), std::string(1, '-').append(D, '9').append("e-1"));
    dec_from_text(x, "2.5e999999999");
    exact_sub(out, x, y);
    EXPECT_EQ(digits_of(out), std::string("24").append(D - 2, '9').append("e999999999"));
  }
}

TEST(ExactBasic, MarkersPassOnAndOutputMayAliasAnOperand) {
  ASSERT_EQ(dec_set_precision(20), 0);
  static Num x, y, out;
  dec_from_text(x, "2");
  dec_set_marker(y, NUM_OVERFLOW);
  exact_add(out, x, y);
  EXPECT_EQ(digits_of(out), "OVERFLOW");
  dec_set_marker(x, NUM_ERROR);
  exact_mul(out, y, x);
  EXPECT_EQ(digits_of(out), "ERROR");
  dec_from_text(x, "2");
  exact_sqrt(x, x);
  dec_from_text(y, "2");
  EXPECT_EQ(digits_of(x), model('q', exact_of(y), exact_of(y)));
  exact_mul(x, x, x);  // √2 × √2 truncated: just below 2
  EXPECT_EQ(digits_of(x).substr(0, 5), "19999");
}

}  // namespace
