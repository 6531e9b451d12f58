// The exact mode's basic operations against the GMP model at 10,000 and 100,000 digits.
#include "tests/exact/basic_model.h"

TEST(ExactBasicSlow, RandomOperandsAtTenAndHundredThousandDigits) {
  std::mt19937_64 rng(2026);
  for (int digits : {10000, 100000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    exact_test::check_random_operands(rng, digits == 10000 ? 6 : 2);
  }
}
