// Register files and the export form (see register_text.h).
#include "engine/register_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/file_save.h"
#include "engine/state.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_separator(char c) { return c == ' ' || c == ',' || c == '\r' || c == '\n'; }

// True when text[from, len) holds the word alone, with separators around it.
bool is_marker_word(const char *text, size_t len, const char *word) {
  size_t i = 0;
  while (i < len && is_separator(text[i])) ++i;
  const size_t n = std::strlen(word);
  if (len - i < n || std::memcmp(text + i, word, n) != 0) return false;
  for (i += n; i < len; ++i)
    if (!is_separator(text[i])) return false;
  return true;
}

std::string quoted(const char *path) { return std::string("'") + path + "'"; }

}  // namespace

bool number_text_whole(const char *text, size_t len, size_t *fault) {
  *fault = len;
  if (is_marker_word(text, len, "ERROR") || is_marker_word(text, len, "OVERFLOW")) return true;
  size_t i = 0;
  auto fail = [&](size_t at) {
    *fault = at;
    return false;
  };
  while (i < len && is_separator(text[i])) ++i;
  if (i < len && (text[i] == '+' || text[i] == '-')) ++i;
  int digits = 0;
  bool point = false;
  for (; i < len && text[i] != 'e' && text[i] != 'E'; ++i) {
    if (is_digit(text[i])) ++digits;
    else if (text[i] == '.' && !point) point = true;
    else if (!is_separator(text[i])) return fail(i);
  }
  if (digits == 0) return fail(i);
  if (i == len) return true;
  ++i;  // the exponent letter
  while (i < len && text[i] == ' ') ++i;
  if (i < len && (text[i] == '+' || text[i] == '-')) ++i;
  if (i == len || !is_digit(text[i])) return fail(i);
  while (i < len && is_digit(text[i])) ++i;
  while (i < len && is_separator(text[i])) ++i;
  return i == len ? true : fail(i);
}

int register_file_read(const char *path, char *out, std::string *error) {
  out[0] = '\0';
  bool missing = false;
  std::string why;
  FILE *f = open_regular_file(path, &missing, &why);
  if (!f) {
    *error = "cannot read " + quoted(path) + ": " + why;
    return -1;
  }
  // One pass, a line at a time: the comment lines and blank lines on top are skipped, the
  // rest is the value, its line ends made CR LF.
  size_t total = 0, stored = 0;
  long line = 1;
  bool value_started = false, at_line_start = true, comment = false, too_long = false;
  long value_line = 0;  // the line where the value starts
  int c;
  while ((c = std::fgetc(f)) != EOF) {
    if (++total > REGISTER_FILE_MAX_BYTES) {
      too_long = true;
      break;
    }
    if (at_line_start && !value_started) {
      comment = c == '#';
      at_line_start = false;
    }
    if (c == '\n') {
      ++line;
      at_line_start = true;
      if (comment || !value_started) {
        comment = false;
        continue;
      }
      if (stored > 0 && out[stored - 1] == '\r') --stored;  // a CR LF already
    }
    if (comment) continue;
    if (!value_started) {
      if (c == ' ' || c == '\r' || c == '\t') continue;  // a blank line
      value_started = true;
      value_line = line;
    }
    if (c == '\n') {
      if (stored + 2 > static_cast<size_t>(TEXT_SLOT_MAX_CHARS)) {
        too_long = true;
        break;
      }
      out[stored++] = '\r';
      out[stored++] = '\n';
      continue;
    }
    if (stored + 1 > static_cast<size_t>(TEXT_SLOT_MAX_CHARS)) {
      too_long = true;
      break;
    }
    out[stored++] = static_cast<char>(c);
  }
  const bool read_error = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (read_error) {
    *error = "cannot read " + quoted(path) + ": " + std::strerror(err);
    out[0] = '\0';
    return -1;
  }
  if (too_long) {
    out[0] = '\0';
    char limit[120];
    std::snprintf(limit, sizeof limit,
                  " holds more than %d characters of number: a register takes at most that "
                  "(100,000 digits with their grouping)",
                  TEXT_SLOT_MAX_CHARS);
    *error = quoted(path) + limit;
    return -1;
  }
  // Line ends after the value are not part of it.
  while (stored > 0 && (out[stored - 1] == '\r' || out[stored - 1] == '\n' || out[stored - 1] == ' '))
    --stored;
  out[stored] = '\0';
  if (stored == 0) {
    *error = quoted(path) + " holds no number";
    return -1;
  }
  size_t fault = 0;
  if (!number_text_whole(out, stored, &fault)) {
    long at = value_line;
    for (size_t i = 0; i < fault; ++i) at += out[i] == '\n';
    *error = quoted(path) + " line " + std::to_string(at) + " is not part of a number";
    out[0] = '\0';
    return -1;
  }
  return 0;
}

bool register_file_write(const char *path, const char *comment, const char *value,
                         std::string *error) {
#ifdef _WIN32
  const char *line_end = "\r\n";
#else
  const char *line_end = "\n";
#endif
  FileSave save;
  std::string why;
  if (!file_save_begin(&save, path, &why)) {
    *error = "cannot save " + quoted(path) + ": " + why;
    return false;
  }
  bool ok = true;
  if (comment != nullptr && comment[0] != '\0')
    ok = std::fprintf(save.file, "# %s%s", comment, line_end) > 0;
  ok = ok && std::fputs(value, save.file) >= 0 && std::fputs(line_end, save.file) >= 0;
  if (!ok) {
    const int err = errno;
    file_save_abort(&save);
    *error = "cannot save " + quoted(path) + ": " + std::strerror(err);
    return false;
  }
  if (!file_save_commit(&save, &why)) {
    *error = "cannot save " + quoted(path) + ": " + why;
    return false;
  }
  return true;
}

bool number_export_text(const char *plain, char *out, size_t size) {
  if (size == 0) return false;
  out[0] = '\0';
  const size_t len = std::strlen(plain);
  size_t fault = 0;
  if (!number_text_whole(plain, len, &fault) || is_marker_word(plain, len, "ERROR") ||
      is_marker_word(plain, len, "OVERFLOW"))
    return false;
  size_t o = 0;
  bool digit_seen = false;
  for (size_t i = 0; i < len; ++i) {
    const char c = plain[i];
    if (is_separator(c)) continue;
    if (c == '.' && !digit_seen) {
      if (o + 1 >= size) return out[0] = '\0', false;
      out[o++] = '0';
    }
    if (is_digit(c)) digit_seen = true;
    if (c == 'e' || c == 'E') digit_seen = true;
    if (o + 1 >= size) return out[0] = '\0', false;
    out[o++] = c;
  }
  out[o] = '\0';
  return true;
}
