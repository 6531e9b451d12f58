// The Qt backend of the platform layer, on Qt's offscreen platform: child controls,
// non-automatic check and radio boxes, text round trips and limits, scroll bars, posted
// calls and painting. The events the backend sends are recorded here instead of
// going to the front end.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ui/qt/qt_backend.h"

namespace {

struct Event {
  std::string what;
  int a, b, c;
};
std::vector<Event> events;
UiHandle created = nullptr;
// What the scroll handler does with a request: the new position it sets, or -1 for none.
int scroll_answer = -1;

QApplication &app() {
  static int argc = 3;
  static char arg0[] = "test", arg1[] = "-platform", arg2[] = "offscreen";
  static char *argv[] = {arg0, arg1, arg2, nullptr};
  static QApplication *instance = new QApplication(argc, argv);
  return *instance;
}

UiHandle open_window() {
  app();
  events.clear();
  created = nullptr;
  UiHandle w = plat_create_main_window("deepNUMS", "deepNUMS : 100,000 digits Scientific Calculator R1.30");
  return w;
}

QWidget *widget_of(UiHandle h) { return h->widget; }

}  // namespace

// ---- The events of the platform layer, recorded ----
void ui_on_create(UiHandle main) {
  created = main;
  events.push_back({"create", 0, 0, 0});
}
bool ui_on_close(bool unattended) {
  events.push_back({"close", unattended ? 1 : 0, 0, 0});
  return true;
}
void ui_on_destroy() { events.push_back({"destroy", 0, 0, 0}); }
void ui_on_size(int w, int h) { events.push_back({"size", w, h, 0}); }
void ui_on_paint(UiPaint *) { events.push_back({"paint", 0, 0, 0}); }
void ui_on_command(int id, int code) { events.push_back({"command", id, code, 0}); }
void ui_on_scroll(UiBar bar, int request, int track) {
  events.push_back({"scroll", bar, request, track});
  if (scroll_answer >= 0) plat_set_scroll_pos(created, bar, scroll_answer);
}
void ui_on_timer() { events.push_back({"timer", 0, 0, 0}); }
void ui_on_wheel(UiBar bar, int delta) { events.push_back({"wheel", bar, delta, 0}); }
void ui_on_caret(int id) { events.push_back({"caret", id, 0, 0}); }
bool ui_on_context_menu(int id) {
  events.push_back({"context_menu", id, 0, 0});
  return false;
}
bool ui_on_background_menu(int x, int y) {
  events.push_back({"background_menu", x, y, 0});
  return false;
}
// The list chooser's rows as this test's filter sees them (their first cells), and the
// filters it was asked for: a row shows when its name contains the filter.
std::vector<std::string> list_names;
std::vector<std::string> filters_asked;
int ui_on_list_filter(const char *filter, int *shown) {
  filters_asked.push_back(filter);
  int n = 0;
  for (size_t r = 0; r < list_names.size(); ++r) {
    if (list_names[r].find(filter) != std::string::npos) shown[n++] = static_cast<int>(r);
  }
  return n;
}
// What the key handler answers (true: the key is used up).
bool key_answer = false;
bool ui_on_key(int key, unsigned mods) {
  events.push_back({"key", key, static_cast<int>(mods), 0});
  return key_answer;
}

namespace {

TEST(QtBackend, CreationCallsTheCreateHandlerFirst) {
  UiHandle w = open_window();
  ASSERT_NE(w, nullptr);
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events[0].what, "create");
  EXPECT_EQ(created, w);
  EXPECT_EQ(widget_of(w)->windowTitle().toStdString(), "deepNUMS : 100,000 digits Scientific Calculator R1.30");
  const UiFontMetrics fm = plat_font_metrics(w);
  EXPECT_GT(fm.avg_char_width, 0);
  EXPECT_GT(fm.height, 0);
}

TEST(QtBackend, CheckAndRadioBoxesChangeOnlyWhenTheProgramSetsThem) {
  UiHandle w = open_window();
  UiHandle check = plat_create_control(w, UI_CLASS_BUTTON, " ", 0x50000102, UiRect{0, 0, 100, 20}, 33);
  UiHandle radio1 = plat_create_control(w, UI_CLASS_BUTTON, " ", 0x50000004, UiRect{0, 30, 100, 50}, 31);
  UiHandle radio2 = plat_create_control(w, UI_CLASS_BUTTON, " ", 0x50000004, UiRect{0, 60, 100, 80}, 32);
  plat_show_window(w, 0);
  auto *cb = qobject_cast<QAbstractButton *>(widget_of(check));
  auto *r1 = qobject_cast<QAbstractButton *>(widget_of(radio1));
  auto *r2 = qobject_cast<QAbstractButton *>(widget_of(radio2));
  ASSERT_TRUE(cb && r1 && r2);
  events.clear();
  // Click on the indicator, the part of a check box that takes clicks whatever its text.
  QTest::mouseClick(cb, Qt::LeftButton, {}, QPoint(6, 10));
  QTest::mouseClick(r2, Qt::LeftButton, {}, QPoint(6, 10));
  EXPECT_FALSE(cb->isChecked());
  EXPECT_FALSE(r2->isChecked());
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].what, "command");
  EXPECT_EQ(events[0].a, 33);
  EXPECT_EQ(events[0].b, 0);
  EXPECT_EQ(events[1].a, 32);
  // Beside a short caption, within the control's rectangle, a click is a press too.
  QTest::mouseClick(cb, Qt::LeftButton, {}, QPoint(90, 10));
  QTest::mouseClick(r1, Qt::LeftButton, {}, QPoint(90, 10));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[2].a, 33);
  EXPECT_EQ(events[3].a, 31);
  EXPECT_FALSE(cb->isChecked());
  events.resize(2);
  plat_set_check(check, true);
  plat_set_check(radio1, true);
  plat_set_check(radio2, true);  // the program manages the group: both may be set
  EXPECT_TRUE(cb->isChecked());
  EXPECT_TRUE(r1->isChecked());
  EXPECT_TRUE(r2->isChecked());
  QTest::mouseClick(cb, Qt::LeftButton, {}, QPoint(6, 10));
  EXPECT_TRUE(cb->isChecked());
  EXPECT_EQ(events.back().a, 33);
  plat_set_check(check, false);
  EXPECT_FALSE(cb->isChecked());
  // A push button reports its press; a disabled one does not.
  UiHandle push = plat_create_control(w, UI_CLASS_BUTTON, " ", 0x50000000, UiRect{0, 90, 40, 110}, 47);
  plat_show_window(w, 0);
  events.clear();
  QTest::mouseClick(widget_of(push), Qt::LeftButton);
  plat_enable(push, false);
  QTest::mouseClick(widget_of(push), Qt::LeftButton);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].a, 47);
}

TEST(QtBackend, TextsRoundTripExactly) {
  UiHandle w = open_window();
  UiHandle reg = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A00044, UiRect{0, 0, 600, 100}, 19);
  UiHandle script = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A000C4, UiRect{0, 100, 600, 200}, 98);
  UiHandle field = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50800080, UiRect{0, 200, 60, 220}, 2);
  UiHandle label = plat_create_control(w, UI_CLASS_STATIC, " ", 0x50000002, UiRect{0, 230, 60, 250}, 1);
  auto *reg_edit = qobject_cast<QPlainTextEdit *>(widget_of(reg));
  auto *script_edit = qobject_cast<QPlainTextEdit *>(widget_of(script));
  ASSERT_TRUE(reg_edit && script_edit);
  EXPECT_NE(qobject_cast<QLineEdit *>(widget_of(field)), nullptr);
  EXPECT_EQ(reg_edit->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
  EXPECT_EQ(script_edit->lineWrapMode(), QPlainTextEdit::NoWrap);

  static char buf[200000];
  for (const char *text : {"1024\r\n", "12\r\n34", "", "\r\n\r\n", "x"}) {
    plat_set_text(reg, text);
    EXPECT_EQ(plat_get_text(reg, buf, sizeof buf), static_cast<int>(std::strlen(text)));
    EXPECT_STREQ(buf, text);
  }
  // A 100,000-digit number with its line breaks, and a 109,999-character text.
  std::string big;
  for (int line = 0; line < 500; ++line) big += std::string(200, static_cast<char>('0' + line % 10)) + "\r\n";
  plat_set_text(reg, big.c_str());
  plat_get_text(reg, buf, sizeof buf);
  EXPECT_EQ(std::string(buf), big);
  // A grouped number: the box shows its lines joined and wraps between groups; the front
  // end gets the text it set, and after an edit the user's text with blanks for the joins.
  std::string grouped;
  for (int line = 0; line < 3; ++line) {
    for (int g = 0; g < 10; ++g) grouped += std::string(20, static_cast<char>('0' + g)) + (g < 9 ? " " : "");
    grouped += "\r\n";
  }
  plat_set_text(reg, grouped.c_str());
  // Its lines joined, then broken by the backend where the box's width ends: after a
  // group's blank, never inside a group.
  QString shown = reg_edit->toPlainText();
  EXPECT_GT(shown.count(QLatin1Char('\n')), 1);
  shown.replace(QStringLiteral(" \n"), QStringLiteral(" "));
  EXPECT_EQ(shown.count(QLatin1Char('\n')), 1);  // only the final line end
  EXPECT_EQ(shown.size(), static_cast<qsizetype>(grouped.size()) - 3);
  plat_get_text(reg, buf, sizeof buf);
  EXPECT_EQ(std::string(buf), grouped);
  reg_edit->moveCursor(QTextCursor::Start);
  reg_edit->insertPlainText(QStringLiteral("9"));
  plat_get_text(reg, buf, sizeof buf);
  std::string edited = "9";
  for (size_t i = 0; i < grouped.size(); ++i) {
    const bool inner_break = grouped.compare(i, 2, "\r\n") == 0 && i + 2 < grouped.size();
    edited += inner_break ? " " : grouped.substr(i, 1);
    i += inner_break ? 1 : 0;
  }
  EXPECT_EQ(std::string(buf), edited);
  const std::string full(109999, '7');
  plat_set_text(script, full.c_str());
  EXPECT_EQ(plat_get_text(script, buf, 110000), 109999);
  EXPECT_EQ(std::string(buf), full);
  // The buffer bounds the copy, never inside a UTF-8 sequence.
  plat_set_text(label, "有効桁数");  // 4 characters of 3 bytes
  EXPECT_EQ(plat_get_text(label, buf, 8), 6);
  EXPECT_STREQ(buf, "有効");
  plat_set_text(field, "100000");
  plat_get_text(field, buf, sizeof buf);
  EXPECT_STREQ(buf, "100000");
  EXPECT_EQ(plat_get_text(nullptr, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
}

// A register box breaks its lines again where its new width ends, while it holds the text
// that was set: the front end still gets that text, and the selection stays on its digits.
TEST(QtBackend, RegisterBoxesBreakAgainWhenTheirWidthChanges) {
  UiHandle w = open_window();
  plat_show_window(w, 1);
  UiHandle reg = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A00044, UiRect{0, 0, 300, 100}, 19);
  auto *edit = qobject_cast<QPlainTextEdit *>(widget_of(reg));
  std::string grouped;
  for (int line = 0; line < 20; ++line) {
    for (int g = 0; g < 10; ++g) grouped += std::string(20, static_cast<char>('0' + g)) + (g < 9 ? " " : "");
    grouped += "\r\n";
  }
  plat_set_text(reg, grouped.c_str());
  QApplication::processEvents();
  const int start = static_cast<int>(grouped.size()) / 2 + 3, end = start + 30;
  plat_set_selection(reg, start, end);
  const qsizetype narrow = edit->toPlainText().count(QLatin1Char('\n'));
  static char buf[20000];
  for (const int width : {900, 200, 1200}) {
    edit->resize(width, 100);
    QApplication::processEvents();
    const qsizetype lines = edit->toPlainText().count(QLatin1Char('\n'));
    EXPECT_EQ(lines > narrow, width < 300) << width;
    plat_get_text(reg, buf, sizeof buf);
    EXPECT_EQ(std::string(buf), grouped) << width;
    int s = -1, e = -1;
    plat_get_selection(reg, &s, &e);
    EXPECT_EQ(s, start) << width;
    EXPECT_EQ(e, end) << width;
  }
  // An edited box is left as the user made it.
  edit->moveCursor(QTextCursor::Start);
  edit->insertPlainText(QStringLiteral("9"));
  const QString edited = edit->toPlainText();
  edit->resize(500, 100);
  QApplication::processEvents();
  EXPECT_EQ(edit->toPlainText(), edited);
}

// Selections in the front end's offsets, whatever the editor shows: a number with its
// lines joined, its own line ends, characters of several bytes.
TEST(QtBackend, SelectionsCountTheFrontEndsBytesAndStayMarked) {
  UiHandle w = open_window();
  UiHandle reg = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A00044, UiRect{0, 0, 600, 100}, 19);
  UiHandle other = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A00044, UiRect{0, 100, 600, 200}, 17);
  auto *edit = qobject_cast<QPlainTextEdit *>(widget_of(reg));
  // Two 200-digit lines of a grouped number: the editor shows them joined by a blank.
  std::string grouped;
  for (int line = 0; line < 2; ++line) {
    for (int g = 0; g < 10; ++g) grouped += std::string(20, static_cast<char>('0' + g)) + (g < 9 ? " " : "");
    grouped += "\r\n";
  }
  plat_set_text(reg, grouped.c_str());
  ASSERT_EQ(edit->toPlainText().replace(QStringLiteral(" \n"), QStringLiteral(" ")).count(QLatin1Char('\n')), 1);
  const int second_line = static_cast<int>(grouped.find("\r\n") + 2);  // its first digit
  struct Case {
    int start, end;
  } cases[] = {{0, 0}, {5, 6}, {second_line, second_line + 1}, {second_line + 25, second_line + 60},
               {static_cast<int>(grouped.size()) - 2, static_cast<int>(grouped.size()) - 2}};
  for (const Case &c : cases) {
    events.clear();
    plat_set_selection(reg, c.start, c.end);
    int s = -1, e = -1;
    ASSERT_TRUE(plat_get_selection(reg, &s, &e));
    EXPECT_EQ(s, c.start);
    EXPECT_EQ(e, c.end);
    // The editor selected the same digits (its joining blank for the line break, and its
    // own breaks where the box's width ends).
    EXPECT_EQ(edit->textCursor().selectedText().remove(QLatin1Char(' ')).remove(QChar::ParagraphSeparator).toStdString().size(),
              static_cast<size_t>(std::count_if(grouped.begin() + c.start, grouped.begin() + c.end, ::isdigit)));
    if (c.start == 0) continue;  // the caret stood there already
    ASSERT_FALSE(events.empty());  // the moved caret is reported
    EXPECT_EQ(events.back().what, "caret");
    EXPECT_EQ(events.back().a, 19);
  }
  plat_set_selection(reg, second_line, second_line + 1);
  EXPECT_EQ(edit->textCursor().selectedText().toStdString(), "0");  // the first digit of line 2
  // An edited box: CR LF and a character of three bytes before the selection.
  plat_set_text(other, "\xe2\x82\xac 12\r\n345");
  plat_set_selection(other, 8, 10);
  auto *other_edit = qobject_cast<QPlainTextEdit *>(widget_of(other));
  EXPECT_EQ(other_edit->textCursor().selectedText().toStdString(), "34");
  int s = 0, e = 0;
  plat_get_selection(other, &s, &e);
  EXPECT_EQ(s, 8);
  EXPECT_EQ(e, 10);
  plat_set_selection(other, -5, 99);  // limited to the text
  plat_get_selection(other, &s, &e);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(e, 11);
  // A selection made by the front end shows without the focus until the selection changes.
  const QColor base = edit->palette().color(QPalette::Inactive, QPalette::Base);
  plat_set_selection(reg, 5, 6);
  EXPECT_NE(edit->palette().color(QPalette::Inactive, QPalette::Highlight), base);
  QTextCursor c = edit->textCursor();
  c.setPosition(2);
  edit->setTextCursor(c);
  EXPECT_EQ(edit->palette().color(QPalette::Inactive, QPalette::Highlight), base);
  // The clipboard.
  EXPECT_TRUE(plat_set_clipboard("0.333"));
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "0.333");
}

// Key presses reach the front end before the control; a tab, or a line break in a
// register box or the digits field, never reaches the text whatever the front end says.
TEST(QtBackend, KeysReachTheFrontEndFirstAndNoTabIsTyped) {
  UiHandle w = open_window();
  UiHandle reg = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A00044, UiRect{0, 0, 600, 100}, 19);
  UiHandle script = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A000C4, UiRect{0, 100, 600, 200}, 98);
  UiHandle field = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50800080, UiRect{0, 200, 60, 220}, 2);
  UiHandle push = plat_create_control(w, UI_CLASS_BUTTON, "+", 0x50000000, UiRect{0, 230, 40, 250}, 35);
  plat_show_window(w, 1);
  widget_of(w)->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(widget_of(w)));
  static char buf[100];
  auto text_of = [](UiHandle h) {
    plat_get_text(h, buf, sizeof buf);
    return std::string(buf);
  };

  // Focus: a box gets its whole text selected, the caret at the start.
  plat_set_text(reg, "0");
  plat_set_focus(reg);
  EXPECT_EQ(plat_focused_id(w), 19);
  auto *reg_edit = qobject_cast<QPlainTextEdit *>(widget_of(reg));
  EXPECT_EQ(reg_edit->textCursor().selectedText().toStdString(), "0");
  EXPECT_EQ(reg_edit->textCursor().position(), 0);
  key_answer = false;
  events.clear();
  QWidget *focus = QApplication::focusWidget();
  QTest::keyClicks(focus, "25");
  QTest::keyClick(focus, Qt::Key_Tab);
  QTest::keyClick(focus, Qt::Key_Backtab, Qt::ShiftModifier);
  QTest::keyClick(focus, Qt::Key_Return);
  QTest::keyClick(focus, Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(focus, Qt::Key_Asterisk, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(focus, Qt::Key_F5, Qt::ShiftModifier);
  EXPECT_EQ(text_of(reg), "25");
  struct Want {
    int key, mods;
  } want[] = {{UI_KEY_TAB, 0}, {UI_KEY_TAB, UI_MOD_SHIFT}, {UI_KEY_RETURN, 0},
              {'I', UI_MOD_CTRL | UI_MOD_SHIFT}, {'*', UI_MOD_CTRL | UI_MOD_SHIFT},
              {UI_KEY_F1 + 4, UI_MOD_SHIFT}};
  // Plain characters are not reported as keys (the caret they move is).
  std::vector<Event> keys;
  for (const Event &e : events)
    if (e.what == "key") keys.push_back(e);
  ASSERT_EQ(keys.size(), std::size(want));
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].a, want[i].key) << i;
    EXPECT_EQ(keys[i].b, want[i].mods) << i;
  }
  // The script box takes Return as a new line; the digits field none.
  plat_set_focus(script);
  QTest::keyClicks(QApplication::focusWidget(), "a");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(text_of(script), "a\r\n");
  plat_set_focus(field);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(plat_focused_id(w), 2);

  // A used key goes no further: Ctrl+Z does not reach the box's own undo.
  plat_set_focus(reg);
  QTest::keyClicks(QApplication::focusWidget(), "7");
  key_answer = true;
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text_of(reg), "7");
  key_answer = false;
  // The box's own undo and redo, through the platform layer; none after a set text.
  EXPECT_TRUE(plat_edit_undo(reg, false));
  EXPECT_EQ(text_of(reg), "25");
  EXPECT_TRUE(plat_edit_undo(reg, true));
  EXPECT_EQ(text_of(reg), "7");
  plat_set_text(reg, "9");
  EXPECT_FALSE(plat_edit_undo(reg, false));
  EXPECT_FALSE(plat_edit_undo(push, false));
  plat_set_text(field, "12");
  EXPECT_FALSE(plat_edit_undo(field, false));

  // The window keeps the keyboard when no control has the focus.
  plat_set_focus(w);
  EXPECT_EQ(plat_focused_id(w), -1);
  events.clear();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  ASSERT_EQ(events.size(), 1u);  // the focus left no box before the clear
  EXPECT_EQ(events[0].a, UI_KEY_ESCAPE);
  plat_set_tooltip(push, "Ctrl++");
  EXPECT_EQ(widget_of(push)->toolTip().toStdString(), "Ctrl++");
}

TEST(QtBackend, InputLimit) {
  UiHandle w = open_window();
  UiHandle reg = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50A00044, UiRect{0, 0, 600, 100}, 19);
  UiHandle field = plat_create_control(w, UI_CLASS_EDIT, " ", 0x50800080, UiRect{0, 200, 60, 220}, 2);
  plat_set_text(reg, "12345");
  plat_limit_text(reg, 10);
  plat_limit_text(field, 10);
  auto *edit = qobject_cast<QPlainTextEdit *>(widget_of(reg));
  QTextCursor cursor(edit->document());
  cursor.setPosition(2);
  cursor.insertText("abcdefghij");  // typed or pasted: only 5 more fit
  static char buf[100];
  plat_get_text(reg, buf, sizeof buf);
  EXPECT_STREQ(buf, "12abcde345");
  auto *line = qobject_cast<QLineEdit *>(widget_of(field));
  EXPECT_EQ(line->maxLength(), 10);
}

TEST(QtBackend, ScrollBarsKeepThePositionTheFrontEndSets) {
  UiHandle w = open_window();
  auto *frame = main_frame_of(w);
  ASSERT_NE(frame, nullptr);
  QScrollBar *v = frame->bars[UI_BAR_VERT];
  plat_set_scroll_range(w, UI_BAR_VERT, 0, 47, 30);
  EXPECT_EQ(v->maximum(), 18);  // 47 - 30 + 1
  EXPECT_EQ(v->pageStep(), 30);
  plat_set_scroll_pos(w, UI_BAR_VERT, 100);
  UiScrollInfo s = plat_get_scroll(w, UI_BAR_VERT);
  EXPECT_EQ(s.min, 0);
  EXPECT_EQ(s.max, 47);
  EXPECT_EQ(s.page, 30);
  EXPECT_EQ(s.pos, 18);
  EXPECT_EQ(v->value(), 18);
  plat_set_scroll_pos(w, UI_BAR_VERT, 3);
  // A user's line step reaches the front end as request 1; the position it sets holds.
  events.clear();
  scroll_answer = 9;
  v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].what, "scroll");
  EXPECT_EQ(events[0].a, UI_BAR_VERT);
  EXPECT_EQ(events[0].b, UI_SB_LINEDOWN);
  EXPECT_EQ(v->value(), 9);
  EXPECT_EQ(plat_get_scroll(w, UI_BAR_VERT).pos, 9);
  // Setting nothing leaves the position where it was, whatever Qt computed.
  scroll_answer = -1;
  v->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(events.back().b, UI_SB_PAGEDOWN);
  EXPECT_EQ(v->value(), 9);
  v->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(events.back().b, UI_SB_BOTTOM);
  v->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(events.back().b, UI_SB_LINEUP);
  v->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(events.back().b, UI_SB_PAGEUP);
  v->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(events.back().b, UI_SB_TOP);
  // Dragging: thumb track with the track position.
  scroll_answer = 12;
  v->setSliderDown(true);
  v->setSliderPosition(12);
  v->setSliderDown(false);
  EXPECT_EQ(events.back().b, UI_SB_THUMBTRACK);
  EXPECT_EQ(events.back().c, 12);
  EXPECT_EQ(plat_get_scroll(w, UI_BAR_VERT).pos, 12);
  scroll_answer = -1;
  // A page that covers the range: nothing to scroll.
  plat_set_scroll_range(w, UI_BAR_HORZ, 0, 152, 200);
  EXPECT_EQ(frame->bars[UI_BAR_HORZ]->maximum(), 0);
  EXPECT_FALSE(frame->bars[UI_BAR_HORZ]->isEnabled());
}

// (Over a button the wheel reaches the client area by Qt's propagation of spontaneous
// events, which a test cannot send; the end-to-end test turns the wheel over a button.)
TEST(QtBackend, WheelOverTheBackgroundReachesTheFrontEnd) {
  UiHandle w = open_window();
  plat_show_window(w, 0);
  auto wheel = [](QWidget *target, QPoint angle, Qt::KeyboardModifiers mods) {
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), angle, Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
  };
  struct Case {
    QPoint angle;
    Qt::KeyboardModifiers mods;
    int bar, delta;
  } cases[] = {
      {QPoint(0, -120), Qt::NoModifier, UI_BAR_VERT, -120},
      {QPoint(0, 240), Qt::ShiftModifier, UI_BAR_HORZ, 240},
      {QPoint(-120, 0), Qt::NoModifier, UI_BAR_HORZ, -120},
  };
  for (const Case &c : cases) {
    events.clear();
    wheel(main_frame_of(w)->client, c.angle, c.mods);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].what, "wheel");
    EXPECT_EQ(events[0].a, c.bar);
    EXPECT_EQ(events[0].b, c.delta);
  }
  // The work area lies within the screen.
  const UiRect a = plat_work_area(w);
  EXPECT_GT(a.right - a.left, 0);
  EXPECT_GT(a.bottom - a.top, 0);
}

TEST(QtBackend, ScrollingMovesTheChildren) {
  UiHandle w = open_window();
  UiHandle b = plat_create_control(w, UI_CLASS_BUTTON, " ", 0x50000000, UiRect{100, 200, 140, 220}, 35);
  plat_scroll_client(w, -30, -50);  // hidden
  EXPECT_EQ(widget_of(b)->geometry(), QRect(70, 150, 40, 20));
  plat_show_window(w, 0);
  plat_scroll_client(w, 30, 10);  // shown
  EXPECT_EQ(widget_of(b)->geometry(), QRect(100, 160, 40, 20));
}

TEST(QtBackend, WindowRectangleAndMove) {
  UiHandle w = open_window();
  plat_move_window(w, 10, 20, 600, 400);
  plat_show_window(w, 0);
  QApplication::processEvents();
  UiRect r;
  ASSERT_TRUE(plat_window_rect(w, &r));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 610);
  EXPECT_EQ(r.bottom, 420);
  plat_resize_window(w, 300, 200);
  ASSERT_TRUE(plat_window_rect(w, &r));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.right, 310);
  EXPECT_EQ(r.bottom, 220);
  int sw = 0, sh = 0;
  plat_virtual_screen_size(&sw, &sh);
  EXPECT_GT(sw, 0);
  EXPECT_GT(sh, 0);
}

TEST(QtBackend, PostedCallsRunOnTheMainThread) {
  app();
  static std::atomic<int> ran{0};
  static std::thread::id ran_on;
  ran = 0;
  std::thread t([] {
    plat_post_call(
        [](intptr_t arg) {
          ran = static_cast<int>(arg);
          ran_on = std::this_thread::get_id();
        },
        41);
  });
  t.join();
  EXPECT_EQ(ran, 0);  // not before the loop runs
  for (int i = 0; i < 100 && ran == 0; ++i) QApplication::processEvents();
  EXPECT_EQ(ran, 41);
  EXPECT_EQ(ran_on, std::this_thread::get_id());
}

// The list chooser: the rows the front end names for the field's text, the first
// selected; typing filters, Down moves in the list, Return takes the row, Escape none.
TEST(QtBackend, ListChooserShowsTheRowsTheFrontEndNamesAndReturnsTheOneTaken) {
  UiHandle w = open_window();
  list_names = {"alpha", "beta", "gamma", "alphabet"};
  const char *const cells[] = {"alpha", "first", "k1", "beta", "second", "k2",
                               "gamma", "third", "k3", "alphabet", "fourth", "k4"};
  UiListChooser c{"Functions", "Type to filter", {"Name", "Description", "Key"}, cells, 4, "al", "Run", "Cancel"};
  struct Step {
    const char *typed;  // replaces the selected first text
    int downs;
    bool escape;
    std::vector<std::string> shown;
    int want;
  } steps[] = {
      {"", 0, false, {"alpha", "alphabet"}, 0},  // Return at once: the first row
      {"ph", 1, false, {"alpha", "alphabet"}, 3},
      {"mm", 0, false, {"gamma"}, 2},
      {"a", 9, false, {"alpha", "beta", "gamma", "alphabet"}, 3},  // Down stops at the last
      {"e", 1, true, {"beta", "alphabet"}, -1},
      {"zz", 0, false, {}, -1},  // Return with no row does nothing; Escape then
  };
  for (const Step &step : steps) {
    SCOPED_TRACE(step.typed);
    filters_asked.clear();
    std::vector<std::string> shown, headings;
    std::string title;
    bool focus_in_field = false, still_open = false;
    QTimer::singleShot(0, [&] {
      auto *dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      title = dialog->windowTitle().toStdString();
      auto *field = dialog->findChild<QLineEdit *>("filter");
      auto *list = dialog->findChild<QTreeWidget *>("rows");
      ASSERT_TRUE(field && list);
      focus_in_field = dialog->focusWidget() == field;
      for (int col = 0; col < 3; ++col) headings.push_back(list->headerItem()->text(col).toStdString());
      if (*step.typed) QTest::keyClicks(field, step.typed);
      for (int i = 0; i < step.downs; ++i) QTest::keyClick(field, Qt::Key_Down);
      for (int i = 0; i < list->topLevelItemCount(); ++i) shown.push_back(list->topLevelItem(i)->text(0).toStdString());
      QTest::keyClick(field, step.escape ? Qt::Key_Escape : Qt::Key_Return);
      if (dialog->isVisible()) {
        still_open = true;
        QTest::keyClick(field, Qt::Key_Escape);
      }
    });
    char filter[16];
    EXPECT_EQ(plat_choose_row(w, &c, filter, sizeof filter), step.want);
    EXPECT_EQ(title, "Functions");
    EXPECT_EQ(headings, (std::vector<std::string>{"Name", "Description", "Key"}));
    EXPECT_TRUE(focus_in_field);
    EXPECT_EQ(shown, step.shown);
    EXPECT_EQ(still_open, step.shown.empty());
    const std::string last = *step.typed ? step.typed : "al";
    EXPECT_EQ(std::string(filter), last);
    ASSERT_FALSE(filters_asked.empty());
    EXPECT_EQ(filters_asked.front(), "al");  // the first text, asked at the start
    EXPECT_EQ(filters_asked.back(), last);
  }
}

// A push button's context menu goes to the front end, then (declined) to the background
// at the same point; the menu of a button or of the main window holds the items alone.
TEST(QtBackend, ContextMenusOfButtonsAndTheBackground) {
  UiHandle w = open_window();
  UiHandle push = plat_create_control(w, UI_CLASS_BUTTON, "sin", 0x50000000, UiRect{40, 60, 100, 80}, 50);
  plat_show_window(w, 1);
  events.clear();
  QWidget *button = widget_of(push);
  QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, 6), button->mapToGlobal(QPoint(5, 6)));
  QApplication::sendEvent(button, &e);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].what, "context_menu");
  EXPECT_EQ(events[0].a, 50);
  EXPECT_EQ(events[1].what, "background_menu");
  EXPECT_EQ(events[1].a, 45);
  EXPECT_EQ(events[1].b, 66);

  for (UiHandle on : {push, w}) {
    std::vector<std::string> texts;
    QTimer::singleShot(0, [&] {
      auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (QAction *a : menu->actions()) texts.push_back(a->text().toStdString());
      menu->setActiveAction(menu->actions().at(1));
      QTest::keyClick(menu, Qt::Key_Return);
    });
    const char *items[] = {"Functions and constants…\tCtrl+K", "Other"};
    EXPECT_EQ(plat_context_menu(on, items, 2), 1);
    EXPECT_EQ(texts, (std::vector<std::string>{"Functions and constants…\tCtrl+K", "Other"}));
  }
}

TEST(QtBackend, PaintedTextIsClippedToItsRectangle) {
  app();
  QImage image(300, 100, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    UiPaint paint{&painter, Qt::black, Qt::white};
    plat_draw_text(&paint, (std::string(500, '8') + "\r\nsecond line\r\nthird").c_str(),
                   UiRect{10, 10, 110, 25}, 0x00840000);
  }
  int inside = 0, outside = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool dark = qGray(image.pixel(x, y)) < 128;
      const bool in = x >= 10 && x < 110 && y >= 10 && y < 25;
      (in ? inside : outside) += dark;
    }
  }
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

}  // namespace
