// The Windows program deepNUMS.exe: the window front end over the Win32 backend.
//
// Its one argument is "--workspace FILE" (or "-w FILE", "--workspace=FILE"), which names
// the workspace file instead of the default place. "--help" (or "/?") shows the usage in a
// message box and ends with exit code 0, any other command line shows it and ends with 2. app_entry registers the class, creates and
// shows the window and runs the message loop; when the class cannot be registered it
// shows "Few resource or Wrong coding" and returns 0.
#include <cstdlib>
#include <cstring>

#include "ui/main_window.h"
#include "ui/win32/win32_backend.h"
#include "ui/workspace.h"

namespace {

const char USAGE[] =
    "usage: deepNUMS.exe [--workspace FILE]\n\n"
    "The workspace (registers, script, options, window position) is kept in deepNUMS.ini "
    "beside the program when its folder is writable, otherwise in "
    "%APPDATA%\\deepNUMS\\deepNUMS.ini. --workspace FILE (or -w FILE) keeps it in FILE.";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  win32_instance = instance;
  // The C runtime has split the command line as for main (ANSI code page).
  const char *workspace = nullptr;
  bool usage = false, help = false;
  for (int i = 1; i < __argc && !usage; ++i) {
    const char *a = __argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0 || std::strcmp(a, "/?") == 0) {
      usage = help = true;
    } else if (std::strcmp(a, "-w") == 0 || std::strcmp(a, "--workspace") == 0) {
      if (i + 1 < __argc && __argv[i + 1][0] != '\0') workspace = __argv[++i];
      else usage = true;
    } else if (std::strncmp(a, "--workspace=", 12) == 0 && a[12] != '\0') {
      workspace = a + 12;
    } else {
      usage = true;
    }
  }
  if (usage) {
    MessageBoxA(nullptr, USAGE, "deepNUMS", MB_OK | MB_ICONINFORMATION);
    return help ? 0 : 2;
  }
  set_workspace_file(workspace);
  return app_entry(show_command);
}
