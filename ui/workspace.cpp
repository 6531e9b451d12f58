// The window's workspace file "deepNUMS.ini": its place is chosen once while the main
// window is created (engine/workspace_location.h: the file named on the command line, or
// the user's configuration folder on Linux, beside the program or in %APPDATA% on
// Windows), it is read then and written when the window is closed. The file format itself
// is engine/workspace_file.*, shared with deepnums-cli.
#include "ui/workspace.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/state.h"
#include "engine/workspace_file.h"
#include "engine/workspace_location.h"
#include "ui/control_table.h"

char workspace_path[WORKSPACE_PATH_BYTES];

namespace {

std::string chosen_file;  // --workspace FILE; empty for the default place

void set_status(const char *text) { slot_copy(TextSlots[SLOT_STATUS], text); }

void set_status(const std::string &text) { set_status(text.c_str()); }

std::string base_name(const std::string &path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

void set_workspace_file(const char *path) { chosen_file = path ? path : ""; }

void load_workspace() {
  const WorkspaceLocation loc =
      workspace_location(workspace_facts(), chosen_file.empty() ? nullptr : chosen_file.c_str());
  workspace_path[0] = '\0';
  int got = 0;
  if (loc.path.empty()) {
    set_status("No full path: no workspace file this run");
  } else if (loc.path.size() >= WORKSPACE_PATH_BYTES) {
    set_status("Path too long: no workspace file this run");
  } else {
    std::memcpy(workspace_path, loc.path.c_str(), loc.path.size() + 1);
    got = workspace_read(workspace_path);
    std::string what = base_name(loc.path);
    // Where older versions kept the file: read once, saved from now on in the new place.
    if (got == 0 && !loc.first_read.empty()) {
      got = workspace_read(loc.first_read.c_str());
      what = "deepNUMS.ini of the current folder";
      if (got == 1) set_status("deepNUMS.ini of the current folder read; saved from now on as " + loc.path);
    }
    if (got < 0) {
      // The file is replaced by this run's state at exit, as a missing one would be.
      set_status(what + " cannot be read (" + workspace_error() + "): defaults used");
    }
  }
  // Without a file the captions follow the user's language; a saved file's setting wins.
  if (got != 1) Settings[SET_LANGUAGE] = first_start_language();
  workspace_apply_defaults();
}

bool save_workspace(UiHandle main) {
  if (workspace_path[0] == '\0') return false;
  // The configuration folder may not exist yet on a first start.
  std::string error;
  if (!workspace_create_folder(workspace_path, &error) || !workspace_begin_write(workspace_path))
    return false;
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
