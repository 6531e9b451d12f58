// The common frame of every exact-mode entry point (internal to exact/).
#pragma once

#include <new>

#include "exact/real.h"

namespace exact {

// Empties the arena and the message, runs body() → status, and turns an exhausted arena
// (or memory the system could not give) into NUM_ERROR with a message.
template <class Body>
int run_exact(DecWord *out, Body body) {
  arena_reset();
  exact_set_message("");
  try {
    return body();
  } catch (const ExactOutOfMemory &) {
    arena_reset();
    exact_set_message("Exact digits: not enough working memory for this operation");
    dec_set_marker(out, NUM_ERROR);
    return -1;
  } catch (const std::bad_alloc &) {  // the transforms' tables could not be reserved
    arena_reset();
    exact_set_message("Exact digits: not enough working memory for this operation");
    dec_set_marker(out, NUM_ERROR);
    return -1;
  }
}

// Passes a marker operand on (NUM_ERROR before NUM_OVERFLOW); true when it did.
inline bool pass_markers(DecWord *out, const DecWord *x, const DecWord *y = nullptr) {
  for (int32_t marker : {NUM_ERROR, NUM_OVERFLOW}) {
    if (dec_head(x) == marker || (y && dec_head(y) == marker)) {
      dec_set_marker(out, marker);
      return true;
    }
  }
  return false;
}

}  // namespace exact
