// Register movement of every command kind, checked on numbers, texts and shadows
// together, and the register operations' index ranges.
#include <vector>

#include "engine_fixture.h"

namespace {

// Typed texts of R0..R4 before each command; x = old R1 = "10", y = old R0 = "3".
const char *const START[5] = {"3", "10", "200", "4000", "50000"};

class Movement : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state("12");
    for (int n = 0; n < 5; n++) type(n, START[n]);
    press(C_NYS1);  // reads every register
  }
  // R0..R4 texts after a command, each register consistent with its text.
  void expect_stack(const std::vector<std::string> &want) {
    for (int n = 0; n < 5; n++) {
      EXPECT_EQ(text(n), want[n]) << "R" << n;
      EXPECT_TRUE(register_consistent(n));
    }
  }
};

TEST_F(Movement, TwoOperandOperation) {
  press(C_SUB);
  expect_stack({"7\r\n", "3", "10", "200", "4000"});
}

TEST_F(Movement, OneOperandOperation) {
  press(C_SQ);
  expect_stack({"9\r\n", "3", "10", "200", "4000"});
}

TEST_F(Movement, Constant) {
  press(C_PI);
  expect_stack({"3. 14159265359\r\n", "3", "10", "200", "4000"});
}

TEST_F(Movement, UpDownDup) {
  press(C_UP);
  expect_stack({"0", "3", "10", "200", "4000"});
  SetUp();
  press(C_DOWN);
  expect_stack({"10", "200", "4000", "50000", "0"});
  SetUp();
  press(C_DUP);
  expect_stack({"3", "3", "10", "200", "4000"});
  SetUp();
  press(C_UP);
  press(C_DOWN);  // restores R0..R3, R4 becomes 0
  expect_stack({"3", "10", "200", "4000", "0"});
}

TEST_F(Movement, SwapTwiceRestores) {
  press(C_SWAP);
  expect_stack({"10", "3", "200", "4000", "50000"});
  EXPECT_EQ(text(10), "10");
  EXPECT_EQ(shown(10), "10\r\n");
  press(C_SWAP);
  expect_stack({"3", "10", "200", "4000", "50000"});
}

TEST_F(Movement, InPlace) {
  press(C_NEG);
  expect_stack({"-3\r\n", "10", "200", "4000", "50000"});
  press(C_ABS);
  expect_stack({"3\r\n", "10", "200", "4000", "50000"});
}

TEST_F(Movement, StoreAndRecallKeepTheFullText) {
  std::string longtext = "1234567890 1234567890 1234567890 1234567890 1234567890 123";
  type(SLOT_R0, longtext.c_str());
  press(C_STO7);
  expect_stack({"10", "200", "4000", "50000", "0"});
  EXPECT_EQ(text(7), longtext.substr(0, 50));
  EXPECT_EQ(memory(7), longtext);
  EXPECT_TRUE(register_consistent(7));

  press(C_RCL7);
  expect_stack({longtext, "10", "200", "4000", "50000"});
  EXPECT_EQ(shadow(0), longtext);  // not read again
  EXPECT_EQ(shown(0), reads_as(longtext.c_str()));

  press(C_CLR7);
  EXPECT_EQ(text(7), "0");
  EXPECT_EQ(memory(7), "0");
  press(C_RCL7);
  EXPECT_EQ(text(0), "0");
  EXPECT_EQ(shown(0), "0\r\n");
}

TEST_F(Movement, ClearCommands) {
  press(C_STO5);  // R5 = 3
  press(C_ACLR);
  expect_stack({"0", "0", "0", "0", "0"});
  EXPECT_EQ(memory(5), "3");
  press(C_MCLR);
  for (int n = 5; n <= 9; n++) {
    EXPECT_EQ(text(n), "0");
    EXPECT_EQ(memory(n), "0");
    EXPECT_TRUE(register_consistent(n));
  }
}

TEST(RegisterOperations, OutOfRangeIndexesDoNothing) {
  reset_engine_state("12");
  type(SLOT_R0, "5");
  press(C_NYS1);
  EXPECT_EQ(register_copy(15, 0), -1);
  EXPECT_EQ(register_copy(0, -1), -1);
  EXPECT_EQ(register_clear(-1), -1);
  EXPECT_EQ(register_clear(15), -1);
  EXPECT_EQ(register_show(15), -1);
  EXPECT_EQ(memory_store(4), -1);
  EXPECT_EQ(memory_store(10), -1);
  EXPECT_EQ(memory_recall(4), -1);
  EXPECT_EQ(memory_recall(10), -1);
  EXPECT_EQ(text(SLOT_R0), "5");
  EXPECT_EQ(text(SLOT_R1), "0");
  EXPECT_TRUE(register_consistent(0));
  // The accepted extremes.
  EXPECT_EQ(register_copy(14, 0), 0);
  EXPECT_EQ(text(14), "5");
  EXPECT_EQ(register_copy(0, 0), 0);
  EXPECT_EQ(register_clear(14), 0);
  EXPECT_EQ(text(14), "0");
}

}  // namespace
