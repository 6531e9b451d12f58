// Qt backend: painting of the painted entries.
#include <QApplication>
#include <QFontMetrics>
#include <QPalette>

#include "ui/qt/qt_backend.h"

namespace {

QColor color_from_rgb(uint32_t rgb) {
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

uint32_t rgb_from_color(const QColor &c) {
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
         (static_cast<uint32_t>(c.blue()) << 16);
}

}  // namespace

uint32_t plat_system_color(UiSysColor color) {
  const QPalette pal = QApplication::palette();
  return rgb_from_color(pal.color(color == UI_COLOR_BTNTEXT ? QPalette::ButtonText : QPalette::Button));
}

void plat_paint_colors(UiPaint *paint, uint32_t text_color, uint32_t back_color) {
  if (!paint) return;
  paint->text_color = color_from_rgb(text_color);
  paint->back_color = color_from_rgb(back_color);
}

void plat_draw_text(UiPaint *paint, const char *text, UiRect r, uint32_t format) {
  if (!paint || !text) return;
  QPainter &p = *paint->painter;
  const QRect rect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (rect.width() <= 0 || rect.height() <= 0) return;
  p.save();
  p.setClipRect(rect);
  p.setPen(paint->text_color);
  const QFontMetrics fm = p.fontMetrics();
  const QString s = QString::fromUtf8(text);
  // Lines end at CR LF, LF or CR; only as many lines as the rectangle can show are drawn.
  int y = rect.top();
  qsizetype start = 0;
  while (start <= s.size() && y < rect.bottom()) {
    qsizetype end = start;
    while (end < s.size() && s[end] != QLatin1Char('\n') && s[end] != QLatin1Char('\r')) ++end;
    QString line = s.mid(start, end - start);
    if (format & UI_DT_WORD_ELLIPSIS) line = fm.elidedText(line, Qt::ElideRight, rect.width());
    p.drawText(QPoint(rect.left(), y + fm.ascent()), line);
    y += fm.lineSpacing();
    if (end >= s.size()) break;
    start = end + ((s[end] == QLatin1Char('\r') && end + 1 < s.size() && s[end + 1] == QLatin1Char('\n')) ? 2 : 1);
  }
  p.restore();
}

void plat_draw_edge(UiPaint *paint, UiRect r, uint32_t edge_type, uint32_t edge_flags) {
  if (!paint) return;
  QPainter &p = *paint->painter;
  const QPalette pal = QApplication::palette();
  // The outer and inner lines: raised draws light on the top left and dark on the
  // bottom right, sunken the reverse.
  struct Line {
    uint32_t raised, sunken;
    int inset;
  } lines[] = {{UI_BDR_RAISEDOUTER, UI_BDR_SUNKENOUTER, 0}, {UI_BDR_RAISEDINNER, UI_BDR_SUNKENINNER, 1}};
  p.save();
  for (const Line &l : lines) {
    const bool raised = edge_type & l.raised, sunken = edge_type & l.sunken;
    if (!raised && !sunken) continue;
    const QColor light = pal.color(l.inset ? QPalette::Midlight : QPalette::Light);
    const QColor dark = pal.color(l.inset ? QPalette::Mid : QPalette::Dark);
    const QColor top_left = raised ? light : dark, bottom_right = raised ? dark : light;
    const int x0 = r.left + l.inset, y0 = r.top + l.inset;
    const int x1 = r.right - 1 - l.inset, y1 = r.bottom - 1 - l.inset;
    p.setPen(top_left);
    if (edge_flags & UI_BF_LEFT) p.drawLine(x0, y0, x0, y1);
    if (edge_flags & UI_BF_TOP) p.drawLine(x0, y0, x1, y0);
    p.setPen(bottom_right);
    if (edge_flags & UI_BF_RIGHT) p.drawLine(x1, y0, x1, y1);
    if (edge_flags & UI_BF_BOTTOM) p.drawLine(x0, y1, x1, y1);
  }
  p.restore();
}
