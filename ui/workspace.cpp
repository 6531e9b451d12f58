// The workspace file: read once while the main window is created, written once when it
// is closed.
//
// Reading is byte-exact and bounded: each line of the file is one value or one text,
// whatever its length. A text keeps its first 109,999 bytes and the rest of its line is
// dropped, so an overlong or hostile line never spills into the next slot. A line ends at
// LF; a CR just before the LF belongs to the line end (files written on Windows), and a
// last line without LF keeps all its characters. Writing goes to a temporary file beside
// the workspace file that replaces it only when every byte has reached the disk, so a
// crash or a full disk during the save leaves the previous file intact.
#include "ui/workspace.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "engine/state.h"
#include "ui/control_table.h"

char workspace_path[WORKSPACE_PATH_BYTES];

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

void set_status(const char *text) { slot_copy(TextSlots[SLOT_STATUS], text); }

// workspace_path from the current directory; empty (with a status message) when there is
// none for this run.
void find_workspace_path() {
  workspace_path[0] = '\0';
  const int n = plat_full_path("deepNUMS.exe", workspace_path, WORKSPACE_PATH_BYTES);
  if (n >= WORKSPACE_PATH_BYTES) {
    workspace_path[0] = '\0';
    set_status("Path too long: no workspace file this run");
    return;
  }
  if (n < 3) {
    workspace_path[0] = '\0';
    set_status("No full path: no workspace file this run");
    return;
  }
  workspace_path[n] = '\0';
  std::memcpy(workspace_path + n - 3, "ini", 3);
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

void apply_defaults() {
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

void load_workspace() {
  find_workspace_path();
  if (workspace_path[0] != '\0') {
    FILE *f = std::fopen(workspace_path, "rb");
    if (f) {
      reader.file = f;
      reader.pos = reader.len = 0;
      read_sections(reader);
      std::fclose(f);
    }
  }
  apply_defaults();
}

bool save_workspace(UiHandle main) {
  if (workspace_path[0] == '\0') return false;
  static char temp_path[WORKSPACE_PATH_BYTES + 8];
  std::snprintf(temp_path, sizeof temp_path, "%s.tmp", workspace_path);
  FILE *f = std::fopen(temp_path, "wb");
  if (!f) return false;

  read_edit_texts();
  UiRect r;
  if (plat_window_rect(main, &r)) {
    Settings[SET_WINDOW_LEFT] = r.left;
    Settings[SET_WINDOW_TOP] = r.top;
    Settings[SET_WINDOW_RIGHT] = r.right;
    Settings[SET_WINDOW_BOTTOM] = r.bottom;
  }
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
    std::filesystem::rename(std::filesystem::path(temp_path), std::filesystem::path(workspace_path),
                            ec);
    ok = !ec;
  }
  if (!ok) std::remove(temp_path);
  return ok;
}
