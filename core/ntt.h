// Exact integer convolution of word sequences by number-theoretic transforms modulo two
// 30-bit primes, recombined by the Chinese remainder theorem. Exact while every column
// sum stays below the primes' product (about 4.7 × 10^17): with words below 10^6 that
// holds for up to 469,000 terms a column.
#pragma once

#include <cstdint>

constexpr int NTT_MAX_LOG = 16;
constexpr int NTT_MAX_SIZE = 1 << NTT_MAX_LOG;  // longest convolution: 65,536 terms

// out[n] = Σ_{i + j = n} a[i] × b[j] for n = 0 .. la + lb − 2; la + lb − 1 ≤ NTT_MAX_SIZE;
// every a[i], b[j] below 10^6. a and b may be the same array (a square). Uses static
// work buffers; calls cancel_check() between transform stages.
void ntt_convolve(uint64_t *out, const uint32_t *a, int la, const uint32_t *b, int lb);
