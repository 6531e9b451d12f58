// The exact mode on two threads: fork_join's halves, their results and the helper's stack;
// and every function giving the same digits on one thread and on two, on both sides of the
// sizes from which work is shared (pieces from 60 limbs, split nodes from 4,096 limb-terms,
// transforms from 4,096 terms). MPFR checks the digits themselves (test_exp_log, test_trig,
// the slow samples).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "core/cancel.h"
#include "core/parallel.h"
#include "exact/exact.h"
#include "exact/parallel.h"
#include "tests/exact/mpfr_oracle.h"
#include "tests/exact/nat_oracle.h"

using namespace exact;
using exact_test::random_nat;
using exact_test::to_mpz;

namespace {

TEST(ExactFork, ResultsOfBothHalvesSurviveTheNextFork) {
  std::mt19937_64 rng(28);
  for (int round = 0; round < 50; ++round) {
    arena_reset();
    const Nat a = random_nat(rng, 300), b = random_nat(rng, 200);
    Nat l, r;
    fork_join([&] { l = nat_mul(a, b); }, [&] { r = nat_sqr(b); }, {&r});
    EXPECT_EQ(arena_helper_mark(), 0u);
    // A second fork whose right half fills the helper's stack with other limbs.
    Nat l2, r2;
    fork_join([&] { l2 = nat_add(a, b); },
              [&] {
                uint32_t *junk = arena_alloc(4000);
                std::memset(junk, 0x5a, 4000 * sizeof(uint32_t));
                r2 = nat_mul(b, b);
              },
              {&r2});
    ASSERT_EQ(to_mpz(l), to_mpz(a) * to_mpz(b)) << round;
    ASSERT_EQ(to_mpz(r), to_mpz(b) * to_mpz(b)) << round;
    ASSERT_EQ(to_mpz(r2), to_mpz(b) * to_mpz(b)) << round;
  }
  arena_reset();
}

TEST(ExactFork, NestedForksAndAnExhaustedHelperStack) {
  std::mt19937_64 rng(29);
  arena_reset();
  const Nat a = random_nat(rng, 400);
  Nat p[4];
  const auto quarter = [&](int i) { p[i] = nat_mul_small(nat_sqr(a), (uint32_t)i + 2); };
  fork_join([&] { fork_join([&] { quarter(0); }, [&] { quarter(1); }, {&p[1]}); },
            [&] { fork_join([&] { quarter(2); }, [&] { quarter(3); }, {&p[3]}); }, {&p[2], &p[3]});
  for (int i = 0; i < 4; ++i) EXPECT_EQ(to_mpz(p[i]), to_mpz(a) * to_mpz(a) * (i + 2)) << i;
  // A right half that needs more than the helper's stack runs again here (the left half
  // waits until the right one has started, so that the helper takes it).
  Nat big;
  std::atomic<bool> started{false};
  fork_join(
      [&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (!started && std::chrono::steady_clock::now() < until) std::this_thread::yield();
      },
      [&] {
        started = true;
        arena_alloc(ARENA_HELPER_WORDS + 2);
        big = nat_sqr(a);
      },
      {&big});
  EXPECT_EQ(to_mpz(big), to_mpz(a) * to_mpz(a));
  EXPECT_EQ(arena_helper_mark(), 0u);
  arena_reset();
}

TEST(ExactFork, ExceptionsOfEitherHalfLeaveTheArenaUsable) {
  std::mt19937_64 rng(30);
  arena_reset();
  const Nat a = random_nat(rng, 500);
  const size_t top = arena_top();
  for (int side = 0; side < 2; ++side) {
    try {
      Frame f;
      Nat l, r;
      fork_join(
          [&] {
            l = nat_sqr(a);
            if (side == 0) throw_cancelled();
          },
          [&] {
            r = nat_sqr(a);
            if (side == 1) throw_cancelled();
          },
          {&r});
      ADD_FAILURE() << "no exception";
    } catch (const CommandCancelled &) {
    }
    EXPECT_EQ(arena_top(), top);
    EXPECT_EQ(arena_helper_mark(), 0u);
  }
  // Out of the command's stack in the left half: the error of the whole command.
  EXPECT_THROW(fork_join([&] { arena_alloc(ARENA_WORDS); }, [&] {}, {}), ExactOutOfMemory);
  Nat l, r;
  fork_join([&] { l = nat_sqr(a); }, [&] { r = nat_sqr(a); }, {&r});
  EXPECT_EQ(to_mpz(r), to_mpz(l));
  arena_reset();
}

using Unary = int (*)(DecWord *, const DecWord *);

struct Fn {
  const char *name;
  Unary f;
  int emin, emax;  // the argument's decimal exponents
};

const Fn FNS[] = {
    {"exp", exact_exp, -2, 1},     {"exp10", exact_exp10, -2, 1}, {"ln", exact_ln, -3, 5},
    {"log10", exact_log10, -3, 5}, {"sinh", exact_sinh, -2, 1},   {"cosh", exact_cosh, -2, 1},
    {"tanh", exact_tanh, -2, 0},   {"asinh", exact_asinh, -2, 3}, {"acosh", exact_acosh, 0, 3},
    {"atanh", exact_atanh, -2, -1}, {"sin", exact_sin, -2, 3},    {"cos", exact_cos, -2, 3},
    {"tan", exact_tan, -2, 3},     {"asin", exact_asin, -2, -1},  {"acos", exact_acos, -2, -1},
    {"atan", exact_atan, -2, 3},   {"sqrt", exact_sqrt, -3, 5},   {"cbrt", exact_cbrt, -3, 5},
};

TEST(ExactParallel, OneThreadAndTwoGiveTheSameDigits) {
  std::mt19937_64 rng(31);
  exact_radian_mode = 1;
  for (int digits : {300, 400, 1000, 10000}) {
    dec_set_precision(digits);
    for (const Fn &fn : FNS) {
      exact_test::Num x, one, two;
      exact_test::random_number(x, rng, internal_digits - 1, fn.emin, fn.emax, false);
      parallel_set_enabled(false);
      fn.f(one, x);
      parallel_set_enabled(true);
      fn.f(two, x);
      ASSERT_EQ(exact_test::digits_of(one), exact_test::digits_of(two))
          << fn.name << " at " << digits << " digits of " << exact_test::digits_of(x);
    }
  }
}

}  // namespace
