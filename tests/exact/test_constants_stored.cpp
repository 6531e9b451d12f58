// The exact mode's constants from the stored digits agree with the ones it computes.
#include <gtest/gtest.h>

#include "exact/constants.h"
#include "exact/exact.h"
#include "functions/functions.h"
#include "tests/exact/nat_oracle.h"

using namespace exact;

namespace exact_test_words {
struct Buf {
  DecWord w[DEC_BUF_WORDS];
};
}  // namespace exact_test_words

TEST(ExactConstants, StoredDigitsGiveTheComputedFloors) {
  for (int p : {1, 17, 300, 2000}) {
    arena_reset();
    exact_use_stored_constants(nullptr, nullptr, nullptr, 0);
    const mpz_class pi = exact_test::to_mpz(const_pi(p).m), ln10 = exact_test::to_mpz(const_ln10(p).m);
    exact_use_stored_constants(PiDigits, EDigits, Ln10Digits, CONST_TABLE_DIGITS);
    Int stored;
    ASSERT_TRUE(stored_constant(STORED_PI, p, &stored));
    EXPECT_EQ(exact_test::to_mpz(stored.m), pi) << p;
    ASSERT_TRUE(stored_constant(STORED_LN10, p, &stored));
    EXPECT_EQ(exact_test::to_mpz(stored.m), ln10) << p;
    ASSERT_TRUE(stored_constant(STORED_E, p, &stored));
  }
  // e and π through the commands, from the stored digits and computed.
  static exact_test_words::Buf a, b;
  for (int digits : {12, 1000, 10000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    for (int (*constant)(DecWord *) : {exact_e, exact_pi}) {
      exact_use_stored_constants(PiDigits, EDigits, Ln10Digits, CONST_TABLE_DIGITS);
      constant(a.w);
      exact_use_stored_constants(nullptr, nullptr, nullptr, 0);
      constant(b.w);
      for (int i = 0; i <= word_count; ++i) ASSERT_EQ(a.w[i], b.w[i]) << digits << " word " << i;
    }
  }
  // Beyond the stored digits the constants are computed.
  exact_use_stored_constants(PiDigits, EDigits, Ln10Digits, CONST_TABLE_DIGITS);
  Int none;
  EXPECT_FALSE(stored_constant(STORED_PI, 16700, &none));
  EXPECT_TRUE(stored_constant(STORED_PI, 16699, &none));
  exact_use_stored_constants(nullptr, nullptr, nullptr, 0);
  arena_reset();
}
