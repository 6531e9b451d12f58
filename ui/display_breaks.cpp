// Display-side line breaks for the wrapping register boxes (see display_breaks.h).
#include "ui/display_breaks.h"

#include <algorithm>

namespace {

bool ends_run(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool utf8_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

bool make_display_text(DisplayText &d, const char *text, size_t len, size_t columns) {
  if (columns < 1) columns = 1;
  d.original.assign(text, len);
  d.shown.clear();
  d.breaks.clear();
  d.shown.reserve(len + 2 * (len / columns) + 2);
  size_t at = 0;
  while (at < len) {
    // One line of the text: [at, end) without its line end, then the line end itself.
    size_t end = at;
    while (end < len && text[end] != '\r' && text[end] != '\n') ++end;
    size_t from = at;
    while (end - from > columns) {
      // The longest start of the rest that fits: up to its last blank (the blank stays
      // on this line), or, for a run without one, `columns` bytes of it (moved back off
      // a UTF-8 continuation byte).
      size_t cut = from + columns;
      // A blank just past the width may end the line too, as it does in a box.
      size_t blank = cut + 1;
      while (blank > from && !ends_run(static_cast<unsigned char>(text[blank - 1]))) --blank;
      if (blank > from) {
        cut = blank;
      } else {
        while (cut > from + 1 && utf8_continuation(static_cast<unsigned char>(text[cut]))) --cut;
        // A character longer than the whole width stays whole.
        while (cut < end && utf8_continuation(static_cast<unsigned char>(text[cut]))) ++cut;
        if (cut >= end) break;
      }
      d.shown.append(text + from, cut - from);
      d.breaks.push_back(d.shown.size());
      d.shown += "\r\n";
      from = cut;
    }
    d.shown.append(text + from, end - from);
    // The line end as it stands (CR LF, LF or a lone CR).
    at = end;
    while (at < len && (text[at] == '\r' || text[at] == '\n')) {
      d.shown += text[at];
      ++at;
      if (text[at - 1] == '\n') break;
    }
  }
  return !d.breaks.empty();
}

void restore_display_text(const DisplayText &d, const std::string &current, std::string &out) {
  if (current == d.shown) {
    out = d.original;
    return;
  }
  const std::string &shown = d.shown;
  const size_t common = std::min(shown.size(), current.size());
  size_t prefix = 0;
  while (prefix < common && shown[prefix] == current[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < common - prefix &&
         shown[shown.size() - 1 - suffix] == current[current.size() - 1 - suffix])
    ++suffix;
  // Offsets in `current` of the inserted breaks still standing untouched: those wholly in
  // the common prefix, then those in the common suffix; ascending, never overlapping.
  const size_t suffix_start_shown = shown.size() - suffix;
  const size_t suffix_start_current = current.size() - suffix;
  out.clear();
  out.reserve(current.size());
  size_t copied = 0;
  auto drop = [&](size_t at) {
    out.append(current, copied, at - copied);
    copied = at + 2;
  };
  for (size_t b : d.breaks) {
    if (b + 2 <= prefix) {
      drop(b);
    } else if (b >= suffix_start_shown) {
      drop(b - suffix_start_shown + suffix_start_current);
    }
  }
  out.append(current, copied, std::string::npos);
}
