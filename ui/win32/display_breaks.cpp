// Display-side line breaks for the wrapping register boxes (see display_breaks.h).
#include "ui/win32/display_breaks.h"

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
  size_t run = 0;  // bytes of the current unbroken run since its start or the last break
  for (size_t i = 0; i < len; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (ends_run(c)) {
      run = 0;
    } else {
      // A break goes only before a further character of the run, so a run is never
      // followed by an empty line, and never inside a UTF-8 sequence.
      if (run >= columns && !utf8_continuation(c)) {
        d.breaks.push_back(d.shown.size());
        d.shown += "\r\n";
        run = 0;
      }
      ++run;
    }
    d.shown += static_cast<char>(c);
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
