// The small-operand operations against the core operations applied to the full DecNum
// n × 10^k built with dec_from_int: the same status and the same words, for random x, n
// and k, with and without the table of multiples, in place and not.
#include <cstring>

#include "fn_test_util.h"

namespace {

using fntest::Num;
using fntest::Setting;

// Same result: equal status; a marker compares by its head only.
::testing::AssertionResult same_result(const char *what, int st_small, const DecWord *small,
                                       int st_core, const DecWord *core) {
  if (st_small != st_core)
    return ::testing::AssertionFailure() << what << ": status " << st_small << " vs core " << st_core;
  if (dec_is_marker(core) || dec_is_marker(small)) {
    if (small[0] != core[0])
      return ::testing::AssertionFailure() << what << ": head " << std::hex << small[0] << " vs core " << core[0];
    return ::testing::AssertionSuccess();
  }
  if (!testutil::same_words(small, core))
    return ::testing::AssertionFailure() << what << ":\n small " << testutil::words_hex(small, word_count)
                                         << "\n core  " << testutil::words_hex(core, word_count);
  if (dec_check_valid(small) != 0)
    return ::testing::AssertionFailure() << what << ": invalid result, code " << dec_check_valid(small);
  return ::testing::AssertionSuccess();
}

int32_t random_n(std::mt19937_64 &rng) {
  switch (rng() % 8) {
    case 0: return 0;
    case 1: return (rng() % 2) ? 1 : -1;
    case 2: return (int32_t)(rng() % 10) - 5;
    case 3: return (int32_t)(rng() % 2000000) - 1000000;
    case 4: return (rng() % 2) ? INT32_MAX : INT32_MIN + 1;
    case 5: return (int32_t)(rng() % 21475) * 100000;  // trailing zeros, within int32_t
    default: return (int32_t)(uint32_t)rng();
  }
}

// A power of ten around the interesting alignments with x: equal exponents, one word
// apart, just inside and just outside the negligible distance, or anywhere.
int32_t random_k(std::mt19937_64 &rng, int32_t x_exp, int32_t n) {
  int digits = 0;
  for (int64_t t = n < 0 ? -(int64_t)n : n; t >= 10; t /= 10) ++digits;
  const int64_t reach = internal_digits;
  int64_t target;
  switch (rng() % 5) {
    case 0: target = x_exp + (int64_t)(rng() % 13) - 6; break;
    case 1: target = x_exp + ((rng() % 2) ? 1 : -1) * (reach - 3 + (int64_t)(rng() % 6)); break;
    case 2: target = x_exp + (int64_t)(rng() % (2 * reach + 1)) - reach; break;
    case 3: target = (rng() % 2) ? DEC_EXP_MAX - (int64_t)(rng() % 4) : DEC_EXP_MIN + (int64_t)(rng() % 4); break;
    default: target = (int64_t)(rng() % 61) - 30; break;
  }
  int64_t k = target - digits;  // exponent of n × 10^k is k + digits
  if (k > DEC_EXP_MAX) k = DEC_EXP_MAX;
  if (k < DEC_EXP_MIN) k = DEC_EXP_MIN;
  return (int32_t)k;
}

void random_x(DecWord *x, std::mt19937_64 &rng) {
  const int len = testutil::random_length(rng);
  int32_t e;
  switch (rng() % 4) {
    case 0: e = (int32_t)(rng() % 41) - 20; break;
    case 1: e = (rng() % 2) ? DEC_EXP_MAX - (int32_t)(rng() % 3) : DEC_EXP_MIN + (int32_t)(rng() % 3); break;
    default: e = (int32_t)(rng() % 2001) - 1000; break;
  }
  if (rng() % 16 == 0) {
    dec_zero(x);
    return;
  }
  testutil::random_number(x, rng, len, e, (int)(rng() % 2));
}

// One round of all six operations on (x, n, k) against the core.
void check_all(DecWord *x, int32_t n, int32_t k, const char *where) {
  Num s, o1, o2, o3, q1, r1, q2, r2;
  dec_zero(s);
  if (n != 0 && dec_from_int(s, n, k) != 0) {
    // The short operand cannot be built: −1, out unchanged.
    dec_copy(o1, x);
    EXPECT_EQ(dec_add_small(o1, x, n, k), -1) << where;
    EXPECT_EQ(dec_mul_small(o1, x, n, k), -1) << where;
    EXPECT_EQ(dec_div_small(o1, x, n, k), -1) << where;
    EXPECT_TRUE(testutil::same_words(o1, x)) << where;
    return;
  }
  int a, b;
  a = dec_add_small(o1, x, n, k);
  b = dec_add(o2, x, s);
  // x + 0 is x and 0 − x is −x, whatever x's exponent (the core's negligibility test,
  // made before its zero test, would drop a tiny x against an exact zero).
  if (n == 0) {
    dec_copy(o2, x);
    b = 0;
  }
  EXPECT_TRUE(same_result("add", a, o1, b, o2)) << where;
  dec_copy(o3, x);
  a = dec_add_small(o3, o3, n, k);
  EXPECT_TRUE(same_result("add in place", a, o3, b, o2)) << where;

  a = dec_rsub_small(o1, n, k, x);
  b = dec_sub(o2, s, x);
  if (dec_is_zero(x)) {
    dec_copy(o2, s);
    b = 0;
  }
  EXPECT_TRUE(same_result("rsub", a, o1, b, o2)) << where;
  dec_copy(o3, x);
  a = dec_rsub_small(o3, n, k, o3);
  EXPECT_TRUE(same_result("rsub in place", a, o3, b, o2)) << where;

  a = dec_mul_small(o1, x, n, k);
  b = dec_mul(o2, x, s);
  EXPECT_TRUE(same_result("mul", a, o1, b, o2)) << where;
  dec_copy(o3, x);
  a = dec_mul_small(o3, o3, n, k);
  EXPECT_TRUE(same_result("mul in place", a, o3, b, o2)) << where;

  a = dec_div_small(o1, x, n, k);
  b = dec_div(o2, x, s);
  EXPECT_TRUE(same_result("div", a, o1, b, o2)) << where;
  dec_copy(o3, x);
  a = dec_div_small(o3, o3, n, k);
  EXPECT_TRUE(same_result("div in place", a, o3, b, o2)) << where;

  a = dec_divmod_small(q1, r1, x, n, k);
  b = dec_divmod(q2, r2, x, s);
  EXPECT_TRUE(same_result("divmod quotient", a, q1, b, q2)) << where;
  EXPECT_TRUE(same_result("divmod remainder", a, r1, b, r2)) << where;
  dec_copy(r1, x);
  a = dec_divmod_small(q1, r1, r1, n, k);
  EXPECT_TRUE(same_result("divmod into x (remainder)", a, r1, b, r2)) << where;
  EXPECT_TRUE(same_result("divmod into x (quotient)", a, q1, b, q2)) << where;
  dec_copy(q1, x);
  a = dec_divmod_small(q1, r1, q1, n, k);
  EXPECT_TRUE(same_result("divmod into x (quotient is x)", a, q1, b, q2)) << where;
  EXPECT_TRUE(same_result("divmod into x (remainder, quotient is x)", a, r1, b, r2)) << where;

  EXPECT_EQ(dec_compare_small(x, n, k), dec_compare(x, s)) << where;
  EXPECT_TRUE(x == nullptr || dec_check_valid(x) == 0);
}

TEST(SmallOperands, MatchTheCoreOperations) {
  const uint64_t seed = fntest::test_seed(20240601);
  std::mt19937_64 rng(seed);
  for (int digits : {12, 13, 50, 100, 1000}) {
    for (int compact = 0; compact <= 1; ++compact) {
      Setting setting(digits);
      compact_memory = compact;
      const int rounds = digits >= 1000 ? 150 : 600;
      for (int round = 0; round < rounds; ++round) {
        Num x;
        random_x(x, rng);
        const int32_t n = random_n(rng);
        const int32_t k = random_k(rng, dec_exponent(x), n);
        char where[200];
        std::snprintf(where, sizeof where, "seed %llu digits %d compact %d round %d: x=%s n=%d k=%d",
                      (unsigned long long)seed, digits, compact, round, fntest::bare(x).c_str(), n, k);
        check_all(x, n, k, where);
        if (HasFailure()) return;
      }
    }
  }
}

// The alternative accumulation of the script's comparison command runs the same kernels.
TEST(SmallOperands, MatchTheCoreUnderTheAlternativeWorking) {
  const uint64_t seed = fntest::test_seed(77);
  std::mt19937_64 rng(seed);
  for (int digits : {12, 30, 100}) {
    Setting setting(digits);
    hipr_mode = 1;
    for (int round = 0; round < 300; ++round) {
      Num x, s, o1, o2;
      random_x(x, rng);
      const int32_t n = random_n(rng);
      const int32_t k = random_k(rng, dec_exponent(x), n);
      dec_zero(s);
      if (n == 0 || dec_from_int(s, n, k) != 0) continue;
      char where[200];
      std::snprintf(where, sizeof where, "seed %llu digits %d round %d: x=%s n=%d k=%d",
                    (unsigned long long)seed, digits, round, fntest::bare(x).c_str(), n, k);
      EXPECT_TRUE(same_result("mul", dec_mul_small(o1, x, n, k), o1, dec_mul(o2, x, s), o2)) << where;
      EXPECT_TRUE(same_result("div", dec_div_small(o1, x, n, k), o1, dec_div(o2, x, s), o2)) << where;
      if (HasFailure()) return;
    }
  }
}

TEST(SmallOperands, ShortcutsAndFailures) {
  Setting setting(12);
  Num x("1"), out;
  EXPECT_EQ(dec_add_small(out, x, -1, 0), 0);
  EXPECT_EQ(out[0], 0u);
  EXPECT_EQ(dec_check_valid(out), 0);
  EXPECT_TRUE(dec_is_zero(out));
  Num y("1.5");
  EXPECT_EQ(dec_add_small(out, y, -1, 0), 0);
  EXPECT_EQ(fntest::shown(out), ".5");

  Num half("0.5"), above("0.50000000001"), neg_half("-0.5"), zero("0");
  EXPECT_EQ(dec_compare_small(half, 5, -1), 0);
  EXPECT_EQ(dec_compare_small(above, 5, -1), 1);
  EXPECT_EQ(dec_compare_small(neg_half, 5, -1), -1);
  EXPECT_EQ(dec_compare_small(zero, -3, 0), 1);
  EXPECT_EQ(dec_compare_small(neg_half, 0, 0), -1);
  EXPECT_EQ(dec_compare_small(nullptr, 1, 0), INT32_MIN);

  EXPECT_EQ(dec_div_small(out, y, 0, 0), -1);
  EXPECT_EQ(dec_head(out), NUM_ERROR);
  EXPECT_EQ(dec_div_small(out, zero, 0, 0), 0);
  EXPECT_TRUE(dec_is_zero(out));
  EXPECT_EQ(out[0], 0u);
  Num q, r;
  EXPECT_EQ(dec_divmod_small(q, r, y, 0, 0), -1);
  EXPECT_EQ(dec_head(q), NUM_ERROR);
  EXPECT_EQ(dec_head(r), NUM_ERROR);
  EXPECT_EQ(dec_divmod_small(q, q, y, 3, 0), -1);
  EXPECT_EQ(dec_head(q), NUM_ERROR);
  Num seventeen("-17");
  EXPECT_EQ(dec_divmod_small(q, r, seventeen, 5, 0), 0);
  EXPECT_EQ(fntest::shown(q), "-3");
  EXPECT_EQ(fntest::shown(r), "-2");

  Num big("1e999999999"), tiny("1e-999999999");
  EXPECT_EQ(dec_mul_small(out, big, 10, 0), -1);
  EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
  EXPECT_EQ(dec_div_small(out, tiny, 10, 0), 0);
  EXPECT_TRUE(dec_is_zero(out));
  EXPECT_EQ(out[0], 0u);

  EXPECT_EQ(dec_rsub_small(out, 0, 0, y), 0);
  EXPECT_EQ(fntest::shown(out), "-1.5");
  EXPECT_EQ(dec_rsub_small(out, 7, 2, zero), 0);
  EXPECT_EQ(fntest::shown(out), "700");
  EXPECT_EQ(dec_mul_small(out, y, 0, 0), 0);
  EXPECT_EQ(out[0], 0u);

  // Markers pass through, NUM_ERROR before NUM_OVERFLOW; a null out gives −1.
  Num err, ovf;
  dec_set_head(err, NUM_ERROR);
  dec_set_head(ovf, NUM_OVERFLOW);
  EXPECT_EQ(dec_add_small(out, err, 1, 0), -1);
  EXPECT_EQ(dec_head(out), NUM_ERROR);
  EXPECT_EQ(dec_mul_small(out, ovf, 0, 0), -1);
  EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
  EXPECT_EQ(dec_div_small(out, nullptr, 1, 0), -1);
  EXPECT_EQ(dec_head(out), NUM_ERROR);
  EXPECT_EQ(dec_add_small(nullptr, y, 1, 0), -1);

  // An operand that cannot be built leaves out unchanged.
  dec_copy(out, y);
  EXPECT_EQ(dec_add_small(out, x, INT32_MIN, 0), -1);
  EXPECT_EQ(dec_mul_small(out, x, 12, DEC_EXP_MAX), -1);
  EXPECT_EQ(dec_rsub_small(out, 12, DEC_EXP_MAX, x), -1);
  EXPECT_TRUE(testutil::same_words(out, y));
}

}  // namespace
