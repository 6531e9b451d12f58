// Bounded reading of deepnums-cli's inputs and the quoting of input in messages: no input
// (a script file, a device, an endless line) is read further than its limit.
#pragma once

#include <cstddef>
#include <string>

// The longest line read in interactive mode, its line feed excluded: room for several
// register texts of 109,999 characters. A longer line is skipped with a message.
constexpr size_t INPUT_LINE_MAX_CHARS = size_t{1} << 20;

// The script file's lines joined with CR LF, as the script box holds them. Reads at most
// one character past the box's 109,999, then stops. 0, or 2 with the message in *error
// (the file cannot be read, or its script does not fit the box).
int read_script_file(const char *path, std::string *text, std::string *error);

// text with every control byte and DEL written as an escape (\0, \t, \r, \n, \xHH), so
// that a message quoting input shows it whole and cannot move the terminal.
std::string printable(const std::string &text);
