// The window's workspace file "deepNUMS.ini" in the current directory: found once while
// the main window is created, read then, and written when the window is closed. The file
// format itself is engine/workspace_file.*, shared with deepnums-cli.
#include "ui/workspace.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/file_save.h"
#include "engine/state.h"
#include "engine/workspace_file.h"
#include "ui/control_table.h"

char workspace_path[WORKSPACE_PATH_BYTES];

static std::string last_save_error;

namespace {

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

}  // namespace

namespace {

// The file at workspace_path could not be read at start: it is moved aside before the
// first save replaces it.
bool unreadable_at_start = false;

}  // namespace

void load_workspace() {
  find_workspace_path();
  unreadable_at_start = false;
  const int read = workspace_path[0] != '\0' ? workspace_read(workspace_path) : 0;
  if (read < 0) {
    unreadable_at_start = true;
    std::string text = "deepNUMS.ini cannot be read (";
    text += workspace_error();
    text += "): defaults used; the file is kept as deepNUMS.ini.unreadable-DATE-TIME when the workspace is saved";
    set_status(text.c_str());
  }
  if (read <= 0) workspace_fresh_start();
  workspace_apply_defaults();
}

bool save_workspace(UiHandle main) {
  if (workspace_path[0] == '\0') return false;
  if (unreadable_at_start) {
    std::string kept, error;
    if (!file_keep_aside(workspace_path, "unreadable", &kept, &error)) {
      last_save_error = "the unreadable file could not be kept aside: " + error;
      return false;
    }
    unreadable_at_start = false;
    if (!kept.empty()) std::fprintf(stderr, "deepnums: the unreadable workspace file was kept as %s\n", kept.c_str());
  }
  if (!workspace_begin_write(workspace_path)) {
    last_save_error = workspace_error();
    return false;
  }
  read_edit_texts();
  UiRect r;
  if (plat_window_rect(main, &r)) {
    Settings[SET_WINDOW_LEFT] = r.left;
    Settings[SET_WINDOW_TOP] = r.top;
    Settings[SET_WINDOW_RIGHT] = r.right;
    Settings[SET_WINDOW_BOTTOM] = r.bottom;
  }
  if (!workspace_finish_write()) {
    last_save_error = workspace_error();
    return false;
  }
  return true;
}

const char *save_error() { return last_save_error.c_str(); }
