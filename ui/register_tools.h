// The register tools of the window: the digit position of the caret, "go to digit",
// comparing two registers, and the context menu of the register boxes ("Copy as number",
// "Save to file…", "Load from file…"). The engine does the work (engine/register_tools.h,
// engine/register_text.h, engine/digit_position.h); this file shows it.
//
// Main thread only. None of them runs while a command does: the keys and the menu are
// refused then as the buttons are (the worker owns the registers), and the position field
// is empty (the boxes are disabled).
#pragma once

#include "ui/platform.h"

// The position field: a painted line in the top row that follows the caret while a
// register box R0..R4 has the keyboard focus: "R0: digit 45,231 of 100,013" and, with a
// selection, ", selected 120 digits" (in Japanese with the Japanese captions); empty
// otherwise. Grouping blanks and line breaks are not counted (engine/digit_position.h).
void position_field_update();
const char *position_field_text();
// Its rectangle in client pixels, following the layout (it grows with the window's width).
UiRect position_field_rect();
// Draws it (inside ui_on_paint).
void paint_position_field(UiPaint *paint);

// The register box with the focus, or R0's when no register box has it.
int register_box_in_focus();

// Ctrl+G: asks for a digit position and puts the caret of the box before that digit,
// scrolled into view (a position past the last digit goes to the last one).
void go_to_digit(int box_id);

// Compares the register of a box with its partner (R0 with R1; R2, R3 and R4 with R0):
// the report in the status line and, where a digit differs, that digit selected in both
// boxes.
void compare_registers_of(int box_id);

// The context menu's entries, each for the box it was opened on.
void copy_as_number(int box_id);
void save_register_file(int box_id);
void load_register_file(int box_id);

// The register number of a register box id (ID_R0 .. ID_R4), or -1.
int register_of_box(int box_id);
