// Where the window keeps its workspace file.
//
// The decision is a pure function of a few facts about the running system, gathered by
// workspace_facts(), so that the rules of both systems are tested on either:
// - a file named on the command line (deepnums --workspace FILE) is used as given, a
//   relative name taken from the current folder;
// - Linux: $XDG_CONFIG_HOME/deepnums/deepNUMS.ini, or ~/.config/deepnums/deepNUMS.ini when
//   the variable is unset, empty or not an absolute path;
// - Windows: deepNUMS.ini beside the program when the program's folder is writable and
//   not an installation (the portable zip), otherwise %APPDATA%\deepNUMS\deepNUMS.ini: an
//   installed program (its folder holds the installer's Uninstall.exe, and is replaced on
//   an upgrade and removed on uninstalling) or one in a folder the user may not write;
// - when neither place can be named (no home folder, no %APPDATA%), the current folder,
//   where the window kept the file before.
// Older versions kept the file in the current folder. Without a named file, a
// deepNUMS.ini in the current folder is read once when the chosen place holds no file yet;
// it is then saved in the chosen place and the old file is left where it is.
//
// deepnums-cli keeps no workspace unless it is given one with -w; it does not use this.
#pragma once

#include <string>

// The facts the decision needs. Paths are byte strings as the system's file calls take
// them (UTF-8 on Linux, the ANSI code page on Windows), without a trailing separator.
struct WorkspaceFacts {
  bool windows = false;     // the Windows rules and separators
  std::string current_dir;  // the process's current folder
  // Linux
  std::string xdg_config_home;  // $XDG_CONFIG_HOME as set ("" when unset)
  std::string xdg_state_home;   // $XDG_STATE_HOME as set ("" when unset)
  std::string home;             // $HOME, or the user's home folder of the password database
  // Windows
  std::string program_dir;  // the folder of the running program
  bool program_dir_writable = false;  // a file can be created there
  bool program_installed = false;     // the installer's Uninstall.exe is beside the program
  std::string appdata;                // %APPDATA% ("" when unset)
  std::string localappdata;           // %LOCALAPPDATA% ("" when unset)
};

struct WorkspaceLocation {
  std::string path;        // the file read at the start and written at the end
  std::string first_read;  // read instead, once, while `path` does not exist; "" for none
};

// The facts of the running system. On Windows this tries to create (and removes again) a
// file beside the program, to learn whether the folder is writable.
WorkspaceFacts workspace_facts();

// The workspace file for these facts; `chosen` is the file named on the command line, or
// null (or empty) for the default place.
WorkspaceLocation workspace_location(const WorkspaceFacts &facts, const char *chosen);

// The folder of rescue files, where the window keeps its state when it cannot save the
// workspace and nobody can be asked (SIGTERM): $XDG_STATE_HOME/deepnums, or
// ~/.local/state/deepnums when that variable is unset, empty or relative, on Linux;
// %LOCALAPPDATA%\deepNUMS on Windows. The current folder when none can be named.
std::string rescue_folder(const WorkspaceFacts &facts);

// The caption language of a first start (no workspace file): 0 Japanese when the user's
// language is Japanese, 1 English otherwise. Of the locale variables the first one set
// and not empty counts, in the order LC_ALL, LC_MESSAGES, LANG ("ja_JP.UTF-8", "ja");
// none set means English.
int language_of_locale(const char *lc_all, const char *lc_messages, const char *lang);
// The same for the running system: the locale variables on Linux, the user's display
// language on Windows.
int first_start_language();

// Creates the folders on the way to the file at `path` that do not exist yet (private to
// the user on Linux, 0700). True when the file's folder exists afterwards; false with the
// reason in *error otherwise.
bool workspace_create_folder(const std::string &path, std::string *error);
