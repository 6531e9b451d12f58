// Square and cube roots: the true root truncated, word for word against GMP's integer
// roots, exact roots, known values, and independence from stale scratch contents.
#include <cstring>

#include "roots_oracle.h"

namespace {

using fntest::Num;
using fntest::Setting;

void check_root(DecWord *x, int degree, const char *where) {
  Num got, expected;
  const int st = degree == 2 ? dec_sqrt(got, x) : dec_cbrt(got, x);
  ASSERT_EQ(st, 0) << where;
  fntest::exact_root(expected, x, degree);
  ASSERT_TRUE(testutil::same_words(got, expected))
      << where << "\n got      " << fntest::bare(got) << "\n expected " << fntest::bare(expected);
  ASSERT_EQ(dec_check_valid(got), 0) << where;
  ASSERT_TRUE(got.guards_intact()) << where;
}

// Random x, plus exact squares and cubes of random integers (the extraction stops early).
void check_random_roots(int digits, int fast, std::mt19937_64 &rng, uint64_t seed) {
  {
    Setting setting(digits);
    fast_kernels = fast;
    const int rounds = digits >= 1000 ? 12 : 150;
    for (int round = 0; round < rounds; ++round) {
      Num x;
      int32_t e;
      switch (rng() % 4) {
        case 0: e = (int32_t)(rng() % 41) - 20; break;
        case 1: e = (rng() % 2) ? DEC_EXP_MAX - (int32_t)(rng() % 3) : DEC_EXP_MIN + (int32_t)(rng() % 3); break;
        default: e = (int32_t)(rng() % 20001) - 10000; break;
      }
      testutil::random_number(x, rng, testutil::random_length(rng), e, 0);
      char where[160];
      std::snprintf(where, sizeof where, "seed %llu digits %d round %d x=%s", (unsigned long long)seed,
                    digits, round, fntest::bare(x).c_str());
      check_root(x, 2, where);
      check_root(x, 3, where);
      dec_set_head(x, dec_head(x) | 1);  // the cube root keeps the sign
      check_root(x, 3, where);
    }
    // Exact powers: r² and r³ for an r of up to a third of the digits.
    for (int round = 0; round < 40; ++round) {
      mpz_t r, p;
      mpz_inits(r, p, nullptr);
      const int rdigits = 1 + (int)(rng() % (unsigned)((internal_digits - 1) / 3));
      std::string text;
      for (int i = 0; i < rdigits; ++i) text.push_back((char)('0' + (i == 0 ? 1 + rng() % 9 : rng() % 10)));
      mpz_set_str(r, text.c_str(), 10);
      for (int degree = 2; degree <= 3; ++degree) {
        mpz_pow_ui(p, r, (unsigned long)degree);
        char *ptext = mpz_get_str(nullptr, 10, p);
        std::string ps = std::string(ptext) + "e" + std::to_string((int)(rng() % 61) * degree - 30 * degree);
        void (*freefunc)(void *, size_t);
        mp_get_memory_functions(nullptr, nullptr, &freefunc);
        freefunc(ptext, std::strlen(ptext) + 1);
        Num x(ps.c_str());
        char where[120];
        std::snprintf(where, sizeof where, "seed %llu digits %d exact power %s", (unsigned long long)seed,
                      digits, ps.c_str());
        check_root(x, degree, where);
      }
      mpz_clears(r, p, nullptr);
    }
  }
}

// With fast_kernels set, long roots may take another route to the same words; the
// digit-by-digit extraction is checked on its own with fast_kernels = 0.
TEST(Roots, TruncatedRootsMatchGmp) {
  const uint64_t seed = fntest::test_seed(4242);
  std::mt19937_64 rng(seed);
  for (int fast = 0; fast <= 1; ++fast)
    for (int digits : {12, 13, 17, 30, 50, 100, 1000}) {
      check_random_roots(digits, fast, rng, seed);
      if (HasFatalFailure()) return;
    }
}

// Whatever earlier operations left in the scratch slots (here: every digit 9) must not
// change a root.
TEST(Roots, IndependentOfStaleScratchWords) {
  const uint64_t seed = fntest::test_seed(99);
  std::mt19937_64 rng(seed);
  for (int digits : {12, 100, 1000}) {
    Setting setting(digits);
    fast_kernels = 0;
    for (int round = 0; round < 10; ++round) {
      Num x;
      testutil::random_number(x, rng, testutil::random_length(rng), (int32_t)(rng() % 201) - 100, 0);
      for (int slot = 0; slot < DEC_SCRATCH_SLOTS; ++slot)
        for (int i = 0; i < DEC_BUF_WORDS; ++i) ScratchNums[slot][i] = 0x3DEF7BDE;
      check_root(x, 2, "stale scratch, square root");
      for (int slot = 0; slot < DEC_SCRATCH_SLOTS; ++slot)
        for (int i = 0; i < DEC_BUF_WORDS; ++i) ScratchNums[slot][i] = 0x3DEF7BDE;
      check_root(x, 3, "stale scratch, cube root");
    }
  }
}

TEST(Roots, KnownValues) {
  struct Case {
    const char *x;
    const char *sqrt;
  };
  {
    Setting setting(40);
    Num out;
    const Case cases[] = {
        {"4", "2"},
        {"15241578750190521", "123456789"},
        {"0.000004", ".002"},
        {"0.01", ".1"},
        {"2", "1.414213562373095048801688724209698078570"},
        {"1000", "31.62277660168379331998893544432718533720"},
        {"0.2", ".4472135954999579392818347337462552470881"},
        {"0", "0"},
    };
    for (const Case &c : cases) {
      Num x(c.x);
      EXPECT_EQ(dec_sqrt(out, x), 0) << c.x;
      EXPECT_EQ(fntest::shown(out), fntest::shown_text(c.sqrt)) << "sqrt " << c.x;
    }
    const Case cube[] = {
        {"729", "9"},
        {"1881676371789154860897069", "123456789"},
        {"-27", "-3"},
        {"0.001", ".1"},
        {"2", "1.259921049894873164767210607278228350570"},
        {"0.01", ".2154434690031883721759293566519350495259"},
        {"0", "0"},
    };
    for (const Case &c : cube) {
      Num x(c.x);
      EXPECT_EQ(dec_cbrt(out, x), 0) << c.x;
      EXPECT_EQ(fntest::shown(out), fntest::shown_text(c.sqrt)) << "cbrt " << c.x;
    }
    Num minus_one("-1");
    EXPECT_EQ(dec_sqrt(out, minus_one), -1);
    EXPECT_EQ(dec_head(out), NUM_ERROR);
    Num err;
    dec_set_head(err, NUM_ERROR);
    EXPECT_EQ(dec_cbrt(out, err), -1);
    EXPECT_EQ(dec_head(out), NUM_ERROR);
    dec_set_head(err, NUM_OVERFLOW);
    EXPECT_EQ(dec_sqrt(out, err), -1);
    EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
    EXPECT_EQ(dec_sqrt(nullptr, minus_one), -1);
    // In place.
    Num two("2");
    dec_sqrt(two, two);
    EXPECT_EQ(fntest::shown(two), fntest::shown_text("1.414213562373095048801688724209698078570"));
  }
  {
    Setting setting(12);
    Num two("2"), out;
    dec_sqrt(out, two);
    EXPECT_EQ(fntest::bare(out), "1.414213562373095");  // 17 digits 1.4142135623730950, truncated
  }
  {
    Setting setting(92);
    std::string nines = "9." + std::string(90, '9') + "e999999999";
    Num x(nines.c_str()), out;
    EXPECT_EQ(dec_sqrt(out, x), 0);
    EXPECT_EQ(fntest::shown(out), "9." + std::string(90, '9') + "5e499999999");
  }
}

}  // namespace
