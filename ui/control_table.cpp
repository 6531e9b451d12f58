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

// Rectangles below are left, top, right, bottom in tenths of a character cell, as laid out
// in the natural content size of 152 columns by 49 lines: two top rows (the title, the
// language and "#"; the digit counts and "Exact digits"), the five register boxes, the
// memory line, and the lower part (the options, the operation grid with the help line
// below it, and the script column: "Perform the following", then "Cancel" beside the status
// line, then the script box). Every caption fits its rectangle at a column of 1.5 average
// character widths; ui_on_create widens the column where a font needs more.
const ControlDef ControlTable[CONTROL_COUNT] = {
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 5, 250, 17},
     {"10万桁関数電卓", "100,000 digits Scientific Calculator"}},  // 0
    {KIND_LABEL, -1, -1, STYLE_RIGHT, {10, 20, 130, 32}, {"有効桁数", "Significant digits"}},  // 1
    {KIND_EDIT, SLOT_SIG_DIGITS, -1, STYLE_FIELD, {140, 20, 200, 32}, {nullptr, nullptr}},  // 2
    {KIND_LABEL, -1, -1, STYLE_RIGHT, {210, 20, 390, 32},
     {"最小拡張桁数", "Minimum extension digits"}},  // 3
    {KIND_SLOT_TEXT, SLOT_MIN_EXT_DIGITS, -1, STYLE_PAINTED, {400, 20, 430, 32},
     {nullptr, nullptr}},  // 4
    {KIND_LABEL, -1, -1, STYLE_RIGHT, {440, 20, 540, 32}, {"内部桁数", "Internal digits"}},  // 5
    {KIND_SLOT_TEXT, SLOT_INTERNAL_DIGITS, -1, STYLE_PAINTED, {550, 20, 610, 32},
     {nullptr, nullptr}},  // 6
    {KIND_NONE, -1, -1, STYLE_NONE, {0, 0, 0, 0}, {nullptr, nullptr}},  // 7
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {260, 5, 350, 17}, {"English", "Japanese"}},  // 8
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {355, 5, 375, 17}, {"#", "#"}},  // 9
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 35, 30, 47}, {"R4", "R4"}},  // 10
    {KIND_EDIT, SLOT_R4, -1, STYLE_REGISTER, {35, 35, 1510, 99}, {nullptr, nullptr}},  // 11
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 102, 30, 114}, {"R3", "R3"}},  // 12
    {KIND_EDIT, SLOT_R3, -1, STYLE_REGISTER, {35, 102, 1510, 166}, {nullptr, nullptr}},  // 13
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 169, 30, 181}, {"R2", "R2"}},  // 14
    {KIND_EDIT, SLOT_R2, -1, STYLE_REGISTER, {35, 169, 1510, 233}, {nullptr, nullptr}},  // 15
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 236, 30, 248}, {"R1", "R1"}},  // 16
    {KIND_EDIT, SLOT_R1, -1, STYLE_REGISTER, {35, 236, 1510, 300}, {nullptr, nullptr}},  // 17
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {10, 303, 30, 315}, {"R0", "R0"}},  // 18
    {KIND_EDIT, SLOT_R0, -1, STYLE_REGISTER, {35, 303, 1510, 367}, {nullptr, nullptr}},  // 19
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
    {KIND_GROUP, -1, -1, STYLE_GROUP, {10, 390, 145, 435}, {"単位選択", "Unit select"}},  // 30
    {KIND_RADIO, SET_ANGLE_UNIT, 31, STYLE_RADIO, {15, 405, 140, 417}, {"度", "degree"}},  // 31
    {KIND_RADIO, SET_ANGLE_UNIT, 31, STYLE_RADIO, {15, 420, 140, 432}, {"ラジアン", "radian"}},  // 32
    {KIND_CHECK, SET_COMPACT_MEM, -1, STYLE_CHECK, {10, 440, 145, 452},
     {"省メモリ", "Compact mem."}},  // 33
    {KIND_CHECK, SET_BARE_DIGITS, -1, STYLE_CHECK, {10, 455, 145, 467},
     {"内部桁表示", "Bare digits"}},  // 34
    // The 60 operation buttons: id 35 + 5 * column + row; row r spans y 390 + 15r to +12,
    // column 0 spans x 155..175, column c >= 1 spans 185 + 60(c - 1) to +55.
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {155, 390, 175, 402}, {"+", "+"}},  // 35
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {155, 405, 175, 417}, {"-", "-"}},  // 36
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {155, 420, 175, 432}, {"*", "*"}},  // 37
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {155, 435, 175, 447}, {"/", "/"}},  // 38
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {155, 450, 175, 462}, {"%", "%"}},  // 39
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {185, 390, 240, 402}, {"up", "up"}},  // 40
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {185, 405, 240, 417}, {"down", "down"}},  // 41
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {185, 420, 240, 432}, {"1/x", "1/x"}},  // 42
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {185, 435, 240, 447}, {"√", "SQRT"}},  // 43
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {185, 450, 240, 462}, {"3√", "CBRT"}},  // 44
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {245, 390, 300, 402}, {"dup", "dup"}},  // 45
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {245, 405, 300, 417}, {"0<->1", "0<->1"}},  // 46
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {245, 420, 300, 432}, {"x ^ y", "x ^ y"}},  // 47
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {245, 435, 300, 447}, {"x ^ 2", "x ^ 2"}},  // 48
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {245, 450, 300, 462}, {"x ^ 3", "x ^ 3"}},  // 49
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {305, 390, 360, 402}, {"sin", "sin"}},  // 50
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {305, 405, 360, 417}, {"cos", "cos"}},  // 51
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {305, 420, 360, 432}, {"tan", "tan"}},  // 52
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {305, 435, 360, 447}, {"exp", "exp"}},  // 53
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {305, 450, 360, 462}, {"10 ^ x", "10 ^ n"}},  // 54
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {365, 390, 420, 402}, {"asin", "asin"}},  // 55
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {365, 405, 420, 417}, {"acos", "acos"}},  // 56
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {365, 420, 420, 432}, {"atan", "atan"}},  // 57
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {365, 435, 420, 447}, {"loge", "loge"}},  // 58
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {365, 450, 420, 462}, {"log10", "log10"}},  // 59
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 390, 480, 402}, {"sinh", "sinh"}},  // 60
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 405, 480, 417}, {"cosh", "cosh"}},  // 61
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 420, 480, 432}, {"tanh", "tanh"}},  // 62
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 435, 480, 447}, {"π", "pi"}},  // 63
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {425, 450, 480, 462}, {"ｅ", "e"}},  // 64
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {485, 390, 540, 402}, {"asinh", "asinh"}},  // 65
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {485, 405, 540, 417}, {"acosh", "acosh"}},  // 66
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {485, 420, 540, 432}, {"atanh", "atanh"}},  // 67
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {485, 435, 540, 447}, {"ACLR", "ACLR"}},  // 68
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {485, 450, 540, 462}, {"MCLR", "MCLR"}},  // 69
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {545, 390, 600, 402}, {"->R5", "->R5"}},  // 70
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {545, 405, 600, 417}, {"->R6", "->R6"}},  // 71
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {545, 420, 600, 432}, {"->R7", "->R7"}},  // 72
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {545, 435, 600, 447}, {"->R8", "->R8"}},  // 73
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {545, 450, 600, 462}, {"->R9", "->R9"}},  // 74
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {605, 390, 660, 402}, {"R5->", "R5->"}},  // 75
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {605, 405, 660, 417}, {"R6->", "R6->"}},  // 76
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {605, 420, 660, 432}, {"R7->", "R7->"}},  // 77
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {605, 435, 660, 447}, {"R8->", "R8->"}},  // 78
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {605, 450, 660, 462}, {"R9->", "R9->"}},  // 79
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {665, 390, 720, 402}, {"CLR5", "CLR5"}},  // 80
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {665, 405, 720, 417}, {"CLR6", "CLR6"}},  // 81
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {665, 420, 720, 432}, {"CLR7", "CLR7"}},  // 82
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {665, 435, 720, 447}, {"CLR8", "CLR8"}},  // 83
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {665, 450, 720, 462}, {"CLR9", "CLR9"}},  // 84
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {725, 390, 780, 402}, {"!", "!"}},  // 85
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {725, 405, 780, 417}, {"+/-", "+/-"}},  // 86
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {725, 420, 780, 432}, {"| x |", "| x |"}},  // 87
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {725, 435, 780, 447}, {"---", "---"}},  // 88
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {725, 450, 780, 462}, {"---", "---"}},  // 89
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {785, 390, 840, 402}, {"9詰め", "fill w/9"}},  // 90
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {785, 405, 840, 417}, {"丸め", "R.Off"}},  // 91
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {785, 420, 840, 432}, {"IP", "IP"}},  // 92
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {785, 435, 840, 447}, {"FP", "FP"}},  // 93
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {785, 450, 840, 462}, {"EP", "EP"}},  // 94
    {KIND_PUSH, -1, -1, STYLE_PLAIN, {855, 390, 1010, 402},
     {"下記を実行", "Perform the following"}},  // 95
    {KIND_PUSH, -1, GROUP_RUN_ONLY, STYLE_PLAIN, {855, 405, 920, 417}, {"中止", "Cancel"}},  // 96
    {KIND_SLOT_TEXT, SLOT_STATUS, -1, STYLE_PAINTED, {930, 405, 1510, 417}, {nullptr, nullptr}},  // 97
    {KIND_EDIT, SLOT_SCRIPT, -1, STYLE_SCRIPT, {855, 420, 1510, 482}, {nullptr, nullptr}},  // 98
    {KIND_CHECK, SET_PLANE_DISP, -1, STYLE_CHECK, {10, 470, 145, 482}, {"べた表示", "Plane disp."}},  // 99
    {KIND_LABEL, -1, -1, STYLE_PLAIN, {155, 465, 840, 477},
     {"操作例：(1)R1,R0に数値入力、(2)-ボタンを押す、(3)R0 = R1 - R0 (R1,R0->R2,R1)",
      "Operation ex.: (1)Enter some number to R1, R0 (2)Push - button (3)R0 = R1 - R0 "
      "(R1,R0->R2,R1)"}},  // 100
    // In the second top row beside the digit counts it governs.
    {KIND_CHECK, SET_EXACT_DIGITS, -1, STYLE_CHECK, {630, 20, 750, 32},
     {"全桁正確", "Exact digits"}},  // 101
};

UiHandle ControlWindows[CONTROL_COUNT];

int32_t char_width = 8;
int32_t char_height = 16;
int32_t scroll_x = 0;
int32_t scroll_y = 0;
int32_t stretch_x = 0;
int32_t stretch_y = 0;

int caption_language() { return Settings[SET_LANGUAGE] == 1 ? 1 : 0; }

// One coordinate: tenths of a unit to pixels, the product first, truncating toward zero,
// then the scroll offset in whole units.
static int32_t tenths_to_pixels(int32_t tenths, int32_t unit, int32_t offset) {
  return static_cast<int32_t>(static_cast<int64_t>(tenths) * unit / 10 +
                              static_cast<int64_t>(unit) * offset);
}

// How an entry follows a client area of another size than the natural content, across:
// the full-width entries (registers R4..R0, status line, script box) grow by the whole
// stretch_x; the five memory columns R5..R9 (a label and its painted text each) share it,
// column k moving right by k fifths and its text growing by one fifth. Everything else
// keeps its place and size.
struct Stretch {
  int id;
  int move_fifths, grow_fifths;
};
constexpr Stretch STRETCHES[] = {
    {11, 0, 5}, {13, 0, 5}, {15, 0, 5}, {17, 0, 5}, {19, 0, 5}, {97, 0, 5}, {98, 0, 5},
    {20, 0, 0}, {21, 0, 1}, {22, 1, 0}, {23, 1, 1}, {24, 2, 0}, {25, 2, 1},
    {26, 3, 0}, {27, 3, 1}, {28, 4, 0}, {29, 4, 1},
};

// Down: the register boxes share stretch_y, the rows below them move by all of it, the top
// rows stay. Extra height goes to the boxes R4, R3, R2, R1, R0 in the shares 1, 1, 1, 1, 4
// of 8 (R0, where results appear, gets half); missing height is taken from the five alike.
constexpr int REGISTER_FIRST_ID = 10;  // label R4; box R4 is 11, ... label R0 18, box R0 19
constexpr int GROW_SHARES[6] = {0, 1, 2, 3, 4, 8};  // cumulative, above box k
constexpr int SHRINK_SHARES[6] = {0, 1, 2, 3, 4, 5};
constexpr int32_t BELOW_REGISTERS = 368;  // tenths: entries starting below move by all

static int entry_id(const ControlDef &control) {
  // Entries outside the table (tests build some) never stretch.
  const ControlDef *first = ControlTable, *end = ControlTable + CONTROL_COUNT;
  if (std::less<const ControlDef *>()(&control, first) || !std::less<const ControlDef *>()(&control, end))
    return -1;
  return static_cast<int>(&control - first);
}

static const Stretch *stretch_of(int id) {
  for (const Stretch &s : STRETCHES) {
    if (s.id == id) return &s;
  }
  return nullptr;
}

// The part of stretch_y above register box k (0 = R4 .. 4 = R0; 5 = all of it).
static int32_t register_shift(int k) {
  const int64_t s = stretch_y;
  return static_cast<int32_t>(s >= 0 ? s * GROW_SHARES[k] / 8 : s * SHRINK_SHARES[k] / 5);
}

UiRect control_rect(const ControlDef &control) {
  UiRect r;
  r.left = tenths_to_pixels(control.rect.left, char_width, scroll_x);
  r.right = tenths_to_pixels(control.rect.right, char_width, scroll_x);
  r.top = tenths_to_pixels(control.rect.top, char_height, scroll_y);
  r.bottom = tenths_to_pixels(control.rect.bottom, char_height, scroll_y);
  const int id = entry_id(control);
  if (id < 0) return r;
  if (const Stretch *s = stretch_of(id)) {
    const int32_t shift = stretch_x * s->move_fifths / 5;
    r.left += shift;
    r.right += shift + stretch_x * s->grow_fifths / 5;
  }
  if (id >= REGISTER_FIRST_ID && id < REGISTER_FIRST_ID + 10) {
    const int k = (id - REGISTER_FIRST_ID) / 2;
    const bool box = (id - REGISTER_FIRST_ID) % 2 == 1;
    r.top += register_shift(k);
    r.bottom += box ? register_shift(k + 1) : register_shift(k);
  } else if (control.rect.top >= BELOW_REGISTERS) {
    r.top += stretch_y;
    r.bottom += stretch_y;
  }
  return r;
}

int32_t min_stretch_x() {
  return static_cast<int32_t>(static_cast<int64_t>(MIN_CONTENT_WIDTH - NATURAL_CONTENT_WIDTH) *
                              char_width / 10);
}

int32_t min_stretch_y() {
  return static_cast<int32_t>(static_cast<int64_t>(MIN_CONTENT_HEIGHT - NATURAL_CONTENT_HEIGHT) *
                              char_height / 10);
}

bool fit_layout(int client_width, int client_height) {
  const int64_t natural_w = static_cast<int64_t>(NATURAL_CONTENT_WIDTH) * char_width / 10;
  const int64_t natural_h = static_cast<int64_t>(NATURAL_CONTENT_HEIGHT) * char_height / 10;
  const int32_t sx = static_cast<int32_t>(std::clamp<int64_t>(client_width - natural_w, min_stretch_x(), 1 << 20));
  const int32_t sy = static_cast<int32_t>(std::clamp<int64_t>(client_height - natural_h, min_stretch_y(), 1 << 20));
  if (sx == stretch_x && sy == stretch_y) return false;
  stretch_x = sx;
  stretch_y = sy;
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    UiHandle w = ControlWindows[id];
    if (!w) continue;
    const UiRect r = control_rect(ControlTable[id]);
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

WindowSize min_window_size() {
  WindowSize s;
  s.width = static_cast<int>(static_cast<int64_t>(char_width) * (MIN_CONTENT_WIDTH + 20) / 10 + 10);
  s.height = static_cast<int>(static_cast<int64_t>(char_height) * (MIN_CONTENT_HEIGHT + 20) / 10);
  return s;
}

void fit_units_to_captions(UiHandle main) {
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    UiClass cls;
    if (!((c.kind >= KIND_PUSH && c.kind <= KIND_GROUP) || c.kind == KIND_LABEL)) continue;
    cls = c.kind == KIND_LABEL ? UI_CLASS_STATIC : UI_CLASS_BUTTON;
    const int64_t tenths = c.rect.right - c.rect.left;
    if (tenths <= 0) continue;
    for (const char *caption : c.caption) {
      if (!caption) continue;
      const int64_t need = plat_caption_width(main, cls, c.style, caption);
      // The least column at which tenths * column / 10 >= need.
      const int64_t column = (need * 10 + tenths - 1) / tenths;
      if (column > char_width) char_width = static_cast<int32_t>(std::min<int64_t>(column, 1000));
    }
  }
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
