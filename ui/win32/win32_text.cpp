// Win32 backend: texts between the front end (UTF-8) and the windows (bytes or UTF-16).
#include <algorithm>
#include <cstring>

#include "ui/win32/win32_backend.h"

bool win32_is_ascii(const char *text, size_t len) {
  for (size_t i = 0; i < len; ++i) {
    if (static_cast<unsigned char>(text[i]) > 0x7F) return false;
  }
  return true;
}

bool win32_is_ascii(const char *text) { return win32_is_ascii(text, std::strlen(text)); }

std::wstring win32_widen(const char *utf8) {
  const int len = static_cast<int>(std::strlen(utf8));
  if (len == 0) return std::wstring();
  // Without MB_ERR_INVALID_CHARS an invalid sequence becomes U+FFFD.
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, len, nullptr, 0);
  std::wstring w(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8, len, w.data(), n);
  return w;
}

std::string win32_narrow(const wchar_t *text, int len) {
  if (len <= 0) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, len, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, len, s.data(), n, nullptr, nullptr);
  return s;
}

int win32_copy_utf8(const char *text, size_t len, char *buf, int size) {
  if (!buf || size < 1) return 0;
  size_t n = std::min(len, static_cast<size_t>(size - 1));
  // Cut before the lead byte of a sequence that does not fit whole.
  if (n < len) {
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  std::memcpy(buf, text, n);
  buf[n] = '\0';
  return static_cast<int>(n);
}

std::string win32_window_text(HWND hwnd) {
  if (!hwnd) return std::string();
  const int n = GetWindowTextLengthA(hwnd);
  std::string s(static_cast<size_t>(std::max(n, 0)) + 1, '\0');
  const int got = GetWindowTextA(hwnd, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(got, 0)));
  // Plain ASCII is the text itself. Bytes above 0x7F are in the ANSI code page, and a '?'
  // may stand for a character the code page lacks: take the UTF-16 text then.
  if (win32_is_ascii(s.data(), s.size()) && s.find('?') == std::string::npos) return s;
  const int wn = GetWindowTextLengthW(hwnd);
  std::wstring w(static_cast<size_t>(std::max(wn, 0)) + 1, L'\0');
  const int wgot = GetWindowTextW(hwnd, w.data(), wn + 1);
  return win32_narrow(w.data(), wgot);
}

void win32_set_window_text(HWND hwnd, const char *utf8) {
  if (!hwnd) return;
  if (!utf8) utf8 = "";
  if (win32_is_ascii(utf8)) {
    SetWindowTextA(hwnd, utf8);
  } else {
    SetWindowTextW(hwnd, win32_widen(utf8).c_str());
  }
}

int win32_edit_columns(HWND edit) {
  RECT rc;
  if (!GetClientRect(edit, &rc)) return 1;
  const DWORD margins = static_cast<DWORD>(SendMessageA(edit, EM_GETMARGINS, 0, 0));
  // A little slack: the edit control keeps a pixel or two beside its formatting rectangle.
  const int width = rc.right - rc.left - LOWORD(margins) - HIWORD(margins) - 4;
  HDC dc = GetDC(edit);
  if (!dc) return 1;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0));
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  int widest = 1;
  for (const char *p = "0123456789.-+eE,"; *p; ++p) {
    SIZE sz;
    if (GetTextExtentPoint32A(dc, p, 1, &sz)) widest = std::max(widest, static_cast<int>(sz.cx));
  }
  if (old) SelectObject(dc, old);
  ReleaseDC(edit, dc);
  return std::max(1, width / widest);
}
