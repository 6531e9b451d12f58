// Win32 backend: the caret and selection of the edit boxes as the front end counts them,
// the context menus of the front end, a one-line prompt and the clipboard.
//
// Offsets: the front end counts bytes of the text plat_get_text gives; a wrapping register
// box holds that text with line breaks of the backend's own (display_breaks.h) and a
// number's 200-digit lines joined (number_lines.h). The two differ only in blanks and
// breaks, so map_text_offset carries a position from one to the other.
//
// An edit control shows its selection only while it has the focus. A selection made by the
// front end (the digit where two registers differ, in both boxes) is marked here instead:
// while its box has no focus, the subclassed procedure inverts the marked characters after
// the control has painted, until the box's selection changes.
#include <algorithm>
#include <string>
#include <vector>

#include "ui/number_lines.h"
#include "ui/win32/win32_backend.h"
#include "ui/win32/win32_dialog_template.h"

namespace {

bool is_edit(UiHandle w) { return w && w->hwnd && w->cls == UI_CLASS_EDIT; }

// The box's text as the front end knows it, and as the control holds it.
void texts_of(UiWindow *w, std::string *front, std::string *shown) {
  *shown = win32_window_text(w->hwnd);
  if (w->wraps && w->display && !w->display->shown.empty()) {
    restore_display_text(*w->display, *shown, *front);
  } else {
    *front = *shown;
  }
}

void control_selection(HWND hwnd, DWORD *start, DWORD *end) {
  *start = *end = 0;
  SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
}

// Carries [lo, hi] from one text to the other: lo forward past blanks and breaks, hi back
// before them.
void map_range(const std::string &from, size_t lo, size_t hi, const std::string &to, size_t *mlo, size_t *mhi) {
  *mlo = map_text_offset(from.data(), from.size(), lo, to.data(), to.size(), true);
  *mhi = lo == hi ? *mlo : std::max(*mlo, map_text_offset(from.data(), from.size(), hi, to.data(), to.size(), false));
}

// Menu command ids of the front end's items (the edit control's own are the ids of the
// messages they send, as in the system's menu).
constexpr UINT FIRST_ITEM_ID = 0x8000;

HMENU edit_menu() {
  // The edit control's own menu of the system, in the user's language; else one in English.
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (HMENU loaded = user32 ? LoadMenuW(user32, MAKEINTRESOURCEW(1)) : nullptr) {
    HMENU sub = GetSubMenu(loaded, 0);
    if (sub && GetMenuItemCount(sub) > 0 && RemoveMenu(loaded, 0, MF_BYPOSITION)) {
      DestroyMenu(loaded);
      return sub;
    }
    DestroyMenu(loaded);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, WM_UNDO, L"&Undo");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, WM_CUT, L"Cu&t");
  AppendMenuW(menu, MF_STRING, WM_COPY, L"&Copy");
  AppendMenuW(menu, MF_STRING, WM_PASTE, L"&Paste");
  AppendMenuW(menu, MF_STRING, WM_CLEAR, L"&Delete");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, EM_SETSEL, L"Select &All");
  return menu;
}

INT_PTR CALLBACK prompt_proc(HWND dlg, UINT msg, WPARAM wparam, LPARAM lparam);

// The texts of a prompt, and its answer.
struct Prompt {
  const char *title, *label, *initial, *ok, *cancel;
  std::wstring answer;
};

constexpr int PROMPT_LABEL = 100, PROMPT_FIELD = 101;

INT_PTR CALLBACK prompt_proc(HWND dlg, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto *p = reinterpret_cast<Prompt *>(lparam);
      SetWindowLongPtrW(dlg, DWLP_USER, lparam);
      SetWindowTextW(dlg, win32_widen(p->title).c_str());
      SetDlgItemTextW(dlg, PROMPT_LABEL, win32_widen(p->label).c_str());
      SetDlgItemTextW(dlg, PROMPT_FIELD, win32_widen(p->initial).c_str());
      SetDlgItemTextW(dlg, IDOK, win32_widen(p->ok).c_str());
      SetDlgItemTextW(dlg, IDCANCEL, win32_widen(p->cancel).c_str());
      HWND field = GetDlgItem(dlg, PROMPT_FIELD);
      SendMessageW(field, EM_SETSEL, 0, -1);
      SetFocus(field);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        auto *p = reinterpret_cast<Prompt *>(GetWindowLongPtrW(dlg, DWLP_USER));
        HWND field = GetDlgItem(dlg, PROMPT_FIELD);
        const int n = GetWindowTextLengthW(field);
        p->answer.assign(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
        const int got = GetWindowTextW(field, p->answer.data(), n + 1);
        p->answer.resize(static_cast<size_t>(std::max(got, 0)));
        EndDialog(dlg, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

bool plat_get_selection(UiHandle w, int *start, int *end) {
  *start = *end = 0;
  if (!is_edit(w)) return false;
  DWORD s = 0, e = 0;
  control_selection(w->hwnd, &s, &e);
  std::string front, shown;
  texts_of(w, &front, &shown);
  size_t lo = std::min<size_t>(std::min(s, e), shown.size()), hi = std::min<size_t>(std::max(s, e), shown.size());
  if (front != shown) map_range(shown, lo, hi, front, &lo, &hi);
  *start = static_cast<int>(lo);
  *end = static_cast<int>(hi);
  return true;
}

void plat_set_selection(UiHandle w, int start, int end) {
  if (!is_edit(w)) return;
  std::string front, shown;
  texts_of(w, &front, &shown);
  const int len = static_cast<int>(std::min<size_t>(front.size(), 0x7FFFFFFF));
  const size_t s = static_cast<size_t>(std::clamp(start, 0, len)), e = static_cast<size_t>(std::clamp(end, 0, len));
  size_t lo = std::min(s, e), hi = std::max(s, e);
  if (front != shown) map_range(front, lo, hi, shown, &lo, &hi);
  const WPARAM anchor = s <= e ? lo : hi;
  const LPARAM caret = static_cast<LPARAM>(s <= e ? hi : lo);
  w->marked = false;  // the selection below is the mark, not a change of it
  SendMessageA(w->hwnd, EM_SETSEL, anchor, caret);
  SendMessageA(w->hwnd, EM_SCROLLCARET, 0, 0);
  w->marked = true;
  w->mark_start = static_cast<int>(lo);
  w->mark_end = static_cast<int>(hi);
  InvalidateRect(w->hwnd, nullptr, FALSE);
}

void win32_watch_caret(UiWindow *w, UINT msg) {
  if (!is_edit(w)) return;
  DWORD s = 0, e = 0;
  control_selection(w->hwnd, &s, &e);
  const bool focus = msg == WM_SETFOCUS || msg == WM_KILLFOCUS;
  const bool moved = static_cast<int>(s) != w->caret_start || static_cast<int>(e) != w->caret_end;
  if (!moved && !focus) return;
  w->caret_start = static_cast<int>(s);
  w->caret_end = static_cast<int>(e);
  if (w->marked && (static_cast<int>(std::min(s, e)) != w->mark_start || static_cast<int>(std::max(s, e)) != w->mark_end)) {
    w->marked = false;
    InvalidateRect(w->hwnd, nullptr, FALSE);
  }
  ui_on_caret(w->id);
}

void win32_paint_mark(UiWindow *w, HRGN update) {
  if (!is_edit(w) || !w->marked || GetFocus() == w->hwnd || w->mark_end <= w->mark_start) return;
  HDC dc = GetDC(w->hwnd);
  if (!dc) return;
  // Only where the control painted anew: a cell inverted before and not repainted stays so.
  SelectClipRgn(dc, update);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(w->hwnd, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  RECT client;
  GetClientRect(w->hwnd, &client);
  // A mark is a digit or a few: each character's cell, as far as it shows.
  const int last = std::min(w->mark_end, w->mark_start + 4096);
  for (int i = w->mark_start; i < last; ++i) {
    const LRESULT at = SendMessageA(w->hwnd, EM_POSFROMCHAR, static_cast<WPARAM>(i), 0);
    if (at == -1) continue;
    const int x = static_cast<short>(LOWORD(at)), y = static_cast<short>(HIWORD(at));
    RECT cell{x, y, x + tm.tmAveCharWidth, y + tm.tmHeight};
    RECT shown;
    if (IntersectRect(&shown, &cell, &client)) InvertRect(dc, &shown);
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(w->hwnd, dc);
}

bool win32_context_menu(UiWindow *w, LPARAM lparam) {
  if (!w || !w->hwnd) return false;
  if (w->is_main) {
    // The background (or a disabled control over it): at the pointer, in client pixels.
    if (lparam == -1) return ui_on_background_menu(-1, -1);
    POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    w->menu_point = p;
    ScreenToClient(w->hwnd, &p);
    return ui_on_background_menu(p.x, p.y);
  }
  if (w->cls == UI_CLASS_BUTTON) {
    if (lparam == -1) {
      // From the keyboard: below the button.
      RECT r;
      GetWindowRect(w->hwnd, &r);
      w->menu_point = POINT{r.left, r.bottom};
    } else {
      w->menu_point = POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
    }
    return ui_on_context_menu(w->id);
  }
  if (!is_edit(w)) return false;
  if (lparam == -1) {
    // From the keyboard: at the caret.
    DWORD s = 0, e = 0;
    control_selection(w->hwnd, &s, &e);
    const LRESULT at = SendMessageA(w->hwnd, EM_POSFROMCHAR, e, 0);
    POINT p{at == -1 ? 0 : static_cast<short>(LOWORD(at)), at == -1 ? 0 : static_cast<short>(HIWORD(at))};
    ClientToScreen(w->hwnd, &p);
    w->menu_point = p;
  } else {
    w->menu_point = POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  }
  return ui_on_context_menu(w->id);
}

int plat_context_menu(UiHandle w, const char *const *items, int count) {
  if (!w || !w->hwnd) return -1;
  if (!is_edit(w)) {
    // A button or the background: the items alone.
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    for (int i = 0; i < count; ++i)
      AppendMenuW(menu, MF_STRING, FIRST_ITEM_ID + static_cast<UINT>(i), win32_widen(items[i]).c_str());
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         w->menu_point.x, w->menu_point.y, 0, w->hwnd, nullptr));
    DestroyMenu(menu);
    return chosen >= FIRST_ITEM_ID && chosen < FIRST_ITEM_ID + static_cast<UINT>(count)
               ? static_cast<int>(chosen - FIRST_ITEM_ID)
               : -1;
  }
  HMENU menu = edit_menu();
  if (!menu) return -1;
  DWORD s = 0, e = 0;
  control_selection(w->hwnd, &s, &e);
  const bool selected = s != e;
  const bool editable = (GetWindowLongA(w->hwnd, GWL_STYLE) & ES_READONLY) == 0;
  const int len = GetWindowTextLengthA(w->hwnd);
  auto enable = [&](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(WM_UNDO, editable && SendMessageA(w->hwnd, EM_CANUNDO, 0, 0) != 0);
  enable(WM_CUT, editable && selected);
  enable(WM_COPY, selected);
  enable(WM_PASTE, editable && IsClipboardFormatAvailable(CF_UNICODETEXT));
  enable(WM_CLEAR, editable && selected);
  enable(EM_SETSEL, len > 0 && !(s == 0 && static_cast<int>(e) == len));
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  for (int i = 0; i < count; ++i)
    AppendMenuW(menu, MF_STRING, FIRST_ITEM_ID + static_cast<UINT>(i), win32_widen(items[i]).c_str());
  const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                       w->menu_point.x, w->menu_point.y, 0, w->hwnd, nullptr));
  DestroyMenu(menu);
  if (chosen >= FIRST_ITEM_ID && chosen < FIRST_ITEM_ID + static_cast<UINT>(count))
    return static_cast<int>(chosen - FIRST_ITEM_ID);
  switch (chosen) {
    case WM_UNDO:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR: SendMessageA(w->hwnd, chosen, 0, 0); break;
    case EM_SETSEL: SendMessageA(w->hwnd, EM_SETSEL, 0, -1); break;
    default: break;
  }
  return -1;
}

bool plat_prompt(UiHandle owner, const char *title, const char *label, const char *initial,
                 const char *ok, const char *cancel, char *out, int size) {
  if (!out || size <= 0) return false;
  Prompt p{title ? title : "", label ? label : "", initial ? initial : "", ok ? ok : "OK", cancel ? cancel : "Cancel", {}};
  DialogTemplate t(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 200, 62, 4);
  t.item(SS_LEFT, 7, 7, 186, 10, PROMPT_LABEL, 0x0082);
  t.item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 20, 186, 13, PROMPT_FIELD, 0x0081);
  t.item(BS_DEFPUSHBUTTON | WS_TABSTOP, 89, 41, 50, 14, IDOK, 0x0080);
  t.item(BS_PUSHBUTTON | WS_TABSTOP, 143, 41, 50, 14, IDCANCEL, 0x0080);
  const INT_PTR r = DialogBoxIndirectParamW(win32_instance, t.get(), owner ? owner->hwnd : nullptr, prompt_proc,
                                            reinterpret_cast<LPARAM>(&p));
  if (r != IDOK) return false;
  const std::string answer = win32_narrow(p.answer.data(), static_cast<int>(p.answer.size()));
  win32_copy_utf8(answer.data(), answer.size(), out, size);
  return true;
}

bool plat_set_clipboard(const char *text) {
  const std::wstring wide = win32_widen(text ? text : "");
  HWND owner = win32_main()->hwnd;
  if (!OpenClipboard(owner)) return false;
  bool ok = false;
  EmptyClipboard();
  if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
    if (void *p = GlobalLock(h)) {
      std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, static_cast<wchar_t *>(p));
      GlobalUnlock(h);
      ok = SetClipboardData(CF_UNICODETEXT, h) != nullptr;
    }
    if (!ok) GlobalFree(h);
  }
  CloseClipboard();
  return ok;
}
