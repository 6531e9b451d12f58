// Qt backend: the child controls.
//
// Buttons, check boxes and radio buttons report presses as command notifications with
// code 0. Check boxes and radio buttons are non-automatic: a click reports the press and
// leaves the state alone; only plat_set_check changes it. They take a click anywhere in
// their rectangle, as the focus frame around them shows them, not only on the indicator
// and the caption's text: a short caption in a wide cell would otherwise take the focus
// from a click beside its text and report nothing. Multi-line edit boxes are plain
// text editors that hold 110,000 characters easily: the register boxes wrap between digit
// groups (anywhere in an unbroken run of digits) and show a number's 200-digit lines
// joined (ui/number_lines.h); the script box does not wrap. Captions are in the client
// area's font (qt_caption_font), the edit boxes in a monospaced one.
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "ui/display_breaks.h"
#include "ui/number_lines.h"
#include "ui/qt/qt_backend.h"

namespace {

// The handles of the children live as long as the process.
std::vector<std::unique_ptr<UiWindow>> child_handles;

class ManualCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}  // the program alone sets the state
  bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

class ManualRadioButton : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
};

// A push button: its context menu is the front end's (the operation grid's), passed on
// to the client area when the front end has none for it.
class PushButton : public QPushButton {
 public:
  PushButton(const QString &caption, QWidget *parent, UiWindow *handle) : QPushButton(caption, parent), handle_(handle) {}

 protected:
  void contextMenuEvent(QContextMenuEvent *e) override {
    handle_->menu_global =
        e->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(rect().bottomLeft()) : e->globalPos();
    if (ui_on_context_menu(handle_->id)) {
      e->accept();
    } else {
      e->ignore();
    }
    handle_->menu_global = QPoint();
  }

 private:
  UiWindow *handle_;
};

void report_press(QAbstractButton *button, int id) {
  QObject::connect(button, &QAbstractButton::clicked, button, [id] { ui_on_command(id, 0); });
}

// Keeps a plain-text editor within its input limit: characters beyond it that an edit
// inserted are removed again, as a limited edit box refuses them.
void enforce_limit(QPlainTextEdit *edit, UiWindow *handle) {
  QTextDocument *doc = edit->document();
  QObject::connect(doc, &QTextDocument::contentsChange, edit,
                   [doc, handle](int position, int, int added) {
                     if (handle->limit <= 0 || added <= 0) return;
                     const int count = doc->characterCount() - 1;
                     const int excess = std::min(count - handle->limit, added);
                     if (excess <= 0) return;
                     QTextCursor cursor(doc);
                     cursor.setPosition(position + added - excess);
                     cursor.setPosition(position + added, QTextCursor::KeepAnchor);
                     cursor.removeSelectedText();
                   });
}

// The room a caption takes beside what the control draws around it, in pixels.
int decoration_of(QWidget *w, UiClass cls, uint32_t style) {
  QStyle *st = w ? w->style() : QApplication::style();
  if (cls == UI_CLASS_STATIC) return 2;
  switch (style & UI_BS_TYPEMASK) {
    case UI_BS_CHECKBOX:
      return st->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
             st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) + 4;
    case UI_BS_RADIOBUTTON:
      return st->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
             st->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w) + 4;
    case UI_BS_GROUPBOX: return 20;  // the title sits inside the frame's corner
    default: {
      // The button's frame, as its contents rectangle leaves it, and two pixels a side.
      QStyleOptionButton opt;
      opt.rect = QRect(0, 0, 100, 30);
      return 100 - st->subElementRect(QStyle::SE_PushButtonContents, &opt, w).width() + 4;
    }
  }
}

}  // namespace

QString text_from_platform(const char *text, bool multiline) {
  QString s = QString::fromUtf8(text ? text : "");
  if (multiline) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  }
  return s;
}

int text_to_platform(const QString &text, bool multiline, char *buf, int size) {
  if (!buf || size <= 0) return 0;
  QByteArray bytes = text.toUtf8();
  if (multiline) bytes.replace("\n", "\r\n");
  qsizetype n = bytes.size();
  if (n > size - 1) {
    n = size - 1;
    // Never end inside a UTF-8 sequence.
    while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) --n;
  }
  std::copy(bytes.constData(), bytes.constData() + n, buf);
  buf[n] = '\0';
  return static_cast<int>(n);
}

UiHandle plat_create_control(UiHandle parent, UiClass cls, const char *text, uint32_t style,
                             UiRect rect, int id) {
  MainFrame *frame = main_frame_of(parent);
  if (!frame) return nullptr;
  QWidget *client = frame->client;
  auto handle = std::make_unique<UiWindow>();
  handle->id = id;
  handle->limit = 0;
  QWidget *w = nullptr;
  const QString caption = text_from_platform(text, false);

  if (cls == UI_CLASS_BUTTON) {
    switch (style & UI_BS_TYPEMASK) {
      case UI_BS_CHECKBOX: {
        auto *b = new ManualCheckBox(caption, client);
        report_press(b, id);
        handle->type = UiType::Check;
        w = b;
        break;
      }
      case UI_BS_RADIOBUTTON: {
        auto *b = new ManualRadioButton(caption, client);
        b->setAutoExclusive(false);
        report_press(b, id);
        handle->type = UiType::Radio;
        w = b;
        break;
      }
      case UI_BS_GROUPBOX: {
        w = new QGroupBox(caption, client);
        handle->type = UiType::Group;
        break;
      }
      default: {
        auto *b = new PushButton(caption, client, handle.get());
        b->setAutoDefault(false);
        report_press(b, id);
        handle->type = UiType::Push;
        w = b;
        break;
      }
    }
  } else if (cls == UI_CLASS_STATIC) {
    auto *label = new QLabel(caption, client);
    label->setTextFormat(Qt::PlainText);
    const Qt::Alignment h = (style & UI_SS_TYPEMASK) == UI_SS_RIGHT ? Qt::AlignRight
                            : (style & UI_SS_TYPEMASK) == 1       ? Qt::AlignHCenter
                                                                  : Qt::AlignLeft;
    label->setAlignment(h | Qt::AlignVCenter);
    handle->type = UiType::Label;
    w = label;
  } else if (cls == UI_CLASS_EDIT) {
    if (style & UI_ES_MULTILINE) {
      // A register box (a wrapping one) has the front end's context menu.
      auto *edit = (style & UI_ES_AUTOHSCROLL) ? new QPlainTextEdit(client)
                                               : static_cast<QPlainTextEdit *>(qt_make_register_editor(client, handle.get()));
      if (style & UI_ES_AUTOHSCROLL) {
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
      } else {
        // Between digit groups where the width ends; an unbroken run ("Plane disp.")
        // anywhere.
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      }
      edit->setVerticalScrollBarPolicy((style & UI_WS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                               : Qt::ScrollBarAlwaysOff);
      edit->setHorizontalScrollBarPolicy((style & UI_WS_HSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                 : Qt::ScrollBarAlwaysOff);
      edit->setFont(qt_number_font());
      edit->setPlainText(text_from_platform(text, true));
      enforce_limit(edit, handle.get());
      handle->type = UiType::TextEdit;
      w = edit;
    } else {
      auto *edit = new QLineEdit(caption, client);
      edit->setFont(qt_number_font());
      handle->type = UiType::LineEdit;
      w = edit;
    }
  } else {
    return nullptr;
  }

  handle->widget = w;
  w->setGeometry(rect.left, rect.top, std::max(0, rect.right - rect.left),
                 std::max(0, rect.bottom - rect.top));
  if (style & UI_WS_VISIBLE) w->show();
  qt_register_control(handle.get());
  qt_watch_caret(handle.get());
  child_handles.push_back(std::move(handle));
  return child_handles.back().get();
}

void plat_set_text(UiHandle w, const char *text) {
  if (!w) return;
  switch (w->type) {
    case UiType::Main: w->widget->setWindowTitle(text_from_platform(text, false)); break;
    case UiType::Push:
    case UiType::Check:
    case UiType::Radio: {
      const QString caption = text_from_platform(text, false);
      static_cast<QAbstractButton *>(w->widget)->setText(caption);
      break;
    }
    case UiType::Group: {
      const QString caption = text_from_platform(text, false);
      static_cast<QGroupBox *>(w->widget)->setTitle(caption);
      break;
    }
    case UiType::Label: {
      const QString caption = text_from_platform(text, false);
      static_cast<QLabel *>(w->widget)->setText(caption);
      break;
    }
    case UiType::LineEdit:
      static_cast<QLineEdit *>(w->widget)->setText(text_from_platform(text, false));
      break;
    case UiType::TextEdit: {
      // A register box gets its lines joined and broken again where its width ends, by the
      // backend: an editor that wraps one long line itself shapes all of it at every
      // change (a 100,000-digit number: 30 ms a box, against a few for short lines).
      auto *edit = static_cast<QPlainTextEdit *>(w->widget);
      const size_t len = text ? std::strlen(text) : 0;
      std::string joined;
      const bool wraps = edit->lineWrapMode() != QPlainTextEdit::NoWrap;
      const bool join = wraps && join_number_lines(text, len, &joined);
      if (wraps) w->columns = qt_register_columns(w);
      const bool broken = wraps && (join ? make_display_text(w->display, joined.data(), joined.size(),
                                                             static_cast<size_t>(w->columns))
                                         : make_display_text(w->display, text ? text : "", len,
                                                             static_cast<size_t>(w->columns)));
      if (join || broken) {
        w->joined_original.assign(text, len);
        w->joined_shown = text_from_platform(w->display.shown.c_str(), true);
        edit->setPlainText(w->joined_shown);
      } else {
        w->display = DisplayText();
        w->joined_original.clear();
        w->joined_shown.clear();
        edit->setPlainText(text_from_platform(text, true));
      }
      break;
    }
  }
}

int plat_get_text(UiHandle w, char *buf, int size) {
  if (!buf || size <= 0) return 0;
  if (!w) {
    buf[0] = '\0';
    return 0;
  }
  switch (w->type) {
    case UiType::Main: return text_to_platform(w->widget->windowTitle(), false, buf, size);
    case UiType::Push:
    case UiType::Check:
    case UiType::Radio:
      return text_to_platform(static_cast<QAbstractButton *>(w->widget)->text(), false, buf, size);
    case UiType::Group:
      return text_to_platform(static_cast<QGroupBox *>(w->widget)->title(), false, buf, size);
    case UiType::Label:
      return text_to_platform(static_cast<QLabel *>(w->widget)->text(), false, buf, size);
    case UiType::LineEdit:
      return text_to_platform(static_cast<QLineEdit *>(w->widget)->text(), false, buf, size);
    case UiType::TextEdit: {
      const QString current = static_cast<QPlainTextEdit *>(w->widget)->toPlainText();
      if (w->joined_shown.isEmpty()) return text_to_platform(current, true, buf, size);
      // Unchanged since it was set with its lines joined or broken: the text set, byte for
      // byte; edited: the box's text without the breaks the edit left untouched.
      if (current == w->joined_shown) return text_to_platform(QString::fromUtf8(w->joined_original), false, buf, size);
      QByteArray bytes = current.toUtf8();
      bytes.replace("\n", "\r\n");
      std::string restored;
      restore_display_text(w->display, std::string(bytes.constData(), static_cast<size_t>(bytes.size())), restored);
      return text_to_platform(QString::fromUtf8(restored.data(), static_cast<int>(restored.size())), false, buf, size);
    }
  }
  buf[0] = '\0';
  return 0;
}

void plat_enable(UiHandle w, bool enabled) {
  if (w) w->widget->setEnabled(enabled);
}

void plat_set_check(UiHandle w, bool checked) {
  if (!w || (w->type != UiType::Check && w->type != UiType::Radio)) return;
  auto *b = static_cast<QAbstractButton *>(w->widget);
  b->setCheckable(true);
  b->setChecked(checked);
}

int plat_caption_width(UiHandle main, UiClass cls, uint32_t style, const char *caption) {
  MainFrame *frame = main_frame_of(main);
  QWidget *client = frame ? frame->client : nullptr;
  const QFontMetrics fm(qt_caption_font());
  return fm.horizontalAdvance(text_from_platform(caption, false)) + decoration_of(client, cls, style);
}

void plat_limit_text(UiHandle w, int chars) {
  if (!w) return;
  w->limit = chars;
  if (w->type == UiType::LineEdit) static_cast<QLineEdit *>(w->widget)->setMaxLength(chars);
}
