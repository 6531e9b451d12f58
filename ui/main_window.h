// The main window: start-up, creation, painting, sizing, scrolling and closing.
#pragma once

#include "ui/platform.h"

extern const char *const WINDOW_CLASS_NAME;  // "deepNUMS"
extern const char *const WINDOW_TITLE;       // "deepNUMS : 100,000 digits Scientific Calculator R1.30"

// The content extent: maxima of the scroll ranges (both start at 0).
constexpr int SCROLL_RANGE_LINES = 47;
constexpr int SCROLL_RANGE_COLUMNS = 152;

extern UiHandle main_window;

// The program's entry: creates the window, shows it, runs the message loop and returns
// the exit code.
int app_entry(int show_command);

struct WindowSize {
  int width, height;
};
// Outer size of 154 columns plus 10 pixels by 51 lines.
WindowSize default_window_size();

// Applies the saved window rectangle of Settings, moving it on screen where needed.
void place_window();

// The status line after a change of its text outside a run.
void invalidate_status_line();
