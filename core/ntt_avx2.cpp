// AVX2 butterflies for the transforms' stages: the wide ones (span of eight or more) and
// the narrow ones (span 4, 2, 1), whose two sides are interleaved within a vector. Chosen at run
// time when the processor has AVX2; the portable loops in ntt.cpp remain the reference.
#include "core/ntt_butterflies.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace {

__attribute__((target("avx2"))) inline __m256i reduce_once(__m256i x, __m256i p) {
  return _mm256_min_epu32(x, _mm256_sub_epi32(x, p));  // x < 2p → x mod p
}

// t × w mod p for t < 2p with Shoup's quotients wq; the result lies below 2p.
__attribute__((target("avx2"))) inline __m256i mul_shoup(__m256i t, __m256i w, __m256i wq, __m256i p) {
  __m256i q_even = _mm256_srli_epi64(_mm256_mul_epu32(t, wq), 32);
  __m256i q_odd = _mm256_mul_epu32(_mm256_srli_epi64(t, 32), _mm256_srli_epi64(wq, 32));
  __m256i q = _mm256_blend_epi32(q_even, q_odd, 0xAA);
  return _mm256_sub_epi32(_mm256_mullo_epi32(t, w), _mm256_mullo_epi32(q, p));
}

}  // namespace

bool ntt_have_avx2() { return __builtin_cpu_supports("avx2"); }

__attribute__((target("avx2"))) void ntt_dif_span_avx2(uint32_t *x, uint32_t *y, const uint32_t *w,
                                                     const uint32_t *wq, int L, uint32_t prime) {
  const __m256i p = _mm256_set1_epi32((int)prime);
  for (int j = 0; j < L; j += 8) {
    __m256i u = _mm256_loadu_si256((const __m256i *)(x + j));
    __m256i v = _mm256_loadu_si256((const __m256i *)(y + j));
    __m256i s = reduce_once(_mm256_add_epi32(u, v), p);
    __m256i t = _mm256_add_epi32(_mm256_sub_epi32(u, v), p);
    __m256i r = mul_shoup(t, _mm256_loadu_si256((const __m256i *)(w + j)),
                          _mm256_loadu_si256((const __m256i *)(wq + j)), p);
    _mm256_storeu_si256((__m256i *)(x + j), s);
    _mm256_storeu_si256((__m256i *)(y + j), reduce_once(r, p));
  }
}

__attribute__((target("avx2"))) void ntt_dit_span_avx2(uint32_t *x, uint32_t *y, const uint32_t *w,
                                                     const uint32_t *wq, int L, uint32_t prime) {
  const __m256i p = _mm256_set1_epi32((int)prime);
  for (int j = 0; j < L; j += 8) {
    __m256i u = _mm256_loadu_si256((const __m256i *)(x + j));
    __m256i v = reduce_once(mul_shoup(_mm256_loadu_si256((const __m256i *)(y + j)),
                                      _mm256_loadu_si256((const __m256i *)(w + j)),
                                      _mm256_loadu_si256((const __m256i *)(wq + j)), p),
                            p);
    __m256i s = reduce_once(_mm256_add_epi32(u, v), p);
    __m256i d = reduce_once(_mm256_add_epi32(_mm256_sub_epi32(u, v), p), p);
    _mm256_storeu_si256((__m256i *)(x + j), s);
    _mm256_storeu_si256((__m256i *)(y + j), d);
  }
}

// Two stages in one pass: span 2M (twiddles w2, wq2) then span M (w1, wq1) on a block of
// 4M values, M a multiple of 8. The same butterflies as two calls of the span kernels, with
// each value loaded and stored once instead of twice.
__attribute__((target("avx2"))) void ntt_dif_pair_avx2(uint32_t *a, int M, const uint32_t *w2,
                                                     const uint32_t *wq2, const uint32_t *w1,
                                                     const uint32_t *wq1, uint32_t prime) {
  const __m256i p = _mm256_set1_epi32((int)prime);
  uint32_t *a0 = a, *a1 = a + M, *a2 = a + 2 * M, *a3 = a + 3 * M;
  for (int j = 0; j < M; j += 8) {
    const __m256i x0 = _mm256_loadu_si256((const __m256i *)(a0 + j));
    const __m256i x1 = _mm256_loadu_si256((const __m256i *)(a1 + j));
    const __m256i x2 = _mm256_loadu_si256((const __m256i *)(a2 + j));
    const __m256i x3 = _mm256_loadu_si256((const __m256i *)(a3 + j));
    const __m256i b0 = reduce_once(_mm256_add_epi32(x0, x2), p);
    const __m256i b2 = reduce_once(mul_shoup(_mm256_add_epi32(_mm256_sub_epi32(x0, x2), p),
                                             _mm256_loadu_si256((const __m256i *)(w2 + j)),
                                             _mm256_loadu_si256((const __m256i *)(wq2 + j)), p),
                                   p);
    const __m256i b1 = reduce_once(_mm256_add_epi32(x1, x3), p);
    const __m256i b3 = reduce_once(mul_shoup(_mm256_add_epi32(_mm256_sub_epi32(x1, x3), p),
                                             _mm256_loadu_si256((const __m256i *)(w2 + M + j)),
                                             _mm256_loadu_si256((const __m256i *)(wq2 + M + j)), p),
                                   p);
    const __m256i tw = _mm256_loadu_si256((const __m256i *)(w1 + j));
    const __m256i twq = _mm256_loadu_si256((const __m256i *)(wq1 + j));
    _mm256_storeu_si256((__m256i *)(a0 + j), reduce_once(_mm256_add_epi32(b0, b1), p));
    _mm256_storeu_si256((__m256i *)(a1 + j),
                        reduce_once(mul_shoup(_mm256_add_epi32(_mm256_sub_epi32(b0, b1), p), tw, twq, p), p));
    _mm256_storeu_si256((__m256i *)(a2 + j), reduce_once(_mm256_add_epi32(b2, b3), p));
    _mm256_storeu_si256((__m256i *)(a3 + j),
                        reduce_once(mul_shoup(_mm256_add_epi32(_mm256_sub_epi32(b2, b3), p), tw, twq, p), p));
  }
}

// The inverse's two stages in one pass: span M (w1, wq1) then span 2M (w2, wq2).
__attribute__((target("avx2"))) void ntt_dit_pair_avx2(uint32_t *a, int M, const uint32_t *w1,
                                                     const uint32_t *wq1, const uint32_t *w2,
                                                     const uint32_t *wq2, uint32_t prime) {
  const __m256i p = _mm256_set1_epi32((int)prime);
  uint32_t *a0 = a, *a1 = a + M, *a2 = a + 2 * M, *a3 = a + 3 * M;
  for (int j = 0; j < M; j += 8) {
    const __m256i tw = _mm256_loadu_si256((const __m256i *)(w1 + j));
    const __m256i twq = _mm256_loadu_si256((const __m256i *)(wq1 + j));
    const __m256i x0 = _mm256_loadu_si256((const __m256i *)(a0 + j));
    const __m256i x2 = _mm256_loadu_si256((const __m256i *)(a2 + j));
    const __m256i v1 = reduce_once(mul_shoup(_mm256_loadu_si256((const __m256i *)(a1 + j)), tw, twq, p), p);
    const __m256i v3 = reduce_once(mul_shoup(_mm256_loadu_si256((const __m256i *)(a3 + j)), tw, twq, p), p);
    const __m256i b0 = reduce_once(_mm256_add_epi32(x0, v1), p);
    const __m256i b1 = reduce_once(_mm256_add_epi32(_mm256_sub_epi32(x0, v1), p), p);
    const __m256i b2 = reduce_once(_mm256_add_epi32(x2, v3), p);
    const __m256i b3 = reduce_once(_mm256_add_epi32(_mm256_sub_epi32(x2, v3), p), p);
    const __m256i u2 = reduce_once(mul_shoup(b2, _mm256_loadu_si256((const __m256i *)(w2 + j)),
                                             _mm256_loadu_si256((const __m256i *)(wq2 + j)), p),
                                   p);
    const __m256i u3 = reduce_once(mul_shoup(b3, _mm256_loadu_si256((const __m256i *)(w2 + M + j)),
                                             _mm256_loadu_si256((const __m256i *)(wq2 + M + j)), p),
                                   p);
    _mm256_storeu_si256((__m256i *)(a0 + j), reduce_once(_mm256_add_epi32(b0, u2), p));
    _mm256_storeu_si256((__m256i *)(a2 + j), reduce_once(_mm256_add_epi32(_mm256_sub_epi32(b0, u2), p), p));
    _mm256_storeu_si256((__m256i *)(a1 + j), reduce_once(_mm256_add_epi32(b1, u3), p));
    _mm256_storeu_si256((__m256i *)(a3 + j), reduce_once(_mm256_add_epi32(_mm256_sub_epi32(b1, u3), p), p));
  }
}

namespace {

// The sixteen values a[0 .. 16) of one group as the x and y sides of span L (4, 2 or 1):
// element e is on the x side when e mod 2L < L. gather and scatter are inverses.
template <int L>
__attribute__((target("avx2"))) inline void gather(const uint32_t *a, __m256i *x, __m256i *y) {
  const __m256i A = _mm256_loadu_si256((const __m256i *)a);
  const __m256i B = _mm256_loadu_si256((const __m256i *)(a + 8));
  if (L == 4) {
    *x = _mm256_permute2x128_si256(A, B, 0x20);
    *y = _mm256_permute2x128_si256(A, B, 0x31);
  } else if (L == 2) {
    *x = _mm256_unpacklo_epi64(A, B);
    *y = _mm256_unpackhi_epi64(A, B);
  } else {
    *x = _mm256_castps_si256(
        _mm256_shuffle_ps(_mm256_castsi256_ps(A), _mm256_castsi256_ps(B), _MM_SHUFFLE(2, 0, 2, 0)));
    *y = _mm256_castps_si256(
        _mm256_shuffle_ps(_mm256_castsi256_ps(A), _mm256_castsi256_ps(B), _MM_SHUFFLE(3, 1, 3, 1)));
  }
}

template <int L>
__attribute__((target("avx2"))) inline void scatter(uint32_t *a, __m256i x, __m256i y) {
  __m256i A, B;
  if (L == 4) {
    A = _mm256_permute2x128_si256(x, y, 0x20);
    B = _mm256_permute2x128_si256(x, y, 0x31);
  } else if (L == 2) {
    A = _mm256_unpacklo_epi64(x, y);
    B = _mm256_unpackhi_epi64(x, y);
  } else {
    A = _mm256_unpacklo_epi32(x, y);
    B = _mm256_unpackhi_epi32(x, y);
  }
  _mm256_storeu_si256((__m256i *)a, A);
  _mm256_storeu_si256((__m256i *)(a + 8), B);
}

// The twiddles of span L in the order gather puts the x side in: w[j] for j = e mod L.
template <int L>
__attribute__((target("avx2"))) inline __m256i span_twiddles(const uint32_t *w) {
  if (L == 4) return _mm256_setr_epi32((int)w[0], (int)w[1], (int)w[2], (int)w[3], (int)w[0], (int)w[1], (int)w[2], (int)w[3]);
  if (L == 2) return _mm256_setr_epi32((int)w[0], (int)w[1], (int)w[0], (int)w[1], (int)w[0], (int)w[1], (int)w[0], (int)w[1]);
  return _mm256_set1_epi32((int)w[0]);
}

template <int L>
__attribute__((target("avx2"))) void dif_small(uint32_t *a, int n, const uint32_t *w, const uint32_t *wq,
                                               uint32_t prime) {
  const __m256i p = _mm256_set1_epi32((int)prime);
  const __m256i tw = span_twiddles<L>(w), twq = span_twiddles<L>(wq);
  for (int i = 0; i < n; i += 16) {
    __m256i u, v;
    gather<L>(a + i, &u, &v);
    __m256i s = reduce_once(_mm256_add_epi32(u, v), p);
    __m256i r = mul_shoup(_mm256_add_epi32(_mm256_sub_epi32(u, v), p), tw, twq, p);
    scatter<L>(a + i, s, reduce_once(r, p));
  }
}

template <int L>
__attribute__((target("avx2"))) void dit_small(uint32_t *a, int n, const uint32_t *w, const uint32_t *wq,
                                               uint32_t prime) {
  const __m256i p = _mm256_set1_epi32((int)prime);
  const __m256i tw = span_twiddles<L>(w), twq = span_twiddles<L>(wq);
  for (int i = 0; i < n; i += 16) {
    __m256i u, y;
    gather<L>(a + i, &u, &y);
    __m256i v = reduce_once(mul_shoup(y, tw, twq, p), p);
    __m256i s = reduce_once(_mm256_add_epi32(u, v), p);
    __m256i d = reduce_once(_mm256_add_epi32(_mm256_sub_epi32(u, v), p), p);
    scatter<L>(a + i, s, d);
  }
}

}  // namespace

void ntt_dif_small_avx2(uint32_t *a, int n, int L, const uint32_t *w, const uint32_t *wq, uint32_t prime) {
  if (L == 4) dif_small<4>(a, n, w, wq, prime);
  else if (L == 2) dif_small<2>(a, n, w, wq, prime);
  else dif_small<1>(a, n, w, wq, prime);
}

void ntt_dit_small_avx2(uint32_t *a, int n, int L, const uint32_t *w, const uint32_t *wq, uint32_t prime) {
  if (L == 4) dit_small<4>(a, n, w, wq, prime);
  else if (L == 2) dit_small<2>(a, n, w, wq, prime);
  else dit_small<1>(a, n, w, wq, prime);
}

__attribute__((target("avx2"))) void ntt_pointwise_avx2(uint32_t *x, const uint32_t *y, int n,
                                                      uint32_t prime, uint32_t neg_inv,
                                                      uint32_t scale, uint32_t scale_q) {
  const __m256i p = _mm256_set1_epi32((int)prime), ni = _mm256_set1_epi32((int)neg_inv);
  const __m256i sc = _mm256_set1_epi32((int)scale), scq = _mm256_set1_epi32((int)scale_q);
  for (int i = 0; i < n; i += 8) {
    const __m256i a = _mm256_loadu_si256((const __m256i *)(x + i));
    const __m256i b = _mm256_loadu_si256((const __m256i *)(y + i));
    // Montgomery: u = (t + m p) / 2^32 with t = a b and m = t ni mod 2^32; u < 2p.
    const __m256i t_even = _mm256_mul_epu32(a, b);
    const __m256i t_odd = _mm256_mul_epu32(_mm256_srli_epi64(a, 32), _mm256_srli_epi64(b, 32));
    const __m256i m_even = _mm256_mul_epu32(t_even, ni), m_odd = _mm256_mul_epu32(t_odd, ni);
    const __m256i u_even = _mm256_srli_epi64(_mm256_add_epi64(t_even, _mm256_mul_epu32(m_even, p)), 32);
    const __m256i u_odd = _mm256_add_epi64(t_odd, _mm256_mul_epu32(m_odd, p));
    const __m256i u = reduce_once(_mm256_blend_epi32(u_even, u_odd, 0xAA), p);
    _mm256_storeu_si256((__m256i *)(x + i), reduce_once(mul_shoup(u, sc, scq, p), p));
  }
}

#else

bool ntt_have_avx2() { return false; }
void ntt_pointwise_avx2(uint32_t *, const uint32_t *, int, uint32_t, uint32_t, uint32_t, uint32_t) {}
void ntt_dif_small_avx2(uint32_t *, int, int, const uint32_t *, const uint32_t *, uint32_t) {}
void ntt_dit_small_avx2(uint32_t *, int, int, const uint32_t *, const uint32_t *, uint32_t) {}
void ntt_dif_span_avx2(uint32_t *, uint32_t *, const uint32_t *, const uint32_t *, int, uint32_t) {}
void ntt_dit_span_avx2(uint32_t *, uint32_t *, const uint32_t *, const uint32_t *, int, uint32_t) {}
void ntt_dif_pair_avx2(uint32_t *, int, const uint32_t *, const uint32_t *, const uint32_t *, const uint32_t *,
                       uint32_t) {}
void ntt_dit_pair_avx2(uint32_t *, int, const uint32_t *, const uint32_t *, const uint32_t *, const uint32_t *,
                       uint32_t) {}

#endif
