// Qt backend: the keyboard. An application event filter hands every key press in the main
// window to ui_on_key before the control with the focus sees it (so Tab never reaches an
// editor, and Return in a register box never becomes a line break); the focus, a box's
// own undo and the tooltips for the front end.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

#include "ui/qt/qt_backend.h"

namespace {

const char *const HANDLE_PROPERTY = "deepnums_handle";

UiWindow *handle_of(QWidget *w) {
  if (!w) return nullptr;
  return static_cast<UiWindow *>(w->property(HANDLE_PROPERTY).value<void *>());
}

// A key event as ui_on_key takes it; false for keys it does not know.
bool translate(const QKeyEvent *e, int *key, unsigned *mods) {
  const Qt::KeyboardModifiers m = e->modifiers();
  if (m & Qt::MetaModifier) return false;
  *mods = 0;
  if (m & Qt::ShiftModifier) *mods |= UI_MOD_SHIFT;
  if (m & Qt::ControlModifier) *mods |= UI_MOD_CTRL;
  if (m & Qt::AltModifier) *mods |= UI_MOD_ALT;
  const int k = e->key();
  switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: *key = UI_KEY_RETURN; return true;
    case Qt::Key_Escape: *key = UI_KEY_ESCAPE; return true;
    case Qt::Key_Tab: *key = UI_KEY_TAB; return true;
    case Qt::Key_Backtab:
      *key = UI_KEY_TAB;
      *mods |= UI_MOD_SHIFT;
      return true;
    case Qt::Key_Left: *key = UI_KEY_LEFT; return true;
    case Qt::Key_Right: *key = UI_KEY_RIGHT; return true;
    case Qt::Key_Up: *key = UI_KEY_UP; return true;
    case Qt::Key_Down: *key = UI_KEY_DOWN; return true;
    case Qt::Key_Delete: *key = UI_KEY_DELETE; return true;
    default: break;
  }
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) {
    *key = UI_KEY_F1 + (k - Qt::Key_F1);
    return true;
  }
  // Printable ASCII: Qt's key codes are the characters, letters in upper case.
  if (k > 0x20 && k < 0x7F && (*mods & (UI_MOD_CTRL | UI_MOD_ALT))) {
    *key = k;
    return true;
  }
  return false;
}

// Characters the keyboard must not put into a box: a tab anywhere, a line break in a
// register box or the digits field (Ctrl+Shift+I, Ctrl+J, Ctrl+M, Ctrl+Shift+Return would
// type them in an editor).
bool unwanted_character(const QKeyEvent *e, const UiWindow *h) {
  if (h->type != UiType::TextEdit && h->type != UiType::LineEdit) return false;
  const bool script = h->type == UiType::TextEdit &&
                      static_cast<QPlainTextEdit *>(h->widget)->lineWrapMode() == QPlainTextEdit::NoWrap;
  const QString text = e->text();
  if (text.contains(QLatin1Char('\t'))) return true;
  if (script) return false;
  return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || text.contains(QLatin1Char('\n')) ||
         text.contains(QLatin1Char('\r'));
}

// The focus ring: a frame in the highlight colour just outside the control with the focus,
// painted by the client area (the default style marks a focused box only by its caret, and
// a button not at all).
constexpr int RING_GAP = 1, RING_WIDTH = 2;

QWidget *ring_target(QWidget *w) {
  if (!w || !w->parentWidget() || !dynamic_cast<ClientArea *>(w->parentWidget())) return nullptr;
  return handle_of(w) ? w : nullptr;
}

QRect ring_rect(const QWidget *w) {
  const int out = RING_GAP + RING_WIDTH;
  return w->geometry().adjusted(-out, -out, out, out);
}

class KeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject *obj, QEvent *event) override {
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && obj->isWidgetType()) {
      if (QWidget *w = ring_target(static_cast<QWidget *>(obj))) w->parentWidget()->update(ring_rect(w));
      // The position field follows the box with the focus.
      const UiWindow *h = handle_of(static_cast<QWidget *>(obj));
      if (h && (h->type == UiType::TextEdit || h->type == UiType::LineEdit)) ui_on_caret(h->id);
      return false;
    }
    if (event->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
    auto *w = static_cast<QWidget *>(obj);
    // A key press goes to the focus widget first (to the window when none has the
    // focus), then up to its parents: it is taken once, at the first.
    QWidget *focus = QApplication::focusWidget();
    if (focus ? w != focus : !w->isWindow()) return false;
    if (!dynamic_cast<MainFrame *>(w->window())) return false;  // a message box
    auto *e = static_cast<QKeyEvent *>(event);
    int key = 0;
    unsigned mods = 0;
    if (translate(e, &key, &mods) && ui_on_key(key, mods)) return true;
    // The focus moves only in the front end's order, never along Qt's own chain.
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) return true;
    const UiWindow *h = handle_of(w);
    return h && unwanted_character(e, h);
  }
};

}  // namespace

void qt_install_key_filter() {
  static KeyFilter *filter = nullptr;
  if (filter || !QCoreApplication::instance()) return;
  filter = new KeyFilter(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
}

void qt_paint_focus_ring(QWidget *client, QPainter &painter) {
  QWidget *w = ring_target(QApplication::focusWidget());
  if (!w || w->parentWidget() != client || !w->isVisible()) return;
  const QRect g = w->geometry();
  const QColor color = client->palette().color(QPalette::Highlight);
  const int out = RING_GAP + RING_WIDTH;
  const int left = g.left() - out, top = g.top() - out;
  const int width = g.width() + 2 * out, height = g.height() + 2 * out;
  painter.fillRect(left, top, width, RING_WIDTH, color);
  painter.fillRect(left, g.bottom() + 1 + RING_GAP, width, RING_WIDTH, color);
  painter.fillRect(left, top, RING_WIDTH, height, color);
  painter.fillRect(g.right() + 1 + RING_GAP, top, RING_WIDTH, height, color);
}

void qt_register_control(UiWindow *handle) {
  QWidget *w = handle->widget;
  w->setProperty(HANDLE_PROPERTY, QVariant::fromValue(static_cast<void *>(handle)));
  if (handle->type == UiType::LineEdit || handle->type == UiType::TextEdit) {
    // A box without the focus shows no selection (Tab selects a box's text, and a box left
    // behind would otherwise still look selected): one marked box, the one with the focus.
    QPalette pal = w->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Inactive, QPalette::Base));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Inactive, QPalette::Text));
    w->setPalette(pal);
  }
}

void plat_set_focus(UiHandle w) {
  if (!w) return;
  if (MainFrame *f = main_frame_of(w)) {
    f->client->setFocus(Qt::OtherFocusReason);
    return;
  }
  // Another reason than Tab: a line edit would select its text itself on Tab, with the
  // caret at the end; here the caret goes to the start, where a long number begins.
  w->widget->setFocus(Qt::OtherFocusReason);
  if (w->type == UiType::LineEdit) {
    auto *edit = static_cast<QLineEdit *>(w->widget);
    const int n = static_cast<int>(edit->text().size());
    edit->setSelection(n, -n);
  } else if (w->type == UiType::TextEdit) {
    auto *edit = static_cast<QPlainTextEdit *>(w->widget);
    QTextCursor c(edit->document());
    c.movePosition(QTextCursor::End);
    c.setPosition(0, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
  }
}

int plat_focused_id(UiHandle main) {
  MainFrame *f = main_frame_of(main);
  QWidget *focus = QApplication::focusWidget();
  if (!f || !focus || focus->window() != f) return -1;
  const UiWindow *h = handle_of(focus);
  return h ? h->id : -1;
}

bool plat_edit_undo(UiHandle w, bool redo) {
  if (!w) return false;
  if (w->type == UiType::LineEdit) {
    auto *edit = static_cast<QLineEdit *>(w->widget);
    if (!(redo ? edit->isRedoAvailable() : edit->isUndoAvailable())) return false;
    redo ? edit->redo() : edit->undo();
    return true;
  }
  if (w->type == UiType::TextEdit) {
    auto *edit = static_cast<QPlainTextEdit *>(w->widget);
    QTextDocument *doc = edit->document();
    if (!(redo ? doc->isRedoAvailable() : doc->isUndoAvailable())) return false;
    redo ? edit->redo() : edit->undo();
    return true;
  }
  return false;
}

void plat_set_tooltip(UiHandle w, const char *text) {
  if (w && w->widget) w->widget->setToolTip(QString::fromUtf8(text ? text : ""));
}
