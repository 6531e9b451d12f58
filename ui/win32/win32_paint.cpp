// Win32 backend: painting of the painted entries, inside WM_PAINT.
//
// Texts are drawn with DrawTextA and the control table's format (left, top, word
// ellipsis, clipped to the rectangle) in the caption font; a text that is not plain ASCII
// is drawn with DrawTextW from its UTF-16 form, in the font with the Japanese characters.
// Numbers and the engine's English messages are ASCII.
#include "ui/win32/win32_backend.h"

uint32_t plat_system_color(UiSysColor color) {
  return static_cast<uint32_t>(GetSysColor(color == UI_COLOR_BTNFACE ? COLOR_BTNFACE : COLOR_BTNTEXT));
}

void plat_paint_colors(UiPaint *paint, uint32_t text_color, uint32_t back_color) {
  if (!paint) return;
  SetTextColor(paint->dc, static_cast<COLORREF>(text_color));
  SetBkColor(paint->dc, static_cast<COLORREF>(back_color));
}

void plat_draw_text(UiPaint *paint, const char *text, UiRect rect, uint32_t format) {
  if (!paint || !text) return;
  RECT rc{rect.left, rect.top, rect.right, rect.bottom};
  if (win32_is_ascii(text)) {
    HGDIOBJ old = SelectObject(paint->dc, win32_caption_font());
    DrawTextA(paint->dc, text, -1, &rc, format);
    SelectObject(paint->dc, old);
  } else {
    const std::wstring w = win32_widen(text);
    HGDIOBJ old = SelectObject(paint->dc, win32_ui_font(win32_main()->hwnd));
    DrawTextW(paint->dc, w.c_str(), static_cast<int>(w.size()), &rc, format);
    SelectObject(paint->dc, old);
  }
}

void plat_draw_edge(UiPaint *paint, UiRect rect, uint32_t edge_type, uint32_t edge_flags) {
  if (!paint) return;
  RECT rc{rect.left, rect.top, rect.right, rect.bottom};
  DrawEdge(paint->dc, &rc, edge_type, edge_flags);
}
