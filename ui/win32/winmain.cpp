// The Windows program deepNUMS.exe: the window front end over the Win32 backend.
//
// It takes no command-line arguments. app_entry registers the class, creates and shows
// the window and runs the message loop; when the class cannot be registered it shows
// "Few resource or Wrong coding" and returns 0.
#include "ui/main_window.h"
#include "ui/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  win32_instance = instance;
  return app_entry(show_command);
}
