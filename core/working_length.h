// Running a computation at a shorter word count than the command's precision.
//
// Numbers are read at the shorter length as if truncated there; the command's precision
// comes back when the guard ends, also when a cancellation unwinds through it. Used by
// the Newton iterations of the fast kernels, which double their working length per step.
#pragma once

#include "core/decnum.h"

struct WorkingLength {
  int saved_words, saved_internal;
  WorkingLength() : saved_words(word_count), saved_internal(internal_digits) {}
  WorkingLength(const WorkingLength &) = delete;
  WorkingLength &operator=(const WorkingLength &) = delete;
  // words must not exceed the command's word count.
  void set(int words) {
    word_count = words;
    internal_digits = 6 * words;
  }
  ~WorkingLength() {
    word_count = saved_words;
    internal_digits = saved_internal;
  }
};

// The working lengths of a Newton iteration that doubles its correct digits per step,
// from the shortest (first) to `full` (last): each is about half the next plus two words.
// Returns the count, at most 40.
inline int newton_lengths(int full, int shortest, int *lengths) {
  int tmp[40], count = 0;
  for (int w = full; count < 40; w = w / 2 + 2) {
    tmp[count++] = w;
    if (w <= shortest) break;
  }
  for (int i = 0; i < count; ++i) lengths[i] = tmp[count - 1 - i];
  return count;
}
