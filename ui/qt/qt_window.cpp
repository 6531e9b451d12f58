// Qt backend: the main window, its scroll bars, the message loop, the timer, posted
// calls and message boxes.
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_signals.h"

namespace {

// Qt's slider actions as the scroll request codes of the platform layer.
int request_of_action(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return UI_SB_LINEUP;
    case QAbstractSlider::SliderSingleStepAdd: return UI_SB_LINEDOWN;
    case QAbstractSlider::SliderPageStepSub: return UI_SB_PAGEUP;
    case QAbstractSlider::SliderPageStepAdd: return UI_SB_PAGEDOWN;
    case QAbstractSlider::SliderMove: return UI_SB_THUMBTRACK;
    case QAbstractSlider::SliderToMinimum: return UI_SB_TOP;
    case QAbstractSlider::SliderToMaximum: return UI_SB_BOTTOM;
    default: return UI_SB_ENDSCROLL;
  }
}

}  // namespace

// The installed faces with Japanese glyphs among names, in their order. Under a Japanese
// locale the font database lists a face by its Japanese name ("IPA Pゴシック"), and the
// Latin name is only an alias of it: a name counts when it resolves to a listed face.
static QStringList installed(std::initializer_list<const char *> names) {
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  QStringList found;
  for (const char *name : names) {
    const QString family = QString::fromLatin1(name);
    if (QFontDatabase::hasFamily(family) && japanese.contains(QFontInfo(QFont(family)).family()))
      found << family;
  }
  return found;
}

QFont qt_caption_font() {
  static const QStringList japanese = [] {
    QStringList f = installed({"IPAPGothic", "IPAGothic", "Noto Sans CJK JP", "Noto Sans JP",
                               "TakaoPGothic", "VL PGothic"});
    const QStringList any = QFontDatabase::families(QFontDatabase::Japanese);
    if (f.isEmpty() && !any.isEmpty()) f << any.first();
    return f;
  }();
  QFont f = QApplication::font();
  f.setFamilies(QStringList(japanese) << f.family());
  return f;
}

QFont qt_number_font() {
  static const QStringList japanese = installed({"IPAGothic", "Noto Sans Mono CJK JP", "TakaoGothic", "VL Gothic"});
  QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // The default size, whatever size the desktop gives its fixed face.
  const QFont base = QApplication::font();
  if (base.pointSizeF() > 0) f.setPointSizeF(base.pointSizeF());
  f.setFamilies(QStringList{f.family()} << japanese);
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

ClientArea::ClientArea(QWidget *parent) : QWidget(parent) {
  setFont(qt_caption_font());
  // The client area's background is the button face, as the painted texts expect.
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);
  setAutoFillBackground(true);
}

void ClientArea::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  UiPaint paint{&painter, palette().color(QPalette::ButtonText), palette().color(QPalette::Button)};
  ui_on_paint(&paint);
  qt_paint_focus_ring(this, painter);
}

void ClientArea::resizeEvent(QResizeEvent *event) {
  ui_on_size(event->size().width(), event->size().height());
}

// The wheel over the background and over the controls that do not use it (buttons,
// labels): vertical, or horizontal with Shift held or from a horizontal wheel.
void ClientArea::wheelEvent(QWheelEvent *event) {
  const QPoint d = event->angleDelta();
  if (d.y() != 0) {
    ui_on_wheel((event->modifiers() & Qt::ShiftModifier) ? UI_BAR_HORZ : UI_BAR_VERT, d.y());
  } else if (d.x() != 0) {
    ui_on_wheel(UI_BAR_HORZ, d.x());
  }
  event->accept();
}

// The context menu of the background, and of a disabled control (which passes it on).
void ClientArea::contextMenuEvent(QContextMenuEvent *event) {
  UiWindow &main = static_cast<MainFrame *>(parentWidget())->handle;
  const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
  main.menu_global = keyboard ? QPoint() : event->globalPos();
  const bool shown = keyboard ? ui_on_background_menu(-1, -1) : ui_on_background_menu(event->pos().x(), event->pos().y());
  main.menu_global = QPoint();
  if (shown) {
    event->accept();
  } else {
    event->ignore();
  }
}

MainFrame::MainFrame() : QWidget(nullptr) {
  handle = UiWindow{};
  handle.type = UiType::Main;
  handle.widget = this;
  handle.id = -1;
  handle.limit = 0;
  client = new ClientArea(this);
  for (int b = 0; b < 2; ++b) {
    bars[b] = new QScrollBar(b == UI_BAR_VERT ? Qt::Vertical : Qt::Horizontal, this);
    bars[b]->setFocusPolicy(Qt::NoFocus);
    bars[b]->setRange(0, 0);
    bars[b]->setEnabled(false);
    bars[b]->hide();
    QObject::connect(bars[b], &QAbstractSlider::actionTriggered, this,
                     [this, b](int action) { on_bar_action(b, action); });
  }
  timer = new QTimer(this);
  QObject::connect(timer, &QTimer::timeout, this, [] { ui_on_timer(); });
}

MainFrame *main_frame_of(UiHandle w) {
  if (!w || w->type != UiType::Main) return nullptr;
  return static_cast<MainFrame *>(w->widget);
}

QMargins MainFrame::frame_margins() const {
  const QRect f = frameGeometry(), g = geometry();
  return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(),
                  f.bottom() - g.bottom());
}

void MainFrame::resize_outer(int width, int height) {
  const QMargins m = frame_margins();
  if (m.isNull()) {
    // No frame known yet (not shown, or no window manager): remember the outer size so
    // that it can be corrected once a frame appears.
    pending_outer = true;
    pending_width = width;
    pending_height = height;
  } else {
    pending_outer = false;
  }
  resize(std::max(1, width - m.left() - m.right()), std::max(1, height - m.top() - m.bottom()));
}

bool MainFrame::event(QEvent *event) {
  const bool handled = QWidget::event(event);
  if (pending_outer && isVisible() &&
      (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
       event->type() == QEvent::Show) &&
      !frame_margins().isNull()) {
    pending_outer = false;
    resize_outer(pending_width, pending_height);
  }
  return handled;
}

void MainFrame::resizeEvent(QResizeEvent *) { place_parts(); }

void MainFrame::place_parts() {
  const int ext = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const int w = width(), h = height();
  const int vx = bar_shown[UI_BAR_VERT] ? ext : 0, hy = bar_shown[UI_BAR_HORZ] ? ext : 0;
  client->setGeometry(0, 0, std::max(0, w - vx), std::max(0, h - hy));
  bars[UI_BAR_VERT]->setGeometry(std::max(0, w - ext), 0, ext, std::max(0, h - hy));
  bars[UI_BAR_HORZ]->setGeometry(0, std::max(0, h - ext), std::max(0, w - vx), ext);
  bars[UI_BAR_VERT]->setVisible(bar_shown[UI_BAR_VERT]);
  bars[UI_BAR_HORZ]->setVisible(bar_shown[UI_BAR_HORZ]);
}

void MainFrame::closeEvent(QCloseEvent *event) {
  if (!destroyed) {
    // The user's close asks what to do when the workspace cannot be saved; a close by
    // SIGTERM or SIGHUP cannot be answered and keeps the state in a rescue file.
    if (!ui_on_close(termination_requested())) {
      event->ignore();
      return;
    }
    destroyed = true;
    timer->stop();
    ui_on_destroy();
  }
  event->accept();
}

int MainFrame::max_position(int bar) const {
  const BarState &s = bar_state[bar];
  if (s.page <= 0) return std::max(s.min, s.max);
  return std::max(s.min, s.max - s.page + 1);
}

void MainFrame::on_bar_action(int bar, int action) {
  QScrollBar *sb = bars[bar];
  bar_state[bar].in_action = true;
  ui_on_scroll(static_cast<UiBar>(bar), request_of_action(action), sb->sliderPosition());
  bar_state[bar].in_action = false;
  // Whatever Qt computed for the action, the position is the one the front end set.
  sb->setSliderPosition(bar_state[bar].pos);
}

// ---- The main window ----

UiHandle plat_create_main_window(const char *class_name, const char *title) {
  qt_install_key_filter();
  auto *frame = new MainFrame();
  frame->setObjectName(QString::fromUtf8(class_name));
  frame->setWindowTitle(QString::fromUtf8(title));
  ui_on_create(&frame->handle);
  return &frame->handle;
}

void plat_show_window(UiHandle main, int show_command) {
  MainFrame *f = main_frame_of(main);
  if (!f) return;
  // The show commands of a windowed program's start: 2, 6 and 7 minimized, 3 maximized.
  switch (show_command) {
    case 2:
    case 6:
    case 7: f->showMinimized(); break;
    case 3: f->showMaximized(); break;
    default: f->show(); break;
  }
  f->update();
}

void plat_move_window(UiHandle w, int x, int y, int width, int height) {
  if (!w) return;
  if (MainFrame *f = main_frame_of(w)) {
    f->resize_outer(width, height);
    f->move(x, y);
    f->update();
  } else {
    w->widget->setGeometry(x, y, std::max(0, width), std::max(0, height));
  }
}

void plat_resize_window(UiHandle w, int width, int height) {
  if (!w) return;
  if (MainFrame *f = main_frame_of(w)) {
    f->resize_outer(width, height);
  } else {
    w->widget->resize(std::max(0, width), std::max(0, height));
  }
}

bool plat_window_rect(UiHandle w, UiRect *out) {
  if (!w || !out) return false;
  const QRect g = w->type == UiType::Main ? w->widget->frameGeometry() : w->widget->geometry();
  *out = UiRect{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
  return true;
}

void plat_virtual_screen_size(int *width, int *height) {
  QScreen *screen = QGuiApplication::primaryScreen();
  const QSize s = screen ? screen->virtualSize() : QSize(0, 0);
  if (width) *width = s.width();
  if (height) *height = s.height();
}

UiRect plat_work_area(UiHandle main) {
  QScreen *screen = main && main->widget ? main->widget->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return UiRect{0, 0, 0, 0};
  const QRect a = screen->availableGeometry();
  return UiRect{a.x(), a.y(), a.x() + a.width(), a.y() + a.height()};
}

UiFontMetrics plat_font_metrics(UiHandle) {
  const QFont font = qt_caption_font();
  const QFontMetrics fm(font);
  UiFontMetrics m;
  // The average of the Latin lower case, as a Windows font reports it: a font with
  // Japanese glyphs averages in its full-width ones, twice as wide.
  const QString latin = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
  m.avg_char_width = (fm.horizontalAdvance(latin) + latin.size() / 2) / latin.size();
  m.height = fm.height();
  m.external_leading = std::max(0, fm.leading());
  m.pitch_and_family = QFontInfo(font).fixedPitch() ? 0 : 1;
  return m;
}

void plat_invalidate(UiHandle main) {
  if (MainFrame *f = main_frame_of(main)) f->client->update();
}

void plat_invalidate_rect(UiHandle main, UiRect r) {
  if (MainFrame *f = main_frame_of(main))
    f->client->update(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
}

void plat_update(UiHandle w) {
  if (!w) return;
  if (MainFrame *f = main_frame_of(w)) {
    // Paint the invalid parts of the window now.
    QCoreApplication::sendPostedEvents(f, QEvent::UpdateRequest);
  } else {
    w->widget->repaint();
  }
}

// ---- Scroll bars ----

void plat_set_scroll_range(UiHandle main, UiBar bar, int min, int max, int page) {
  MainFrame *f = main_frame_of(main);
  if (!f || (bar != UI_BAR_HORZ && bar != UI_BAR_VERT)) return;
  MainFrame::BarState &s = f->bar_state[bar];
  s.min = min;
  s.max = std::max(min, max);
  s.page = std::max(0, page);
  const int top = f->max_position(bar);
  s.pos = std::clamp(s.pos, s.min, top);
  QScrollBar *sb = f->bars[bar];
  sb->setRange(s.min, top);
  sb->setPageStep(std::max(1, s.page));
  sb->setSingleStep(1);
  sb->setValue(s.pos);
  sb->setEnabled(top > s.min);
  // Showing or hiding a bar resizes the client area, which sets the ranges again: done
  // from the event loop, after the size handling that called here has finished.
  if (f->bar_shown[bar] != (top > s.min)) {
    f->bar_shown[bar] = top > s.min;
    QMetaObject::invokeMethod(f, [f] { f->place_parts(); }, Qt::QueuedConnection);
  }
}

void plat_set_scroll_pos(UiHandle main, UiBar bar, int pos) {
  MainFrame *f = main_frame_of(main);
  if (!f || (bar != UI_BAR_HORZ && bar != UI_BAR_VERT)) return;
  MainFrame::BarState &s = f->bar_state[bar];
  s.pos = std::clamp(pos, s.min, f->max_position(bar));
  f->bars[bar]->setSliderPosition(s.pos);
  if (!s.in_action) f->bars[bar]->setValue(s.pos);
}

UiScrollInfo plat_get_scroll(UiHandle main, UiBar bar) {
  MainFrame *f = main_frame_of(main);
  if (!f || (bar != UI_BAR_HORZ && bar != UI_BAR_VERT)) return UiScrollInfo{0, 0, 0, 0, 0};
  const MainFrame::BarState &s = f->bar_state[bar];
  return UiScrollInfo{s.min, s.max, s.page, s.pos, f->bars[bar]->sliderPosition()};
}

void plat_scroll_client(UiHandle main, int dx, int dy) {
  MainFrame *f = main_frame_of(main);
  if (!f) return;
  if (f->client->isVisible()) {
    f->client->scroll(dx, dy);
  } else {
    // Qt scrolls only visible widgets; a hidden client area moves its children itself.
    for (QObject *o : f->client->children()) {
      if (auto *w = qobject_cast<QWidget *>(o)) w->move(w->pos() + QPoint(dx, dy));
    }
  }
}

// ---- Message box, loop, posted calls, timer ----

int plat_message_box(UiHandle owner, const char *text, const char *title, uint32_t flags) {
  QWidget *parent = owner ? owner->widget : nullptr;
  const QMessageBox::Icon icon =
      (flags & UI_MB_ICONERROR) ? QMessageBox::Critical : QMessageBox::NoIcon;
  QMessageBox box(icon, QString::fromUtf8(title), QString::fromUtf8(text), QMessageBox::Ok,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
  return 1;  // OK
}

int plat_ask(UiHandle owner, const char *text, const char *title, const char *const *buttons, int count) {
  QWidget *parent = owner ? owner->widget : nullptr;
  QMessageBox box(QMessageBox::Warning, QString::fromUtf8(title), QString::fromUtf8(text),
                  QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::PlainText);
  std::vector<QAbstractButton *> made;
  for (int i = 0; i < count; ++i) {
    const QMessageBox::ButtonRole role = i == 0           ? QMessageBox::AcceptRole
                                         : i == count - 1 ? QMessageBox::RejectRole
                                                          : QMessageBox::DestructiveRole;
    made.push_back(box.addButton(QString::fromUtf8(buttons[i]), role));
  }
  if (!made.empty()) {
    box.setDefaultButton(static_cast<QPushButton *>(made.front()));
    box.setEscapeButton(made.back());
  }
  box.exec();
  for (int i = 0; i < count; ++i) {
    if (box.clickedButton() == made[i]) return i;
  }
  return -1;
}

namespace {

QString file_filter(UiFileKind kind) {
  return kind == UI_FILE_NUMBER ? QStringLiteral("Register files (*.txt);;All files (*)")
                                : QStringLiteral("Workspace files (*.ini);;All files (*)");
}

bool chosen_path(const QString &chosen, char *out, int size) {
  if (chosen.isEmpty()) return false;
  const QByteArray path = QFile::encodeName(chosen);
  if (path.size() >= size) return false;
  std::memcpy(out, path.constData(), static_cast<size_t>(path.size()));
  out[path.size()] = '\0';
  return true;
}

}  // namespace

bool plat_choose_save_file(UiHandle owner, const char *title, UiFileKind kind, const char *suggested,
                           char *out, int size) {
  QWidget *parent = owner ? owner->widget : nullptr;
  return chosen_path(QFileDialog::getSaveFileName(parent, QString::fromUtf8(title), QFile::decodeName(suggested),
                                                  file_filter(kind)),
                     out, size);
}

bool plat_choose_open_file(UiHandle owner, const char *title, UiFileKind kind, char *out, int size) {
  QWidget *parent = owner ? owner->widget : nullptr;
  return chosen_path(QFileDialog::getOpenFileName(parent, QString::fromUtf8(title), QString(), file_filter(kind)),
                     out, size);
}

int plat_run_loop() { return QApplication::exec(); }

void plat_quit(int code) { QCoreApplication::exit(code); }

void plat_post_call(void (*fn)(intptr_t), intptr_t arg) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app || !fn) return;
  QMetaObject::invokeMethod(app, [fn, arg] { fn(arg); }, Qt::QueuedConnection);
}

void plat_set_timer(UiHandle main, int interval_ms) {
  if (MainFrame *f = main_frame_of(main)) f->timer->start(interval_ms);
}

void plat_kill_timer(UiHandle main) {
  if (MainFrame *f = main_frame_of(main)) f->timer->stop();
}
