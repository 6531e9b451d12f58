// Private helpers shared by the elementary functions (not part of the library interface).
//
// The functions are plain compositions of core operations on the work numbers W0..W4
// (ScratchNums slots 10..14). Their values live only within one call; the allocation rule
// that lets the functions call each other is stated in functions.h.
#pragma once

#include "core/core.h"
#include "functions/functions.h"

inline DecWord *W(int k) { return work_number(k); }

// Common result rules for a function of one operand: null out → −1; null or NUM_ERROR
// operand → NUM_ERROR; NUM_OVERFLOW → NUM_OVERFLOW. Returns true when the function goes
// on, false when *status (−1) is the answer.
inline bool fn_operand_ok(DecWord *out, const DecWord *x, int *status) {
  *status = -1;
  if (out == nullptr) return false;
  if (x == nullptr || dec_head(x) == NUM_ERROR) {
    dec_set_marker(out, NUM_ERROR);
    return false;
  }
  if (dec_head(x) == NUM_OVERFLOW) {
    dec_set_marker(out, NUM_OVERFLOW);
    return false;
  }
  return true;
}

// Marks out with a failure marker and returns −1.
inline int fn_fail(DecWord *out, int32_t marker) {
  dec_set_marker(out, marker);
  return -1;
}

// p = v × 10^e (p zero for v = 0). Costs word_count word writes.
inline void dec_set_int(DecWord *p, int32_t v, int32_t e) {
  dec_zero(p);
  if (v != 0) dec_from_int(p, v, e);
}

inline bool dec_is_negative(const DecWord *p) { return (p[0] & 1u) != 0; }
// |p| in place (the canonical zero stays as it is).
inline void dec_make_abs(DecWord *p) { p[0] &= ~1u; }
// Gives a non-zero p the sign bit.
inline void dec_make_negative(DecWord *p) {
  if (!dec_is_zero(p)) p[0] |= 1u;
}

// ---- short operands -----------------------------------------------------------------
// Two short operands n × 10^k. Only their head word and digit words 1..3 are ever written
// (a 32-bit n fills at most digit words 1 and 2); every later word stays zero for the whole
// run, so a short operand may also stand as the first operand of the magnitude kernels,
// which read that operand up to word_count.
DecWord *short_operand(int which);

// Clears the four words of s and builds n × 10^k in it. Returns the kernel length (1 or 2
// digit words; 0 for n = 0, which leaves the canonical zero), or −1 when n × 10^k cannot
// be built (n = INT32_MIN or the value's exponent out of range); s's head is then
// NUM_ERROR.
int short_build(DecWord *s, int32_t n, int32_t k);

// Largest term count a series accepts: every divisor stays a positive 32-bit int.
constexpr int SERIES_MAX_TERMS = (1 << 30) - 2;
