// The window's workspace file "deepNUMS.ini" in the current directory: found once while
// the main window is created, read then, and written when the window is closed. The file
// format itself is engine/workspace_file.*, shared with deepnums-cli.
#include "ui/workspace.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/state.h"
#include "engine/workspace_file.h"
#include "ui/control_table.h"

char workspace_path[WORKSPACE_PATH_BYTES];

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

void load_workspace() {
  find_workspace_path();
  const int read = workspace_path[0] != '\0' ? workspace_read(workspace_path) : 0;
  if (read < 0) {
    // The file is replaced by this run's state at exit, as a missing one would be.
    std::string text = "deepNUMS.ini cannot be read (";
    text += workspace_error();
    text += "): defaults used";
    set_status(text.c_str());
  }
  if (read <= 0) workspace_fresh_start();
  workspace_apply_defaults();
}

bool save_workspace(UiHandle main) {
  if (workspace_path[0] == '\0' || !workspace_begin_write(workspace_path)) return false;
  read_edit_texts();
  UiRect r;
  if (plat_window_rect(main, &r)) {
    Settings[SET_WINDOW_LEFT] = r.left;
    Settings[SET_WINDOW_TOP] = r.top;
    Settings[SET_WINDOW_RIGHT] = r.right;
    Settings[SET_WINDOW_BOTTOM] = r.bottom;
  }
  return workspace_finish_write();
}
