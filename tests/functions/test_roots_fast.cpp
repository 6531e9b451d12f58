// The Newton roots against the digit-by-digit extraction: identical words for random
// arguments of every length and exponent parity, and for exact powers and their
// neighbours, where a proposal's correction has to cross a whole root.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "functions/fn_internal.h"
#include "functions/roots_fast.h"

namespace {

struct Buf {
  std::vector<DecWord> w = std::vector<DecWord>(DEC_BUF_WORDS, 0);
  DecWord *p() { return w.data(); }
};

void random_arg(DecWord *p, std::mt19937_64 &rng, int digits, int32_t exponent) {
  for (int i = 0; i <= word_count; ++i) p[i] = 0;
  for (int k = 1; k <= digits; ++k)
    dec_put_digit(p, k, (int)(k == 1 || k == digits ? 1 + rng() % 9 : (rng() % 3 ? rng() % 10 : 9)));
  dec_set_head(p, exponent * 2);
}

void both_ways(int (*root)(DecWord *, const DecWord *), DecWord *x, const char *what, int t) {
  Buf fast, ref;
  fast_kernels = 1;
  root(fast.p(), x);
  fast_kernels = 0;
  root(ref.p(), x);
  fast_kernels = 1;
  for (int i = 0; i <= word_count; ++i)
    ASSERT_EQ(fast.w[i], ref.w[i]) << what << " trial " << t << " word " << i << " digits " << sig_digits;
}

}  // namespace

TEST(RootsFast, RandomArgumentsMatchTheExtraction) {
  std::mt19937_64 rng(1618);
  for (int digits : {230, 240, 300, 1000, 3000, 10000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    ASSERT_GE(word_count, ROOT_FAST_MIN_WORDS);
    const int trials = digits <= 300 ? 60 : digits <= 1000 ? 20 : digits <= 3000 ? 3 : 1;
    for (int t = 0; t < trials; ++t) {
      Buf x;
      int len = 1 + (int)(rng() % (internal_digits - 1));
      random_arg(x.p(), rng, len, (int32_t)(rng() % 41) - 20);
      both_ways(dec_sqrt, x.p(), "sqrt", t);
      if (rng() & 1) x.p()[0] |= 1;  // the cube root keeps the sign
      both_ways(dec_cbrt, x.p(), "cbrt", t);
    }
  }
}

TEST(RootsFast, ExactPowersAndTheirNeighbours) {
  std::mt19937_64 rng(2024);
  ASSERT_EQ(dec_set_precision(600), 0);
  for (int t = 0; t < 20; ++t) {
    Buf r, sq, cube, x, tiny;
    random_arg(r.p(), rng, 1 + (int)(rng() % 150), 0);
    dec_mul(sq.p(), r.p(), r.p());
    dec_mul(cube.p(), sq.p(), r.p());
    both_ways(dec_sqrt, sq.p(), "exact square", t);
    both_ways(dec_cbrt, cube.p(), "exact cube", t);
    dec_set_int(tiny.p(), 1, dec_exponent(sq.p()) - (internal_digits - 2));
    dec_sub(x.p(), sq.p(), tiny.p());
    both_ways(dec_sqrt, x.p(), "below a square", t);
    dec_add(x.p(), sq.p(), tiny.p());
    both_ways(dec_sqrt, x.p(), "above a square", t);
    dec_set_int(tiny.p(), 1, dec_exponent(cube.p()) - (internal_digits - 2));
    dec_sub(x.p(), cube.p(), tiny.p());
    both_ways(dec_cbrt, x.p(), "below a cube", t);
  }
  // All nines and a one followed by zeros, at both parities of the exponent.
  for (int32_t e : {0, 1, 2, -1, -2, 999999999, -999999999}) {
    Buf n9, one;
    for (int k = 1; k < internal_digits; ++k) dec_put_digit(n9.p(), k, 9);
    dec_set_head(n9.p(), e * 2);
    dec_put_digit(one.p(), 1, 1);
    dec_set_head(one.p(), e * 2);
    both_ways(dec_sqrt, n9.p(), "nines", e);
    both_ways(dec_cbrt, n9.p(), "nines", e);
    both_ways(dec_sqrt, one.p(), "power of ten", e);
    both_ways(dec_cbrt, one.p(), "power of ten", e);
  }
}
