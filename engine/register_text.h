// Register values as plain text outside the calculator: a register file (save and load)
// and the form other programs read ("Copy as number").
//
// A register file is plain text: optional comment lines beginning with "#" and blank lines
// on top, then the value, as the plain display form writes it on one line (grouped texts
// over several lines read too). Reading is bounded as the workspace is: a value takes one
// register text, at most 109,999 characters, and the file at most 1 MiB; past either the
// file is refused with a message that says so. Writing goes through the safe-save path
// (engine/file_save.h): the target holds its old content or the new one, whole.
//
// Pure text and file code: no engine state, so every front end and its tests use it.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t REGISTER_FILE_MAX_BYTES = size_t{1} << 20;

// True when text[0, len) is one whole number as the registers read it (blanks, commas and
// line breaks anywhere, one sign, digits with one point, an optional exponent "e" or "E"
// with a sign and digits) or a marker text, "ERROR" or "OVERFLOW", alone. Otherwise false
// with *fault the offset of the first character that keeps it from being one (the end for
// a text without a digit).
bool number_text_whole(const char *text, size_t len, size_t *fault);

// Reads a register file into out (a slot-sized buffer: at most 109,999 characters and a
// NUL, line ends as CR LF, the line ends after the value dropped). 0, or −1 with the
// reason in *error ("cannot read 'pi.txt': No such file or directory", "'x.txt' holds more
// than 109,999 characters of number: ...", "'x.txt' line 3 is not part of a number").
int register_file_read(const char *path, char *out, std::string *error);

// Writes a register file: "# comment" and a line end when comment is not empty, then the
// value and a line end (LF; CR LF on Windows). false with the reason in *error.
bool register_file_write(const char *path, const char *comment, const char *value,
                         std::string *error);

// The form other programs read of a value in the plain display form ("-.5", "1.5e-7",
// "2"): a zero before a leading point ("-0.5"), no blanks or line ends. false (out empty)
// for a text that is not a number ("ERROR", "OVERFLOW"). out: at least len + 2 bytes.
bool number_export_text(const char *plain, char *out, size_t size);
