// The stored constants: every digit of PiDigits, EDigits and Ln10Digits against MPFR, the
// layout of the tables, dec_pi / dec_e / dec_ln10 at the smallest and the largest
// precision, and e re-derived from its series twice (exact GMP integers, and the core's own
// division and addition) without looking at the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#ifdef DEEPNUMS_HAVE_MPFR
#include <mpfr.h>
#endif
#ifdef DEEPNUMS_HAVE_GMP
#include <gmp.h>
#endif

#include "core/core.h"
#include "functions/functions.h"

namespace {

constexpr int kTableDigits = 100199;
constexpr int kDigitWords = 16700;

struct Constant {
  const char *name;
  const DecWord *table;
  int (*get)(DecWord *);
  const char *first17;  // positions 1..17: what dec_* gives at 12 significant digits
};

const Constant kConstants[] = {
    {"pi", PiDigits, dec_pi, "31415926535897932"},
    {"e", EDigits, dec_e, "27182818284590452"},
    {"ln10", Ln10Digits, dec_ln10, "23025850929940456"},
};

int table_digit(const DecWord *table, int pos) {
  return static_cast<int>((table[pos / 6] >> (26 - 5 * (pos % 6))) & 15);
}

// Positions 1 .. count of a table (or of a DecNum's digit words, passing p + 1) as text.
std::string table_digits(const DecWord *table, int count) {
  std::string s(static_cast<size_t>(count), '0');
  for (int pos = 1; pos <= count; ++pos) s[pos - 1] = static_cast<char>('0' + table_digit(table, pos));
  return s;
}

// Index of the first difference of two digit strings, or −1.
long first_difference(const std::string &a, const std::string &b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return static_cast<long>(i);
  return a.size() == b.size() ? -1 : static_cast<long>(n);
}

// Keeps the precision of the other tests: every test here sets its own and restores it.
class PrecisionGuard {
 public:
  PrecisionGuard() : saved_(sig_digits) {}
  ~PrecisionGuard() { dec_set_precision(saved_); }

 private:
  int saved_;
};

TEST(ConstantTables, LayoutIsValidDigitWords) {
  for (const Constant &c : kConstants) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.table[0] & TOP_LANE_MASK, 0u) << "position 0 must be empty";
    EXPECT_NE(c.table[0] & LEAD_LANE_MASK, 0u) << "position 1 holds the leading digit";
    int bad_words = 0;
    for (int i = 0; i < kDigitWords; ++i) {
      DecWord w = c.table[i];
      bool ok = (w & ~LANE_DIGIT_MASK) == 0;
      for (int lane = 0; lane < 6 && ok; ++lane) ok = ((w >> (26 - 5 * lane)) & 15) <= 9;
      if (!ok && bad_words++ < 5) ADD_FAILURE() << "word " << i << " = 0x" << std::hex << w;
    }
    EXPECT_EQ(bad_words, 0);
    for (int i = kDigitWords; i < CONST_TABLE_WORDS; ++i) EXPECT_EQ(c.table[i], 0u) << "word " << i;
  }
}

TEST(ConstantTables, EveryDigitMatchesMpfr) {
#ifndef DEEPNUMS_HAVE_MPFR
  GTEST_SKIP() << "MPFR (mpfr.h, libmpfr) was not found when the build was configured: "
                  "the 100,199 digits of the constant tables are NOT checked";
#else
  // 333,000 bits are about 100,243 decimal digits; the digits are printed rounded towards
  // zero, so the first 100,199 of them are the truncated constant unless the following
  // digits are all 0 or all 9 (checked, so such a case could not pass unnoticed).
  constexpr mpfr_prec_t kBits = 333000;
  constexpr int kPrinted = kTableDigits + 31;
  mpfr_t x;
  mpfr_init2(x, kBits);
  for (const Constant &c : kConstants) {
    SCOPED_TRACE(c.name);
    if (std::strcmp(c.name, "pi") == 0) {
      mpfr_const_pi(x, MPFR_RNDN);
    } else if (std::strcmp(c.name, "e") == 0) {
      mpfr_set_ui(x, 1, MPFR_RNDN);
      mpfr_exp(x, x, MPFR_RNDN);
    } else {
      mpfr_set_ui(x, 10, MPFR_RNDN);
      mpfr_log(x, x, MPFR_RNDN);
    }
    mpfr_exp_t exponent = 0;
    char *printed = mpfr_get_str(nullptr, &exponent, 10, kPrinted, x, MPFR_RNDZ);
    ASSERT_NE(printed, nullptr);
    std::string reference(printed);
    mpfr_free_str(printed);
    ASSERT_EQ(exponent, 1) << "the constant lies between 1 and 10";
    ASSERT_EQ(reference.size(), static_cast<size_t>(kPrinted));
    std::string tail = reference.substr(kTableDigits);
    ASSERT_NE(tail, std::string(tail.size(), '0')) << "reference too close to a truncation boundary";
    ASSERT_NE(tail, std::string(tail.size(), '9')) << "reference too close to a truncation boundary";
    reference.resize(kTableDigits);

    std::string stored = table_digits(c.table, kTableDigits);
    long diff = first_difference(stored, reference);
    EXPECT_EQ(diff, -1) << "first wrong digit at position " << diff + 1 << ": table has "
                        << stored.substr(diff < 0 ? 0 : diff, 12) << "…, MPFR "
                        << reference.substr(diff < 0 ? 0 : diff, 12) << "…";
  }
  mpfr_clear(x);
  mpfr_free_cache();
#endif
}

TEST(ConstantRetrieval, TwelveDigitsGiveSeventeenPositions) {
  PrecisionGuard guard;
  ASSERT_EQ(dec_set_precision(12), 0);
  ASSERT_EQ(word_count, 3);
  for (const Constant &c : kConstants) {
    SCOPED_TRACE(c.name);
    std::vector<DecWord> out(DEC_BUF_WORDS, 0xFFFFFFFFu);
    EXPECT_EQ(c.get(out.data()), 0);
    EXPECT_EQ(out[0], 0u) << "head word: exponent 0, positive";
    EXPECT_EQ(out[1] & TOP_LANE_MASK, 0u);
    EXPECT_EQ(table_digits(out.data() + 1, 17), c.first17);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(out[i], c.table[i - 1]) << "word " << i;
    EXPECT_EQ(out[4], 0xFFFFFFFFu) << "nothing written beyond word_count";
    EXPECT_EQ(c.get(nullptr), -1);
  }
  // Shown at 12 digits (plain display, no grouping) the constants round to the familiar
  // twelve digits.
  int bare = bare_digits, line = line_digits, group = group_digits;
  bare_digits = 0;
  line_digits = 0;
  group_digits = 0;
  static char text[TEXT_SLOT_BYTES];
  std::vector<DecWord> pi(DEC_BUF_WORDS, 0);
  dec_pi(pi.data());
  EXPECT_EQ(dec_to_text(pi.data(), text), 0);
  EXPECT_STREQ(text, "3.14159265359\r\n");
  dec_e(pi.data());
  dec_to_text(pi.data(), text);
  EXPECT_STREQ(text, "2.71828182846\r\n");
  bare_digits = bare;
  line_digits = line;
  group_digits = group;
}

TEST(ConstantRetrieval, HundredThousandDigitsCopyTheWholeWorkingLength) {
  PrecisionGuard guard;
  ASSERT_EQ(dec_set_precision(100000), 0);
  ASSERT_EQ(word_count, DEC_MAX_WORDS);
  for (const Constant &c : kConstants) {
    SCOPED_TRACE(c.name);
    std::vector<DecWord> out(DEC_BUF_WORDS + 1, 0xFFFFFFFFu);
    out[0] = 12345;
    EXPECT_EQ(c.get(out.data()), 0);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(std::memcmp(out.data() + 1, c.table, sizeof(DecWord) * DEC_MAX_WORDS), 0);
    EXPECT_EQ(out[DEC_BUF_WORDS], 0xFFFFFFFFu) << "nothing written beyond the buffer";
    // 100,013 digits, all of them the table's (which the MPFR test checks digit by digit).
    EXPECT_EQ(table_digits(out.data() + 1, internal_digits - 1),
              table_digits(c.table, internal_digits - 1));
  }
}

// e = Σ 1/k!, summed exactly in scaled integers: S = Σ floor(10^P / k!) with P = 2,030.
// Every term loses less than 1 and the omitted tail is below 1, so
// S ≤ e · 10^P < S + K + 1. The first 2,000 digits follow when both bounds agree on them.
TEST(ConstantTables, ESeriesInExactIntegersMatchesTable) {
#ifndef DEEPNUMS_HAVE_GMP
  GTEST_SKIP() << "GMP (gmp.h, libgmp) was not found when the build was configured: "
                  "the independent series check of e is NOT run";
#else
  constexpr int kDigits = 2000;
  constexpr int kScale = kDigits + 30;
  mpz_t term, sum, high, drop;
  mpz_inits(term, sum, high, drop, nullptr);
  mpz_ui_pow_ui(term, 10, kScale);
  mpz_set_ui(sum, 0);
  unsigned long k = 0;
  while (mpz_sgn(term) != 0) {
    mpz_add(sum, sum, term);
    ++k;
    mpz_fdiv_q_ui(term, term, k);
  }
  mpz_add_ui(high, sum, k + 1);
  mpz_ui_pow_ui(drop, 10, kScale - kDigits + 1);  // keep the units digit and 1,999 decimals
  mpz_fdiv_q(sum, sum, drop);
  mpz_fdiv_q(high, high, drop);
  ASSERT_EQ(mpz_cmp(sum, high), 0) << "the series bounds do not settle the 2,000th digit";
  char *text = mpz_get_str(nullptr, 10, sum);
  std::string series(text);
  void (*free_fn)(void *, size_t);
  mp_get_memory_functions(nullptr, nullptr, &free_fn);
  free_fn(text, std::strlen(text) + 1);
  mpz_clears(term, sum, high, drop, nullptr);

  ASSERT_EQ(series.size(), static_cast<size_t>(kDigits));
  std::string stored = table_digits(EDigits, kDigits);
  long diff = first_difference(stored, series);
  EXPECT_EQ(diff, -1) << "first difference at digit " << diff + 1;
#endif
}

// The same series with the core's own arithmetic at 2,000 significant digits: the term
// 1/k! is divided down from 1 by k = 1, 2, … with dec_div and added with dec_add. Each
// addition drops the digits of the term below the sum's last position (less than one unit
// there), and a term's own truncation is far smaller, so after K terms the sum lies below
// the table's 2,009 digits by less than 2K units of the last position.
TEST(ConstantTables, ESeriesWithCoreArithmeticAgreesWithTable) {
  PrecisionGuard guard;
  ASSERT_EQ(dec_set_precision(2000), 0);
  const int digits = internal_digits - 1;  // 2,009 positions
  std::vector<DecWord> sum(DEC_BUF_WORDS, 0), term(DEC_BUF_WORDS, 0), divisor(DEC_BUF_WORDS, 0);
  dec_zero(sum.data());
  dec_zero(term.data());
  ASSERT_EQ(dec_from_int(term.data(), 1, 0), 0);
  int k = 0;
  while (!dec_is_zero(term.data()) && dec_exponent(term.data()) > -digits - 2) {
    ASSERT_EQ(dec_add(sum.data(), sum.data(), term.data()), 0);
    ++k;
    dec_zero(divisor.data());
    ASSERT_EQ(dec_from_int(divisor.data(), k, 0), 0);
    ASSERT_EQ(dec_div(term.data(), term.data(), divisor.data()), 0);
    ASSERT_LT(k, 2000);
  }
  ASSERT_EQ(dec_exponent(sum.data()), 0);
  // Both as integers of `digits` digits: the table's truncation and the sum.
  std::string stored = table_digits(EDigits, digits);
  std::string summed = table_digits(sum.data() + 1, digits);
  ASSERT_LE(summed, stored) << "a truncating sum cannot exceed e";
  // Difference in units of the last position, from the low 12 digits (the leading digits
  // must agree for the difference to be that small).
  long diff = first_difference(stored, summed);
  ASSERT_TRUE(diff == -1 || diff >= digits - 12)
      << "the core's series for e departs from the table at digit " << diff + 1;
  long long a = std::stoll(stored.substr(digits - 12)), b = std::stoll(summed.substr(digits - 12));
  EXPECT_LE(a - b, 2LL * k) << k << " terms";
}

}  // namespace
