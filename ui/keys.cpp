// The keyboard: the key table, the Tab order and ui_on_key.
//
// A key press reaches ui_on_key before the control with the focus sees it, on the main
// thread. In order:
// - Tab and Shift+Tab (also with Ctrl, which leaves the script box as well) move the focus
//   through FocusOrder, passing over the controls disabled in the current run state; the
//   arrow keys move it inside the operation grid. No tab character is ever typed.
// - Return in a register box R0..R4 runs "up" (enter the number and lift the stack);
//   with Shift it does nothing; in the digits field it does nothing; on a button it
//   presses the button. In the script box it is left to the box (a new line).
// - Esc cancels a running command, and does nothing otherwise.
// - Undo and redo: an edit box's own undo of typing while it has something to undo, the
//   window's undo of commands (ui/undo.cpp) otherwise.
// - Ctrl+Shift+C compares two registers and Ctrl+G goes to a digit (ui/register_tools.h),
//   for the register box with the focus (R0's when none has it); Ctrl+K opens the list of
//   the functions and constants beyond the buttons (ui/function_list.h).
// - Every other key of KeyTable presses its button, exactly as a click does (refused with
//   the "Parameter" message while a command runs).
#include "ui/keys.h"

#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/function_list.h"
#include "ui/main_window.h"
#include "ui/register_tools.h"
#include "ui/undo.h"

namespace {

constexpr unsigned CTRL = UI_MOD_CTRL, SHIFT = UI_MOD_SHIFT, ALT = UI_MOD_ALT;
constexpr int F5 = UI_KEY_F1 + 4, F6 = UI_KEY_F1 + 5, F7 = UI_KEY_F1 + 6, F8 = UI_KEY_F1 + 7,
              F9 = UI_KEY_F1 + 8;

constexpr int ID_UP = 40;
constexpr int GRID_ROWS = 5, GRID_COLUMNS = 12;

}  // namespace

// Bindings in button id order, the shown one of each first. Mnemonics: S, O, T for sin,
// cos, tan, with Shift for the inverse and Alt for the hyperbolic function; E and L for
// exp and loge, with Shift for base ten; R root, I inverse, P π; F5..F9 the memory
// registers R5..R9 (alone: recall, Shift: store, Ctrl+Shift: clear); Alt for the digit
// operations of the last column.
const KeyBinding KeyTable[] = {
    {35, '+', CTRL},             // +
    {35, '=', CTRL},             //   (the unshifted key of + on many keyboards)
    {36, '-', CTRL},             // -
    {37, '*', CTRL},             // *
    {38, '/', CTRL},             // /
    {39, '%', CTRL},             // %
    {40, 'U', CTRL},             // up (also Return in a register box)
    {41, 'D', CTRL},             // down
    {42, 'I', CTRL},             // 1/x
    {43, 'R', CTRL},             // SQRT
    {44, 'R', CTRL | SHIFT},     // CBRT
    {45, 'U', CTRL | SHIFT},     // dup
    {46, 'W', CTRL},             // 0<->1
    {47, 'X', CTRL | SHIFT},     // x ^ y
    {48, '2', CTRL},             // x ^ 2
    {49, '3', CTRL},             // x ^ 3
    {50, 'S', CTRL},             // sin
    {51, 'O', CTRL},             // cos
    {52, 'T', CTRL},             // tan
    {53, 'E', CTRL},             // exp
    {54, 'E', CTRL | SHIFT},     // 10 ^ n
    {55, 'S', CTRL | SHIFT},     // asin
    {56, 'O', CTRL | SHIFT},     // acos
    {57, 'T', CTRL | SHIFT},     // atan
    {58, 'L', CTRL},             // loge
    {59, 'L', CTRL | SHIFT},     // log10
    {60, 'S', ALT},              // sinh
    {61, 'O', ALT},              // cosh
    {62, 'T', ALT},              // tanh
    {63, 'P', CTRL},             // pi
    {64, 'P', CTRL | SHIFT},     // e
    {65, 'S', ALT | SHIFT},      // asinh
    {66, 'O', ALT | SHIFT},      // acosh
    {67, 'T', ALT | SHIFT},      // atanh
    {68, 'A', CTRL | SHIFT},     // ACLR
    {69, 'M', CTRL | SHIFT},     // MCLR
    {70, F5, SHIFT},             // ->R5
    {71, F6, SHIFT},             // ->R6
    {72, F7, SHIFT},             // ->R7
    {73, F8, SHIFT},             // ->R8
    {74, F9, SHIFT},             // ->R9
    {75, F5, 0},                 // R5->
    {76, F6, 0},                 // R6->
    {77, F7, 0},                 // R7->
    {78, F8, 0},                 // R8->
    {79, F9, 0},                 // R9->
    {80, F5, CTRL | SHIFT},      // CLR5
    {81, F6, CTRL | SHIFT},      // CLR6
    {82, F7, CTRL | SHIFT},      // CLR7
    {83, F8, CTRL | SHIFT},      // CLR8
    {84, F9, CTRL | SHIFT},      // CLR9
    {85, '!', CTRL},             // !
    {86, 'N', CTRL},             // +/-
    {87, 'N', CTRL | SHIFT},     // | x |
    {90, '9', ALT},              // fill w/9
    {91, 'R', ALT},              // R.Off
    {92, 'I', ALT},              // IP
    {93, 'F', ALT},              // FP
    {94, 'E', ALT},              // EP
    {ID_PERFORM, UI_KEY_RETURN, CTRL},
    {ID_CANCEL, UI_KEY_ESCAPE, 0},
    {KEY_UNDO, 'Z', CTRL},
    {KEY_REDO, 'Y', CTRL},
    {KEY_REDO, 'Z', CTRL | SHIFT},
    {KEY_COMPARE, 'C', CTRL | SHIFT},
    {KEY_GO_TO_DIGIT, 'G', CTRL},
    {KEY_FUNCTION_LIST, 'K', CTRL},
};
const int KEY_TABLE_SIZE = static_cast<int>(sizeof KeyTable / sizeof KeyTable[0]);

// Reading order: the top row, the registers from R4 down to R0, the options at the left,
// the operation grid row by row, then "Perform the following", "Cancel" and the script.
const int FocusOrder[] = {
    ID_LANGUAGE, ID_DEFAULT_SIZE,     // the top row
    ID_SIG_DIGITS, ID_EXACT_DIGITS,   // the second row
    ID_R4, ID_R3, ID_R2, ID_R1, ID_R0,
    ID_RADIO_DEGREE, ID_RADIO_RADIAN, ID_COMPACT_MEM, ID_BARE_DIGITS, ID_PLANE_DISP,
    // the grid, row by row: id 35 + 5 * column + row
    35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90,
    36, 41, 46, 51, 56, 61, 66, 71, 76, 81, 86, 91,
    37, 42, 47, 52, 57, 62, 67, 72, 77, 82, 87, 92,
    38, 43, 48, 53, 58, 63, 68, 73, 78, 83, 88, 93,
    39, 44, 49, 54, 59, 64, 69, 74, 79, 84, 89, 94,
    ID_PERFORM, ID_CANCEL, ID_SCRIPT,
};
const int FOCUS_ORDER_SIZE = static_cast<int>(sizeof FocusOrder / sizeof FocusOrder[0]);

const KeyBinding *key_for(int id) {
  for (const KeyBinding &b : KeyTable) {
    if (b.id == id) return &b;
  }
  return nullptr;
}

std::string key_name(const KeyBinding &b) {
  std::string name;
  if (b.mods & CTRL) name += "Ctrl+";
  if (b.mods & ALT) name += "Alt+";
  if (b.mods & SHIFT) name += "Shift+";
  switch (b.key) {
    case UI_KEY_RETURN: return name + "Enter";
    case UI_KEY_ESCAPE: return name + "Esc";
    case UI_KEY_TAB: return name + "Tab";
    case UI_KEY_LEFT: return name + "Left";
    case UI_KEY_RIGHT: return name + "Right";
    case UI_KEY_UP: return name + "Up";
    case UI_KEY_DOWN: return name + "Down";
    case UI_KEY_DELETE: return name + "Del";
    default: break;
  }
  if (b.key >= UI_KEY_F1 && b.key < UI_KEY_F1 + 12) return name + "F" + std::to_string(b.key - UI_KEY_F1 + 1);
  if (b.key > ' ' && b.key < 0x7F) return name + static_cast<char>(b.key);
  return name + "?";
}

std::string key_table_markdown() {
  std::string out = "| Button | Key |\n|---|---|\n";
  auto row = [&out](int id, const std::string &label) {
    std::string keys;
    for (const KeyBinding &b : KeyTable) {
      if (b.id != id) continue;
      if (!keys.empty()) keys += " or ";
      keys += '`';
      keys += key_name(b);
      keys += '`';
    }
    if (keys.empty()) return;
    std::string cell;
    for (char c : label) {
      if (c == '|') cell += '\\';  // a bar inside a table cell
      cell += c;
    }
    out.append("| ").append(cell).append(" | ").append(keys).append(" |\n");
  };
  for (int id = ID_FIRST_COMMAND; id <= ID_CANCEL; ++id) {
    const ControlDef &c = ControlTable[id];
    if (!c.caption[1]) continue;
    std::string label = c.caption[1];
    if (c.caption[0] && label != c.caption[0]) label += std::string(" (") + c.caption[0] + ")";
    row(id, label);
  }
  row(KEY_UNDO, "Undo");
  row(KEY_REDO, "Redo");
  row(KEY_COMPARE, "Compare R0 with R1 (from R2..R4: that register with R0)");
  row(KEY_GO_TO_DIGIT, "Go to digit (in a register box)");
  row(KEY_FUNCTION_LIST, "Functions and constants… (the list of chapter 11)");
  return out;
}

int next_focus(int from, int step) {
  int pos = -1;
  for (int i = 0; i < FOCUS_ORDER_SIZE; ++i) {
    if (FocusOrder[i] == from) pos = i;
  }
  if (pos < 0) pos = step > 0 ? -1 : FOCUS_ORDER_SIZE;
  for (int n = 0; n < FOCUS_ORDER_SIZE; ++n) {
    pos = (pos + step + FOCUS_ORDER_SIZE) % FOCUS_ORDER_SIZE;
    const int id = FocusOrder[pos];
    if (ControlWindows[id] && control_enabled(id)) return id;
  }
  return -1;
}

void apply_key_tooltips() {
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const KeyBinding *b = key_for(id);
    if (b && ControlWindows[id]) plat_set_tooltip(ControlWindows[id], key_name(*b).c_str());
  }
}

void focus_initial_control() { plat_set_focus(ControlWindows[ID_R1]); }

namespace {

bool is_register_box(int id) {
  return id == ID_R0 || id == ID_R1 || id == ID_R2 || id == ID_R3 || id == ID_R4;
}

bool is_button(int id) {
  if (id < 0 || id >= CONTROL_COUNT) return false;
  const int32_t kind = ControlTable[id].kind;
  return kind == KIND_PUSH || kind == KIND_RADIO || kind == KIND_CHECK;
}

bool is_grid(int id) { return id >= ID_FIRST_COMMAND && id < ID_FIRST_COMMAND + GRID_ROWS * GRID_COLUMNS; }

void focus(int id) {
  if (id >= 0) plat_set_focus(ControlWindows[id]);
}

// The arrow keys inside the grid: one button in the direction, none past the edge.
void move_in_grid(int from, int key) {
  const int column = (from - ID_FIRST_COMMAND) / GRID_ROWS, row = (from - ID_FIRST_COMMAND) % GRID_ROWS;
  int c = column, r = row;
  if (key == UI_KEY_LEFT) --c;
  if (key == UI_KEY_RIGHT) ++c;
  if (key == UI_KEY_UP) --r;
  if (key == UI_KEY_DOWN) ++r;
  if (c < 0 || c >= GRID_COLUMNS || r < 0 || r >= GRID_ROWS) return;
  focus(ID_FIRST_COMMAND + c * GRID_ROWS + r);
}

// A key of the table that is a character other than a letter may need Shift on one
// keyboard and not on another ("+", "*", "!"; the digits on a French one): Shift does not
// count for those.
unsigned effective_mods(int key, unsigned mods) {
  const bool letter = key >= 'A' && key <= 'Z';
  if (key < 0x100 && !letter) mods &= ~SHIFT;
  return mods;
}

void undo_key(bool redo, int focused) {
  if (command_running()) {
    plat_message_box(main_window, REFUSAL_MESSAGE[caption_language()], REFUSAL_TITLE, UI_MB_OK);
    plat_invalidate(main_window);
    return;
  }
  if (focused >= 0 && ControlTable[focused].kind == KIND_EDIT &&
      plat_edit_undo(ControlWindows[focused], redo))
    return;
  undo_step(main_window, redo);
}

}  // namespace

bool ui_on_key(int key, unsigned mods) {
  if ((mods & CTRL) && (mods & ALT)) return false;  // AltGr: a character
  const int focused = plat_focused_id(main_window);

  if (key == UI_KEY_TAB && !(mods & ALT)) {
    focus(next_focus(focused, (mods & SHIFT) ? -1 : 1));
    return true;
  }
  if ((key == UI_KEY_LEFT || key == UI_KEY_RIGHT || key == UI_KEY_UP || key == UI_KEY_DOWN) &&
      mods == 0 && is_grid(focused)) {
    move_in_grid(focused, key);
    return true;
  }
  if (key == UI_KEY_RETURN && (mods & ~SHIFT) == 0) {
    if (is_register_box(focused)) {
      if (mods == 0) ui_on_command(ID_UP, 0);
      return true;  // never a line break
    }
    if (focused == ID_SIG_DIGITS) return true;
    if (is_button(focused)) {
      if (mods == 0) ui_on_command(focused, 0);
      return true;
    }
    return false;  // the script box: a new line
  }
  if (key == UI_KEY_ESCAPE && mods == 0) {
    if (command_running()) ui_on_command(ID_CANCEL, 0);
    return true;
  }

  const unsigned m = effective_mods(key, mods);
  for (const KeyBinding &b : KeyTable) {
    if (b.key != key || b.mods != m) continue;
    if (b.id == KEY_UNDO || b.id == KEY_REDO) {
      undo_key(b.id == KEY_REDO, focused);
    } else if (b.id == KEY_COMPARE) {
      compare_registers_of(register_box_in_focus());
    } else if (b.id == KEY_GO_TO_DIGIT) {
      go_to_digit(register_box_in_focus());
    } else if (b.id == KEY_FUNCTION_LIST) {
      open_function_list();
    } else {
      ui_on_command(b.id, 0);
    }
    return true;
  }
  return false;
}
