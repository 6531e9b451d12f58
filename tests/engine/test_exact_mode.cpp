// The "Exact digits" option through execute_command: which commands change, which stay,
// the status line, and the script's loop.
#include "engine/exact_commands.h"
#include "engine_fixture.h"

namespace {

class ExactMode : public ::testing::Test {
 protected:
  void SetUp() override { reset_engine_state("16"); }
  std::string run(int exact, int code, const char *x, const char *y) {
    Settings[SET_EXACT_DIGITS] = exact;
    type(SLOT_R1, x);
    type(SLOT_R0, y);
    press(code);
    return text(SLOT_R0);
  }
};

TEST_F(ExactMode, TheOptionChoosesTheComputation) {
  // The subtrahend's digits below the alignment count only in the exact mode.
  EXPECT_EQ(run(0, C_SUB, "1e16", "0.500000000001"), "1 e16\r\n");
  EXPECT_EQ(run(1, C_SUB, "1e16", "0.500000000001"), "9999999999999999\r\n");
  // Every variant belongs to a command of its own kind.
  for (int code = 35; code <= 95; ++code) {
    const ExactVariant *v = exact_variant(code);
    if (!v) continue;
    const CommandDef *def = command_find(code);
    ASSERT_NE(def, nullptr) << code;
    EXPECT_EQ(v->binary != nullptr, def->kind == CMD_BINARY) << code;
    EXPECT_EQ(v->unary != nullptr, def->kind == CMD_UNARY) << code;
    EXPECT_EQ(v->constant != nullptr, def->kind == CMD_CONSTANT) << code;
  }
}

TEST_F(ExactMode, DigitCommandsAreTheSameInBothModes) {
  const char *operands[] = {"-123.456789", "0.000999", "98765432109876.5", "7e-30", "0"};
  const int codes[] = {86, 87, 90, 91, 92, 93, 94};
  for (const char *y : operands)
    for (int code : codes) {
      EXPECT_EQ(exact_variant(code), nullptr) << code;
      EXPECT_EQ(run(0, code, "2", y), run(1, code, "2", y)) << code << " " << y;
    }
}

TEST_F(ExactMode, AnArgumentBeyondTheRadianLimitSaysWhyAndTheNextCommandClearsIt) {
  Settings[SET_ANGLE_UNIT] = 1;
  EXPECT_EQ(run(1, C_SIN, "0", "1e2000000"), "ERROR\r\n");
  EXPECT_EQ(status(), "Exact digits: argument too large for radians");
  EXPECT_EQ(run(1, C_ADD, "1", "2"), "3\r\n");
  EXPECT_EQ(status(), "");
}

TEST_F(ExactMode, TheScriptLoopRunsInTheModeThatIsSet) {
  Settings[SET_EXACT_DIGITS] = 1;
  type(SLOT_R1, "1e16");
  type(SLOT_R0, "0.500000000001");
  type(SLOT_SCRIPT, "loop 3,-\r\n");
  press(95);
  EXPECT_EQ(text(SLOT_R0), "9999999999999999\r\n");
}

}  // namespace

namespace {

// The constants and functions beyond the buttons: exact digits with the option off too, the
// stack rule of their operand counts, and a status line for poles and domain errors.
TEST_F(ExactMode, FunctionsBeyondTheButtonsComputeWithExactDigitsInBothModes) {
  for (int exact : {0, 1}) {
    EXPECT_EQ(run(exact, 210, "0", "5"), "24\r\n") << exact;                    // Γ(5)
    EXPECT_EQ(run(exact, 212, "0", "-1"), "-.08333333333333333\r\n") << exact;  // ζ(−1)
    EXPECT_EQ(run(exact, 220, "2.5", "2.5"), "2. 5\r\n") << exact;              // AGM(x, x)
    EXPECT_EQ(run(exact, 223, "8", "4"), "1. 5\r\n") << exact;                  // log_4 8
    EXPECT_EQ(run(exact, 224, "-8", "3"), "-2\r\n") << exact;                   // ∛−8
    EXPECT_EQ(run(exact, 222, "1", "-1"), "135\r\n") << exact;                  // atan2 in degrees
    EXPECT_EQ(status(), "");
  }
  Settings[SET_EXACT_DIGITS] = 0;
  type(SLOT_R0, "7");
  press(200);  // γ lifts the stack
  EXPECT_EQ(text(SLOT_R0), ".5772156649015329\r\n");
  EXPECT_EQ(text(SLOT_R1), "7");  // moved with its text, as typed
}

TEST_F(ExactMode, PowmodTakesThreeOperandsAndKeepsThemOnTheStack) {
  Settings[SET_EXACT_DIGITS] = 0;
  type(SLOT_R3, "9");
  type(SLOT_R2, "4");
  type(SLOT_R1, "13");
  type(SLOT_R0, "497");
  press(230);  // 4^13 mod 497 = 445
  EXPECT_EQ(text(SLOT_R0), "445\r\n");
  EXPECT_EQ(text(SLOT_R1), "497");  // the operands one level down, as typed
  EXPECT_EQ(text(SLOT_R2), "13");
  EXPECT_EQ(text(SLOT_R3), "4");
  EXPECT_EQ(text(SLOT_R4), "9");
}

TEST_F(ExactMode, APoleOrADomainErrorSaysWhyAndTheNextCommandClearsIt) {
  const struct {
    int code;
    const char *x, *y, *message;
  } cases[] = {
      {210, "0", "-3", "gamma: pole at 0, -1, -2, ..."},
      {212, "0", "1", "zeta: pole at 1"},
      {216, "0", "0.5", "lambertwm1: x must lie in [-1/e, 0)"},
      {215, "0", "-0.4", "lambertw: x must be at least -1/e"},
      {220, "-1", "2", "agm: x and y must have the same sign"},
      {221, "5", "2.5", "binomial: y must be an integer"},
      {224, "-16", "4", "nroot: an even root of a negative number"},
      {225, "1.5", "3", "gcd: x and y must be integers"},
  };
  for (int exact : {0, 1})
    for (const auto &c : cases) {
      EXPECT_EQ(run(exact, c.code, c.x, c.y), "ERROR\r\n") << c.code;
      EXPECT_EQ(status(), c.message) << c.code;
      press(41);  // "down": a command without a message clears the line
      EXPECT_EQ(status(), "") << c.code;
    }
}

}  // namespace
