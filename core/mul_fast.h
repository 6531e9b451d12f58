// The fast product: the same words as the shift-and-add kernel, by a convolution.
//
// The shift-and-add kernel adds, for each multiplier digit k_i (position i = 1, 2, …),
// the multiple k_i × p shifted i − 1 places down and truncated at the last position
// P = internal_digits − 1. With Ip the integer of p's positions 0 .. P, that sum is
//   Σ_i floor(k_i × Ip / 10^(i−1))
//     = Σ_{i + j − 1 ≤ P} q_i p_j 10^(P − (i + j − 1))      (the short product)
//     + Σ_i c(k_i, P − i + 1)                              (the dropped tails' carries)
// where c(k, m) is the carry that p's digits below position m, times k, send into
// position m. The short product keeps whole columns of the word convolution up to the
// boundary and splits the one or two word columns that straddle it digit by digit; the
// carries come from the carry chain of k × p at word granularity.
#pragma once

#include "core/decnum.h"

// The multiplication ladder (measured on the development machine, bench/RESULTS.md):
// - shorter operand below MUL_FAST_MIN_WORDS used words: the shift-and-add kernel,
//   O(digits × words) lane additions. Since the tail-carry chains run side by side the
//   word convolution is twice as fast from two words on (dec_mul_small by 123456789:
//   2.9 against 5.1 µs at 1,000 digits). A one-word multiplier stays with shift-and-add,
//   which works over the multiplicand's used words only where the convolution's carries
//   run over all word_count words (10000! at 100,000 digits: 0.9 s against 2.0 s);
// - otherwise a word convolution, either plain, O(la × lb) multiply-adds at about 0.33 ns,
//   or by number-theoretic transform of size n (a power of two), about 6.5 ns × n log2 n;
//   the transform is taken when la × lb > MUL_NTT_COST_RATIO × n × log2 n.
constexpr int MUL_FAST_MIN_WORDS = 2;
constexpr int MUL_NTT_COST_RATIO = 20;

// out = the words mul_kernel gives for |p| × |q| (head copied from p), for p and q with
// A, B used words; p and q are full buffers. out must not alias p or q. Returns 0, or 1
// when the sum reached 10^(internal_digits) (only for a multiplier whose digits are not a
// product's, as the division's proposals may be; out is then meaningless).
int mul_fast_kernel(DecWord *out, const DecWord *p, const DecWord *q, int A, int B);
