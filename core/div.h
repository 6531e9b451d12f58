// Decimal long division and integer division with remainder.
#pragma once

#include "core/decnum.h"

int dec_div(DecWord *out, const DecWord *a, const DecWord *b);  // out = a / b, truncated

// quot = integer part of a / b (towards zero), rem = a − quot × b (sign of a). quot and
// rem must differ; either may be a or b. An integer quotient with more digits than the
// precision holds gives NUM_OVERFLOW in both, status −1.
int dec_divmod(DecWord *quot, DecWord *rem, const DecWord *a, const DecWord *b);

// Q's head holds the quotient's exponent and sign, its digit words are zero; R holds the
// dividend (it becomes the remainder); D's words 1 .. B + 1 take part (D may be a short
// buffer). limit = 0: full precision; else the digit limit of an integer division.
// D's head is overwritten (callers restore it). Returns 0.
int div_kernel(DecWord *Q, DecWord *R, DecWord *D, int B, int limit);

// Compares R with D aligned by exponent over R's region A (0, LEN_DOUBLE, LEN_TRIPLE) and
// D's words 1 .. B + 1. Uses and advances scan_index.
int mag_compare_shifted(const DecWord *R, const DecWord *D, int A, int B);
