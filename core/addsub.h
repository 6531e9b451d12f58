// Signed addition and subtraction and the aligned magnitude kernels beneath them.
#pragma once

#include "core/decnum.h"

// Length selectors for the kernels' A argument.
constexpr int LEN_DOUBLE = -1;  // digit words 1 .. 2 × word_count + 1
constexpr int LEN_TRIPLE = -2;  // digit words 1 .. 3 × word_count + 2

int dec_add(DecWord *out, const DecWord *a, const DecWord *b);  // out = a + b
int dec_sub(DecWord *out, const DecWord *a, const DecWord *b);  // out = a − b

// 1 when |a| > |b|, 0 when equal, −1 when less; zero is below every non-zero number.
int mag_compare(const DecWord *a, const DecWord *b);

// out = |p| + |q| × 10^−d, d = exp(p) − exp(q) ≥ 0; out takes p's head word.
// A ≥ 0: result words 1 .. word_count, p's word limit A + 1 (applies only where the
// aligned q reaches beyond it); A = LEN_DOUBLE / LEN_TRIPLE select the long lengths.
// B ≥ 0: q contributes its words 1 .. B + 1. out may alias p and/or q.
// A carry out of word 1 lands in position 0; the caller repairs it.
int mag_add_shifted(DecWord *out, const DecWord *p, const DecWord *q, int A, int B);
// out = |p| − |q| × 10^−d with the same alignment; the aligned q must not exceed p.
// Leading zero positions may result; the caller normalises.
int mag_sub_shifted(DecWord *out, const DecWord *p, const DecWord *q, int A, int B);

// The last result word index for a length selector A.
int kernel_last_word(int A);
