// Integer conversion, truncation, rounding at a decimal place and comparison.
#include <gtest/gtest.h>

#include <climits>

#include "core_test_util.h"

using testutil::Num;
using testutil::show;

TEST(FromInt, ValuesHeadsAndRefusals) {
  dec_set_precision(12);
  Num a, b, c, d;
  EXPECT_EQ(dec_from_int(a, 180, 0), 0);
  EXPECT_EQ(dec_head(a), 4);
  EXPECT_EQ(show(a), "180");
  EXPECT_EQ(dec_from_int(b, 5, -1), 0);
  EXPECT_EQ(dec_head(b), -2);
  EXPECT_EQ(dec_from_int(c, -7, 3), 0);
  EXPECT_EQ(dec_head(c), 7);
  EXPECT_EQ(show(c), "-7000");
  EXPECT_EQ(dec_from_int(d, INT32_MAX, 0), 0);
  EXPECT_EQ(dec_exponent(d), 9);
  EXPECT_EQ(show(d), "2147483647");
  Num e, f, g;
  EXPECT_EQ(dec_from_int(nullptr, 1, 0), -1);
  EXPECT_EQ(dec_from_int(e, INT32_MIN, 0), -1);
  EXPECT_EQ(dec_head(e), 0);
  EXPECT_EQ(dec_from_int(f, 10, 999999999), -1);
  EXPECT_EQ(dec_from_int(g, 1, 1000000000), -1);
  EXPECT_EQ(dec_head(g), 0);
  // Only the head and words 1, 2 are written: a short buffer is enough.
  DecWord shortbuf[4] = {0, 0, 0, 0xDEADBEEF};
  EXPECT_EQ(dec_from_int(shortbuf, 1234567890, 0), 0);
  EXPECT_EQ(shortbuf[3], 0xDEADBEEFu);
}

TEST(ToInt, TruncatesAndRefuses) {
  dec_set_precision(12);
  struct Row { const char *text; int32_t value; } rows[] = {
      {"2147483647.9", 2147483647}, {"2147483648", INT32_MIN}, {"-2.9", -2}, {"0.7", 0},
      {"3e9", INT32_MIN}, {"-2147483647", -2147483647}, {"0", 0}, {"1e10", INT32_MIN},
      {"999999999", 999999999}};
  for (auto r : rows) EXPECT_EQ(dec_to_int(Num(r.text)), r.value) << r.text;
  Num m;
  dec_set_head(m, NUM_ERROR);
  EXPECT_EQ(dec_to_int(m), -1);
  EXPECT_EQ(dec_to_int(nullptr), -1);
}

TEST(Trunc, IntegerPart) {
  dec_set_precision(12);
  struct Row { const char *in, *out; } rows[] = {
      {"-2.7", "-2"}, {"0.999", "0"}, {"123456", "123456"}, {"123456.789", "123456"},
      {"99999.5", "99999"}, {"123456789012.56789", "123456789012"}};
  for (auto r : rows) {
    Num x(r.in), y;
    EXPECT_EQ(dec_trunc(y, x), 0);
    EXPECT_EQ(show(y), r.out) << r.in;
    EXPECT_EQ(dec_check_valid(y), 0) << r.in;
    dec_trunc(x, x);
    EXPECT_EQ(show(x), r.out) << r.in;
  }
  Num big, same;
  dec_from_text(big, ("1.2345e" + std::to_string(internal_digits)).c_str());
  dec_trunc(same, big);
  EXPECT_TRUE(testutil::same_words(same, big));
  Num z("0.999");
  dec_trunc(z, z);
  EXPECT_EQ(dec_head(z), 0);
}

TEST(RoundAt, HalfUpOnTheMagnitude) {
  dec_set_precision(12);
  struct Row { const char *in; int n; const char *out; } rows[] = {
      {"2.345", 2, "2.35"},  {"-2.345", 2, "-2.35"}, {"9.996", 2, "10"}, {"0.5", 0, "1"},
      {"0.4", 0, "0"},       {"45", -1, "50"},       {"4", -1, "0"},     {"18.56785678", -1, "20"},
      {"18.56785678", 2, "18.57"}, {"-18.56785678", 0, "-19"}, {"0.04", 1, "0"},
      {"-0.04999999", 1, "0"}, {"1.5", 40, "1.5"}, {"123.4", -5, "0"}};
  for (auto r : rows) {
    Num x(r.in), y;
    EXPECT_EQ(dec_round_at(y, x, r.n), 0) << r.in << " " << r.n;
    EXPECT_EQ(show(y), r.out) << r.in << " " << r.n;
    EXPECT_EQ(dec_check_valid(y), 0) << r.in;
    dec_round_at(x, x, r.n);
    EXPECT_EQ(show(x), r.out) << r.in << " in place";
  }
  Num top("9.99999999999999999e999999999"), out;
  EXPECT_EQ(dec_round_at(out, top, -999999990), -1);
  EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
}

TEST(Compare, SignedAndShort) {
  dec_set_precision(12);
  EXPECT_EQ(dec_compare(Num("-1"), Num("0")), -1);
  EXPECT_EQ(dec_compare(Num("0"), Num("0.5")), -1);
  EXPECT_EQ(dec_compare(Num("2"), Num("10")), -1);
  EXPECT_EQ(dec_compare(Num("-2"), Num("-10")), 1);
  EXPECT_EQ(dec_compare(Num("3.5"), Num("3.5")), 0);
  EXPECT_EQ(dec_compare(nullptr, Num("1")), INT32_MIN);
  DecWord k[4] = {0, 0, 0, 0};
  dec_from_int(k, 5, -1);
  EXPECT_EQ(mag_compare_short(Num("0.5"), k), 0);
  EXPECT_EQ(mag_compare_short(Num("0.50000000001"), k), 1);
  EXPECT_EQ(mag_compare_short(Num("-0.5"), k), 0);
  EXPECT_EQ(mag_compare_short(Num("0.4999"), k), -1);
  DecWord k2[4] = {0, 0, 0, 0};
  dec_from_int(k2, 1133148454, -9);
  EXPECT_EQ(mag_compare_short(Num("1.133148454"), k2), 0);
  EXPECT_EQ(mag_compare_short(Num("1.1331484540001"), k2), 1);
  EXPECT_EQ(mag_compare_short(Num("1.133148453999"), k2), -1);
  DecWord kz[4] = {0, 0, 0, 0};
  EXPECT_EQ(mag_compare_short(Num("0"), kz), 0);
  EXPECT_EQ(mag_compare_short(Num("1"), kz), 1);
}
