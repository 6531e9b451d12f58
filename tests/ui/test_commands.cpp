// Button presses, the idle and running states, the worker, Cancel and progress.
#include <pthread.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "tests/ui/ui_fixture.h"

namespace {

using CommandsTest = UiTest;

const std::vector<std::string> EDIT_READS = {"get_text 2",  "get_text 11", "get_text 13", "get_text 15",
                                             "get_text 17", "get_text 19", "get_text 98"};

TEST_F(CommandsTest, StartAndFinishInTheirOrder) {
  fake_open_window();
  fake.control(ID_R1)->text = "10";
  fake.control(ID_R0)->text = "3";
  const size_t from = fake.calls.size();
  // Hold the worker until the press has returned, so the recorded order is exact.
  engine.body = [] {
    while (!engine.release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    slot_copy(TextSlots[SLOT_R0], "7\r\n");
    slot_copy(TextSlots[SLOT_R1], "3\r\n");
    slot_copy(TextSlots[SLOT_R2], "10\r\n");
  };
  press(36);
  std::vector<std::string> expected = EDIT_READS;
  // R1 had the focus (a fresh window's): the window keeps the keyboard during the run.
  expected.push_back("focus main");
  for (const char *c : {"enable 96 1", "enable 95 0", "enable 19 0", "enable 17 0", "enable 15 0",
                        "enable 13 0", "enable 11 0", "enable 2 0", "enable 98 0"})
    expected.push_back(c);
  expected.insert(expected.end(), EDIT_READS.begin(), EDIT_READS.end());
  expected.push_back("set_timer main 250");
  expected.push_back("invalidate main");
  EXPECT_EQ(fake.calls_since(from), expected);
  EXPECT_TRUE(worker_thread.joinable());
  EXPECT_EQ(Settings[SET_COMMAND], 36);

  const size_t end_from = fake.calls.size();
  ASSERT_TRUE(finish_worker());
  EXPECT_EQ(engine.seen_command, 36);
  EXPECT_EQ(engine.seen_r1, "10");
  EXPECT_EQ(engine.seen_r0, "3");
  expected = {"kill_timer main", "enable 96 0", "enable 95 1", "enable 19 1", "enable 17 1",
              "enable 15 1",     "enable 13 1", "enable 11 1", "enable 2 1", "enable 98 1",
              // Only the boxes whose text changed are set, each repainted at once.
              "get_text 19", "set_text 19 7\r\n", "update 19", "get_text 17", "set_text 17 3\r\n",
              "update 17", "get_text 15", "set_text 15 10\r\n", "update 15", "get_text 13", "get_text 11",
              "get_text 2", "get_text 98",
              // R1 takes the focus back, its new text selected for the next number, and
              // the position field shows where its caret is.
              "focus 17", "get_text 17", "invalidate_rect main 312,8,1208,27", "invalidate main"};
  EXPECT_EQ(fake.calls_since(end_from), expected);
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_FALSE(fake.timer_active);
  EXPECT_EQ(fake.control(ID_R0)->text, "7\r\n");
  EXPECT_TRUE(fake.control(ID_R0)->enabled);
  EXPECT_FALSE(fake.control(ID_CANCEL)->enabled);
}

TEST_F(CommandsTest, EveryPressIsRefusedWhileRunning) {
  for (int language : {0, 1}) {
    SCOPED_TRACE("language " + std::to_string(language));
    fake.reset();
    engine.reset();
    fake_open_window();
    Settings[SET_LANGUAGE] = language;
    set_captions();
    engine.body = blocking_body;
    press(47);
    ASSERT_TRUE(wait_entered(5000));
    const int32_t before[] = {Settings[SET_LANGUAGE], Settings[SET_ANGLE_UNIT], Settings[SET_COMPACT_MEM],
                              Settings[SET_BARE_DIGITS], Settings[SET_PLANE_DISP], Settings[SET_COMMAND]};
    const std::string caption8 = fake.control(ID_LANGUAGE)->text;
    const int refused[] = {8, 9, 31, 32, 33, 34, 99, 35, 47, 60, 94, 95, 0, 10, 30, 97, 100};
    for (int id : refused) {
      const size_t boxes = fake.boxes.size();
      const size_t from = fake.calls.size();
      press(id);
      ASSERT_EQ(fake.boxes.size(), boxes + 1) << "id " << id;
      EXPECT_EQ(fake.boxes.back().text, language ? "Can't change it while execution" : "実行中は変更出来ません");
      EXPECT_EQ(fake.boxes.back().title, "Parameter");
      EXPECT_EQ(fake.boxes.back().flags, UI_MB_OK);
      // The box, then a repaint: nothing else.
      auto calls = fake.calls_since(from);
      ASSERT_EQ(calls.size(), 2u) << "id " << id;
      EXPECT_EQ(calls[0].rfind("message_box main Parameter ", 0), 0u);
      EXPECT_EQ(calls[1], "invalidate main");
    }
    const int32_t after[] = {Settings[SET_LANGUAGE], Settings[SET_ANGLE_UNIT], Settings[SET_COMPACT_MEM],
                             Settings[SET_BARE_DIGITS], Settings[SET_PLANE_DISP], Settings[SET_COMMAND]};
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), std::begin(after)));
    EXPECT_EQ(fake.control(ID_LANGUAGE)->text, caption8);
    EXPECT_TRUE(fake.control(ID_RADIO_DEGREE)->checked);
    EXPECT_FALSE(fake.control(ID_COMPACT_MEM)->checked);
    EXPECT_EQ(engine.runs, 1);
    press(ID_CANCEL);
    EXPECT_FALSE(worker_thread.joinable());
  }
}

TEST_F(CommandsTest, CancelStopsTheWorkerAndReturnsToIdle) {
  fake_open_window();
  fake.control(ID_R0)->text = "100000000";
  engine.body = blocking_body;
  press(85);
  ASSERT_TRUE(wait_entered(5000));
  EXPECT_TRUE(fake.control(ID_CANCEL)->enabled);
  EXPECT_FALSE(fake.control(ID_PERFORM)->enabled);
  EXPECT_FALSE(fake.control(ID_R0)->enabled);
  EXPECT_FALSE(fake.control(ID_SIG_DIGITS)->enabled);
  EXPECT_FALSE(fake.control(ID_SCRIPT)->enabled);  // finish_run refills it: no typing
  EXPECT_TRUE(fake.control(ID_LANGUAGE)->enabled);

  const auto start = std::chrono::steady_clock::now();
  const size_t from = fake.calls.size();
  press(ID_CANCEL);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "aborted\n");
  EXPECT_EQ(engine.stale_marks, 1);
  EXPECT_FALSE(fake.control(ID_CANCEL)->enabled);
  EXPECT_TRUE(fake.control(ID_PERFORM)->enabled);
  for (int id : {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4, ID_SIG_DIGITS, ID_SCRIPT})
    EXPECT_TRUE(fake.control(id)->enabled);
  const auto calls = fake.calls_since(from);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0], "kill_timer main");
  EXPECT_EQ(calls[1], "enable 96 0");
  EXPECT_EQ(calls.back(), "invalidate main");
  EXPECT_TRUE(fake.boxes.empty());
  // The stopped worker posts nothing and writes nothing more.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(fake.pump(), 0);
  EXPECT_FALSE(engine.wrote_after_cancel);
  EXPECT_LT(std::chrono::duration<double>(took).count(), 5.0);

  // Idle again: Cancel does nothing but empty the status line, and the next command runs.
  size_t idle_from = fake.calls.size();
  press(ID_CANCEL);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "");
  EXPECT_EQ(fake.calls_since(idle_from), (std::vector<std::string>{"invalidate main"}));
  engine.reset();
  press(35);
  ASSERT_TRUE(finish_worker());
  EXPECT_EQ(fake.control(ID_R0)->text, "result 35\r\n");
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "done");
}

TEST_F(CommandsTest, CancelAfterTheWorkerHasEndedIgnoresItsPostedEnd) {
  fake_open_window();
  press(35);  // the default body ends at once and posts its end
  ASSERT_TRUE(fake.wait_posted(5000));
  press(ID_CANCEL);  // arrives before the posted end is handled
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "aborted\n");
  EXPECT_EQ(fake.control(ID_R0)->text, "result 35\r\n");  // written results stay
  const size_t from = fake.calls.size();
  EXPECT_EQ(fake.pump(), 1);
  EXPECT_TRUE(fake.calls_since(from).empty());  // the stale end changed nothing
}

TEST_F(CommandsTest, RunEndsWhileTheRefusalBoxIsOpen) {
  fake_open_window();
  engine.body = blocking_body;
  press(47);
  ASSERT_TRUE(wait_entered(5000));
  bool idle_inside = false;
  fake.during_message_box = [&] {
    // The modal box keeps handling posted calls: the end of the run arrives now.
    engine.release = true;
    ASSERT_TRUE(fake.wait_posted(5000));
    fake.pump();
    idle_inside = !worker_thread.joinable();
  };
  press(33);
  EXPECT_TRUE(idle_inside);
  EXPECT_EQ(fake.boxes.size(), 1u);
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_FALSE(fake.control(ID_CANCEL)->enabled);
  EXPECT_TRUE(fake.control(ID_PERFORM)->enabled);
  EXPECT_EQ(Settings[SET_COMPACT_MEM], 0);  // the refused press changed nothing
  EXPECT_FALSE(fake.control(ID_COMPACT_MEM)->checked);
  EXPECT_EQ(fake.calls.back(), "invalidate main");
}

TEST_F(CommandsTest, ScriptTypedDuringARunIsReplaced) {
  fake_open_window();
  fake.control(ID_SCRIPT)->text = "time 1";
  engine.body = blocking_body;
  press(ID_PERFORM);
  ASSERT_TRUE(wait_entered(5000));
  EXPECT_EQ(engine.seen_script, "time 1");
  fake.control(ID_SCRIPT)->text = "typed meanwhile";
  ASSERT_TRUE(finish_worker());
  EXPECT_EQ(fake.control(ID_SCRIPT)->text, "time 1");
}

TEST_F(CommandsTest, PaintingDuringARunUsesCopies) {
  fake_open_window();
  slot_copy(TextSlots[SLOT_R5], "five");
  slot_copy(TextSlots[SLOT_INTERNAL_DIGITS], "1008");
  std::atomic<bool> written{false};
  engine.body = [&] {
    slot_copy(TextSlots[SLOT_R5], "partial");
    slot_copy(TextSlots[SLOT_STATUS], "half");
    slot_copy(TextSlots[SLOT_INTERNAL_DIGITS], "100014");
    written = true;
    blocking_body();
  };
  press(35);
  ASSERT_TRUE(wait_entered(5000));
  while (!written) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ui_on_paint(nullptr);
  auto shown = [](int index) {
    for (const auto &d : fake.drawn) {
      if (d.rect.left == control_rect(ControlTable[index]).left &&
          d.rect.top == control_rect(ControlTable[index]).top)
        return d.text;
    }
    return std::string("<not drawn>");
  };
  EXPECT_EQ(shown(21), "five");
  EXPECT_EQ(shown(97), "");
  EXPECT_EQ(shown(6), "1008");
  ASSERT_TRUE(finish_worker());
  fake.drawn.clear();
  ui_on_paint(nullptr);
  EXPECT_EQ(shown(21), "partial");
  EXPECT_EQ(shown(97), "half");
  EXPECT_EQ(shown(6), "100014");
}

TEST_F(CommandsTest, ProgressInTheStatusLine) {
  for (int language : {0, 1}) {
    fake.reset();
    engine.reset();
    fake_open_window();
    Settings[SET_LANGUAGE] = language;
    engine.body = [] {
      progress_set(25, 100);
      progress_work_since = progress_clock_ns() - 2000000000LL;  // two seconds of work
      blocking_body();
    };
    press(85);
    ASSERT_TRUE(wait_entered(5000));
    EXPECT_TRUE(fake.timer_active);
    EXPECT_EQ(fake.timer_interval, 250);
    ui_on_timer();  // before half a second: nothing shown
    EXPECT_STREQ(painted_slot_text(SLOT_STATUS), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const size_t from = fake.calls.size();
    ui_on_timer();
    const std::string status = painted_slot_text(SLOT_STATUS);
    EXPECT_EQ(status.rfind(language ? "Running " : "実行中 ", 0), 0u) << status;
    EXPECT_NE(status.find("25%"), std::string::npos) << status;
    EXPECT_NE(status.find(language ? " s left" : "残り約"), std::string::npos) << status;
    EXPECT_EQ(fake.calls_since(from), (std::vector<std::string>{"invalidate_rect main 744,648,1208,667"}));
    EXPECT_STREQ(TextSlots[SLOT_STATUS], "");  // the slot itself is the worker's
    // Without a known length: elapsed time only.
    progress_len = 0;
    ui_on_timer();
    EXPECT_EQ(std::string(painted_slot_text(SLOT_STATUS)).find('%'), std::string::npos);
    ASSERT_TRUE(finish_worker());
    EXPECT_FALSE(fake.timer_active);
    EXPECT_STREQ(painted_slot_text(SLOT_STATUS), "");  // the run's own status replaces it
  }
}

TEST_F(CommandsTest, StatusWrittenByAFastWorkerSurvivesThePress) {
  fake_open_window();
  std::atomic<bool> done{false};
  engine.body = [&] {
    slot_copy(TextSlots[SLOT_STATUS], "Invalid number of Significant digit");
    done = true;
  };
  // Let the worker finish before the press handler's last steps.
  fake.on_record = [&](const std::string &line) {
    if (line == "set_timer main 250")
      while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  press(35);
  fake.on_record = nullptr;
  ASSERT_TRUE(fake.wait_posted(5000));
  fake.pump();
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "Invalid number of Significant digit");
}

TEST_F(CommandsTest, WorkerThatCannotStartLeavesTheWindowIdle) {
  // Threads get a default stack no system can reserve, so thread creation fails.
  pthread_attr_t saved, huge;
  ASSERT_EQ(pthread_getattr_default_np(&saved), 0);
  pthread_attr_init(&huge);
  pthread_attr_setstacksize(&huge, size_t(1) << 46);
  ASSERT_EQ(pthread_setattr_default_np(&huge), 0);
  pthread_t probe;
  const bool creation_fails =
      pthread_create(&probe, nullptr, [](void *) -> void * { return nullptr; }, nullptr) != 0;
  if (!creation_fails) pthread_join(probe, nullptr);
  if (creation_fails) {
    fake_open_window();
    press(35);
  }
  ASSERT_EQ(pthread_setattr_default_np(&saved), 0);
  pthread_attr_destroy(&huge);
  pthread_attr_destroy(&saved);
  if (!creation_fails) GTEST_SKIP() << "this system reserves any stack size";
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_EQ(engine.runs, 0);
  EXPECT_FALSE(fake.control(ID_CANCEL)->enabled);
  EXPECT_TRUE(fake.control(ID_PERFORM)->enabled);
  EXPECT_TRUE(fake.control(ID_R0)->enabled);
  EXPECT_FALSE(fake.timer_active);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "Could not start the calculation thread");
  // And the next press works normally.
  press(35);
  ASSERT_TRUE(finish_worker());
  EXPECT_EQ(engine.runs, 1);
}

TEST_F(CommandsTest, ClosingDuringARunStopsTheWorkerBeforeSaving) {
  fake_open_window();
  fake.control(ID_R0)->text = "3";
  fake.control(ID_R1)->text = "10";
  engine.body = [] {
    // A result being written when the window closes.
    std::memset(TextSlots[SLOT_R0], '9', 5000);
    TextSlots[SLOT_R0][5000] = '\0';
    slot_copy(TextSlots[SLOT_R1], "moved");
    blocking_body();
  };
  press(85);
  ASSERT_TRUE(wait_entered(5000));
  ui_on_destroy();
  EXPECT_FALSE(worker_thread.joinable());
  EXPECT_FALSE(engine.wrote_after_cancel);
  EXPECT_TRUE(fake.quit_called);
  // The file holds the texts the boxes showed, not the worker's.
  const std::string file = read_file();
  const size_t texts = file.find("\r\n20\r\n", 8);
  ASSERT_NE(texts, std::string::npos);
  EXPECT_EQ(file.substr(texts + 6, 6), "3\r\n10\r");
  EXPECT_NE(file.find("aborted\a\r\n"), std::string::npos);
  EXPECT_EQ(file.find("moved"), std::string::npos);
}

TEST_F(CommandsTest, LanguageButton) {
  fake_open_window();
  slot_copy(TextSlots[SLOT_STATUS], "kept");
  press(ID_LANGUAGE);
  EXPECT_EQ(Settings[SET_LANGUAGE], 1);
  EXPECT_EQ(fake.control(ID_LANGUAGE)->text, "Japanese");
  EXPECT_EQ(fake.control(ID_PERFORM)->text, "Perform the following");
  EXPECT_EQ(fake.control(100)->text.rfind("Operation ex.:", 0), 0u);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "kept");
  press(ID_LANGUAGE);
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  EXPECT_EQ(fake.control(ID_LANGUAGE)->text, "English");
  EXPECT_EQ(fake.control(ID_PERFORM)->text, "下記を実行");
}

TEST_F(CommandsTest, RadioButtons) {
  fake_open_window();
  slot_copy(TextSlots[SLOT_STATUS], "x");
  size_t from = fake.calls.size();
  press(ID_RADIO_RADIAN);
  EXPECT_EQ(fake.calls_since(from), (std::vector<std::string>{"check 31 0", "check 32 1", "invalidate main"}));
  EXPECT_EQ(Settings[SET_ANGLE_UNIT], 1);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "");
  press(ID_RADIO_RADIAN);  // again: stays selected
  EXPECT_TRUE(fake.control(ID_RADIO_RADIAN)->checked);
  EXPECT_FALSE(fake.control(ID_RADIO_DEGREE)->checked);
  press(ID_RADIO_DEGREE);
  EXPECT_EQ(Settings[SET_ANGLE_UNIT], 0);
  EXPECT_TRUE(fake.control(ID_RADIO_DEGREE)->checked);
  EXPECT_FALSE(fake.control(ID_RADIO_RADIAN)->checked);
  // A value outside the group: no button of the group to clear (31 + 7 = 38 is a push
  // button).
  Settings[SET_ANGLE_UNIT] = 7;
  from = fake.calls.size();
  press(ID_RADIO_DEGREE);
  EXPECT_EQ(fake.calls_since(from, "check"), (std::vector<std::string>{"check 31 1"}));
  Settings[SET_ANGLE_UNIT] = INT32_MAX;
  press(ID_RADIO_RADIAN);
  EXPECT_EQ(Settings[SET_ANGLE_UNIT], 1);
}

TEST_F(CommandsTest, CheckBoxes) {
  write_file("20\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n5\r\n0\r\n0\r\n1\r\n0\r\n0\r\n0\r\n0\r\n");
  fake_open_window();
  EXPECT_TRUE(fake.control(ID_COMPACT_MEM)->checked);
  press(ID_COMPACT_MEM);  // 5 becomes 0
  EXPECT_EQ(Settings[SET_COMPACT_MEM], 0);
  EXPECT_FALSE(fake.control(ID_COMPACT_MEM)->checked);
  press(ID_COMPACT_MEM);
  EXPECT_EQ(Settings[SET_COMPACT_MEM], 1);
  EXPECT_TRUE(fake.control(ID_COMPACT_MEM)->checked);
  for (int id : {ID_BARE_DIGITS, ID_PLANE_DISP, ID_EXACT_DIGITS}) {
    const int index = ControlTable[id].index;
    const int32_t first = Settings[index];
    const bool first_checked = fake.control(id)->checked;
    press(id);
    EXPECT_NE(Settings[index] != 0, first != 0);
    press(id);
    EXPECT_EQ(Settings[index], first);
    EXPECT_EQ(fake.control(id)->checked, first_checked);
  }
  EXPECT_TRUE(fake.control(ID_PLANE_DISP)->checked);
}

TEST_F(CommandsTest, NotificationsAndIdsWithoutAction) {
  fake_open_window();
  slot_copy(TextSlots[SLOT_STATUS], "x");
  size_t from = fake.calls.size();
  ui_on_command(35, 0x300);  // an edit box's change notification
  ui_on_command(19, 0x100);
  EXPECT_TRUE(fake.calls_since(from).empty());
  EXPECT_EQ(engine.runs, 0);
  for (int id : {0, 7, 10, 19, 30, 97, 98, 100, 102, 5000}) {
    slot_copy(TextSlots[SLOT_STATUS], "x");
    from = fake.calls.size();
    press(id);
    EXPECT_STREQ(TextSlots[SLOT_STATUS], "") << id;
    EXPECT_EQ(fake.calls_since(from), (std::vector<std::string>{"invalidate main"})) << id;
  }
  EXPECT_EQ(engine.runs, 0);
}

}  // namespace
