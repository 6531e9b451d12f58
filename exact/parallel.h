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
    bool on_helper, out_of_memory;
  } h{&left, &right, false, false};
  const auto run_left = [](void *p) { (*((Halves *)p)->left)(); };
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
  struct Release {
    size_t mark;
    ~Release() { arena_helper_release(mark); }
  } release{arena_helper_mark()};
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

// Shares n ≤ 64 items between the two halves of a fork by their estimated costs: the
// larger first, each to the lighter side. The indices go to a[0 .. *na) and b[0 .. *nb).
template <class Cost>
void share_by_cost(int n, const Cost &cost, int *a, int *na, int *b, int *nb) {
  int order[64];
  for (int i = 0; i < n; ++i) order[i] = i;
  std::stable_sort(order, order + n, [&](int x, int y) { return cost(x) > cost(y); });
  double ca = 0, cb = 0;
  *na = *nb = 0;
  for (int k = 0; k < n; ++k) {
    const int i = order[k];
    if (ca <= cb) {
      a[(*na)++] = i;
      ca += cost(i);
    } else {
      b[(*nb)++] = i;
      cb += cost(i);
    }
  }
}

}  // namespace exact
