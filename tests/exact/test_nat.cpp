// The exact mode's big-integer kernels against GMP, over lengths on both sides of every
// threshold (schoolbook / Karatsuba / transform products, schoolbook / Newton quotients, transform
// pieces) and structured operands.
#include <gtest/gtest.h>

#include "exact/nat.h"
#include "tests/exact/nat_oracle.h"

using namespace exact;
using exact_test::from_mpz;
using exact_test::random_nat;
using exact_test::to_mpz;

namespace {

// 8, 9, 24, 25: the scalar small products' limits; 20, 21: schoolbook quotients and longer;
// 64, 65: one chunk and two; 699 and 703 (times a second factor, divided by it): quotients
// of about 700 and 704 limbs, in chunks and by a Newton reciprocal;
// 517 × 1031 and 1031 × 2048: transforms of 2,048 terms on one thread and of 4,096 on two.
const int LENGTHS[] = {1,   2,   3,   7,   8,   9,   20,  21,   24,   25,   40,  41,
                       64,  65,  100, 159, 161, 333, 517, 699, 703, 1031, 2048, 4100, 17000};

TEST(ExactNat, ProductsQuotientsAndRootsAgreeWithGmp) {
  std::mt19937_64 rng(20261207);
  for (int la : LENGTHS)
    for (int lb : LENGTHS) {
      if ((int64_t)la * lb > 4100 * 4100 && la != lb) continue;
      arena_reset();
      Nat a = random_nat(rng, la), b = random_nat(rng, lb);
      const mpz_class A = to_mpz(a), B = to_mpz(b);
      SCOPED_TRACE(testing::Message() << "la " << la << " lb " << lb);
      ASSERT_EQ(to_mpz(nat_mul(a, b)), A * B);
      if (la == lb) {
        ASSERT_EQ(to_mpz(nat_sqr(a)), A * A);
      }
      Nat q, r;
      Nat big = nat_mul(a, nat_add_small(b, 1));
      const mpz_class Big = to_mpz(big);
      nat_divmod(big, b, &q, &r);
      ASSERT_EQ(to_mpz(q), Big / B);
      ASSERT_EQ(to_mpz(r), Big % B);
      nat_divmod(a, b, &q, &r);
      ASSERT_EQ(to_mpz(q), A / B);
      ASSERT_EQ(to_mpz(r), A % B);
    }
}

TEST(ExactNat, QuotientsJustBelowAnIntegerInEveryChunk) {
  // b all nines and a = (Q + 1) b − 1 with Q's lower limbs all nines: each chunk's true
  // quotient lies a hair below the next integer, where a short reciprocal of b's top
  // (which b's dropped nines make too large) overshoots it.
  std::mt19937_64 rng(17);
  for (int lb : {21, 40, 170, 500})
    for (int k : {22, 64, 65, 130, 200, 699, 703}) {
      arena_reset();
      Nat b = nat_alloc(lb), Q = random_nat(rng, k);
      for (int i = 0; i < lb; ++i) b.d[i] = BASE - 1;
      for (int i = 0; i + 1 < k; ++i) Q.d[i] = BASE - 1;
      const Nat a = nat_sub_small(nat_mul(nat_add_small(Q, 1), b), 1);
      Nat q, r;
      nat_divmod(a, b, &q, &r);
      EXPECT_EQ(to_mpz(q), to_mpz(Q)) << lb << " " << k;
      EXPECT_EQ(to_mpz(r), to_mpz(b) - 1) << lb << " " << k;
    }
  arena_reset();
}

TEST(ExactNat, RootsAgreeWithGmpIncludingPerfectPowers) {
  std::mt19937_64 rng(7);
  for (int la : LENGTHS) {
    arena_reset();
    Nat a = random_nat(rng, la);
    const mpz_class A = to_mpz(a);
    SCOPED_TRACE(testing::Message() << "la " << la);
    mpz_class s, rem, c;
    mpz_sqrtrem(s.get_mpz_t(), rem.get_mpz_t(), A.get_mpz_t());
    Nat nr;
    ASSERT_EQ(to_mpz(nat_sqrt(a, &nr)), s);
    ASSERT_EQ(to_mpz(nr), rem);
    // A perfect square and one below it.
    Nat sq = nat_sqr(a);
    ASSERT_EQ(to_mpz(nat_sqrt(sq)), A);
    ASSERT_EQ(to_mpz(nat_sqrt(nat_sub_small(sq, 1))), A - 1);
    mpz_root(c.get_mpz_t(), A.get_mpz_t(), 3);
    ASSERT_EQ(to_mpz(nat_cbrt(a)), c);
    if (la <= 2048) {
      Nat cube = nat_mul(sq, a);
      ASSERT_EQ(to_mpz(nat_cbrt(cube)), A);
      ASSERT_EQ(to_mpz(nat_cbrt(nat_sub_small(cube, 1))), A - 1);
    }
    for (unsigned k : {5u, 12u, 1000u}) {
      mpz_root(c.get_mpz_t(), A.get_mpz_t(), k);
      ASSERT_EQ(to_mpz(nat_root(a, k)), c) << "k " << k;
    }
  }
}

TEST(ExactNat, KaratsubaColumnsHoldAtTheLargestLimbs) {
  // Every limb 999,999: the uncarried half sums are largest at the deepest Karatsuba levels.
  for (int n : {160, 321, 700, 1100}) {
    arena_reset();
    Nat a = nat_alloc(n);
    for (int i = 0; i < n; ++i) a.d[i] = BASE - 1;
    Nat b = nat_sub_small(a, 1);
    const mpz_class A = to_mpz(a);
    EXPECT_EQ(to_mpz(nat_sqr(a)), A * A) << n;
    EXPECT_EQ(to_mpz(nat_mul(a, b)), A * to_mpz(b)) << n;
    EXPECT_EQ(to_mpz(nat_mul(a, nat_low_limbs(b, n / 3 + 160))), A * to_mpz(nat_low_limbs(b, n / 3 + 160))) << n;
  }
  arena_reset();
}

TEST(ExactNat, ProductTopsStayWithinTheirBound) {
  // 0 ≤ a b / BASE^from − top < 2 min(a.n, b.n) BASE, on both sides of the partial
  // schoolbook's limit.
  std::mt19937_64 rng(11);
  const mpz_class B = exact::BASE;
  for (int la : {9, 150, 300, 301, 520})
    for (int lb : {9, 173, 300}) {
      arena_reset();
      Nat a = random_nat(rng, la), b = random_nat(rng, lb);
      const mpz_class AB = to_mpz(a) * to_mpz(b);
      for (int from : {1, la / 2, la + lb - 8, la + lb - 2, la + lb + 3}) {
        mpz_class scale, floor_;
        mpz_pow_ui(scale.get_mpz_t(), B.get_mpz_t(), (unsigned long)from);
        floor_ = AB / scale;
        const mpz_class gap = floor_ - to_mpz(nat_mul_top(a, b, from));
        EXPECT_TRUE(gap >= 0 && gap < 2 * std::min(a.n, b.n) * B) << la << " " << lb << " " << from;
      }
    }
  arena_reset();
}

TEST(ExactNat, LongProductsRunInTransformPieces) {
  // 300,000 and 40,000 limbs: longer than one transform, so the pieces path runs.
  std::mt19937_64 rng(3);
  arena_reset();
  Nat a = random_nat(rng, 300000), b = random_nat(rng, 40000);
  EXPECT_EQ(to_mpz(nat_mul(a, b)), to_mpz(a) * to_mpz(b));
  arena_reset();
}

TEST(ExactNat, PowersOfTenAndSignedFloors) {
  arena_reset();
  std::mt19937_64 rng(11);
  Nat a = random_nat(rng, 9);
  const mpz_class A = to_mpz(a);
  for (int k : {0, 1, 5, 6, 7, 13, 60}) {
    mpz_class p10;
    mpz_ui_pow_ui(p10.get_mpz_t(), 10, k);
    EXPECT_EQ(to_mpz(nat_mul_pow10(a, k)), A * p10) << k;
    EXPECT_EQ(to_mpz(nat_div_pow10(a, k)), A / p10) << k;
  }
  EXPECT_EQ(nat_trailing_zero_digits(from_mpz(mpz_class("123000000000"))), 9);
  Int m = int_from(from_mpz(mpz_class("5000001")), true);
  EXPECT_EQ(to_mpz(int_shift_floor(m, -1).m), 6);  // floor(−5.000001) = −6
  EXPECT_TRUE(int_shift_floor(m, -1).neg);
  Int d = int_div_floor(int_from(from_mpz(mpz_class(7)), true), from_mpz(mpz_class(2)));
  EXPECT_EQ(to_mpz(d.m), 4);
  EXPECT_TRUE(d.neg);
  arena_reset();
}

}  // namespace
