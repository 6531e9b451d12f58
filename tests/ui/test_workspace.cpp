// The workspace file: round trips, the exact format, files written elsewhere, and
// malformed, hostile and failing cases.
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <random>

#include "engine/workspace_file.h"
#include "tests/ui/ui_fixture.h"

namespace {

class WorkspaceTest : public UiTest {
 protected:
  // Clears the state as creation does, then loads the file of the current directory.
  static void load_fresh() {
    std::memset(Settings, 0, sizeof Settings);
    for (auto &slot : TextSlots) slot[0] = '\0';
    for (auto &text : MemoryTexts) text[0] = '\0';
    load_workspace();
  }

  static std::string settings_lines(const std::vector<int> &values) {
    std::string s;
    for (int v : values) s += std::to_string(v) + "\r\n";
    return s;
  }

  static size_t count_lines(const std::string &file) {
    size_t n = 0;
    for (size_t i = 0; i + 1 < file.size(); ++i) {
      if (file[i] == '\r' && file[i + 1] == '\n') ++n;
    }
    return n;
  }

  static void expect_slots_sane() {
    for (int i = 0; i < TEXT_SLOT_COUNT; ++i)
      EXPECT_LE(strnlen(TextSlots[i], TEXT_SLOT_BYTES), static_cast<size_t>(TEXT_SLOT_MAX_CHARS)) << i;
    for (int k = 0; k < MEMORY_TEXT_COUNT; ++k)
      EXPECT_LE(strnlen(MemoryTexts[k], TEXT_SLOT_BYTES), static_cast<size_t>(TEXT_SLOT_MAX_CHARS)) << k;
    EXPECT_TRUE(Settings[SET_LANGUAGE] == 0 || Settings[SET_LANGUAGE] == 1);
    EXPECT_NE(TextSlots[SLOT_SIG_DIGITS][0], '\0');
    for (int n = SLOT_R0; n <= SLOT_R9; ++n) EXPECT_NE(TextSlots[n][0], '\0') << n;
    for (int k = 0; k < MEMORY_TEXT_COUNT; ++k) EXPECT_LE(std::strlen(TextSlots[SLOT_R5 + k]), 50u);
  }
};

TEST_F(WorkspaceTest, RoundTripOfEverySettingAndText) {
  fake_open_window();
  const std::string r0 = "12\r\n34";
  const std::string long_r5(3000, '7');
  const std::string full(TEXT_SLOT_MAX_CHARS, '5');  // the largest text a box holds
  fake.control(ID_R0)->text = r0;
  fake.control(ID_R1)->text = "-1.5e-7\r\n";
  fake.control(ID_SCRIPT)->text = full;
  fake.control(ID_SIG_DIGITS)->text = "100000";
  slot_copy(MemoryTexts[0], long_r5.c_str());
  slot_copy(MemoryTexts[4], "9\r\n");
  slot_copy(TextSlots[10], full.c_str());
  slot_copy(TextSlots[11], "eleven");
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  slot_copy(TextSlots[SLOT_INTERNAL_DIGITS], "100014");
  slot_copy(TextSlots[SLOT_MIN_EXT_DIGITS], "9");
  for (int i = 0; i < SETTINGS_COUNT; ++i) Settings[i] = i * 1000 - 7;
  Settings[SET_LANGUAGE] = 1;
  Settings[7] = INT32_MIN;
  Settings[8] = INT32_MAX;
  fake.window_rect = UiRect{-8, 30, 1500, 900};
  int32_t saved[SETTINGS_COUNT];
  ASSERT_TRUE(save_workspace(&fake.main));
  std::memcpy(saved, Settings, sizeof saved);
  EXPECT_EQ(Settings[SET_WINDOW_LEFT], -8);
  EXPECT_EQ(Settings[SET_WINDOW_BOTTOM], 900);

  const std::string file = read_file();
  EXPECT_EQ(count_lines(file), 42u);
  EXPECT_EQ(read_file("deepNUMS.ini.tmp"), "<missing>");

  load_fresh();
  for (int i = 0; i < SETTINGS_COUNT; ++i) EXPECT_EQ(Settings[i], saved[i]) << i;
  EXPECT_EQ(std::string(TextSlots[SLOT_R0]), r0);
  EXPECT_STREQ(TextSlots[SLOT_R1], "-1.5e-7\r\n");
  EXPECT_STREQ(TextSlots[SLOT_R2], "0");
  EXPECT_EQ(std::string(MemoryTexts[0]), long_r5);
  EXPECT_EQ(std::string(TextSlots[SLOT_R5]), long_r5.substr(0, 50));  // the display copy
  EXPECT_STREQ(MemoryTexts[4], "9\r\n");
  EXPECT_EQ(std::string(TextSlots[10]), full);
  EXPECT_STREQ(TextSlots[11], "eleven");  // never spilled into by the full text before it
  EXPECT_EQ(std::string(TextSlots[SLOT_SCRIPT]), full);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "aborted\n");
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "100000");
  EXPECT_STREQ(TextSlots[SLOT_INTERNAL_DIGITS], "100014");
  EXPECT_STREQ(TextSlots[SLOT_MIN_EXT_DIGITS], "9");
}

TEST_F(WorkspaceTest, ExactBytesWritten) {
  fake_open_window();
  fake.window_rect = UiRect{1, 2, 3, 4};
  fake.control(ID_R0)->text = "12\r\n34";
  fake.control(ID_SCRIPT)->text = "a\r\nb";
  Settings[SET_COMMAND] = 47;
  ASSERT_TRUE(save_workspace(&fake.main));
  // A fresh start: "Exact digits" (index 14) on.
  std::string expected = "20\r\n" + settings_lines({0, 1, 2, 3, 4, 0, 0, 0, 0, 0, 0, 0, 47, 0, 1, 0, 0, 0, 0, 0}) +
                         "20\r\n";
  expected += "12\r\a34\r\n";
  for (int n = 1; n < 10; ++n) expected += "0\r\n";
  for (int n = 10; n < 15; ++n) expected += "\r\n";
  expected += "a\r\ab\r\n";  // script
  expected += "\r\n";        // status
  expected += "1000\r\n\r\n\r\n";
  EXPECT_EQ(read_file(), expected);
}

// "Exact digits" is on at a fresh start and when the file cannot be read; a file keeps
// what it records, and one from before the option (0 at index 14, or too few values)
// keeps it off.
TEST_F(WorkspaceTest, ExactDigitsOnlyOnAFreshStart) {
  struct Case {
    const char *name;
    std::string file;  // empty: no file
    int32_t exact;
  } cases[] = {
      {"no file", "", 1},
      {"recorded on", "20\r\n" + settings_lines({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}), 1},
      {"older file", "20\r\n" + settings_lines({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + "0\r\n", 0},
      {"only ten values", "10\r\n" + settings_lines({1, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + "0\r\n", 0},
      {"unreadable", std::string(WORKSPACE_LINE_MAX_BYTES + 2, '7'), 1},
  };
  for (const Case &c : cases) {
    std::remove("deepNUMS.ini");
    if (!c.file.empty()) write_file(c.file);
    fake_open_window();
    EXPECT_EQ(Settings[SET_EXACT_DIGITS], c.exact) << c.name;
    EXPECT_EQ(fake.control(ID_EXACT_DIGITS)->checked, c.exact != 0) << c.name;
    fake.reset();
  }
}

TEST_F(WorkspaceTest, FilesWrittenOnWindowsAndWithPlainLineFeeds) {
  // CR LF line ends, CR BEL breaks inside texts.
  std::string windows = "20\r\n1\r\n" + settings_lines(std::vector<int>(19, 0)) + "1\r\n12\r\a34\r\n";
  write_file(windows);
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 1);
  EXPECT_STREQ(TextSlots[SLOT_R0], "12\r\n34");
  // Plain LF line ends.
  write_file("3\n1\n-5\n 7x\n2\n12\a34\nr1\n");
  load_fresh();
  EXPECT_EQ(Settings[0], 1);
  EXPECT_EQ(Settings[1], -5);
  EXPECT_EQ(Settings[2], 7);
  EXPECT_STREQ(TextSlots[SLOT_R0], "12\n34");
  EXPECT_STREQ(TextSlots[SLOT_R1], "r1");
  // A text ending in CR keeps it: only the CR of the line end goes.
  write_file("0\r\n1\r\nx\r\r\n");
  load_fresh();
  EXPECT_STREQ(TextSlots[SLOT_R0], "x\r");
}

TEST_F(WorkspaceTest, BelComesBackAsLineFeed) {
  write_file("0\r\n1\r\na\ab\r\n");
  load_fresh();
  EXPECT_STREQ(TextSlots[SLOT_R0], "a\nb");
}

// A file cut off (inside a register line, or before a line its counts announce) is not
// read at all, and the first save keeps it aside instead of replacing it.
TEST_F(WorkspaceTest, CutOffFilesAreKeptAsideAtTheFirstSave) {
  const std::string whole = "20\r\n" + settings_lines(std::vector<int>(20, 1)) + "20\r\n" +
                            settings_lines(std::vector<int>(20, 123456789));
  const struct {
    std::string bytes;
    const char *status;
  } cases[] = {
      {whole.substr(0, whole.size() - 4),
       "deepNUMS.ini cannot be read (cut off inside line 42 (it has no line end)): defaults used; "
       "the file is kept as deepNUMS.ini.unreadable-DATE-TIME when the workspace is saved"},
      {whole.substr(0, 30),
       "deepNUMS.ini cannot be read (cut off inside line 10 (it has no line end)): defaults used; "
       "the file is kept as deepNUMS.ini.unreadable-DATE-TIME when the workspace is saved"},
      {whole.substr(0, whole.find("123456789")),
       "deepNUMS.ini cannot be read (cut off before line 23): defaults used; "
       "the file is kept as deepNUMS.ini.unreadable-DATE-TIME when the workspace is saved"},
  };
  for (const auto &c : cases) {
    for (const auto &e : std::filesystem::directory_iterator(".")) std::filesystem::remove(e.path());
    write_file(c.bytes);
    fake_open_window();
    EXPECT_STREQ(TextSlots[SLOT_STATUS], c.status);
    EXPECT_STREQ(TextSlots[SLOT_R0], "0");  // never a part of 123456789
    ASSERT_TRUE(save_workspace(&fake.main));
    ASSERT_TRUE(save_workspace(&fake.main));  // kept aside once only
    std::vector<std::string> kept;
    for (const auto &e : std::filesystem::directory_iterator("."))
      if (e.path().filename() != "deepNUMS.ini") kept.push_back(e.path().filename().string());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].rfind("deepNUMS.ini.unreadable-", 0), 0u) << kept[0];
    EXPECT_EQ(kept[0].size(), std::strlen("deepNUMS.ini.unreadable-YYYYMMDD-HHMMSS"));
    EXPECT_EQ(read_file(kept[0].c_str()), c.bytes);
    EXPECT_EQ(read_file().substr(0, 4), "20\r\n");
    fake.reset();
  }
}

TEST_F(WorkspaceTest, CountLines) {
  // Without digits, 0 or negative: no line read for the section.
  for (const char *count : {"x", "0", "-3", ""}) {
    SCOPED_TRACE(count);
    write_file(std::string(count) + "\r\n2\r\nfirst\r\nsecond\r\n");
    load_fresh();
    EXPECT_EQ(Settings[0], 0);  // the next line was the text count
    EXPECT_STREQ(TextSlots[SLOT_R0], "first");
    EXPECT_STREQ(TextSlots[SLOT_R1], "second");
  }
  write_file("1\r\n1\r\n-1\r\nfirst\r\n");
  load_fresh();
  EXPECT_EQ(Settings[0], 1);
  EXPECT_STREQ(TextSlots[SLOT_R0], "0");
}

TEST_F(WorkspaceTest, MoreValuesAndTextsThanSlots) {
  std::vector<int> values;
  for (int i = 0; i < 25; ++i) values.push_back(i == 0 ? 1 : 100 + i);
  std::string file = "25\r\n" + settings_lines(values) + "23\r\n";
  for (int i = 0; i < 23; ++i) {
    file += 't';
    file += std::to_string(i);
    file += "\r\n";
  }
  write_file(file);
  load_fresh();
  for (int i = 1; i < SETTINGS_COUNT; ++i) EXPECT_EQ(Settings[i], 100 + i);
  EXPECT_STREQ(TextSlots[0], "t0");
  EXPECT_STREQ(TextSlots[19], "t19");
}

TEST_F(WorkspaceTest, HugeCountsAndValues) {
  write_file("5\r\n1\r\n99999999999\r\n-99999999999\r\n2\r\nr0\r\n0\r\n");
  load_fresh();
  EXPECT_EQ(Settings[0], 1);
  EXPECT_EQ(Settings[1], INT32_MAX);
  EXPECT_EQ(Settings[2], INT32_MIN);
  EXPECT_EQ(Settings[3], 2);
  EXPECT_EQ(Settings[4], 0);  // "r0"
  write_file("0\r\n2147483647\r\nr0\r\n");  // far more texts announced than there are
  load_fresh();
  EXPECT_STREQ(TextSlots[SLOT_R0], "0");
  // Language outside 0/1 becomes 0.
  write_file("1\r\n7\r\n0\r\n");
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
}

TEST_F(WorkspaceTest, LinesLongerThanASlotNeverSpill) {
  std::string file = "1\r\n" + std::string(200000, ' ') + "1\r\n";  // a value line, too long
  file += "3\r\n" + std::string(300000, '8') + "\r\n" + std::string(TEXT_SLOT_MAX_CHARS + 1, '6') + "\r\nr2\r\n";
  write_file(file);
  load_fresh();
  EXPECT_EQ(Settings[0], 0);  // its digit lies beyond the part that was read
  EXPECT_EQ(std::string(TextSlots[SLOT_R0]), std::string(TEXT_SLOT_MAX_CHARS, '8'));
  EXPECT_EQ(std::string(TextSlots[SLOT_R1]), std::string(TEXT_SLOT_MAX_CHARS, '6'));
  EXPECT_STREQ(TextSlots[SLOT_R2], "r2");
  expect_slots_sane();
}

TEST_F(WorkspaceTest, BinaryBytes) {
  // NUL bytes inside lines end the text there.
  write_file(std::string("0\r\n2\r\nab\0cd\r\nxy\r\n", 17));
  load_fresh();
  EXPECT_STREQ(TextSlots[SLOT_R0], "ab");
  EXPECT_STREQ(TextSlots[SLOT_R1], "xy");
  // Random bytes with a few line ends: whatever they say, the state is sane afterwards.
  std::mt19937 rng(20240611);
  for (int round = 0; round < 40; ++round) {
    const uint32_t seed = rng();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 gen(seed);
    std::string bytes(1 + gen() % 400000, '\0');
    for (auto &b : bytes) {
      const uint32_t v = gen();
      b = (v % 50 == 0) ? '\n' : (v % 53 == 0) ? '\r' : static_cast<char>(v >> 8);
    }
    if (round % 2) bytes = "20\r\n" + bytes;
    write_file(bytes);
    load_fresh();
    expect_slots_sane();
  }
}

TEST_F(WorkspaceTest, DefaultsAfterReading) {
  write_file("1\r\n1\r\n6\r\n\r\n\r\n\r\n\r\n\r\n" + std::string(60, '3') + "\r\n");
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 1);
  for (int n = 0; n < 5; ++n) EXPECT_STREQ(TextSlots[n], "0");
  EXPECT_EQ(std::string(MemoryTexts[0]), std::string(60, '3'));
  EXPECT_EQ(std::string(TextSlots[SLOT_R5]), std::string(50, '3'));
  EXPECT_STREQ(MemoryTexts[1], "0");
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "1000");
  EXPECT_STREQ(TextSlots[SLOT_SCRIPT], "");
}

TEST_F(WorkspaceTest, SaveReplacesTheFileOnlyWhenComplete) {
  write_file("1\r\n1\r\n0\r\n");
  fake_open_window();
  // The temporary file cannot be created (no file descriptor left): nothing saved, the
  // previous file intact, and the boxes and rectangle are not even read.
  rlimit files;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &files), 0);
  rlimit no_files = files;
  no_files.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &no_files), 0);
  const size_t from = fake.calls.size();
  const bool saved_without_files = save_workspace(&fake.main);
  setrlimit(RLIMIT_NOFILE, &files);
  EXPECT_FALSE(saved_without_files);
  EXPECT_TRUE(fake.calls_since(from, "get_text").empty());
  EXPECT_TRUE(fake.calls_since(from, "window_rect").empty());
  EXPECT_EQ(read_file(), "1\r\n1\r\n0\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 1);  // no file left behind

  // A full disk: writes fail partway; the previous file stays and the partial file goes.
  write_file("1\r\n1\r\n0\r\n");
  slot_copy(TextSlots[SLOT_STATUS], std::string(5000, 's').c_str());
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 1000;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = save_workspace(&fake.main);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(ok);
  EXPECT_EQ(read_file(), "1\r\n1\r\n0\r\n");
  EXPECT_EQ(read_file("deepNUMS.ini.tmp"), "<missing>");

  // And a normal save replaces it.
  EXPECT_TRUE(save_workspace(&fake.main));
  EXPECT_EQ(read_file().substr(0, 4), "20\r\n");
}

TEST_F(WorkspaceTest, WindowRectangleThatCannotBeRead) {
  fake_open_window();
  Settings[SET_WINDOW_LEFT] = 11;
  Settings[SET_WINDOW_BOTTOM] = 44;
  fake.window_rect_readable = false;
  ASSERT_TRUE(save_workspace(&fake.main));
  load_fresh();
  EXPECT_EQ(Settings[SET_WINDOW_LEFT], 11);
  EXPECT_EQ(Settings[SET_WINDOW_BOTTOM], 44);
}

// Makes nested directories below the current one until the current directory's path has
// exactly `length` characters, and enters them.
void enter_directory_of_length(size_t length) {
  static char letter = 'a';  // fresh names for every call
  ++letter;
  std::string cwd = std::filesystem::current_path().string();
  ASSERT_LT(cwd.size() + 2, length);
  while (cwd.size() < length) {
    size_t room = length - cwd.size() - 1;  // the slash
    if (room > 200) room = std::min<size_t>(200, room - 2);  // leave at least "/x" for later
    const std::string name(room, letter);
    ASSERT_EQ(mkdir(name.c_str(), 0700), 0) << std::strerror(errno);
    ASSERT_EQ(chdir(name.c_str()), 0);
    cwd += "/" + name;
  }
  ASSERT_EQ(std::filesystem::current_path().string().size(), length);
}

TEST_F(WorkspaceTest, PathOf999CharactersWorks) {
  enter_directory_of_length(999 - std::strlen("/deepNUMS.exe"));
  write_file("1\r\n1\r\n0\r\n");
  load_fresh();
  EXPECT_EQ(std::strlen(workspace_path), 999u);
  EXPECT_STREQ(workspace_path + 986, "/deepNUMS.ini");
  EXPECT_EQ(Settings[SET_LANGUAGE], 1);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "");
}

TEST_F(WorkspaceTest, PathOf1000CharactersOrMoreMeansNoWorkspaceFile) {
  for (size_t length : {1000u, 1500u}) {
    SCOPED_TRACE(length);
    const auto base = std::filesystem::current_path();
    enter_directory_of_length(length - std::strlen("/deepNUMS.exe"));
    write_file("1\r\n1\r\n");
    fake.reset();
    fake_open_window();
    EXPECT_EQ(workspace_path[0], '\0');
    EXPECT_EQ(Settings[SET_LANGUAGE], 0);  // the file there was not read
    EXPECT_STREQ(TextSlots[SLOT_STATUS], "Path too long: no workspace file this run");
    EXPECT_FALSE(save_workspace(&fake.main));
    EXPECT_EQ(read_file(), "1\r\n1\r\n");
    EXPECT_EQ(read_file("deepNUMS.ini.tmp"), "<missing>");
    std::filesystem::current_path(base);
  }
}

// The default place on Linux: the configuration folder, made at the first save; a file
// in the current folder (where older versions kept it) is read once and left as it is.
TEST_F(WorkspaceTest, DefaultPlaceAndTheFileOfTheCurrentFolderReadOnce) {
  const char *old_xdg = std::getenv("XDG_CONFIG_HOME");
  const std::string saved_xdg = old_xdg ? old_xdg : "";
  const std::string config = (dir_ / "config").string();
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  set_workspace_file(nullptr);
  const std::string old_file = "1\r\n1\r\n0\r\n";  // English captions
  write_file(old_file);
  const std::string place = config + "/deepnums/deepNUMS.ini";

  fake_open_window();
  EXPECT_EQ(std::string(workspace_path), place);
  EXPECT_EQ(Settings[SET_LANGUAGE], 1);
  EXPECT_EQ(std::string(TextSlots[SLOT_STATUS]),
            "deepNUMS.ini of the current folder read; saved from now on as " + place);
  fake.control(ID_R0)->text = "5";
  ASSERT_TRUE(save_workspace(&fake.main));
  struct stat st;
  ASSERT_EQ(stat((config + "/deepnums").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(read_file(place.c_str()).substr(0, 7), "20\r\n1\r\n");
  EXPECT_EQ(read_file(), old_file);  // left where it was

  // From now on the new file is read, and the old one no more.
  write_file("1\r\n0\r\n0\r\n");
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 1);
  EXPECT_STREQ(TextSlots[SLOT_R0], "5");

  // An old file that cannot be read: the defaults, and the status line says which file.
  ASSERT_EQ(std::remove(place.c_str()), 0);
  write_file("20\r\n1\r\n" + std::string(WORKSPACE_LINE_MAX_BYTES + 1, '7') + "\r\n");
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "deepNUMS.ini of the current folder cannot be read "
                                       "(line 3 is too long for a workspace file): defaults used");

  if (old_xdg) setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
  else unsetenv("XDG_CONFIG_HOME");
}

// A first start follows the user's language; once saved, the file's setting wins.
TEST_F(WorkspaceTest, FirstStartLanguageFromTheLocale) {
  struct Case {
    const char *lc_all, *lc_messages, *lang;
    int language;
  } cases[] = {
      {"ja_JP.UTF-8", nullptr, nullptr, 0}, {nullptr, nullptr, "ja_JP.UTF-8", 0},
      {nullptr, "ja", "en_US.UTF-8", 0},    {"C.UTF-8", "ja_JP", "ja_JP", 1},
      {nullptr, nullptr, "C.UTF-8", 1},     {nullptr, nullptr, nullptr, 1},
      {"", "", "ja_JP.eucJP", 0},           {nullptr, nullptr, "jam", 1},
  };
  for (const Case &c : cases) {
    for (const auto &[name, value] : {std::pair{"LC_ALL", c.lc_all}, std::pair{"LC_MESSAGES", c.lc_messages},
                                      std::pair{"LANG", c.lang}}) {
      if (value) setenv(name, value, 1);
      else unsetenv(name);
    }
    load_fresh();
    EXPECT_EQ(Settings[SET_LANGUAGE], c.language) << (c.lc_all ? c.lc_all : "-") << " "
                                                  << (c.lc_messages ? c.lc_messages : "-") << " "
                                                  << (c.lang ? c.lang : "-");
  }
  // English locale, a file that says Japanese: Japanese.
  setenv("LC_ALL", "en_GB.UTF-8", 1);
  write_file("1\r\n0\r\n0\r\n");
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
}

// --workspace FILE: read and written there, its folder made when needed; no file of the
// current folder is read instead.
TEST_F(WorkspaceTest, ChosenFileAndAFolderThatCannotBeMade) {
  write_file("20\r\n1\r\n");
  set_workspace_file("sub/calc.ini");
  fake_open_window();
  EXPECT_EQ(std::string(workspace_path), (dir_ / "sub" / "calc.ini").string());
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  ASSERT_TRUE(save_workspace(&fake.main));
  EXPECT_EQ(read_file("sub/calc.ini").substr(0, 4), "20\r\n");
  // A file stands where the folder should be: nothing is saved.
  set_workspace_file("deepNUMS.ini/calc.ini");
  load_fresh();
  EXPECT_FALSE(save_workspace(&fake.main));
  EXPECT_EQ(read_file(), "20\r\n1\r\n");
}

}  // namespace

// A file that cannot be read whole: the defaults and a status line that says so; the
// close then saves this run's state over it.
TEST_F(WorkspaceTest, UnreadableFileGivesDefaultsAndAMessage) {
  write_file("20\r\n1\r\n" + std::string(WORKSPACE_LINE_MAX_BYTES + 1, '7') + "\r\n");
  load_fresh();
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  EXPECT_STREQ(TextSlots[SLOT_R0], "0");
  EXPECT_STREQ(TextSlots[SLOT_STATUS],
               "deepNUMS.ini cannot be read (line 3 is too long for a workspace file): defaults used; "
               "the file is kept as deepNUMS.ini.unreadable-DATE-TIME when the workspace is saved");
}

namespace {

// The close of a window whose workspace cannot be saved (a folder stands where the file
// should be): the user is asked, and no choice loses the state silently.
class CloseTest : public WorkspaceTest {
 protected:
  void open_with_blocked_file() {
    fake_open_window();
    Settings[SET_LANGUAGE] = 1;
    fake.control(ID_R0)->text = "42";
    std::filesystem::create_directory("deepNUMS.ini");  // the save is refused
  }
  static std::string saved_r0(const char *file) {
    const std::string f = read_file(file);
    size_t at = 0;
    for (int line = 0; line < 22 && at != std::string::npos; ++line) at = f.find("\r\n", at) + 2;
    return at == std::string::npos ? "<none>" : f.substr(at, f.find("\r\n", at) - at);
  }
};

TEST_F(CloseTest, TheUserChoosesWhatHappens) {
  // Cancel keeps the window open; asked again at the next close, "Close without saving"
  // closes.
  open_with_blocked_file();
  fake.answers = {2};
  EXPECT_FALSE(ui_on_close(false));
  ASSERT_EQ(fake.questions.size(), 1u);
  EXPECT_NE(fake.questions[0].find("not a regular file"), std::string::npos) << fake.questions[0];
  EXPECT_EQ(fake.calls_since(0, "ask").back(),
            "ask main deepNUMS [Save as…] [Close without saving] [Cancel]");
  fake.answers = {1};
  EXPECT_TRUE(ui_on_close(false));
  EXPECT_TRUE(ui_on_close(false));  // settled: not asked again
  EXPECT_EQ(fake.questions.size(), 2u);
  ui_on_destroy();
  EXPECT_TRUE(fake.quit_called);
  fake.reset();

  // "Save as…": a chooser cancelled asks again; a file that cannot be written either
  // says why and asks again; a good file takes the state.
  open_with_blocked_file();
  fake.answers = {0, 0, 0};
  fake.chosen_files = {"", "no/such/folder/x.ini/y", (dir_ / "kept.ini").string()};
  std::filesystem::create_directories("no/such/folder/x.ini/y");
  EXPECT_TRUE(ui_on_close(false));
  EXPECT_EQ(fake.questions.size(), 3u);
  EXPECT_NE(fake.questions[2].find("no/such/folder/x.ini/y"), std::string::npos) << fake.questions[2];
  EXPECT_EQ(saved_r0("kept.ini"), "42");
}

// Nobody to ask (SIGTERM, the session ending, the window destroyed without a close): the
// state goes to a rescue file in $XDG_STATE_HOME/deepnums, and standard error says where.
TEST_F(CloseTest, UnattendedClosesKeepARescueFile) {
  const std::string state = (dir_ / "state").string();
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  for (bool by_destroy : {false, true}) {
    std::filesystem::remove_all(state);
    open_with_blocked_file();
    testing::internal::CaptureStderr();
    if (by_destroy) ui_on_destroy();
    else EXPECT_TRUE(ui_on_close(true));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fake.questions.empty());
    std::vector<std::string> rescued;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(state + "/deepnums", ec)) rescued.push_back(e.path().string());
    ASSERT_EQ(rescued.size(), 1u) << by_destroy << ": " << err;
    EXPECT_NE(rescued[0].find("/rescue-"), std::string::npos);
    EXPECT_EQ(saved_r0(rescued[0].c_str()), "42");
    EXPECT_NE(err.find("it was kept in " + rescued[0]), std::string::npos) << err;
    fake.reset();
    std::filesystem::remove("deepNUMS.ini");
  }
  unsetenv("XDG_STATE_HOME");
}

}  // namespace
