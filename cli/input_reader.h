// Standard input of deepnums-cli read in blocks: lines for the interactive and filter
// modes, bytes for the line editor. One reader serves the process, so the two never split
// the input between two buffers.
#pragma once

#include <cstddef>
#include <string>

enum ReadResult {
  READ_LINE,         // *line holds the line, without its line feed (and CR before it)
  READ_END,          // the end of input; no line
  READ_INTERRUPTED,  // a signal arrived while waiting (interrupt_pending()): the partial
                     // line is dropped, and from a pipe or file the rest of it is skipped
  READ_TOO_LONG,     // a line longer than the limit was read to its end and dropped
};

class InputReader {
 public:
  static constexpr size_t BLOCK_BYTES = size_t{1} << 16;  // 64 KiB per read

  // fd: the file descriptor read (0: standard input); max_chars: the longest line kept.
  InputReader(int fd, size_t max_chars);

  // The next line. A last line without a line feed is a line.
  ReadResult read_line(std::string *line);

  // The next byte, or −1 at the end of input or after an interrupt (for the line editor,
  // which keeps its own line).
  int read_byte();

 private:
  // Fills the buffer; 1 with bytes, 0 at the end of input, −1 on an interrupt.
  int fill();

  int fd_;
  size_t max_chars_;
  std::string buffer_;
  size_t begin_ = 0, end_ = 0;  // unread bytes: buffer_[begin_ .. end_)
  bool at_end_ = false;
  bool skip_to_line_end_ = false;  // after an interrupt in the middle of a piped line
  bool terminal_;
};

// The reader of standard input, lines at most INPUT_LINE_MAX_CHARS long.
InputReader &standard_input();
