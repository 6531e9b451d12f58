// The exact mode's long samples (CTest label slow): the exp/ln/hyperbolic family against
// MPFR at 10,000 and 100,000 digits.
#include "tests/exact/exp_log_cases.h"

namespace {

TEST(ExactExpLogSlow, RandomArgumentsAt10000Digits) { exact_test::check_random(10000, 3, 10); }

TEST(ExactExpLogSlow, RandomArgumentsAt100000Digits) { exact_test::check_random(100000, 1, 11); }

}  // namespace
