// The functions give the same words with the fast kernels (transform products, the fast
// starts of long and short division) as with the digit kernels alone: the fast kernels
// must reproduce every truncation of the reference arithmetic, guard digits included.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/core.h"
#include "core/core_test_util.h"
#include "functions/functions.h"

namespace {

using testutil::Num;
using Unary = int (*)(DecWord *, const DecWord *);

struct Fn {
  const char *name;
  Unary f;
  bool unit_domain;  // the argument must lie in (−1, 1)
};

const Fn FUNCTIONS[] = {
    {"exp", dec_exp, false},   {"ln", dec_ln, false},     {"sin", dec_sin, false},
    {"tan", dec_tan, false},   {"asin", dec_asin, true},  {"atan", dec_atan, false},
    {"sinh", dec_sinh, false}, {"atanh", dec_atanh, true}, {"exp10", dec_exp10, false},
};

void both_ways(const Fn &fn, DecWord *x, int digits, int trial) {
  Num fast, reference;
  fast_kernels = 1;
  const int sf = fn.f(fast, x);
  fast_kernels = 0;
  const int sr = fn.f(reference, x);
  fast_kernels = 1;
  ASSERT_EQ(sf, sr) << fn.name;
  ASSERT_TRUE(testutil::same_words(fast, reference))
      << fn.name << " at " << digits << " digits, trial " << trial << ", x = " << testutil::bare(x)
      << "\n fast " << testutil::bare(fast) << "\n ref  " << testutil::bare(reference);
}

}  // namespace

TEST(FastKernels, FunctionsGiveTheReferenceWords) {
  std::mt19937_64 rng(5772);
  for (int digits : {150, 700, 3100}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    radian_mode = 1;
    const int trials = digits < 3000 ? 2 : 1;
    for (const Fn &fn : FUNCTIONS) {
      if (digits > 3000 && fn.f != dec_sin) continue;  // transform products: one is enough
      for (int t = 0; t < trials; ++t) {
        Num x;
        // A full-length argument in (0.1, 1) or (1, 10), as the series meet them.
        testutil::random_number(x, rng, internal_digits - 1, fn.unit_domain ? -1 : (int32_t)(rng() % 2) - 1, 0);
        if (fn.f == dec_ln || !fn.unit_domain) dec_set_head(x, dec_head(x) & ~1);
        both_ways(fn, x, digits, t);
      }
    }
  }
  radian_mode = 0;
}
