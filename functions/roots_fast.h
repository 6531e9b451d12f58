// The fast roots: the digit-by-digit extraction's exact words by Newton's iteration and an
// exact integer correction (internal to the functions library).
#pragma once

#include "core/decnum.h"

// From this many words on the Newton root is faster than the extraction (measured,
// bench/RESULTS.md).
constexpr int ROOT_FAST_MIN_WORDS = 40;

// x normalised, non-zero (positive for the square root). Writes the truncated root with
// its exponent (and, for the cube root, x's sign) into out and returns true; returns false
// (out untouched) when the proposal could not be corrected, and the extraction must run.
// out may be x. Uses static buffers of its own and the core's scratch slots, no W slot.
bool root_fast_sqrt(DecWord *out, const DecWord *x);
bool root_fast_cbrt(DecWord *out, const DecWord *x);
