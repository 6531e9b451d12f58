// The register tools: digit positions in a text, the comparison of two registers, register
// files, the export form, and the script commands "compare" and "save".
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/digit_position.h"
#include "engine/register_text.h"
#include "engine/register_tools.h"
#include "engine_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST(DigitPosition, CountsSignificantDigitsOnly) {
  // "^" marks the offset asked about; want: digits before it, and the text's total.
  struct Case {
    const char *text;
    int before, total;
  } cases[] = {
      {"^3. 14159 26535\r\n", 0, 11},
      {"3. 1415^9 26535\r\n", 5, 11},
      {"3. 14159 ^26535\r\n", 6, 11},
      {"3. 14159 26535\r\n^", 11, 11},
      {".00^1234\r\n", 0, 4},          // zeros before the first non-zero digit do not count
      {".0012^34\r\n", 2, 4},
      {"-1000^", 4, 4},               // trailing zeros of the integer part do
      {"1.5 e-7^", 2, 2},             // the exponent's digits do not
      {"1,234,5^67", 5, 7},           // nor commas
      {"12\r\n34^5", 4, 5},           // nor line breaks
      {"0^", 0, 0},
      {"ERROR^", 0, 0},
      {"12abc3^4", 2, 2},             // the reader stops at the first strange character
  };
  for (const Case &c : cases) {
    std::string t = c.text;
    const size_t at = t.find('^');
    t.erase(at, 1);
    EXPECT_EQ(text_digits_before(t.data(), t.size(), at), c.before) << c.text;
    EXPECT_EQ(text_digit_total(t.data(), t.size()), c.total) << c.text;
    // Both ways: the offset of the next digit has as many before it.
    if (c.before < c.total) {
      const size_t off = text_offset_of_digit(t.data(), t.size(), c.before + 1);
      EXPECT_EQ(text_digits_before(t.data(), t.size(), off), c.before) << c.text;
      EXPECT_TRUE(t[off] >= '1' || (t[off] == '0' && c.before > 0)) << c.text;
    }
  }
  const std::string g = "3. 1415926535";
  EXPECT_EQ(text_offset_of_digit(g.data(), g.size(), 1), 0u);
  EXPECT_EQ(text_offset_of_digit(g.data(), g.size(), 2), 3u);
  EXPECT_EQ(text_offset_of_digit(g.data(), g.size(), 0), 0u);
  EXPECT_EQ(text_offset_of_digit(g.data(), g.size(), 99), g.size());  // past the end
  EXPECT_EQ(text_offset_of_digit("0", 1, 1), 1u);

  char buf[32];
  format_count(100013, buf, sizeof buf);
  EXPECT_STREQ(buf, "100,013");
  format_count(999, buf, sizeof buf);
  EXPECT_STREQ(buf, "999");
  for (auto [in, want] : {std::pair{"45,231", 45231}, {" 100 000 ", 100000}, {"7", 7}, {"", 0},
                          {"1,,2", 0}, {"-3", 0}, {"12a", 0}, {"99999999999", 2147483647}})
    EXPECT_EQ(parse_position(in), want) << in;
}

class Compare : public ::testing::Test {
 protected:
  void SetUp() override { reset_engine_state("12"); }
  // R0 = a, R1 = b at `digits`, read as a front end reads them between commands.
  std::string compare(const char *digits, const char *a, const char *b, CompareReport *out = nullptr) {
    slot_copy(TextSlots[SLOT_SIG_DIGITS], digits);
    type(SLOT_R0, a);
    type(SLOT_R1, b);
    if (prepare_registers() != 0) return "refused";
    CompareReport r;
    EXPECT_EQ(compare_registers(0, 1, &r), 0);
    if (out) *out = r;
    char buf[200];
    compare_report_text(r, buf, sizeof buf);
    return buf;
  }
};

TEST_F(Compare, ReportsOnTheShownDigits) {
  struct Case {
    const char *digits, *a, *b, *want;
    int exit;
  } cases[] = {
      {"12", "3.14159265358", "3.14159265358", "R0 and R1 are equal", 0},
      {"12", "3.14159265358", "3.14159275358", "R0 and R1 agree to 7 digits; first difference at digit 8 (6 / 7)", 1},
      {"12", "4", "7", "R0 and R1 agree to 0 digits; first difference at digit 1 (4 / 7)", 1},
      {"12", "1.5", "1.50000000000", "R0 and R1 are equal", 0},  // lengths of the texts do not matter
      {"12", "1.5", "1.500000000001", "R0 and R1 are equal (to the 12 digits shown)", 0},
      {"12", "1.5", "1.50000000001", "R0 and R1 agree to 11 digits; first difference at digit 12 (0 / 1)", 1},
      // Rounded as shown: ...35 rounds up, ...349 down.
      {"12", "1.000000000035", "1.00000000004", "R0 and R1 are equal (to the 12 digits shown)", 0},
      {"12", "1.0000000000349", "1.00000000004", "R0 and R1 agree to 11 digits; first difference at digit 12 (3 / 4)", 1},
      // A carry through digit 1 changes the exponent as the display does.
      {"12", "9.999999999995", "10", "R0 and R1 are equal (to the 12 digits shown)", 0},
      {"12", "9.999999999994", "10", "R0 and R1 differ in exponent (e0 / e1)", 1},
      {"12", "-2", "2", "R0 and R1 differ in sign", 1},
      {"12", "-2e-5", "-2.5e-5", "R0 and R1 agree to 1 digit; first difference at digit 2 (0 / 5)", 1},
      {"12", "1e12", "1e13", "R0 and R1 differ in exponent (e12 / e13)", 1},
      {"12", "0", "0.000", "R0 and R1 are equal", 0},
      {"12", "0", "5", "R0 and R1 differ: R0 is 0", 1},
      {"12", "5", "-0", "R0 and R1 differ: R1 is 0", 1},
      {"12", "ERROR", "5", "R0 and R1 cannot be compared: R0 is ERROR", 4},
      {"12", "1e1999999999", "--1", "R0 and R1 cannot be compared: R0 is OVERFLOW, R1 is ERROR", 4},
      {"5", "1", "1", "refused", -1},
  };
  for (const Case &c : cases) {
    SetUp();
    CompareReport r;
    EXPECT_EQ(compare(c.digits, c.a, c.b, &r), c.want) << c.a << " / " << c.b;
    if (c.exit >= 0) {
      EXPECT_EQ(compare_exit_status(r), c.exit) << c.a << " / " << c.b;
    }
  }
  // Any two registers; out of range refused.
  SetUp();
  CompareReport r;
  type(SLOT_R3, "12");
  type(SLOT_R4, "13");
  ASSERT_EQ(prepare_registers(), 0);
  ASSERT_EQ(compare_registers(3, 4, &r), 0);
  char buf[200];
  compare_report_text(r, buf, sizeof buf);
  EXPECT_STREQ(buf, "R3 and R4 agree to 1 digit; first difference at digit 2 (2 / 3)");
  EXPECT_EQ(compare_registers(0, 15, &r), -1);
  EXPECT_EQ(compare_registers(-1, 0, &r), -1);
}

TEST_F(Compare, BareDigitsCompareEveryInternalDigitAndLargeCountsGroup) {
  // 12 digits shown, 18 held: with "Bare digits" the guard digits count, unrounded.
  Settings[SET_BARE_DIGITS] = 1;
  EXPECT_EQ(compare("12", "1.5", "1.500000000001"),
            "R0 and R1 agree to 12 digits; first difference at digit 13 (0 / 1)");
  Settings[SET_BARE_DIGITS] = 0;
  // 100,000 digits: the counts are grouped, and the registers are left as they were.
  const std::string a = "7." + std::string(99999, '7');
  std::string b = a;
  b[99988] = '4';  // digit 99,988, after the point
  EXPECT_EQ(compare("100000", a.c_str(), b.c_str()),
            "R0 and R1 agree to 99,987 digits; first difference at digit 99,988 (7 / 4)");
  EXPECT_EQ(text(SLOT_R0), a);
  EXPECT_TRUE(register_consistent(0));
}

class RegisterFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("deepnums_register_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string path(const char *name) { return (dir_ / name).string(); }
  void write(const char *name, const std::string &bytes) {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string read(const char *name) {
    std::ifstream f(path(name), std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
  }
  fs::path dir_;
};

TEST_F(RegisterFiles, ReadAcceptsCommentsAndGroupedLinesAndRefusesTheRest) {
  static char out[TEXT_SLOT_BYTES];
  std::string error;
  struct Case {
    std::string bytes, want;  // want: the text read, or the end of the message
  } cases[] = {
      {"3.25\n", "3.25"},
      {"# deepNUMS R0\r\n\r\n# more\n -1.5e-7 \r\n\n", "-1.5e-7"},
      {"1234 5678\r\n9012\n", "1234 5678\r\n9012"},  // a grouped text over lines
      {"ERROR\n", "ERROR"},
      {"# only a comment\n", "holds no number"},
      {"", "holds no number"},
      {"12\n# late comment\n", "line 2 is not part of a number"},
      {"# c\n1.2.3\n", "line 2 is not part of a number"},
      {"0x10\n", "line 1 is not part of a number"},
      {std::string(TEXT_SLOT_MAX_CHARS, '1'), std::string(TEXT_SLOT_MAX_CHARS, '1')},
      {std::string(TEXT_SLOT_MAX_CHARS + 1, '1'), "(100,000 digits with their grouping)"},
      {"# " + std::string(REGISTER_FILE_MAX_BYTES, 'x') + "\n1\n", "(100,000 digits with their grouping)"},
  };
  for (const Case &c : cases) {
    write("r.txt", c.bytes);
    const int got = register_file_read(path("r.txt").c_str(), out, &error);
    const std::string &want = c.want;
    if (got == 0) {
      EXPECT_EQ(std::string(out), want) << c.bytes.substr(0, 40);
    } else {
      EXPECT_EQ(out[0], '\0');
      ASSERT_GE(error.size(), want.size()) << error;
      EXPECT_EQ(error.substr(error.size() - want.size()), want) << c.bytes.substr(0, 40);
    }
  }
  EXPECT_EQ(register_file_read(path("missing.txt").c_str(), out, &error), -1);
  EXPECT_EQ(error.rfind("cannot read '", 0), 0u) << error;
  EXPECT_EQ(register_file_read(dir_.string().c_str(), out, &error), -1);  // a folder

  // Written and read back, with its comment line on top.
  ASSERT_TRUE(register_file_write(path("w.txt").c_str(), "deepNUMS R0", "-.5", &error)) << error;
#ifdef _WIN32
  EXPECT_EQ(read("w.txt"), "# deepNUMS R0\r\n-.5\r\n");
#else
  EXPECT_EQ(read("w.txt"), "# deepNUMS R0\n-.5\n");
#endif
  ASSERT_EQ(register_file_read(path("w.txt").c_str(), out, &error), 0) << error;
  EXPECT_STREQ(out, "-.5");
  EXPECT_FALSE(register_file_write(dir_.string().c_str(), "", "1", &error));  // a folder
}

TEST(NumberExport, LeadingZeroNoBlanksNoMarkers) {
  char out[64];
  for (auto [in, want] : {std::pair{"-.5", "-0.5"}, {".001234", "0.001234"}, {"1.5e-7", "1.5e-7"},
                          {"-2e16", "-2e16"}, {"2", "2"}, {"97.40909", "97.40909"}, {"0", "0"},
                          {"1. 5 e-7", "1.5e-7"}}) {
    EXPECT_TRUE(number_export_text(in, out, sizeof out)) << in;
    EXPECT_STREQ(out, want) << in;
  }
  for (const char *in : {"ERROR", "OVERFLOW", "WRONG FORMAT", ""}) EXPECT_FALSE(number_export_text(in, out, sizeof out)) << in;
  EXPECT_FALSE(number_export_text(".5", out, 3));  // "0.5" needs 4 bytes
}

TEST_F(RegisterFiles, ScriptComparesAndSaves) {
  reset_engine_state("20");
  type(SLOT_R0, "1.25");
  type(SLOT_R1, "1.3");
  type(SLOT_R3, "-7");
  type(SLOT_SCRIPT, "compare");
  press(C_SCRIPT);
  EXPECT_EQ(status(), "R0 and R1 agree to 1 digit; first difference at digit 2 (2 / 3)");
  type(SLOT_SCRIPT, "compare R3 r0");
  press(C_SCRIPT);
  EXPECT_EQ(status(), "R3 and R0 differ in sign");
  const std::string file = path("r3.txt");
  type(SLOT_SCRIPT, ("save R3 " + file + "  \r\ncompare R0 R0").c_str());
  press(C_SCRIPT);
  EXPECT_EQ(status(), "R0 and R0 are equal");  // the script went on after saving
#ifndef _WIN32
  EXPECT_EQ(read("r3.txt"), "# deepNUMS R3 at 20 significant digits\n-7\n");
#endif
  for (const char *bad : {"compare R3", "compare R3 R10", "compare 3 4", "save R3", "save X1 f", "compare R1 R2 R3"}) {
    type(SLOT_SCRIPT, bad);
    press(C_SCRIPT);
    EXPECT_EQ(status(), "Invalid command: line = 1\n") << bad;
  }
  type(SLOT_SCRIPT, ("save R0 " + dir_.string() + "\r\ncompare").c_str());  // a folder: stops there
  press(C_SCRIPT);
  EXPECT_EQ(status().rfind("cannot save '", 0), 0u) << status();
}

}  // namespace
