// The fast start of long division against the digit-by-digit kernel: identical quotient
// words for random operands of every length, and for the shapes that defeat a proposal
// (a run of nines in the true quotient, exact quotients, a dividend just below a multiple).
#include <gtest/gtest.h>

#include <random>

#include "core_test_util.h"

using testutil::Num;

namespace {

void quotient_both_ways(DecWord *a, DecWord *b, const std::string &what) {
  Num fast, reference;
  fast_kernels = 1;
  dec_div(fast, a, b);
  fast_kernels = 0;
  dec_div(reference, a, b);
  fast_kernels = 1;
  ASSERT_TRUE(testutil::same_words(fast, reference))
      << what << "\n fast " << testutil::bare(fast) << "\n ref  " << testutil::bare(reference);
}

}  // namespace

TEST(DivFast, RandomOperandsAtManyPrecisions) {
  std::mt19937_64 rng(2718);
  for (int digits : {100, 380, 400, 500, 1000, 2500, 5000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int trials = digits <= 500 ? 300 : digits <= 1000 ? 60 : 6;
    for (int t = 0; t < trials; ++t) {
      Num a, b;
      testutil::random_number(a, rng, testutil::random_length(rng), (int32_t)(rng() % 9) - 4, (int)(rng() & 1));
      testutil::random_number(b, rng, internal_digits - 1 - (int)(rng() % 30), (int32_t)(rng() % 9) - 4, (int)(rng() & 1));
      quotient_both_ways(a, b, "digits " + std::to_string(digits) + " trial " + std::to_string(t));
    }
  }
}

TEST(DivFast, ShapesThatDefeatAProposal) {
  std::mt19937_64 rng(31415);
  for (int digits : {400, 1000, 3000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    for (int t = 0; t < 10; ++t) {
      Num b, a, q, one("1"), tiny, near;
      testutil::random_number(b, rng, internal_digits - 1, 0, 0);
      // a = b × q exactly representable quotients, and a a hair below or above it.
      testutil::random_number(q, rng, 1 + (int)(rng() % 40), 0, 0);
      dec_mul(a, b, q);
      quotient_both_ways(a, b, "product / factor");
      dec_from_text(tiny, ("1e-" + std::to_string(internal_digits - 2 - (int)(rng() % 8))).c_str());
      dec_sub(near, a, tiny);
      quotient_both_ways(near, b, "just below a multiple");
      dec_add(near, a, tiny);
      quotient_both_ways(near, b, "just above a multiple");
      quotient_both_ways(b, b, "x / x");
      // 1 / 0.99…9 and 0.99…9 / 1.00…01: quotients with long runs of nines or zeros.
      Num n9;
      dec_zero(n9);
      for (int k = 1; k < internal_digits; ++k) dec_put_digit(n9, k, 9);
      dec_set_head(n9, -2);
      quotient_both_ways(one, n9, "1 / .99…9");
      Num onep;
      dec_add(onep, one, tiny);
      quotient_both_ways(n9, onep, ".99…9 / 1.0…01");
      quotient_both_ways(onep, n9, "1.0…01 / .99…9");
    }
  }
}

// Divisors of up to 14 digits (the short start takes those ending by position 13; one
// more digit takes the loop alone): random dividends, exact multiples, dividends a unit
// of the last place off a multiple, and divisor shapes at the word boundaries.
TEST(DivFast, ShortDivisorsGiveTheLoopsDigits) {
  std::mt19937_64 rng(1618);
  for (int digits : {12, 13, 30, 100, 1000, 3000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int trials = digits <= 100 ? 800 : digits <= 1000 ? 100 : 15;
    const std::string at = "digits " + std::to_string(digits);
    for (int t = 0; t < trials; ++t) {
      Num a, b, q, prod, near, ulp;
      const int lb = 1 + (int)(rng() % 14);
      testutil::random_number(a, rng, testutil::random_length(rng), (int32_t)(rng() % 9) - 4, (int)(rng() & 1));
      testutil::random_number(b, rng, lb, (int32_t)(rng() % 9) - 4, (int)(rng() & 1));
      const std::string what = at + " trial " + std::to_string(t) + " b=" + testutil::bare(b);
      quotient_both_ways(a, b, what + " random");
      testutil::random_number(q, rng, 1 + (int)(rng() % (internal_digits - 1 - lb)), 0, 0);
      dec_mul(prod, b, q);
      quotient_both_ways(prod, b, what + " exact multiple");
      dec_zero(ulp);
      dec_put_digit(ulp, internal_digits - 1, 1);
      dec_set_head(ulp, dec_head(prod) & ~1);
      dec_sub(near, prod, ulp);
      quotient_both_ways(near, b, what + " a unit below a multiple");
      dec_add(near, prod, ulp);
      quotient_both_ways(near, b, what + " a unit above a multiple");
    }
    for (const char *b_text : {"1", "7", "999999", "1000001", "9999999999999", "99999999999999",
                               "1234567890123", "12345678901234", "3e-7", "-11"}) {
      Num b(b_text), one("1"), third, big;
      quotient_both_ways(one, b, at + " 1 / " + b_text);
      dec_div(third, one, Num("3"));
      quotient_both_ways(third, b, at + " 1/3 / " + b_text);
      testutil::random_number(big, rng, internal_digits - 1, 5, 0);
      quotient_both_ways(big, b, at + " full / " + b_text);
    }
  }
}
