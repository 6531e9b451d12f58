// The register tools of the window (see register_tools.h).
//
// Positions: the backend gives the caret and the selection as offsets into the box's text
// as plat_get_text gives it; engine/digit_position.h turns them into significant-digit
// positions and back, so the count is the same whatever the box shows on the screen.
//
// The comparison, saving and copying read the registers first, as a command would
// (read_edit_texts, then prepare_registers): every register's number is then the value
// its box shows, at the significant digits of the digits field. They change no register,
// so they leave nothing to undo; loading a file does change one and is an undo level of
// its own ("undone: Load from file").
#include "ui/register_tools.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/digit_position.h"
#include "engine/executor.h"
#include "engine/register_text.h"
#include "engine/register_tools.h"
#include "engine/state.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/function_list.h"
#include "ui/keys.h"
#include "ui/main_window.h"
#include "ui/undo.h"

namespace {

constexpr int FIELD_BYTES = 200;
char field[FIELD_BYTES];

// The field's place in tenths of a cell: the top row, right of "#", to the right edge of
// the register boxes; it grows and shrinks with the window's width as they do.
constexpr UiRect FIELD_TENTHS = {390, 5, 1510, 17};

// A box's text, for positions (the largest text a box holds, and its NUL).
char box_text[TEXT_SLOT_BYTES];

int read_box(int box_id) {
  int n = plat_get_text(ControlWindows[box_id], box_text, TEXT_SLOT_BYTES);
  if (n < 0) n = 0;
  if (n > TEXT_SLOT_MAX_CHARS) n = TEXT_SLOT_MAX_CHARS;
  box_text[n] = '\0';
  return n;
}

bool english() { return caption_language() == 1; }

void set_status(const char *text) { slot_copy(TextSlots[SLOT_STATUS], text); }

void refuse_during_run() {
  plat_message_box(main_window, REFUSAL_MESSAGE[caption_language()], REFUSAL_TITLE, UI_MB_OK);
  plat_invalidate(main_window);
}

// The start of every tool that reads register values: the boxes into their slots, every
// register's number read at the digits field's precision. false (the status line says
// why) when the digits are invalid.
bool read_registers() {
  read_edit_texts();
  return prepare_registers() == 0;
}

// The report of a comparison in the captions' language.
void report_text(const CompareReport &r, char *buf, size_t size) {
  if (english()) {
    compare_report_text(r, buf, size);
    return;
  }
  char n1[32], n2[32];
  char pair[32];
  std::snprintf(pair, sizeof pair, "R%d と R%d は", r.a, r.b);
  switch (r.kind) {
    case COMPARE_EQUAL:
      if (r.held_equal) {
        std::snprintf(buf, size, "%s等しい", pair);
      } else {
        format_count(r.shown, n1, sizeof n1);
        std::snprintf(buf, size, "%s表示の %s 桁まで等しい", pair, n1);
      }
      return;
    case COMPARE_DIGITS:
      format_count(r.agree, n1, sizeof n1);
      format_count(static_cast<long long>(r.agree) + 1, n2, sizeof n2);
      std::snprintf(buf, size, "%s %s 桁まで一致、最初の相違は %s 桁目 (%d / %d)", pair, n1, n2, r.digit_a,
                    r.digit_b);
      return;
    case COMPARE_SIGN: std::snprintf(buf, size, "%s符号が異なる", pair); return;
    case COMPARE_EXPONENT:
      std::snprintf(buf, size, "%s指数が異なる (e%ld / e%ld)", pair, static_cast<long>(r.exp_a),
                    static_cast<long>(r.exp_b));
      return;
    case COMPARE_ZERO:
      std::snprintf(buf, size, "%s異なる: R%d は 0", pair, r.zero_a ? r.a : r.b);
      return;
    case COMPARE_MARKER:
      if (r.marker_a && r.marker_b) {
        std::snprintf(buf, size, "%s比較できない: R%d は %s、R%d は %s", pair, r.a, r.marker_a, r.b, r.marker_b);
      } else {
        std::snprintf(buf, size, "%s比較できない: R%d は %s", pair, r.marker_a ? r.a : r.b,
                      r.marker_a ? r.marker_a : r.marker_b);
      }
      return;
  }
}

int box_of_register(int n) { return ID_R0 - 2 * n; }

// Selects digit k of a box (the caret after the last digit when it has fewer).
void select_digit(int box_id, int k) {
  const int len = read_box(box_id);
  const size_t at = text_offset_of_digit(box_text, static_cast<size_t>(len), k);
  const bool digit = at < static_cast<size_t>(len) && box_text[at] >= '0' && box_text[at] <= '9';
  plat_set_selection(ControlWindows[box_id], static_cast<int>(at), static_cast<int>(at) + (digit ? 1 : 0));
}

// The register a box's partner in a comparison: R0 for R1..R4, R1 for R0.
int partner_of(int n) { return n == 0 ? 1 : 0; }

void show_error(const std::string &error) {
  plat_message_box(main_window, error.c_str(), "deepNUMS", UI_MB_ICONERROR);
  plat_invalidate(main_window);
}

}  // namespace

int register_of_box(int box_id) {
  switch (box_id) {
    case ID_R0: return 0;
    case ID_R1: return 1;
    case ID_R2: return 2;
    case ID_R3: return 3;
    case ID_R4: return 4;
    default: return -1;
  }
}

int register_box_in_focus() {
  const int id = plat_focused_id(main_window);
  return register_of_box(id) >= 0 ? id : ID_R0;
}

const char *position_field_text() { return field; }

UiRect position_field_rect() {
  ControlDef place{};
  place.rect = FIELD_TENTHS;
  UiRect r = control_rect(place);
  r.right += stretch_x;
  return r;
}

void position_field_update() {
  char text[FIELD_BYTES] = "";
  const int id = main_window ? plat_focused_id(main_window) : -1;
  const int n = register_of_box(id);
  if (n >= 0 && !command_running()) {
    const int len = read_box(id);
    int start = 0, end = 0;
    plat_get_selection(ControlWindows[id], &start, &end);
    const size_t s = static_cast<size_t>(start < 0 ? 0 : start), e = static_cast<size_t>(end < start ? start : end);
    const int total = text_digit_total(box_text, static_cast<size_t>(len));
    const int before = text_digits_before(box_text, static_cast<size_t>(len), s);
    const int selected = text_digits_before(box_text, static_cast<size_t>(len), e) - before;
    // The caret stands before a digit; after the last one it counts as on the last one.
    const int at = before + 1 > total ? total : before + 1;
    char where[32], all[32], chosen[32];
    format_count(at, where, sizeof where);
    format_count(total, all, sizeof all);
    format_count(selected, chosen, sizeof chosen);
    if (total == 0) {
      std::snprintf(text, sizeof text, english() ? "R%d: no significant digits" : "R%d: 有効桁なし", n);
    } else if (english()) {
      std::snprintf(text, sizeof text, "R%d: digit %s of %s", n, where, all);
      if (e > s) {
        const size_t used = std::strlen(text);
        std::snprintf(text + used, sizeof text - used, ", selected %s digit%s", chosen, selected == 1 ? "" : "s");
      }
    } else {
      std::snprintf(text, sizeof text, "R%d: %s 桁中 %s 桁目", n, all, where);
      if (e > s) {
        const size_t used = std::strlen(text);
        std::snprintf(text + used, sizeof text - used, "、%s 桁を選択", chosen);
      }
    }
  }
  if (std::strcmp(text, field) == 0) return;
  std::memcpy(field, text, sizeof field);
  if (main_window) plat_invalidate_rect(main_window, position_field_rect());
}

void paint_position_field(UiPaint *paint) {
  if (field[0] == '\0') return;
  const UiRect r = position_field_rect();
  if (r.left < 0) return;  // scrolled out to the left, as the table's painted entries
  plat_draw_text(paint, field, r, STYLE_PAINTED);
}

void go_to_digit(int box_id) {
  if (command_running()) return refuse_during_run();
  const int n = register_of_box(box_id);
  if (n < 0) return;
  UiHandle w = ControlWindows[box_id];
  const int len = read_box(box_id);
  const int total = text_digit_total(box_text, static_cast<size_t>(len));
  char text[160];
  if (total == 0) {
    std::snprintf(text, sizeof text, english() ? "R%d has no significant digits" : "R%d には有効桁がありません", n);
    set_status(text);
    plat_invalidate(main_window);
    return;
  }
  int start = 0, end = 0;
  plat_get_selection(w, &start, &end);
  const int now = text_digits_before(box_text, static_cast<size_t>(len), static_cast<size_t>(start < 0 ? 0 : start)) + 1;
  char initial[32], all[32];
  format_count(now > total ? total : now, initial, sizeof initial);
  format_count(total, all, sizeof all);
  char label[120];
  std::snprintf(label, sizeof label, english() ? "Digit of R%d (1 to %s):" : "R%d の桁位置 (1 ～ %s):", n, all);
  char answer[64];
  if (!plat_prompt(main_window, english() ? "Go to digit" : "指定桁へ移動", label, initial, "OK",
                   english() ? "Cancel" : "キャンセル", answer, sizeof answer)) {
    return;
  }
  int k = parse_position(answer);
  if (k <= 0) {
    std::snprintf(text, sizeof text, english() ? "Not a digit position: %.60s" : "桁位置ではありません: %.60s", answer);
    set_status(text);
    plat_invalidate(main_window);
    return;
  }
  if (k > total) k = total;
  const size_t at = text_offset_of_digit(box_text, static_cast<size_t>(len), k);
  plat_set_focus(w);
  plat_set_selection(w, static_cast<int>(at), static_cast<int>(at));
  position_field_update();
}

void compare_registers_of(int box_id) {
  if (command_running()) return refuse_during_run();
  const int n = register_of_box(box_id);
  if (n < 0) return;
  const int a = n == 0 ? 0 : partner_of(n), b = n == 0 ? partner_of(0) : n;
  if (read_registers()) {
    CompareReport r;
    compare_registers(a, b, &r);
    char text[300];
    report_text(r, text, sizeof text);
    set_status(text);
    if (r.kind == COMPARE_DIGITS) {
      select_digit(box_of_register(a), r.agree + 1);
      select_digit(box_of_register(b), r.agree + 1);
      position_field_update();
    }
  }
  plat_invalidate(main_window);
}

void copy_as_number(int box_id) {
  if (command_running()) return refuse_during_run();
  const int n = register_of_box(box_id);
  if (n < 0) return;
  if (read_registers()) {
    static char plain[TEXT_SLOT_BYTES], number[TEXT_SLOT_BYTES];
    register_plain_text(n, plain);
    char text[160];
    if (!number_export_text(plain, number, sizeof number)) {
      std::snprintf(text, sizeof text, english() ? "R%d holds %.20s, not a number: nothing copied" : "R%d は %.20s で数値ではありません: コピーしません", n, plain);
    } else if (!plat_set_clipboard(number)) {
      std::snprintf(text, sizeof text, english() ? "The clipboard cannot be used: nothing copied" : "クリップボードが使えません: コピーしません");
    } else {
      std::snprintf(text, sizeof text, english() ? "R%d copied as a number" : "R%d を数値としてコピーしました", n);
    }
    set_status(text);
  }
  plat_invalidate(main_window);
}

void save_register_file(int box_id) {
  if (command_running()) return refuse_during_run();
  const int n = register_of_box(box_id);
  if (n < 0) return;
  char suggested[16], path[4096];
  std::snprintf(suggested, sizeof suggested, "R%d.txt", n);
  if (!plat_choose_save_file(main_window, english() ? "Save to file" : "ファイルに保存", UI_FILE_NUMBER, suggested, path,
                             sizeof path))
    return;
  if (read_registers()) {
    static char plain[TEXT_SLOT_BYTES];
    char comment[100];
    register_plain_text(n, plain);
    register_file_comment(n, comment, sizeof comment);
    std::string error;
    if (!register_file_write(path, comment, plain, &error)) {
      show_error(error);
      return;
    }
    char head[64];
    std::snprintf(head, sizeof head, english() ? "R%d saved to " : "R%d を保存しました: ", n);
    set_status((std::string(head) + path).c_str());
  }
  plat_invalidate(main_window);
}

void load_register_file(int box_id) {
  if (command_running()) return refuse_during_run();
  const int n = register_of_box(box_id);
  if (n < 0) return;
  char path[4096];
  if (!plat_choose_open_file(main_window, english() ? "Load from file" : "ファイルから読込", UI_FILE_NUMBER, path, sizeof path))
    return;
  static char value[TEXT_SLOT_BYTES];
  std::string error;
  if (register_file_read(path, value, &error) != 0) {
    show_error(error);
    return;
  }
  // The state before the load becomes an undo level, as a command's does.
  read_edit_texts();
  undo_record(UNDO_LOAD_FILE);
  slot_copy(TextSlots[n], value);
  plat_set_text(ControlWindows[box_id], TextSlots[n]);
  undo_drop_if_unchanged();
  char head[64];
  std::snprintf(head, sizeof head, english() ? "R%d loaded from " : "R%d に読み込みました: ", n);
  set_status((std::string(head) + path).c_str());
  position_field_update();
  plat_invalidate(main_window);
}

void ui_on_caret(int /*id*/) { position_field_update(); }

bool ui_on_context_menu(int id) {
  const int n = register_of_box(id);
  if (n < 0) return grid_context_menu(id);
  if (command_running()) {
    refuse_during_run();
    return true;
  }
  const bool en = english();
  const KeyBinding *compare_key = key_for(KEY_COMPARE), *go_key = key_for(KEY_GO_TO_DIGIT);
  char compare_item[80], go_item[80];
  std::snprintf(compare_item, sizeof compare_item, en ? "Compare with R%d\t%s" : "R%d と比較\t%s", partner_of(n),
                compare_key ? key_name(*compare_key).c_str() : "");
  std::snprintf(go_item, sizeof go_item, en ? "Go to digit…\t%s" : "指定桁へ移動…\t%s",
                go_key ? key_name(*go_key).c_str() : "");
  const char *items[] = {compare_item, go_item, en ? "Copy as number" : "数値としてコピー",
                         en ? "Save to file…" : "ファイルに保存…", en ? "Load from file…" : "ファイルから読込…"};
  switch (plat_context_menu(ControlWindows[id], items, 5)) {
    case 0: compare_registers_of(id); break;
    case 1: go_to_digit(id); break;
    case 2: copy_as_number(id); break;
    case 3: save_register_file(id); break;
    case 4: load_register_file(id); break;
    default: break;
  }
  return true;
}
