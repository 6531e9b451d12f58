// Long sweeps of the elementary functions: accuracy against MPFR at 5,000 digits, the
// roots against GMP at 10,000 and 100,000 digits (at 100,000 the long working values fill
// their scratch slots exactly and run into the next ones), and the factorial's overflow.
#include "accuracy_cases.h"
#include "roots_oracle.h"

namespace {

using fntest::Num;
using fntest::Setting;

class AccuracySlow : public ::testing::TestWithParam<int> {};

TEST_P(AccuracySlow, ShownDigitsMatchMpfrAt5000) {
  static const std::vector<fntest::AccuracyCase> cases = fntest::all_accuracy_cases();
  std::vector<fntest::AccuracyCase> one{cases[(size_t)GetParam()]};
  fntest::run_cases(one, 5000, 3, fntest::test_seed(5000 + (uint64_t)GetParam()));
}

std::string case_name(const ::testing::TestParamInfo<int> &info) {
  static const std::vector<fntest::AccuracyCase> cases = fntest::all_accuracy_cases();
  std::string n = cases[(size_t)info.param].name;
  for (char &ch : n)
    if (ch == ' ') ch = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Functions, AccuracySlow,
                         ::testing::Range(0, (int)fntest::all_accuracy_cases().size()), case_name);

void check_roots(int digits, int rounds, uint64_t seed, int fast) {
  std::mt19937_64 rng(seed);
  Setting setting(digits);
  fast_kernels = fast;
  for (int round = 0; round < rounds; ++round) {
    Num x, got, expected;
    const int len = round == 0 ? internal_digits - 1 : testutil::random_length(rng);
    testutil::random_number(x, rng, len, (int32_t)(rng() % 2001) - 1000, (int)(rng() % 2));
    for (int degree = 2; degree <= 3; ++degree) {
      if (degree == 2) dec_set_head(x, dec_head(x) & ~1);
      // Stale contents in every slot, the following slots included.
      for (int slot = 0; slot < DEC_SCRATCH_SLOTS; ++slot)
        for (int i = 0; i < DEC_BUF_WORDS; ++i) ScratchNums[slot][i] = 0x3DEF7BDE;
      ASSERT_EQ(degree == 2 ? dec_sqrt(got, x) : dec_cbrt(got, x), 0);
      fntest::exact_root(expected, x, degree);
      ASSERT_TRUE(testutil::same_words(got, expected))
          << "digits " << digits << " degree " << degree << " round " << round << " seed " << seed
          << " fast_kernels " << fast;
    }
  }
}

TEST(RootsSlow, TruncatedRootsAt10000) {
  check_roots(10000, 3, fntest::test_seed(10000), 1);
  check_roots(10000, 2, fntest::test_seed(10001), 0);
}

// The digit-by-digit extraction at the largest precision, where R's and Y's extra words
// are the heads of the following slots.
TEST(RootsSlow, TruncatedRootsAt100000) {
  check_roots(100000, 1, fntest::test_seed(100000), 1);
  check_roots(100000, 1, fntest::test_seed(100001), 0);
}

// n! reaches 10^1,000,000,000 at n ≈ 1.1 × 10^8: the multiplication that leaves the range
// stops the loop with NUM_OVERFLOW.
TEST(FactorialSlow, Overflow) {
  Setting setting(12);
  Num out;
  EXPECT_EQ(dec_factorial(out, 200000000), -1);
  EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
}

}  // namespace
