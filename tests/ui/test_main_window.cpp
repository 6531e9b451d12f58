// The main window: start-up, layout units, placing, size and scroll handling, closing.
#include <climits>

#include "tests/ui/ui_fixture.h"

namespace {

using MainWindowTest = UiTest;

TEST_F(MainWindowTest, FirstStartCreatesEverythingInOrder) {
  UiHandle w = fake_open_window();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(fake.calls[0], "create_main deepNUMS deepNUMS : 100,000 digits Scientific Calculator R1.30");
  EXPECT_EQ(fake.calls[1], "font_metrics main");
  // The workspace is read next, without the platform; then the first child is created.
  EXPECT_EQ(fake.calls[2].rfind("create 0 static main", 0), 0u) << fake.calls[2];
  // No file: Japanese, 1000 digits, every register 0, options off, degree.
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "1000");
  for (int n = 0; n < 10; ++n) EXPECT_STREQ(TextSlots[n], "0") << n;
  EXPECT_TRUE(fake.control(ID_RADIO_DEGREE)->checked);
  EXPECT_FALSE(fake.control(ID_COMPACT_MEM)->checked);
  // The default size at (0, 0): 8 * 154 + 10 by 16 * 51.
  const auto moves = fake.calls_since(0, "move ");
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0], "move main 0,0,1242,816");
  // After placing, every edit box gets the input limit; the last calls are those limits.
  const auto limits = fake.calls_since(0, "limit ");
  EXPECT_EQ(limits, (std::vector<std::string>{"limit 2 109999", "limit 11 109999", "limit 13 109999",
                                              "limit 15 109999", "limit 17 109999", "limit 19 109999",
                                              "limit 98 109999"}));
  // Then the keys' tooltips, and the focus goes to R1, where the first operand is typed.
  size_t last_limit = 0;
  for (size_t i = 0; i < fake.calls.size(); ++i) {
    if (fake.calls[i] == "limit 98 109999") last_limit = i;
  }
  const std::vector<std::string> after(fake.calls.begin() + static_cast<long>(last_limit) + 1, fake.calls.end());
  ASSERT_FALSE(after.empty());
  EXPECT_EQ(after.back(), "focus 17");
  EXPECT_EQ(after.size(), 61u);  // 58 buttons with a key, "Perform the following", "Cancel"
  EXPECT_EQ(after.front(), "tooltip 35 Ctrl++");
  EXPECT_TRUE(fake.control(ID_R1)->selected_all);
  size_t move_at = 0;
  for (size_t i = 0; i < fake.calls.size(); ++i) {
    if (fake.calls[i].rfind("move ", 0) == 0) move_at = i;
  }
  EXPECT_EQ(fake.calls[move_at + 1], "limit 2 109999");
  // Before the move: the screen's figures, and the captions just before those.
  EXPECT_EQ(fake.calls[move_at - 1], "work_area");
  EXPECT_EQ(fake.calls[move_at - 2], "work_area");  // the default size's
  EXPECT_EQ(fake.calls[move_at - 3], "screen_size");
  EXPECT_EQ(fake.calls[move_at - 4].rfind("set_text 101 ", 0), 0u);
}

TEST_F(MainWindowTest, StartUpFailureMessage) {
  fake.fail_main_window = true;
  EXPECT_EQ(app_entry(1), 0);
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].text, "Few resource or Wrong coding");
  EXPECT_EQ(fake.boxes[0].title, "deepNUMS");
  EXPECT_EQ(fake.boxes[0].flags, UI_MB_ICONERROR);
  EXPECT_EQ(fake.calls.back(), "message_box null deepNUMS Few resource or Wrong coding");
}

TEST_F(MainWindowTest, AppEntryShowsAndRunsTheLoop) {
  EXPECT_EQ(app_entry(5), 0);
  const auto tail = fake.calls_since(fake.calls.size() - 2);
  EXPECT_EQ(tail, (std::vector<std::string>{"show main 5", "run_loop"}));
}

TEST_F(MainWindowTest, LayoutUnitsFromTheFont) {
  fake.font = UiFontMetrics{5, 13, 3, 1};  // variable pitch, average width 5
  fake.caption_char_width = 0;  // captions that need no room: the units are the font's
  fake_open_window();
  EXPECT_EQ(char_width, 7);
  EXPECT_EQ(char_height, 16);
  fake.reset();
  fake.font = UiFontMetrics{8, 16, 0, 0};  // fixed pitch
  fake_open_window();
  EXPECT_EQ(char_width, 8);
  EXPECT_EQ(char_height, 16);
  const WindowSize s = default_window_size(main_window);
  EXPECT_EQ(s.width, 1242);
  EXPECT_EQ(s.height, 816);
  // A font without size still gives usable units.
  fake.reset();
  fake.font = UiFontMetrics{0, 0, 0, 0};
  fake.caption_char_width = 0;
  fake_open_window();
  EXPECT_EQ(char_width, 1);
  EXPECT_EQ(char_height, 1);
}

// Places the window from a saved rectangle and returns the recorded move.
std::string place(int left, int top, int right, int bottom) {
  Settings[SET_WINDOW_LEFT] = left;
  Settings[SET_WINDOW_TOP] = top;
  Settings[SET_WINDOW_RIGHT] = right;
  Settings[SET_WINDOW_BOTTOM] = bottom;
  const size_t from = fake.calls.size();
  place_window();
  const auto moves = fake.calls_since(from, "move ");
  return moves.size() == 1 ? moves[0] : "<" + std::to_string(moves.size()) + " moves>";
}

TEST_F(MainWindowTest, PlaceWindowRules) {
  fake_open_window();
  fake.screen_width = 1920;
  fake.screen_height = 1080;
  EXPECT_EQ(place(3000, 100, 4000, 700), "move main 0,100,1000,600");
  EXPECT_EQ(Settings[SET_WINDOW_LEFT], 0);
  EXPECT_EQ(Settings[SET_WINDOW_TOP], 100);
  EXPECT_EQ(Settings[SET_WINDOW_RIGHT], 1000);
  EXPECT_EQ(Settings[SET_WINDOW_BOTTOM], 700);
  // The left edge must lie at least 200 pixels before the right end, the top 150 above
  // the bottom.
  EXPECT_EQ(place(1720, 930, 2720, 1530), "move main 1720,930,1000,600");
  EXPECT_EQ(place(1721, 931, 2721, 1531), "move main 0,0,1000,600");
  EXPECT_EQ(Settings[SET_WINDOW_RIGHT], 1000);
  EXPECT_EQ(Settings[SET_WINDOW_BOTTOM], 600);
  // Only the right and bottom sides are tested: a negative left or top is used unchanged.
  EXPECT_EQ(place(-50, -20, 950, 580), "move main -50,-20,1000,600");
  // A size of 5 pixels or less gives the default size.
  EXPECT_EQ(place(10, 10, 15, 500), "move main 10,10,1242,816");
  EXPECT_EQ(place(10, 10, 500, 15), "move main 10,10,1242,816");
  // A size too small for the least content (105 columns + 10 by 34 lines) grows to it.
  EXPECT_EQ(place(10, 10, 16, 16), "move main 10,10,850,544");
  EXPECT_EQ(place(10, 10, 900, 600), "move main 10,10,890,590");
  EXPECT_EQ(place(0, 0, 0, 0), "move main 0,0,1242,816");
}

TEST_F(MainWindowTest, PlaceWindowWithHostileValues) {
  fake_open_window();
  // Overflowing differences and sizes no windowing system shows: default size, and
  // coordinates within the 16-bit range.
  EXPECT_EQ(place(INT_MIN, INT_MIN, INT_MAX, INT_MAX), "move main -32768,-32768,1242,816");
  EXPECT_EQ(place(INT_MAX, INT_MAX, INT_MIN, INT_MIN), "move main 0,0,1242,816");
  EXPECT_EQ(place(0, 0, 100000, 100000), "move main 0,0,1242,816");
  EXPECT_EQ(place(0, 0, 32767, 32767), "move main 0,0,1920,1080");  // the available area
}

TEST_F(MainWindowTest, SizesFitTheScreensAvailableArea) {
  // A 1366 x 768 screen with a 32-pixel panel at the top: the default of 154 columns of
  // 9 pixels (1396 wide) and 51 lines of 16 (816 high) is larger than 1366 x 736.
  fake.font = UiFontMetrics{9, 16, 0, 0};
  fake.screen_width = 1366;
  fake.screen_height = 768;
  fake.work_area = UiRect{0, 32, 1366, 768};
  fake_open_window();
  EXPECT_EQ(fake.calls_since(0, "move ").back(), "move main 0,0,1366,736");
  const WindowSize s = default_window_size(main_window);
  EXPECT_EQ(s.width, 1366);
  EXPECT_EQ(s.height, 736);
  // A saved rectangle from a larger screen: reduced, at the area's edge on that side only.
  EXPECT_EQ(place(100, 200, 1700, 800), "move main 0,200,1366,600");
  EXPECT_EQ(place(100, 50, 1100, 1050), "move main 100,32,1000,736");
  EXPECT_EQ(place(100, 50, 1100, 650), "move main 100,50,1000,600");  // fits: unchanged
  // "#": the fitted default size; a window that would then reach past the area moves in.
  for (const UiRect &at : {UiRect{0, 32, 500, 400}, UiRect{300, 100, 800, 500}}) {
    fake.window_rect = at;
    press(ID_DEFAULT_SIZE);
    EXPECT_EQ(fake.window_rect.left, 0);
    EXPECT_EQ(fake.window_rect.top, 32);
    EXPECT_EQ(fake.window_rect.right, 1366);
    EXPECT_EQ(fake.window_rect.bottom, 768);
  }
  // A screen that reports no area changes nothing.
  fake.work_area = UiRect{0, 0, 0, 0};
  EXPECT_EQ(default_window_size(main_window).width, 1396);
}

TEST_F(MainWindowTest, GrowingAfterScrollingToTheBottom) {
  fake_open_window();
  // 15 rows of 16 pixels, 50 columns of 8: less than the least content (32 lines, 103
  // columns), which therefore scrolls.
  ui_on_size(400, 240);
  EXPECT_EQ(fake.bars[UI_BAR_VERT].max, 31);
  EXPECT_EQ(fake.bars[UI_BAR_VERT].page, 15);
  EXPECT_EQ(fake.bars[UI_BAR_HORZ].max, 102);
  EXPECT_EQ(fake.bars[UI_BAR_HORZ].page, 50);
  ui_on_scroll(UI_BAR_VERT, UI_SB_BOTTOM, 0);
  EXPECT_EQ(fake.bars[UI_BAR_VERT].pos, 17);  // 31 - 15 + 1
  EXPECT_EQ(scroll_y, -17);
  EXPECT_EQ(fake.scrolled_dy, -17 * 16);
  // 20 rows: 20 > -17 + 31, shift = min(17, 20 - 14) = 6.
  const size_t from = fake.calls.size();
  ui_on_size(400, 320);
  EXPECT_EQ(scroll_y, -11);
  EXPECT_EQ(fake.scrolled_dy, -11 * 16);
  const auto calls = fake.calls_since(from);
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[0], "scroll_client main 0,96");
  EXPECT_EQ(calls[1], "invalidate main");
  EXPECT_EQ(calls[2], "scroll_range v 0,31,20");
  EXPECT_EQ(calls[3], "scroll_range h 0,102,50");
  // 60 rows: back to the top, never past it.
  ui_on_size(800, 960);
  EXPECT_EQ(scroll_y, 0);
  EXPECT_EQ(fake.scrolled_dy, 0);
  EXPECT_EQ(fake.bars[UI_BAR_VERT].pos, 0);
}

TEST_F(MainWindowTest, HorizontalGrowingAndLargeClientAreas) {
  fake_open_window();
  ui_on_size(400, 240);  // 50 columns
  ui_on_scroll(UI_BAR_HORZ, UI_SB_BOTTOM, 0);
  EXPECT_EQ(fake.bars[UI_BAR_HORZ].pos, 53);  // 102 - 50 + 1
  EXPECT_EQ(scroll_x, -53);
  ui_on_size(8 * 70, 240);  // 70 > -53 + 102: shift min(53, 21)
  EXPECT_EQ(scroll_x, -32);
  ui_on_size(8 * 200, 240);
  EXPECT_EQ(scroll_x, 0);
  EXPECT_EQ(fake.scrolled_dx, 0);
  // 32 rows or more and 103 columns or more: nothing can move.
  ui_on_size(8 * 103, 16 * 32);
  for (int req : {UI_SB_LINEDOWN, UI_SB_PAGEDOWN, UI_SB_BOTTOM}) {
    ui_on_scroll(UI_BAR_VERT, req, 0);
    ui_on_scroll(UI_BAR_HORZ, req, 0);
  }
  EXPECT_EQ(fake.bars[UI_BAR_VERT].pos, 0);
  EXPECT_EQ(fake.bars[UI_BAR_HORZ].pos, 0);
  EXPECT_EQ(scroll_x, 0);
  EXPECT_EQ(scroll_y, 0);
}

TEST_F(MainWindowTest, ScrollRequests) {
  fake_open_window();
  ui_on_size(400, 240);  // page 15 lines
  size_t from = fake.calls.size();
  ui_on_scroll(UI_BAR_VERT, UI_SB_LINEDOWN, 0);
  EXPECT_EQ(scroll_y, -1);
  auto calls = fake.calls_since(from);
  EXPECT_EQ(calls, (std::vector<std::string>{"get_scroll v", "scroll_pos v 1", "get_scroll v",
                                             "scroll_client main 0,-16", "update main"}));
  ui_on_scroll(UI_BAR_VERT, UI_SB_PAGEDOWN, 0);
  EXPECT_EQ(scroll_y, -16);  // 1 + 15
  ui_on_scroll(UI_BAR_VERT, UI_SB_PAGEUP, 0);
  EXPECT_EQ(scroll_y, -1);
  ui_on_scroll(UI_BAR_VERT, UI_SB_PAGEUP, 0);  // limited to the top
  EXPECT_EQ(scroll_y, 0);
  ui_on_scroll(UI_BAR_VERT, UI_SB_LINEUP, 0);  // at the top: nothing moves
  EXPECT_EQ(fake.scrolled_dy, 0);
  fake.bars[UI_BAR_VERT].track = 7;
  ui_on_scroll(UI_BAR_VERT, UI_SB_THUMBTRACK, 7);
  EXPECT_EQ(scroll_y, -7);
  EXPECT_EQ(fake.scrolled_dy, -7 * 16);
  for (int req : {int(UI_SB_THUMBPOSITION), int(UI_SB_ENDSCROLL), 42}) {
    from = fake.calls.size();
    ui_on_scroll(UI_BAR_VERT, req, 3);
    EXPECT_EQ(scroll_y, -7);
    EXPECT_TRUE(fake.calls_since(from, "scroll_client").empty());
  }
  ui_on_scroll(UI_BAR_VERT, UI_SB_TOP, 0);
  EXPECT_EQ(scroll_y, 0);
  // The horizontal bar invalidates the whole client area instead of updating.
  from = fake.calls.size();
  ui_on_scroll(UI_BAR_HORZ, UI_SB_LINEDOWN, 0);
  calls = fake.calls_since(from);
  EXPECT_EQ(calls, (std::vector<std::string>{"get_scroll h", "scroll_pos h 1", "get_scroll h",
                                             "scroll_client main -8,0", "invalidate main"}));
  EXPECT_EQ(scroll_x, -1);
}

TEST_F(MainWindowTest, WheelScrollsLikeTheBars) {
  fake_open_window();
  ui_on_size(400, 240);  // 15 of 32 lines, 50 of 103 columns
  struct Step {
    UiBar bar;
    int delta, scroll;  // wheel delta, then the scroll offset of that bar
  } steps[] = {
      {UI_BAR_VERT, -120, -3},  {UI_BAR_VERT, -40, -4},   // a third of a notch: one line
      {UI_BAR_VERT, -20, -4},   {UI_BAR_VERT, -20, -5},   // halves add up
      {UI_BAR_VERT, 600, 0},    {UI_BAR_VERT, -4800, -17},  // never past either end
      {UI_BAR_HORZ, -120, -3},  {UI_BAR_HORZ, 120, 0},
  };
  for (const Step &st : steps) {
    ui_on_wheel(st.bar, st.delta);
    EXPECT_EQ(st.bar == UI_BAR_VERT ? scroll_y : scroll_x, st.scroll) << st.delta;
    EXPECT_EQ(fake.bars[st.bar].pos, -st.scroll) << st.delta;
  }
  EXPECT_EQ(fake.scrolled_dy, -17 * 16);
}

TEST_F(MainWindowTest, WideWindowsWidenTheBoxesAndMemoryLines) {
  fake_open_window();
  // 8-pixel columns: the content is 152 columns = 1216 pixels; 400 more stretch.
  ui_on_size(1216 + 400, 16 * 49);
  EXPECT_EQ(stretch_x, 400);
  EXPECT_EQ(stretch_y, 0);
  for (int id : {ID_R4, ID_R3, ID_R2, ID_R1, ID_R0, ID_SCRIPT}) {
    const UiRect table = ControlTable[id].rect;
    EXPECT_EQ(fake.control(id)->rect.left, table.left * 8 / 10) << id;
    EXPECT_EQ(fake.control(id)->rect.right, table.right * 8 / 10 + 400) << id;
  }
  // Memory column k: label and text move right by k fifths, the text grows by one.
  for (int k = 0; k < 5; ++k) {
    const int label = 20 + 2 * k, text = 21 + 2 * k;
    EXPECT_EQ(fake.control(label)->rect.left, ControlTable[label].rect.left * 8 / 10 + 80 * k) << k;
    const UiRect r = control_rect(ControlTable[text]);
    EXPECT_EQ(r.left, ControlTable[text].rect.left * 8 / 10 + 80 * k) << k;
    EXPECT_EQ(r.right, ControlTable[text].rect.right * 8 / 10 + 80 * (k + 1)) << k;
  }
  EXPECT_EQ(control_rect(ControlTable[ID_STATUS]).right, 1208 + 400);
  // Buttons stay where the table puts them.
  EXPECT_EQ(fake.control(35)->rect.right, 140);
  // Narrower than the content: the growing entries shrink, down to the least content
  // width of 103 columns and no further.
  ui_on_size(800, 16 * 49);
  EXPECT_EQ(stretch_x, -392);  // (1030 - 1520) * 8 / 10
  EXPECT_EQ(fake.control(ID_R0)->rect.right, 1208 - 392);
  EXPECT_EQ(fake.control(28)->rect.left, 968 - 392 * 4 / 5);
  EXPECT_EQ(fake.control(ID_CANCEL)->rect.right, 920 * 8 / 10);
}

// Down, the register boxes take what the client area has more or less than the natural
// content: more goes to R4..R0 in shares 1, 1, 1, 1, 4 of 8, less is taken from the five
// alike down to three lines each; the rows below move with them, the top rows stay.
TEST_F(MainWindowTest, TallWindowsGrowTheRegisterBoxesMostR0) {
  fake_open_window();
  const int natural_h = 16 * 49;
  struct Case {
    int extra;                  // client height - natural content height
    int stretch;                // stretch_y
    int grow[5];                // growth of the boxes R4..R0
  } cases[] = {
      {800, 800, {100, 100, 100, 100, 400}},
      {0, 0, {0, 0, 0, 0, 0}},
      {-100, -100, {-20, -20, -20, -20, -20}},
      {-400, -272, {-54, -54, -55, -54, -55}},  // (320 - 490) * 16 / 10: the least
  };
  const int boxes[5] = {ID_R4, ID_R3, ID_R2, ID_R1, ID_R0};
  for (const Case &c : cases) {
    ui_on_size(1216, natural_h + c.extra);
    EXPECT_EQ(stretch_y, c.stretch) << c.extra;
    int shift = 0;
    for (int k = 0; k < 5; ++k) {
      const UiRect table = ControlTable[boxes[k]].rect;
      const UiRect r = fake.control(boxes[k])->rect;
      EXPECT_EQ(r.top, table.top * 16 / 10 + shift) << c.extra << " box " << k;
      EXPECT_EQ(r.bottom - r.top, table.bottom * 16 / 10 - table.top * 16 / 10 + c.grow[k])
          << c.extra << " box " << k;
      EXPECT_EQ(fake.control(boxes[k] - 1)->rect.top, r.top) << "label " << k;
      shift += c.grow[k];
    }
    // Below the boxes everything moves by the whole stretch; the top rows stay.
    EXPECT_EQ(fake.control(35)->rect.top, 390 * 16 / 10 + c.stretch);
    EXPECT_EQ(control_rect(ControlTable[ID_STATUS]).top, 405 * 16 / 10 + c.stretch);
    EXPECT_EQ(fake.control(ID_SIG_DIGITS)->rect.top, 20 * 16 / 10);
  }
}

// A font whose captions are wide for their cells widens the column until each fits.
TEST_F(MainWindowTest, ColumnsWidenUntilEveryCaptionFits) {
  fake.caption_char_width = 20;
  fake_open_window();
  EXPECT_EQ(char_width, 31);  // the title: 36 * 20 + 4 pixels in 240 tenths
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const ControlDef &c = ControlTable[id];
    if (!c.caption[0]) continue;
    const UiRect r = control_rect(c);
    for (const char *caption : c.caption)
      EXPECT_LE(plat_caption_width(&fake.main, fake.control(id)->cls, c.style, caption), r.right - r.left)
          << id << " " << caption;
  }
}

TEST_F(MainWindowTest, DefaultSizeButtonKeepsThePosition) {
  fake_open_window();
  fake.window_rect = UiRect{100, 50, 700, 450};
  const size_t from = fake.calls.size();
  slot_copy(TextSlots[SLOT_STATUS], "kept");
  press(ID_DEFAULT_SIZE);
  EXPECT_EQ(fake.calls_since(from, "resize "), (std::vector<std::string>{"resize main 1242,816"}));
  EXPECT_EQ(fake.window_rect.left, 100);
  EXPECT_EQ(fake.window_rect.top, 50);
  EXPECT_EQ(fake.window_rect.right, 1342);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "kept");  // "#" leaves the status line
}

TEST_F(MainWindowTest, ClosingSavesAndQuits) {
  fake_open_window();
  fake.window_rect = UiRect{10, 20, 1010, 720};
  fake.control(ID_R0)->text = "42\r\n";
  ui_on_destroy();
  EXPECT_TRUE(fake.quit_called);
  EXPECT_EQ(fake.quit_code, 0);
  const std::string file = read_file();
  const std::string head = "20\r\n0\r\n10\r\n20\r\n1010\r\n720\r\n";
  EXPECT_EQ(file.substr(0, head.size()), head);
  EXPECT_NE(file.find("\r\n20\r\n42\r\a\r\n"), std::string::npos);
  // Saving failed (a file stands where the folder should be): the loop still ends.
  fake.reset();
  set_workspace_file("deepNUMS.ini/deepNUMS.ini");
  fake_open_window();
  ui_on_destroy();
  EXPECT_TRUE(fake.quit_called);
}

}  // namespace
