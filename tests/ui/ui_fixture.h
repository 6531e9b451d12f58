// Common set-up of the front-end tests: a fresh temporary current directory that holds the
// workspace file (named as with --workspace deepNUMS.ini), a Japanese locale, a reset fake
// platform and fake engine, and a clean run state.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/ui/fake_engine.h"
#include "tests/ui/fake_platform.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/main_window.h"
#include "ui/workspace.h"

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    char tmpl[] = "/tmp/deepnums_ui_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    std::filesystem::current_path(dir_);
    set_workspace_file("deepNUMS.ini");
    // A Japanese user: a first start shows the Japanese captions.
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    fake.reset();
    engine.reset();
    scroll_x = scroll_y = 0;
  }

  void TearDown() override {
    // A test that failed with a run still going: let it end before the next test.
    if (worker_thread.joinable()) {
      engine.release = true;
      cancel_requested = true;
      worker_thread.join();
    }
    fake.pump();
    EXPECT_EQ(fake.wrong_thread_calls, 0) << "platform called off the main thread";
    std::filesystem::current_path(old_dir_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Writes a workspace file in the current directory.
  static void write_file(const std::string &bytes, const char *name = "deepNUMS.ini") {
    FILE *f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }

  static std::string read_file(const char *name = "deepNUMS.ini") {
    FILE *f = std::fopen(name, "rb");
    if (!f) return "<missing>";
    std::string s;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
    return s;
  }

  // Presses a control as the platform reports it.
  static void press(int id) { ui_on_command(id, 0); }

  // Lets the worker end and runs its posted end of run.
  static bool finish_worker(int timeout_ms = 5000) {
    engine.release = true;
    if (!fake.wait_posted(timeout_ms)) return false;
    fake.pump();
    return !worker_thread.joinable();
  }

  std::filesystem::path old_dir_, dir_;
};
