// The Win32 backend of ui/platform.h: declarations shared by its files.
//
// The backend uses the byte-string ("A") forms of the Windows services throughout: the
// window class and the windows are registered and created with RegisterClassA and
// CreateWindowExA, the message loop is GetMessageA / DispatchMessageA, number texts go
// in and out of the edit boxes as bytes with SetWindowTextA / GetWindowTextA. The front
// end's texts are UTF-8; a text that is not plain ASCII (the Japanese captions, the
// refusal message, a Japanese status line, a script comment) is converted to UTF-16 and
// passed to the "W" form of the same call, so that it shows on any code page.
//
// A handle is a UiWindow of this file: the window, what it is, and for the wrapping
// register boxes the display text with its inserted line breaks (display_breaks.h).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>

#include "ui/platform.h"
#include "ui/display_breaks.h"

struct UiWindow {
  HWND hwnd = nullptr;
  bool is_main = false;
  UiClass cls = UI_CLASS_STATIC;
  uint32_t style = 0;
  int id = -1;
  // Multi-line edit box that wraps its lines: texts are shown with display breaks.
  bool wraps = false;
  HFONT font = nullptr;  // the font set with WM_SETFONT
  int columns = 0;  // characters of the widest digit that fit one line; 0 = not measured
  std::unique_ptr<DisplayText> display;  // the last text set, while it has breaks
  WNDPROC base_proc = nullptr;  // the class's window procedure (win32_keys.cpp subclasses)
  bool box_redo = false;        // an edit box's own undo was just used: it can be redone
  // An edit box's selection as last reported (ui_on_caret), a selection the front end
  // made (marked while the box has no focus; control offsets), where its context menu
  // was asked for (screen pixels).
  int caret_start = 0, caret_end = 0;
  bool marked = false;
  int mark_start = 0, mark_end = 0;
  POINT menu_point{0, 0};
};

struct UiPaint {
  HDC dc;
};

// The application instance that WinMain received.
extern HINSTANCE win32_instance;

// The main window's handle object (its hwnd is null before creation and after
// destruction).
UiWindow *win32_main();

// The window procedure of the main window.
LRESULT CALLBACK win32_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The window's fonts (win32_font.cpp), all at the desktop's caption size, chosen at the
// first call: the captions' and painted texts' font (the desktop's message font; the
// layout units come from it), the font for the Japanese captions and any text that is not
// plain ASCII (a face with the Japanese characters, else the caption font), and the edit
// boxes' monospaced TrueType font (else the caption font).
HFONT win32_caption_font();
HFONT win32_ui_font(HWND main);
HFONT win32_number_font();
// The width in pixels of a UTF-8 text in a font.
int win32_text_width(HFONT font, const char *utf8);

// ---- Text conversion (win32_text.cpp) ----
// True when the NUL-terminated text has no byte above 0x7F.
bool win32_is_ascii(const char *text);
bool win32_is_ascii(const char *text, size_t len);
// UTF-8 to UTF-16; an invalid sequence becomes U+FFFD.
std::wstring win32_widen(const char *utf8);
// UTF-16 to UTF-8.
std::string win32_narrow(const wchar_t *text, int len);
// Copies at most size - 1 bytes of a UTF-8 text into buf, never ending inside a UTF-8
// sequence, then a NUL; returns the bytes stored (0 when size < 1).
int win32_copy_utf8(const char *text, size_t len, char *buf, int size);

// The text of any window as UTF-8: the bytes of GetWindowTextA when they are plain ASCII
// without '?', otherwise the UTF-16 text (GetWindowTextW) converted.
std::string win32_window_text(HWND hwnd);
// After a wrapping register box changed its size: a text the backend wrapped for the old
// width (and the user has not edited since) is wrapped again for the new one.
void win32_rewrap(UiWindow *w);
// Sets a window's text: SetWindowTextA for ASCII, SetWindowTextW otherwise.
void win32_set_window_text(HWND hwnd, const char *utf8);

// The number of characters of the widest digit, point, sign or exponent letter that fit
// on one line of a multi-line edit box.
int win32_edit_columns(HWND edit);

// ---- Edit boxes (win32_edit_tools.cpp) ----
// After the control handled a message that may move the caret, gain or lose the focus:
// reports a change to the front end (ui_on_caret) and ends a mark the change leaves.
void win32_watch_caret(UiWindow *w, UINT msg);
// After the control painted the region `update`: the front end's marked selection in it,
// while the box has no focus.
void win32_paint_mark(UiWindow *w, HRGN update);
// WM_CONTEXTMENU of an edit box, a button or the main window (its background): true when
// the front end showed its menu.
bool win32_context_menu(UiWindow *w, LPARAM lparam);

// ---- The keyboard (win32_keys.cpp) ----
// Subclasses a new child control (edit boxes and buttons; labels take no focus).
void win32_keys_attach(UiWindow *w);
// Called by the message loop before a message is translated: true when the key was used
// (the message is then dropped).
bool win32_translate_key(const MSG *msg);
// Paints the frame around the control with the focus (inside WM_PAINT).
void win32_paint_focus_ring(HDC dc);
// WM_ACTIVATE of the main window: true when the focus was given back to a control (the
// default handling, which puts the focus on the main window, is then skipped).
bool win32_on_activate(HWND main, WPARAM wparam);
