// Win32 backend: dialogs built in memory (no resource script), for the prompt and the
// list chooser.
#pragma once

#include <cwchar>
#include <vector>

#include "ui/win32/win32_backend.h"

// An in-memory dialog template: DLGTEMPLATE, its menu, class and title (empty: set at
// WM_INITDIALOG), its font, then each item's DLGITEMTEMPLATE with class, text and creation
// data, every item on a DWORD boundary.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, WORD items) {
    DLGTEMPLATE t{};
    t.style = style;
    t.cdit = items;
    t.cx = cx;
    t.cy = cy;
    put(&t, sizeof t);
    word(0);  // no menu
    word(0);  // the standard class
    word(0);  // the title, set later
    word(9);  // DS_SETFONT: the point size and face
    text(L"Segoe UI");
  }
  void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom) {
    head(style, x, y, cx, cy, id);
    word(0xFFFF);
    word(atom);  // 0x0080 button, 0x0081 edit, 0x0082 static
    tail();
  }
  // An item of a class named by its window class name (a common control).
  void item(DWORD style, short x, short y, short cx, short cy, WORD id, const wchar_t *class_name) {
    head(style, x, y, cx, cy, id);
    text(class_name);
    tail();
  }
  const DLGTEMPLATE *get() const { return reinterpret_cast<const DLGTEMPLATE *>(bytes_.data()); }

 private:
  void head(DWORD style, short x, short y, short cx, short cy, WORD id) {
    align();
    DLGITEMTEMPLATE t{};
    t.style = style | WS_CHILD | WS_VISIBLE;
    t.x = x;
    t.y = y;
    t.cx = cx;
    t.cy = cy;
    t.id = id;
    put(&t, sizeof t);
  }
  void tail() {
    word(0);  // the text, set later
    word(0);  // no creation data
  }
  void put(const void *p, size_t n) {
    const auto *b = static_cast<const unsigned char *>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  void word(WORD w) { put(&w, sizeof w); }
  void text(const wchar_t *s) { put(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
  void align() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  std::vector<unsigned char> bytes_;
};
