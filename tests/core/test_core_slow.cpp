// Long sweeps of the differential tests at 10,000 digits.
#include "differential.h"

TEST(DifferentialSlow, AddSubMulAt10000Digits) {
  differential::add_sub_mul(10000, 12, differential::test_seed() + 10);
}

TEST(DifferentialSlow, DivAt10000Digits) { differential::div(10000, 6, 11); }

TEST(DifferentialSlow, DivModAt10000Digits) { differential::divmod(10000, 6, 12); }
