// Reading a number text.
//
// The scan is lenient: blanks, commas and line breaks are skipped anywhere, the first
// unknown character ends the number quietly. The first significant digit always lands in
// position 1, so the result needs no normalisation. Digits beyond the last position are
// dropped without rounding; dropped digits before the point still raise the exponent.
#include <climits>
#include <cstring>

#include "core/cancel.h"
#include "core/text.h"

namespace {

// The exponent after "e": a signed decimal integer read as strtol would (leading white
// space and a sign allowed, no digits gives 0), saturating at the 32-bit limits.
int32_t read_exponent_part(const char *s) {
  while (*s == ' ' || (*s >= '\t' && *s <= '\r')) ++s;
  bool neg = false;
  if (*s == '+' || *s == '-') neg = (*s++ == '-');
  int64_t v = 0;
  while (*s >= '0' && *s <= '9') {
    if (v <= (int64_t)INT32_MAX + 1) v = v * 10 + (*s - '0');
    ++s;
  }
  if (neg) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return (int32_t)v;
}

// True when text is word, alone but for blanks and line breaks around it: the way the
// formatter writes a marker.
bool is_marker_text(const char *text, const char *word) {
  while (*text == ' ' || *text == '\r' || *text == '\n') ++text;
  const size_t n = strlen(word);
  if (strncmp(text, word, n) != 0) return false;
  for (text += n; *text == ' ' || *text == '\r' || *text == '\n'; ++text) {
  }
  return *text == '\0';
}

}  // namespace

int dec_from_text(DecWord *p, const char *text) {
  if (!p || !text) return -1;
  // The texts shown for the two markers read back as the markers, so that an error or an
  // overflow stays one through an edited box, a workspace file or a restart.
  const int32_t marker = is_marker_text(text, "ERROR")      ? NUM_ERROR
                         : is_marker_text(text, "OVERFLOW") ? NUM_OVERFLOW
                                                            : 0;
  if (marker != 0) {
    dec_zero(p);
    dec_set_marker(p, marker);
    return -1;
  }
  dec_zero(p);
  const int wc = word_count;
  int word = 1, shift = 21;  // write cursor: position 1
  bool started = false, point = false, nonzero = false;
  int64_t exponent = 0;
  int sign = 0;
  bool exponent_forced_overflow = false;

  auto advance = [&]() {
    if (word > wc) return;
    shift -= 5;
    if (shift < 1) {
      shift = 26;
      ++word;
    }
  };

  for (const char *c = text;; ++c) {
    if (((c - text) & 4095) == 4095) cancel_check();
    signed char ch = (signed char)*c;
    if (ch < 10) break;  // NUL, control bytes, and every byte 0x80..0xFF
    if (ch == ' ' || ch == ',' || ch == '\r' || ch == '\n') continue;
    if (ch == '+' || ch == '-') {
      if (started) {
        dec_set_head(p, NUM_ERROR);
        return -1;
      }
      if (ch == '-') sign = 1;
      started = true;
    } else if (ch == '.') {
      if (point) {
        dec_set_head(p, NUM_ERROR);
        return -1;
      }
      point = started = true;
      if (!nonzero) --exponent;
    } else if (ch == '0') {
      if (!started) {
        started = true;
      } else if (nonzero) {
        advance();
        if (!point) ++exponent;
      } else if (point) {
        --exponent;
      }
    } else if (ch >= '1' && ch <= '9') {
      if (word <= wc) {
        p[word] |= (DecWord)(ch - '0') << shift;
        advance();
      }
      if (nonzero && !point) ++exponent;
      started = nonzero = true;
    } else if (ch == 'e' || ch == 'E') {
      int32_t v = read_exponent_part(c + 1);
      if (v < DEC_EXP_MIN) {
        p[1] = 0;
      } else if (v > DEC_EXP_MAX) {
        exponent_forced_overflow = true;
      } else {
        exponent += v;
      }
      break;
    } else {
      break;
    }
  }

  if (exponent_forced_overflow) exponent = (int64_t)DEC_EXP_MAX + 1;
  if (exponent < DEC_EXP_MIN || p[1] == 0) {
    dec_zero(p);
    return 0;
  }
  if (exponent > DEC_EXP_MAX) {
    dec_set_head(p, NUM_OVERFLOW);
    return -1;
  }
  dec_set_head(p, (int32_t)(exponent * 2 + sign));
  return 0;
}
