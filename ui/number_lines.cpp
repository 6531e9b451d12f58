// Display-side joining of a number's lines (see number_lines.h).
#include "ui/number_lines.h"

#include <utility>

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_spacing(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

bool join_number_lines(const char *text, size_t len, std::string *out) {
  std::string shown;
  shown.reserve(len);
  bool joined = false;
  bool blank_seen = false;  // a group blank since the start of the line (or the number)
  size_t i = 0;
  while (i < len) {
    const char c = text[i];
    if (c == '\r' && i + 2 < len && text[i + 1] == '\n' && blank_seen && i > 0 &&
        is_digit(text[i - 1]) && is_digit(text[i + 2])) {
      shown += ' ';  // the next line goes on with the same number
      i += 2;
      joined = true;
      continue;
    }
    if (c == ' ') blank_seen = true;
    if (c == '\n') blank_seen = false;
    shown += c;
    ++i;
  }
  if (!joined) return false;
  *out = std::move(shown);
  return true;
}

size_t map_text_offset(const char *from, size_t from_len, size_t offset, const char *to, size_t to_len,
                       bool forward) {
  if (offset > from_len) offset = from_len;
  size_t others = 0;
  for (size_t i = 0; i < offset; ++i) others += !is_spacing(from[i]);
  size_t at = 0;
  // Past `others` characters of `to` that are not blanks or breaks.
  for (size_t seen = 0; at < to_len && seen < others; ++at) seen += !is_spacing(to[at]);
  if (forward) {
    size_t next = at;
    while (next < to_len && is_spacing(to[next])) ++next;
    if (next < to_len) at = next;  // blanks and breaks at the very end stay after the place
  }
  return at;
}
