// The workspace file "deepNUMS.ini": all 20 Settings and all 20 text slots, kept from one
// run to the next, in the place engine/workspace_location.h chooses.
//
// 42 lines when written: "20", the Settings values 0..19 in decimal, "20", the text slots
// 0..19 with every LF inside a text stored as BEL (7). Every line ends with CR LF; the
// reader also accepts LF alone, so files written on either platform load on both.
#pragma once

#include "ui/platform.h"

constexpr int WORKSPACE_PATH_BYTES = 1000;

// Full path of the workspace file, or empty when there is none for this run.
extern char workspace_path[WORKSPACE_PATH_BYTES];

// The file named on the command line (--workspace FILE), used instead of the default
// place from the next load_workspace on; null or empty for the default place.
void set_workspace_file(const char *path);

// Finds the path, reads the file if there is one, applies the defaults and fills
// MemoryTexts. Called at creation after Settings and TextSlots have been cleared.
void load_workspace();

// Reads the edit boxes and the window rectangle and writes the file (its folder created
// when needed): to a temporary file beside it, renamed into place only when every byte
// was written. A file that could not be read at start is first moved aside
// (NAME.unreadable-DATE-TIME). Returns true when the file was written; save_error() then
// says why not.
bool save_workspace(UiHandle main);
const char *save_error();

// Saves the workspace as the window closes. When that fails, unattended (nobody can
// answer: SIGTERM, the session ending) keeps the state in a rescue file and logs its path
// to standard error; otherwise the user is told why and chooses: "Save as…" another file
// (asked again if that fails too), "Close without saving", or "Cancel" (the window stays
// open). True when the window may close.
bool close_workspace(UiHandle main, bool unattended);
