// The register tools of the window through the fake platform: the position field, Ctrl+G,
// the comparison with its highlight, and the context menu's copy, save and load.
#include <fstream>

#include "tests/ui/ui_fixture.h"
#include "ui/keys.h"
#include "ui/register_tools.h"
#include "ui/undo.h"

namespace {

constexpr unsigned CTRL = UI_MOD_CTRL, SHIFT = UI_MOD_SHIFT;

// A grouped 45-digit number as a register box shows it: digit 21 stands after the first
// group's blank, digit 41 after the line break.
const std::string GROUPED = "3. 1415926535897932384 62643383279502884197\r\n16939";

class RegisterToolsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    fake_open_window();
  }
  static void english() { press(ID_LANGUAGE); }  // a fresh start here shows Japanese
  // Puts text into a box and the caret (or a selection) there, as the user would.
  static void caret(int id, int start, int end = -1) {
    plat_set_focus(fake.control(id));
    UiWindow *w = fake.control(id);
    w->sel_start = start;
    w->sel_end = end < 0 ? start : end;
    ui_on_caret(id);
  }
  static UiWindow *box(int id) { return fake.control(id); }
  static std::string status() { return TextSlots[SLOT_STATUS]; }
};

TEST_F(RegisterToolsTest, PositionFieldFollowsTheCaretInBothLanguages) {
  box(ID_R0)->text = GROUPED;
  struct Case {
    int start, end;
    const char *ja, *en;
  } cases[] = {
      {0, 0, "R0: 45 桁中 1 桁目", "R0: digit 1 of 45"},
      {3, 3, "R0: 45 桁中 2 桁目", "R0: digit 2 of 45"},  // after the point and its blank
      {23, 23, "R0: 45 桁中 21 桁目", "R0: digit 21 of 45"},
      {45, 45, "R0: 45 桁中 41 桁目", "R0: digit 41 of 45"},  // after the line break
      {3, 24, "R0: 45 桁中 2 桁目、20 桁を選択", "R0: digit 2 of 45, selected 20 digits"},
      {3, 4, "R0: 45 桁中 2 桁目、1 桁を選択", "R0: digit 2 of 45, selected 1 digit"},
      {50, 50, "R0: 45 桁中 45 桁目", "R0: digit 45 of 45"},  // at the end: the last digit
  };
  for (int language = 0; language < 2; ++language) {
    for (const Case &c : cases) {
      caret(ID_R0, c.start, c.end);
      EXPECT_STREQ(position_field_text(), language == 0 ? c.ja : c.en) << c.start << "," << c.end;
    }
    english();
  }
  // It is painted in the top row, right of "#".
  fake.drawn.clear();
  ui_on_paint(nullptr);
  bool drawn = false;
  for (const DrawnText &d : fake.drawn) {
    if (d.text != position_field_text()) continue;
    drawn = true;
    EXPECT_EQ(d.rect.top, position_field_rect().top);
    EXPECT_GT(d.rect.left, control_rect(ControlTable[ID_DEFAULT_SIZE]).right);
  }
  EXPECT_TRUE(drawn);
  // A text without significant digits, another box, no register box: nothing to count.
  box(ID_R3)->text = "0";
  caret(ID_R3, 0);
  EXPECT_STREQ(position_field_text(), "R3: 有効桁なし");
  plat_set_focus(fake.control(ID_SCRIPT));
  ui_on_caret(ID_R3);
  EXPECT_STREQ(position_field_text(), "");
}

TEST_F(RegisterToolsTest, GoToDigitPutsTheCaretBeforeIt) {
  english();
  box(ID_R0)->text = GROUPED;
  caret(ID_R0, 3);
  // answer, the caret's offset afterwards (-1: not moved), the status line
  struct Case {
    const char *answer;
    int at;
    const char *status;
  } cases[] = {
      {"21", 23, ""}, {"41", 45, ""}, {"1", 0, ""}, {" 4,5 ", 49, ""},
      {"99,999", 49, ""},  // past the last digit: the last one
      {"0", -1, "Not a digit position: 0"}, {"abc", -1, "Not a digit position: abc"},
  };
  for (const Case &c : cases) {
    caret(ID_R0, 3);
    slot_copy(TextSlots[SLOT_STATUS], "");
    fake.prompt_answers = {c.answer};
    ASSERT_TRUE(ui_on_key('G', CTRL));
    EXPECT_EQ(fake.prompts.back(), "Digit of R0 (1 to 45): 2") << c.answer;  // the caret's digit first
    EXPECT_EQ(box(ID_R0)->sel_start, c.at < 0 ? 3 : c.at) << c.answer;
    EXPECT_EQ(box(ID_R0)->sel_end, box(ID_R0)->sel_start) << c.answer;
    EXPECT_EQ(status(), c.status) << c.answer;
  }
  // Cancelled: nothing moves. From a box that is not a register's: R0's. No digits: said.
  caret(ID_R0, 3);
  ASSERT_TRUE(ui_on_key('G', CTRL));
  EXPECT_EQ(box(ID_R0)->sel_start, 3);
  plat_set_focus(fake.control(ID_SCRIPT));
  fake.prompt_answers = {"21"};
  ui_on_key('G', CTRL);
  EXPECT_EQ(plat_focused_id(main_window), ID_R0);
  EXPECT_EQ(box(ID_R0)->sel_start, 23);
  box(ID_R2)->text = "ERROR";
  caret(ID_R2, 0);
  const size_t prompts = fake.prompts.size();
  ui_on_key('G', CTRL);
  EXPECT_EQ(fake.prompts.size(), prompts);
  EXPECT_EQ(status(), "R2 has no significant digits");
}

TEST_F(RegisterToolsTest, CompareReportsAndSelectsTheFirstDifferenceInBothBoxes) {
  box(ID_R0)->text = GROUPED;
  box(ID_R1)->text = "3.14159265358979323846264338327950288419716939";
  engine.compare_report.kind = COMPARE_DIGITS;
  engine.compare_report.agree = 40;
  engine.compare_report.digit_a = 1;
  engine.compare_report.digit_b = 7;
  caret(ID_R0, 0);
  ASSERT_TRUE(ui_on_key('C', CTRL | SHIFT));
  EXPECT_EQ(engine.prepares, 1);
  EXPECT_EQ(engine.prepared_r0, GROUPED);  // the boxes were read first
  EXPECT_EQ(status(), "R0 と R1 は 40 桁まで一致、最初の相違は 41 桁目 (1 / 7)");
  // Digit 41 of each box selected, whatever their grouping.
  EXPECT_EQ(box(ID_R0)->sel_start, 45);
  EXPECT_EQ(box(ID_R0)->sel_end, 46);
  EXPECT_EQ(box(ID_R1)->sel_start, 41);
  EXPECT_EQ(box(ID_R1)->sel_end, 42);
  EXPECT_TRUE(box(ID_R1)->selection_marked);
  EXPECT_STREQ(position_field_text(), "R0: 45 桁中 41 桁目、1 桁を選択");

  // In English; from R3 it is R0 and R3; a register with fewer digits gets the caret after
  // its last one.
  english();
  box(ID_R3)->text = "3.14";
  caret(ID_R3, 0);
  engine.compare_report.agree = 3;
  ui_on_key('C', CTRL | SHIFT);
  EXPECT_EQ(status(), "R0 and R3 agree to 3 digits; first difference at digit 4 (1 / 7)");
  EXPECT_EQ(box(ID_R3)->sel_start, 4);
  EXPECT_EQ(box(ID_R3)->sel_end, 4);
  EXPECT_EQ(box(ID_R0)->sel_start, 5);

  // Equal: the report and no selection; invalid digits: the engine's message, no compare.
  engine.compare_report.kind = COMPARE_EQUAL;
  const size_t from = fake.calls.size();
  ui_on_key('C', CTRL | SHIFT);
  EXPECT_EQ(status(), "R0 and R3 are equal");
  EXPECT_TRUE(fake.calls_since(from, "set_selection").empty());
  engine.prepare_result = -1;
  const int compares = engine.compares;
  ui_on_key('C', CTRL | SHIFT);
  EXPECT_EQ(engine.compares, compares);
  EXPECT_EQ(status(), "Invalid number of Significant digit");
  EXPECT_EQ(undo_levels(), 0);  // a comparison changes nothing
}

TEST_F(RegisterToolsTest, ContextMenuOfTheRegisterBoxes) {
  EXPECT_FALSE(ui_on_context_menu(ID_SCRIPT));
  EXPECT_FALSE(ui_on_context_menu(ID_SIG_DIGITS));
  EXPECT_TRUE(ui_on_context_menu(ID_R0));
  EXPECT_EQ(fake.menu_items, (std::vector<std::string>{"R1 と比較\tCtrl+Shift+C", "指定桁へ移動…\tCtrl+G",
                                                        "数値としてコピー", "ファイルに保存…", "ファイルから読込…"}));
  english();
  EXPECT_TRUE(ui_on_context_menu(ID_R2));
  EXPECT_EQ(fake.menu_items, (std::vector<std::string>{"Compare with R0\tCtrl+Shift+C", "Go to digit…\tCtrl+G",
                                                        "Copy as number", "Save to file…", "Load from file…"}));
  // Each entry acts on the box it was opened on.
  engine.compare_report.kind = COMPARE_SIGN;
  fake.menu_choices = {0};
  ui_on_context_menu(ID_R2);
  EXPECT_EQ(status(), "R0 and R2 differ in sign");

  // Copy as number: the export form on the clipboard; a marker is not copied.
  box(ID_R1)->text = "-. 00012 5\r\n";
  fake.menu_choices = {2};
  ui_on_context_menu(ID_R1);
  EXPECT_EQ(fake.clipboard, "-0.000125");
  EXPECT_EQ(status(), "R1 copied as a number");
  box(ID_R1)->text = "ERROR";
  fake.menu_choices = {2};
  ui_on_context_menu(ID_R1);
  EXPECT_EQ(fake.clipboard, "-0.000125");
  EXPECT_EQ(status(), "R1 holds ERROR, not a number: nothing copied");
  box(ID_R1)->text = "2";
  fake.clipboard_fails = true;
  fake.menu_choices = {2};
  ui_on_context_menu(ID_R1);
  EXPECT_EQ(status(), "The clipboard cannot be used: nothing copied");

  // While a command runs: refused, as the buttons are.
  engine.body = blocking_body;
  press(40);
  ASSERT_TRUE(wait_entered(5000));
  const size_t boxes = fake.boxes.size();
  EXPECT_TRUE(ui_on_context_menu(ID_R0));
  ui_on_key('C', CTRL | SHIFT);
  EXPECT_EQ(fake.boxes.size(), boxes + 2);
  EXPECT_STREQ(position_field_text(), "");
  ASSERT_TRUE(finish_worker());
}

TEST_F(RegisterToolsTest, SaveAndLoadGoThroughFilesAndLoadingIsUndone) {
  english();
  box(ID_R0)->text = "1. 25\r\n";
  fake.chosen_files = {"r0.txt"};
  fake.menu_choices = {3};
  ui_on_context_menu(ID_R0);
  EXPECT_EQ(fake.calls_since(0, "choose_save_file").back(), "choose_save_file main Save to file number R0.txt");
  EXPECT_EQ(read_file("r0.txt").substr(0, 12), "# fake R0\n1.");
  EXPECT_EQ(status(), "R0 saved to r0.txt");
  // Cancelled: nothing written; a folder: refused with a message.
  fake.menu_choices = {3};
  ui_on_context_menu(ID_R0);
  std::filesystem::create_directory("folder");
  fake.chosen_files = {"folder"};
  fake.menu_choices = {3};
  ui_on_context_menu(ID_R0);
  ASSERT_FALSE(fake.boxes.empty());
  EXPECT_EQ(fake.boxes.back().text.rfind("cannot save 'folder'", 0), 0u) << fake.boxes.back().text;

  // Load into R1: an undo level of its own.
  box(ID_R1)->text = "7";
  write_file("# a comment\n-3.5e-7\n", "in.txt");
  fake.opened_files = {"in.txt"};
  fake.menu_choices = {4};
  ui_on_context_menu(ID_R1);
  EXPECT_EQ(box(ID_R1)->text, "-3.5e-7");
  EXPECT_EQ(status(), "R1 loaded from in.txt");
  EXPECT_EQ(undo_levels(), 1);
  ui_on_key('Z', CTRL);
  EXPECT_EQ(box(ID_R1)->text, "7");
  EXPECT_EQ(status(), "undone: Load from file");
  // A file that is not a number: a message, the box and the levels unchanged.
  write_file("pi\n", "bad.txt");
  fake.opened_files = {"bad.txt"};
  fake.menu_choices = {4};
  const size_t boxes = fake.boxes.size();
  ui_on_context_menu(ID_R1);
  EXPECT_EQ(fake.boxes.size(), boxes + 1);
  EXPECT_EQ(fake.boxes.back().text, "'bad.txt' line 1 is not part of a number");
  EXPECT_EQ(box(ID_R1)->text, "7");
  EXPECT_EQ(undo_levels(), 0);
}

}  // namespace
