// The window described as data: one constant table of 102 controls, the layout units, and
// the table-driven routines that create, paint, caption and read them back.
//
// The control id of an entry is its position in ControlTable; every loop runs in id order.
// Rectangles are in tenths of a character cell (x in tenths of char_width, y in tenths of
// char_height) from the top left of the client area; control_rect turns them into client
// pixels with the current scroll offsets.
#pragma once

#include <cstdint>

#include "engine/state.h"
#include "ui/platform.h"

// Kinds of entry.
constexpr int32_t KIND_NONE = -1;
constexpr int32_t KIND_CAPTION = 1;            // painted: the caption of the language
constexpr int32_t KIND_SLOT_TEXT = 2;          // painted: the text slot at index
constexpr int32_t KIND_SETTING_DEC = 3;        // painted: Settings[index] as "%d"
constexpr int32_t KIND_SETTING_HEX = 4;        // painted: Settings[index] as "%#x"
constexpr int32_t KIND_EDGE = 11;              // painted: an edge along the rectangle
constexpr int32_t KIND_PUSH = 21;              // "button" window
constexpr int32_t KIND_RADIO = 22;             // "button": selected when Settings[index] == id - group
constexpr int32_t KIND_CHECK = 23;             // "button": set when Settings[index] != 0
constexpr int32_t KIND_GROUP = 24;             // "button" window (group box)
constexpr int32_t KIND_LABEL = 31;             // "static" window with a caption
constexpr int32_t KIND_SLOT_LABEL = 32;        // "static": text = the text slot at index
constexpr int32_t KIND_SETTING_LABEL_DEC = 33; // "static": text = Settings[index] as "%d"
constexpr int32_t KIND_SETTING_LABEL_HEX = 34; // "static": text = Settings[index] as "%x"
constexpr int32_t KIND_EDIT = 41;              // "edit" window: text = the text slot at index

// The group value that marks a control enabled only while a command runs.
constexpr int32_t GROUP_RUN_ONLY = 2;

// Styles of the table (window styles, or text formats for the painted kinds).
constexpr uint32_t STYLE_PLAIN = 0x50000000;     // push button, or left-aligned label
constexpr uint32_t STYLE_RIGHT = 0x50000002;     // right-aligned label
constexpr uint32_t STYLE_RADIO = 0x50000004;     // non-automatic radio button
constexpr uint32_t STYLE_GROUP = 0x50000007;     // group box
constexpr uint32_t STYLE_CHECK = 0x50000102;     // non-automatic check box, text left
constexpr uint32_t STYLE_FIELD = 0x50800080;     // one-line edit box
constexpr uint32_t STYLE_REGISTER = 0x50A00044;  // multi-line edit box, vertical scroll bar
constexpr uint32_t STYLE_SCRIPT = 0x50A000C4;    // as STYLE_REGISTER, lines do not wrap
constexpr uint32_t STYLE_PAINTED = 0x00840000;   // left, top, word ellipsis (+ bit 0x800000)
constexpr uint32_t STYLE_NONE = 0xFFFFFFFF;

constexpr int CONTROL_COUNT = 102;
constexpr int EDIT_TEXT_LIMIT = 109999;  // input limit of every edit box, in characters

// Control ids the front end refers to by name.
constexpr int ID_SIG_DIGITS = 2;
constexpr int ID_LANGUAGE = 8;
constexpr int ID_DEFAULT_SIZE = 9;
constexpr int ID_R4 = 11, ID_R3 = 13, ID_R2 = 15, ID_R1 = 17, ID_R0 = 19;
constexpr int ID_RADIO_DEGREE = 31, ID_RADIO_RADIAN = 32;
constexpr int ID_COMPACT_MEM = 33, ID_BARE_DIGITS = 34;
constexpr int ID_FIRST_COMMAND = 35, ID_LAST_COMMAND = 95;
constexpr int ID_PERFORM = 95;
constexpr int ID_CANCEL = 96;
constexpr int ID_STATUS = 97;
constexpr int ID_SCRIPT = 98;
constexpr int ID_PLANE_DISP = 99;
constexpr int ID_EXACT_DIGITS = 101;

struct ControlDef {
  int32_t kind;
  int32_t index;  // a TextSlots index (text kinds) or a Settings index (number kinds)
  int32_t group;  // radio: id of the group's first button; edge: flags; 2: run-only
  uint32_t style;
  UiRect rect;  // tenths of a character cell
  const char *caption[2];  // [language]: 0 Japanese, 1 English (UTF-8); null when none
};

extern const ControlDef ControlTable[CONTROL_COUNT];

// Handles of the child windows by control id; null where the kind creates no window.
extern UiHandle ControlWindows[CONTROL_COUNT];

// Layout units (pixels), measured once when the main window is created, and the scroll
// offsets in columns and lines (0 at start, never positive).
extern int32_t char_width;
extern int32_t char_height;
extern int32_t scroll_x;
extern int32_t scroll_y;

// The content's extent in tenths of a cell: its natural size, at which every entry has
// the table's rectangle, and the least size it is laid out in (the register boxes, the
// memory line, the status line and the script box shrink down to it). A client area
// larger than the least size shows the whole content; a smaller one scrolls it.
constexpr int32_t NATURAL_CONTENT_WIDTH = 1520;   // 152 columns
constexpr int32_t NATURAL_CONTENT_HEIGHT = 490;   // 49 lines
constexpr int32_t MIN_CONTENT_WIDTH = 1030;       // 103 columns
constexpr int32_t MIN_CONTENT_HEIGHT = 320;       // 32 lines: each register box 3 lines

// The maxima of the scroll ranges (both start at 0): the least content size less one, so
// that a client area of that many columns or lines shows everything without scrolling.
constexpr int SCROLL_RANGE_LINES = MIN_CONTENT_HEIGHT / 10 - 1;     // 31
constexpr int SCROLL_RANGE_COLUMNS = MIN_CONTENT_WIDTH / 10 - 1;    // 102

// Pixels by which the client area is larger (positive) or smaller (negative) than the
// natural content, across and down, as the layout follows it: never below the least
// content size (min_stretch_x, min_stretch_y).
extern int32_t stretch_x;
extern int32_t stretch_y;
int32_t min_stretch_x();
int32_t min_stretch_y();

// The entry's rectangle in client pixels with the current units, scroll offsets and
// stretch.
UiRect control_rect(const ControlDef &control);

// Lays the content out for a client area of that size: sets stretch_x and stretch_y and
// moves the child windows to their new rectangles. true when the layout changed (the
// painted entries then need painting anew).
bool fit_layout(int client_width, int client_height);

// Widens char_width where a caption of either language needs more room than its
// rectangle gives it at the font's own column (plat_caption_width), so that no caption is
// cut. Called once the units are measured, before any control exists.
void fit_units_to_captions(UiHandle main);

struct WindowSize {
  int width, height;
};
// Outer size of 154 columns plus 10 pixels by 51 lines, reduced to the screen's available
// area where that is smaller.
WindowSize default_window_size(UiHandle main);
// The least outer size that shows the whole content at its least size: 105 columns plus
// 10 pixels by 34 lines.
WindowSize min_window_size();

// "#": the main window at the default size, where it stands unless that would reach past
// the screen's available area (then moved just inside it).
void restore_default_size(UiHandle main);

// Marks one entry's rectangle for repainting.
void invalidate_control(UiHandle main, int id);

// Creates the child windows of the whole table and gives them their first state, then
// sets the captions. Called once while the main window is created, after the workspace is
// loaded.
void create_controls(UiHandle main);

// Draws every painted entry (kinds 1, 2, 3, 4, 11); a painted text slot shows
// slot_texts[slot] (the caller chooses between the slots and copies of them).
void paint_controls(UiPaint *paint, const char *const slot_texts[TEXT_SLOT_COUNT]);

// Every button, group box and label gets the caption of the current language.
void set_captions();

// Copies the text of every edit box into its text slot (at most 109,999 bytes).
void read_edit_texts();

// The current caption language, Settings[SET_LANGUAGE] limited to 0 or 1.
int caption_language();
