// The list of the constants and functions beyond the buttons, through the fake platform
// over the real engine: the rows a filter shows and their order, the key of every row, a
// chosen row run on the worker as a button runs (its registers against the engine's own
// run of the same code), undo, the grid's context menu and the refusal during a run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/cancel.h"
#include "engine/command_table.h"
#include "engine/executor.h"
#include "engine/state.h"
#include "tests/ui/fake_platform.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/function_list.h"
#include "ui/keys.h"
#include "ui/main_window.h"
#include "ui/workspace.h"

namespace {

constexpr int JA = 0, EN = 1;

class FunctionListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    char tmpl[] = "/tmp/deepnums_list_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    std::filesystem::current_path(dir_);
    set_workspace_file("deepNUMS.ini");
    setenv("LC_ALL", "C", 1);  // a first start with the English captions
    fake.reset();
    ASSERT_NE(fake_open_window(), nullptr);
  }
  void TearDown() override {
    if (worker_thread.joinable()) {
      cancel_requested = true;
      worker_thread.join();
    }
    fake.pump();
    EXPECT_EQ(fake.wrong_thread_calls, 0) << "platform called off the main thread";
    std::filesystem::current_path(old_dir_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  static std::vector<std::string> names(const char *filter, int language) {
    std::vector<int> rows(static_cast<size_t>(function_count()));
    const int n = function_filter(filter, language, rows.data());
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) out.push_back(function_entry(rows[static_cast<size_t>(i)]).name);
    return out;
  }
  static void type(int id, const char *text) { plat_set_text(ControlWindows[id], text); }
  static std::string box(int id) { return fake.control(id)->text; }
  static bool finish_worker() {
    if (!fake.wait_posted(20000)) return false;
    fake.pump();
    return !command_running();
  }

  std::filesystem::path old_dir_, dir_;
};

TEST_F(FunctionListTest, FiltersShowTheRowsBestFirst) {
  struct Case {
    const char *filter;
    int language;
    std::vector<std::string> shown;
  } cases[] = {
      {"gam", EN, {"gamma", "lngamma"}},          // the name's start, then inside a name
      {" ZETA ", EN, {"zeta", "zeta3"}},          // the name itself, then its start; any case
      {"choose", EN, {"binomial"}},               // an alias, and the description
      {"w", EN, {"lambertw", "lambertwm1", "powmod"}},  // aliases, then a name
      {"error", EN, {"erf", "erfc"}},             // the description
      {"誤差", JA, {"erf", "erfc"}},               // the Japanese description
      {"誤差", EN, {}},                            // only the shown language's
      {"geometric mean", EN, {"agm"}},            // every word somewhere
      {"mean zeta", EN, {}},
      {"xyz", EN, {}},
  };
  for (const Case &c : cases) EXPECT_EQ(names(c.filter, c.language), c.shown) << "[" << c.filter << "]";
  // No filter: every row in the catalogue's order.
  std::vector<std::string> all;
  for (int i = 0; i < CommandTableCount; ++i) {
    if (command_is_extra(CommandTable[i])) all.push_back(CommandTable[i].caption);
  }
  EXPECT_EQ(all.size(), 20u);
  EXPECT_EQ(names("", EN), all);
  EXPECT_EQ(names("  ", JA), all);
}

// Every command beyond the buttons has its row with a description of its own in both
// languages, and a key: Ctrl+K and the shortest start of a name that puts it first.
TEST_F(FunctionListTest, EveryRowHasItsDescriptionsAndAKeyThatPutsItFirst) {
  ASSERT_EQ(function_count(), 20);
  std::vector<int> rows(20);
  for (int i = 0; i < function_count(); ++i) {
    const FunctionEntry &e = function_entry(i);
    const CommandDef *def = command_find(e.code);
    ASSERT_NE(def, nullptr) << e.code;
    EXPECT_STREQ(e.name, def->caption);
    EXPECT_STREQ(function_name(e.code), e.name);
    EXPECT_STRNE(e.description[JA], def->help) << e.name;
    EXPECT_STRNE(e.description[EN], def->help) << e.name;
    EXPECT_STRNE(e.description[JA], e.description[EN]) << e.name;
    const std::string key = function_key_text(i), typed = function_shortest_filter(i);
    EXPECT_EQ(key, "Ctrl+K, " + typed);
    const std::string names = std::string(" ") + e.name + " " + e.aliases;
    EXPECT_NE(names.find(" " + typed), std::string::npos) << e.name << ": " << typed;
    for (int language : {JA, EN}) {
      ASSERT_GT(function_filter(typed.c_str(), language, rows.data()), 0) << typed;
      EXPECT_EQ(rows[0], i) << e.name << ": " << typed;
    }
  }
  struct Key {
    int code;
    const char *typed;
  } keys[] = {{200, "e"}, {210, "g"}, {212, "zeta"}, {213, "er"}, {214, "erfc"}, {216, "wm"}, {225, "gc"}};
  for (const Key &k : keys) {
    for (int i = 0; i < function_count(); ++i) {
      if (function_entry(i).code == k.code) {
        EXPECT_EQ(function_shortest_filter(i), k.typed) << k.code;
      }
    }
  }
  EXPECT_EQ(function_name(47), nullptr);  // a button's code is no row
}

// A row chosen with the keyboard runs on the worker and leaves the registers as the
// engine's own run of its code leaves them, with "Exact digits" off in the window (these
// commands always compute with exact digits); Ctrl+Z takes it back.
TEST_F(FunctionListTest, AChosenRowRunsAsTheEngineRunsItsCode) {
  struct Case {
    const char *filter;
    int pick;
    int code;
    const char *r2, *r1, *r0;
    const char *want;  // R0 by hand, or null
  } cases[] = {
      {"gam", 0, 210, "0", "0", "0.5", nullptr},
      {"eu", 0, 200, "0", "7", "8", nullptr},
      {"choose", 0, 221, "0", "10", "3", "120\r\n"},
      {"atan2", 0, 222, "0", "1", "-1", "135\r\n"},  // degrees
      {"powmod", 0, 230, "4", "13", "497", "445\r\n"},
      {"erf", 1, 214, "0", "0", "0.5", nullptr},
      {"zeta", 0, 212, "0", "0", "-1", nullptr},
  };
  type(ID_SIG_DIGITS, "40");
  if (Settings[SET_EXACT_DIGITS] != 0) ui_on_command(ID_EXACT_DIGITS, 0);
  ASSERT_EQ(Settings[SET_EXACT_DIGITS], 0);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.filter);
    type(ID_R2, c.r2);
    type(ID_R1, c.r1);
    type(ID_R0, c.r0);
    fake.list_actions.push_back({c.filter, c.pick});
    plat_set_focus(ControlWindows[ID_R1]);
    EXPECT_TRUE(ui_on_key('K', UI_MOD_CTRL));
    ASSERT_TRUE(command_running());
    ASSERT_TRUE(finish_worker());
    EXPECT_EQ(plat_focused_id(main_window), ID_R1);  // back where it was, as after a button
    std::string got[5];
    for (int n = 0; n < 5; ++n) got[n] = box(ID_R0 - 2 * n);
    const std::string status = TextSlots[SLOT_STATUS];
    if (c.want) {
      EXPECT_EQ(got[0], c.want);
    }

    // The oracle: the engine runs the code by number on the same texts, exact digits on.
    const char *inputs[3] = {c.r0, c.r1, c.r2};
    for (int n = 0; n < 5; ++n) slot_copy(TextSlots[n], n < 3 ? inputs[n] : "0");
    mark_shadows_stale();
    Settings[SET_EXACT_DIGITS] = 1;
    Settings[SET_COMMAND] = c.code;
    ASSERT_EQ(execute_command(), 0);
    Settings[SET_EXACT_DIGITS] = 0;
    for (int n = 0; n < 5; ++n) EXPECT_EQ(got[n], TextSlots[n]) << "R" << n;
    EXPECT_EQ(status, TextSlots[SLOT_STATUS]);
    for (int n = 0; n < 5; ++n) slot_copy(TextSlots[n], got[n].c_str());
    mark_shadows_stale();

    // Undo puts the operands back and names the function.
    EXPECT_TRUE(ui_on_key('Z', UI_MOD_CTRL));
    EXPECT_EQ(box(ID_R0), c.r0);
    EXPECT_EQ(box(ID_R1), c.r1);
    EXPECT_EQ(std::string(TextSlots[SLOT_STATUS]), std::string("undone: ") + function_name(c.code));
  }
}

TEST_F(FunctionListTest, OpensFromTheGridsMenuKeepsItsFilterAndWaitsForTheRun) {
  // The context menu of a grid button and of the grid's background: one item. (The list
  // was last closed with an empty filter.)
  fake.list_actions.push_back({"", -1});
  open_function_list();
  fake.calls.clear();
  fake.menu_choices = {0};
  EXPECT_TRUE(ui_on_context_menu(50));  // "sin"
  EXPECT_EQ(fake.calls_since(0, "context_menu"), std::vector<std::string>{"context_menu 50"});
  EXPECT_EQ(fake.menu_items, std::vector<std::string>{"Functions and constants…\tCtrl+K"});
  ASSERT_EQ(fake.calls_since(0, "choose_row").size(), 1u);  // closed with Escape: nothing runs
  EXPECT_FALSE(command_running());
  EXPECT_EQ(fake.calls_since(0, "choose_row")[0], "choose_row main Functions and constants [Run] [Cancel]");
  EXPECT_EQ(fake.list_headings, (std::vector<std::string>{"Name", "Description", "Key"}));
  ASSERT_EQ(fake.list_cells.size(), 60u);
  EXPECT_EQ(fake.list_cells[0], "euler");
  EXPECT_EQ(fake.list_cells[1], "Euler's constant γ = 0.5772…");
  EXPECT_EQ(fake.list_cells[2], "Ctrl+K, e");
  EXPECT_EQ(fake.list_shown.size(), 20u);

  const UiRect sin = control_rect(ControlTable[50]);
  const size_t before = fake.calls.size();
  fake.menu_choices = {0};
  EXPECT_TRUE(ui_on_background_menu(sin.left + 2, sin.bottom + 1));  // just below "sin"
  EXPECT_EQ(fake.calls_since(before, "context_menu"), std::vector<std::string>{"context_menu main"});
  EXPECT_FALSE(ui_on_background_menu(1, 1));  // the top left corner
  EXPECT_FALSE(ui_on_context_menu(ID_LANGUAGE));
  EXPECT_TRUE(ui_on_context_menu(ID_R0));  // the register box keeps its own menu
  EXPECT_EQ(fake.menu_items.size(), 5u);

  // The filter typed is offered again; in Japanese the texts are Japanese.
  fake.list_actions.push_back({"gam", -1});
  ui_on_key('K', UI_MOD_CTRL);
  ui_on_command(ID_LANGUAGE, 0);
  ui_on_key('K', UI_MOD_CTRL);
  EXPECT_EQ(fake.list_first_filter, "gam");
  EXPECT_EQ(fake.list_shown, (std::vector<std::string>{"gamma", "lngamma"}));
  EXPECT_EQ(fake.list_title, "関数と定数");
  EXPECT_EQ(fake.list_headings, (std::vector<std::string>{"名前", "説明", "キー"}));
  EXPECT_EQ(fake.list_cells[1], "オイラーの定数 γ = 0.5772…");
  fake.menu_choices = {-1};
  ui_on_context_menu(40);
  EXPECT_EQ(fake.menu_items, std::vector<std::string>{"関数と定数…\tCtrl+K"});

  // While a command runs the key and the menu are refused as the buttons are.
  ui_on_command(63, 0);  // pi
  ASSERT_TRUE(command_running());
  const size_t during = fake.calls.size();
  fake.list_actions.push_back({"gam", 0});
  EXPECT_TRUE(ui_on_key('K', UI_MOD_CTRL));
  EXPECT_TRUE(ui_on_context_menu(50));
  run_function(210);
  EXPECT_EQ(fake.calls_since(during, "choose_row").size(), 0u);
  EXPECT_EQ(fake.calls_since(during, "context_menu").size(), 0u);
  EXPECT_EQ(fake.calls_since(during, "message_box").size(), 3u);
  ASSERT_TRUE(finish_worker());
  EXPECT_EQ(Settings[SET_COMMAND], 63);
}

}  // namespace
