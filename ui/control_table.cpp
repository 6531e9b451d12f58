// The control table and the routines it drives.
//
// The table is the only description of the window: creation, painting, captions, reading
// the edit boxes back and dispatching button presses all walk it in id order. Captions
// are UTF-8; the backend turns them into whatever its display layer wants.
#include "ui/control_table.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <cstring>

#include "engine/state.h"

// Rectangles below are left, top, right, bottom in tenths of a character cell.
const ControlDef ControlTable[CONTROL_COUNT] = {
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 6, 250, 16},
     {"10万桁関数電卓", "100,000 digits Scientific Calculator"}},  // 0
    {KIND_LABEL, -1, -1, STYLE_RIGHT, {260, 5, 350, 17}, {"有効桁数", "Significant digits"}},  // 1
    {KIND_EDIT, SLOT_SIG_DIGITS, -1, STYLE_FIELD, {360, 5, 420, 17}, {nullptr, nullptr}},  // 2
    {KIND_LABEL, -1, -1, STYLE_RIGHT, {430, 5, 600, 17},
     {"最小拡張桁数", "Minimum extension digits"}},  // 3
    {KIND_SLOT_TEXT, SLOT_MIN_EXT_DIGITS, -1, STYLE_PAINTED, {610, 5, 640, 17},
     {nullptr, nullptr}},  // 4
    {KIND_LABEL, -1, -1, STYLE_RIGHT, {650, 5, 740, 17}, {"内部桁数", "Internal digits"}},  // 5
    {KIND_SLOT_TEXT, SLOT_INTERNAL_DIGITS, -1, STYLE_PAINTED, {750, 5, 810, 17},
     {nullptr, nullptr}},  // 6
    {KIND_NONE, -1, -1, STYLE_NONE, {0, 0, 0, 0}, {nullptr, nullptr}},  // 7
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {830, 5, 920, 17}, {"English", "Japanese"}},  // 8
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {925, 5, 940, 17}, {"#", "#"}},  // 9
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 20, 30, 32}, {"R4", "R4"}},  // 10
    {KIND_EDIT, SLOT_R4, -1, STYLE_REGISTER, {35, 20, 1510, 87}, {nullptr, nullptr}},  // 11
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 90, 30, 102}, {"R3", "R3"}},  // 12
    {KIND_EDIT, SLOT_R3, -1, STYLE_REGISTER, {35, 90, 1510, 157}, {nullptr, nullptr}},  // 13
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 160, 30, 172}, {"R2", "R2"}},  // 14
    {KIND_EDIT, SLOT_R2, -1, STYLE_REGISTER, {35, 160, 1510, 227}, {nullptr, nullptr}},  // 15
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 230, 30, 242}, {"R1", "R1"}},  // 16
    {KIND_EDIT, SLOT_R1, -1, STYLE_REGISTER, {35, 230, 1510, 297}, {nullptr, nullptr}},  // 17
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 300, 30, 312}, {"R0", "R0"}},  // 18
    {KIND_EDIT, SLOT_R0, -1, STYLE_REGISTER, {35, 300, 1510, 367}, {nullptr, nullptr}},  // 19
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 370, 30, 382}, {"R5", "R5"}},  // 20
    {KIND_SLOT_TEXT, SLOT_R5, -1, STYLE_PAINTED, {35, 370, 300, 382}, {nullptr, nullptr}},  // 21
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {310, 370, 330, 382}, {"R6", "R6"}},  // 22
    {KIND_SLOT_TEXT, SLOT_R6, -1, STYLE_PAINTED, {335, 370, 600, 382}, {nullptr, nullptr}},  // 23
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {610, 370, 630, 382}, {"R7", "R7"}},  // 24
    {KIND_SLOT_TEXT, SLOT_R7, -1, STYLE_PAINTED, {635, 370, 900, 382}, {nullptr, nullptr}},  // 25
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {910, 370, 930, 382}, {"R8", "R8"}},  // 26
    {KIND_SLOT_TEXT, SLOT_R8, -1, STYLE_PAINTED, {935, 370, 1200, 382}, {nullptr, nullptr}},  // 27
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {1210, 370, 1230, 382}, {"R9", "R9"}},  // 28
    {KIND_SLOT_TEXT, SLOT_R9, -1, STYLE_PAINTED, {1235, 370, 1500, 382}, {nullptr, nullptr}},  // 29
    {KIND_GROUP, -1, -1, STYLE_GROUP, {30, 390, 110, 435}, {"単位選択", "Unit select"}},  // 30
    {KIND_RADIO, SET_ANGLE_UNIT, 31, STYLE_RADIO, {35, 405, 105, 417}, {"度", "degree"}},  // 31
    {KIND_RADIO, SET_ANGLE_UNIT, 31, STYLE_RADIO, {35, 420, 105, 432}, {"ラジアン", "radian"}},  // 32
    {KIND_CHECK, SET_COMPACT_MEM, -1, STYLE_CHECK, {10, 440, 110, 452},
     {"省メモリ", "Compact mem."}},  // 33
    {KIND_CHECK, SET_BARE_DIGITS, -1, STYLE_CHECK, {10, 455, 110, 467},
     {"内部桁表示", "Bare digits"}},  // 34
    // The 60 operation buttons: id 35 + 5 * column + row; row r spans y 390 + 15r to +12,
    // column 0 spans x 120..140, column c >= 1 spans 150 + 55(c - 1) to +45.
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {120, 390, 140, 402}, {"+", "+"}},  // 35
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {120, 405, 140, 417}, {"-", "-"}},  // 36
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {120, 420, 140, 432}, {"*", "*"}},  // 37
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {120, 435, 140, 447}, {"/", "/"}},  // 38
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {120, 450, 140, 462}, {"%", "%"}},  // 39
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {150, 390, 195, 402}, {"up", "up"}},  // 40
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {150, 405, 195, 417}, {"down", "down"}},  // 41
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {150, 420, 195, 432}, {"1/x", "1/x"}},  // 42
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {150, 435, 195, 447}, {"√", "SQRT"}},  // 43
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {150, 450, 195, 462}, {"3√", "CBRT"}},  // 44
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {205, 390, 250, 402}, {"dup", "dup"}},  // 45
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {205, 405, 250, 417}, {"0<->1", "0<->1"}},  // 46
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {205, 420, 250, 432}, {"x ^ y", "x ^ y"}},  // 47
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {205, 435, 250, 447}, {"x ^ 2", "x ^ 2"}},  // 48
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {205, 450, 250, 462}, {"x ^ 3", "x ^ 3"}},  // 49
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {260, 390, 305, 402}, {"sin", "sin"}},  // 50
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {260, 405, 305, 417}, {"cos", "cos"}},  // 51
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {260, 420, 305, 432}, {"tan", "tan"}},  // 52
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {260, 435, 305, 447}, {"exp", "exp"}},  // 53
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {260, 450, 305, 462}, {"10 ^ x", "10 ^ n"}},  // 54
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {315, 390, 360, 402}, {"asin", "asin"}},  // 55
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {315, 405, 360, 417}, {"acos", "acos"}},  // 56
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {315, 420, 360, 432}, {"atan", "atan"}},  // 57
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {315, 435, 360, 447}, {"loge", "loge"}},  // 58
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {315, 450, 360, 462}, {"log10", "log10"}},  // 59
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {370, 390, 415, 402}, {"sinh", "sinh"}},  // 60
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {370, 405, 415, 417}, {"cosh", "cosh"}},  // 61
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {370, 420, 415, 432}, {"tanh", "tanh"}},  // 62
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {370, 435, 415, 447}, {"π", "pi"}},  // 63
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {370, 450, 415, 462}, {"ｅ", "e"}},  // 64
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 390, 470, 402}, {"asinh", "asinh"}},  // 65
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 405, 470, 417}, {"acosh", "acosh"}},  // 66
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 420, 470, 432}, {"atanh", "atanh"}},  // 67
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 435, 470, 447}, {"ACLR", "ACLR"}},  // 68
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 450, 470, 462}, {"MCLR", "MCLR"}},  // 69
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {480, 390, 525, 402}, {"->R5", "->R5"}},  // 70
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {480, 405, 525, 417}, {"->R6", "->R6"}},  // 71
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {480, 420, 525, 432}, {"->R7", "->R7"}},  // 72
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {480, 435, 525, 447}, {"->R8", "->R8"}},  // 73
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {480, 450, 525, 462}, {"->R9", "->R9"}},  // 74
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {535, 390, 580, 402}, {"R5->", "R5->"}},  // 75
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {535, 405, 580, 417}, {"R6->", "R6->"}},  // 76
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {535, 420, 580, 432}, {"R7->", "R7->"}},  // 77
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {535, 435, 580, 447}, {"R8->", "R8->"}},  // 78
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {535, 450, 580, 462}, {"R9->", "R9->"}},  // 79
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {590, 390, 635, 402}, {"CLR5", "CLR5"}},  // 80
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {590, 405, 635, 417}, {"CLR6", "CLR6"}},  // 81
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {590, 420, 635, 432}, {"CLR7", "CLR7"}},  // 82
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {590, 435, 635, 447}, {"CLR8", "CLR8"}},  // 83
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {590, 450, 635, 462}, {"CLR9", "CLR9"}},  // 84
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {645, 390, 690, 402}, {"!", "!"}},  // 85
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {645, 405, 690, 417}, {"+/-", "+/-"}},  // 86
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {645, 420, 690, 432}, {"| x |", "| x |"}},  // 87
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {645, 435, 690, 447}, {"---", "---"}},  // 88
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {645, 450, 690, 462}, {"---", "---"}},  // 89
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {700, 390, 745, 402}, {"9詰め", "fill w/9"}},  // 90
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {700, 405, 745, 417}, {"丸め", "R.Off"}},  // 91
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {700, 420, 745, 432}, {"IP", "IP"}},  // 92
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {700, 435, 745, 447}, {"FP", "FP"}},  // 93
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {700, 450, 745, 462}, {"EP", "EP"}},  // 94
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {760, 390, 960, 402},
     {"下記を実行", "Perform the following"}},  // 95
    {KIND_PUSH, -1, GROUP_RUN_ONLY, STYLE_PLAIN, {970, 390, 1030, 402}, {"中止", "Cancel"}},  // 96
    {KIND_SLOT_TEXT, SLOT_STATUS, -1, STYLE_PAINTED, {1040, 390, 1510, 402}, {nullptr, nullptr}},  // 97
    {KIND_EDIT, SLOT_SCRIPT, -1, STYLE_SCRIPT, {760, 405, 1510, 462}, {nullptr, nullptr}},  // 98
    {KIND_CHECK, SET_PLANE_DISP, -1, STYLE_CHECK, {10, 470, 110, 482}, {"べた表示", "Plane disp."}},  // 99
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {120, 465, 700, 477},
     {"操作例：(1)R1,R0に数値入力、(2)-ボタンを押す、(3)R0 = R1 - R0 (R1,R0->R2,R1)",
      "Operation ex.: (1)Enter some number to R1, R0 (2)Push - button (3)R0 = R1 - R0 "
      "(R1,R0->R2,R1)"}},  // 100
    // In the top row beside the digit counts it governs: the option column below "Plane
    // disp." has no room left inside the layout's extent.
    {KIND_CHECK, SET_EXACT_DIGITS, -1, STYLE_CHECK, {955, 5, 1075, 17},
     {"全桁正確", "Exact digits"}},  // 101
};

UiHandle ControlWindows[CONTROL_COUNT];

int32_t char_width = 8;
int32_t char_height = 16;
int32_t scroll_x = 0;
int32_t scroll_y = 0;
int32_t stretch_width = 0;

int caption_language() { return Settings[SET_LANGUAGE] == 1 ? 1 : 0; }

// One coordinate: tenths of a unit to pixels, the product first, truncating toward zero,
// then the scroll offset in whole units.
static int32_t tenths_to_pixels(int32_t tenths, int32_t unit, int32_t offset) {
  return static_cast<int32_t>(static_cast<int64_t>(tenths) * unit / 10 +
                              static_cast<int64_t>(unit) * offset);
}

// How an entry follows a client area wider than the content: the full-width entries
// (registers R4..R0, status line, script box) grow by the whole stretch; the five memory
// columns R5..R9 (a label and its painted text each) share it, column k moving right by
// k fifths and its text growing by one fifth.
struct Stretch {
  int id;
  int move_fifths, grow_fifths;
};
constexpr Stretch STRETCHES[] = {
    {11, 0, 5}, {13, 0, 5}, {15, 0, 5}, {17, 0, 5}, {19, 0, 5}, {97, 0, 5}, {98, 0, 5},
    {20, 0, 0}, {21, 0, 1}, {22, 1, 0}, {23, 1, 1}, {24, 2, 0}, {25, 2, 1},
    {26, 3, 0}, {27, 3, 1}, {28, 4, 0}, {29, 4, 1},
};

static const Stretch *stretch_of(const ControlDef &control) {
  if (stretch_width == 0) return nullptr;
  // Entries outside the table (tests build some) never stretch.
  const ControlDef *first = ControlTable, *end = ControlTable + CONTROL_COUNT;
  if (std::less<const ControlDef *>()(&control, first) || !std::less<const ControlDef *>()(&control, end))
    return nullptr;
  const int id = static_cast<int>(&control - first);
  for (const Stretch &s : STRETCHES) {
    if (s.id == id) return &s;
  }
  return nullptr;
}

UiRect control_rect(const ControlDef &control) {
  UiRect r;
  r.left = tenths_to_pixels(control.rect.left, char_width, scroll_x);
  r.right = tenths_to_pixels(control.rect.right, char_width, scroll_x);
  r.top = tenths_to_pixels(control.rect.top, char_height, scroll_y);
  r.bottom = tenths_to_pixels(control.rect.bottom, char_height, scroll_y);
  if (const Stretch *s = stretch_of(control)) {
    const int32_t shift = stretch_width * s->move_fifths / 5;
    r.left += shift;
    r.right += shift + stretch_width * s->grow_fifths / 5;
  }
  return r;
}

bool stretch_layout(int client_width) {
  const int64_t content = static_cast<int64_t>(SCROLL_RANGE_COLUMNS) * char_width;
  const int32_t stretch = static_cast<int32_t>(std::clamp<int64_t>(client_width - content, 0, 1 << 20));
  if (stretch == stretch_width) return false;
  stretch_width = stretch;
  for (const Stretch &s : STRETCHES) {
    UiHandle w = ControlWindows[s.id];
    if (!w) continue;
    const UiRect r = control_rect(ControlTable[s.id]);
    plat_move_window(w, r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  return true;
}

WindowSize default_window_size(UiHandle main) {
  WindowSize s;
  s.width = static_cast<int>(static_cast<int64_t>(char_width) * 1540 / 10 + 10);
  s.height = static_cast<int>(static_cast<int64_t>(char_height) * 510 / 10);
  const UiRect work = plat_work_area(main);
  const int work_w = work.right - work.left, work_h = work.bottom - work.top;
  // A screen that reports no area leaves the size as it is; the content scrolls anyway.
  if (work_w > 0 && s.width > work_w) s.width = work_w;
  if (work_h > 0 && s.height > work_h) s.height = work_h;
  return s;
}

void restore_default_size(UiHandle main) {
  const WindowSize s = default_window_size(main);
  const UiRect work = plat_work_area(main);
  UiRect r;
  if (plat_window_rect(main, &r) && work.right > work.left && work.bottom > work.top) {
    // The position stays unless the window would then reach past the available area.
    int64_t x = r.left, y = r.top;
    if (x + s.width > work.right) x = std::max<int64_t>(work.left, work.right - s.width);
    if (y + s.height > work.bottom) y = std::max<int64_t>(work.top, work.bottom - s.height);
    if (x != r.left || y != r.top) {
      plat_move_window(main, static_cast<int>(x), static_cast<int>(y), s.width, s.height);
      return;
    }
  }
  plat_resize_window(main, s.width, s.height);
}

void invalidate_control(UiHandle main, int id) {
  if (id < 0 || id >= CONTROL_COUNT) return;
  plat_invalidate_rect(main, control_rect(ControlTable[id]));
}

static bool valid_setting(int32_t index) { return index >= 0 && index < SETTINGS_COUNT; }
static bool valid_slot(int32_t index) { return index >= 0 && index < TEXT_SLOT_COUNT; }

// The window class a kind creates, or false for the kinds that create nothing.
static bool window_class_of(int32_t kind, UiClass *cls) {
  if (kind >= KIND_PUSH && kind <= KIND_GROUP) {
    *cls = UI_CLASS_BUTTON;
  } else if (kind >= KIND_LABEL && kind <= KIND_SETTING_LABEL_HEX) {
    *cls = UI_CLASS_STATIC;
  } else if (kind == KIND_EDIT) {
    *cls = UI_CLASS_EDIT;
  } else {
    return false;
  }
  return true;
}

// Formatting buffer for numbers shown by labels and painted entries: always holds a
// formatted 32-bit value.
static char number_text[50];

void create_controls(UiHandle main) {
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    ControlWindows[id] = nullptr;
    UiClass cls;
    if (!window_class_of(c.kind, &cls)) continue;
    UiHandle w = plat_create_control(main, cls, " ", c.style, control_rect(c), id);
    ControlWindows[id] = w;
    switch (c.kind) {
      case KIND_RADIO:
        if (valid_setting(c.index) && Settings[c.index] == id - c.group) plat_set_check(w, true);
        break;
      case KIND_CHECK:
        if (valid_setting(c.index) && Settings[c.index] != 0) plat_set_check(w, true);
        break;
      case KIND_SLOT_LABEL:
      case KIND_EDIT:
        if (valid_slot(c.index)) plat_set_text(w, TextSlots[c.index]);
        break;
      case KIND_SETTING_LABEL_DEC:
      case KIND_SETTING_LABEL_HEX:
        if (valid_setting(c.index)) {
          std::snprintf(number_text, sizeof number_text,
                        c.kind == KIND_SETTING_LABEL_DEC ? "%d" : "%x",
                        static_cast<int>(Settings[c.index]));
          plat_set_text(w, number_text);
        }
        break;
      default:
        break;
    }
    if (c.kind != KIND_RADIO && c.group == GROUP_RUN_ONLY) plat_enable(w, false);
  }
  set_captions();
}

void paint_controls(UiPaint *paint, const char *const slot_texts[TEXT_SLOT_COUNT]) {
  plat_paint_colors(paint, plat_system_color(UI_COLOR_BTNTEXT),
                    plat_system_color(UI_COLOR_BTNFACE));
  const int language = caption_language();
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    if (c.kind != KIND_CAPTION && c.kind != KIND_SLOT_TEXT && c.kind != KIND_SETTING_DEC &&
        c.kind != KIND_SETTING_HEX && c.kind != KIND_EDGE)
      continue;
    const UiRect r = control_rect(c);
    if (r.left < 0) continue;  // scrolled out to the left, even partly: not drawn
    switch (c.kind) {
      case KIND_CAPTION:
        if (c.caption[language]) plat_draw_text(paint, c.caption[language], r, c.style);
        break;
      case KIND_SLOT_TEXT:
        if (valid_slot(c.index) && slot_texts[c.index])
          plat_draw_text(paint, slot_texts[c.index], r, c.style);
        break;
      case KIND_SETTING_DEC:
      case KIND_SETTING_HEX:
        if (valid_setting(c.index)) {
          std::snprintf(number_text, sizeof number_text,
                        c.kind == KIND_SETTING_DEC ? "%d" : "%#x",
                        static_cast<int>(Settings[c.index]));
          plat_draw_text(paint, number_text, r, c.style);
        }
        break;
      case KIND_EDGE:
        plat_draw_edge(paint, r, c.style, static_cast<uint32_t>(c.group));
        break;
      default:
        break;
    }
  }
}

void set_captions() {
  const int language = caption_language();
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    if ((c.kind >= KIND_PUSH && c.kind <= KIND_GROUP) || c.kind == KIND_LABEL) {
      if (c.caption[language]) plat_set_text(ControlWindows[id], c.caption[language]);
    }
  }
}

void read_edit_texts() {
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    if (c.kind != KIND_EDIT || !valid_slot(c.index)) continue;
    char *slot = TextSlots[c.index];
    // A null handle reads as nothing and leaves the slot as it is.
    if (!ControlWindows[id]) continue;
    int n = plat_get_text(ControlWindows[id], slot, TEXT_SLOT_BYTES);
    if (n < 0) n = 0;
    if (n > TEXT_SLOT_MAX_CHARS) n = TEXT_SLOT_MAX_CHARS;
    slot[n] = '\0';
  }
}
