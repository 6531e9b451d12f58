// The exact mode's working memory: one block reserved for the process, used as a stack.
//
// Every big number of the exact mode lives in this block. A Frame marks the top when it
// opens and gives back everything allocated after it when it closes (also when a
// cancellation unwinds through it); keep() moves chosen results down to the frame's base
// first, so a routine can return them and drop its temporaries. The block is reserved
// whole at the first allocation of the process (so a run that never uses the exact mode
// never maps it) and kept: a command never fails halfway for want of memory from the
// system. When the block cannot be reserved, or is exhausted, the command ends with
// ExactOutOfMemory, which the engine reports as an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace exact {

// 14 million words (56 MiB), touched only as far as a command uses it: enough for every
// operation at 100,000 digits and for π to the radian-reduction limit.
constexpr size_t ARENA_WORDS = 14u << 20;

struct ExactOutOfMemory {};

// A run of `words` 32-bit words, 8-byte aligned; throws ExactOutOfMemory when they do not fit.
uint32_t *arena_alloc(size_t words);
size_t arena_top();
void arena_set_top(size_t top);
size_t arena_peak();  // the highest top since the last arena_reset
void arena_reset();   // empties the arena (start of a command)

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

}  // namespace exact
