// Multiplication by decimal shift-and-add.
#pragma once

#include "core/decnum.h"

int dec_mul(DecWord *out, const DecWord *a, const DecWord *b);  // out = a × b, truncated

// n + 1 where n is the index (from 0) of x's last non-zero digit word, at most
// word_count − 1 (the extra word leaves room for digits an alignment shift pushes on).
int dec_used_words(const DecWord *x);

// out = |p| × |q|, the product's head already placed in p's head word; A, B = used words
// of p and q. Lowers the exponents of p and of the table slots (callers restore p).
int mul_kernel(DecWord *out, DecWord *p, const DecWord *q, int A, int B);
