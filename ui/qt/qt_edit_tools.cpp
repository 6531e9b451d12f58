// Qt backend: the caret and selection of the edit boxes as the front end counts them, the
// context menus of the front end, a one-line prompt and the clipboard.
//
// Offsets: the front end counts bytes of the text plat_get_text gives (UTF-8, CR LF line
// ends, a number's 200-digit lines as it set them); an editor counts UTF-16 units of its
// own text (LF line ends, a number's lines joined). A position goes through the editor's
// text written as UTF-8 with CR LF, and from there, when the box shows joined lines, to
// the text that was set (ui/number_lines.h: the two differ only in blanks and breaks).
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ui/number_lines.h"
#include "ui/qt/qt_backend.h"

namespace {

// Bytes of `c` in the front end's text: UTF-8, LF as CR LF (a surrogate pair counts 4 on
// its first unit, 0 on its second).
int platform_bytes(QChar c) {
  const char16_t u = c.unicode();
  if (u == u'\n') return 2;
  if (u < 0x80) return 1;
  if (u < 0x800) return 2;
  if (c.isHighSurrogate()) return 4;
  if (c.isLowSurrogate()) return 0;
  return 3;
}

// The editor's text as the front end's bytes (UTF-8, CR LF).
std::string platform_form(const QString &text) {
  QByteArray bytes = text.toUtf8();
  bytes.replace("\n", "\r\n");
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

int bytes_before(const QString &text, int position) {
  int n = 0;
  for (int i = 0; i < position && i < text.size(); ++i) n += platform_bytes(text[i]);
  return n;
}

// The editor position at `bytes` of the platform form (the character that contains it).
int position_at(const QString &text, int bytes) {
  int n = 0, i = 0;
  for (; i < text.size(); ++i) {
    const int next = n + platform_bytes(text[i]);
    if (next > bytes) break;
    n = next;
  }
  return i;
}

// The front end's text of an editor, and whether it is the joined text that was set.
struct Texts {
  QString editor;
  std::string shown;  // the editor's text in the platform form
  const std::string *set = nullptr;  // the text set, when the editor shows it joined
};

Texts texts_of(UiWindow *w) {
  Texts t;
  if (w->type == UiType::TextEdit) {
    t.editor = static_cast<QPlainTextEdit *>(w->widget)->toPlainText();
    if (!w->joined_shown.isEmpty() && t.editor == w->joined_shown) t.set = &w->joined_original;
  } else {
    t.editor = static_cast<QLineEdit *>(w->widget)->text();
  }
  t.shown = platform_form(t.editor);
  return t;
}

// Editor positions of the current selection: anchor and caret.
void editor_selection(UiWindow *w, int *anchor, int *position) {
  if (w->type == UiType::TextEdit) {
    const QTextCursor c = static_cast<QPlainTextEdit *>(w->widget)->textCursor();
    *anchor = c.anchor();
    *position = c.position();
  } else {
    auto *edit = static_cast<QLineEdit *>(w->widget);
    *position = edit->cursorPosition();
    *anchor = edit->hasSelectedText() ? (edit->selectionStart() == *position ? edit->selectionEnd() : edit->selectionStart())
                                      : *position;
  }
}

bool is_edit(UiWindow *w) { return w && (w->type == UiType::TextEdit || w->type == UiType::LineEdit); }

// Shows or hides the selection of a box without the focus (the inactive highlight).
void show_inactive_selection(UiWindow *w, bool show) {
  QWidget *widget = w->widget;
  QPalette pal = widget->palette();
  const QPalette::ColorGroup from = show ? QPalette::Active : QPalette::Inactive;
  pal.setColor(QPalette::Inactive, QPalette::Highlight,
               show ? pal.color(from, QPalette::Highlight) : pal.color(QPalette::Inactive, QPalette::Base));
  pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
               show ? pal.color(from, QPalette::HighlightedText) : pal.color(QPalette::Inactive, QPalette::Text));
  widget->setPalette(pal);
}

void caret_moved(UiWindow *w) {
  if (w->marked) {
    int anchor = 0, position = 0;
    editor_selection(w, &anchor, &position);
    if (anchor != w->mark_anchor || position != w->mark_position) {
      w->marked = false;
      show_inactive_selection(w, false);
    }
  }
  ui_on_caret(w->id);
}

class RegisterEditor : public QPlainTextEdit {
 public:
  RegisterEditor(QWidget *parent, UiWindow *handle) : QPlainTextEdit(parent), handle_(handle) {}

 protected:
  void contextMenuEvent(QContextMenuEvent *e) override {
    handle_->menu_global = e->globalPos();
    if (!ui_on_context_menu(handle_->id)) QPlainTextEdit::contextMenuEvent(e);
  }
  void resizeEvent(QResizeEvent *e) override {
    QPlainTextEdit::resizeEvent(e);  // lays out the viewport first
    qt_rewrap(handle_);
  }

 private:
  UiWindow *handle_;
};

}  // namespace

QWidget *qt_make_register_editor(QWidget *parent, UiWindow *handle) { return new RegisterEditor(parent, handle); }

int qt_register_columns(UiWindow *w) {
  auto *edit = static_cast<QPlainTextEdit *>(w->widget);
  // The line width the editor lays text out in: inside its frame and its scroll bar (from
  // the editor's own size, which a box not yet shown has too, unlike its viewport), less
  // the document's margins and the caret; one column to spare, so that the editor's own
  // wrapping never breaks a line the backend made.
  const QFontMetricsF metrics(edit->font());
  const qreal advance = std::max<qreal>(1, metrics.horizontalAdvance(QLatin1Char('0')));
  const int bar = edit->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ? edit->verticalScrollBar()->sizeHint().width() : 0;
  const qreal width = edit->contentsRect().width() - bar - 2 * edit->document()->documentMargin() - edit->cursorWidth();
  return std::max(1, static_cast<int>(width / advance) - 1);
}

void qt_rewrap(UiWindow *w) {
  if (!w || w->type != UiType::TextEdit || w->joined_shown.isEmpty()) return;
  if (qt_register_columns(w) == w->columns) return;
  auto *edit = static_cast<QPlainTextEdit *>(w->widget);
  if (edit->toPlainText() != w->joined_shown) return;  // edited: left as the user made it
  // The caret and selection as the front end counts them survive the new breaks.
  int anchor = 0, position = 0;
  editor_selection(w, &anchor, &position);
  const Texts before = texts_of(w);
  const std::string set = *before.set;
  const size_t a = map_text_offset(before.shown.data(), before.shown.size(),
                                   static_cast<size_t>(bytes_before(before.editor, anchor)), set.data(), set.size(), true);
  const size_t p = map_text_offset(before.shown.data(), before.shown.size(),
                                   static_cast<size_t>(bytes_before(before.editor, position)), set.data(), set.size(), true);
  const bool marked = w->marked;
  const QScrollBar *bar = edit->verticalScrollBar();
  const double scrolled = bar->maximum() > 0 ? static_cast<double>(bar->value()) / bar->maximum() : 0;
  plat_set_text(w, set.c_str());
  const Texts after = texts_of(w);
  const auto editor_at = [&](size_t front) {
    const size_t shown = map_text_offset(set.data(), set.size(), front, after.shown.data(), after.shown.size(), true);
    return position_at(after.editor, static_cast<int>(shown));
  };
  QTextCursor c(edit->document());
  c.setPosition(editor_at(a));
  c.setPosition(editor_at(p), QTextCursor::KeepAnchor);
  edit->setTextCursor(c);
  if (marked) {
    w->marked = true;
    w->mark_anchor = c.anchor();
    w->mark_position = c.position();
    show_inactive_selection(w, true);
  }
  // The view at the same share of the text as before.
  edit->verticalScrollBar()->setValue(static_cast<int>(scrolled * edit->verticalScrollBar()->maximum() + 0.5));
}

void qt_watch_caret(UiWindow *w) {
  if (w->type == UiType::TextEdit) {
    auto *edit = static_cast<QPlainTextEdit *>(w->widget);
    QObject::connect(edit, &QPlainTextEdit::cursorPositionChanged, edit, [w] { caret_moved(w); });
    QObject::connect(edit, &QPlainTextEdit::selectionChanged, edit, [w] { caret_moved(w); });
  } else if (w->type == UiType::LineEdit) {
    auto *edit = static_cast<QLineEdit *>(w->widget);
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit, [w] { caret_moved(w); });
    QObject::connect(edit, &QLineEdit::selectionChanged, edit, [w] { caret_moved(w); });
  }
}

bool plat_get_selection(UiHandle w, int *start, int *end) {
  *start = *end = 0;
  if (!is_edit(w)) return false;
  int anchor = 0, position = 0;
  editor_selection(w, &anchor, &position);
  const int from = std::min(anchor, position), to = std::max(anchor, position);
  const Texts t = texts_of(w);
  size_t s = static_cast<size_t>(bytes_before(t.editor, from));
  size_t e = static_cast<size_t>(bytes_before(t.editor, to));
  if (t.set) {
    const std::string &set = *t.set;
    const size_t ms = map_text_offset(t.shown.data(), t.shown.size(), s, set.data(), set.size(), true);
    e = from == to ? ms : map_text_offset(t.shown.data(), t.shown.size(), e, set.data(), set.size(), false);
    s = std::min(ms, e);
  }
  *start = static_cast<int>(s);
  *end = static_cast<int>(e);
  return true;
}

void plat_set_selection(UiHandle w, int start, int end) {
  if (!is_edit(w)) return;
  const Texts t = texts_of(w);
  const std::string &front = t.set ? *t.set : t.shown;
  const size_t len = front.size();
  size_t s = static_cast<size_t>(std::clamp(start, 0, static_cast<int>(std::min<size_t>(len, INT32_MAX))));
  size_t e = static_cast<size_t>(std::clamp(end, 0, static_cast<int>(std::min<size_t>(len, INT32_MAX))));
  if (t.set) {
    // The lower end goes forward past blanks and breaks, the higher one back before them.
    const size_t lo = std::min(s, e), hi = std::max(s, e);
    const size_t mlo = map_text_offset(front.data(), len, lo, t.shown.data(), t.shown.size(), true);
    const size_t mhi = lo == hi ? mlo : std::max(mlo, map_text_offset(front.data(), len, hi, t.shown.data(), t.shown.size(), false));
    const bool forward = s <= e;
    s = forward ? mlo : mhi;
    e = forward ? mhi : mlo;
  }
  const int anchor = position_at(t.editor, static_cast<int>(s));
  const int position = position_at(t.editor, static_cast<int>(e));
  if (w->type == UiType::TextEdit) {
    auto *edit = static_cast<QPlainTextEdit *>(w->widget);
    QTextCursor c(edit->document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
  } else {
    auto *edit = static_cast<QLineEdit *>(w->widget);
    edit->setSelection(anchor, position - anchor);
  }
  w->marked = true;
  w->mark_anchor = anchor;
  w->mark_position = position;
  show_inactive_selection(w, true);
}

int plat_context_menu(UiHandle w, const char *const *items, int count) {
  if (!w || !w->widget) return -1;
  std::unique_ptr<QMenu> menu;
  QPoint at = w->menu_global;
  if (w->type == UiType::TextEdit) {
    auto *edit = static_cast<QPlainTextEdit *>(w->widget);
    menu.reset(edit->createStandardContextMenu());
    menu->addSeparator();
    if (at.isNull()) at = edit->mapToGlobal(edit->cursorRect().bottomLeft());
  } else {
    // A button or the background: the items alone.
    menu = std::make_unique<QMenu>(w->widget);
    if (at.isNull()) at = w->widget->mapToGlobal(QPoint(0, w->widget->height()));
  }
  menu->setFont(qt_caption_font());
  std::vector<QAction *> actions;
  for (int i = 0; i < count; ++i) actions.push_back(menu->addAction(QString::fromUtf8(items[i])));
  w->menu_global = QPoint();
  QAction *chosen = menu->exec(at);
  for (int i = 0; i < count; ++i) {
    if (actions[i] == chosen) return i;
  }
  return -1;
}

bool plat_prompt(UiHandle owner, const char *title, const char *label, const char *initial,
                 const char *ok, const char *cancel, char *out, int size) {
  if (!out || size <= 0) return false;
  QInputDialog dialog(owner ? owner->widget : nullptr);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(QString::fromUtf8(title));
  dialog.setLabelText(QString::fromUtf8(label));
  dialog.setTextValue(QString::fromUtf8(initial));
  dialog.setOkButtonText(QString::fromUtf8(ok));
  dialog.setCancelButtonText(QString::fromUtf8(cancel));
  const bool accepted = dialog.exec() == QDialog::Accepted;
  // The window takes the keyboard back at once (without a window manager nobody else
  // would give it back), so the focus the front end sets next is the real one.
  if (owner && owner->widget) owner->widget->activateWindow();
  if (!accepted) return false;
  return text_to_platform(dialog.textValue(), false, out, size) >= 0;
}

bool plat_set_clipboard(const char *text) {
  QClipboard *clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setText(QString::fromUtf8(text ? text : ""));
  return true;
}
