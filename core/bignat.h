// Natural numbers as little-endian arrays of base-10^6 limbs, for the exact checks of the
// fast root kernels. A DecNum's digit words are exactly such limbs, most significant
// first: the integer of a number's positions 0 .. internal_digits − 1 has limb i equal to
// digit word word_count − i. The caller owns every array; a length counts the limbs in use
// and leading (most significant) zero limbs are trimmed by every operation.
#pragma once

#include <cstdint>

#include "core/decnum.h"

constexpr uint32_t NAT_BASE = 1000000;
// Room for a cube of a full-length number: 3 × 16,669 limbs and a few more.
constexpr int NAT_MAX_LIMBS = 3 * DEC_MAX_WORDS + 8;

struct Nat {
  int len;
  uint32_t limb[NAT_MAX_LIMBS];
};

// The integer of p's positions 0 .. 6 words − 1 (its digit words 1 .. words).
void nat_from_words(Nat *out, const DecWord *p, int words);
// Writes a into digit words 1 .. words of p (a < 10^(6 words)); the head is untouched.
void nat_to_words(DecWord *p, const Nat *a, int words);
void nat_set_small(Nat *out, uint32_t v);  // v < NAT_BASE

int nat_compare(const Nat *a, const Nat *b);
void nat_add(Nat *out, const Nat *a, const Nat *b);       // out may alias a or b
void nat_sub(Nat *out, const Nat *a, const Nat *b);       // a ≥ b; out may alias a or b
void nat_mul_small(Nat *out, const Nat *a, uint32_t m);   // m < NAT_BASE; may alias
void nat_shift_limbs(Nat *out, const Nat *a, int limbs);  // a × 10^(6 limbs); may alias
// out = a × b exactly (out must not alias a or b); la + lb ≤ NAT_MAX_LIMBS.
void nat_mul(Nat *out, const Nat *a, const Nat *b);
