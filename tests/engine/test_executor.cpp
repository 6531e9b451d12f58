// The executor's run: options, precision and its figures, change detection between texts
// and numbers, the status texts, and the stale shadows after a cancel.
#include "engine_fixture.h"

namespace {

class Executor : public ::testing::Test {
 protected:
  void SetUp() override { reset_engine_state("12"); }
};

TEST_F(Executor, PrecisionFiguresAreWrittenForAcceptedDigits) {
  struct Case {
    const char *field;
    int sig, words, ext, internal, err;
  } cases[] = {
      {"12", 12, 3, 5, 18, 12},
      {"1000", 1000, 168, 7, 1008, 1000},
      {"100000", 100000, 16669, 9, 100014, 100004},
      {"  +50 ", 50, 10, 5, 60, 54},
      // digit groups as the window's title writes them
      {"100,000", 100000, 16669, 9, 100014, 100004},
      {"100 000", 100000, 16669, 9, 100014, 100004},
      {"1_000", 1000, 168, 7, 1008, 1000},
      {"1'0'0'0\r\n", 1000, 168, 7, 1008, 1000},
      {"99", 99, 18, 5, 108, 102},
      {"100", 100, 18, 6, 108, 101},
  };
  for (const Case &c : cases) {
    type(SLOT_SIG_DIGITS, c.field);
    EXPECT_EQ(press(C_NYS1), 0) << c.field;
    EXPECT_EQ(requested_digits, c.sig) << c.field;
    EXPECT_EQ(sig_digits, c.sig) << c.field;
    EXPECT_EQ(word_count, c.words) << c.field;
    EXPECT_EQ(internal_digits, c.internal) << c.field;
    EXPECT_EQ(extension_digits, c.ext) << c.field;
    EXPECT_EQ(error_digits, c.err) << c.field;
    EXPECT_EQ(text(SLOT_MIN_EXT_DIGITS), std::to_string(c.ext)) << c.field;
    EXPECT_EQ(text(SLOT_INTERNAL_DIGITS), std::to_string(c.internal)) << c.field;
  }
}

TEST_F(Executor, InvalidDigitsRefuseTheCommandAndChangeNothing) {
  type(SLOT_R1, "10");
  type(SLOT_R0, "3");
  ASSERT_EQ(press(C_SUB), 0);
  ASSERT_EQ(text(SLOT_R0), "7\r\n");
  for (const char *bad : {"5", "abc", "", "11", "100001", "-12", "99999999999999999999",
                          "50 digits", "100.000", "100,", "100,,000", ",100", "1e3", "20x"}) {
    type(SLOT_SIG_DIGITS, bad);
    type(SLOT_R4, "123");  // edited, but must not be read
    EXPECT_EQ(press(C_ADD), -1) << bad;
    EXPECT_EQ(status(), "Invalid number of Significant digit") << bad;
    EXPECT_EQ(sig_digits, 12) << bad;
    EXPECT_EQ(word_count, 3) << bad;
    EXPECT_EQ(text(SLOT_R0), "7\r\n") << bad;
    EXPECT_EQ(text(SLOT_R1), "3") << bad;
    EXPECT_EQ(text(SLOT_INTERNAL_DIGITS), "18") << bad;
    EXPECT_NE(shadow(4), "123") << bad;  // R4 was not re-read
  }
  type(SLOT_SIG_DIGITS, "12");
  EXPECT_EQ(press(C_ADD), 0);
  EXPECT_EQ(status(), "");
  EXPECT_EQ(text(SLOT_R0), "10\r\n");  // 7 + 3
}

TEST_F(Executor, UnsupportedCodesOnlyReportAndReadRegisters) {
  type(SLOT_R0, "5");
  type(SLOT_R1, "6");
  for (int code : {88, 89, 34, 96, 0, -5, 1000, 0x7fffffff}) {
    EXPECT_EQ(press(code), 0) << code;
    EXPECT_EQ(status(), "Not yet supported") << code;
    EXPECT_EQ(text(SLOT_R0), "5") << code;
    EXPECT_EQ(text(SLOT_R1), "6") << code;
    EXPECT_TRUE(register_consistent(0)) << code;  // steps 1 to 5 still ran
    EXPECT_TRUE(register_consistent(1)) << code;
  }
}

TEST_F(Executor, StatusIsEmptiedByEveryCommand) {
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  press(C_UP);
  EXPECT_EQ(status(), "");
  press(C_NYS2);
  EXPECT_EQ(status(), "Not yet supported");
  press(C_DUP);
  EXPECT_EQ(status(), "");
}

TEST_F(Executor, OptionFlagsFollowSettings) {
  Settings[SET_ANGLE_UNIT] = 1;
  Settings[SET_COMPACT_MEM] = 5;
  Settings[SET_BARE_DIGITS] = -1;
  Settings[SET_PLANE_DISP] = 1;
  press(C_NYS1);
  EXPECT_NE(radian_mode, 0);
  EXPECT_NE(compact_memory, 0);
  EXPECT_NE(bare_digits, 0);
  EXPECT_EQ(line_digits, 0);
  EXPECT_EQ(group_digits, 0);
  memset(Settings, 0, sizeof Settings);
  term_override = 7;  // as a cancelled "prec" could leave it
  hipr_mode = 1;
  press(C_NYS1);
  EXPECT_EQ(radian_mode, 0);
  EXPECT_EQ(compact_memory, 0);
  EXPECT_EQ(bare_digits, 0);
  EXPECT_EQ(line_digits, 200);
  EXPECT_EQ(group_digits, 20);
  EXPECT_EQ(term_override, 0);
  EXPECT_EQ(hipr_mode, 0);
}

TEST_F(Executor, EditedTextIsReadUneditedIsNot) {
  type(SLOT_R3, "42");
  press(C_NEG);  // a command that does not use R3
  EXPECT_EQ(shown(3), "42\r\n");
  EXPECT_EQ(shadow(3), "42");

  // Change the number behind an unchanged text: the next command must not read it again.
  dec_from_text(Registers[3], "7");
  press(C_NEG);
  EXPECT_EQ(shown(3), "7\r\n");

  // Edit it: read again.
  type(SLOT_R3, "43");
  press(C_NEG);
  EXPECT_EQ(shown(3), "43\r\n");

  // Every register 0..14 takes part, the internal ones included.
  type(12, "1.25");
  press(C_NEG);
  EXPECT_EQ(shown(12), "1. 25\r\n");  // grouped display: a blank after the point
}

TEST_F(Executor, MemoryRegistersAreReadFromTheirFullTexts) {
  std::string digits = "1234567890123456789012345678901234567890123456789012345";
  slot_copy(MemoryTexts[2], digits.c_str());  // R7
  type(SLOT_R7, digits.substr(0, 50).c_str());
  type(SLOT_SIG_DIGITS, "100");
  press(C_NYS1);
  EXPECT_EQ(shown(7), reads_as(digits.c_str()));
  EXPECT_EQ(shadow(7), digits.substr(0, 50));
}

// A tab in a register text (older input, a workspace file) is read as a blank and becomes
// one in the text, so that the box, the shadow and the number agree.
TEST_F(Executor, TabsInRegisterTextsReadAsBlanks) {
  type(SLOT_R0, "\t5");
  type(SLOT_R1, "1\t2\t\r\n");
  slot_copy(MemoryTexts[1], "3\t4");  // R6
  type(SLOT_R6, "3\t4");
  press(C_NYS1);
  EXPECT_EQ(shown(0), "5\r\n");
  EXPECT_EQ(shown(1), "12\r\n");
  EXPECT_EQ(shown(6), "34\r\n");
  EXPECT_EQ(text(SLOT_R0), " 5");
  EXPECT_EQ(memory(6), "3 4");
  for (int n : {0, 1, 6}) EXPECT_TRUE(register_consistent(n)) << n;
}

// A memory register's change shows only in its 50-character display copy: a new full text
// with the same first 50 characters is read once its shadow is marked stale.
TEST_F(Executor, OneStaleShadowReadsThatRegisterAgain) {
  const std::string head(50, '1');
  slot_copy(MemoryTexts[2], (head + "2").c_str());  // R7
  type(SLOT_R7, head.c_str());
  type(SLOT_SIG_DIGITS, "100");
  press(C_NYS1);
  slot_copy(MemoryTexts[2], (head + "3").c_str());
  press(C_NYS1);
  EXPECT_EQ(shown(7), reads_as((head + "2").c_str()));  // unseen without the mark
  dec_from_text(Registers[4], "9");  // other registers stay as they are
  mark_shadow_stale(7);
  mark_shadow_stale(15);  // out of range: nothing
  press(C_NYS1);
  EXPECT_EQ(shown(7), reads_as((head + "3").c_str()));
  EXPECT_EQ(shown(4), "9\r\n");
}

TEST_F(Executor, LoweringTheDigitsReadsNothing) {
  type(SLOT_SIG_DIGITS, "30");
  type(SLOT_R1, "1");
  type(SLOT_R0, "3");
  Settings[SET_BARE_DIGITS] = 1;
  press(C_DIV);
  type(SLOT_R3, "42");
  press(C_NYS1);
  dec_from_text(Registers[3], "7");  // behind the text's back: only a re-read undoes it
  type(SLOT_SIG_DIGITS, "12");
  press(C_NEG);  // R0 keeps the digit words it got at 30 digits and shows their first 17
  EXPECT_EQ(text(SLOT_R0), "-.33333333333333333\r\n");
  EXPECT_EQ(shown(3), "7\r\n");
}

// A number written at a lower precision has stale words after its own (here the tail of
// the 1,000-digit π that R0's buffer held before 1/x at 12 digits), so raising the digits
// reads every register again from its text; a register's text keeps all its digits.
TEST_F(Executor, RaisingTheDigitsReadsEveryRegisterAgain) {
  type(SLOT_SIG_DIGITS, "1000");
  press(C_PI);
  press(C_DUP);
  press(C_DUP);
  ASSERT_EQ(press(C_NYS1), 0);
  const std::string pi_text = text(SLOT_R2);
  type(SLOT_SIG_DIGITS, "12");
  press(C_RECIP);  // R0 = 1 / π at 12 digits, written over π's words
  const std::string inverse_text = text(SLOT_R0);
  type(SLOT_SIG_DIGITS, "1000");
  press(C_SQ);
  static DecWord y[DEC_BUF_WORDS], want[DEC_BUF_WORDS];
  dec_from_text(y, inverse_text.c_str());
  dec_mul(want, y, y);
  static char want_text[TEXT_SLOT_BYTES];
  dec_to_text(want, want_text);
  EXPECT_EQ(text(SLOT_R0), want_text);
  EXPECT_EQ(text(SLOT_R3), pi_text);  // moved down by the lift, digits intact
  EXPECT_EQ(shown(3), pi_text);
  for (int n = 0; n < 10; n++) EXPECT_TRUE(register_consistent(n)) << n;
}

// The self-test runs at its own 100 digits and restores the user's precision; the
// registers it wrote are read again at the next command.
TEST_F(Executor, RegistersWrittenBySelfTestAreReadAgainAfterIt) {
  type(SLOT_SIG_DIGITS, "1000");
  press(C_PI);
  type(SLOT_SCRIPT, "test 2,2");
  press(C_SCRIPT);
  ASSERT_EQ(status().rfind("TEST completed", 0), 0u) << status();
  press(C_NYS1);
  for (int n = 0; n < 10; n++) EXPECT_TRUE(register_consistent(n)) << n;
}

TEST_F(Executor, StaleShadowsMakeEveryRegisterReadAgain) {
  type(SLOT_R3, "42");
  type(SLOT_R0, "5");
  press(C_NYS1);
  dec_from_text(Registers[3], "7");  // a half-done command's leftovers
  dec_from_text(Registers[0], "9");
  mark_shadows_stale();
  press(C_NEG);
  EXPECT_EQ(shown(3), "42\r\n");
  EXPECT_EQ(text(SLOT_R0), "-5\r\n");
  for (int n = 0; n < 10; n++) EXPECT_TRUE(register_consistent(n)) << n;
}

TEST_F(Executor, StaleMarkerEqualsNoText) {
  // A text made of the marker byte itself is still read (every time).
  type(SLOT_R2, "\x01");
  dec_from_text(Registers[2], "5");
  mark_shadows_stale();
  press(C_NYS1);
  EXPECT_EQ(shown(2), "0\r\n");
  dec_from_text(Registers[2], "5");
  press(C_NYS1);
  EXPECT_EQ(shown(2), "0\r\n");
}

TEST_F(Executor, MarkStaleTerminatesEveryText) {
  memset(TextSlots[SLOT_R1], '7', TEXT_SLOT_BYTES);  // as a formatter stopped midway
  memset(MemoryTexts[0], '8', TEXT_SLOT_BYTES);
  mark_shadows_stale();
  EXPECT_EQ(strlen(TextSlots[SLOT_R1]), (size_t)TEXT_SLOT_MAX_CHARS);
  EXPECT_EQ(strlen(MemoryTexts[0]), (size_t)TEXT_SLOT_MAX_CHARS);
  EXPECT_EQ(press(C_NYS1), 0);
}

TEST_F(Executor, CancelUnwindsOutOfTheCommand) {
  type(SLOT_R0, "5");
  cancel_requested.store(true);
  Settings[SET_COMMAND] = C_SCRIPT;
  type(SLOT_SCRIPT, "loop 1000000,+");
  EXPECT_THROW(execute_command(), CommandCancelled);
  cancel_reset();
  mark_shadows_stale();
  press(C_NEG);
  for (int n = 0; n < 10; n++) EXPECT_TRUE(register_consistent(n)) << n;
}

}  // namespace
