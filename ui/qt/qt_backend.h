// The Qt 6 Widgets backend of ui/platform.h: internal declarations shared by its files.
//
// The main window is a top-level QWidget with a client area and two scroll bars beside
// it, each shown only while the content does not fit. The client area paints the painted entries and is the parent of every child
// control, placed by absolute geometry; scrolling moves its content and children by
// pixels (QWidget::scroll), as the platform layer promises.
#pragma once

#include <QColor>
#include <QMargins>
#include <QPainter>
#include <QPoint>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <string>

#include "ui/display_breaks.h"
#include "ui/platform.h"

class ClientArea;
class MainFrame;

// What a handle stands for.
enum class UiType { Main, Push, Check, Radio, Group, Label, LineEdit, TextEdit };

struct UiWindow {
  UiType type;
  QWidget *widget;  // the control, or the MainFrame
  int id;           // child identifier; -1 for the main window
  int limit;        // input limit of an edit box (characters)
  // A register box showing a number with its lines joined (ui/number_lines.h) or broken
  // where the box's width ends (ui/display_breaks.h): the text the front end set, the
  // editor's text made from it, and that text with the inserted breaks; empty when the
  // box shows the text as it was set. `columns`: the width the breaks were made for.
  std::string joined_original;
  QString joined_shown;
  DisplayText display;
  int columns = 0;
  // A selection made by plat_set_selection (editor positions), shown while the box has no
  // focus, until the box's selection changes; and where its context menu was asked for.
  bool marked = false;
  int mark_anchor = 0, mark_position = 0;
  QPoint menu_global;
};

struct UiPaint {
  QPainter *painter;
  QColor text_color;
  QColor back_color;
};

class ClientArea : public QWidget {
 public:
  explicit ClientArea(QWidget *parent);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void contextMenuEvent(QContextMenuEvent *event) override;
};

class MainFrame : public QWidget {
 public:
  MainFrame();

  ClientArea *client;
  QScrollBar *bars[2];  // indexed by UiBar
  QTimer *timer;
  UiWindow handle;

  // The scroll state as the front end sees it: range, page and the position it set.
  struct BarState {
    int min = 0, max = 0, page = 0, pos = 0;
    bool in_action = false;  // inside a user action: Qt applies the position afterwards
  } bar_state[2];

  // An outer size requested before the window manager's frame was known; applied once
  // the frame is known.
  bool pending_outer = false;
  int pending_width = 0, pending_height = 0;
  bool destroyed = false;

  // Which bars show: a bar shows only while its range is larger than its page, as a
  // window's own scroll bars do, and the client area takes the room of a hidden one.
  bool bar_shown[2] = {false, false};
  void place_parts();

  QMargins frame_margins() const;
  void resize_outer(int width, int height);
  int max_position(int bar) const;

 protected:
  void resizeEvent(QResizeEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool event(QEvent *event) override;

 private:
  void on_bar_action(int bar, int action);
};

MainFrame *main_frame_of(UiHandle w);

// The captions' font: the desktop's default size (the application font's), in a family
// with Japanese and Latin glyphs, so that both caption sets show in one face and size. The
// client area has it, so the controls and the painted texts inherit it.
QFont qt_caption_font();
// The edit boxes' font: the desktop's monospaced face at the default size, with a
// monospaced Japanese face for the characters it lacks.
QFont qt_number_font();

// UTF-8 texts of the platform layer to QString and back. Multi-line texts: CR LF (or a
// lone CR) becomes LF for Qt's editors, and LF becomes CR LF again on the way out.
QString text_from_platform(const char *text, bool multiline);
int text_to_platform(const QString &text, bool multiline, char *buf, int size);

// The caret of the edit boxes (qt_edit_tools.cpp): reports its moves to the front end
// (ui_on_caret) and ends the mark of a selection made by plat_set_selection once the
// selection changes; connected to every edit box when it is created.
void qt_watch_caret(UiWindow *handle);
// A register box's editor: the front end's context menu first (ui_on_context_menu), and
// its text's line breaks made anew when its width changes (qt_rewrap).
QWidget *qt_make_register_editor(QWidget *parent, UiWindow *handle);
// The characters of a digit that fit in a line of a register box.
int qt_register_columns(UiWindow *w);
// After a register box's width has changed: the text set is broken anew for the new width,
// the caret and selection kept, unless the user has edited the box since.
void qt_rewrap(UiWindow *w);

// The keyboard (qt_keys.cpp): the application's key filter, installed with the main
// window; every child control's handle is registered on its widget.
void qt_install_key_filter();
void qt_register_control(UiWindow *handle);
// Draws the frame that marks the control with the focus, if it is a child of the client.
void qt_paint_focus_ring(QWidget *client, QPainter &painter);
