// Display-side line breaks for the wrapping register boxes.
//
// A multi-line edit box that wraps its lines (a register box) is very slow to lay out one
// line of tens of thousands of characters, as a "Plane disp." result is, or a grouped one
// whose 200-digit lines are joined: the edit control measures ever longer prefixes to find
// where to wrap (minutes for five 100,000-digit registers under Wine), and a Qt editor
// shapes the whole line at every change (30 ms for each such register). The backends
// therefore wrap every line longer than the box's `columns` itself, as the box would:
// after the last blank that keeps the line within `columns` (between digit groups), or,
// in a run without a blank (a run contains no blank, TAB, CR or LF), after `columns`
// bytes of it. The front end never sees these breaks: the text it set is given back
// exactly while the box is unchanged, and after the user has edited the box the inserted
// breaks that the edit left untouched are taken out again. Everything the user typed is
// kept. Breaks the user typed inside the edited part stay, and the number parser skips
// line breaks wherever they stand.
//
// Pure code without platform headers, so that it is tested on every platform.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct DisplayText {
  std::string original;        // the text as the front end set it
  std::string shown;           // the text as the box holds it, with the inserted breaks
  std::vector<size_t> breaks;  // offsets in `shown` of each inserted CR LF, ascending
};

// Fills d for a text: `shown` is the text with a CR LF inserted wherever a line is longer
// than `columns` bytes: after the last blank that keeps it within them (a blank that is
// byte columns + 1 ends the line too, as it may in a box), or after `columns`
// bytes of a run without a blank (never inside a UTF-8 sequence, never at the end of a
// line). columns < 1 is taken as 1. Returns true when a break was inserted.
bool make_display_text(DisplayText &d, const char *text, size_t len, size_t columns);

// The front end's view of the box's current text `current`: the original text when the
// box still holds `shown`; otherwise `current` without the inserted breaks that lie in
// the common prefix or the common suffix of `shown` and `current` (the parts the edit
// did not touch).
void restore_display_text(const DisplayText &d, const std::string &current, std::string &out);
