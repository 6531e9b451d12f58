// A recording fake of ui/platform.h: holds the state of every control, the main window,
// the scroll bars, message boxes, posted calls and the timer, and records every call in
// order, so that tests drive the front end without a display.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/platform.h"

struct UiWindow {
  bool is_main = false;
  int id = -1;
  UiClass cls = UI_CLASS_STATIC;
  uint32_t style = 0;
  UiRect rect{0, 0, 0, 0};
  std::string text;
  bool enabled = true;
  bool checked = false;
  int limit = 0;
  std::string tooltip;
  // An edit box's own undo and redo steps of typing (plat_set_text empties both), and
  // whether plat_set_focus selected its whole text.
  int box_undo = 0, box_redo = 0;
  bool selected_all = false;
  // An edit box's selection (byte offsets of its text; equal: the caret), and whether the
  // last plat_set_selection marked it (it stays shown while the box has no focus).
  int sel_start = 0, sel_end = 0;
  bool selection_marked = false;
};

struct DrawnText {
  std::string text;
  UiRect rect;
  uint32_t format;
};

struct MessageBoxShown {
  std::string text, title;
  uint32_t flags;
};

struct FakePlatform {
  // Recorded calls, one line each, e.g. "enable 96 1", "set_text 19 1024\r\n".
  std::vector<std::string> calls;
  // Runs after each recorded call (main-thread calls only), with its line.
  std::function<void(const std::string &)> on_record;
  std::deque<std::unique_ptr<UiWindow>> children;
  UiWindow main;
  bool main_created = false;
  bool fail_main_window = false;  // plat_create_main_window returns null
  std::vector<int> fail_controls;  // ids whose creation fails

  UiRect window_rect{0, 0, 0, 0};
  bool window_rect_readable = true;
  int screen_width = 1920, screen_height = 1080;
  UiRect work_area{0, 0, 1920, 1080};  // plat_work_area
  UiFontMetrics font{8, 16, 0, 0};
  int caption_char_width = 5;  // plat_caption_width: pixels per character, plus decoration
                               // (0: every caption needs no room)

  // The window or control with the keyboard focus (plat_focused_id is not recorded).
  UiHandle focus = nullptr;

  UiScrollInfo bars[2]{};
  int scrolled_dx = 0, scrolled_dy = 0;
  int invalidations = 0, updates = 0;

  std::vector<DrawnText> drawn;
  uint32_t paint_text_color = 0, paint_back_color = 0;

  std::vector<MessageBoxShown> boxes;
  std::function<void()> during_message_box;  // runs while a box is "open"
  // plat_ask: the questions asked (their texts), and the answers to give in turn (-1 when
  // none is left); plat_choose_save_file: the files to choose in turn ("" cancels).
  std::vector<std::string> questions;
  std::deque<int> answers;
  std::deque<std::string> chosen_files;
  // plat_choose_open_file: the files to open in turn ("" cancels); plat_prompt: the texts
  // typed in turn (none left: cancelled), and the prompts shown (label and initial text);
  // plat_context_menu: the items shown last and the choices to make in turn (-1 when none
  // is left); plat_set_clipboard: the text put there.
  std::deque<std::string> opened_files;
  std::deque<std::string> prompt_answers;
  std::vector<std::string> prompts;
  std::vector<std::string> menu_items;
  std::deque<int> menu_choices;
  std::string clipboard;
  bool clipboard_fails = false;
  // plat_choose_row: what the chooser showed (title, label, headings, every row's cells,
  // the field's first text), and what the user does in turn: types a filter (replacing the
  // field's text) and chooses the row at position `pick` of those shown (-1: Escape). None
  // left: the dialog is closed with Escape untouched. list_shown: the first cells of the
  // rows shown for the last filter.
  struct ListAction {
    std::string filter;
    int pick;
  };
  std::deque<ListAction> list_actions;
  std::string list_title, list_label, list_first_filter;
  std::vector<std::string> list_headings, list_cells, list_shown;

  bool timer_active = false;
  int timer_interval = 0;
  bool quit_called = false;
  int quit_code = -1;

  // Calls made on another thread than the main one (except plat_post_call).
  int wrong_thread_calls = 0;
  std::thread::id main_thread;

  // Posted calls, filled from any thread.
  std::mutex post_mutex;
  std::condition_variable post_cv;
  std::deque<std::pair<void (*)(intptr_t), intptr_t>> posted;

  // Resets everything; the calling thread becomes the main thread.
  void reset();
  // The child with a control id, or null.
  UiWindow *control(int id);
  // Runs the calls posted so far on this thread; returns how many ran.
  int pump();
  // Waits until a call has been posted (true) or the timeout passed (false).
  bool wait_posted(int timeout_ms);
  // The recorded calls from index `from` on, those starting with prefix.
  std::vector<std::string> calls_since(size_t from, const std::string &prefix = "") const;
};

extern FakePlatform fake;

// Creates the main window as the program does (ui_on_create runs inside).
UiHandle fake_open_window();
