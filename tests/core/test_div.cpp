// Division and integer division: edge cases, exact-prefix agreement with the true quotient
// (GMP), the table against compact_memory, and the divmod identity.
#include <gtest/gtest.h>
#include <gmpxx.h>

#include <random>

#include "differential.h"

using testutil::bare;
using testutil::Num;
using testutil::show;

TEST(Div, EdgeCases) {
  dec_set_precision(12);
  Num one("1"), three("3"), r;
  dec_div(r, one, three);
  EXPECT_EQ(bare(r), ".33333333333333333");  // 17 threes, truncated
  Num six("6");
  dec_div(r, six, three);
  EXPECT_EQ(bare(r), "2");
  Num four("4");
  dec_div(r, one, four);
  EXPECT_EQ(bare(r), ".25");
  Num eight("8"), rc;
  dec_div(r, one, eight);
  compact_memory = 1;
  dec_div(rc, one, eight);
  compact_memory = 0;
  EXPECT_TRUE(testutil::same_words(r, rc));
  EXPECT_EQ(bare(rc), ".125");

  Num x("7.25");
  dec_div(x, x, x);
  EXPECT_EQ(bare(x), "1");
  Num a("10"), b("4");
  dec_div(b, a, b);  // out is the divisor: a scratch copy divides
  EXPECT_EQ(bare(b), "2.5");

  Num big("1e999999999"), tenth("0.1"), small("1e-999999999"), ten("10");
  EXPECT_EQ(dec_div(r, big, tenth), -1);
  EXPECT_EQ(dec_head(r), NUM_OVERFLOW);
  EXPECT_EQ(dec_div(r, small, ten), 0);
  EXPECT_EQ(dec_head(r), 0);
  Num zero;
  EXPECT_EQ(dec_div(r, one, zero), -1);
  EXPECT_EQ(dec_head(r), NUM_ERROR);
  EXPECT_EQ(dec_div(r, zero, zero), 0);
  EXPECT_EQ(dec_head(r), 0);
}

TEST(DivMod, SignsExactStopsAndFailures) {
  dec_set_precision(12);
  struct Row { const char *a, *b, *q, *r; } rows[] = {
      {"17", "5", "3", "2"},   {"-17", "5", "-3", "-2"}, {"17", "-5", "-3", "2"},
      {"3", "5", "0", "3"},    {"15", "5", "3", "0"},    {"7.5", "2", "3", "1.5"},
      {"270", "181", "1", "89"}, {"-270", "181", "-1", "-89"}, {"181", "270", "0", "181"},
      {"123456789", "1000", "123456", "789"}};
  for (auto row : rows) {
    Num a(row.a), b(row.b), q, r;
    EXPECT_EQ(dec_divmod(q, r, a, b), 0) << row.a << " / " << row.b;
    EXPECT_EQ(show(q), row.q) << row.a << " / " << row.b;
    EXPECT_EQ(show(r), row.r) << row.a << " / " << row.b;
    EXPECT_EQ(dec_check_valid(q), 0);
    EXPECT_EQ(dec_check_valid(r), 0);
    // In place: the quotient over a, the remainder over b, and the reverse.
    Num a2(a), b2(b);
    dec_divmod(a2, b2, a2, b2);
    EXPECT_EQ(show(a2), row.q);
    EXPECT_EQ(show(b2), row.r);
    Num a3(a), b3(b);
    dec_divmod(b3, a3, a3, b3);
    EXPECT_EQ(show(b3), row.q);
    EXPECT_EQ(show(a3), row.r);
  }
  Num a("5"), b("0"), q, r;
  EXPECT_EQ(dec_divmod(q, r, a, b), -1);
  EXPECT_EQ(dec_head(q), NUM_ERROR);
  EXPECT_EQ(dec_head(r), NUM_ERROR);
  EXPECT_EQ(dec_divmod(q, q, a, a), -1);
  EXPECT_EQ(dec_divmod(nullptr, r, a, a), -1);
  Num zero;
  EXPECT_EQ(dec_divmod(q, r, zero, a), 0);
  EXPECT_EQ(dec_head(q), 0);
  EXPECT_EQ(dec_head(r), 0);
}

TEST(DivMod, QuotientBeyondThePrecisionIsOverflow) {
  dec_set_precision(12);  // 17 digit positions
  const int P = internal_digits - 1;
  Num one("1"), q, r;
  Num fits, too_big;
  dec_from_text(fits, ("1e" + std::to_string(P - 1)).c_str());     // P-digit quotient
  dec_from_text(too_big, ("1e" + std::to_string(P)).c_str());      // P + 1 digits
  EXPECT_EQ(dec_divmod(q, r, fits, one), 0);
  EXPECT_EQ(dec_exponent(q), P - 1);
  EXPECT_EQ(dec_head(r), 0);
  EXPECT_EQ(dec_divmod(q, r, too_big, one), -1);
  EXPECT_EQ(dec_head(q), NUM_OVERFLOW);
  EXPECT_EQ(dec_head(r), NUM_OVERFLOW);
  // The divisor's digits exceeding the dividend's needs one digit less: still fits.
  Num nine_p, two("2");
  dec_from_text(nine_p, ("1e" + std::to_string(P - 1)).c_str());
  Num big_b("9");
  EXPECT_EQ(dec_divmod(q, r, nine_p, big_b), 0);
  Num huge("1e900000000");
  EXPECT_EQ(dec_divmod(q, r, huge, two), -1);
  EXPECT_EQ(dec_head(q), NUM_OVERFLOW);
  EXPECT_TRUE(q.guards_intact() && r.guards_intact());
}

TEST(Differential, DivAt12And13Digits) {
  differential::div(12, 3000, 41);
  differential::div(13, 3000, 42);
}

TEST(Differential, DivAt100And1000Digits) {
  differential::div(100, 800, 43);
  differential::div(1000, 30, 44);
}

TEST(Differential, ExactQuotientsToTheLastPosition) {
  ASSERT_EQ(dec_set_precision(12), 0);
  Num a("12345678901234"), one("1"), q, r;
  dec_div(q, a, one);
  EXPECT_EQ(bare(q), "12345678901234");
  dec_divmod(q, r, a, one);
  EXPECT_TRUE(dec_is_zero(r)) << bare(r);
  differential::exact_quotients(12, 1500, 48);
  differential::exact_quotients(13, 1000, 49);
  differential::exact_quotients(100, 400, 50);
  differential::exact_quotients(1000, 12, 51);
}

TEST(Differential, DivModIdentity) {
  differential::divmod(12, 2000, 45);
  differential::divmod(100, 1000, 46);
  differential::divmod(1000, 40, 47);
}
