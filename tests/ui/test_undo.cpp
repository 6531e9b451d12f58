// Undo and redo of commands through the fake platform: what a level restores, the box's
// own undo first, every kind of run, the bounds on memory.
#include <cstring>

#include "tests/ui/ui_fixture.h"
#include "ui/keys.h"
#include "ui/undo.h"

namespace {

constexpr unsigned CTRL = UI_MOD_CTRL, SHIFT = UI_MOD_SHIFT;

// The engine's stack movement of a two-operand command, with `result` as the new R0.
void lift_with(const std::string &result) {
  for (int n = 4; n > 0; --n) slot_copy(TextSlots[n], TextSlots[n - 1]);
  slot_copy(TextSlots[SLOT_R0], result.c_str());
}

class UndoTest : public UiTest {
 protected:
  // Runs command id with the given engine body to its end.
  static void run(int id, std::function<void()> body) {
    engine.body = std::move(body);
    press(id);
    ASSERT_TRUE(finish_worker());
  }
};

std::string box(int id) { return fake.control(id)->text; }

TEST_F(UndoTest, UndoPutsBackRegistersDigitsAndOptionsRedoReturns) {
  fake_open_window();
  press(ID_LANGUAGE);  // English captions
  fake.control(ID_R1)->text = "2";
  fake.control(ID_R0)->text = "3";
  fake.control(ID_SIG_DIGITS)->text = "50";
  press(ID_COMPACT_MEM);
  const std::string long_memory(200, '7');
  run(35, [&] {
    lift_with("5\r\n");
    slot_copy(MemoryTexts[2], long_memory.c_str());  // R7, as a self-test leaves it
    slot_copy(TextSlots[SLOT_R7], long_memory.substr(0, 50).c_str());
  });
  ASSERT_EQ(box(ID_R0), "5\r\n");
  ASSERT_EQ(undo_levels(), 1);
  // After the command: an option changed, R0 typed over (the box's own undo has it).
  press(ID_RADIO_RADIAN);
  press(ID_COMPACT_MEM);
  fake.control(ID_R0)->text = "8";
  fake.control(ID_R0)->box_undo = 1;
  plat_set_focus(fake.control(ID_R0));

  // The first Ctrl+Z is the box's: its typing.
  EXPECT_TRUE(ui_on_key('Z', CTRL));
  EXPECT_EQ(fake.calls.back(), "edit_undo 19 undo");
  EXPECT_EQ(undo_levels(), 1);
  // The next one, with nothing left in the box, is the window's.
  const size_t from = fake.calls.size();
  EXPECT_TRUE(ui_on_key('Z', CTRL));
  EXPECT_EQ(box(ID_R0), "3");
  EXPECT_EQ(box(ID_R1), "2");
  EXPECT_EQ(box(ID_R2), "0");
  EXPECT_EQ(box(ID_SIG_DIGITS), "50");
  EXPECT_STREQ(MemoryTexts[2], "0");
  EXPECT_STREQ(TextSlots[SLOT_R7], "0");
  EXPECT_EQ(engine.stale_registers, "7");  // read again from its full text
  EXPECT_EQ(Settings[SET_ANGLE_UNIT], 0);
  EXPECT_EQ(Settings[SET_COMPACT_MEM], 1);
  EXPECT_TRUE(fake.control(ID_RADIO_DEGREE)->checked);
  EXPECT_FALSE(fake.control(ID_RADIO_RADIAN)->checked);
  EXPECT_TRUE(fake.control(ID_COMPACT_MEM)->checked);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "undone: +");
  EXPECT_TRUE(fake.control(ID_R0)->selected_all);  // ready for the next number
  // Only the boxes whose text changed were set: R3, R4 and the digits field kept theirs.
  for (const std::string &c : fake.calls_since(from, "set_text "))
    EXPECT_TRUE(c.rfind("set_text 19 ", 0) == 0 || c.rfind("set_text 17 ", 0) == 0 ||
                c.rfind("set_text 15 ", 0) == 0)
        << c;
  EXPECT_EQ(undo_levels(), 0);
  EXPECT_EQ(redo_levels(), 1);
  ui_on_key('Z', CTRL);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "nothing to undo");

  // Redo brings back the state the undo replaced: the result, the typing, the options.
  for (unsigned mods : {CTRL, CTRL | SHIFT}) {
    const int key = mods == CTRL ? 'Y' : 'Z';
    EXPECT_TRUE(ui_on_key(key, mods));
    EXPECT_EQ(box(ID_R0), "8");
    EXPECT_EQ(box(ID_R1), "3");
    EXPECT_EQ(std::string(MemoryTexts[2]), long_memory);
    EXPECT_EQ(Settings[SET_ANGLE_UNIT], 1);
    EXPECT_EQ(Settings[SET_COMPACT_MEM], 0);
    EXPECT_STREQ(TextSlots[SLOT_STATUS], "redone: +");
    ui_on_key('Z', CTRL);
    EXPECT_EQ(box(ID_R0), "3");
  }
  // Japanese captions, Japanese words.
  press(ID_LANGUAGE);
  ui_on_key('Y', CTRL);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "やり直しました: +");
  // A new command drops the redo levels.
  ui_on_key('Z', CTRL);
  run(86, [] { slot_copy(TextSlots[SLOT_R0], "-3\r\n"); });
  EXPECT_EQ(redo_levels(), 0);
  ui_on_key('Z', CTRL);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "元に戻しました: +/-");
  EXPECT_EQ(box(ID_R0), "3");
}

// Every kind of run leaves a level when it changed something, and none when it did not.
TEST_F(UndoTest, EveryRunIsCoveredAndAnUnchangedOneLeavesNoLevel) {
  fake_open_window();
  press(ID_LANGUAGE);
  fake.control(ID_R0)->text = "4";
  run(88, [] { slot_copy(TextSlots[SLOT_STATUS], "Not yet supported"); });  // "---"
  EXPECT_EQ(undo_levels(), 0);
  // ACLR, MCLR, a script that writes the memories: each one level.
  for (int n = 0; n < 5; ++n) slot_copy(MemoryTexts[n], std::to_string(n + 5).c_str());
  run(68, [] { for (int n = 0; n < 5; ++n) slot_copy(TextSlots[n], "0"); });
  run(69, [] { for (int n = 0; n < 5; ++n) slot_copy(MemoryTexts[n], "0"); });
  run(ID_PERFORM, [] { slot_copy(MemoryTexts[4], "1.5"); });
  EXPECT_EQ(undo_levels(), 3);
  // A cancelled run that had already moved the stack.
  fake.control(ID_R0)->text = "6";
  engine.body = [] {
    lift_with("0");
    blocking_body();
  };
  press(53);
  ASSERT_TRUE(wait_entered(5000));
  press(ID_CANCEL);
  ASSERT_FALSE(worker_thread.joinable());
  EXPECT_EQ(box(ID_R1), "6");
  EXPECT_EQ(undo_levels(), 4);
  for (const char *undone : {"exp", "Perform the following", "MCLR", "ACLR"}) {
    ui_on_key('Z', CTRL);
    EXPECT_EQ(std::string(TextSlots[SLOT_STATUS]), std::string("undone: ") + undone);
  }
  EXPECT_EQ(box(ID_R0), "4");  // as typed before ACLR
  for (int n = 0; n < 5; ++n) EXPECT_EQ(std::string(MemoryTexts[n]), std::to_string(n + 5)) << n;
  EXPECT_EQ(engine.stale_registers, "9" "56789");  // the script's R9, then MCLR's five
}

// Texts are shared between levels: a stack movement of five 100,000-digit registers costs
// one new text; the oldest levels go beyond 8 MB of text or 100 levels.
TEST_F(UndoTest, LevelsShareTextsAndStayWithinTheirBounds) {
  fake_open_window();
  constexpr size_t LONG = 109999;
  auto long_text = [](int k) { return std::string(LONG - 10, '1') + std::to_string(1000000000 + k); };
  for (int k = 0; k < 5; ++k) run(ID_PERFORM, [&] { lift_with(long_text(k)); });
  const size_t five = undo_text_bytes();
  EXPECT_LT(five, 6 * LONG);  // the five levels hold the texts once each
  // ACLR of the five and its undo.
  run(68, [] { for (int n = 0; n < 5; ++n) slot_copy(TextSlots[n], "0"); });
  EXPECT_LT(undo_text_bytes(), 6 * LONG);
  ui_on_key('Z', CTRL);
  for (int n = 0; n < 5; ++n) EXPECT_EQ(box(ID_R0 - 2 * n), long_text(4 - n)) << n;
  ui_on_key('Y', CTRL);

  // Commands that change all ten texts (1.1 MB a level): the budget holds, the oldest go.
  // Commands of one new text each: many more levels fit.
  for (int k = 0; k < 20; ++k) {
    run(ID_PERFORM, [&] {
      for (int n = 0; n < 5; ++n) slot_copy(TextSlots[n], long_text(100 + 10 * k + n).c_str());
      for (int n = 0; n < 5; ++n) slot_copy(MemoryTexts[n], long_text(105 + 10 * k + n).c_str());
    });
    EXPECT_LE(undo_text_bytes(), UNDO_TEXT_BUDGET);
  }
  EXPECT_GE(undo_levels(), 6);
  for (int k = 0; k < 40; ++k) run(ID_PERFORM, [&] { lift_with(long_text(1000 + k)); });
  EXPECT_LE(undo_text_bytes(), UNDO_TEXT_BUDGET);
  EXPECT_GE(undo_levels(), 40);
  // Small texts: the count is the bound.
  for (int k = 0; k < 120; ++k) run(ID_PERFORM, [&] { lift_with(std::to_string(k)); });
  EXPECT_EQ(undo_levels(), UNDO_MAX_LEVELS);
  int undone = 0;
  while (undo_step(main_window, false)) ++undone;
  EXPECT_EQ(undone, UNDO_MAX_LEVELS);
  EXPECT_EQ(box(ID_R0), "19");  // the state before the oldest level kept
}

}  // namespace
