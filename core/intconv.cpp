// Machine integers, truncation, rounding at a decimal place and signed comparison.
#include "core/intconv.h"

#include <climits>

#include "core/addsub.h"

int dec_from_int(DecWord *p, int32_t v, int32_t e) {
  if (!p || v == INT32_MIN || e > DEC_EXP_MAX) return -1;
  uint32_t mag = (uint32_t)v;
  if (v < 0) {
    p[0] |= 1;
    mag = (uint32_t)-v;
  }
  int c = 0;  // number of digits minus one
  for (uint32_t t = mag; t >= 10; t /= 10) ++c;
  const int64_t exponent = (int64_t)e + c;
  // Below the range the value cannot be represented either: the caller marks it.
  if (exponent > DEC_EXP_MAX || exponent < DEC_EXP_MIN) return -1;
  dec_set_head(p, (int32_t)(2 * exponent) | (int32_t)(p[0] & 1));
  for (int pos = c + 1; pos >= 1; --pos) {
    p[pos_word(pos)] |= (DecWord)(mag % 10) << pos_shift(pos);
    mag /= 10;
  }
  return 0;
}

int32_t dec_to_int(const DecWord *x) {
  if (!x || dec_is_marker(x)) return -1;
  const int32_t exponent = dec_exponent(x);
  if (exponent >= 10) return INT32_MIN;
  if (exponent < 0) return 0;
  if (exponent == 9 && dec_digit_at(x, 1) > 2) return INT32_MIN;
  uint32_t value = 0;
  for (int pos = 1; pos <= exponent + 1; ++pos) value = value * 10 + (uint32_t)dec_digit_at(x, pos);
  if (value > (uint32_t)INT32_MAX) return INT32_MIN;
  return dec_sign(x) ? -(int32_t)value : (int32_t)value;
}

namespace {

// Marker propagation shared by dec_trunc and dec_round_at; true when dst was written.
bool marker_result(DecWord *dst, const DecWord *src, int *status) {
  if (!src || dec_head(src) == NUM_ERROR) {
    dec_set_head(dst, NUM_ERROR);
    *status = -1;
    return true;
  }
  if (dec_head(src) == NUM_OVERFLOW) {
    dec_set_head(dst, NUM_OVERFLOW);
    *status = -1;
    return true;
  }
  return false;
}

}  // namespace

int dec_trunc(DecWord *dst, const DecWord *src) {
  if (!dst) return -1;
  int status;
  if (marker_result(dst, src, &status)) return status;
  const int32_t exponent = dec_exponent(src);
  if (exponent < 0) return dec_zero(dst);
  // The units digit is at position exponent + 1; positions from f = exponent + 2 on go.
  const int64_t f = (int64_t)exponent + 2;
  const int64_t w = f / 6;
  if (w >= word_count) return dec_copy(dst, src);
  const int wi = (int)w;
  if (dst != src)
    for (int i = 0; i <= wi; ++i) dst[i] = src[i];
  dst[wi + 1] = src[wi + 1] & (~(DecWord)0 << (30 - 5 * (int)(f % 6)));
  for (int i = wi + 2; i <= word_count; ++i) dst[i] = 0;
  return 0;
}

int dec_round_at(DecWord *dst, const DecWord *src, int32_t n) {
  if (!dst) return -1;
  int status;
  if (marker_result(dst, src, &status)) return status;
  if (dec_is_zero(src)) return dec_zero(dst);
  const int64_t k64 = (int64_t)dec_exponent(src) + n + 1;  // position of the last kept digit
  if (k64 >= internal_digits - 1) return dec_copy(dst, src);
  if (k64 < 0 || (k64 == 0 && src[1] < 0xA00000)) return dec_zero(dst);
  const int k = (int)k64;
  const DecWord r = dec_digit_at(src, k + 1) >= 5 ? 1 : 0;
  const int w = pos_word(k);
  for (int i = w + 1; i <= word_count; ++i) dst[i] = 0;
  DecWord carry;
  dst[w] = lane_add(src[w] & (~(DecWord)0 << pos_shift(k)), r << pos_shift(k), 0, &carry);
  for (int i = w - 1; i >= 1; --i) {
    if (carry)
      dst[i] = lane_inc(src[i], &carry);
    else
      dst[i] = src[i];
  }
  dst[0] = src[0];
  return dec_carry_shift(dst, word_count - 1);
}

int dec_compare(const DecWord *a, const DecWord *b) {
  if (!a || !b) return INT32_MIN;
  if (dec_sign(a) != dec_sign(b)) return dec_sign(a) ? -1 : 1;
  int m = mag_compare(a, b);
  return dec_sign(a) ? -m : m;
}

int mag_compare_short(const DecWord *a, const DecWord *k) {
  const bool za = a[1] == 0, zk = k[1] == 0;
  if (za || zk) return za && zk ? 0 : za ? -1 : 1;
  const int32_t ea = dec_exponent(a), ek = dec_exponent(k);
  if (ea != ek) return ea > ek ? 1 : -1;
  if (a[1] != k[1]) return a[1] > k[1] ? 1 : -1;
  int next = 2;
  if (k[2] != 0) {
    if (a[2] != k[2]) return a[2] > k[2] ? 1 : -1;
    next = 3;
  }
  for (int i = next; i <= word_count; ++i)
    if (a[i] != 0) return 1;
  return 0;
}
