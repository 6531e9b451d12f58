#include "exact/arena.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "exact/nat.h"

namespace exact {

namespace {

// Reserved at the first allocation; its pages are touched only as far as commands use it.
uint32_t *block = nullptr;
size_t top = 0, peak = 0;

void keep_spans(size_t base, uint32_t **ptrs[], const int *lens, int count) {
  // Sort the spans by address (insertion sort: a handful at most) and slide them down.
  int order[16];
  for (int i = 0; i < count; ++i) order[i] = i;
  std::sort(order, order + count, [&](int a, int b) { return *ptrs[a] < *ptrs[b]; });
  size_t at = base;
  for (int k = 0; k < count; ++k) {
    const int i = order[k];
    uint32_t *p = *ptrs[i];
    if (p < block + base || p >= block + ARENA_WORDS) continue;  // not this frame's
    std::memmove(block + at, p, sizeof(uint32_t) * (size_t)lens[i]);
    *ptrs[i] = block + at;
    at += ((size_t)lens[i] + 1) & ~(size_t)1;
  }
  top = at;
}

}  // namespace

uint32_t *arena_alloc(size_t words) {
  if (block == nullptr) {
    block = static_cast<uint32_t *>(::operator new(ARENA_WORDS * sizeof(uint32_t), std::align_val_t{64},
                                                   std::nothrow));
    if (block == nullptr) throw ExactOutOfMemory{};
  }
  words = (words + 1) & ~(size_t)1;  // keeps 8-byte alignment for 64-bit column arrays
  if (words > ARENA_WORDS - top) throw ExactOutOfMemory{};
  uint32_t *p = block + top;
  top += words;
  if (top > peak) peak = top;
  return p;
}

size_t arena_top() { return top; }
void arena_set_top(size_t t) { top = t; }
size_t arena_peak() { return peak; }
void arena_reset() {
  top = 0;
  peak = 0;
}

void Frame::keep(std::initializer_list<Nat *> nats) {
  uint32_t **ptrs[16];
  int lens[16], count = 0;
  for (Nat *n : nats) {
    ptrs[count] = &n->d;
    lens[count++] = n->n;
  }
  keep_spans(base_, ptrs, lens, count);
  base_ = top;
}

void Frame::keep(std::initializer_list<Int *> ints) {
  uint32_t **ptrs[16];
  int lens[16], count = 0;
  for (Int *x : ints) {
    ptrs[count] = &x->m.d;
    lens[count++] = x->m.n;
  }
  keep_spans(base_, ptrs, lens, count);
  base_ = top;
}

}  // namespace exact
