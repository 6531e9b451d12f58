#include "exact/arena.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include "exact/nat.h"

namespace exact {

namespace {

// A stack of words [base, base + words): [0, top) in use. Each on a cache line of its own:
// the two threads move their tops at every allocation.
struct alignas(64) Stack {
  uint32_t *base;
  size_t words;
  size_t top;
  size_t peak;
};

// The block, reserved by the command's thread at its first allocation or reset (before any
// fork, so the helper always finds its stack's base set).
uint32_t *block = nullptr;
Stack command_stack{nullptr, ARENA_WORDS - ARENA_HELPER_WORDS, 0, 0};
Stack helper_stack{nullptr, ARENA_HELPER_WORDS, 0, 0};
thread_local Stack *bound = &command_stack;

// Maps the block (its pages touched only as far as commands use them); false when the
// system cannot give the address space.
bool reserve_block() {
  if (block != nullptr) return true;
  const size_t bytes = ARENA_WORDS * sizeof(uint32_t);
#ifdef _WIN32
  void *p = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (p == nullptr) return false;
#else
  void *p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (p == MAP_FAILED) return false;
#endif
  block = static_cast<uint32_t *>(p);
  command_stack.base = block;
  helper_stack.base = block + (ARENA_WORDS - ARENA_HELPER_WORDS);
  return true;
}

void keep_spans(size_t base, uint32_t **ptrs[], const int *lens, int count) {
  // Sort the spans by address (a handful at most) and slide them down.
  Stack &s = *bound;
  int order[16];
  for (int i = 0; i < count; ++i) order[i] = i;
  std::sort(order, order + count, [&](int a, int b) { return *ptrs[a] < *ptrs[b]; });
  size_t at = base;
  for (int k = 0; k < count; ++k) {
    const int i = order[k];
    uint32_t *p = *ptrs[i];
    if (p < s.base + base || p >= s.base + s.words) continue;  // not this frame's
    std::memmove(s.base + at, p, sizeof(uint32_t) * (size_t)lens[i]);
    *ptrs[i] = s.base + at;
    at += ((size_t)lens[i] + 1) & ~(size_t)1;
  }
  s.top = at;
}

}  // namespace

uint32_t *arena_alloc(size_t words) {
  if (block == nullptr && !reserve_block()) throw ExactOutOfMemory{};
  Stack &s = *bound;
  words = (words + 1) & ~(size_t)1;  // keeps 8-byte alignment for 64-bit column arrays
  if (words > s.words - s.top) throw ExactOutOfMemory{};
  uint32_t *p = s.base + s.top;
  s.top += words;
  if (s.top > s.peak) s.peak = s.top;
  return p;
}

size_t arena_top() { return bound->top; }
void arena_set_top(size_t t) { bound->top = t; }
size_t arena_peak() { return command_stack.peak; }
void arena_reset() {
  reserve_block();  // a failure shows at the first allocation
  command_stack.top = 0;
  command_stack.peak = 0;
  helper_stack.top = 0;
}

void Frame::keep(std::initializer_list<Nat *> nats) {
  uint32_t **ptrs[16];
  int lens[16], count = 0;
  for (Nat *n : nats) {
    ptrs[count] = &n->d;
    lens[count++] = n->n;
  }
  keep_spans(base_, ptrs, lens, count);
  base_ = bound->top;
}

void Frame::keep(std::initializer_list<Int *> ints) {
  uint32_t **ptrs[16];
  int lens[16], count = 0;
  for (Int *x : ints) {
    ptrs[count] = &x->m.d;
    lens[count++] = x->m.n;
  }
  keep_spans(base_, ptrs, lens, count);
  base_ = bound->top;
}

HelperStack::HelperStack() : previous_(bound) { bound = &helper_stack; }
HelperStack::~HelperStack() { bound = (Stack *)previous_; }

size_t arena_helper_mark() { return helper_stack.top; }
void arena_helper_release(size_t mark) { helper_stack.top = mark; }

void arena_adopt(std::initializer_list<Nat *> nats) {
  const Stack &h = helper_stack;
  for (Nat *n : nats) {
    if (n->d < h.base || n->d >= h.base + h.words) continue;
    uint32_t *d = arena_alloc((size_t)(n->n > 0 ? n->n : 1));
    std::memcpy(d, n->d, sizeof(uint32_t) * (size_t)n->n);
    n->d = d;
  }
}

}  // namespace exact
