// The window's workspace file "deepNUMS.ini": its place is chosen once while the main
// window is created (engine/workspace_location.h: the file named on the command line, or
// the user's configuration folder on Linux, beside the program or in %APPDATA% on
// Windows), it is read then and written when the window is closed. The file format itself
// is engine/workspace_file.*, shared with deepnums-cli.
#include "ui/workspace.h"

#include <cstdio>
#include <cstring>
#include <ctime>
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
  if (got != 1) workspace_fresh_start();
  workspace_apply_defaults();
}

namespace {

// Saves the window's state into the file at path: the edit boxes and the window rectangle
// are read only once the new file has been made.
bool save_workspace_as(UiHandle main, const char *path) {
  if (unreadable_at_start && std::strcmp(path, workspace_path) == 0) {
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
  if (!workspace_create_folder(path, &error)) {
    last_save_error = error;
    return false;
  }
  if (!workspace_begin_write(path)) {
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

// Keeps the state in a new rescue file and says where on standard error.
void save_rescue(UiHandle main, const std::string &why) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
  const char sep = '\\';
#else
  localtime_r(&now, &local);
  const char sep = '/';
#endif
  char name[64];
  std::strftime(name, sizeof name, "rescue-%Y%m%d-%H%M%S.ini", &local);
  const std::string rescue = rescue_folder(workspace_facts()) + sep + name;
  if (save_workspace_as(main, rescue.c_str())) {
    std::fprintf(stderr, "deepnums: the workspace could not be saved to %s (%s); it was kept in %s\n",
                 workspace_path, why.c_str(), rescue.c_str());
  } else {
    std::fprintf(stderr, "deepnums: the workspace could not be saved to %s (%s), nor to %s (%s)\n",
                 workspace_path, why.c_str(), rescue.c_str(), save_error());
  }
}

// The texts of the question asked when the workspace cannot be saved, by language.
const char *const SAVE_FAILED_TITLE = "deepNUMS";
const char *const SAVE_FAILED_TEXT[2] = {
    "ワークスペースを保存できませんでした。\n%s\n%s\n\n別のファイルに保存するか、保存せずに閉じることができます。",
    "The workspace could not be saved.\n%s\n%s\n\nYou can save it in another file, or close without saving."};
const char *const SAVE_FAILED_BUTTONS[2][3] = {{"名前を付けて保存…", "保存せずに閉じる", "キャンセル"},
                                               {"Save as…", "Close without saving", "Cancel"}};
const char *const SAVE_AS_TITLE[2] = {"ワークスペースの保存先", "Save the workspace as"};
enum { CHOICE_SAVE_AS = 0, CHOICE_DISCARD = 1 };

}  // namespace

bool save_workspace(UiHandle main) {
  if (workspace_path[0] == '\0') return false;
  return save_workspace_as(main, workspace_path);
}

bool close_workspace(UiHandle main, bool unattended) {
  if (workspace_path[0] == '\0') return true;  // no file this run (the status line said so)
  if (save_workspace(main)) return true;
  std::string where = workspace_path, why = save_error();
  if (unattended) {
    save_rescue(main, why);
    return true;
  }
  const int lang = caption_language();
  for (;;) {
    std::string text(SAVE_FAILED_TEXT[lang]);
    const size_t a = text.find("%s");
    text.replace(a, 2, where);
    text.replace(text.find("%s", a + where.size()), 2, why);
    const int choice = plat_ask(main, text.c_str(), SAVE_FAILED_TITLE, SAVE_FAILED_BUTTONS[lang], 3);
    if (choice == CHOICE_DISCARD) return true;
    if (choice != CHOICE_SAVE_AS) return false;  // Cancel, Escape: the window stays open
    char chosen[WORKSPACE_PATH_BYTES];
    if (!plat_choose_save_file(main, SAVE_AS_TITLE[lang], UI_FILE_WORKSPACE, workspace_path, chosen, sizeof chosen)) continue;
    if (save_workspace_as(main, chosen)) return true;
    where = chosen;
    why = save_error();
  }
}

const char *save_error() { return last_save_error.c_str(); }
