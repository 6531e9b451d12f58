// Multiplication by decimal shift-and-add.
#pragma once

#include "core/decnum.h"

int dec_mul(DecWord *out, const DecWord *a, const DecWord *b);  // out = a × b, truncated

// n + 1 where n is the index (from 0) of x's last non-zero digit word, at most
// word_count − 1 (the extra word leaves room for digits an alignment shift pushes on).
int dec_used_words(const DecWord *x);

// out = |p| × |q|, the product's head already placed in p's head word; A, B = used words
// of p and q. Lowers the exponents of p and of the table slots (callers restore p).
// Long operands take the fast product (core/mul_fast.h), which gives the same words.
int mul_kernel(DecWord *out, DecWord *p, const DecWord *q, int A, int B);
// The shift-and-add kernel itself, the reference of the fast one.
int mul_kernel_shift_add(DecWord *out, DecWord *p, const DecWord *q, int A, int B);

// 1 (default): long products and quotients take the fast kernels; 0: only the
// digit-by-digit reference kernels run (tests compare the two).
extern int fast_kernels;
