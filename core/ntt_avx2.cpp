// AVX2 butterflies for the transforms' wide stages (span of eight or more). Chosen at run
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

#else

bool ntt_have_avx2() { return false; }
void ntt_dif_span_avx2(uint32_t *, uint32_t *, const uint32_t *, const uint32_t *, int, uint32_t) {}
void ntt_dit_span_avx2(uint32_t *, uint32_t *, const uint32_t *, const uint32_t *, int, uint32_t) {}

#endif
