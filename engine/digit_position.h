// Digit positions in a register text, for the front ends' position field, "go to digit",
// the highlight of a comparison and `show Rn FROM..TO`.
//
// A text's significant digits are the digits of its mantissa from the first non-zero digit
// on, trailing zeros included ("1000" has four, ".001234" four, "1.5 e-7" two, "0" none).
// Digit 1 is the leading one, as in the reports of the comparison. The mantissa ends where
// the number reader stops: at the exponent letter or at the first character that is not a
// digit, a point, a sign, a blank, a comma or a line break. Grouping blanks, commas and
// line breaks are not counted, so a position means the same digit in the grouped text a
// register box shows, in its "Plane disp." form and in a text typed with commas.
//
// Pure text code: no engine state, usable by every front end and its tests.
#pragma once

#include <cstddef>

// The significant digits of text[0, len).
int text_digit_total(const char *text, size_t len);

// The significant digits that stand before byte offset `offset` (an offset past len counts
// as len).
int text_digits_before(const char *text, size_t len, size_t offset);

// The byte offset of significant digit k (1 = the leading digit). k below 1 gives the
// offset of digit 1; k past the total gives the offset just after the last digit of the
// mantissa (len for a text without digits).
size_t text_offset_of_digit(const char *text, size_t len, int k);

// n with a comma every three digits ("100,013"), into buf (at least 16 bytes).
void format_count(long long n, char *buf, size_t size);

// Reads a position as typed into a prompt: decimal digits, optionally grouped with commas,
// blanks, apostrophes or underscores ("45,231"), blanks around it. 0 for anything else
// (no position is 0), saturated to the int range.
int parse_position(const char *text);
