// Forks of the exact mode: two independent computations on the pool's two threads
// (core/parallel.h), each on its own arena stack (exact/arena.h).
//
// fork_join(left, right, results) runs left() on this thread and right() on the helper thread
// when the helper is free (both in turn here otherwise), and returns when both have ended.
// right() allocates on the helper's stack; the numbers it assigns and `results` names are
// copied onto this thread's stack before fork_join returns, so afterwards they behave as if
// right() had run here. Rules for the two halves:
// - they only read numbers that existed before the fork, and touch no shared state (no
//   caches of constants, no failure flags, no progress figures): pure big-integer work;
// - their exceptions reach the caller (core/parallel.h); a right half that runs out of the
//   helper's stack is run again here, on this thread's larger stack.
// Forks nest: inside a half the helper is busy, so a nested fork runs in turn, until the
// helper has finished its half, after which a nested fork on this thread may take it again.
#pragma once

#include <algorithm>
#include <atomic>
#include <initializer_list>

#include "core/parallel.h"
#include "exact/arena.h"
#include "exact/nat.h"

namespace exact {

template <class Left, class Right>
void fork_join(const Left &left, const Right &right, std::initializer_list<Nat *> results) {
  if (!parallel_idle()) {
    left();
    right();
    return;
  }
  struct Halves {
    const Left *left;
    const Right *right;
    bool handed, on_helper, out_of_memory;
  } h{&left, &right, false, false, false};
  const auto run_left = [](void *p) {
    Halves &h = *(Halves *)p;
    h.handed = true;  // the helper is claimed: the mark below is this fork's
    (*h.left)();
  };
  const auto run_right = [](void *p) {
    Halves &h = *(Halves *)p;
    if (parallel_slot() == 0) {  // taken back by the caller before the helper started it
      (*h.right)();
      return;
    }
    h.on_helper = true;
    HelperStack bind;
    try {
      (*h.right)();
    } catch (const ExactOutOfMemory &) {
      h.out_of_memory = true;
    }
  };
  // The helper's stack above this mark holds right()'s results until they are adopted.
  // (Read after the helper was seen free, so its last job's writes are visible; given back
  // only if this fork did claim the helper.)
  struct Release {
    size_t mark;
    const bool &handed;
    ~Release() {
      if (handed) arena_helper_release(mark);
    }
  } release{arena_helper_mark(), h.handed};
  if (!run_two_if_free(run_left, &h, run_right, &h)) {
    left();
    right();
    return;
  }
  if (h.out_of_memory) {
    right();
    return;
  }
  if (h.on_helper) arena_adopt(results);
}

// Items handed out one at a time to whichever half of a fork asks first: both halves loop
// on take() until it returns −1, so the one that finishes its items early takes more. The
// order given (the largest first) keeps the last items, and so the wait of one half for
// the other at the join, short.
class WorkQueue {
 public:
  WorkQueue(const int *order, int n) : order_(order), n_(n) {}
  int take() {
    const int k = next_.fetch_add(1, std::memory_order_relaxed);
    return k < n_ ? order_[k] : -1;
  }

 private:
  const int *order_;
  int n_;
  std::atomic<int> next_{0};
};

// order[0 .. n) = 0 .. n − 1 by decreasing cost(i) (ties in index order).
template <class Cost>
void order_by_cost(int n, const Cost &cost, int *order) {
  for (int i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order, order + n, [&](int x, int y) { return cost(x) > cost(y); });
}

}  // namespace exact
