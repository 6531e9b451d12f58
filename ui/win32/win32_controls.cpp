// Win32 backend: the child controls.
//
// Children are the system's "button", "static" and "edit" windows created with
// CreateWindowExA, with the control table's style bits and the control id as child
// identifier; the table's check boxes and radio buttons are of the non-automatic sort
// (BS_CHECKBOX, BS_RADIOBUTTON), so only BM_SETCHECK changes their state. Presses reach
// the main window as WM_COMMAND with BN_CLICKED (0).
//
// Captions are in the desktop's caption font, the one the layout units come from, and the
// edit boxes in a monospaced one; the Japanese captions, and any text that is not plain
// ASCII, bring the font with the Japanese characters (win32_font.cpp).
//
// The register boxes (multi-line, wrapping) show a number's 200-digit lines joined
// (ui/number_lines.h) and long unbroken runs with display breaks (display_breaks.h):
// plat_set_text makes the shown text, plat_get_text gives the front end's text back.
#include <algorithm>
#include <cstring>
#include <vector>

#include "ui/number_lines.h"
#include "ui/win32/win32_backend.h"

namespace {

// The handles of the children live as long as the process.
std::vector<std::unique_ptr<UiWindow>> child_handles;

// Lines shorter than this would be a sign of a box that could not be measured.
constexpr int MIN_COLUMNS = 16;
constexpr int MAX_COLUMNS = 4000;

const char *class_name(UiClass cls) {
  switch (cls) {
    case UI_CLASS_BUTTON: return "button";
    case UI_CLASS_STATIC: return "static";
    case UI_CLASS_EDIT: return "edit";
  }
  return "static";
}

bool usable(UiHandle w) { return w && w->hwnd; }

// True while the captions are the Japanese set: the captions are set in control-id order
// and the first one (the title) is Japanese exactly when the whole set is.
bool japanese_captions = false;

// A text that is not plain ASCII gets the font with the Japanese characters, and so does
// every other caption while the Japanese set is up (one face for all of them); a plain
// English caption keeps the caption font, in which the layout was measured, and an edit
// box the monospaced font.
void choose_font(UiWindow *w, bool ascii) {
  if (w->cls != UI_CLASS_EDIT && w->id == 0) japanese_captions = !ascii;
  const bool cjk = !ascii || (japanese_captions && w->cls != UI_CLASS_EDIT);
  HFONT font = cjk                       ? win32_ui_font(win32_main()->hwnd)
               : w->cls == UI_CLASS_EDIT ? win32_number_font()
                                         : win32_caption_font();
  if (font == w->font) return;
  w->font = font;
  w->columns = 0;  // measured again in the new font
  SendMessageA(w->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int columns_of(UiWindow *w) {
  if (w->columns == 0)
    w->columns = std::clamp(win32_edit_columns(w->hwnd), MIN_COLUMNS, MAX_COLUMNS);
  return w->columns;
}

}  // namespace

UiHandle plat_create_control(UiHandle parent, UiClass cls, const char *text, uint32_t style,
                             UiRect rect, int id) {
  if (!usable(parent)) return nullptr;
  if (!text) text = "";
  const bool ascii = win32_is_ascii(text);
  HWND hwnd = CreateWindowExA(0, class_name(cls), ascii ? text : "", style, rect.left, rect.top,
                              rect.right - rect.left, rect.bottom - rect.top, parent->hwnd,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                              win32_instance, nullptr);
  if (!hwnd) return nullptr;
  auto handle = std::make_unique<UiWindow>();
  handle->hwnd = hwnd;
  handle->cls = cls;
  handle->style = style;
  handle->id = id;
  handle->wraps = cls == UI_CLASS_EDIT && (style & UI_ES_MULTILINE) != 0 &&
                  (style & UI_ES_AUTOHSCROLL) == 0;
  if (handle->wraps) handle->display = std::make_unique<DisplayText>();
  child_handles.push_back(std::move(handle));
  UiWindow *w = child_handles.back().get();
  win32_keys_attach(w);
  if (!ascii) {
    plat_set_text(w, text);
  } else {
    choose_font(w, true);
  }
  return w;
}

void plat_set_text(UiHandle w, const char *text) {
  if (!usable(w)) return;
  if (!text) text = "";
  w->box_redo = false;  // a text set leaves the box nothing to undo or redo
  choose_font(w, win32_is_ascii(text));
  if (w->wraps) {
    const size_t columns = static_cast<size_t>(columns_of(w));
    const size_t len = std::strlen(text);
    std::string joined;
    const bool join = join_number_lines(text, len, &joined);
    const bool broken = join ? make_display_text(*w->display, joined.data(), joined.size(), columns)
                             : make_display_text(*w->display, text, len, columns);
    if (join || broken) {
      w->display->original.assign(text, len);  // the front end's text, not the joined one
      win32_set_window_text(w->hwnd, w->display->shown.c_str());
      return;
    }
    // No break was needed: the box holds the text itself.
    w->display->original.clear();
    w->display->shown.clear();
    w->display->breaks.clear();
  }
  win32_set_window_text(w->hwnd, text);
}

void win32_rewrap(UiWindow *w) {
  if (!usable(w) || !w->wraps) return;
  const int before = w->columns;
  w->columns = 0;
  if (columns_of(w) == before || w->display->shown.empty()) return;
  if (win32_window_text(w->hwnd) != w->display->shown) return;  // edited: left as the user made it
  const std::string original = w->display->original;
  plat_set_text(w, original.c_str());
}

int plat_get_text(UiHandle w, char *buf, int size) {
  if (!buf || size < 1) return 0;
  buf[0] = '\0';
  if (!usable(w)) return 0;
  const std::string current = win32_window_text(w->hwnd);
  if (w->wraps && !w->display->shown.empty()) {
    std::string text;
    restore_display_text(*w->display, current, text);
    return win32_copy_utf8(text.data(), text.size(), buf, size);
  }
  return win32_copy_utf8(current.data(), current.size(), buf, size);
}

void plat_enable(UiHandle w, bool enabled) {
  if (usable(w)) EnableWindow(w->hwnd, enabled ? TRUE : FALSE);
}

void plat_set_check(UiHandle w, bool checked) {
  if (usable(w)) SendMessageA(w->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int plat_caption_width(UiHandle, UiClass cls, uint32_t style, const char *caption) {
  if (!caption) return 0;
  // An ASCII caption may show in either font (the Japanese set shows every caption in the
  // Japanese face): the wider counts.
  int text = win32_text_width(win32_ui_font(nullptr), caption);
  if (win32_is_ascii(caption)) text = std::max(text, win32_text_width(win32_caption_font(), caption));
  if (cls == UI_CLASS_STATIC) return text + 2;
  switch (style & UI_BS_TYPEMASK) {
    case UI_BS_CHECKBOX:
    case UI_BS_RADIOBUTTON:
      // The box, the gap the control leaves after it, and the focus rectangle's margin.
      return text + GetSystemMetrics(SM_CXMENUCHECK) + 8;
    case UI_BS_GROUPBOX: return text + 20;  // the title sits inside the frame's corner
    default: return text + 2 * GetSystemMetrics(SM_CXEDGE) + 8;  // the 3-D frame, margins
  }
}

void plat_limit_text(UiHandle w, int chars) {
  if (usable(w)) SendMessageA(w->hwnd, EM_LIMITTEXT, static_cast<WPARAM>(std::max(chars, 0)), 0);
}

void plat_update(UiHandle w) {
  if (usable(w)) UpdateWindow(w->hwnd);
}
