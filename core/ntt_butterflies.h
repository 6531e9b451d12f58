// Vector butterflies of the number-theoretic transforms (internal to core/ntt.cpp).
// Each runs one span of L butterflies, L a multiple of 8: the decimation-in-frequency
// (forward) or -in-time (inverse) step on x[0 .. L) and y[0 .. L) with twiddles w and
// their Shoup quotients wq, values reduced modulo prime.
#pragma once

#include <cstdint>

bool ntt_have_avx2();
void ntt_dif_span_avx2(uint32_t *x, uint32_t *y, const uint32_t *w, const uint32_t *wq, int L,
                       uint32_t prime);
void ntt_dit_span_avx2(uint32_t *x, uint32_t *y, const uint32_t *w, const uint32_t *wq, int L,
                       uint32_t prime);
// Two stages fused on one block a[0 .. 4M), M a multiple of 8: the forward's spans 2M then M
// (twiddles w2 = those of span 2M, w1 = those of span M), the inverse's spans M then 2M.
void ntt_dif_pair_avx2(uint32_t *a, int M, const uint32_t *w2, const uint32_t *wq2, const uint32_t *w1,
                       const uint32_t *wq1, uint32_t prime);
void ntt_dit_pair_avx2(uint32_t *a, int M, const uint32_t *w1, const uint32_t *wq1, const uint32_t *w2,
                       const uint32_t *wq2, uint32_t prime);
// The stage of span L = 4, 2 or 1 over the whole of a[0 .. n), n a multiple of 16: the
// same butterflies as above, on the interleaved sides x = a[i .. i + L), y = a[i + L ..).
void ntt_dif_small_avx2(uint32_t *a, int n, int L, const uint32_t *w, const uint32_t *wq,
                        uint32_t prime);
void ntt_dit_small_avx2(uint32_t *a, int n, int L, const uint32_t *w, const uint32_t *wq,
                        uint32_t prime);
// x[i] = x[i] y[i] scale / 2^32 mod p for i < n (n a multiple of 8): the point-wise product
// by Montgomery's reduction (neg_inv = −p^−1 mod 2^32), then the product by a constant
// with its Shoup quotient; x and y below p, the result reduced.
void ntt_pointwise_avx2(uint32_t *x, const uint32_t *y, int n, uint32_t prime, uint32_t neg_inv,
                        uint32_t scale, uint32_t scale_q);
