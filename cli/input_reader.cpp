// Block reading of standard input (see input_reader.h). A read waits in the kernel; the
// SIGINT handler is installed without SA_RESTART, so Ctrl-C ends the wait with EINTR and
// the reader reports it. Lines are cut at line feeds with memchr, and an overlong line is
// skipped block by block without being copied.
#include "cli/input_reader.h"

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#define isatty _isatty
#endif

#include "cli/inputs.h"
#include "cli/runner.h"

InputReader::InputReader(int fd, size_t max_chars)
    : fd_(fd), max_chars_(max_chars), buffer_(BLOCK_BYTES, '\0'), terminal_(isatty(fd) != 0) {}

int InputReader::fill() {
  if (at_end_) return 0;
  for (;;) {
    if (!wait_for_input(fd_)) return -1;
#ifndef _WIN32
    ssize_t n = read(fd_, &buffer_[0], buffer_.size());
    if (n < 0 && errno == EINTR) {
      if (interrupt_pending()) return -1;
      continue;
    }
#else
    int n = _read(fd_, &buffer_[0], (unsigned)buffer_.size());
#endif
    if (interrupt_pending()) {
      // The bytes read stay for the next call.
      if (n > 0) {
        begin_ = 0;
        end_ = (size_t)n;
      }
      return -1;
    }
    if (n <= 0) {
      at_end_ = true;
      return 0;
    }
    begin_ = 0;
    end_ = (size_t)n;
    return 1;
  }
}

ReadResult InputReader::read_line(std::string *line) {
  line->clear();
  bool too_long = false, any = false;
  for (;;) {
    if (begin_ == end_) {
      const int f = fill();
      if (f < 0) {
        // From a pipe or a file the rest of a line begun is not a line of its own.
        if ((any || skip_to_line_end_) && !terminal_) skip_to_line_end_ = true;
        line->clear();
        return READ_INTERRUPTED;
      }
      if (f == 0) {
        skip_to_line_end_ = false;
        if (too_long || line->size() > max_chars_) {
          line->clear();
          return READ_TOO_LONG;
        }
        return any ? READ_LINE : READ_END;
      }
    }
    const char *start = buffer_.data() + begin_;
    const size_t available = end_ - begin_;
    const char *feed = static_cast<const char *>(memchr(start, '\n', available));
    const size_t take = feed != nullptr ? (size_t)(feed - start) : available;
    if (skip_to_line_end_) {
      begin_ += take + (feed != nullptr ? 1 : 0);
      if (feed != nullptr) skip_to_line_end_ = false;
      continue;
    }
    any = true;
    if (!too_long) {
      if (line->size() + take <= max_chars_ + 1) {  // + 1: a CR before the feed
        line->append(start, take);
      } else {
        too_long = true;
        line->clear();
      }
    }
    begin_ += take;
    if (feed != nullptr) {
      begin_++;
      if (too_long) return READ_TOO_LONG;
      if (!line->empty() && line->back() == '\r') line->pop_back();
      if (line->size() > max_chars_) {
        line->clear();
        return READ_TOO_LONG;
      }
      return READ_LINE;
    }
  }
}

int InputReader::read_byte() {
  if (begin_ == end_ && fill() <= 0) return -1;
  return (unsigned char)buffer_[begin_++];
}

InputReader &standard_input() {
  static InputReader reader(0, INPUT_LINE_MAX_CHARS);
  return reader;
}
