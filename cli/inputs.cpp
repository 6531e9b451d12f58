// Bounded input reading and quoting for deepnums-cli (see inputs.h).
#include "cli/inputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/state.h"

int read_script_file(const char *path, std::string *text, std::string *error) {
  FILE *f = fopen(path, "rb");
  if (f == nullptr) {
    *error = std::string("cannot read script file '") + path + "': " + strerror(errno);
    return 2;
  }
  text->clear();
  std::string line;
  bool first = true, pending = false, too_long = false;
  auto end_line = [&] {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!first) *text += "\r\n";
    *text += line;
    line.clear();
    first = false;
  };
  int c;
  while ((c = getc(f)) != EOF) {
    if (c == '\n') {
      end_line();
      pending = false;
    } else {
      line.push_back((char)c);
      pending = true;
    }
    // The box's text if the file ended here, less at most the one CR a line end drops.
    const size_t length = text->size() + (first ? 0 : 2) + line.size();
    if (length > (size_t)TEXT_SLOT_MAX_CHARS + 1 || text->size() > (size_t)TEXT_SLOT_MAX_CHARS) {
      too_long = true;
      break;
    }
  }
  if (pending && !too_long) end_line();
  const bool failed = ferror(f) != 0;
  const int read_errno = errno;
  fclose(f);
  if (failed) {
    *error = std::string("cannot read script file '") + path + "': " + strerror(read_errno);
    return 2;
  }
  if (too_long || text->size() > (size_t)TEXT_SLOT_MAX_CHARS) {
    *error = std::string("script file '") + path +
             "' does not fit the script box: more than 109999 characters with every line "
             "end counted as two (CR LF)";
    return 2;
  }
  return 0;
}

std::string printable(const std::string &text) {
  std::string out;
  for (char ch : text) {
    const unsigned char c = (unsigned char)ch;
    if (c >= 0x20 && c != 0x7f) {
      out += ch;
      continue;
    }
    switch (c) {
      case 0: out += "\\0"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: {
        char hex[8];
        snprintf(hex, sizeof hex, "\\x%02X", c);
        out += hex;
      }
    }
  }
  return out;
}
