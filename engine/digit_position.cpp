// Digit positions in a register text (see digit_position.h). Every function makes one
// pass over the text, so a 110,000-character register costs well under a millisecond.
#include "engine/digit_position.h"

#include <climits>
#include <cstdio>

namespace {

// The characters the number reader passes over inside a mantissa besides the digits.
bool mantissa_other(char c) {
  return c == ' ' || c == ',' || c == '\r' || c == '\n' || c == '+' || c == '-' || c == '.';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Walks the mantissa of text[0, len): calls visit(offset) for every significant digit in
// order, until it returns false.
template <typename Visit>
void walk_digits(const char *text, size_t len, Visit visit) {
  bool significant = false;
  for (size_t i = 0; i < len; ++i) {
    const char c = text[i];
    if (is_digit(c)) {
      if (c != '0') significant = true;
      if (significant && !visit(i)) return;
    } else if (!mantissa_other(c)) {
      return;  // the exponent letter, or where the reader stops
    }
  }
}

}  // namespace

int text_digit_total(const char *text, size_t len) {
  int n = 0;
  walk_digits(text, len, [&](size_t) {
    ++n;
    return true;
  });
  return n;
}

int text_digits_before(const char *text, size_t len, size_t offset) {
  int n = 0;
  walk_digits(text, len, [&](size_t at) {
    if (at >= offset) return false;
    ++n;
    return true;
  });
  return n;
}

size_t text_offset_of_digit(const char *text, size_t len, int k) {
  if (k < 1) k = 1;
  int n = 0;
  size_t found = len, last_end = len;
  bool any = false;
  walk_digits(text, len, [&](size_t at) {
    ++n;
    any = true;
    last_end = at + 1;
    if (n == k) {
      found = at;
      return false;
    }
    return true;
  });
  if (n == k) return found;
  return any ? last_end : len;
}

void format_count(long long n, char *buf, size_t size) {
  char digits[32];
  const bool negative = n < 0;
  unsigned long long v = negative ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  int len = std::snprintf(digits, sizeof digits, "%llu", v);
  char out[48];
  size_t o = 0;
  if (negative) out[o++] = '-';
  for (int i = 0; i < len; ++i) {
    if (i > 0 && (len - i) % 3 == 0) out[o++] = ',';
    out[o++] = digits[i];
  }
  out[o] = '\0';
  std::snprintf(buf, size, "%s", out);
}

int parse_position(const char *text) {
  const char *p = text;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  auto separator = [](char c) { return c == ',' || c == ' ' || c == '\'' || c == '_'; };
  while (blank(*p)) ++p;
  if (!is_digit(*p)) return 0;
  long long v = 0;
  for (;;) {
    if (is_digit(*p)) {
      if (v <= INT_MAX) v = v * 10 + (*p - '0');
      ++p;
    } else if (separator(*p) && is_digit(p[1])) {
      ++p;
    } else {
      break;
    }
  }
  while (blank(*p)) ++p;
  if (*p != '\0') return 0;
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}
