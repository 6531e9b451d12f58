// Where the window keeps its workspace file: the rules of both systems as a table over
// made-up facts, the facts of the system the test runs on, and the folder made at saving.
// Runs natively and under Wine.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "engine/workspace_location.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

WorkspaceFacts linux_facts(const char *xdg, const char *home) {
  WorkspaceFacts f;
  f.current_dir = "/home/ann/work";
  f.xdg_config_home = xdg;
  f.home = home;
  return f;
}

WorkspaceFacts windows_facts(const char *program, bool writable, const char *appdata) {
  WorkspaceFacts f;
  f.windows = true;
  f.current_dir = "C:\\Users\\ann\\Documents";
  f.program_dir = program;
  f.program_dir_writable = writable;
  f.appdata = appdata;
  return f;
}

TEST(WorkspaceLocation, RulesOfBothSystems) {
  struct Case {
    const char *what;
    WorkspaceFacts facts;
    const char *chosen;
    const char *path, *first_read;
  } cases[] = {
      {"XDG set", linux_facts("/home/ann/.cfg", "/home/ann"), nullptr,
       "/home/ann/.cfg/deepnums/deepNUMS.ini", "/home/ann/work/deepNUMS.ini"},
      {"XDG with a slash at the end", linux_facts("/cfg/", "/home/ann"), nullptr,
       "/cfg/deepnums/deepNUMS.ini", "/home/ann/work/deepNUMS.ini"},
      {"XDG unset", linux_facts("", "/home/ann"), nullptr,
       "/home/ann/.config/deepnums/deepNUMS.ini", "/home/ann/work/deepNUMS.ini"},
      {"XDG relative: ignored", linux_facts("cfg", "/home/ann"), nullptr,
       "/home/ann/.config/deepnums/deepNUMS.ini", "/home/ann/work/deepNUMS.ini"},
      {"home is /", linux_facts("", "/"), nullptr, "/.config/deepnums/deepNUMS.ini",
       "/home/ann/work/deepNUMS.ini"},
      {"started in the new place", [] {
         WorkspaceFacts f = linux_facts("", "/home/ann");
         f.current_dir = "/home/ann/.config/deepnums";
         return f;
       }(), nullptr, "/home/ann/.config/deepnums/deepNUMS.ini", ""},
      {"no home, no XDG: the current folder", linux_facts("", ""), nullptr,
       "/home/ann/work/deepNUMS.ini", ""},
      {"nothing known", WorkspaceFacts{}, nullptr, "", ""},
      {"chosen, relative", linux_facts("/cfg", "/home/ann"), "calc.ini", "/home/ann/work/calc.ini", ""},
      {"chosen, absolute", linux_facts("/cfg", "/home/ann"), "/tmp/x.ini", "/tmp/x.ini", ""},
      {"chosen, empty: the default", linux_facts("/cfg", "/home/ann"), "",
       "/cfg/deepnums/deepNUMS.ini", "/home/ann/work/deepNUMS.ini"},
      {"Windows, portable", windows_facts("D:\\tools\\deepNUMS", true, "C:\\Users\\ann\\AppData\\Roaming"),
       nullptr, "D:\\tools\\deepNUMS\\deepNUMS.ini", "C:\\Users\\ann\\Documents\\deepNUMS.ini"},
      {"Windows, installed", windows_facts("C:\\Program Files\\deepNUMS", false, "C:\\Users\\ann\\AppData\\Roaming"),
       nullptr, "C:\\Users\\ann\\AppData\\Roaming\\deepNUMS\\deepNUMS.ini",
       "C:\\Users\\ann\\Documents\\deepNUMS.ini"},
      {"Windows, started beside the program", [] {
         WorkspaceFacts f = windows_facts("D:\\deepNUMS", true, "C:\\AppData");
         f.current_dir = "D:\\deepNUMS";
         return f;
       }(), nullptr, "D:\\deepNUMS\\deepNUMS.ini", ""},
      {"Windows, installed for the user (writable, with Uninstall.exe)", [] {
         WorkspaceFacts f = windows_facts("C:\\Users\\ann\\AppData\\Local\\Programs\\deepNUMS", true,
                                          "C:\\Users\\ann\\AppData\\Roaming");
         f.program_installed = true;
         f.current_dir = "C:\\Users\\ann\\AppData\\Roaming\\deepNUMS";  // the Start menu's "Start in"
         return f;
       }(), nullptr, "C:\\Users\\ann\\AppData\\Roaming\\deepNUMS\\deepNUMS.ini", ""},
      {"Windows, no APPDATA", windows_facts("C:\\Program Files\\deepNUMS", false, ""), nullptr,
       "C:\\Users\\ann\\Documents\\deepNUMS.ini", ""},
      {"Windows, chosen relative", windows_facts("D:\\p", true, "C:\\A"), "x.ini",
       "C:\\Users\\ann\\Documents\\x.ini", ""},
      {"Windows, chosen with a drive", windows_facts("D:\\p", true, "C:\\A"), "E:/w/x.ini", "E:/w/x.ini", ""},
      {"Windows, chosen on a share", windows_facts("D:\\p", true, "C:\\A"), "\\\\srv\\s\\x.ini",
       "\\\\srv\\s\\x.ini", ""},
  };
  for (const Case &c : cases) {
    const WorkspaceLocation loc = workspace_location(c.facts, c.chosen);
    EXPECT_EQ(loc.path, c.path) << c.what;
    EXPECT_EQ(loc.first_read, c.first_read) << c.what;
  }
}

TEST(WorkspaceLocation, FirstStartLanguageFromTheLocale) {
  EXPECT_EQ(language_of_locale("ja_JP.UTF-8", nullptr, nullptr), 0);
  EXPECT_EQ(language_of_locale(nullptr, "", "ja"), 0);
  EXPECT_EQ(language_of_locale("C.UTF-8", "ja_JP", "ja_JP"), 1);  // the first one set counts
  EXPECT_EQ(language_of_locale(nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(language_of_locale(nullptr, nullptr, "jam"), 1);
  const int language = first_start_language();
  EXPECT_TRUE(language == 0 || language == 1);
}

class WorkspaceFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("deepnums_location_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(WorkspaceFolder, FoldersOnTheWayAreMadeAndAFileInTheWayIsRefused) {
  const fs::path file = dir_ / "a" / "b" / "deepnums" / "deepNUMS.ini";
  std::string error;
  ASSERT_TRUE(workspace_create_folder(file.string(), &error)) << error;
  EXPECT_TRUE(fs::is_directory(file.parent_path()));
  EXPECT_FALSE(fs::exists(file));
  ASSERT_TRUE(workspace_create_folder(file.string(), &error)) << "existing folders: " << error;
#ifndef _WIN32
  EXPECT_EQ(fs::status(dir_ / "a").permissions() & fs::perms::all, fs::perms::owner_all);
#endif
  FILE *f = std::fopen((dir_ / "plain").string().c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  error.clear();
  EXPECT_FALSE(workspace_create_folder((dir_ / "plain" / "deepNUMS.ini").string(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(workspace_create_folder("deepNUMS.ini", &error)) << "the current folder";
}

TEST(WorkspaceFacts, OfTheRunningSystem) {
  const WorkspaceFacts f = workspace_facts();
  EXPECT_EQ(fs::path(f.current_dir), fs::current_path());
#ifdef _WIN32
  EXPECT_TRUE(f.windows);
  // The test program's folder, where the build writes: writable, and nothing left there.
  char exe[1000];
  const DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(fs::path(f.program_dir), fs::path(std::string(exe, n)).parent_path());
  EXPECT_TRUE(f.program_dir_writable);
  for (const auto &e : fs::directory_iterator(f.program_dir))
    EXPECT_EQ(e.path().filename().string().find("deepNUMS.ini."), std::string::npos) << e.path();
  EXPECT_FALSE(f.appdata.empty());
  const WorkspaceLocation loc = workspace_location(f, nullptr);
  EXPECT_EQ(fs::path(loc.path), fs::path(f.program_dir) / "deepNUMS.ini");
#else
  EXPECT_FALSE(f.windows);
  const char *xdg = std::getenv("XDG_CONFIG_HOME");
  EXPECT_EQ(f.xdg_config_home, xdg ? xdg : "");
  EXPECT_FALSE(f.home.empty());
#endif
}

}  // namespace
