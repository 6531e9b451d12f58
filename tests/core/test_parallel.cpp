// The pool of two threads: both jobs of a pair run and end before run_two returns, the
// exceptions of either reach the caller, pairs inside a job run in turn, and the cancel
// flag stops a job on the helper.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "core/cancel.h"
#include "core/parallel.h"

namespace {

using Clock = std::chrono::steady_clock;

// Waits (at most a second) until the flag is set: a first job that lets the helper start.
void wait_for(const std::atomic<bool> &flag) {
  const auto until = Clock::now() + std::chrono::seconds(1);
  while (!flag.load() && Clock::now() < until) std::this_thread::yield();
}

struct Pair {
  std::atomic<bool> second_started{false}, second_done{false};
  std::atomic<int> second_slot{-1};
};

TEST(Parallel, BothJobsEndBeforeTheCallReturns) {
  ASSERT_TRUE(parallel_available());
  for (int round = 0; round < 200; ++round) {
    Pair p;
    run_two(
        [](void *a) { wait_for(((Pair *)a)->second_started); }, &p,
        [](void *a) {
          Pair &q = *(Pair *)a;
          q.second_slot = parallel_slot();
          q.second_started = true;
          std::this_thread::sleep_for(std::chrono::microseconds(50));
          q.second_done = true;
        },
        &p);
    ASSERT_TRUE(p.second_done.load()) << round;
    // On the helper (slot 1), or taken back by the caller when the helper was slow to wake.
    EXPECT_TRUE(p.second_slot == 0 || p.second_slot == 1);
  }
  EXPECT_EQ(parallel_slot(), 0);
}

TEST(Parallel, ExceptionsReachTheCallerAfterBothJobsStopped) {
  Pair p;
  // The first job throws once the second has started; the second still runs to its end
  // before the exception reaches the caller.
  EXPECT_THROW(run_two(
                   [](void *a) {
                     wait_for(((Pair *)a)->second_started);
                     throw std::runtime_error("first");
                   },
                   &p,
                   [](void *a) {
                     ((Pair *)a)->second_started = true;
                     std::this_thread::sleep_for(std::chrono::milliseconds(5));
                     ((Pair *)a)->second_done = true;
                   },
                   &p),
               std::runtime_error);
  EXPECT_TRUE(p.second_done);
  // The second job's exception (thrown on the helper once the first has let it start).
  Pair c;
  EXPECT_THROW(run_two([](void *a) { wait_for(((Pair *)a)->second_started); }, &c,
                       [](void *a) {
                         ((Pair *)a)->second_started = true;
                         throw_cancelled();
                       },
                       &c),
               CommandCancelled);
  // Both throw: the first job's exception wins.
  Pair b;
  try {
    run_two(
        [](void *a) {
          wait_for(((Pair *)a)->second_started);
          throw std::logic_error("first");
        },
        &b,
        [](void *a) {
          ((Pair *)a)->second_started = true;
          throw std::runtime_error("second");
        },
        &b);
    ADD_FAILURE() << "no exception";
  } catch (const std::logic_error &) {
  } catch (...) {
    ADD_FAILURE() << "the second job's exception";
  }
  // The pool is usable afterwards.
  std::atomic<int> ran{0};
  run_two([](void *a) { ++*(std::atomic<int> *)a; }, &ran, [](void *a) { ++*(std::atomic<int> *)a; }, &ran);
  EXPECT_EQ(ran, 2);
}

TEST(Parallel, PairsInsideAJobRunInTurn) {
  struct Nest {
    std::atomic<int> count{0};
    std::atomic<bool> helper_refused{true};
  } n;
  const auto inner = [](void *a) {
    Nest &m = *(Nest *)a;
    // The helper is busy with this pair's other job (or this is the helper): a nested pair
    // neither waits for it nor starts a third thread.
    if (run_two_if_free([](void *) {}, nullptr, [](void *) {}, nullptr)) m.helper_refused = false;
    run_two([](void *b) { ++((Nest *)b)->count; }, a, [](void *b) { ++((Nest *)b)->count; }, a);
  };
  for (int round = 0; round < 100; ++round) run_two(inner, &n, inner, &n);
  EXPECT_EQ(n.count, 400);
  // A job taken back by the caller frees the helper, so only the refusals on the helper
  // itself are certain: count them apart.
  std::atomic<int> refused_on_helper{0};
  for (int round = 0; round < 100; ++round) {
    std::atomic<bool> started{false};
    struct Ctx {
      std::atomic<bool> *started;
      std::atomic<int> *refused;
    } c{&started, &refused_on_helper};
    run_two([](void *a) { wait_for(*((Ctx *)a)->started); }, &c,
            [](void *a) {
              Ctx &x = *(Ctx *)a;
              if (parallel_slot() == 1 && !run_two_if_free([](void *) {}, nullptr, [](void *) {}, nullptr))
                ++*x.refused;
              if (parallel_slot() == 1 && parallel_idle()) ADD_FAILURE() << "idle seen from the helper";
              *x.started = true;
            },
            &c);
  }
  EXPECT_GT(refused_on_helper, 0);
}

TEST(Parallel, CancelStopsAJobOnTheHelper) {
  cancel_reset();
  struct Spin {
    std::atomic<bool> started{false};
    std::atomic<long> polls{0};  // of the second job before it stopped
  } s;
  const auto start = Clock::now();
  EXPECT_THROW(run_two(
                   [](void *a) {
                     Spin &x = *(Spin *)a;
                     wait_for(x.started);
                     cancel_requested = true;
                     for (;;) cancel_check();
                   },
                   &s,
                   [](void *a) {
                     Spin &x = *(Spin *)a;
                     x.started = true;
                     for (;; ++x.polls) cancel_check();  // ends only by the flag
                   },
                   &s),
               CommandCancelled);
  cancel_reset();
  EXPECT_TRUE(s.started);  // the second job ran, and only the flag could end it
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(30));
}

TEST(Parallel, DisabledPairsRunInTurnOnTheCaller) {
  parallel_set_enabled(false);
  std::atomic<int> slots{0};
  EXPECT_FALSE(parallel_idle());
  EXPECT_FALSE(run_two_if_free([](void *) {}, nullptr, [](void *) {}, nullptr));
  run_two([](void *a) { *(std::atomic<int> *)a += 1 + parallel_slot(); }, &slots,
          [](void *a) { *(std::atomic<int> *)a += 1 + parallel_slot(); }, &slots);
  parallel_set_enabled(true);
  EXPECT_EQ(slots, 2);
}

}  // namespace
