// The workspace file format: the round trip, the 42-line layout, and malformed or
// hostile files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/workspace_file.h"
#include "engine/state.h"

namespace {

namespace fs = std::filesystem;

class WorkspaceFile : public ::testing::Test {
 protected:
  fs::path dir;
  fs::path file;
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("deepnums_ws_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    file = dir / "deepNUMS.ini";
    clear();
  }
  void TearDown() override { fs::remove_all(dir); }
  static void clear() {
    memset(Settings, 0, sizeof Settings);
    memset(TextSlots, 0, sizeof TextSlots);
    memset(MemoryTexts, 0, sizeof MemoryTexts);
  }
  void write_file(const std::string &bytes) {
    std::ofstream out(file, std::ios::binary);
    out << bytes;
  }
  std::string read_file() {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int load() {
    int r = workspace_read(file.string().c_str());
    workspace_apply_defaults();
    return r;
  }
};

// A file body: the settings lines, then the text lines, with the given line end.
std::string body(const std::string &settings_count, const std::vector<std::string> &settings,
                 const std::string &text_count, const std::vector<std::string> &texts,
                 const char *eol = "\r\n") {
  std::string b = settings_count + eol;
  for (const std::string &s : settings) b += s + eol;
  b += text_count + eol;
  for (const std::string &t : texts) b += t + eol;
  return b;
}

TEST_F(WorkspaceFile, RoundTrip) {
  for (int i = 0; i < SETTINGS_COUNT; i++) Settings[i] = i * 7 - 30;
  Settings[SET_LANGUAGE] = 1;
  slot_copy(TextSlots[SLOT_R0], "12\r\n34\r\n");
  slot_copy(TextSlots[SLOT_R1], "-.5\r\n");
  std::string r5(3000, '7');
  slot_copy(MemoryTexts[0], r5.c_str());
  slot_copy(TextSlots[SLOT_R5], r5.substr(0, 50).c_str());
  std::string script(TEXT_SLOT_MAX_CHARS, 'x');
  script[5] = '\r';
  script[6] = '\n';
  script[TEXT_SLOT_MAX_CHARS - 1] = '\r';  // a text ending in a lone CR
  slot_copy(TextSlots[SLOT_SCRIPT], script.c_str());
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  slot_copy(TextSlots[SLOT_SIG_DIGITS], "50");
  slot_copy(TextSlots[12], "\x01\x7f\xff");

  ASSERT_TRUE(workspace_write(file.string().c_str()));
  EXPECT_FALSE(fs::exists(file.string() + ".tmp"));

  int32_t settings[SETTINGS_COUNT];
  memcpy(settings, Settings, sizeof settings);
  clear();
  ASSERT_EQ(load(), 1);
  EXPECT_EQ(memcmp(settings, Settings, sizeof settings), 0);
  EXPECT_STREQ(TextSlots[SLOT_R0], "12\r\n34\r\n");
  EXPECT_STREQ(TextSlots[SLOT_R1], "-.5\r\n");
  EXPECT_EQ(std::string(MemoryTexts[0]), r5);
  EXPECT_EQ(std::string(TextSlots[SLOT_R5]), r5.substr(0, 50));
  EXPECT_EQ(std::string(TextSlots[SLOT_SCRIPT]), script);
  EXPECT_STREQ(TextSlots[SLOT_STATUS], "aborted\n");
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "50");
  EXPECT_STREQ(TextSlots[12], "\x01\x7f\xff");
  EXPECT_STREQ(TextSlots[SLOT_R9], "0");  // defaults
  EXPECT_STREQ(MemoryTexts[4], "0");
}

TEST_F(WorkspaceFile, FortyTwoLinesWithCrLf) {
  slot_copy(TextSlots[SLOT_R0], "12\r\n34");
  workspace_apply_defaults();
  ASSERT_TRUE(workspace_write(file.string().c_str()));
  std::string f = read_file();
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = f.find("\r\n", start)) != std::string::npos) {
    lines.push_back(f.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, f.size());
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(lines[0], "20");
  EXPECT_EQ(lines[21], "20");
  EXPECT_EQ(lines[22], "12\r\x07" "34");  // CR BEL inside the text
  EXPECT_EQ(lines[22 + SLOT_SIG_DIGITS], "1000");
  EXPECT_EQ(lines[22 + SLOT_R5], "0");
}

TEST_F(WorkspaceFile, MissingAndUnreadableFiles) {
  EXPECT_EQ(load(), 0);  // no file: defaults only
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "1000");
  EXPECT_STREQ(TextSlots[SLOT_R0], "0");
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  EXPECT_EQ(workspace_read(dir.string().c_str()), -1);  // a directory
  EXPECT_FALSE(workspace_write((dir / "no" / "such" / "file.ini").string().c_str()));
}

TEST_F(WorkspaceFile, FailedSaveKeepsTheOldFile) {
  // The path names a folder: refused before anything is created, the folder untouched.
  fs::create_directories(dir / "sub.ini");
  std::ofstream(dir / "sub.ini" / "inner") << "old";
  EXPECT_FALSE(workspace_write((dir / "sub.ini").string().c_str()));
  EXPECT_STREQ(workspace_error(), "not a regular file");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
  std::ifstream in(dir / "sub.ini" / "inner");
  std::string inner;
  in >> inner;
  EXPECT_EQ(inner, "old");
}

// A file cut off anywhere (inside a line, or before a line its counts announce) is refused
// as a whole, with the line in the message: a text cut anywhere would read as another
// number. Nothing of it is taken.
TEST_F(WorkspaceFile, CutOffFilesAreRefusedWithTheirLine) {
  const std::string whole = body("20", std::vector<std::string>(20, "1"), "20",
                                 std::vector<std::string>(20, "123456"));
  const struct {
    const char *what;
    std::string bytes;
    const char *error;
  } cases[] = {
      {"last register without its line end", whole.substr(0, whole.size() - 2),
       "cut off inside line 42 (it has no line end)"},
      {"inside a register", whole.substr(0, whole.size() - 5), "cut off inside line 42 (it has no line end)"},
      {"between two texts", whole.substr(0, whole.rfind("123456")), "cut off before line 42"},
      {"inside the settings", "20\r\n1\r\n5\r\n", "cut off before line 4"},
      {"before the text count", body("20", std::vector<std::string>(20, "1"), "", {}).substr(0, 64),
       "cut off before line 22"},
      {"a count without its line end", "1\r\n1", "cut off inside line 2 (it has no line end)"},
      {"a huge settings count", "99999999999999\r\n1\r\n", "cut off before line 3"},
      {"a huge text count", "0\r\n2147483647\r\n5\r\n", "cut off before line 4"},
  };
  for (const auto &c : cases) {
    clear();
    write_file(c.bytes);
    EXPECT_EQ(load(), -1) << c.what;
    EXPECT_STREQ(workspace_error(), c.error) << c.what;
    EXPECT_EQ(Settings[SET_LANGUAGE], 0) << c.what;
    EXPECT_STREQ(TextSlots[0], "0") << c.what;
  }
  clear();
  write_file(whole);
  EXPECT_EQ(load(), 1);
  EXPECT_STREQ(TextSlots[19], "123456");
}

TEST_F(WorkspaceFile, LineFeedOnlyFilesAndBel) {
  std::vector<std::string> settings(20, "0");
  settings[SET_ANGLE_UNIT] = "1";
  std::vector<std::string> texts(20, "");
  texts[0] = "12\r\x07" "34";
  texts[1] = "5\x07" "6";
  write_file(body("20", settings, "20", texts, "\n"));
  load();
  EXPECT_EQ(Settings[SET_ANGLE_UNIT], 1);
  EXPECT_STREQ(TextSlots[0], "12\r\n34");
  EXPECT_STREQ(TextSlots[1], "5\n6");
}

TEST_F(WorkspaceFile, ExtraAndMissingLines) {
  // 25 settings lines: 0..19 used, the text section starts after the 25th.
  std::vector<std::string> settings;
  for (int i = 0; i < 25; i++) settings.push_back(std::to_string(i + 1));
  std::vector<std::string> texts;
  for (int i = 0; i < 22; i++) texts.push_back("t" + std::to_string(i));
  write_file(body("25", settings, "22", texts));
  load();
  EXPECT_EQ(Settings[19], 20);
  EXPECT_STREQ(TextSlots[SLOT_SCRIPT], "t15");
  EXPECT_STREQ(TextSlots[19], "t19");

  // A count of 0: the next line is the text count.
  clear();
  write_file("0\r\n2\r\n7\r\n8\r\n");
  load();
  EXPECT_STREQ(TextSlots[0], "7");
  EXPECT_STREQ(TextSlots[1], "8");

  // Fewer lines than a whole file, as the counts say: the rest is the defaults.
  clear();
  write_file("2\r\n1\r\n5\r\n1\r\n9\r\n");
  load();
  EXPECT_EQ(Settings[0], 1);
  EXPECT_EQ(Settings[1], 5);
  EXPECT_STREQ(TextSlots[0], "9");
  EXPECT_STREQ(TextSlots[1], "0");

  // A language outside 0..1, and an empty file (it records nothing).
  clear();
  write_file("1\r\n7\r\n0\r\n");
  load();
  EXPECT_EQ(Settings[SET_LANGUAGE], 0);
  clear();
  write_file("");
  EXPECT_EQ(load(), 1);
  EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "1000");
}

TEST_F(WorkspaceFile, LongAndBinaryLinesStayInTheirSlot) {
  std::vector<std::string> texts(20, "x");
  texts[0] = std::string(200000, '4');
  texts[1] = std::string(TEXT_SLOT_MAX_CHARS, '5');
  texts[2] = std::string("ab\0cd", 5);
  texts[3] = "\xff\xfe\x01";
  write_file(body("20", std::vector<std::string>(20, "0"), "20", texts));
  load();
  EXPECT_EQ(std::string(TextSlots[0]), std::string(TEXT_SLOT_MAX_CHARS, '4'));
  EXPECT_EQ(std::string(TextSlots[1]), std::string(TEXT_SLOT_MAX_CHARS, '5'));
  EXPECT_STREQ(TextSlots[2], "ab");
  EXPECT_STREQ(TextSlots[3], "\xff\xfe\x01");
  EXPECT_STREQ(TextSlots[4], "x");
  EXPECT_STREQ(TextSlots[19], "x");
}

}  // namespace

namespace {

// A file past one of the reader's bounds is unreadable as a whole: −1, nothing of it kept.
TEST_F(WorkspaceFile, LinesAndFilesPastTheBoundsAreUnreadable) {
  struct Case {
    const char *what;
    std::string bytes;
    int want;
  };
  const std::string settings = body("20", std::vector<std::string>(20, "1"), "1", {});
  const Case cases[] = {
      {"longest line", settings + std::string(WORKSPACE_LINE_MAX_BYTES, '4') + "\r\n", 1},
      {"line one byte too long", settings + std::string(WORKSPACE_LINE_MAX_BYTES + 1, '4') + "\n", -1},
      {"last line too long", settings + std::string(WORKSPACE_LINE_MAX_BYTES + 1, '4'), -1},
      {"endless count of short lines",
       "1000000000\n" + std::string(WORKSPACE_FILE_MAX_BYTES, '\n'), -1},
  };
  for (const Case &c : cases) {
    clear();
    write_file(c.bytes);
    EXPECT_EQ(load(), c.want) << c.what;
    EXPECT_EQ(Settings[SET_LANGUAGE], c.want == 1 ? 1 : 0) << c.what;
    EXPECT_STREQ(TextSlots[SLOT_SIG_DIGITS], "1000") << c.what;
    if (c.want < 0) {
      const bool whole_file = c.bytes.size() > WORKSPACE_FILE_MAX_BYTES;
      EXPECT_STREQ(workspace_error(), whole_file ? "too long for a workspace file"
                                                 : "line 23 is too long for a workspace file")
          << c.what;
    }
  }
}

}  // namespace
