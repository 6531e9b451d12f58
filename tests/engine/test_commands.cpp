// The arithmetic, digit and function commands through execute_command, with the
// registers they leave behind.
#include "engine_fixture.h"

namespace {

class Commands : public ::testing::Test {
 protected:
  void SetUp() override { reset_engine_state("12"); }
  // x in R1, y in R0, then the command; returns R0's text.
  std::string binary(const char *x, const char *y, int code) {
    type(SLOT_R1, x);
    type(SLOT_R0, y);
    press(code);
    return text(SLOT_R0);
  }
  std::string unary(const char *y, int code) {
    type(SLOT_R0, y);
    press(code);
    return text(SLOT_R0);
  }
};

TEST_F(Commands, BasicArithmetic) {
  EXPECT_EQ(binary("10", "3", C_ADD), "13\r\n");
  EXPECT_EQ(binary("10", "3", C_SUB), "7\r\n");
  EXPECT_EQ(binary("10", "3", C_MUL), "30\r\n");
  EXPECT_EQ(binary("10", "4", C_DIV), "2. 5\r\n");
  EXPECT_EQ(binary("1", "3", C_DIV), ".333333333333\r\n");
  EXPECT_EQ(unary("3", C_SQ), "9\r\n");
  EXPECT_EQ(unary("-3", C_CUBE), "-27\r\n");
  EXPECT_EQ(unary("4", C_RECIP), ".25\r\n");
}

TEST_F(Commands, RemainderTakesTheSignOfX) {
  EXPECT_EQ(binary("270", "181", C_MOD), "89\r\n");
  EXPECT_EQ(binary("-270", "181", C_MOD), "-89\r\n");
  EXPECT_EQ(text(SLOT_R1), "181");
  EXPECT_EQ(text(SLOT_R2), "-270");
}

TEST_F(Commands, RoundOff) {
  EXPECT_EQ(binary("18.56785678", "-1", C_ROUND), "20\r\n");
  EXPECT_EQ(binary("18.56785678", "2", C_ROUND), "18. 57\r\n");
  EXPECT_EQ(binary("18.56785678", "0", C_ROUND), "19\r\n");
  // Digit counts beyond the int range: everything kept, or nothing.
  EXPECT_EQ(binary("18.5", "5e20", C_ROUND), "18. 5\r\n");
  EXPECT_EQ(binary("18.5", "-5e20", C_ROUND), "0\r\n");
  EXPECT_EQ(binary("18.5", "2147483647", C_ROUND), "18. 5\r\n");
  EXPECT_EQ(binary("1e999999999", "-2147483647", C_ROUND), "0\r\n");
}

TEST_F(Commands, RoundOffPassesAMarkerDigitCountOn) {
  type(SLOT_R0, "0");
  press(C_RECIP);  // R0 = ERROR, R1 = 0
  type(SLOT_R1, "18.5");
  press(C_ROUND);
  EXPECT_EQ(text(SLOT_R0), "ERROR\r\n");
}

TEST_F(Commands, ReciprocalOfZero) {
  EXPECT_EQ(unary("0", C_RECIP), "ERROR\r\n");
  EXPECT_EQ(text(SLOT_R1), "0");
  EXPECT_EQ(shown(1), "0\r\n");
}

TEST_F(Commands, ChangeSignAndAbsolute) {
  EXPECT_EQ(unary("0", C_NEG), "0\r\n");
  EXPECT_EQ(dec_head(Registers[0]), 0);
  EXPECT_EQ(unary("2.5", C_NEG), "-2. 5\r\n");
  press(C_NEG);
  EXPECT_EQ(text(SLOT_R0), "2. 5\r\n");
  EXPECT_EQ(unary("-7", C_ABS), "7\r\n");
  EXPECT_EQ(unary("7", C_ABS), "7\r\n");
  unary("0", C_RECIP);
  press(C_NEG);
  EXPECT_EQ(text(SLOT_R0), "ERROR\r\n");
  press(C_ABS);
  EXPECT_EQ(text(SLOT_R0), "ERROR\r\n");
  EXPECT_EQ(dec_head(Registers[0]), NUM_ERROR);
}

TEST_F(Commands, IntegerFractionExponent) {
  EXPECT_EQ(unary("-2.7", C_IP), "-2\r\n");
  EXPECT_EQ(unary("0.999", C_IP), "0\r\n");
  EXPECT_EQ(unary("-2.75", C_FP), "-.75\r\n");
  EXPECT_EQ(unary("12", C_FP), "0\r\n");
  EXPECT_EQ(unary("0.05", C_EP), "-2\r\n");
  EXPECT_EQ(unary("123.4", C_EP), "2\r\n");
  EXPECT_EQ(unary("0", C_EP), "0\r\n");
  EXPECT_EQ(unary("5", C_EP), "0\r\n");
  EXPECT_EQ(unary("1e-999999999", C_EP), "-999999999\r\n");
  unary("0", C_RECIP);
  press(C_FP);
  EXPECT_EQ(text(SLOT_R0), "ERROR\r\n");
  press(C_EP);
  EXPECT_EQ(text(SLOT_R0), "ERROR\r\n");
}

TEST_F(Commands, FillWithNines) {
  Settings[SET_BARE_DIGITS] = 1;
  Settings[SET_PLANE_DISP] = 1;
  // 12 significant digits: 17 digit positions behind the carry position.
  EXPECT_EQ(unary("1.5", C_FILL9), "1.5" + std::string(15, '9') + "\r\n");
  EXPECT_EQ(unary("10.05", C_FILL9), "10.05" + std::string(13, '9') + "\r\n");
  EXPECT_EQ(unary("0", C_FILL9), "9." + std::string(16, '9') + "\r\n");
  EXPECT_EQ(unary("-2", C_FILL9), "-2." + std::string(16, '9') + "\r\n");
  // A number with digits in its last word: only the zeros behind its last digit.
  EXPECT_EQ(unary("12345678901234560", C_FILL9), "12345678901234569\r\n");
  EXPECT_EQ(unary("12345678901234567", C_FILL9), "12345678901234567\r\n");
  unary("0", C_RECIP);
  press(C_FILL9);
  EXPECT_EQ(text(SLOT_R0), "ERROR\r\n");
}

TEST_F(Commands, FillWithNinesAtEveryLaneOfTheLastWord) {
  // A single non-zero digit at each position of the last word at 13 digits (4 words,
  // positions 1..23): every position behind it becomes 9, nothing before it changes.
  type(SLOT_SIG_DIGITS, "13");
  Settings[SET_BARE_DIGITS] = 1;
  Settings[SET_PLANE_DISP] = 1;
  for (int last = 1; last <= 23; last++) {
    std::string digits(last, '0');
    digits[0] = '1';
    digits[last - 1] = '7';
    std::string want = digits + std::string(23 - last, '9');
    std::string got = unary(digits.c_str(), C_FILL9);
    // Compare the digits only (the point moves with the digit count).
    std::string mantissa;
    for (char c : got) if (c >= '0' && c <= '9') mantissa += c;
    EXPECT_EQ(mantissa, want) << "last digit at position " << last;
  }
}

TEST_F(Commands, NotYetSupported) {
  type(SLOT_R0, "5");
  press(C_NYS1);
  EXPECT_EQ(status(), "Not yet supported");
  EXPECT_EQ(text(SLOT_R0), "5");
  EXPECT_EQ(text(SLOT_R1), "0");
}

TEST_F(Commands, Factorial) {
  EXPECT_EQ(unary("0", C_FACT), "1\r\n");
  EXPECT_EQ(unary("1", C_FACT), "1\r\n");
  EXPECT_EQ(unary("-0.5", C_FACT), "1\r\n");
  EXPECT_EQ(unary("5.7", C_FACT), "120\r\n");
  EXPECT_EQ(unary("-3", C_FACT), "ERROR\r\n");
  EXPECT_EQ(text(SLOT_R1), "-3");
  EXPECT_EQ(unary("-1", C_FACT), "ERROR\r\n");
  EXPECT_EQ(unary("3e9", C_FACT), "ERROR\r\n");  // beyond the int range
  EXPECT_EQ(unary("20", C_FACT), "2.43290200818 e18\r\n");
  type(SLOT_SIG_DIGITS, "30");
  EXPECT_EQ(unary("20", C_FACT), "2432902008176640000\r\n");
}

TEST_F(Commands, FunctionCommandsMoveTheStack) {
  EXPECT_EQ(binary("2", "10", C_POW), "1024\r\n");
  EXPECT_EQ(text(SLOT_R1), "10");
  EXPECT_EQ(text(SLOT_R2), "2");
  EXPECT_EQ(unary("-4", C_SQRT), "ERROR\r\n");
  EXPECT_EQ(text(SLOT_R1), "-4");
  EXPECT_EQ(unary("2", C_SQRT), "1. 41421356237\r\n");
  EXPECT_EQ(unary("27", C_CBRT), "3\r\n");
  type(SLOT_R0, "7");
  press(C_PI);
  EXPECT_EQ(text(SLOT_R0), "3. 14159265359\r\n");
  EXPECT_EQ(text(SLOT_R1), "7");
  press(C_E);
  EXPECT_EQ(text(SLOT_R0), "2. 71828182846\r\n");
  EXPECT_EQ(unary("30", C_SIN), ".5\r\n");
}

}  // namespace
