// Reading and showing number texts.
#include <gtest/gtest.h>

#include <random>

#include "core_test_util.h"

using testutil::Num;
using testutil::display;
using testutil::show;

namespace {

struct DisplayFlags {
  int bare, line, group;
  DisplayFlags(int b, int l, int g) : bare(bare_digits), line(line_digits), group(group_digits) {
    bare_digits = b;
    line_digits = l;
    group_digits = g;
  }
  ~DisplayFlags() {
    bare_digits = bare;
    line_digits = line;
    group_digits = group;
  }
};

}  // namespace

TEST(FromText, HeadsAndDigits) {
  dec_set_precision(12);
  Num a("123");
  EXPECT_EQ(dec_head(a), 4);
  EXPECT_EQ(a.p()[1], (1u << 21) | (2u << 16) | (3u << 11));
  for (const char *t : {"0.05", ".05"}) {
    Num b(t);
    EXPECT_EQ(dec_head(b), -4) << t;
    EXPECT_EQ(dec_digit_at(b, 1), 5) << t;
  }
  for (const char *t : {"-0", "-0.000", "+", ".", "", "abc", "   ", "0e2000000000", "1e-1000000000"}) {
    Num z;
    EXPECT_EQ(dec_from_text(z, t), 0) << t;
    EXPECT_EQ(dec_head(z), 0) << t;
    EXPECT_EQ(z.p()[1], 0u) << t;
  }
  EXPECT_EQ(show(Num("1,234.5")), "1234.5");
  EXPECT_EQ(show(Num("1 234.5")), "1234.5");
  EXPECT_EQ(show(Num("12abc")), "12");
  EXPECT_EQ(show(Num("1\t2")), "1");
  EXPECT_EQ(show(Num("1\x80" "2")), "1");
  EXPECT_EQ(show(Num("1e-5x")), ".00001");
  EXPECT_EQ(show(Num("1\r\n2")), "12");
}

TEST(FromText, ErrorsAndExponentLimits) {
  dec_set_precision(100);
  for (const char *t : {"--1", "1-2", "1.2.3", "0-1", ".-1"}) {
    Num x;
    EXPECT_EQ(dec_from_text(x, t), -1) << t;
    EXPECT_EQ(dec_head(x), NUM_ERROR) << t;
  }
  for (const char *t : {"10e999999999", "1 e1999999999", "1e99999999999999999999", "-5e1000000000"}) {
    Num x;
    EXPECT_EQ(dec_from_text(x, t), -1) << t;
    EXPECT_EQ(dec_head(x), NUM_OVERFLOW) << t;
  }
  Num tiny("1 e-999999999");
  EXPECT_EQ(dec_exponent(tiny), -999999999);
  Num big("9.5e999999999");
  EXPECT_EQ(dec_exponent(big), 999999999);
  Num x;
  EXPECT_EQ(dec_from_text(nullptr, "1"), -1);
  EXPECT_EQ(dec_from_text(x, nullptr), -1);
  Num grouped("97. 409091034002437236 44033268870607579997");
  EXPECT_EQ(display(grouped), "97. 409091034002437236 44033268870607579997");
}

// The texts shown for the markers read back as the markers (an error in a box survives a
// restart); anything more or less than the marker word is an ordinary lenient read.
TEST(FromText, MarkerTextsReadBackAsMarkers) {
  dec_set_precision(12);
  for (int32_t marker : {NUM_ERROR, NUM_OVERFLOW}) {
    Num m, back;
    dec_set_marker(m, marker);
    static char text[TEXT_SLOT_BYTES];
    EXPECT_EQ(dec_to_text(m, text), -1);
    EXPECT_EQ(dec_from_text(back, text), -1) << text;
    EXPECT_EQ(dec_head(back), marker) << text;
  }
  for (const char *t : {"ERROR", " ERROR \r\n", "\r\nOVERFLOW"}) {
    Num x;
    EXPECT_EQ(dec_from_text(x, t), -1) << t;
    EXPECT_TRUE(dec_is_marker(x)) << t;
  }
  for (const char *t : {"ERRORS", "error", "ERROR 1", "OVER", "5 ERROR"}) {
    Num x;
    dec_from_text(x, t);
    EXPECT_FALSE(dec_is_marker(x)) << t;
  }
}

TEST(FromText, DropsDigitsBeyondTheLastPositionWithoutRounding) {
  dec_set_precision(12);
  Num a("123456789012345678999");
  EXPECT_EQ(dec_exponent(a), 20);
  EXPECT_EQ(testutil::bare(a), "1.2345678901234567e20");
  // A text of 110,000 characters, bytes of every value: never an overrun.
  dec_set_precision(100000);
  std::string longtext(109999, '7');
  Num b(longtext.c_str());
  EXPECT_EQ(dec_exponent(b), 109998);
  EXPECT_TRUE(b.guards_intact());
  std::mt19937_64 rng(7);
  std::string noise(109999, ' ');
  for (auto &ch : noise) ch = (char)(1 + rng() % 255);
  Num c;
  dec_from_text(c, noise.c_str());
  EXPECT_TRUE(c.guards_intact());
}

TEST(ToText, PlainAndScientific) {
  dec_set_precision(100);
  DisplayFlags flags(0, 200, 20);
  EXPECT_EQ(display(Num("2")), "2");
  EXPECT_EQ(display(Num("1000")), "1000");
  EXPECT_EQ(display(Num("-0.5")), "-.5");
  EXPECT_EQ(display(Num("0.001234")), ".001234");
  EXPECT_EQ(display(Num("1e-10")), ".0000000001");
  EXPECT_EQ(display(Num("1e-201")), "1 e-201");
  EXPECT_EQ(display(Num("1e100")), "1 e100");
  // An integer part of up to sig_digits digits is plain, grouped by 20.
  std::string e99 = "1";
  for (int k = 1; k <= 99; ++k) e99 += (k % 20 == 0 ? " 0" : "0");
  EXPECT_EQ(display(Num("1e99")), e99);
  // Leading zeros of a fraction are plain while they fit into the unused digits.
  EXPECT_EQ(display(Num("0.0001")), ".0001");
  EXPECT_EQ(display(Num("0.000123456789")), ".000123456789");
  Num seventh("1"), seven("7");
  dec_div(seventh, seventh, seven);
  EXPECT_EQ(display(seventh).substr(0, 41), ".1428571428571428571 42857142857142857142");
  Num small("1e-4");
  dec_mul(small, small, seventh);  // every digit used: the zeros no longer fit
  EXPECT_EQ(display(small).substr(0, 25), "1.4285714285714285714 285");
  EXPECT_EQ(display(small).substr(display(small).size() - 4), " e-5");
  Num zero;
  EXPECT_EQ(display(zero), "0");
}

TEST(ToText, RoundingIsUndoneExactly) {
  dec_set_precision(12);
  DisplayFlags flags(0, 200, 20);
  Num a("123456789012.5");
  Num before;
  dec_copy(before, a);
  EXPECT_EQ(display(a), "123456789013");
  EXPECT_TRUE(testutil::same_words(a, before));
  EXPECT_EQ(display(Num("1234567890125")), "1.23456789013 e12");
  {
    DisplayFlags plain(0, 0, 0);
    EXPECT_EQ(display(Num("1234567890125")), "1.23456789013e12");
  }
  // 9.99…9 with a 5 behind the last shown digit carries into position 0.
  Num n("9.9999999999995");
  dec_copy(before, n);
  EXPECT_EQ(display(n), "10");
  EXPECT_TRUE(testutil::same_words(n, before));
  // At the top exponent the carry would leave the range: the display cuts off instead.
  Num top("9.999999999999e999999999");
  dec_copy(before, top);
  EXPECT_EQ(display(top), "9.99999999999 e999999999");
  EXPECT_TRUE(testutil::same_words(top, before));
  EXPECT_EQ(display(Num("-9.999999999995e999999999")), "-9.99999999999 e999999999");
  EXPECT_EQ(display(Num("9.999999999995e999999998")), "1 e999999999");
  {
    DisplayFlags bare(1, 0, 0);
    EXPECT_EQ(display(Num("1.234567890123456789")), "1.2345678901234567");
  }
}

TEST(ToText, SeparatorsAndMessages) {
  dec_set_precision(100);
  DisplayFlags flags(0, 200, 20);
  // An integer part of exactly 20 digits: ". " then a group space before fraction index 20.
  Num a("12345678901234567890.5");
  EXPECT_EQ(display(a), "12345678901234567890.  5");
  {
    DisplayFlags plain(0, 0, 0);
    EXPECT_EQ(display(a), "12345678901234567890.5");
  }
  char buf[TEXT_SLOT_BYTES];
  Num m;
  dec_set_head(m, NUM_OVERFLOW);
  EXPECT_EQ(dec_to_text(m, buf), -1);
  EXPECT_STREQ(buf, "OVERFLOW\r\n");
  dec_set_head(m, NUM_ERROR);
  EXPECT_EQ(dec_to_text(m, buf), -1);
  EXPECT_STREQ(buf, "ERROR\r\n");
  Num w;
  dec_set_head(w, 6);  // zero digits with an exponent
  EXPECT_EQ(dec_to_text(w, buf), -1);
  EXPECT_STREQ(buf, "WRONG FORMAT\r\n");
  Num c("5");
  c.p()[1] |= 1u << 26;  // a digit in position 0
  EXPECT_EQ(dec_to_text(c, buf), -1);
  EXPECT_STREQ(buf, "WRONG FORMAT\r\n");
  EXPECT_EQ(dec_to_text(nullptr, buf), -1);
  EXPECT_EQ(dec_to_text(c, nullptr), -1);
  // 100,000 digits in bare mode with lines and groups stay well inside a text slot.
  dec_set_precision(100000);
  {
    DisplayFlags bare(1, 200, 20);
    std::string nines(100013, '9');
    Num big(("-." + nines + "e-5").c_str());
    EXPECT_EQ(dec_to_text(big, buf), 0);
    size_t len = std::strlen(buf);
    EXPECT_LT(len, 106000u);
    EXPECT_EQ(buf[len - 2], '\r');
    std::string s(buf);
    EXPECT_EQ(s.substr(0, 4), "-9.9");
  }
}

// Every text the formatter writes reads back as the value it shows.
TEST(ToText, RoundTripsAtSeveralPrecisionsAndOptions) {
  std::mt19937_64 rng(12345);
  char buf[TEXT_SLOT_BYTES], buf2[TEXT_SLOT_BYTES];
  for (int digits : {12, 13, 57, 100, 1000}) {
    dec_set_precision(digits);
    for (int opt = 0; opt < 4; ++opt) {
      DisplayFlags flags(opt & 1, (opt & 2) ? 0 : 200, (opt & 2) ? 0 : 20);
      for (int trial = 0; trial < 200; ++trial) {
        Num x;
        int32_t exponent = (int32_t)(rng() % 600) - 300;
        if (trial % 17 == 0) exponent = (int32_t)(rng() % 1999999999) - 999999999;
        testutil::random_number(x, rng, testutil::random_length(rng), exponent, (int)(rng() & 1));
        ASSERT_EQ(dec_check_valid(x), 0);
        ASSERT_EQ(dec_to_text(x, buf), 0);
        Num back;
        int st = dec_from_text(back, buf);
        ASSERT_EQ(st, 0) << buf;
        ASSERT_EQ(dec_to_text(back, buf2), 0);
        ASSERT_STREQ(buf, buf2) << "digits " << digits << " opt " << opt << " trial " << trial;
      }
    }
  }
}
