// Register tools of the engine (see register_tools.h).
//
// The comparison takes each number to its shown digits in a buffer of characters, rounds
// it there as the display does (so the registers themselves are never touched), and then
// compares the two buffers; one linear pass each, under a millisecond at 100,000 digits.
#include "engine/register_tools.h"

#include <cstdio>
#include <cstring>

#include "core/core.h"
#include "engine/digit_position.h"
#include "engine/state.h"

namespace {

// The shown digits of a number: count digits and the exponent of the first.
struct ShownDigits {
  char digits[DEC_MAX_WORDS * 6 + 8];
  int32_t exponent;
};
// Allocated at the first comparison: the program's fixed memory stays small.
ShownDigits *shown_pair = nullptr;

// The digits the display shows of a non-zero number p, count of them, rounded half up at
// position count + 1 when that lies within the internal digits (as dec_to_text rounds).
// A carry out of digit 1 (9.99… rounded) makes the shown form 1 followed by zeros, one
// power of ten higher. The exponent may then pass the largest one; it is only compared.
void take_shown(const DecWord *p, int count, ShownDigits *out) {
  const int held = internal_digits - 1;  // positions 1 .. held carry digits
  for (int k = 1; k <= count; ++k) out->digits[k - 1] = static_cast<char>('0' + (k <= held ? dec_digit_at(p, k) : 0));
  out->exponent = dec_exponent(p);
  if (count >= held || dec_digit_at(p, count + 1) < 5) return;
  int k = count - 1;
  while (k >= 0 && out->digits[k] == '9') out->digits[k--] = '0';
  if (k >= 0) {
    ++out->digits[k];
  } else {
    out->digits[0] = '1';
    ++out->exponent;
  }
}

const char *marker_name(const DecWord *p) {
  if (dec_head(p) == NUM_ERROR) return "ERROR";
  if (dec_head(p) == NUM_OVERFLOW) return "OVERFLOW";
  return nullptr;
}

bool held_equal(const DecWord *a, const DecWord *b) {
  return std::memcmp(a, b, sizeof(DecWord) * static_cast<size_t>(word_count + 1)) == 0;
}

}  // namespace

int compare_registers(int a, int b, CompareReport *r) {
  if (a < 0 || a >= REGISTER_COUNT || b < 0 || b >= REGISTER_COUNT || r == nullptr) return -1;
  *r = CompareReport{};
  r->a = a;
  r->b = b;
  const DecWord *x = Registers[a], *y = Registers[b];
  const int count = bare_digits ? internal_digits - 1 : sig_digits;
  r->shown = count;
  r->marker_a = marker_name(x);
  r->marker_b = marker_name(y);
  if (r->marker_a || r->marker_b) {
    r->kind = COMPARE_MARKER;
    return 0;
  }
  r->zero_a = dec_is_zero(x);
  r->zero_b = dec_is_zero(y);
  if (r->zero_a || r->zero_b) {
    r->kind = r->zero_a && r->zero_b ? COMPARE_EQUAL : COMPARE_ZERO;
    return 0;
  }
  if (dec_sign(x) != dec_sign(y)) {
    r->kind = COMPARE_SIGN;
    return 0;
  }
  if (shown_pair == nullptr) shown_pair = new ShownDigits[2];
  ShownDigits &shown_a = shown_pair[0], &shown_b = shown_pair[1];
  take_shown(x, count, &shown_a);
  take_shown(y, count, &shown_b);
  if (shown_a.exponent != shown_b.exponent) {
    r->kind = COMPARE_EXPONENT;
    r->exp_a = shown_a.exponent;
    r->exp_b = shown_b.exponent;
    return 0;
  }
  int k = 0;
  while (k < count && shown_a.digits[k] == shown_b.digits[k]) ++k;
  if (k < count) {
    r->kind = COMPARE_DIGITS;
    r->agree = k;
    r->digit_a = shown_a.digits[k] - '0';
    r->digit_b = shown_b.digits[k] - '0';
    return 0;
  }
  r->kind = COMPARE_EQUAL;
  r->held_equal = held_equal(x, y);
  return 0;
}

int register_plain_text(int n, char *out) {
  if (n < 0 || n > 9 || out == nullptr) return -1;
  const int line = line_digits, group = group_digits;
  line_digits = 0;
  group_digits = 0;
  dec_to_text(Registers[n], out);
  line_digits = line;
  group_digits = group;
  size_t len = std::strlen(out);
  while (len > 0 && (out[len - 1] == '\r' || out[len - 1] == '\n')) --len;
  out[len] = '\0';
  return 0;
}

void register_file_comment(int n, char *buf, size_t size) {
  char count[32];
  if (bare_digits) {
    format_count(internal_digits - 1, count, sizeof count);
    std::snprintf(buf, size, "deepNUMS R%d at all %s internal digits", n, count);
  } else {
    format_count(sig_digits, count, sizeof count);
    std::snprintf(buf, size, "deepNUMS R%d at %s significant digits", n, count);
  }
}
