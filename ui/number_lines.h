// Display-side joining of a number's lines, for the register boxes of both backends.
//
// The engine shows a long number in lines of 200 digits: groups of 20 digits separated by
// blanks, and CR LF after every tenth group. A register box wider than such a line would
// leave most of its width empty, and one narrower would break the line again wherever it
// ends. So a box shows the number with a blank in place of each of those line breaks and
// wraps it itself, between groups, where its own width ends. The box's text is for display
// only: the backend gives the front end the text it set, byte for byte, while the box is
// unchanged; after an edit the blanks stay blanks, which the number parser skips as it
// skips line breaks.
//
// Pure code without platform headers, so that it is tested on every platform.
#pragma once

#include <cstddef>
#include <string>

// Fills out with text in which every CR LF that stands between two digits of a grouped
// number (a text with a blank before the break) is a blank, and returns true when there
// was such a break; otherwise returns false and leaves out alone.
bool join_number_lines(const char *text, size_t len, std::string *out);

// Offsets between two texts that hold the same characters apart from blanks and line
// breaks: the text a box shows (joined lines, inserted breaks, its own line ends) and the
// text the front end set. The offset in `to` of the place that is `offset` in `from`:
// after as many other characters as stand before `offset` there. A place among blanks and
// breaks goes to just before the next other character (forward; blanks and breaks at the
// end of the text are not passed) or just after the last one before it (backward, for the
// end of a selection).
size_t map_text_offset(const char *from, size_t from_len, size_t offset, const char *to, size_t to_len,
                       bool forward);
