// Addition, subtraction and multiplication: edge cases, aliasing, and differential tests
// against the exact GMP models of the truncating kernels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "differential.h"

using testutil::bare;
using testutil::Num;
using testutil::show;

namespace {

// A number with a nine in every position 1 .. count.
void nines(DecWord *p, int count, int32_t exponent) {
  dec_zero(p);
  for (int k = 1; k <= count; ++k) dec_put_digit(p, k, 9);
  dec_set_head(p, exponent * 2);
}

// 10^exponent.
void power_of_ten(DecWord *p, int32_t exponent) {
  dec_zero(p);
  dec_put_digit(p, 1, 1);
  dec_set_head(p, exponent * 2);
}

}  // namespace

TEST(AddSub, EdgeCases) {
  dec_set_precision(100);
  const int P = internal_digits - 1;
  Num x("123.456"), nx("-123.456"), r, zero;
  EXPECT_EQ(dec_add(r, x, nx), 0);
  EXPECT_EQ(dec_head(r), 0);
  EXPECT_EQ(r.p()[1], 0u);
  EXPECT_EQ(dec_sub(r, x, x), 0);
  EXPECT_EQ(dec_head(r), 0);
  EXPECT_EQ(dec_sub(r, zero, zero), 0);
  EXPECT_EQ(dec_head(r), 0);

  Num one("1"), tiny, result;
  power_of_ten(tiny, -P);
  dec_add(result, one, tiny);
  EXPECT_TRUE(testutil::same_words(result, one));  // beyond the last position
  power_of_ten(tiny, -(P - 1));
  dec_add(result, one, tiny);
  EXPECT_EQ(dec_digit_at(result, P), 1);

  Num n9;
  nines(n9, P, 0);
  dec_add(result, n9, tiny);  // the carry runs through every word into position 0
  EXPECT_EQ(show(result), "10");
  EXPECT_EQ(dec_exponent(result), 1);
  EXPECT_EQ(dec_check_valid(result), 0);

  EXPECT_EQ(show((dec_sub(result, one, Num("0.001")), result)), ".999");
  EXPECT_EQ(dec_exponent(result), -1);
  Num onep(one);
  dec_add(onep, one, tiny);  // 1.000…1
  dec_sub(result, onep, one);
  EXPECT_EQ(dec_exponent(result), -(P - 1));
  EXPECT_EQ(dec_digit_at(result, 1), 1);

  Num big("9e999999999");
  EXPECT_EQ(dec_add(result, big, big), -1);
  EXPECT_EQ(dec_head(result), NUM_OVERFLOW);

  // x ± 0 and 0 ± x keep a tiny x: zero is not "much larger" than it.
  Num small("1e-500");
  dec_add(result, small, zero);
  EXPECT_EQ(show(result), "1e-500");
  dec_sub(result, small, zero);
  EXPECT_EQ(show(result), "1e-500");
  dec_add(result, zero, small);
  EXPECT_EQ(show(result), "1e-500");
  dec_sub(result, zero, small);
  EXPECT_EQ(show(result), "-1e-500");

  Num d("2.5");
  dec_add(d, d, d);
  EXPECT_EQ(show(d), "5");
  dec_sub(d, d, d);
  EXPECT_EQ(dec_head(d), 0);
}

TEST(AddSub, MarkersAndNulls) {
  dec_set_precision(12);
  Num ok("1"), err, ovf, out;
  dec_set_head(err, NUM_ERROR);
  dec_set_head(ovf, NUM_OVERFLOW);
  for (auto op : {dec_add, dec_sub, dec_mul}) {
    EXPECT_EQ(op(nullptr, ok, ok), -1);
    EXPECT_EQ(op(out, nullptr, ok), -1);
    EXPECT_EQ(dec_head(out), NUM_ERROR);
    EXPECT_EQ(op(out, err, ovf), -1);
    EXPECT_EQ(dec_head(out), NUM_ERROR);  // the error marker takes precedence
    EXPECT_EQ(op(out, ovf, ok), -1);
    EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
  }
  Num zero;
  EXPECT_EQ(dec_mul(out, zero, ovf), -1);
  EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
  EXPECT_EQ(dec_mul(out, zero, err), -1);
  EXPECT_EQ(dec_head(out), NUM_ERROR);
}

TEST(Mul, EdgeCases) {
  dec_set_precision(12);
  Num a("12345"), b("3"), r;
  dec_mul(r, a, b);
  EXPECT_EQ(show(r), "37035");
  EXPECT_EQ(dec_head(r), 8);
  Num five("5"), two("2");
  dec_mul(r, five, two);
  EXPECT_EQ(show(r), "10");
  EXPECT_EQ(dec_exponent(r), 1);
  Num n9, sq;
  nines(n9, internal_digits - 1, 0);
  dec_mul(sq, n9, n9);
  // Just under 100, the truncated tails of the multiples showing in the last digits.
  EXPECT_EQ(dec_exponent(sq), 1);
  EXPECT_EQ(bare(sq).substr(0, 15), "99.999999999999");
  differential::expect_model(sq, model::mul(n9, n9), "nines squared");

  Num e1("1e999999999"), ten("10");
  EXPECT_EQ(dec_mul(r, e1, ten), -1);
  EXPECT_EQ(dec_head(r), NUM_OVERFLOW);
  Num m1("1e-500000000");
  EXPECT_EQ(dec_mul(r, m1, m1), 0);
  EXPECT_EQ(dec_head(r), 0);
  Num m5("5e-500000000"), m2("2e-500000000");
  EXPECT_EQ(dec_mul(r, m5, m2), 0);
  EXPECT_EQ(show(r), "1e-999999999");

  Num x("1.5");
  dec_mul(x, x, x);
  EXPECT_EQ(show(x), "2.25");
  Num p("3"), q("7");
  dec_mul(p, p, q);
  EXPECT_EQ(show(p), "21");
  EXPECT_EQ(show(q), "7");
  Num s("3"), t("7");
  dec_mul(t, s, t);
  EXPECT_EQ(show(t), "21");
  EXPECT_EQ(show(s), "3");
}

TEST(Differential, AddSubMulAt12And13Digits) {
  differential::add_sub_mul(12, 3000, differential::test_seed());
  differential::add_sub_mul(13, 3000, differential::test_seed() + 1);
}

TEST(Differential, AddSubMulAt100Digits) { differential::add_sub_mul(100, 1500, differential::test_seed() + 2); }

TEST(Differential, AddSubMulAt1000Digits) { differential::add_sub_mul(1000, 60, differential::test_seed() + 3); }

TEST(Mul, AlternativeAccumulationStaysClose) {
  // The comparison mode renormalises at every multiplier digit; it may differ from the
  // normal product only in the last few positions.
  dec_set_precision(100);
  std::mt19937_64 rng(99);
  for (int t = 0; t < 200; ++t) {
    Num a, b, normal, alt, diff;
    testutil::random_number(a, rng, testutil::random_length(rng), 3, 0);
    testutil::random_number(b, rng, testutil::random_length(rng), -2, 1);
    dec_mul(normal, a, b);
    hipr_mode = 1;
    dec_mul(alt, a, b);
    hipr_mode = 0;
    ASSERT_EQ(dec_check_valid(alt), 0);
    dec_sub(diff, normal, alt);
    if (!dec_is_zero(diff)) {
      EXPECT_LT(dec_exponent(diff), dec_exponent(normal) - (internal_digits - 6)) << t;
    }
  }
}
