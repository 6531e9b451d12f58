// Integer conversion, truncation, rounding at a decimal place and comparison.
#pragma once

#include "core/decnum.h"

// p = v × 10^e; p must be zero on entry; v ≠ 0. Writes only the head and words 1, 2.
int dec_from_int(DecWord *p, int32_t v, int32_t e);
// Integer part when it fits; INT32_MIN when it does not; −1 for null or a marker.
int32_t dec_to_int(const DecWord *x);
int dec_trunc(DecWord *dst, const DecWord *src);               // integer part
int dec_round_at(DecWord *dst, const DecWord *src, int32_t n);  // half up at 10^−n
// −1, 0, 1 by signed value; INT32_MIN for a null pointer.
int dec_compare(const DecWord *a, const DecWord *b);
// |a| against |k|, k a constant of at most two digit words built by dec_from_int.
int mag_compare_short(const DecWord *a, const DecWord *k);
