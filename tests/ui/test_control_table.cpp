// The control table, the layout arithmetic, creation, captions, painting and reading back.
#include <cstring>
#include <set>

#include "tests/ui/ui_fixture.h"

namespace {

// Paints with the slots themselves as the painted texts (the idle state).
void paint_with_slots() {
  const char *texts[TEXT_SLOT_COUNT];
  for (int n = 0; n < TEXT_SLOT_COUNT; ++n) texts[n] = TextSlots[n];
  paint_controls(nullptr, texts);
}


// The operation grid as the window shows it in English, row by row.
const char *const GRID[5][12] = {
    {"+", "up", "dup", "sin", "asin", "sinh", "asinh", "->R5", "R5->", "CLR5", "!", "fill w/9"},
    {"-", "down", "0<->1", "cos", "acos", "cosh", "acosh", "->R6", "R6->", "CLR6", "+/-", "R.Off"},
    {"*", "1/x", "x ^ y", "tan", "atan", "tanh", "atanh", "->R7", "R7->", "CLR7", "| x |", "IP"},
    {"/", "SQRT", "x ^ 2", "exp", "loge", "pi", "ACLR", "->R8", "R8->", "CLR8", "---", "FP"},
    {"%", "CBRT", "x ^ 3", "10 ^ n", "log10", "e", "MCLR", "->R9", "R9->", "CLR9", "---", "EP"},
};

using ControlTableTest = UiTest;

TEST_F(ControlTableTest, OperationGridFollowsTheLayoutRule) {
  for (int c = 0; c < 12; ++c) {
    for (int r = 0; r < 5; ++r) {
      const int id = 35 + 5 * c + r;
      const ControlDef &d = ControlTable[id];
      SCOPED_TRACE("id " + std::to_string(id));
      EXPECT_EQ(d.kind, KIND_PUSH);
      EXPECT_EQ(d.index, -1);
      EXPECT_EQ(d.group, -1);
      EXPECT_EQ(d.style, 0x50000000u);
      const int left = c == 0 ? 155 : 185 + 60 * (c - 1);
      const int right = c == 0 ? 175 : left + 55;
      EXPECT_EQ(d.rect.left, left);
      EXPECT_EQ(d.rect.right, right);
      EXPECT_EQ(d.rect.top, 390 + 15 * r);
      EXPECT_EQ(d.rect.bottom, 390 + 15 * r + 12);
      EXPECT_STREQ(d.caption[1], GRID[r][c]);
    }
  }
  // Japanese captions: the same except these.
  const std::pair<int, const char *> japanese[] = {{43, "√"},      {44, "3√"}, {54, "10 ^ x"},
                                                   {63, "π"},      {64, "ｅ"}, {90, "9詰め"},
                                                   {91, "丸め"}};
  for (int id = 35; id < 95; ++id) {
    const char *expected = ControlTable[id].caption[1];
    for (const auto &j : japanese) {
      if (j.first == id) expected = j.second;
    }
    EXPECT_STREQ(ControlTable[id].caption[0], expected) << "id " << id;
  }
  EXPECT_STREQ(ControlTable[47].caption[1], "x ^ y");
  EXPECT_STREQ(ControlTable[36].caption[1], "-");
  EXPECT_STREQ(ControlTable[85].caption[1], "!");
}

TEST_F(ControlTableTest, FixedEntries) {
  const ControlDef &empty = ControlTable[7];
  EXPECT_EQ(empty.kind, KIND_NONE);
  EXPECT_EQ(empty.style, 0xFFFFFFFFu);
  // Register boxes and their slots.
  const int boxes[5] = {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4};
  for (int n = 0; n < 5; ++n) {
    const ControlDef &d = ControlTable[boxes[n]];
    EXPECT_EQ(d.kind, KIND_EDIT);
    EXPECT_EQ(d.index, n);
    EXPECT_EQ(d.style, 0x50A00044u);
    EXPECT_EQ(d.rect.left, 35);
    EXPECT_EQ(d.rect.right, 1510);
    EXPECT_EQ(d.rect.top, 35 + 67 * (4 - n));
    EXPECT_EQ(d.rect.bottom, 99 + 67 * (4 - n));
  }
  // R5..R9 displays painted from slots 5..9.
  for (int k = 0; k < 5; ++k) {
    const ControlDef &d = ControlTable[21 + 2 * k];
    EXPECT_EQ(d.kind, KIND_SLOT_TEXT);
    EXPECT_EQ(d.index, 5 + k);
    EXPECT_EQ(d.style, 0x00840000u);
    EXPECT_EQ(d.rect.left, 35 + 300 * k);
  }
  EXPECT_EQ(ControlTable[2].index, SLOT_SIG_DIGITS);
  EXPECT_EQ(ControlTable[2].style, 0x50800080u);
  EXPECT_EQ(ControlTable[4].index, SLOT_MIN_EXT_DIGITS);
  EXPECT_EQ(ControlTable[6].index, SLOT_INTERNAL_DIGITS);
  EXPECT_EQ(ControlTable[97].index, SLOT_STATUS);
  EXPECT_EQ(ControlTable[98].index, SLOT_SCRIPT);
  EXPECT_EQ(ControlTable[98].style, 0x50A000C4u);
  EXPECT_EQ(ControlTable[96].group, 2);
  for (int id : {31, 32}) {
    EXPECT_EQ(ControlTable[id].kind, KIND_RADIO);
    EXPECT_EQ(ControlTable[id].index, SET_ANGLE_UNIT);
    EXPECT_EQ(ControlTable[id].group, 31);
    EXPECT_EQ(ControlTable[id].style, 0x50000004u);
  }
  const std::pair<int, int> checks[] = {{33, SET_COMPACT_MEM}, {34, SET_BARE_DIGITS}, {99, SET_PLANE_DISP}};
  for (const auto &c : checks) {
    EXPECT_EQ(ControlTable[c.first].kind, KIND_CHECK);
    EXPECT_EQ(ControlTable[c.first].index, c.second);
    EXPECT_EQ(ControlTable[c.first].style, 0x50000102u);
  }
  EXPECT_EQ(ControlTable[30].style, 0x50000007u);
  EXPECT_EQ(ControlTable[1].style, 0x50000002u);
  EXPECT_STREQ(ControlTable[8].caption[0], "English");
  EXPECT_STREQ(ControlTable[8].caption[1], "Japanese");
  EXPECT_STREQ(ControlTable[96].caption[0], "中止");
  EXPECT_STREQ(ControlTable[95].caption[1], "Perform the following");
  EXPECT_STREQ(ControlTable[100].caption[1],
               "Operation ex.: (1)Enter some number to R1, R0 (2)Push - button (3)R0 = R1 - R0 "
               "(R1,R0->R2,R1)");
  // Every entry with a window kind has both captions or none, as its kind requires.
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &d = ControlTable[id];
    const bool captioned = (d.kind >= KIND_PUSH && d.kind <= KIND_GROUP) || d.kind == KIND_LABEL;
    EXPECT_EQ(d.caption[0] != nullptr, captioned) << "id " << id;
    EXPECT_EQ(d.caption[1] != nullptr, captioned) << "id " << id;
  }
}

TEST_F(ControlTableTest, ControlRectArithmetic) {
  char_width = 8;
  char_height = 16;
  ControlDef d{KIND_PUSH, -1, -1, STYLE_PLAIN, {35, 20, 1510, 87}, {nullptr, nullptr}};
  scroll_x = 0;
  scroll_y = 0;
  UiRect r = control_rect(d);
  EXPECT_EQ(r.left, 28);     // 35 * 8 / 10
  EXPECT_EQ(r.right, 1208);  // 1510 * 8 / 10
  EXPECT_EQ(r.top, 32);      // 20 * 16 / 10
  EXPECT_EQ(r.bottom, 139);  // 87 * 16 / 10 = 139.2
  scroll_x = -3;
  scroll_y = -2;
  r = control_rect(d);
  EXPECT_EQ(r.left, 4);  // 28 - 24
  EXPECT_EQ(r.right, 1184);
  EXPECT_EQ(r.top, 0);  // 32 - 32
  EXPECT_EQ(r.bottom, 107);
  // The product is formed first and the division truncates toward zero.
  char_width = 7;
  scroll_x = 0;
  d.rect.left = -5;  // -35 / 10
  d.rect.right = 15;  // 105 / 10
  r = control_rect(d);
  EXPECT_EQ(r.left, -3);
  EXPECT_EQ(r.right, 10);
  scroll_x = scroll_y = 0;
}

TEST_F(ControlTableTest, CreationOrderAndFirstStates) {
  Settings[SET_ANGLE_UNIT] = 1;
  Settings[SET_COMPACT_MEM] = 5;  // any non-zero value ticks the box
  Settings[SET_BARE_DIGITS] = 0;
  Settings[SET_PLANE_DISP] = 1;
  slot_copy(TextSlots[SLOT_R0], "12\r\n34");
  slot_copy(TextSlots[SLOT_SIG_DIGITS], "500");
  slot_copy(TextSlots[SLOT_SCRIPT], "time 1");
  Settings[SET_LANGUAGE] = 0;
  fake.main.is_main = true;
  char_width = 8;
  char_height = 16;
  create_controls(&fake.main);

  std::vector<int> created;
  for (const auto &c : fake.children) created.push_back(c->id);
  std::vector<int> expected;
  const std::set<int> painted_or_empty = {4, 6, 7, 21, 23, 25, 27, 29, 97};
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    if (!painted_or_empty.count(id)) expected.push_back(id);
  }
  EXPECT_EQ(created, expected);
  EXPECT_EQ(ControlWindows[7], nullptr);
  EXPECT_EQ(ControlWindows[97], nullptr);

  // Classes, styles, rectangles, initial text " ".
  const auto creates = fake.calls_since(0, "create ");
  ASSERT_EQ(creates.size(), expected.size());
  EXPECT_EQ(creates.front(), "create 0 static main 8,8,200,27");
  UiWindow *r0 = fake.control(ID_R0);
  EXPECT_EQ(r0->cls, UI_CLASS_EDIT);
  EXPECT_EQ(r0->style, 0x50A00044u);
  EXPECT_EQ(fake.control(ID_CANCEL)->cls, UI_CLASS_BUTTON);
  EXPECT_EQ(fake.control(1)->cls, UI_CLASS_STATIC);
  EXPECT_EQ(fake.control(30)->style, 0x50000007u);

  // First states.
  EXPECT_FALSE(fake.control(ID_RADIO_DEGREE)->checked);
  EXPECT_TRUE(fake.control(ID_RADIO_RADIAN)->checked);
  EXPECT_TRUE(fake.control(ID_COMPACT_MEM)->checked);
  EXPECT_FALSE(fake.control(ID_BARE_DIGITS)->checked);
  EXPECT_TRUE(fake.control(ID_PLANE_DISP)->checked);
  EXPECT_EQ(r0->text, "12\r\n34");
  EXPECT_EQ(fake.control(ID_SIG_DIGITS)->text, "500");
  EXPECT_EQ(fake.control(ID_SCRIPT)->text, "time 1");
  EXPECT_FALSE(fake.control(ID_CANCEL)->enabled);
  EXPECT_TRUE(fake.control(ID_PERFORM)->enabled);
  // Captions are set after the loop, in id order.
  const auto texts = fake.calls_since(0, "set_text ");
  size_t last_create = 0, first_caption = fake.calls.size();
  for (size_t i = 0; i < fake.calls.size(); ++i) {
    if (fake.calls[i].rfind("create ", 0) == 0) last_create = i;
    if (fake.calls[i].rfind("set_text 0 ", 0) == 0) first_caption = std::min(first_caption, i);
  }
  EXPECT_LT(last_create, first_caption);
  EXPECT_EQ(fake.control(0)->text, "10万桁関数電卓");
  EXPECT_EQ(fake.control(ID_LANGUAGE)->text, "English");
}

TEST_F(ControlTableTest, RadioWithValueOutsideTheGroupSelectsNeither) {
  Settings[SET_ANGLE_UNIT] = 5;
  fake.main.is_main = true;
  create_controls(&fake.main);
  EXPECT_FALSE(fake.control(ID_RADIO_DEGREE)->checked);
  EXPECT_FALSE(fake.control(ID_RADIO_RADIAN)->checked);
}

TEST_F(ControlTableTest, CaptionsInBothLanguages) {
  fake.main.is_main = true;
  Settings[SET_LANGUAGE] = 1;
  slot_copy(TextSlots[SLOT_R1], "777\r\n");
  create_controls(&fake.main);
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &d = ControlTable[id];
    if ((d.kind >= KIND_PUSH && d.kind <= KIND_GROUP) || d.kind == KIND_LABEL) {
      EXPECT_EQ(fake.control(id)->text, d.caption[1]) << "id " << id;
    }
  }
  EXPECT_EQ(fake.control(ID_LANGUAGE)->text, "Japanese");
  EXPECT_EQ(fake.control(ID_CANCEL)->text, "Cancel");
  EXPECT_EQ(fake.control(ID_R1)->text, "777\r\n");
  Settings[SET_LANGUAGE] = 0;
  set_captions();
  EXPECT_EQ(fake.control(ID_LANGUAGE)->text, "English");
  EXPECT_EQ(fake.control(30)->text, "単位選択");
  EXPECT_EQ(fake.control(ID_PLANE_DISP)->text, "べた表示");
  EXPECT_EQ(fake.control(ID_R1)->text, "777\r\n");  // edit boxes keep their texts
}

TEST_F(ControlTableTest, PaintingAndScrolledOutEntries) {
  fake.main.is_main = true;
  char_width = 8;
  char_height = 16;
  for (int k = 0; k < 5; ++k) slot_copy(TextSlots[SLOT_R5 + k], ("R" + std::to_string(5 + k)).c_str());
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  slot_copy(TextSlots[SLOT_INTERNAL_DIGITS], "1008");
  slot_copy(TextSlots[SLOT_MIN_EXT_DIGITS], "7");
  paint_with_slots();
  ASSERT_EQ(fake.calls.front(), "paint_colors");
  EXPECT_EQ(fake.paint_text_color, plat_system_color(UI_COLOR_BTNTEXT));
  EXPECT_EQ(fake.paint_back_color, plat_system_color(UI_COLOR_BTNFACE));
  std::vector<std::string> texts;
  for (const auto &d : fake.drawn) {
    texts.push_back(d.text);
    EXPECT_EQ(d.format, 0x00840000u);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"7", "1008", "R5", "R6", "R7", "R8", "R9", "aborted\n"}));
  EXPECT_EQ(fake.drawn[2].rect.left, 28);
  EXPECT_EQ(fake.drawn[2].rect.right, 240);

  // Scrolled 3 columns left, R5's display still starts right of the edge (28 - 24 = 4).
  fake.drawn.clear();
  scroll_x = -3;
  paint_with_slots();
  EXPECT_EQ(fake.drawn.size(), 8u);
  // 4 columns: its left edge would be at -4, so it is not drawn at all.
  fake.drawn.clear();
  scroll_x = -4;
  paint_with_slots();
  EXPECT_EQ(fake.drawn.size(), 7u);
  EXPECT_EQ(fake.drawn[2].text, "R6");
  // Scrolling up does not hide anything: only the left edge counts.
  fake.drawn.clear();
  scroll_x = 0;
  scroll_y = -30;
  paint_with_slots();
  EXPECT_EQ(fake.drawn.size(), 8u);
  scroll_x = scroll_y = 0;
}

TEST_F(ControlTableTest, ReadEditTextsIsBoundedAndSkipsMissingWindows) {
  fake.main.is_main = true;
  fake.fail_controls = {ID_R3};
  slot_copy(TextSlots[SLOT_R3], "kept");
  create_controls(&fake.main);
  EXPECT_EQ(ControlWindows[ID_R3], nullptr);
  fake.control(ID_R0)->text = std::string(200000, '7');
  fake.control(ID_R1)->text = "5\r\n";
  fake.control(ID_SCRIPT)->text = "dump";
  fake.control(ID_SIG_DIGITS)->text = "100000";
  read_edit_texts();
  EXPECT_EQ(std::strlen(TextSlots[SLOT_R0]), static_cast<size_t>(TEXT_SLOT_MAX_CHARS));
  EXPECT_STREQ(TextSlots[SLOT_R1], "5\r\n");
  EXPECT_STREQ(TextSlots[SLOT_SCRIPT], "dump");
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "100000");
  EXPECT_STREQ(TextSlots[SLOT_R3], "kept");
  // Reading goes in id order: 2, 11, 13 (no window), 15, 17, 19, 98.
  std::vector<std::string> reads = fake.calls_since(0, "get_text ");
  EXPECT_EQ(reads, (std::vector<std::string>{"get_text 2", "get_text 11", "get_text 15", "get_text 17",
                                             "get_text 19", "get_text 98"}));
}

}  // namespace
