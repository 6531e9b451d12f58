// The main window: start-up, creation, painting, sizing, scrolling and closing.
#pragma once

#include "ui/control_table.h"
#include "ui/platform.h"

extern const char *const WINDOW_CLASS_NAME;  // "deepNUMS"
extern const char *const WINDOW_TITLE;       // "deepNUMS : 100,000 digits Scientific Calculator R1.30"

extern UiHandle main_window;

// The program's entry: creates the window, shows it, runs the message loop and returns
// the exit code.
int app_entry(int show_command);

// Applies the saved window rectangle of Settings, moving it on screen where needed and
// fitting its size into the screen's available area.
void place_window();
