// Win32 backend: the keyboard.
//
// Navigation in the message loop, as a dialog's is, but in the front end's order: before
// a key message is translated and dispatched, win32_translate_key hands it to ui_on_key
// (Tab, Return, Esc, the arrows in the grid, the keys of the operations, undo), so Tab
// never reaches an edit box and Ctrl+Z never reaches an edit box's own handling. Ctrl+A
// selects the whole text of an edit box. IsDialogMessage is not used: its Tab order is the
// order of creation, not the reading order; it sends IDOK and IDCANCEL, which are control
// ids of this window (1 and 2), for Return and Esc; and a multi-line edit box in dialog
// mode closes its parent on Esc.
//
// Every child control is subclassed (with a UTF-16 window procedure): an edit box drops the characters the keyboard must
// not put into it (a tab; a line break in a register box or the digits field; the DEL
// character of Ctrl+Backspace), reports its caret's moves and its context menu to the
// front end (win32_edit_tools.cpp), and a control that gains or loses the focus has its
// focus ring (a frame in the highlight colour just outside it, painted by the main window)
// drawn anew. The main window gives the focus back to the control that had it when it is
// activated again. Tooltips come from the common controls' tooltip window.
#include "ui/win32/win32_backend.h"

#include <commctrl.h>

namespace {

constexpr int RING_GAP = 1, RING_WIDTH = 2;

// The control that last had the focus, given back when the window is activated.
HWND saved_focus = nullptr;
// An Alt chord was used: the Alt key's release must not open the window menu.
bool swallow_alt_release = false;

HWND tooltip = nullptr;

bool is_our_child(HWND h) {
  HWND main = win32_main()->hwnd;
  return h && main && h != main && IsChild(main, h);
}

UiWindow *window_of(HWND h) { return reinterpret_cast<UiWindow *>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

bool down(int vk) { return GetKeyState(vk) < 0; }

// The character a key types with the Shift state given and without Ctrl and Alt, upper
// case for letters; 0 for none (a dead key, a key without a character).
int key_character(UINT vk, UINT scan, bool shift) {
  HKL layout = GetKeyboardLayout(0);
  const UINT plain = MapVirtualKeyExW(vk, MAPVK_VK_TO_CHAR, layout);
  if (plain == 0 || (plain & 0x80000000u)) return 0;  // a dead key keeps its state untouched
  BYTE state[256] = {};
  if (shift) state[VK_SHIFT] = 0x80;
  WCHAR buf[4];
  if (ToUnicodeEx(vk, scan, state, buf, 4, 0, layout) != 1) return 0;
  const int c = buf[0];
  if (c <= 0x20 || c >= 0x7F) return 0;
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

// A key message as ui_on_key takes it; false for keys it does not know.
bool translate(WPARAM vk, LPARAM lparam, int *key, unsigned *mods) {
  *mods = 0;
  if (down(VK_SHIFT)) *mods |= UI_MOD_SHIFT;
  if (down(VK_CONTROL)) *mods |= UI_MOD_CTRL;
  if (down(VK_MENU)) *mods |= UI_MOD_ALT;
  switch (vk) {
    case VK_RETURN: *key = UI_KEY_RETURN; return true;
    case VK_ESCAPE: *key = UI_KEY_ESCAPE; return true;
    case VK_TAB: *key = UI_KEY_TAB; return true;
    case VK_LEFT: *key = UI_KEY_LEFT; return true;
    case VK_RIGHT: *key = UI_KEY_RIGHT; return true;
    case VK_UP: *key = UI_KEY_UP; return true;
    case VK_DOWN: *key = UI_KEY_DOWN; return true;
    case VK_DELETE: *key = UI_KEY_DELETE; return true;
    default: break;
  }
  if (vk >= VK_F1 && vk <= VK_F12) {
    *key = UI_KEY_F1 + static_cast<int>(vk - VK_F1);
    return true;
  }
  // Character keys count only with Ctrl or Alt: plain ones type.
  if (!(*mods & (UI_MOD_CTRL | UI_MOD_ALT))) return false;
  if (vk >= 'A' && vk <= 'Z') {
    *key = static_cast<int>(vk);
    return true;
  }
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
    *key = '0' + static_cast<int>(vk - VK_NUMPAD0);
    return true;
  }
  switch (vk) {
    case VK_ADD: *key = '+'; return true;
    case VK_SUBTRACT: *key = '-'; return true;
    case VK_MULTIPLY: *key = '*'; return true;
    case VK_DIVIDE: *key = '/'; return true;
    case VK_DECIMAL: *key = '.'; return true;
    default: break;
  }
  const UINT scan = (static_cast<UINT>(lparam) >> 16) & 0xFF;
  *key = key_character(static_cast<UINT>(vk), scan, (*mods & UI_MOD_SHIFT) != 0);
  return *key != 0;
}

// The ring's four strips around a control, in the main window's client coordinates.
void ring_strips(HWND control, RECT strips[4]) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, win32_main()->hwnd, reinterpret_cast<POINT *>(&r), 2);
  const int out = RING_GAP + RING_WIDTH;
  const LONG l = r.left - out, t = r.top - out, rr = r.right + out, b = r.bottom + out;
  strips[0] = RECT{l, t, rr, t + RING_WIDTH};
  strips[1] = RECT{l, b - RING_WIDTH, rr, b};
  strips[2] = RECT{l, t, l + RING_WIDTH, b};
  strips[3] = RECT{rr - RING_WIDTH, t, rr, b};
}

void invalidate_ring(HWND control) {
  RECT strips[4];
  ring_strips(control, strips);
  for (const RECT &s : strips) InvalidateRect(win32_main()->hwnd, &s, TRUE);
}

LRESULT CALLBACK child_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  UiWindow *w = window_of(hwnd);
  const WNDPROC base = w ? w->base_proc : DefWindowProcW;
  switch (msg) {
    case WM_CHAR:
      if (w && w->cls == UI_CLASS_EDIT) {
        const bool script = (w->style & UI_ES_MULTILINE) && (w->style & UI_ES_AUTOHSCROLL);
        if (wparam == '\t' || wparam == 0x7F) return 0;
        if (!script && (wparam == '\r' || wparam == '\n')) return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      invalidate_ring(hwnd);
      if (msg == WM_SETFOCUS) saved_focus = hwnd;
      break;
    case WM_CONTEXTMENU:
      if (w && win32_context_menu(w, lparam)) return 0;
      break;
    default:
      break;
  }
  // The part the control repaints, for the mark drawn over it afterwards.
  HRGN update = nullptr;
  if (msg == WM_PAINT && w && w->cls == UI_CLASS_EDIT && w->marked) {
    update = CreateRectRgn(0, 0, 0, 0);
    if (update && GetUpdateRgn(hwnd, update, FALSE) == ERROR) {
      DeleteObject(update);
      update = nullptr;
    }
  }
  const LRESULT result = CallWindowProcW(base, hwnd, msg, wparam, lparam);
  if (update) {
    win32_paint_mark(w, update);
    DeleteObject(update);
  }
  if (w && w->cls == UI_CLASS_EDIT) {
    switch (msg) {
      // What may move the caret or the selection, or take or give the focus.
      case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK: case WM_SETTEXT: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_CUT:
      case WM_PASTE: case WM_CLEAR: case WM_UNDO: case EM_SETSEL: case EM_REPLACESEL: case EM_UNDO:
        win32_watch_caret(w, msg);
        break;
      case WM_MOUSEMOVE:
        if (wparam & MK_LBUTTON) win32_watch_caret(w, msg);
        break;
      default:
        break;
    }
  }
  return result;
}

}  // namespace

void win32_keys_attach(UiWindow *w) {
  if (!w || !w->hwnd || w->cls == UI_CLASS_STATIC) return;
  SetWindowLongPtrA(w->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  // A UTF-16 procedure: texts set with the "W" calls (the Japanese captions) pass through
  // it unconverted; those set with the "A" calls are ASCII.
  w->base_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(w->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(child_proc)));
}

bool win32_translate_key(const MSG *msg) {
  HWND main = win32_main()->hwnd;
  if (!main || (msg->hwnd != main && !IsChild(main, msg->hwnd))) return false;
  if (msg->message == WM_KEYUP || msg->message == WM_SYSKEYUP) {
    if (msg->wParam == VK_MENU && swallow_alt_release) {
      swallow_alt_release = false;
      return true;
    }
    return false;
  }
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
  int key = 0;
  unsigned mods = 0;
  if (!translate(msg->wParam, msg->lParam, &key, &mods)) return false;
  if (ui_on_key(key, mods)) {
    if (mods & UI_MOD_ALT) swallow_alt_release = true;
    return true;
  }
  // Select all: the edit box itself knows no key for it.
  HWND focus = GetFocus();
  if (key == 'A' && mods == UI_MOD_CTRL && is_our_child(focus)) {
    const UiWindow *w = window_of(focus);
    if (w && w->cls == UI_CLASS_EDIT) {
      SendMessageA(focus, EM_SETSEL, 0, -1);
      return true;
    }
  }
  return false;
}

void win32_paint_focus_ring(HDC dc) {
  HWND focus = GetFocus();
  if (!is_our_child(focus) || !IsWindowVisible(focus)) return;
  RECT strips[4];
  ring_strips(focus, strips);
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  for (const RECT &s : strips) FillRect(dc, &s, brush);
}

bool win32_on_activate(HWND main, WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (is_our_child(focus)) saved_focus = focus;
    return false;
  }
  if (saved_focus && IsWindow(saved_focus) && IsChild(main, saved_focus) && IsWindowEnabled(saved_focus)) {
    SetFocus(saved_focus);
    return true;
  }
  return false;
}

void plat_set_focus(UiHandle w) {
  if (!w || !w->hwnd) return;
  if (w->is_main) {
    saved_focus = nullptr;
    SetFocus(w->hwnd);
    return;
  }
  saved_focus = w->hwnd;
  SetFocus(w->hwnd);
  if (w->cls == UI_CLASS_EDIT) {
    // The whole text selected, the caret at its start (where a long number begins).
    const LRESULT n = SendMessageA(w->hwnd, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(w->hwnd, EM_SETSEL, static_cast<WPARAM>(n), 0);
    SendMessageA(w->hwnd, EM_SCROLLCARET, 0, 0);
  }
}

int plat_focused_id(UiHandle main) {
  HWND focus = GetFocus();
  if (!main || !main->hwnd || !focus || focus == main->hwnd || !IsChild(main->hwnd, focus)) return -1;
  const UiWindow *w = window_of(focus);
  return w ? w->id : -1;
}

// An edit box keeps one step of typing: undo takes it back when the box was typed into
// since its text was set; redo puts it back when nothing was typed since that undo.
bool plat_edit_undo(UiHandle w, bool redo) {
  if (!w || !w->hwnd || w->cls != UI_CLASS_EDIT) return false;
  if (!SendMessageA(w->hwnd, EM_CANUNDO, 0, 0)) return false;
  const bool modified = SendMessageA(w->hwnd, EM_GETMODIFY, 0, 0) != 0;
  if (redo ? (!w->box_redo || modified) : !modified) return false;
  SendMessageA(w->hwnd, EM_UNDO, 0, 0);
  SendMessageA(w->hwnd, EM_SETMODIFY, redo ? TRUE : FALSE, 0);
  w->box_redo = !redo;
  return true;
}

void plat_set_tooltip(UiHandle w, const char *text) {
  if (!w || !w->hwnd || !text) return;
  HWND main = win32_main()->hwnd;
  if (!tooltip && main) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, main,
                              nullptr, win32_instance, nullptr);
  }
  if (!tooltip) return;
  TTTOOLINFOA info{};
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = main;
  info.uId = reinterpret_cast<UINT_PTR>(w->hwnd);
  info.lpszText = const_cast<char *>(text);  // the tooltip keeps its own copy
  SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}
