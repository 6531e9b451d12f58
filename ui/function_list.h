// The list of the constants and functions beyond the buttons ("Functions and constants…"):
// opened with its key (Ctrl+K) or from the context menu of the operation grid, filtered as
// the user types, and the row chosen run like a button (ui/commands.h: the same worker,
// progress, Cancel and undo level).
//
// The rows are the catalogue's commands from code 200 on (engine/command_table.h), in its
// order, with a one-line description in each caption language. This file decides which
// rows a filter shows and in what order; the platform's list chooser (plat_choose_row)
// only shows them.
//
// Main thread only; the list opens only while no command runs.
#pragma once

#include <string>

#include "ui/commands.h"

struct FunctionEntry {
  int code;                    // the command code (200 and up)
  const char *name;            // the name typed in expressions and on the command line
  const char *aliases;         // blank-separated other names, or ""
  const char *description[2];  // [language]: 0 Japanese, 1 English (UTF-8)
};

// The rows, in the catalogue's order.
int function_count();
const FunctionEntry &function_entry(int row);

// The rows that a filter text shows, best first, as row indices written to `shown` (room
// for function_count()); returns how many. Letters match either case; blanks around the
// text do not count; an empty text shows every row in order. The order, ties kept in the
// rows' order: the name equal to the text; the name starting with it; an alias equal to or
// starting with it; the name or an alias containing it; the description (of the language
// given) containing it; and, for a text of several words, each word found in the name, an
// alias or the description.
int function_filter(const char *filter, int language, int *shown);

// The shortest text that, typed into the filter, puts the row first: a start of its name
// or of an alias.
std::string function_shortest_filter(int row);

// The key column of a row: the list's key and that text, "Ctrl+K, ga".
std::string function_key_text(int row);

// The name of a command beyond the buttons ("gamma"), or null for any other code.
const char *function_name(int code);

// Opens the list and runs the row chosen; refused (with the buttons' message) while a
// command runs. The filter text is kept for the next opening, selected, so that
// Ctrl+K, Return runs the last function again.
void open_function_list();

// Runs a command beyond the buttons as a button press runs its own; refused while a
// command runs. focused: as for start_command (ui/commands.h).
void run_function(int code, int focused = FOCUS_AS_REPORTED);

// The context menu of the operation grid: on one of its buttons (id 35..94) or over the
// grid's background; one item, "Functions and constants…", opens the list. false for
// every other control and point (the caller shows the usual menu, or none).
bool grid_context_menu(int id);
bool point_in_grid(int x, int y);
