// Values at the prompt (see display.h).
#include "cli/display.h"

#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include <sys/ioctl.h>
#include <unistd.h>
#else
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#endif

namespace {

constexpr int HEAD_ROWS = 3;
constexpr int TAIL_ROWS = 2;

// "12345" -> "12,345".
std::string grouped(size_t n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); i++) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

int env_number(const char *name, int fallback) {
  const char *v = std::getenv(name);
  if (v == nullptr) return fallback;
  int n = std::atoi(v);
  return n > 0 ? n : fallback;
}

}  // namespace

bool terminal_screen(FILE *out, Screen *screen) {
  const int fd = fileno(out);
  if (!isatty(fd)) return false;
  screen->rows = env_number("LINES", 24);
  screen->cols = env_number("COLUMNS", 80);
#ifndef _WIN32
  struct winsize size {};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    screen->rows = size.ws_row;
    screen->cols = size.ws_col;
  }
#endif
  if (screen->cols < 20) screen->cols = 20;
  if (screen->rows < HEAD_ROWS + TAIL_ROWS + 3) screen->rows = HEAD_ROWS + TAIL_ROWS + 3;
  return true;
}

void put_value(FILE *out, const std::string &label, const std::string &text, const Screen *screen) {
  // The text's lines (a CR LF or a lone line feed ends one), the label before the first.
  std::vector<std::string> lines(1, label);
  for (size_t i = 0; i < text.size(); i++) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n') {
      if (i + 1 < text.size()) lines.emplace_back();
      continue;
    }
    lines.back() += text[i];
  }
  // The rows of the terminal: each line in pieces of the screen's width.
  const size_t cols = screen != nullptr ? (size_t)screen->cols : 0;
  std::vector<std::string> rows;
  for (const std::string &line : lines) {
    if (cols == 0 || line.size() <= cols) {
      rows.push_back(line);
      continue;
    }
    for (size_t at = 0; at < line.size(); at += cols) rows.push_back(line.substr(at, cols));
  }
  if (screen == nullptr || (int)rows.size() <= screen->rows - 2) {
    for (const std::string &r : rows) fprintf(out, "%s\n", r.c_str());
    return;
  }
  size_t hidden = 0;
  for (size_t i = HEAD_ROWS; i < rows.size() - TAIL_ROWS; i++)
    for (char c : rows[i])
      if (c >= '0' && c <= '9') hidden++;
  for (int i = 0; i < HEAD_ROWS; i++) fprintf(out, "%s\n", rows[(size_t)i].c_str());
  fprintf(out, "\xE2\x80\xA6 (%s digits not shown; `show` prints all)\n", grouped(hidden).c_str());
  for (size_t i = rows.size() - TAIL_ROWS; i < rows.size(); i++) fprintf(out, "%s\n", rows[i].c_str());
}
