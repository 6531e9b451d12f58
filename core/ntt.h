// Exact integer convolution of word sequences by number-theoretic transforms modulo two
// 30-bit primes, recombined by the Chinese remainder theorem. Exact while every column
// sum stays below the primes' product (about 4.7 × 10^17): with words below 10^6 that
// holds for up to 469,000 terms a column.
#pragma once

#include <cstdint>

constexpr int NTT_MAX_LOG = 19;
constexpr int NTT_MAX_SIZE = 1 << NTT_MAX_LOG;  // longest convolution: 524,288 terms
// Transforms of at least this size run their two primes on two threads (measured in
// bench/RESULTS.md; below it the hand-over costs more than it saves).
constexpr int NTT_PARALLEL_MIN = 4096;

// out[n] = Σ_{i + j = n} a[i] × b[j] for n = 0 .. la + lb − 2; la + lb − 1 ≤ NTT_MAX_SIZE;
// every a[i], b[j] below 10^6 and min(la, lb) ≤ 469,000 (the column bound). a and b may
// be the same array (a square). Uses work buffers and twiddle tables reserved at the first
// call (std::bad_alloc when the system cannot give them) and built up to the largest size
// used so far; calls cancel_check() between transform stages.
void ntt_convolve(uint64_t *out, const uint32_t *a, int la, const uint32_t *b, int lb);
