// Reading and writing the workspace file. The reader is bounded: a line longer than a text
// slot is cut at 109,999 characters and the rest of it is consumed, so no text ever moves
// into another slot; a last line without a line feed keeps all its characters; counts of
// any size only read as many lines as the file has.
#include "cli/workspace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/state.h"

namespace {

constexpr int FILE_COUNT = 20;
constexpr int MEMORY_DISPLAY_CHARS = 50;
constexpr char BEL = 7;

// One line without its line end (LF, or CR LF), at most TEXT_SLOT_MAX_CHARS characters
// kept. false at the end of the file.
bool read_line(FILE *f, std::string *line) {
  line->clear();
  int c = getc(f);
  if (c == EOF) return false;
  bool lf = false;
  size_t kept_limit = (size_t)TEXT_SLOT_MAX_CHARS + 1;  // room for a CR before the LF
  bool cut = false;
  while (c != EOF) {
    if (c == '\n') {
      lf = true;
      break;
    }
    if (line->size() < kept_limit) {
      line->push_back((char)c);
    } else {
      cut = true;
    }
    c = getc(f);
  }
  if (lf && !cut && !line->empty() && line->back() == '\r') line->pop_back();
  if (line->size() > (size_t)TEXT_SLOT_MAX_CHARS) line->resize(TEXT_SLOT_MAX_CHARS);
  return true;
}

int32_t line_int(const std::string &line) {
  long v = strtol(line.c_str(), nullptr, 10);
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return (int32_t)v;
}

void store_text(int slot, const std::string &line) {
  char *dst = TextSlots[slot];
  size_t n = line.size();
  for (size_t i = 0; i < n; i++) dst[i] = line[i] == BEL ? '\n' : line[i];
  dst[n] = '\0';  // a NUL inside the line simply ends the text earlier
}

void read_sections(FILE *f) {
  std::string line;
  if (!read_line(f, &line)) return;
  long n = line_int(line);
  for (long i = 0; i < n; i++) {
    if (!read_line(f, &line)) return;  // no text section then
    if (i < SETTINGS_COUNT) Settings[i] = line_int(line);
  }
  if (!read_line(f, &line)) return;
  long m = line_int(line);
  for (long i = 0; i < m; i++) {
    if (!read_line(f, &line)) return;
    if (i < TEXT_SLOT_COUNT) store_text((int)i, line);
  }
}

void write_text(FILE *f, const char *text) {
  for (const char *p = text; *p != '\0'; p++) putc(*p == '\n' ? BEL : *p, f);
  fputs("\r\n", f);
}

}  // namespace

int cli_load_workspace(const char *path) {
  FILE *f = fopen(path, "rb");
  if (f == nullptr) return errno == ENOENT ? 0 : -1;
  read_sections(f);
  bool failed = ferror(f) != 0;
  fclose(f);
  return failed ? -1 : 1;
}

void cli_apply_workspace_defaults() {
  if (Settings[SET_LANGUAGE] != 0 && Settings[SET_LANGUAGE] != 1) Settings[SET_LANGUAGE] = 0;
  if (TextSlots[SLOT_SIG_DIGITS][0] == '\0') slot_copy(TextSlots[SLOT_SIG_DIGITS], "1000");
  for (int n = SLOT_R0; n <= SLOT_R9; n++) {
    if (TextSlots[n][0] == '\0') slot_copy(TextSlots[n], "0");
  }
  for (int n = SLOT_R5; n <= SLOT_R9; n++) {
    slot_copy(MemoryTexts[n - SLOT_R5], TextSlots[n]);
    TextSlots[n][MEMORY_DISPLAY_CHARS] = '\0';
  }
}

int cli_save_workspace(const char *path) {
  std::string temp = std::string(path) + ".tmp";
  FILE *f = fopen(temp.c_str(), "wb");
  if (f == nullptr) return -1;
  fprintf(f, "%d\r\n", FILE_COUNT);
  for (int i = 0; i < SETTINGS_COUNT; i++) fprintf(f, "%d\r\n", (int)Settings[i]);
  fprintf(f, "%d\r\n", FILE_COUNT);
  for (int i = 0; i < TEXT_SLOT_COUNT; i++) {
    bool memory = i >= SLOT_R5 && i <= SLOT_R9;
    write_text(f, memory ? MemoryTexts[i - SLOT_R5] : TextSlots[i]);
  }
  bool failed = fflush(f) != 0 || ferror(f) != 0;
  if (fclose(f) != 0) failed = true;
  if (!failed) {
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    failed = (bool)ec;
  }
  if (failed) {
    remove(temp.c_str());
    return -1;
  }
  return 0;
}
