// Results at both ends of the exponent range, shown and read back: every text a command
// leaves in R0 reads as a number within one unit of its last shown digit of the number
// held, in both modes and every display form. The oracle is a GMP model of the display:
// the held digits rounded half up to the shown count, or cut off where the carry would
// leave the range.
#include <gmpxx.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace {

// sign × m × 10^q, exactly.
struct Exact {
  mpz_class m;
  int64_t q = 0;
};

Exact exact_of(const DecWord *p) {
  Exact x;
  const int n = internal_digits - 1;
  std::string digits;
  for (int k = 1; k <= n; ++k) digits += (char)('0' + dec_digit_at(p, k));
  x.m = mpz_class(digits);
  if (dec_sign(p)) x.m = -x.m;
  x.q = (int64_t)dec_exponent(p) - (n - 1);
  return x;
}

// a − b, at the smaller of the two scales (the scales of these operands differ by a few
// hundred at most).
Exact difference(const Exact &a, const Exact &b) {
  const int64_t q = std::min(a.q, b.q);
  mpz_class ea, eb;
  mpz_ui_pow_ui(ea.get_mpz_t(), 10, (unsigned long)(a.q - q));
  mpz_ui_pow_ui(eb.get_mpz_t(), 10, (unsigned long)(b.q - q));
  return Exact{a.m * ea - b.m * eb, q};
}

// The value the display should show for p: count digits, half up, cut off instead where
// the carry would raise the exponent past the top of the range.
Exact model_shown(const DecWord *p, int count) {
  const int n = internal_digits - 1;
  Exact held = exact_of(p);
  if (count >= n) return held;
  mpz_class mag = abs(held.m), drop, head, next;
  mpz_ui_pow_ui(drop.get_mpz_t(), 10, (unsigned long)(n - count));
  head = mag / drop;
  next = (mag * 10 / drop) % 10;
  mpz_class limit;
  mpz_ui_pow_ui(limit.get_mpz_t(), 10, (unsigned long)count);
  if (next >= 5 && !(head + 1 == limit && dec_exponent(p) == DEC_EXP_MAX)) head += 1;
  return Exact{held.m < 0 ? mpz_class(-head) : head, held.q + (n - count)};
}

// One command's operands; the R0 result lands at an edge of the range.
struct EdgeCase {
  const char *x, *y;
  int code;
};

// The texts are built for the precision: nines(k) is k nines after "9.".
std::string nines(int k) { return "9." + std::string(k, '9'); }

std::vector<EdgeCase> edge_cases(int sig, std::vector<std::string> &store) {
  const std::string top = "e999999999", bottom = "e-999999999";
  const std::string s1 = nines(sig - 1);  // sig nines: the shown digits all 9
  store = {
      s1 + "5" + top,            // carries past the top when rounded
      s1 + "4999" + top,         // just below the carry
      "-" + s1 + "5" + top,      // the same, negative
      s1 + "99999999" + top,     // every carried digit 9
      s1 + "5" + "e999999998",   // carries inside the range, times 10 below
      "1" + top,
      "0.1" + std::string(sig + 3, '0') + "1",  // sig + 5 digits: all carried
      s1 + "5" + bottom,         // carries into 1 e-999999998
      "1.0000000000000000000000000005" + bottom,
      "-1" + bottom,
      "3" + bottom,
      "7" + bottom,
  };
  return {
      {store[0].c_str(), "0", C_ADD},       {store[1].c_str(), "0", C_ADD},
      {store[2].c_str(), "0", C_ADD},       {store[3].c_str(), "0", C_ADD},
      {store[4].c_str(), "10", C_MUL},      {store[4].c_str(), "-10", C_MUL},
      {store[5].c_str(), store[6].c_str(), C_DIV},  // 9.99…9 e999999999 by division
      {store[7].c_str(), "0", C_ADD},       {store[8].c_str(), "0", C_ADD},
      {store[9].c_str(), "1", C_MUL},       {store[10].c_str(), "3", C_DIV},
      {store[11].c_str(), "7", C_DIV},      {store[9].c_str(), "3", C_DIV},  // below: 0
      {store[5].c_str(), "1", C_SUB},       {store[0].c_str(), "-1", C_MUL},
  };
}

TEST(RangeEdges, EveryShownResultReadsBackWithinAUnitOfItsLastDigit) {
  int checked = 0;
  for (const char *digits : {"12", "30", "1000"}) {
    const int sig = std::stoi(digits);
    std::vector<std::string> store;
    for (const EdgeCase &c : edge_cases(sig, store))
      for (int exact = 0; exact <= 1; ++exact)
        for (int form = 0; form < 4; ++form) {
          const bool bare = form & 1, plain = form & 2;
          reset_engine_state(digits);
          Settings[SET_EXACT_DIGITS] = exact;
          Settings[SET_BARE_DIGITS] = bare;
          Settings[SET_PLANE_DISP] = plain;
          type(SLOT_R1, c.x);
          type(SLOT_R0, c.y);
          press(c.code);
          const std::string shown_text = text(SLOT_R0);
          const std::string where = std::string("digits ") + digits + " exact " +
                                    std::to_string(exact) + " bare " + std::to_string(bare) +
                                    " plain " + std::to_string(plain) + ": " + c.x + " #" +
                                    std::to_string(c.code) + " " + c.y + " shows " +
                                    shown_text.substr(0, 60);
          const DecWord *held = Registers[0];
          ASSERT_NE(dec_head(held), NUM_OVERFLOW) << where;
          ASSERT_NE(dec_head(held), NUM_ERROR) << where;
          static DecWord back[DEC_BUF_WORDS];
          ASSERT_EQ(dec_from_text(back, shown_text.c_str()), 0) << where;
          if (held[1] == 0) {
            EXPECT_EQ(back[1], 0u) << where;
            continue;
          }
          const int count = bare ? internal_digits - 1 : sig;
          const Exact want = model_shown(held, count);
          const Exact got = exact_of(back);
          EXPECT_EQ(difference(got, want).m, 0) << where;
          // Within one unit of the last shown digit of the number held.
          mpz_class unit;
          const Exact off = difference(got, exact_of(held));
          const int64_t unit_scale = (int64_t)dec_exponent(held) - (count - 1) - off.q;
          ASSERT_GE(unit_scale, 0) << where;
          mpz_ui_pow_ui(unit.get_mpz_t(), 10, (unsigned long)unit_scale);
          EXPECT_LT(abs(off.m), unit) << where;
          ++checked;
        }
  }
  EXPECT_GT(checked, 300);
}

}  // namespace
