// The keyboard through the fake platform: the key table, the Tab order, Return, Esc, the
// arrows in the grid, and the manual's table of keys.
#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "tests/ui/ui_fixture.h"
#include "ui/keys.h"

namespace {

constexpr unsigned CTRL = UI_MOD_CTRL, SHIFT = UI_MOD_SHIFT, ALT = UI_MOD_ALT;

int focused() { return plat_focused_id(main_window); }

class KeysTest : public UiTest {
 protected:
  // Runs one key's command to its end; the id the engine saw, or 0 when nothing ran.
  static int command_of_key(int key, unsigned mods) {
    const int before = engine.runs;
    EXPECT_TRUE(ui_on_key(key, mods));
    if (engine.runs == before && !worker_thread.joinable()) return 0;
    EXPECT_TRUE(finish_worker());
    return engine.seen_command;
  }
};

TEST_F(KeysTest, EveryButtonHasAKeyThatTypesNoCharacter) {
  std::set<int> bound;
  std::set<std::pair<int, unsigned>> seen;
  for (int i = 0; i < KEY_TABLE_SIZE; ++i) {
    const KeyBinding &b = KeyTable[i];
    bound.insert(b.id);
    EXPECT_TRUE(seen.insert({b.key, b.mods}).second) << key_name(b) << " bound twice";
    // A character key needs Ctrl or Alt, never both (AltGr); plain keys are F-keys or Esc.
    if (b.key < 0x100) {
      EXPECT_TRUE(b.mods & (CTRL | ALT)) << key_name(b);
    }
    EXPECT_FALSE((b.mods & CTRL) && (b.mods & ALT)) << key_name(b);
    // Shift never counts for a character that is not a letter.
    if (b.key < 0x100 && !(b.key >= 'A' && b.key <= 'Z')) {
      EXPECT_FALSE(b.mods & SHIFT) << key_name(b);
    }
    // The editing keys stay with the boxes.
    for (int edit : {'A', 'C', 'V', 'X'}) EXPECT_FALSE(b.key == edit && b.mods == CTRL) << key_name(b);
  }
  for (int id = ID_FIRST_COMMAND; id <= ID_CANCEL; ++id) {
    const bool placeholder = std::string(ControlTable[id].caption[1]) == "---";
    EXPECT_EQ(bound.count(id), placeholder ? 0u : 1u) << "button " << id;
  }
  EXPECT_TRUE(bound.count(KEY_UNDO) && bound.count(KEY_REDO));
  EXPECT_EQ(key_name(*key_for(35)), "Ctrl++");
  EXPECT_EQ(key_name(*key_for(47)), "Ctrl+Shift+X");
  EXPECT_EQ(key_name(*key_for(65)), "Alt+Shift+S");
  EXPECT_EQ(key_name(*key_for(80)), "Ctrl+Shift+F5");
  EXPECT_EQ(key_name(*key_for(ID_PERFORM)), "Ctrl+Enter");

  // Every character of a number types, with or without Shift, in any box.
  fake_open_window();
  for (int id : {ID_R0, ID_SIG_DIGITS, ID_SCRIPT}) {
    plat_set_focus(fake.control(id));
    for (char c : std::string("0123456789.+-eE ,")) {
      const int key = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
      EXPECT_FALSE(ui_on_key(key, 0)) << c;
      EXPECT_FALSE(ui_on_key(key, SHIFT)) << c;
    }
  }
  EXPECT_FALSE(ui_on_key('S', CTRL | ALT));  // AltGr+S
  EXPECT_EQ(engine.runs, 0);
  // Each button's tooltip shows its key.
  EXPECT_EQ(fake.control(50)->tooltip, "Ctrl+S");
  EXPECT_EQ(fake.control(ID_CANCEL)->tooltip, "Esc");
  EXPECT_EQ(fake.control(88)->tooltip, "");
}

TEST_F(KeysTest, EveryKeyPressesItsButton) {
  fake_open_window();
  for (int i = 0; i < KEY_TABLE_SIZE; ++i) {
    const KeyBinding &b = KeyTable[i];
    if (b.id < ID_FIRST_COMMAND || b.id > ID_LAST_COMMAND) continue;
    EXPECT_EQ(command_of_key(b.key, b.mods), b.id) << key_name(b);
  }
  // A sign that needs Shift on one keyboard counts without it; the keypad's are the same.
  EXPECT_EQ(command_of_key('+', CTRL | SHIFT), 35);
  EXPECT_EQ(command_of_key('*', CTRL | SHIFT), 37);
  EXPECT_EQ(command_of_key('9', ALT | SHIFT), 90);  // a French keyboard's 9
  // A letter's Shift does count: Ctrl+Shift+R is CBRT, not SQRT.
  EXPECT_EQ(command_of_key('R', CTRL | SHIFT), 44);
  EXPECT_FALSE(ui_on_key('Q', CTRL));
}

TEST_F(KeysTest, TabVisitsEveryControlInReadingOrder) {
  fake_open_window();
  std::set<int> takes_focus;
  for (int id = 0; id < CONTROL_COUNT; ++id) {
    const int32_t k = ControlTable[id].kind;
    if (k == KIND_PUSH || k == KIND_RADIO || k == KIND_CHECK || k == KIND_EDIT) takes_focus.insert(id);
  }
  EXPECT_EQ(std::set<int>(FocusOrder, FocusOrder + FOCUS_ORDER_SIZE), takes_focus);
  EXPECT_EQ(static_cast<size_t>(FOCUS_ORDER_SIZE), takes_focus.size());
  // The grid row by row: "+", "up", "dup", ... then "-", "down", ...
  const int *plus = std::find(FocusOrder, FocusOrder + FOCUS_ORDER_SIZE, 35);
  EXPECT_EQ(plus[1], 40);
  EXPECT_EQ(plus[12], 36);

  // Idle: Tab from R1 goes through everything but the disabled "Cancel", and wraps.
  std::vector<int> visited;
  ASSERT_EQ(focused(), ID_R1);
  for (int i = 0; i < FOCUS_ORDER_SIZE - 1; ++i) {
    EXPECT_TRUE(ui_on_key(UI_KEY_TAB, i % 2 ? CTRL : 0));  // Ctrl+Tab alike
    visited.push_back(focused());
  }
  EXPECT_EQ(visited.back(), ID_R1);
  EXPECT_EQ(visited[0], ID_R0);
  EXPECT_EQ(visited[1], ID_RADIO_DEGREE);
  EXPECT_EQ(std::count(visited.begin(), visited.end(), ID_CANCEL), 0);
  EXPECT_EQ(std::set<int>(visited.begin(), visited.end()).size(), takes_focus.size() - 1);
  // Shift+Tab goes back; a box reached by Tab has its text selected.
  ui_on_key(UI_KEY_TAB, SHIFT);
  EXPECT_EQ(focused(), ID_R2);
  EXPECT_TRUE(fake.control(ID_R2)->selected_all);
  plat_set_focus(fake.control(ID_LANGUAGE));
  ui_on_key(UI_KEY_TAB, SHIFT);
  EXPECT_EQ(focused(), ID_SCRIPT);

  // Running: the boxes, the script and "Perform the following" are passed over, "Cancel"
  // is reached.
  engine.body = blocking_body;
  press(50);
  ASSERT_TRUE(wait_entered(5000));
  plat_set_focus(fake.control(ID_RADIO_DEGREE));
  std::set<int> during;
  for (int i = 0; i < FOCUS_ORDER_SIZE; ++i) {
    ui_on_key(UI_KEY_TAB, 0);
    during.insert(focused());
  }
  for (int id : {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4, ID_SIG_DIGITS, ID_SCRIPT, ID_PERFORM})
    EXPECT_EQ(during.count(id), 0u) << id;
  EXPECT_EQ(during.count(ID_CANCEL), 1u);
  ASSERT_TRUE(finish_worker());
}

TEST_F(KeysTest, ReturnEscAndTheArrows) {
  fake_open_window();
  // Return in a register box is "up"; with Shift, and in the digits field, nothing; never
  // a line break.
  plat_set_focus(fake.control(ID_R0));
  EXPECT_EQ(command_of_key(UI_KEY_RETURN, 0), 40);
  EXPECT_EQ(focused(), ID_R0);  // back in R0 after the run, its new text selected
  EXPECT_TRUE(fake.control(ID_R0)->selected_all);
  EXPECT_EQ(command_of_key(UI_KEY_RETURN, SHIFT), 0);
  plat_set_focus(fake.control(ID_SIG_DIGITS));
  EXPECT_EQ(command_of_key(UI_KEY_RETURN, 0), 0);
  // On a button, Return presses it; in the script box it is the box's new line.
  plat_set_focus(fake.control(51));
  EXPECT_EQ(command_of_key(UI_KEY_RETURN, 0), 51);
  EXPECT_EQ(focused(), 51);
  plat_set_focus(fake.control(ID_SCRIPT));
  EXPECT_FALSE(ui_on_key(UI_KEY_RETURN, 0));
  EXPECT_EQ(command_of_key(UI_KEY_RETURN, CTRL), ID_PERFORM);
  EXPECT_EQ(focused(), ID_SCRIPT);

  // Esc: nothing when idle, Cancel while running.
  const int runs = engine.runs;
  EXPECT_TRUE(ui_on_key(UI_KEY_ESCAPE, 0));
  EXPECT_EQ(engine.runs, runs);
  engine.reset();
  engine.body = blocking_body;
  plat_set_focus(fake.control(ID_R0));
  ui_on_key('S', CTRL);
  ASSERT_TRUE(wait_entered(5000));
  EXPECT_EQ(plat_focused_id(main_window), -1);  // the window keeps the keyboard
  EXPECT_TRUE(ui_on_key(UI_KEY_ESCAPE, 0));
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "aborted\n");
  EXPECT_EQ(focused(), ID_R0);
  // A key of the table during a run is refused as a click is.
  engine.reset();
  engine.body = blocking_body;
  ui_on_key('S', CTRL);
  ASSERT_TRUE(wait_entered(5000));
  EXPECT_TRUE(ui_on_key('O', CTRL));
  EXPECT_TRUE(ui_on_key('Z', CTRL));
  EXPECT_EQ(fake.boxes.size(), 2u);
  ASSERT_TRUE(finish_worker());
  EXPECT_EQ(engine.runs, 1);

  // The arrows inside the grid, stopping at its edges; elsewhere they are the box's.
  struct Move {
    int from, key, to;
  } moves[] = {{35, UI_KEY_RIGHT, 40}, {35, UI_KEY_DOWN, 36}, {35, UI_KEY_LEFT, 35},
               {35, UI_KEY_UP, 35},    {94, UI_KEY_DOWN, 94}, {94, UI_KEY_RIGHT, 94},
               {94, UI_KEY_LEFT, 89},  {52, UI_KEY_UP, 51}};
  for (const Move &m : moves) {
    plat_set_focus(fake.control(m.from));
    EXPECT_TRUE(ui_on_key(m.key, 0));
    EXPECT_EQ(focused(), m.to) << m.from << " " << m.key;
  }
  plat_set_focus(fake.control(ID_R0));
  EXPECT_FALSE(ui_on_key(UI_KEY_LEFT, 0));
}

#ifdef DEEPNUMS_MANUAL
// The manual's table of keys is the key table's own text.
TEST(KeysManual, TableInTheManualIsTheKeyTable) {
  std::ifstream in(DEEPNUMS_MANUAL);
  ASSERT_TRUE(in.good()) << DEEPNUMS_MANUAL;
  std::stringstream text;
  text << in.rdbuf();
  const std::string manual = text.str();
  const std::string begin = "<!-- key table: generated from ui/keys.cpp -->\n", end = "<!-- end of key table -->";
  const size_t b = manual.find(begin), e = manual.find(end);
  ASSERT_NE(b, std::string::npos);
  ASSERT_NE(e, std::string::npos);
  // The table, then a blank line that ends it before the closing marker.
  EXPECT_EQ(manual.substr(b + begin.size(), e - b - begin.size()), key_table_markdown() + "\n")
      << "docs/manual.md should hold, between its markers:\n" << key_table_markdown();
}
#endif

}  // namespace
