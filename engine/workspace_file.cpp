// Reading and writing the workspace file (see workspace_file.h).
//
// Reading is byte-exact and bounded: one buffered pass, one line per value or text. A line
// ends at LF; a CR just before the LF belongs to the line end (files written on Windows).
// A line or a file past its bound makes the file unreadable, so a device or a runaway file
// is never read to its end. Writing goes through file_save (a unique new file beside the
// target, renamed over it once every byte has reached the disk).
#include "engine/workspace_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/file_save.h"
#include "engine/state.h"
#include "engine/workspace_location.h"

namespace {

constexpr char BEL = 7;
constexpr int COUNT_WRITTEN = 20;
constexpr int DISPLAY_COPY_CHARS = 50;  // R5..R9 show the first 50 characters

// Buffered reader of one line at a time. total counts the bytes taken from the file and
// line the lines read; fault says why the reading stopped before the file's sections were
// whole (FAULT_NONE while they are).
enum ReadFault { FAULT_NONE, FAULT_TOO_LONG, FAULT_NO_LINE_END, FAULT_CUT_OFF };
struct LineReader {
  FILE *file;
  size_t pos, len;
  size_t total;
  long long line;
  ReadFault fault;
  unsigned char buf[1 << 16];
};
LineReader reader;

// The line buffer for values and for texts beyond slot 19: the size of one text slot.
char line_buffer[TEXT_SLOT_BYTES];

int next_byte(LineReader &r) {
  if (r.total >= WORKSPACE_FILE_MAX_BYTES) {
    r.fault = FAULT_TOO_LONG;
    return EOF;
  }
  ++r.total;
  if (r.pos == r.len) {
    r.len = std::fread(r.buf, 1, sizeof r.buf, r.file);
    r.pos = 0;
    if (r.len == 0) return EOF;
  }
  return r.buf[r.pos++];
}

// Reads the next line, which the sections need, into out (capacity cap bytes: at most
// cap - 1 stored, then a NUL): its bytes up to the LF, without the LF and without a CR
// just before it. Bytes beyond the capacity are read and dropped, up to the line bound.
// False, with r.fault set, when the line is missing (the file ends before it), ends
// without its LF (the file ends inside it: its text may be cut anywhere), or passes the
// line or file bound.
bool read_line(LineReader &r, char *out, size_t cap) {
  ++r.line;
  int c = next_byte(r);
  if (c == EOF) {
    if (r.fault == FAULT_NONE) r.fault = FAULT_CUT_OFF;
    return false;
  }
  size_t stored = 0, length = 0;
  bool last_was_cr = false, last_stored = false;
  while (c != EOF && c != '\n') {
    if (++length > WORKSPACE_LINE_MAX_BYTES + 1) {  // + 1: room for the CR of a CR LF
      r.fault = FAULT_TOO_LONG;
      return false;
    }
    last_was_cr = (c == '\r');
    last_stored = stored < cap - 1;
    if (last_stored) out[stored++] = static_cast<char>(c);
    c = next_byte(r);
  }
  if (r.fault != FAULT_NONE) return false;
  if (length - (c == '\n' && last_was_cr ? 1 : 0) > WORKSPACE_LINE_MAX_BYTES) {
    r.fault = FAULT_TOO_LONG;
    return false;
  }
  if (c == EOF) {
    r.fault = FAULT_NO_LINE_END;
    return false;
  }
  if (last_was_cr && last_stored) --stored;
  out[stored] = '\0';
  return true;
}

// The decimal integer at the start of a line: leading white space and a sign allowed, 0
// without digits, limited to the range of a long long.
long long leading_integer(const char *line) { return std::strtoll(line, nullptr, 10); }

int32_t leading_int32(const char *line) {
  return static_cast<int32_t>(std::clamp<long long>(leading_integer(line), INT32_MIN, INT32_MAX));
}

// The sections of the file: a count, that many values, a count, that many texts. Stops
// at the first line that is missing or faulty (r.fault says which).
void read_sections(LineReader &r) {
  if (!read_line(r, line_buffer, sizeof line_buffer)) {
    if (r.fault == FAULT_CUT_OFF) r.fault = FAULT_NONE;  // an empty file records nothing
    return;
  }
  const long long settings_count = leading_integer(line_buffer);
  for (long long i = 0; i < settings_count; ++i) {
    if (!read_line(r, line_buffer, sizeof line_buffer)) return;
    if (i < SETTINGS_COUNT) Settings[i] = leading_int32(line_buffer);
  }
  if (!read_line(r, line_buffer, sizeof line_buffer)) return;
  const long long text_count = leading_integer(line_buffer);
  for (long long i = 0; i < text_count; ++i) {
    if (i < TEXT_SLOT_COUNT) {
      char *slot = TextSlots[i];
      if (!read_line(r, slot, TEXT_SLOT_BYTES)) return;
      for (char *p = slot; *p; ++p) {
        if (*p == BEL) *p = '\n';
      }
    } else if (!read_line(r, line_buffer, sizeof line_buffer)) {
      return;
    }
  }
}

// Why a file stopped being read, with the line where it happened.
std::string fault_text(const LineReader &r) {
  const std::string line = std::to_string(r.line);
  switch (r.fault) {
    case FAULT_TOO_LONG:
      return r.total >= WORKSPACE_FILE_MAX_BYTES ? "too long for a workspace file"
                                                 : "line " + line + " is too long for a workspace file";
    case FAULT_NO_LINE_END: return "cut off inside line " + line + " (it has no line end)";
    case FAULT_CUT_OFF: return "cut off before line " + line;
    case FAULT_NONE: break;
  }
  return "";
}

// Writes one text as a line: every LF stored as BEL, then CR LF.
void write_text_line(FILE *f, const char *text) {
  const size_t len = strnlen(text, TEXT_SLOT_MAX_CHARS);
  char chunk[4096];
  size_t used = 0;
  for (size_t i = 0; i < len; ++i) {
    chunk[used++] = text[i] == '\n' ? BEL : text[i];
    if (used == sizeof chunk) {
      std::fwrite(chunk, 1, used, f);
      used = 0;
    }
  }
  std::fwrite(chunk, 1, used, f);
  std::fputs("\r\n", f);
}

}  // namespace

namespace {

std::string last_error;

}  // namespace

const char *workspace_error() { return last_error.c_str(); }

int workspace_read(const char *path) {
  bool missing = false;
  FILE *f = open_regular_file(path, &missing, &last_error);
  if (!f) return missing ? 0 : -1;
  reader.file = f;
  reader.pos = reader.len = reader.total = 0;
  reader.line = 0;
  reader.fault = FAULT_NONE;
  read_sections(reader);
  const bool failed = std::ferror(f) != 0 || reader.fault != FAULT_NONE;
  if (std::ferror(f)) last_error = std::strerror(errno != 0 ? errno : EIO);
  else if (failed) last_error = fault_text(reader);
  std::fclose(f);
  if (failed) {
    // Nothing of a file that cannot be read whole is taken: a text cut anywhere would be
    // a different number.
    std::memset(Settings, 0, sizeof Settings);
    for (auto &slot : TextSlots) slot[0] = '\0';
  }
  return failed ? -1 : 1;
}

void workspace_apply_defaults() {
  if (Settings[SET_LANGUAGE] != 0 && Settings[SET_LANGUAGE] != 1) Settings[SET_LANGUAGE] = 0;
  if (TextSlots[SLOT_SIG_DIGITS][0] == '\0') slot_copy(TextSlots[SLOT_SIG_DIGITS], "1000");
  for (int n = SLOT_R0; n <= SLOT_R9; ++n) {
    if (TextSlots[n][0] == '\0') slot_copy(TextSlots[n], "0");
  }
  for (int k = 0; k < MEMORY_TEXT_COUNT; ++k) {
    char *slot = TextSlots[SLOT_R5 + k];
    slot_copy(MemoryTexts[k], slot);
    if (std::strlen(slot) > static_cast<size_t>(DISPLAY_COPY_CHARS)) slot[DISPLAY_COPY_CHARS] = '\0';
  }
}

void workspace_fresh_start() {
  Settings[SET_LANGUAGE] = first_start_language();
  Settings[SET_EXACT_DIGITS] = 1;
}

namespace {

FileSave pending;

}  // namespace

bool workspace_begin_write(const char *path) { return file_save_begin(&pending, path, &last_error); }

bool workspace_finish_write() {
  FILE *f = pending.file;
  if (!f) {
    last_error = "no file being saved";
    return false;
  }
  std::fprintf(f, "%d\r\n", COUNT_WRITTEN);
  for (int i = 0; i < SETTINGS_COUNT; ++i) std::fprintf(f, "%d\r\n", static_cast<int>(Settings[i]));
  std::fprintf(f, "%d\r\n", COUNT_WRITTEN);
  // R5..R9 are written whole from MemoryTexts, not as their 50-character display copies.
  for (int i = 0; i < TEXT_SLOT_COUNT; ++i) {
    const bool memory = i >= SLOT_R5 && i <= SLOT_R9;
    write_text_line(f, memory ? MemoryTexts[i - SLOT_R5] : TextSlots[i]);
  }
  return file_save_commit(&pending, &last_error);
}

bool workspace_write(const char *path) { return workspace_begin_write(path) && workspace_finish_write(); }
