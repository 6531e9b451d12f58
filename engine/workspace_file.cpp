// Reading and writing the workspace file (see workspace_file.h).
//
// Reading is byte-exact and bounded: one buffered pass, one line per value or text. A line
// ends at LF; a CR just before the LF belongs to the line end (files written on Windows).
// Writing goes to "<path>.tmp", which replaces the file only when every byte has reached
// the disk.
#include "engine/workspace_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "engine/state.h"

namespace {

constexpr char BEL = 7;
constexpr int COUNT_WRITTEN = 20;
constexpr int DISPLAY_COPY_CHARS = 50;  // R5..R9 show the first 50 characters

// Buffered reader of one line at a time.
struct LineReader {
  FILE *file;
  size_t pos, len;
  unsigned char buf[1 << 16];
};
LineReader reader;

// The line buffer for values and for texts beyond slot 19: the size of one text slot.
char line_buffer[TEXT_SLOT_BYTES];

int next_byte(LineReader &r) {
  if (r.pos == r.len) {
    r.len = std::fread(r.buf, 1, sizeof r.buf, r.file);
    r.pos = 0;
    if (r.len == 0) return EOF;
  }
  return r.buf[r.pos++];
}

// Reads one line into out (capacity cap bytes: at most cap - 1 stored, then a NUL): its
// bytes up to the LF, without the LF and without a CR just before it. Bytes beyond the
// capacity are read and dropped. False when the file has no more line.
bool read_line(LineReader &r, char *out, size_t cap) {
  int c = next_byte(r);
  if (c == EOF) return false;
  size_t stored = 0;
  bool last_was_cr = false, last_stored = false;
  while (c != EOF && c != '\n') {
    last_was_cr = (c == '\r');
    last_stored = stored < cap - 1;
    if (last_stored) out[stored++] = static_cast<char>(c);
    c = next_byte(r);
  }
  if (c == '\n' && last_was_cr && last_stored) --stored;
  out[stored] = '\0';
  return true;
}

// The decimal integer at the start of a line: leading white space and a sign allowed, 0
// without digits, limited to the range of a long long.
long long leading_integer(const char *line) { return std::strtoll(line, nullptr, 10); }

int32_t leading_int32(const char *line) {
  return static_cast<int32_t>(std::clamp<long long>(leading_integer(line), INT32_MIN, INT32_MAX));
}

// The sections of the file; returns at the first missing line, as the file ends.
void read_sections(LineReader &r) {
  if (!read_line(r, line_buffer, sizeof line_buffer)) return;
  const long long settings_count = leading_integer(line_buffer);
  for (long long i = 0; i < settings_count; ++i) {
    if (!read_line(r, line_buffer, sizeof line_buffer)) return;  // no text section
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

// Forces the file's data to the disk before it replaces the previous file.
bool sync_to_disk(FILE *f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

}  // namespace

int workspace_read(const char *path) {
  FILE *f = std::fopen(path, "rb");
  if (!f) return errno == ENOENT ? 0 : -1;
  reader.file = f;
  reader.pos = reader.len = 0;
  read_sections(reader);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
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

namespace {

FILE *pending_file = nullptr;
std::string pending_path, pending_temp_path;

}  // namespace

bool workspace_begin_write(const char *path) {
  if (pending_file) std::fclose(pending_file);
  pending_path = path;
  pending_temp_path = pending_path + ".tmp";
  pending_file = std::fopen(pending_temp_path.c_str(), "wb");
  return pending_file != nullptr;
}

bool workspace_finish_write() {
  FILE *f = pending_file;
  if (!f) return false;
  pending_file = nullptr;
  std::fprintf(f, "%d\r\n", COUNT_WRITTEN);
  for (int i = 0; i < SETTINGS_COUNT; ++i) std::fprintf(f, "%d\r\n", static_cast<int>(Settings[i]));
  std::fprintf(f, "%d\r\n", COUNT_WRITTEN);
  // R5..R9 are written whole from MemoryTexts, not as their 50-character display copies.
  for (int i = 0; i < TEXT_SLOT_COUNT; ++i) {
    const bool memory = i >= SLOT_R5 && i <= SLOT_R9;
    write_text_line(f, memory ? MemoryTexts[i - SLOT_R5] : TextSlots[i]);
  }
  bool ok = !std::ferror(f);
  ok = sync_to_disk(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(pending_temp_path), std::filesystem::path(pending_path), ec);
    ok = !ec;
  }
  if (!ok) std::remove(pending_temp_path.c_str());
  return ok;
}

bool workspace_write(const char *path) { return workspace_begin_write(path) && workspace_finish_write(); }
