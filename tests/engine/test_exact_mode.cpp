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
