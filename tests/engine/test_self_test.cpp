// The self-test runner on small tables built here (malformed ones for the errors F0..F3,
// passing and failing ones), the precision restored on every path, and the stored table.
#include <vector>

#include "engine/self_test.h"
#include "engine/test_table.h"
#include "engine_fixture.h"

namespace {

class SelfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state("30");
    press(C_NYS1);  // the user's precision: 30 digits
    ASSERT_EQ(sig_digits, 30);
  }
  void TearDown() override { cancel_reset(); }
  std::string run(const std::vector<const char *> &table, int first = 0, int last = 0) {
    run_self_test_on(table.data(), (int)table.size(), first, last);
    EXPECT_EQ(sig_digits, 30) << "precision not restored";
    EXPECT_EQ(word_count, dec_word_count_for(30));
    EXPECT_EQ(requested_digits, 30);
    return status();
  }
};

TEST_F(SelfTest, MalformedTables) {
  EXPECT_EQ(run({"XYZ", "217", "1", "1", "2", "3", ""}), "ERROR on seq=0  step=-1, error=F0\n");
  EXPECT_EQ(run({"SEQ1", "217", "1", "1", "2", "3", ""}), "ERROR on seq=0  step=-1, error=F1\n");
  EXPECT_EQ(run({"SEQ0", "417", "1", "1", "2", "3", ""}), "ERROR on seq=0  step=-1, error=F2\n");
  EXPECT_EQ(run({"SEQ0", "x17", "1", "1", "2", "3", ""}), "ERROR on seq=0  step=-1, error=F2\n");
  EXPECT_EQ(run({"SEQ0", "", "1", ""}), "ERROR on seq=0  step=-1, error=F2\n");
  EXPECT_EQ(run({"SEQ0", "217", "0", ""}), "ERROR on seq=0  step=-1, error=F3\n");
  EXPECT_EQ(run({"SEQ0", "217", "-4", ""}), "ERROR on seq=0  step=-1, error=F3\n");
  EXPECT_EQ(run({"SEQ0", "217", "abc", ""}), "ERROR on seq=0  step=-1, error=F3\n");
  // The second sequence out of order, also when the first one is passed over.
  EXPECT_EQ(run({"SEQ0", "217", "1", "1", "2", "3", "SEQ2", "217", "1", "1", "2", "3", ""}),
            "ERROR on seq=1  step=-1, error=F1\n");
  EXPECT_EQ(run({"SEQ0", "217", "1", "1", "2", "3", "SEQ1", "217", ""}, 5, 0),
            "ERROR on seq=1  step=-1, error=F3\n");
}

TEST_F(SelfTest, TruncatedTablesAreNeverReadPastTheirEnd) {
  // Count strings only, no final empty string: the reader stops at the count.
  EXPECT_EQ(run({"SEQ0", "217", "5", "1", "2", "3"}), "TEST completed: seq=0  step=0\n");
  EXPECT_EQ(run({"SEQ0"}), "ERROR on seq=0  step=-1, error=F2\n");
  EXPECT_EQ(run({"SEQ0", "217", "999999999999"}), "TEST completed: seq=0  step=-1\n");
  EXPECT_EQ(run({}), "TEST completed: seq=-1  step=-2\n");
}

TEST_F(SelfTest, PassingTableReportsTheLastStep) {
  std::vector<const char *> t = {"SEQ0", "217", "2", "1", "2", "3", "10", ".2", "10.2", ""};
  EXPECT_EQ(run(t), "TEST completed: seq=0  step=1\n");
  // An empty step ends the sequence early: one below it.
  std::vector<const char *> early = {"SEQ0", "217", "3", "1", "2", "3", "", "", "", "", "", "",
                                     "SEQ1", "217", "1", "5", "2", "3", ""};
  EXPECT_EQ(run(early), "TEST completed: seq=1  step=0\n");
  EXPECT_EQ(run(early, 0, 5), "TEST completed: seq=1  step=0\n");
  // Sequence 0 passed over, sequence 1 run; then both passed over.
  EXPECT_EQ(run(early, 1, 1), "TEST completed: seq=1  step=0\n");
  EXPECT_EQ(run(early, 2, 0), "TEST completed: seq=1  step=-2\n");
}

TEST_F(SelfTest, FailingStepKeepsItsRegisters) {
  std::vector<const char *> t = {"SEQ0", "217", "2", "1", "2", "3", "1", "1", "3", ""};
  EXPECT_EQ(run(t), "ERROR on seq=0  step=1, error=1\n");
  EXPECT_EQ(text(SLOT_R3), "1\r\n");  // x
  EXPECT_EQ(text(SLOT_R2), "1\r\n");  // y
  EXPECT_EQ(text(SLOT_R0), "3\r\n");  // expected
  EXPECT_EQ(text(SLOT_R1), "2\r\n");  // computed
  EXPECT_EQ(text(SLOT_R8), "1\r\n");  // reference copy of x, a display copy
}

TEST_F(SelfTest, MemoryTextsFollowTheRegistersTheTestLeaves) {
  std::vector<const char *> t = {"SEQ0", "217", "1",
                                 "1234567890123456789012345678901234567890123456789012345",
                                 "1", "1234567890123456789012345678901234567890123456789012346",
                                 ""};
  EXPECT_EQ(run(t), "TEST completed: seq=0  step=0\n");
  for (int n = 5; n <= 9; n++) {
    EXPECT_LE(text(n).size(), 50u) << n;
    EXPECT_TRUE(register_consistent(n)) << n;
  }
  EXPECT_EQ(memory(8).substr(0, 25), "12345678901234567890 1234");
  // A later recall gives the full text and the number together.
  press(C_RCL7 + 1);
  EXPECT_TRUE(register_consistent(0));
  EXPECT_EQ(text(SLOT_R0), memory(8));
}

TEST_F(SelfTest, SecondResultAndOperandChecks) {
  // 15 sequences so that sequence 14 (in-place integer division) can be reached; the
  // others are passed over.
  std::vector<const char *> t;
  const char *tags[] = {"SEQ0", "SEQ1", "SEQ2",  "SEQ3",  "SEQ4",  "SEQ5",  "SEQ6",
                        "SEQ7", "SEQ8", "SEQ9", "SEQ10", "SEQ11", "SEQ12", "SEQ13"};
  for (const char *tag : tags) {
    for (const char *s : {tag, "217", "1", "", "", ""}) t.push_back(s);
  }
  std::vector<const char *> checked = t, unchecked = t;
  for (const char *s : {"SEQ14", "227", "1", "270", "181", "1", "89", ""}) checked.push_back(s);
  for (const char *s : {"SEQ14", "221", "1", "270", "181", "1", "89", ""}) unchecked.push_back(s);
  // The quotient overwrites x's register R3: caught when R3 is checked (bit 3).
  EXPECT_EQ(run(checked, 14, 14), "ERROR on seq=14  step=0, error=8\n");
  EXPECT_EQ(run(unchecked, 14, 14), "TEST completed: seq=14  step=0\n");
  EXPECT_EQ(text(SLOT_R6), "89\r\n");
  // A wrong second result (bit 1).
  std::vector<const char *> wrong = t;
  for (const char *s : {"SEQ14", "221", "1", "270", "181", "1", "88", ""}) wrong.push_back(s);
  EXPECT_EQ(run(wrong, 14, 14), "ERROR on seq=14  step=0, error=2\n");
}

TEST_F(SelfTest, RadianModeFromTheFourthModeCharacter) {
  run({"SEQ0", "217r", "1", "1", "2", "3", ""});
  EXPECT_NE(radian_mode, 0);
  run({"SEQ0", "217", "1", "1", "2", "3", ""});
  EXPECT_EQ(radian_mode, 0);
}

TEST_F(SelfTest, PrecisionRestoredWhenCancelled) {
  cancel_requested.store(true);
  std::vector<const char *> t = {"SEQ0", "217", "1", "1", "2", "3", ""};
  EXPECT_THROW(run_self_test_on(t.data(), (int)t.size(), 0, 0), CommandCancelled);
  EXPECT_EQ(sig_digits, 30);
  EXPECT_EQ(requested_digits, 30);
}

TEST_F(SelfTest, PrecisionOutsideTheRangeIsNotApplied) {
  requested_digits = 5;  // as if the test had been called without a valid field
  std::vector<const char *> t = {"SEQ0", "217", "1", "1", "2", "3", ""};
  run_self_test_on(t.data(), (int)t.size(), 0, 0);
  EXPECT_EQ(requested_digits, 5);
  EXPECT_EQ(sig_digits, 100);
}

TEST_F(SelfTest, ParseTestOperand) {
  dec_set_precision(100);
  DecWord *p = Registers[11];
  parse_test_operand(p, "d30");
  std::string pi6 = shown(11);
  EXPECT_EQ(pi6.substr(0, 41), ".5235987755982988730 77107230546583814032");
  parse_test_operand(p, "s");
  EXPECT_EQ(shown(11), pi6);
  parse_test_operand(p, "12.5");
  EXPECT_EQ(shown(11), "12. 5\r\n");
  parse_test_operand(p, "..");
  EXPECT_EQ(dec_head(p), NUM_ERROR);
  parse_test_operand(p, "1e1999999999");
  EXPECT_EQ(dec_head(p), NUM_OVERFLOW);
}

// The stored table.
TEST_F(SelfTest, StoredTablePassedOver) {
  run_self_test(41, 0);
  EXPECT_EQ(status(), "TEST completed: seq=40  step=-2\n");
  EXPECT_EQ(sig_digits, 30);
}

TEST_F(SelfTest, StoredTableSequence15) {
  run_self_test(15, 15);
  EXPECT_EQ(status(), "TEST completed: seq=15  step=38\n");
  EXPECT_EQ(sig_digits, 30);
}

TEST_F(SelfTest, StoredTableAll) {
  run_self_test(0, 0);
  EXPECT_EQ(status(), "TEST completed: seq=40  step=11\n");
  EXPECT_EQ(sig_digits, 30);
}

// The display options do not change what the test compares: it rounds to its 100 digits
// with "Bare digits" set or not, and restores the option afterwards.
TEST_F(SelfTest, StoredTablePassesWithEveryDisplayOption) {
  for (int bare : {0, 1})
    for (int plain : {0, 1}) {
      bare_digits = bare;
      line_digits = group_digits = plain ? 0 : 1;
      run_self_test(0, 0);
      EXPECT_EQ(status(), "TEST completed: seq=40  step=11\n") << bare << plain;
      EXPECT_EQ(bare_digits, bare);
    }
  bare_digits = 0;
  line_digits = 200;
  group_digits = 20;
}

}  // namespace
