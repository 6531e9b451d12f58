// The recording fake platform: every call is recorded, the controls' state is held, and
// the scroll bars keep their positions within the limits a real platform keeps.
#include "tests/ui/fake_platform.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/main_window.h"

FakePlatform fake;

namespace {

void record(const std::string &line) {
  if (std::this_thread::get_id() != fake.main_thread) ++fake.wrong_thread_calls;
  fake.calls.push_back(line);
  if (fake.on_record) fake.on_record(line);
}

std::string name_of(UiHandle w) {
  if (!w) return "null";
  if (w->is_main) return "main";
  return std::to_string(w->id);
}

std::string rect_text(UiRect r) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "%d,%d,%d,%d", r.left, r.top, r.right, r.bottom);
  return buf;
}

int max_position(const UiScrollInfo &s) {
  if (s.page <= 0) return std::max(s.min, s.max);
  return std::max(s.min, s.max - s.page + 1);
}

}  // namespace

void FakePlatform::reset() {
  calls.clear();
  on_record = nullptr;
  children.clear();
  main = UiWindow{};
  main.is_main = true;
  main_created = false;
  focus = nullptr;
  fail_main_window = false;
  fail_controls.clear();
  window_rect = UiRect{0, 0, 0, 0};
  window_rect_readable = true;
  screen_width = 1920;
  screen_height = 1080;
  work_area = UiRect{0, 0, 1920, 1080};
  font = UiFontMetrics{8, 16, 0, 0};
  caption_char_width = 5;
  for (auto &b : bars) b = UiScrollInfo{0, 0, 0, 0, 0};
  scrolled_dx = scrolled_dy = 0;
  invalidations = updates = 0;
  drawn.clear();
  boxes.clear();
  questions.clear();
  answers.clear();
  chosen_files.clear();
  opened_files.clear();
  prompt_answers.clear();
  prompts.clear();
  menu_items.clear();
  menu_choices.clear();
  clipboard.clear();
  clipboard_fails = false;
  list_actions.clear();
  list_title.clear();
  list_label.clear();
  list_first_filter.clear();
  list_headings.clear();
  list_cells.clear();
  list_shown.clear();
  during_message_box = nullptr;
  timer_active = false;
  timer_interval = 0;
  quit_called = false;
  quit_code = -1;
  wrong_thread_calls = 0;
  main_thread = std::this_thread::get_id();
  std::lock_guard<std::mutex> lock(post_mutex);
  posted.clear();
}

UiWindow *FakePlatform::control(int id) {
  for (auto &c : children) {
    if (c->id == id) return c.get();
  }
  return nullptr;
}

int FakePlatform::pump() {
  int ran = 0;
  for (;;) {
    std::pair<void (*)(intptr_t), intptr_t> call;
    {
      std::lock_guard<std::mutex> lock(post_mutex);
      if (posted.empty()) return ran;
      call = posted.front();
      posted.pop_front();
    }
    call.first(call.second);
    ++ran;
  }
}

bool FakePlatform::wait_posted(int timeout_ms) {
  std::unique_lock<std::mutex> lock(post_mutex);
  return post_cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return !posted.empty(); });
}

std::vector<std::string> FakePlatform::calls_since(size_t from, const std::string &prefix) const {
  std::vector<std::string> out;
  for (size_t i = from; i < calls.size(); ++i) {
    if (calls[i].compare(0, prefix.size(), prefix) == 0) out.push_back(calls[i]);
  }
  return out;
}

UiHandle fake_open_window() { return plat_create_main_window(WINDOW_CLASS_NAME, WINDOW_TITLE); }

// ---- platform.h ----

UiHandle plat_create_control(UiHandle parent, UiClass cls, const char *text, uint32_t style,
                             UiRect rect, int id) {
  static const char *const class_names[] = {"button", "static", "edit"};
  record("create " + std::to_string(id) + " " + class_names[cls] + " " + name_of(parent) + " " +
         rect_text(rect));
  if (!parent) return nullptr;
  if (std::find(fake.fail_controls.begin(), fake.fail_controls.end(), id) != fake.fail_controls.end())
    return nullptr;
  auto w = std::make_unique<UiWindow>();
  w->id = id;
  w->cls = cls;
  w->style = style;
  w->rect = rect;
  w->text = text ? text : "";
  fake.children.push_back(std::move(w));
  return fake.children.back().get();
}

void plat_set_text(UiHandle w, const char *text) {
  record("set_text " + name_of(w) + " " + (text ? text : ""));
  if (!w) return;
  w->text = text ? text : "";
  w->box_undo = w->box_redo = 0;
  w->selected_all = false;
  w->sel_start = w->sel_end = 0;
  w->selection_marked = false;
}

int plat_get_text(UiHandle w, char *buf, int size) {
  record("get_text " + name_of(w));
  if (!buf || size <= 0) return 0;
  if (!w) {
    buf[0] = '\0';
    return 0;
  }
  const size_t n = std::min(w->text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buf, w->text.data(), n);
  buf[n] = '\0';
  return static_cast<int>(n);
}

void plat_enable(UiHandle w, bool enabled) {
  record("enable " + name_of(w) + " " + (enabled ? "1" : "0"));
  if (w) w->enabled = enabled;
}

void plat_set_check(UiHandle w, bool checked) {
  record("check " + name_of(w) + " " + (checked ? "1" : "0"));
  if (w) w->checked = checked;
}

void plat_limit_text(UiHandle w, int chars) {
  record("limit " + name_of(w) + " " + std::to_string(chars));
  if (w) w->limit = chars;
}

void plat_update(UiHandle w) {
  record("update " + name_of(w));
  ++fake.updates;
}

UiHandle plat_create_main_window(const char *class_name, const char *title) {
  record(std::string("create_main ") + class_name + " " + title);
  if (fake.fail_main_window) return nullptr;
  fake.main = UiWindow{};
  fake.main.is_main = true;
  fake.main.text = title;
  fake.main_created = true;
  ui_on_create(&fake.main);
  return &fake.main;
}

void plat_show_window(UiHandle main, int show_command) {
  record("show " + name_of(main) + " " + std::to_string(show_command));
}

void plat_move_window(UiHandle w, int x, int y, int width, int height) {
  record("move " + name_of(w) + " " + std::to_string(x) + "," + std::to_string(y) + "," +
         std::to_string(width) + "," + std::to_string(height));
  if (w && w->is_main) fake.window_rect = UiRect{x, y, x + width, y + height};
  else if (w) w->rect = UiRect{x, y, x + width, y + height};
}

void plat_resize_window(UiHandle w, int width, int height) {
  record("resize " + name_of(w) + " " + std::to_string(width) + "," + std::to_string(height));
  if (w && w->is_main) {
    fake.window_rect.right = fake.window_rect.left + width;
    fake.window_rect.bottom = fake.window_rect.top + height;
  }
}

bool plat_window_rect(UiHandle w, UiRect *out) {
  record("window_rect " + name_of(w));
  if (!w || !out || !fake.window_rect_readable) return false;
  *out = fake.window_rect;
  return true;
}

void plat_virtual_screen_size(int *width, int *height) {
  record("screen_size");
  *width = fake.screen_width;
  *height = fake.screen_height;
}

UiRect plat_work_area(UiHandle) {
  record("work_area");
  return fake.work_area;
}

UiFontMetrics plat_font_metrics(UiHandle main) {
  record("font_metrics " + name_of(main));
  return fake.font;
}

// Not recorded: it is asked once per caption at creation.
int plat_caption_width(UiHandle, UiClass cls, uint32_t style, const char *caption) {
  if (fake.caption_char_width == 0) return 0;
  int chars = 0;
  for (const char *p = caption; p && *p; ++p) chars += (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
  int decoration = 4;
  const uint32_t type = style & UI_BS_TYPEMASK;
  if (cls == UI_CLASS_BUTTON && (type == UI_BS_CHECKBOX || type == UI_BS_RADIOBUTTON)) decoration = 20;
  return chars * fake.caption_char_width + decoration;
}

void plat_invalidate(UiHandle main) {
  record("invalidate " + name_of(main));
  ++fake.invalidations;
}

void plat_invalidate_rect(UiHandle main, UiRect rect) {
  record("invalidate_rect " + name_of(main) + " " + rect_text(rect));
  ++fake.invalidations;
}

uint32_t plat_system_color(UiSysColor color) {
  return color == UI_COLOR_BTNTEXT ? 0x000000u : 0xF0F0F0u;
}

void plat_paint_colors(UiPaint *, uint32_t text_color, uint32_t back_color) {
  record("paint_colors");
  fake.paint_text_color = text_color;
  fake.paint_back_color = back_color;
}

void plat_draw_text(UiPaint *, const char *text, UiRect rect, uint32_t format) {
  record("draw_text " + rect_text(rect) + " " + (text ? text : ""));
  fake.drawn.push_back(DrawnText{text ? text : "", rect, format});
}

void plat_draw_edge(UiPaint *, UiRect rect, uint32_t edge_type, uint32_t edge_flags) {
  record("draw_edge " + rect_text(rect) + " " + std::to_string(edge_type) + " " +
         std::to_string(edge_flags));
}

void plat_set_scroll_range(UiHandle main, UiBar bar, int min, int max, int page) {
  record(std::string("scroll_range ") + (bar == UI_BAR_VERT ? "v " : "h ") + std::to_string(min) +
         "," + std::to_string(max) + "," + std::to_string(page));
  if (!main) return;
  UiScrollInfo &s = fake.bars[bar];
  s.min = min;
  s.max = max;
  s.page = page;
  s.pos = std::clamp(s.pos, s.min, max_position(s));
}

void plat_set_scroll_pos(UiHandle main, UiBar bar, int pos) {
  record(std::string("scroll_pos ") + (bar == UI_BAR_VERT ? "v " : "h ") + std::to_string(pos));
  if (!main) return;
  UiScrollInfo &s = fake.bars[bar];
  s.pos = std::clamp(pos, s.min, max_position(s));
}

UiScrollInfo plat_get_scroll(UiHandle, UiBar bar) {
  record(std::string("get_scroll ") + (bar == UI_BAR_VERT ? "v" : "h"));
  return fake.bars[bar];
}

void plat_scroll_client(UiHandle main, int dx, int dy) {
  record("scroll_client " + name_of(main) + " " + std::to_string(dx) + "," + std::to_string(dy));
  fake.scrolled_dx += dx;
  fake.scrolled_dy += dy;
}

int plat_message_box(UiHandle owner, const char *text, const char *title, uint32_t flags) {
  record("message_box " + name_of(owner) + " " + title + " " + text);
  fake.boxes.push_back(MessageBoxShown{text, title, flags});
  if (fake.during_message_box) fake.during_message_box();
  return 1;
}

int plat_ask(UiHandle owner, const char *text, const char *title, const char *const *buttons, int count) {
  std::string line = "ask " + name_of(owner) + " " + title;
  for (int i = 0; i < count; ++i) line += std::string(" [") + buttons[i] + "]";
  record(line);
  fake.questions.push_back(text);
  if (fake.answers.empty()) return -1;
  const int answer = fake.answers.front();
  fake.answers.pop_front();
  return answer;
}

namespace {

bool take_file(std::deque<std::string> &files, char *out, int size) {
  if (files.empty()) return false;
  const std::string file = files.front();
  files.pop_front();
  if (file.empty() || file.size() >= static_cast<size_t>(size)) return false;
  std::memcpy(out, file.c_str(), file.size() + 1);
  return true;
}

const char *kind_name(UiFileKind kind) { return kind == UI_FILE_NUMBER ? "number" : "workspace"; }

}  // namespace

bool plat_choose_save_file(UiHandle owner, const char *title, UiFileKind kind, const char *suggested,
                           char *out, int size) {
  record("choose_save_file " + name_of(owner) + " " + title + " " + kind_name(kind) + " " + suggested);
  return take_file(fake.chosen_files, out, size);
}

bool plat_choose_open_file(UiHandle owner, const char *title, UiFileKind kind, char *out, int size) {
  record("choose_open_file " + name_of(owner) + " " + title + " " + kind_name(kind));
  return take_file(fake.opened_files, out, size);
}

bool plat_prompt(UiHandle owner, const char *title, const char *label, const char *initial,
                 const char *ok, const char *cancel, char *out, int size) {
  record("prompt " + name_of(owner) + " " + title + " [" + ok + "] [" + cancel + "]");
  fake.prompts.push_back(std::string(label) + " " + initial);
  if (fake.prompt_answers.empty() || size <= 0) return false;
  const std::string answer = fake.prompt_answers.front();
  fake.prompt_answers.pop_front();
  const size_t n = std::min(answer.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, answer.data(), n);
  out[n] = '\0';
  return true;
}

bool plat_set_clipboard(const char *text) {
  record("clipboard");
  if (fake.clipboard_fails) return false;
  fake.clipboard = text;
  return true;
}

bool plat_get_selection(UiHandle w, int *start, int *end) {
  *start = *end = 0;
  if (!w || w->cls != UI_CLASS_EDIT) return false;
  *start = w->sel_start;
  *end = w->sel_end;
  return true;
}

void plat_set_selection(UiHandle w, int start, int end) {
  record("set_selection " + name_of(w) + " " + std::to_string(start) + "," + std::to_string(end));
  if (!w || w->cls != UI_CLASS_EDIT) return;
  const int len = static_cast<int>(w->text.size());
  start = std::clamp(start, 0, len);
  end = std::clamp(end, 0, len);
  w->selected_all = false;
  w->selection_marked = true;
  const bool changed = start != w->sel_start || end != w->sel_end;
  w->sel_start = std::min(start, end);
  w->sel_end = std::max(start, end);
  if (changed) ui_on_caret(w->id);  // as a backend reports a moved caret
}

int plat_context_menu(UiHandle w, const char *const *items, int count) {
  record("context_menu " + name_of(w));
  fake.menu_items.assign(items, items + count);
  if (fake.menu_choices.empty()) return -1;
  const int choice = fake.menu_choices.front();
  fake.menu_choices.pop_front();
  return choice;
}

int plat_choose_row(UiHandle owner, const UiListChooser *c, char *filter_out, int filter_size) {
  record("choose_row " + name_of(owner) + " " + c->title + " [" + c->ok + "] [" + c->cancel + "]");
  fake.focus = nullptr;  // the dialog has the keyboard; the window gets it back later
  fake.list_title = c->title;
  fake.list_label = c->label;
  fake.list_first_filter = c->filter;
  fake.list_headings.assign(c->headings, c->headings + 3);
  fake.list_cells.assign(c->cells, c->cells + 3 * c->rows);
  // The rows shown for a filter, as the dialog asks for them.
  auto show = [c](const std::string &filter) {
    std::vector<int> rows(static_cast<size_t>(c->rows));
    const int n = ui_on_list_filter(filter.c_str(), rows.data());
    rows.resize(static_cast<size_t>(std::clamp(n, 0, c->rows)));
    fake.list_shown.clear();
    for (int r : rows) fake.list_shown.push_back(c->cells[3 * r]);
    return rows;
  };
  std::string filter = c->filter;
  std::vector<int> rows = show(filter);
  int chosen = -1;
  if (!fake.list_actions.empty()) {
    const FakePlatform::ListAction a = fake.list_actions.front();
    fake.list_actions.pop_front();
    filter = a.filter;
    rows = show(filter);
    if (a.pick >= 0 && a.pick < static_cast<int>(rows.size())) chosen = rows[static_cast<size_t>(a.pick)];
  }
  if (filter_out && filter_size > 0) {
    const size_t n = std::min(filter.size(), static_cast<size_t>(filter_size - 1));
    std::memcpy(filter_out, filter.data(), n);
    filter_out[n] = '\0';
  }
  return chosen;
}

int plat_run_loop() {
  record("run_loop");
  return 0;
}

void plat_quit(int code) {
  record("quit " + std::to_string(code));
  fake.quit_called = true;
  fake.quit_code = code;
}

void plat_post_call(void (*fn)(intptr_t), intptr_t arg) {
  {
    std::lock_guard<std::mutex> lock(fake.post_mutex);
    fake.posted.emplace_back(fn, arg);
  }
  fake.post_cv.notify_all();
}

void plat_set_timer(UiHandle main, int interval_ms) {
  record("set_timer " + name_of(main) + " " + std::to_string(interval_ms));
  fake.timer_active = true;
  fake.timer_interval = interval_ms;
}

void plat_kill_timer(UiHandle main) {
  record("kill_timer " + name_of(main));
  fake.timer_active = false;
}

void plat_set_focus(UiHandle w) {
  record("focus " + name_of(w));
  if (!w) return;
  fake.focus = w;
  w->selected_all = w->cls == UI_CLASS_EDIT;
  if (w->selected_all) {  // the whole text, the caret at its start
    w->sel_start = 0;
    w->sel_end = static_cast<int>(w->text.size());
    w->selection_marked = false;
  }
}

int plat_focused_id(UiHandle) { return fake.focus && !fake.focus->is_main ? fake.focus->id : -1; }

bool plat_edit_undo(UiHandle w, bool redo) {
  record("edit_undo " + name_of(w) + (redo ? " redo" : " undo"));
  if (!w) return false;
  int &steps = redo ? w->box_redo : w->box_undo;
  if (steps == 0) return false;
  --steps;
  ++(redo ? w->box_undo : w->box_redo);
  return true;
}

void plat_set_tooltip(UiHandle w, const char *text) {
  record("tooltip " + name_of(w) + " " + (text ? text : ""));
  if (w) w->tooltip = text ? text : "";
}
