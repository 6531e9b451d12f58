// The number record, precision, lane arithmetic and the maintenance operations.
#include <gtest/gtest.h>

#include "core_test_util.h"

using testutil::Num;

TEST(Precision, WordCountsAndRefusals) {
  ASSERT_EQ(dec_set_precision(1000), 0);
  EXPECT_EQ(dec_set_precision(11), -1);
  EXPECT_EQ(dec_set_precision(100001), -1);
  EXPECT_EQ(sig_digits, 1000);
  EXPECT_EQ(word_count, 168);
  struct Row { int digits, words, internal; } rows[] = {
      {12, 3, 18}, {13, 4, 24}, {99, 18, 108}, {100, 18, 108}, {999, 168, 1008},
      {1000, 168, 1008}, {10000, 1669, 10014}, {99999, 16668, 100008}, {100000, 16669, 100014}};
  for (auto r : rows) {
    ASSERT_EQ(dec_set_precision(r.digits), 0) << r.digits;
    EXPECT_EQ(word_count, r.words) << r.digits;
    EXPECT_EQ(internal_digits, r.internal) << r.digits;
    int guard = internal_digits - 1 - sig_digits;
    int g = r.digits < 100 ? 5 : r.digits < 1000 ? 6 : r.digits < 10000 ? 7 : r.digits < 100000 ? 8 : 9;
    EXPECT_GE(guard, g);
    EXPECT_LE(guard, g + 5);
  }
}

TEST(Lanes, AddIncSubDec) {
  DecWord c;
  EXPECT_EQ(lane_add(0x12, 0x02, 0, &c), 0x40u);  // 9 + 1 = 10 in the lowest lanes
  EXPECT_EQ(c, 0u);
  const DecWord nines = 0x12 | (0x12 << 5) | (0x12 << 10) | (0x12 << 15) | (0x12 << 20) | (0x12u << 25);
  EXPECT_EQ(lane_add(nines, 0x02, 0, &c), 0u);
  EXPECT_EQ(c, 1u);
  EXPECT_EQ(lane_inc(nines, &c), 0u);
  EXPECT_EQ(c, 1u);
  DecWord nb;
  EXPECT_EQ(lane_sub(0, 0x02, 1, &nb), nines);  // 0 − 1 borrows through every lane
  EXPECT_EQ(nb, 0u);
  DecWord borrow;
  EXPECT_EQ(lane_dec(0x40, &borrow), 0x12u);
  EXPECT_EQ(borrow, 0u);
  // Every digit pair in every lane, with and without an incoming carry.
  for (int lane = 0; lane < 6; ++lane)
    for (int a = 0; a < 10; ++a)
      for (int b = 0; b < 10; ++b)
        for (int cin = 0; cin < 2; ++cin) {
          int sh = 1 + 5 * lane;
          DecWord s = lane_add((DecWord)a << sh, (DecWord)b << sh, lane == 0 ? cin : 0, &c);
          int in = lane == 0 ? cin : 0;
          int sum = a + b + in;
          DecWord expect = (DecWord)(sum % 10) << sh;
          if (sum >= 10 && lane < 5) expect |= (DecWord)1 << (sh + 5);
          ASSERT_EQ(s, expect) << lane << " " << a << " " << b;
          ASSERT_EQ(c, (DecWord)(sum >= 10 && lane == 5));
          DecWord d = lane_sub((DecWord)a << sh, (DecWord)b << sh, 1, &nb);
          if (a >= b) {
            ASSERT_EQ(d, (DecWord)(a - b) << sh);
            ASSERT_EQ(nb, 1u);
          }
        }
}

TEST(Layout, ExamplesFromTheRecord) {
  dec_set_precision(12);
  Num x("-0.5");
  EXPECT_EQ(x.p()[0], 0xFFFFFFFFu);
  EXPECT_EQ(x.p()[1], 0xA00000u);
  Num y("123.456");
  EXPECT_EQ(dec_head(y), 4);
  EXPECT_EQ(y.p()[1], 0x22190Au);
  EXPECT_EQ(y.p()[2], 0x18000000u);
  EXPECT_EQ(y.p()[3], 0u);
  EXPECT_EQ(dec_check_valid(y), 0);
}

TEST(Layout, CarryShiftNormaliseShiftLeft) {
  dec_set_precision(12);
  Num p;
  p.p()[1] = 1u << 26;
  dec_set_head(p, 999999999 * 2);
  EXPECT_EQ(dec_carry_shift(p, word_count - 1), -1);
  EXPECT_EQ(dec_head(p), NUM_OVERFLOW);

  Num z;
  dec_set_head(z, -7);  // all digits zero, an exponent and a sign
  EXPECT_EQ(dec_normalise(z), 0);
  EXPECT_EQ(dec_head(z), 0);

  // Leading zeros shift up by whole words and lanes; the exponent follows.
  Num q;
  dec_set_head(q, 10 * 2);
  dec_put_digit(q, 8, 7);
  dec_put_digit(q, 17, 3);
  EXPECT_EQ(dec_normalise(q), 0);
  EXPECT_EQ(dec_exponent(q), 3);
  EXPECT_EQ(dec_digit_at(q, 1), 7);
  EXPECT_EQ(dec_digit_at(q, 10), 3);
  EXPECT_EQ(dec_check_valid(q), 0);

  // Underflow on normalisation gives zero.
  Num u;
  dec_set_head(u, -999999999 * 2);
  dec_put_digit(u, 2, 4);
  EXPECT_EQ(dec_normalise(u), 0);
  EXPECT_EQ(dec_head(u), 0);
  EXPECT_EQ(u.p()[1], 0u);

  Num s("12345");
  EXPECT_EQ(dec_shift_left_digit(s), 0);
  EXPECT_EQ(dec_exponent(s), 3);
  EXPECT_EQ(dec_digit_at(s, 0), 1);
  EXPECT_EQ(dec_digit_at(s, 4), 5);
  EXPECT_EQ(dec_shift_left_digit(s), -1);  // position 0 is occupied now
  EXPECT_EQ(dec_head(s), NUM_ERROR);
}

TEST(Layout, CopiesTouchOnlyTheWordsInUse) {
  dec_set_precision(12);
  Num a("3.25"), b;
  b.p()[word_count + 1] = 0x1234;
  EXPECT_EQ(dec_copy_guarded(b, a), 0);
  EXPECT_EQ(b.p()[word_count + 1], 0x1234u);
  EXPECT_EQ(dec_copy_guarded(nullptr, a), -1);
  EXPECT_EQ(dec_copy_guarded(a, a), 0);
  EXPECT_EQ(dec_zero_guarded(nullptr), -1);
  EXPECT_TRUE(testutil::same_words(a, b));
}
