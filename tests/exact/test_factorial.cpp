// The exact mode's factorial against MPFR's, far more precise.
#include <gtest/gtest.h>

#include "core/cancel.h"
#include "exact/exact.h"
#include "tests/exact/mpfr_oracle.h"

using exact_test::digits_of;
using exact_test::Num;

TEST(ExactFactorial, AgreesWithMpfrOnExactAndTruncatedProducts) {
  static Num y, out;
  mpfr_t v;
  for (int digits : {12, 13, 30, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    mpfr_init2(v, exact_test::oracle_bits());
    for (unsigned long n : {0ul, 1ul, 5ul, 20ul, 21ul, 25ul, 170ul, 1000ul, 3000ul, 12345ul, 100000ul}) {
      dec_from_text(y, (std::to_string(n) + ".75").c_str());  // the integer part counts
      exact_factorial(out, y);
      mpfr_fac_ui(v, n, MPFR_RNDN);
      EXPECT_EQ(digits_of(out), digits_of(v)) << n << "! at " << digits;
    }
    mpfr_clear(v);
  }
  const char *markers[][2] = {{"-1", "ERROR"}, {"1e20", "OVERFLOW"}, {"200000000", "OVERFLOW"}};
  for (auto &m : markers) {
    dec_from_text(y, m[0]);
    exact_factorial(out, y);
    EXPECT_EQ(digits_of(out), m[1]) << m[0];
  }
}

TEST(ExactFactorial, PublishesItsProgress) {
  // The status line shows the share of the digits of n! done; the truncated tree, whose
  // work follows that share, also marks when its work started (for the time left).
  static Num y, out;
  ASSERT_EQ(dec_set_precision(100), 0);
  for (const char *n : {"200000", "400"}) {  // truncated, exact (869 digits)
    cancel_reset();
    dec_from_text(y, n);
    exact_factorial(out, y);
    EXPECT_EQ(progress_len.load(), 1000000) << n;
    EXPECT_EQ(progress_pos.load(), 1000000) << n;  // the last leaf ends at n
    EXPECT_EQ(progress_work_since.load() != 0, n[0] == '2') << n;
  }
  cancel_reset();
}
