// The keyboard: one key table for both backends (and the manual's table of keys), the
// focus order of Tab, and what a key press does (ui_on_key, declared in ui/platform.h).
//
// The scheme leaves every character of a number free to type in a box: the digits, the
// point, the signs, e and E, blanks and commas. Operations take Ctrl, Ctrl+Shift or Alt
// with a letter, a digit or an operator sign, or a function key (the memory block), so a
// key of the table never types a character. Keys pressed with Ctrl and Alt together are
// left to the keyboard (AltGr types characters on many layouts).
#pragma once

#include <string>

// Ids of the actions in the key table that are not buttons.
constexpr int KEY_UNDO = -2;
constexpr int KEY_REDO = -3;
constexpr int KEY_COMPARE = -4;      // compare the register of the box with the focus (ui/register_tools.h)
constexpr int KEY_GO_TO_DIGIT = -5;  // go to a digit of the box with the focus
constexpr int KEY_FUNCTION_LIST = -6;  // the list of the functions beyond the buttons (ui/function_list.h)

struct KeyBinding {
  int id;         // control id of the button (35..96), or one of the KEY_ actions above
  int key;        // a UiKey or a character, as ui_on_key receives it
  unsigned mods;  // UI_MOD_ bits
};

extern const KeyBinding KeyTable[];
extern const int KEY_TABLE_SIZE;

// The first binding of a button or action (the one its tooltip shows), or null.
const KeyBinding *key_for(int id);

// The name of a key as the tooltips and the manual show it: "Ctrl+Shift+S", "Ctrl++",
// "Shift+F5", "Ctrl+Enter", "Esc".
std::string key_name(const KeyBinding &binding);

// The key table as the manual shows it: a Markdown table, one row a button (the "---"
// buttons have no key) and one each for Undo, Redo, Compare, Go to digit and the list of
// functions and constants.
std::string key_table_markdown();

// Tab order: every control that takes the focus, in reading order.
extern const int FocusOrder[];
extern const int FOCUS_ORDER_SIZE;

// The control after (step 1) or before (step -1) `from` in the Tab order that can take
// the focus now; from = -1 starts at the ends. -1 when none can.
int next_focus(int from, int step);

// Gives every button with a key its tooltip; called once the controls exist.
void apply_key_tooltips();

// The focus of a fresh window: R1, where the left operand is typed first.
void focus_initial_control();
