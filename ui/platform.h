// The platform layer of the window front end.
//
// Everything in ui/ that touches a window, a paint request, a scroll bar, a message box,
// the message loop or a timer goes through the plain functions below; the backends (ui/qt/ on Linux, ui/win32/ on Windows, and the
// recording fake of tests/ui) implement them. Events travel the other way: the backend
// calls the ui_on_* functions at the end of this header, always on the main thread.
//
// Conventions every backend keeps:
// - Handles are opaque. A null handle is accepted by every operation and does nothing
//   (a child control that could not be created stays null in ControlWindows).
// - Every function except plat_post_call is called on the main thread only.
// - Texts are NUL-terminated UTF-8 (number texts are plain ASCII). Multi-line texts use
//   CR LF between lines, as the register slots do; a backend whose editors use another
//   line end converts in plat_set_text and back in plat_get_text.
// - Style bits and text formats are the values the control table stores (the Windows
//   values); a backend interprets the bits it needs and ignores the others.
// - Coordinates are pixels. Child rectangles are relative to the main window's client
//   area; window rectangles are outer rectangles (frame included) in screen pixels.
#pragma once

#include <cstdint>

struct UiWindow;  // a window of the backend: the main window or one child control
typedef UiWindow *UiHandle;
struct UiPaint;  // the drawing context of one paint request

struct UiRect {
  int32_t left, top, right, bottom;
};

// The three classes of child control.
enum UiClass { UI_CLASS_BUTTON, UI_CLASS_STATIC, UI_CLASS_EDIT };

// Window style bits used by the control table.
constexpr uint32_t UI_WS_CHILD = 0x40000000;
constexpr uint32_t UI_WS_VISIBLE = 0x10000000;
constexpr uint32_t UI_WS_BORDER = 0x00800000;
constexpr uint32_t UI_WS_VSCROLL = 0x00200000;
constexpr uint32_t UI_WS_HSCROLL = 0x00100000;
// Button styles: the low four bits select the sort of button.
constexpr uint32_t UI_BS_TYPEMASK = 0x0000000F;
constexpr uint32_t UI_BS_PUSHBUTTON = 0x0;
constexpr uint32_t UI_BS_CHECKBOX = 0x2;     // non-automatic check box
constexpr uint32_t UI_BS_RADIOBUTTON = 0x4;  // non-automatic radio button
constexpr uint32_t UI_BS_GROUPBOX = 0x7;
constexpr uint32_t UI_BS_LEFT = 0x100;
// Static styles.
constexpr uint32_t UI_SS_TYPEMASK = 0x1F;
constexpr uint32_t UI_SS_LEFT = 0x0;
constexpr uint32_t UI_SS_RIGHT = 0x2;
// Edit styles.
constexpr uint32_t UI_ES_MULTILINE = 0x4;
constexpr uint32_t UI_ES_AUTOVSCROLL = 0x40;
constexpr uint32_t UI_ES_AUTOHSCROLL = 0x80;  // multi-line: lines do not wrap

// Text-drawing format bits (plat_draw_text).
constexpr uint32_t UI_DT_LEFT = 0x0;
constexpr uint32_t UI_DT_TOP = 0x0;
constexpr uint32_t UI_DT_WORD_ELLIPSIS = 0x00040000;

// Edge types and flags (plat_draw_edge).
constexpr uint32_t UI_BDR_RAISEDOUTER = 0x1;
constexpr uint32_t UI_BDR_SUNKENOUTER = 0x2;
constexpr uint32_t UI_BDR_RAISEDINNER = 0x4;
constexpr uint32_t UI_BDR_SUNKENINNER = 0x8;
constexpr uint32_t UI_BF_LEFT = 0x1;
constexpr uint32_t UI_BF_TOP = 0x2;
constexpr uint32_t UI_BF_RIGHT = 0x4;
constexpr uint32_t UI_BF_BOTTOM = 0x8;

// Message box flags.
constexpr uint32_t UI_MB_OK = 0x0;
constexpr uint32_t UI_MB_ICONERROR = 0x10;

// The system colours the painting uses.
enum UiSysColor { UI_COLOR_BTNFACE, UI_COLOR_BTNTEXT };

enum UiBar { UI_BAR_HORZ = 0, UI_BAR_VERT = 1 };

// Scroll request codes (ui_on_scroll), the Windows values.
enum UiScrollRequest {
  UI_SB_LINEUP = 0,
  UI_SB_LINEDOWN = 1,
  UI_SB_PAGEUP = 2,
  UI_SB_PAGEDOWN = 3,
  UI_SB_THUMBPOSITION = 4,
  UI_SB_THUMBTRACK = 5,
  UI_SB_TOP = 6,
  UI_SB_BOTTOM = 7,
  UI_SB_ENDSCROLL = 8,
};

// The whole state of one scroll bar. The range runs from min to max inclusive; the
// position is kept within min .. max - page + 1 (min when the page covers the range).
struct UiScrollInfo {
  int min, max, page, pos, track;
};

// Metrics of the main window's font. pitch_and_family: bit 0 set for a variable-pitch
// font.
struct UiFontMetrics {
  int avg_char_width;
  int height;
  int external_leading;
  uint8_t pitch_and_family;
};

// ---- Child controls ----
// Creates a child of the main window: class, initial text, style bits, rectangle in client
// pixels, child identifier. Null when it cannot be created.
UiHandle plat_create_control(UiHandle parent, UiClass cls, const char *text, uint32_t style,
                             UiRect rect, int id);
void plat_set_text(UiHandle w, const char *text);
// Copies the window's text into buf (at most size - 1 bytes, never a partial UTF-8
// sequence, then a NUL) and returns the number of bytes stored; 0 for a null handle.
int plat_get_text(UiHandle w, char *buf, int size);
void plat_enable(UiHandle w, bool enabled);
void plat_set_check(UiHandle w, bool checked);
// The most characters the user can type into an edit box.
void plat_limit_text(UiHandle w, int chars);
// Repaints at once whatever of the window is invalid.
void plat_update(UiHandle w);

// ---- The main window ----
// Creates the top-level window with the scroll bars and calls ui_on_create before it
// returns. Null when the platform cannot create it (ui_on_create is then not called).
UiHandle plat_create_main_window(const char *class_name, const char *title);
// Shows the window with the start-up show command (the Windows values: 1 normal,
// 2 minimized, 3 maximized, ...) and paints it.
void plat_show_window(UiHandle main, int show_command);
// Moves and sizes a window (outer rectangle) and repaints it.
void plat_move_window(UiHandle w, int x, int y, int width, int height);
// Sizes a window (outer size), keeping its position.
void plat_resize_window(UiHandle w, int width, int height);
// The outer rectangle in screen pixels; false when it cannot be read.
bool plat_window_rect(UiHandle w, UiRect *out);
void plat_virtual_screen_size(int *width, int *height);
// The available area (without task bars and panels) of the screen that holds the main
// window, or of the primary screen before the window is shown, in screen pixels.
UiRect plat_work_area(UiHandle main);
// Metrics of the font the captions are shown in (the layout units come from it).
UiFontMetrics plat_font_metrics(UiHandle main);
// The least width in pixels at which a control of this class and style shows the caption
// whole, in the caption font: the text plus what the control draws beside it (a button's
// frame and margins, a check box's box, a group box's frame).
int plat_caption_width(UiHandle main, UiClass cls, uint32_t style, const char *caption);
// Marks the whole client area (or a part of it) for repainting, with background erase.
void plat_invalidate(UiHandle main);
void plat_invalidate_rect(UiHandle main, UiRect rect);

// ---- Painting (inside ui_on_paint only) ----
uint32_t plat_system_color(UiSysColor color);  // 0x00BBGGRR
void plat_paint_colors(UiPaint *paint, uint32_t text_color, uint32_t back_color);
// Draws a NUL-terminated text over a rectangle with a format of UI_DT_ bits: left and top
// aligned, broken into lines only at the line breaks it contains, with UI_DT_WORD_ELLIPSIS
// a line too long for the width cut and ended by an ellipsis; clipped to the rectangle.
void plat_draw_text(UiPaint *paint, const char *text, UiRect rect, uint32_t format);
void plat_draw_edge(UiPaint *paint, UiRect rect, uint32_t edge_type, uint32_t edge_flags);

// ---- Scroll bars of the main window ----
// Sets range and page; the backend keeps the position within the new limits.
void plat_set_scroll_range(UiHandle main, UiBar bar, int min, int max, int page);
// Sets the position, limited to min .. max - page + 1.
void plat_set_scroll_pos(UiHandle main, UiBar bar, int pos);
UiScrollInfo plat_get_scroll(UiHandle main, UiBar bar);
// Moves the client area's content and its children by dx, dy pixels (positive: right,
// down); the uncovered part becomes invalid.
void plat_scroll_client(UiHandle main, int dx, int dy);

// ---- Message box, message loop, threads, timer ----
// A modal message box with one OK button. Calls that the main thread receives meanwhile
// (posted calls, timer ticks, paint requests) are handled while it is open.
int plat_message_box(UiHandle owner, const char *text, const char *title, uint32_t flags);
// A modal question with two or three buttons whose captions (UTF-8) are given: the index
// of the button pressed, or -1 when the box was closed without one (Escape, its close
// box). Posted calls and timer ticks are handled while it is open, as for a message box.
int plat_ask(UiHandle owner, const char *text, const char *title, const char *const *buttons, int count);
// The sorts of file the choosers offer, each with its own filter: workspace files
// ("*.ini") and register files ("*.txt"); both offer all files too.
enum UiFileKind { UI_FILE_WORKSPACE, UI_FILE_NUMBER };
// The system's "save as" file chooser, starting at the suggested file: the file chosen in
// out (at most size - 1 bytes and a NUL; a path as the file calls take it), or false when
// the user cancelled or the path does not fit. The chooser asks before it names a file
// that exists.
bool plat_choose_save_file(UiHandle owner, const char *title, UiFileKind kind, const char *suggested,
                           char *out, int size);
// The system's "open" file chooser: an existing file chosen in out, as above, or false.
bool plat_choose_open_file(UiHandle owner, const char *title, UiFileKind kind, char *out, int size);
// A modal prompt for one line of text: the label above a one-line field that holds
// `initial` (selected), and two buttons with the captions given (UTF-8), the first the
// default (Return), the second Escape's. true with the field's text in out (at most
// size - 1 bytes and a NUL) when the first was pressed; false otherwise.
bool plat_prompt(UiHandle owner, const char *title, const char *label, const char *initial,
                 const char *ok, const char *cancel, char *out, int size);
// Puts a plain text (UTF-8) on the system clipboard; false when the clipboard is not
// available.
bool plat_set_clipboard(const char *text);
// Runs the message loop until plat_quit; returns the code passed to it.
int plat_run_loop();
void plat_quit(int code);
// Queues fn(arg) to run on the main thread from its message loop (or from a modal message
// box). The only function that may be called from any thread.
void plat_post_call(void (*fn)(intptr_t), intptr_t arg);
// A periodic timer of the main window: ui_on_timer every interval_ms until killed.
void plat_set_timer(UiHandle main, int interval_ms);
void plat_kill_timer(UiHandle main);

// ---- Keyboard focus, a box's own undo, tooltips ----
// Gives a child control the keyboard focus; an edit box gets its whole text selected with
// the caret at its start (as after Tab), so that typing replaces the text. The main
// window's handle takes the focus away from every control while the window keeps the
// keyboard (key presses still reach ui_on_key).
void plat_set_focus(UiHandle w);
// The control id of the child that has the keyboard focus; -1 when none of the main
// window's children has it.
int plat_focused_id(UiHandle main);
// An edit box's own undo (redo false) or redo of typing: done and true when the box has
// something to undo (redo), false and nothing done otherwise. A text set with
// plat_set_text leaves the box nothing to undo.
bool plat_edit_undo(UiHandle w, bool redo);
// The text shown when the pointer rests on a control (empty: none).
void plat_set_tooltip(UiHandle w, const char *text);

// ---- The caret and selection of an edit box, its context menu ----
// Offsets are bytes of the text plat_get_text gives for the box, whatever the box shows
// on the screen (joined lines, display breaks, line ends of its own).
// The selection: *start <= *end; equal when there is only the caret. false, with both 0,
// for a null handle or a control that is not an edit box.
bool plat_get_selection(UiHandle w, int *start, int *end);
// Selects bytes start .. end (start == end: only the caret there), with the caret at
// `end`, and scrolls the box so that it shows. Offsets are limited to the text. A selection
// made so stays marked while the box does not have the keyboard focus, until the box's
// selection changes again (the user's own selections show only in the box with the focus).
void plat_set_selection(UiHandle w, int start, int end);
// The context menu of a control or of the main window's background, at the pointer (from
// the keyboard: at an edit box's caret, below a button). An edit box's menu has the box's
// own entries (undo, cut, copy, paste, delete, select all), a separator, then the items
// given; any other control's and the main window's menu has the items given alone (UTF-8;
// a tab before a key's name shows it at the right). The index of the item chosen among
// those given, or -1 for none of them (an entry of the box's own is carried out by the
// box).
int plat_context_menu(UiHandle w, const char *const *items, int count);

// ---- The list chooser ----
// A modal dialog that offers rows of three columns under a one-line filter field: the
// label above the field, the list with its column headings below it, and two buttons, the
// first the default. The list shows the rows that the front end gives for the field's
// text (ui_on_list_filter), asked again at every change of it, the first of them
// selected. The field starts with `filter` (selected, so that typing replaces it) and
// keeps the keyboard: typing filters, Up and Down (Page Up, Page Down) move the selection
// in the list, Return or a double click on a row chooses the selected row, Escape and the
// second button close the dialog. Texts are UTF-8. Posted calls and timer ticks are
// handled while it is open, as for a message box.
struct UiListChooser {
  const char *title;
  const char *label;
  const char *headings[3];
  const char *const *cells;  // rows × 3 texts, row by row
  int rows;
  const char *filter;   // the field's first text
  const char *ok, *cancel;
};
// The index (into the rows) of the row chosen, or -1 when none was; the field's last
// text in filter_out (at most filter_size - 1 bytes and a NUL) when that is not null.
int plat_choose_row(UiHandle owner, const UiListChooser *chooser, char *filter_out, int filter_size);

// Key codes of ui_on_key. A character key is the character it types with the Shift state
// held and without Ctrl and Alt, letters as upper case 'A'..'Z' (Ctrl+Shift+8 on a US
// keyboard is '*'); keypad digits and operators are the same characters. Other keys:
enum UiKey {
  UI_KEY_RETURN = 0x100,  // Return and the keypad's Enter
  UI_KEY_ESCAPE,
  UI_KEY_TAB,  // Shift+Tab is UI_KEY_TAB with UI_MOD_SHIFT
  UI_KEY_LEFT,
  UI_KEY_RIGHT,
  UI_KEY_UP,
  UI_KEY_DOWN,
  UI_KEY_DELETE,
  UI_KEY_F1 = 0x120,  // F1..F12 are UI_KEY_F1 + 0..11
};
// Modifier bits of ui_on_key. Keys pressed with Ctrl and Alt together (AltGr on many
// keyboards, which types characters) are not reported.
constexpr unsigned UI_MOD_SHIFT = 1;
constexpr unsigned UI_MOD_CTRL = 2;
constexpr unsigned UI_MOD_ALT = 4;

// ---- Events: implemented by ui/main_window.cpp, called by the backend ----
void ui_on_create(UiHandle main);
// The user or the system asks to close the main window; unattended when nobody can answer
// a question (SIGTERM, the session ending). Stops a running command and saves the
// workspace; when that fails, asks the user what to do (unattended: keeps the state in a
// rescue file). true: the window may be destroyed now; false: it stays open.
bool ui_on_close(bool unattended);
// The main window is being destroyed: saves the workspace unless ui_on_close did (a
// failure then settled as unattended) and ends the message loop.
void ui_on_destroy();
void ui_on_size(int client_width, int client_height);
void ui_on_paint(UiPaint *paint);
// A control reported: its id and notification code (0 for a button press).
void ui_on_command(int id, int code);
void ui_on_scroll(UiBar bar, int request, int track);
// The mouse wheel over the window's background: delta in 1/120 of a notch, positive away
// from the user (up, or left for the horizontal bar). The backend turns a vertical wheel
// with Shift held into the horizontal bar.
void ui_on_wheel(UiBar bar, int delta);
void ui_on_timer();
// The caret or the selection of an edit box moved (a key, the mouse, a new text, or
// plat_set_selection), or the box gained or lost the keyboard focus.
void ui_on_caret(int id);
// The user asked for the context menu of a control (the right button, the menu key,
// Shift+F10). true: the front end showed its own (plat_context_menu); false: the backend
// shows the control's usual one.
bool ui_on_context_menu(int id);
// The same over the main window's background at (x, y), client pixels (a point over a
// disabled control counts as the background); from the keyboard x and y are -1.
bool ui_on_background_menu(int x, int y);
// The filter field of the open list chooser holds `filter`: the rows to show, best first,
// as indices into the chooser's rows written to `shown` (room for all of them); returns
// how many.
int ui_on_list_filter(const char *filter, int *shown);
// A key press in the main window or one of its controls, before the control sees it
// (implemented by ui/keys.cpp). true: the front end used it and the backend drops it;
// false: the control handles it as usual. Plain character keys (no Ctrl, no Alt) need not
// be reported.
bool ui_on_key(int key, unsigned mods);
