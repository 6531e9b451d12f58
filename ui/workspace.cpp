// The window's workspace file "deepNUMS.ini": its place is chosen once while the main
// window is created (engine/workspace_location.h: the file named on the command line, or
// the user's configuration folder on Linux, beside the program or in %APPDATA% on
// Windows), it is read then and written when the window is closed. The file format itself
// is engine/workspace_file.*, shared with deepnums-cli.
#include "ui/workspace.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/file_save.h"
#include "engine/state.h"
#include "engine/workspace_file.h"
#include "engine/workspace_location.h"
#include "ui/control_table.h"

char workspace_path[WORKSPACE_PATH_BYTES];

static std::string last_save_error;

namespace {

std::string chosen_file;  // --workspace FILE; empty for the default place

void set_status(const char *text) { slot_copy(TextSlots[SLOT_STATUS], text); }

void set_status(const std::string &text) { set_status(text.c_str()); }

std::string base_name(const std::string &path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

namespace {

// The file at workspace_path could not be read at start: it is moved aside before the
// first save replaces it.
bool unreadable_at_start = false;

}  // namespace

void set_workspace_file(const char *path) { chosen_file = path ? path : ""; }

void load_workspace() {
  const WorkspaceLocation loc =
      workspace_location(workspace_facts(), chosen_file.empty() ? nullptr : chosen_file.c_str());
  workspace_path[0] = '\0';
  unreadable_at_start = false;
  int got = 0;
  if (loc.path.empty()) {
    set_status("No full path: no workspace file this run");
  } else if (loc.path.size() >= WORKSPACE_PATH_BYTES) {
    set_status("Path too long: no workspace file this run");
  } else {
    std::memcpy(workspace_path, loc.path.c_str(), loc.path.size() + 1);
    got = workspace_read(workspace_path);
    const std::string name = base_name(loc.path);
    if (got < 0) {
      // Never replaced by this run's state: the first save moves it aside.
      unreadable_at_start = true;
      set_status(name + " cannot be read (" + workspace_error() + "): defaults used; the file is kept as " +
                 name + ".unreadable-DATE-TIME when the workspace is saved");
    } else if (got == 0 && !loc.first_read.empty()) {
      // Where older versions kept the file: read once, saved from now on in the new place
      // (the old file is left as it is, so an unreadable one needs no keeping aside).
      got = workspace_read(loc.first_read.c_str());
      if (got == 1) set_status("deepNUMS.ini of the current folder read; saved from now on as " + loc.path);
      if (got < 0)
        set_status("deepNUMS.ini of the current folder cannot be read (" + std::string(workspace_error()) +
                   "): defaults used");
    }
  }
  // Without a file read: the captions follow the user's language, "Exact digits" is on. A
  // saved file's settings win.
  if (got != 1) {
    Settings[SET_LANGUAGE] = first_start_language();
    workspace_fresh_start();
  }
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
  // The configuration folder may not exist yet on a first start.
  std::string error;
  if (!workspace_create_folder(workspace_path, &error)) {
    last_save_error = error;
    return false;
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
