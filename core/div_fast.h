// A fast start for long division that ends in the very state the digit-by-digit loop
// would have reached.
//
// Long division with the table of multiples picks, at quotient position j, the largest k
// with T_j(k) ≤ R_{j−1}, where T_j(k) = floor(k × D / 10^(j−1)) is the multiple truncated
// at the remainder's last position, and R_j = R_{j−1} − T_j(k_j). After i0 digits
//   R_i0 = R_0 − Σ_{j ≤ i0} floor(k_j × D / 10^(j−1)),
// which is the truncated shift-and-add product of the digits k_1..k_i0 by D, so the fast
// product gives it exactly. Proposed digits (from a Newton reciprocal) are the loop's own
// exactly when every R_j lies in 0 < R_j < T_j(k_j + 1) − T_j(k_j); since each gap exceeds
// D / 10^(j−1) − 1 and R_j ≤ R_i0 + D / 10^(j−1) − D / 10^(i0−1), the single check
//   0 < R_i0 < D / 10^(i0−1) − 1
// certifies all of them (strict inequalities also exclude the loop's exact stops). When
// the check fails, nothing has been changed and the loop runs from the first digit.
#pragma once

#include "core/decnum.h"

// Used words of the divisor from which the fast start pays (measured, bench/RESULTS.md).
constexpr int DIV_FAST_MIN_WORDS = 64;
// Quotient digits the loop still produces itself after a fast start.
constexpr int DIV_FAST_TAIL_DIGITS = 12;

// R and D aligned (equal exponents), R ≥ D, the quotient's digit words zero. On success
// writes quotient positions 1 .. i0, leaves R = R_i0, lowers D's exponent by i0 and
// returns i0; returns 0 and changes nothing otherwise. ScratchNums slots 2 .. 9 serve as
// scratch (the caller builds its table of multiples afterwards); slots 0, 1 are untouched.
int div_fast_prefix(DecWord *Q, DecWord *R, DecWord *D);

// A divisor whose digits end at or before this position (a number of at most 13
// significant digits) takes the short start below.
constexpr int DIV_SHORT_LAST_POSITION = 13;

// The start for a short divisor. While the aligned divisor's last digit stays within the
// remainder's last position, that is for the positions j ≤ J = P − (L + off) + 1 (L the
// position of D's last non-zero digit, off = exp(R) − exp(D)), every T_j(k) is exact and
// the loop's digits are the decimal digits of floor(R / d), d = D's digits as an integer,
// with R_J = R mod d; an exact stop of the loop inside them leaves zeros, as the quotient
// does. One pass of word-by-word integer division gives them all.
// On success writes quotient positions 1 .. J, leaves R = R_J, lowers D's exponent by J,
// sets *exact when R_J is zero (the loop then has nothing left to do) and returns J;
// returns 0 and changes nothing when D is not short or the quotient would not fit.
int div_short_prefix(DecWord *Q, DecWord *R, DecWord *D, int B, bool *exact);
