// The exact mode's working memory: one block reserved for the process, used as stacks.
//
// Every big number of the exact mode lives in this block. A Frame marks the top when it
// opens and gives back everything allocated after it when it closes (also when a
// cancellation unwinds through it); keep() moves chosen results down to the frame's base
// first, so a routine can return them and drop its temporaries. The block is mapped
// whole at the first use of the process (so a run that never uses the exact mode never
// maps it) and kept: a command never fails halfway for want of memory from the system.
// When the block cannot be mapped, or a stack is exhausted, the command ends with
// ExactOutOfMemory, which the engine reports as an error.
//
// Two stacks, one thread each
// ---------------------------
// The block holds the command's stack (ARENA_WORDS − ARENA_HELPER_WORDS) and the helper's
// stack (ARENA_HELPER_WORDS). Each thread allocates on the stack it is bound to (a thread-local
// binding; every thread starts bound to the command's stack):
// - the command's stack is used by the thread that runs the command, and by no other;
// - the helper's stack is used by the job that a fork (exact/parallel.h) hands to the
//   pool's helper thread, bound for that job only (HelperStack). The pool runs one job at a
//   time on its helper, so the helper's stack has one user at a time. A job's results stay
//   on it until the forking thread has copied them onto its own stack (arena_adopt) and
//   given the space back (arena_helper_release); a fork made inside the forking thread's
//   own half meanwhile (the helper having finished early) stacks its job above them, and
//   is joined first. Forks are therefore nested like frames, and the helper's stack is
//   empty when no fork is open.
// - A forked job reads only numbers allocated before the fork, which the forking thread
//   neither changes nor moves until the join (Frame::keep moves only a frame's own, newer
//   numbers).
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace exact {

// 14 million words (56 MiB), touched only as far as a command uses it: enough for every
// operation at 100,000 digits and for π to the radian-reduction limit. The helper's stack
// takes ARENA_HELPER_WORDS of them at the block's end, the command's stack the rest.
constexpr size_t ARENA_WORDS = 14u << 20;
// The helper's stack: 2 million words (8 MiB), more than the half of a split at 100,000
// digits needs. A forked job that exhausts it is run again by the forking thread.
constexpr size_t ARENA_HELPER_WORDS = 2u << 20;

struct ExactOutOfMemory {};

// A run of `words` 32-bit words, 8-byte aligned, on this thread's stack; throws
// ExactOutOfMemory when they do not fit.
uint32_t *arena_alloc(size_t words);
size_t arena_top();
void arena_set_top(size_t top);
size_t arena_peak();  // the highest top of the command's stack since the last arena_reset
void arena_reset();   // empties the command's stack (start of a command)

struct Nat;
struct Int;

class Frame {
 public:
  Frame() : base_(arena_top()) {}
  ~Frame() { arena_set_top(base_); }
  Frame(const Frame &) = delete;
  Frame &operator=(const Frame &) = delete;
  // Moves the limbs of the given numbers that were allocated in this frame down to its
  // base, in address order, and makes them survive the frame (they belong to the
  // enclosing one). Numbers allocated before the frame are left where they are.
  void keep(std::initializer_list<Nat *> nats);
  void keep(std::initializer_list<Int *> ints);

 private:
  size_t base_;
};

// Binds this thread to the helper's stack for the binding's life (one forked job; see
// above); the previous binding returns when it ends.
class HelperStack {
 public:
  HelperStack();
  ~HelperStack();
  HelperStack(const HelperStack &) = delete;
  HelperStack &operator=(const HelperStack &) = delete;

 private:
  void *previous_;
};

// The helper's stack top before a fork's job, and the release of everything above it once
// the job's results have been adopted.
size_t arena_helper_mark();
void arena_helper_release(size_t mark);
// Copies the limbs of the given numbers that lie on the helper's stack onto this thread's
// stack top (a forked job's results, after the job has ended) and points them there.
void arena_adopt(std::initializer_list<Nat *> nats);

}  // namespace exact
