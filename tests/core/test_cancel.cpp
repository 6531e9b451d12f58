// The cancellation path: a long operation started with the flag raised unwinds at once,
// leaving the operands' head words as they were.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core_test_util.h"

using testutil::Num;

TEST(Cancel, FullLengthMultiplicationUnwindsAtOnce) {
  ASSERT_EQ(dec_set_precision(100000), 0);
  std::mt19937_64 rng(5);
  Num a, b, out;
  testutil::random_number(a, rng, internal_digits - 1, 3, 0);
  testutil::random_number(b, rng, internal_digits - 1, -4, 1);
  Num a0(a), b0(b);
  cancel_requested = true;
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(dec_mul(out, a, b), CommandCancelled);
  EXPECT_THROW(dec_div(out, a, b), CommandCancelled);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start).count();
  cancel_reset();
  EXPECT_LT(ms, 1000);  // generous: the point is that no full product was computed
  EXPECT_TRUE(testutil::same_words(a, a0));
  EXPECT_TRUE(testutil::same_words(b, b0));
}

TEST(Cancel, RaisedFromAnotherThreadDuringAProduct) {
  ASSERT_EQ(dec_set_precision(100000), 0);
  std::mt19937_64 rng(6);
  Num a, b, out;
  testutil::random_number(a, rng, internal_digits - 1, 0, 0);
  testutil::random_number(b, rng, internal_digits - 1, 0, 0);
  Num a0(a);
  cancel_reset();
  std::thread stopper([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    cancel_requested = true;
  });
  bool cancelled = false;
  fast_kernels = 0;  // the digit-by-digit product takes long enough to be stopped midway
  try {
    dec_mul(out, a, b);
  } catch (CommandCancelled &) {
    cancelled = true;
  }
  fast_kernels = 1;
  stopper.join();
  cancel_reset();
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(testutil::same_words(a, a0));
}

// The outermost long loop owns the progress figures; loops inside it stay silent, and a
// cancellation unwinding through them gives the nesting back.
TEST(Progress, OutermostLoopPublishes) {
  cancel_reset();
  {
    ProgressLoop outer;
    outer.set(3, 10);
    {
      ProgressLoop inner;
      inner.set(500, 1000);
      EXPECT_EQ(progress_pos.load(), 3);
      EXPECT_EQ(progress_len.load(), 10);
    }
    outer.set(4, 10);
    EXPECT_EQ(progress_pos.load(), 4);
    try {
      ProgressLoop inner;
      throw_cancelled();
    } catch (const CommandCancelled &) {
    }
  }
  EXPECT_EQ(progress_depth, 0);
  ProgressLoop next;
  next.set(1, 2);
  EXPECT_EQ(progress_len.load(), 2);
}
