// The fast product against the shift-and-add kernel: identical words for random operands
// of all lengths and alignments, and for the adversarial shapes (all nines, long carry
// chains, one operand short), with and without compact_memory.
#include <gtest/gtest.h>

#include <random>

#include "core_test_util.h"

using testutil::Num;

namespace {

void product_both_ways(DecWord *a, DecWord *b, const std::string &what) {
  Num fast, reference;
  fast_kernels = 1;
  dec_mul(fast, a, b);
  fast_kernels = 0;
  dec_mul(reference, a, b);
  fast_kernels = 1;
  ASSERT_TRUE(testutil::same_words(fast, reference))
      << what << "\n fast " << testutil::words_hex(fast, word_count) << "\n ref  "
      << testutil::words_hex(reference, word_count);
}

void nines(DecWord *p, int count, int32_t exponent) {
  dec_zero(p);
  for (int k = 1; k <= count; ++k) dec_put_digit(p, k, 9);
  dec_set_head(p, exponent * 2);
}

}  // namespace

TEST(MulFast, RandomOperandsAtManyPrecisions) {
  std::mt19937_64 rng(777);
  for (int digits : {12, 13, 30, 37, 61, 100, 150, 333, 1000, 2000, 5000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int trials = digits <= 100 ? 4000 : digits <= 1000 ? 300 : 20;
    for (int t = 0; t < trials; ++t) {
      Num a, b;
      testutil::random_number(a, rng, testutil::random_length(rng), (int32_t)(rng() % 9) - 4, (int)(rng() & 1));
      testutil::random_number(b, rng, testutil::random_length(rng), (int32_t)(rng() % 9) - 4, (int)(rng() & 1));
      product_both_ways(a, b, "digits " + std::to_string(digits) + " trial " + std::to_string(t) +
                                  " a=" + testutil::bare(a) + " b=" + testutil::bare(b));
    }
  }
}

TEST(MulFast, AdversarialShapes) {
  for (int digits : {12, 100, 1000, 10000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int P = internal_digits - 1;
    Num n9, one9, chain, shortop;
    nines(n9, P, 0);
    nines(one9, P, 3);
    product_both_ways(n9, n9, "nines squared at " + std::to_string(digits));
    product_both_ways(n9, one9, "nines times nines at " + std::to_string(digits));
    // 1.000…0001 style carry chains and a short operand of every length 1 .. 40 digits.
    dec_zero(chain);
    dec_put_digit(chain, 1, 1);
    dec_put_digit(chain, P, 1);
    dec_set_head(chain, 0);
    product_both_ways(chain, n9, "chain at " + std::to_string(digits));
    for (int len = 1; len <= 40 && len <= P; ++len) {
      nines(shortop, len, 1);
      product_both_ways(n9, shortop, "short nines " + std::to_string(len));
      product_both_ways(chain, shortop, "short chain " + std::to_string(len));
    }
  }
}

TEST(MulFast, CompactMemoryAndAliasing) {
  ASSERT_EQ(dec_set_precision(3000), 0);
  std::mt19937_64 rng(4242);
  Num a, b;
  testutil::random_number(a, rng, internal_digits - 1, 2, 0);
  testutil::random_number(b, rng, internal_digits - 1, -3, 1);
  Num ref, got;
  fast_kernels = 0;
  dec_mul(ref, a, b);
  fast_kernels = 1;
  compact_memory = 1;
  dec_mul(got, a, b);
  compact_memory = 0;
  EXPECT_TRUE(testutil::same_words(ref, got));
  Num sq_ref(a), sq(a);
  fast_kernels = 0;
  dec_mul(sq_ref, sq_ref, sq_ref);
  fast_kernels = 1;
  dec_mul(sq, sq, sq);
  EXPECT_TRUE(testutil::same_words(sq_ref, sq));
}
