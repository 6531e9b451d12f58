// The main window: how the front end meets the platform and the engine.
//
// Everything here runs on the main thread, the only one that owns windows. The front end
// owns Settings, TextSlots and MemoryTexts for the whole run: creation clears them, the
// workspace file fills them, and closing saves them. While a command runs (commands.cpp)
// the worker thread has those arrays to itself; the main thread then paints from copies
// and accepts only Cancel. The child windows are created once at scroll offset 0; the
// platform's scroll call moves them together with the painted texts, and painting adds
// the scroll offsets through control_rect.
//
// The front end's files depend one way, so each reads from the bottom up: control_table
// (the layout, painting, captions) <- workspace and commands (the run state, the worker)
// <- main_window (the events of the platform).
#include "ui/main_window.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/state.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/keys.h"
#include "ui/register_tools.h"
#include "ui/undo.h"
#include "ui/workspace.h"

const char *const WINDOW_CLASS_NAME = "deepNUMS";
const char *const WINDOW_TITLE = "deepNUMS : 100,000 digits Scientific Calculator R1.30";

UiHandle main_window = nullptr;

// The workspace was saved at a close request, or the user chose to close without saving:
// the window's destruction then saves nothing more.
static bool close_settled = false;

// Wheel deltas not yet turned into lines (touchpads send small ones), per bar.
static int wheel_rest[2];

// Window coordinates are kept within the range every windowing system accepts.
constexpr int64_t COORD_MIN = -32768;
constexpr int64_t COORD_MAX = 32767;

int app_entry(int show_command) {
  UiHandle w = plat_create_main_window(WINDOW_CLASS_NAME, WINDOW_TITLE);
  if (!w) {
    plat_message_box(nullptr, "Few resource or Wrong coding", "deepNUMS", UI_MB_ICONERROR);
    return 0;
  }
  plat_show_window(w, show_command);
  return plat_run_loop();
}

static int32_t clamp_to_int32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

void place_window() {
  int screen_w = 0, screen_h = 0;
  plat_virtual_screen_size(&screen_w, &screen_h);
  // 64-bit arithmetic: the values come from a file and may be anything.
  const int64_t left = Settings[SET_WINDOW_LEFT], top = Settings[SET_WINDOW_TOP];
  const int64_t width = static_cast<int64_t>(Settings[SET_WINDOW_RIGHT]) - left;
  const int64_t height = static_cast<int64_t>(Settings[SET_WINDOW_BOTTOM]) - top;
  int64_t x, y;
  if (left + 200 > screen_w) {
    Settings[SET_WINDOW_RIGHT] = clamp_to_int32(width);
    Settings[SET_WINDOW_LEFT] = 0;
    x = 0;
  } else {
    x = left;
  }
  if (top + 150 > screen_h) {
    Settings[SET_WINDOW_BOTTOM] = clamp_to_int32(height);
    Settings[SET_WINDOW_TOP] = 0;
    y = 0;
  } else {
    y = top;
  }
  x = std::clamp(x, COORD_MIN, COORD_MAX);
  y = std::clamp(y, COORD_MIN, COORD_MAX);
  // A size no windowing system can show comes from a damaged file: use the default.
  int64_t w = width, h = height;
  if (!(width > 5 && height > 5 && width <= COORD_MAX && height <= COORD_MAX)) {
    const WindowSize s = default_window_size(main_window);
    w = s.width;
    h = s.height;
  }
  // A size too small for the least content (saved at another scale or with another font)
  // grows to it; a size larger than the screen's available area (saved on a larger
  // screen) is reduced to it, and the window then starts at the area's edge on that side.
  const WindowSize least = min_window_size();
  w = std::max<int64_t>(w, least.width);
  h = std::max<int64_t>(h, least.height);
  const UiRect work = plat_work_area(main_window);
  if (work.right - work.left > 0 && w > work.right - work.left) {
    w = work.right - work.left;
    x = work.left;
  }
  if (work.bottom - work.top > 0 && h > work.bottom - work.top) {
    h = work.bottom - work.top;
    y = work.top;
  }
  plat_move_window(main_window, static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                   static_cast<int>(h));
}

void ui_on_create(UiHandle main) {
  main_window = main;
  // Layout units from the window's font.
  const UiFontMetrics fm = plat_font_metrics(main);
  char_width = fm.avg_char_width;
  if (fm.pitch_and_family & 1) char_width = char_width * 3 / 2;
  char_height = fm.height + fm.external_leading;
  // A font without measurable size would make every rectangle empty and every division
  // by the units fail; one pixel keeps the arithmetic defined.
  if (char_width < 1) char_width = 1;
  if (char_height < 1) char_height = 1;
  fit_units_to_captions(main);
  scroll_x = 0;
  scroll_y = 0;
  stretch_x = 0;
  stretch_y = 0;
  undo_reset();
  close_settled = false;
  wheel_rest[0] = wheel_rest[1] = 0;

  std::memset(Settings, 0, sizeof Settings);
  for (auto &slot : TextSlots) slot[0] = '\0';

  load_workspace();
  create_controls(main);
  place_window();
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    if (ControlTable[id].kind == KIND_EDIT) plat_limit_text(ControlWindows[id], EDIT_TEXT_LIMIT);
  }
  apply_key_tooltips();
  focus_initial_control();
}

bool ui_on_close(bool unattended) {
  if (close_settled) return true;
  // A running command is stopped and joined first, so that no half-written text reaches
  // the file.
  stop_run_for_exit();
  close_settled = close_workspace(main_window, unattended);
  return close_settled;
}

void ui_on_destroy() {
  if (!close_settled) {
    stop_run_for_exit();
    close_workspace(main_window, true);
  }
  close_settled = false;  // a window made later in this process starts anew
  plat_quit(0);
}

void ui_on_paint(UiPaint *paint) {
  // During a run the painted texts come from the copies taken at its start.
  const char *texts[TEXT_SLOT_COUNT];
  for (int n = 0; n < TEXT_SLOT_COUNT; ++n) texts[n] = painted_slot_text(n);
  paint_controls(paint, texts);
  paint_position_field(paint);
}

void ui_on_command(int id, int code) {
  on_command(main_window, (static_cast<uint32_t>(code) << 16) | (static_cast<uint32_t>(id) & 0xFFFF));
}

void ui_on_size(int client_width, int client_height) {
  const int columns = client_width / char_width;
  const int rows = client_height / char_height;
  bool scrolled = false;
  // Space below the content: scroll back down, never past the top.
  if (scroll_y < 0 && rows > scroll_y + SCROLL_RANGE_LINES) {
    const int shift = std::min(-scroll_y, rows - (scroll_y + SCROLL_RANGE_LINES));
    plat_scroll_client(main_window, 0, shift * char_height);
    scroll_y += shift;
    scrolled = true;
  }
  if (scroll_x < 0 && columns > scroll_x + SCROLL_RANGE_COLUMNS) {
    const int shift = std::min(-scroll_x, columns - (scroll_x + SCROLL_RANGE_COLUMNS));
    plat_scroll_client(main_window, shift * char_width, 0);
    scroll_x += shift;
    scrolled = true;
  }
  if (fit_layout(client_width, client_height)) scrolled = true;
  if (scrolled) plat_invalidate(main_window);
  plat_set_scroll_range(main_window, UI_BAR_VERT, 0, SCROLL_RANGE_LINES, rows);
  plat_set_scroll_range(main_window, UI_BAR_HORZ, 0, SCROLL_RANGE_COLUMNS, columns);
}

// Moves a bar to pos (the platform limits it) and the content with it.
static void scroll_bar_to(UiBar bar, int old, int pos) {
  plat_set_scroll_pos(main_window, bar, pos);
  const int now = plat_get_scroll(main_window, bar).pos;
  if (now == old) return;
  if (bar == UI_BAR_VERT) {
    const int shift = std::min(old - now, -scroll_y);
    plat_scroll_client(main_window, 0, shift * char_height);
    scroll_y += shift;
    plat_update(main_window);
  } else {
    const int shift = std::min(old - now, -scroll_x);
    plat_scroll_client(main_window, shift * char_width, 0);
    scroll_x += shift;
    plat_invalidate(main_window);
  }
}

void ui_on_scroll(UiBar bar, int request, int /*track*/) {
  const UiScrollInfo info = plat_get_scroll(main_window, bar);
  const int old = info.pos;
  int pos = old;
  switch (request) {
    case UI_SB_LINEUP: pos = old - 1; break;
    case UI_SB_LINEDOWN: pos = old + 1; break;
    case UI_SB_PAGEUP: pos = old - info.page; break;
    case UI_SB_PAGEDOWN: pos = old + info.page; break;
    case UI_SB_THUMBTRACK: pos = info.track; break;
    case UI_SB_TOP: pos = info.min; break;
    case UI_SB_BOTTOM: pos = info.max; break;
    default: break;  // thumb position, end of scrolling: unchanged
  }
  scroll_bar_to(bar, old, pos);
}


void ui_on_wheel(UiBar bar, int delta) {
  if (bar != UI_BAR_HORZ && bar != UI_BAR_VERT) return;
  constexpr int NOTCH = 120, LINES_PER_NOTCH = 3;
  // Bounded: a flood of events in one direction cannot overflow the sum.
  wheel_rest[bar] = std::clamp(wheel_rest[bar] + delta, -100 * NOTCH, 100 * NOTCH);
  const int lines = wheel_rest[bar] * LINES_PER_NOTCH / NOTCH;
  if (lines == 0) return;
  wheel_rest[bar] -= lines * NOTCH / LINES_PER_NOTCH;
  const int old = plat_get_scroll(main_window, bar).pos;
  scroll_bar_to(bar, old, old - lines);
}

void ui_on_timer() { on_progress_timer(); }
