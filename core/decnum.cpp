// Precision, copying, the carry shift, normalisation and the one-digit left shift.
#include "core/decnum.h"

#include <cstring>

// Start-up precision: the default 1,000 significant digits, until the first command sets it.
int sig_digits = 1000;
int word_count = 168;
int internal_digits = 1008;
int word_count_low_water = 168;

int bare_digits = 0;
int line_digits = 200;
int group_digits = 20;
int compact_memory = 0;
int hipr_mode = 0;

int scan_index = 0;

DecWord ScratchNums[DEC_SCRATCH_SLOTS][DEC_BUF_WORDS];

int dec_word_count_for(int digits) {
  // Guard digits g grow with the precision: 5 below 100 digits, up to 9 at 100,000.
  int g = digits < 100 ? 5 : digits < 1000 ? 6 : digits < 10000 ? 7 : digits < 100000 ? 8 : 9;
  return (digits + g) / 6 + 1;
}

int dec_set_precision(int digits) {
  if (digits < 12 || digits > 100000) return -1;
  sig_digits = digits;
  word_count = dec_word_count_for(digits);
  internal_digits = word_count * 6;
  if (word_count < word_count_low_water) word_count_low_water = word_count;
  return 0;
}

int dec_copy(DecWord *dst, const DecWord *src) {
  if (dst != src) std::memmove(dst, src, sizeof(DecWord) * (size_t)(word_count + 1));
  return 0;
}

int dec_copy_guarded(DecWord *dst, const DecWord *src) {
  if (!dst || !src) return -1;
  if (dst == src) return 0;
  return dec_copy(dst, src);
}

int dec_zero(DecWord *p) {
  std::memset(p, 0, sizeof(DecWord) * (size_t)(word_count + 1));
  return 0;
}

int dec_zero_guarded(DecWord *p) {
  if (!p) return -1;
  return dec_zero(p);
}

void dec_set_marker(DecWord *p, int32_t marker) {
  if (p) dec_set_head(p, marker);
}

int dec_carry_shift(DecWord *p, int last) {
  if ((p[1] & TOP_LANE_MASK) == 0) return 0;
  int32_t head = dec_head(p) + 2;
  if ((head >> 1) > DEC_EXP_MAX) {
    dec_set_head(p, NUM_OVERFLOW);
    return -1;
  }
  dec_set_head(p, head);
  // One lane down: the low lane of word i − 1 becomes the top lane of word i.
  for (int i = last + 1; i >= 2; --i) p[i] = (p[i] >> 5) | ((p[i - 1] & 0x3F) << 25);
  p[1] >>= 5;
  return 0;
}

int dec_normalise(DecWord *p) {
  const int wc = word_count;
  int first = 1;
  while (first <= wc && p[first] == 0) ++first;
  if (first > wc) {
    dec_set_head(p, 0);
    return 0;
  }
  // Position of the first non-zero digit: lane index within the word, top lane first.
  int lane = 0;
  while (((p[first] >> (26 - 5 * lane)) & 31) == 0) ++lane;
  int off = (first - 1) * 6 + lane - 1;
  if (off < 0) return dec_carry_shift(p, wc - 1);
  if (off == 0) return 0;
  int32_t head = dec_head(p) - 2 * off;
  if ((head >> 1) < DEC_EXP_MIN) {
    dec_zero(p);
    return 0;
  }
  dec_set_head(p, head);
  const int ws = off / 6;
  const int s = (off % 6) * 5;
  if (s == 0) {
    for (int i = 1; i + ws <= wc; ++i) p[i] = p[i + ws];
  } else {
    for (int i = 1; i + ws <= wc; ++i) {
      int j = i + ws;
      DecWord next = j + 1 <= wc ? p[j + 1] : 0;
      p[i] = ((p[j] << s) & 0x7FFFFFFF) | (next >> (30 - s));
    }
  }
  for (int i = wc - ws + 1; i <= wc; ++i) p[i] = 0;
  return 0;
}

int dec_shift_left_digit(DecWord *p) {
  if ((p[1] & TOP_LANE_MASK) != 0) {
    dec_set_head(p, NUM_ERROR);
    return -1;
  }
  dec_set_head(p, dec_head(p) - 2);
  const int wc = word_count;
  for (int i = 1; i < wc; ++i) p[i] = ((p[i] & 0x3FFFFFF) << 5) | (p[i + 1] >> 25);
  p[wc] = (p[wc] & 0x3FFFFFF) << 5;
  return 0;
}

double dec_leading_double(const DecWord *p) {
  double v = 0, scale = 1;
  for (int k = 1; k <= 17; ++k) {
    v += dec_digit_at(p, k) * scale;
    scale /= 10;
  }
  for (int32_t e = dec_exponent(p); e > 0; --e) v *= 10;
  for (int32_t e = dec_exponent(p); e < 0; ++e) v /= 10;
  return v;
}

int dec_check_valid(const DecWord *p) {
  if (!p) return 1;
  if (dec_is_marker(p)) return 0;
  int32_t exp = dec_exponent(p);
  if (exp < DEC_EXP_MIN || exp > DEC_EXP_MAX) return 2;
  for (int i = 1; i <= word_count; ++i) {
    DecWord w = p[i];
    if (w & ~LANE_DIGIT_MASK) return 3;  // carry bits, bit 0 or bit 31 set
    for (int lane = 0; lane < 6; ++lane)
      if (((w >> (26 - 5 * lane)) & 15) > 9) return 4;
  }
  if (p[1] == 0) {
    for (int i = 2; i <= word_count; ++i)
      if (p[i]) return 5;  // leading zeros: not normalised
    return dec_head(p) == 0 ? 0 : 6;  // the only zero is head 0
  }
  if (p[1] & TOP_LANE_MASK) return 7;        // digit left in position 0
  if ((p[1] & LEAD_LANE_MASK) == 0) return 8;  // leading position empty
  return 0;
}
