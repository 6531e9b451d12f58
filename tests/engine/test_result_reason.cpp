// Reasons for ERROR and OVERFLOW: each case presses a command on typed operands in one
// mode and checks the reason (or that none is claimed where the operands do not decide it).
#include "engine/result_reason.h"
#include "engine_fixture.h"

namespace {

enum Mode { DEFINED = 0, EXACT = 1, BOTH = 2 };

struct Case {
  Mode mode;
  const char *x, *y;  // R1, R0 before the command ("" for a one-operand command: R1 = 0)
  int code;
  const char *marker;  // "ERROR", "OVERFLOW" or "" (a number)
  const char *reason;  // null: none claimed
};

const char PAST[] = "exponent past 999,999,999";
const char UNIT[] = "argument outside \xE2\x88\x92" "1..1";

const Case CASES[] = {
    {BOTH, "1", "0", C_DIV, "ERROR", "division by zero"},
    {EXACT, "0", "0", C_DIV, "ERROR", "division by zero"},
    {DEFINED, "0", "0", C_DIV, "", nullptr},
    {BOTH, "1e999999999", ".1", C_DIV, "OVERFLOW", PAST},
    {BOTH, "5", "0", C_MOD, "ERROR", "division by zero"},
    {DEFINED, "1e30", "3", C_MOD, "OVERFLOW", "the integer quotient has more digits than are carried"},
    {BOTH, "", "0", C_RECIP, "ERROR", "division by zero"},
    {BOTH, "1e600000000", "1e600000000", C_MUL, "OVERFLOW", PAST},
    {BOTH, "9e999999999", "9e999999999", C_ADD, "OVERFLOW", PAST},
    {BOTH, "", "-4", C_SQRT, "ERROR", "square root of a negative number"},
    {DEFINED, "-2", "2", C_POW, "ERROR", "base x \xE2\x89\xA4 0: the defined algorithms need x > 0"},
    {EXACT, "-2", "2", C_POW, "", nullptr},
    {EXACT, "-2", ".5", C_POW, "ERROR", "negative base with a fractional exponent"},
    {EXACT, "0", "-2", C_POW, "ERROR", "zero to a negative power"},
    {DEFINED, "2", "1e20", C_POW, "ERROR", "exponent y too long for the digits carried"},
    {EXACT, "2", "1e20", C_POW, "OVERFLOW", PAST},
    {BOTH, "10", "1e10", C_POW, "OVERFLOW", PAST},
    {DEFINED, "10", "-1e10", C_POW, "OVERFLOW", "x ^ |y| past the exponent range (y < 0)"},
    {DEFINED, "", "1e20", C_SIN, "OVERFLOW", "too many whole periods for the digits carried"},
    {DEFINED, "", "90", 52, "OVERFLOW", "pole of the tangent (an odd multiple of 90 degrees)"},
    {EXACT, "", "270", 52, "OVERFLOW", "pole of the tangent (an odd multiple of 90 degrees)"},
    {DEFINED, "", "1e20", 52, "OVERFLOW", "too many whole periods for the digits carried"},
    {BOTH, "", "4e9", 53, "OVERFLOW", PAST},
    {DEFINED, "", "-4e9", 53, "OVERFLOW", "e ^ |y| past the exponent range"},
    {EXACT, "", "-4e9", 53, "", nullptr},
    {BOTH, "", "1e10", 54, "OVERFLOW", PAST},
    {BOTH, "", "2", 55, "ERROR", UNIT},
    {BOTH, "", "-1.5", 56, "ERROR", UNIT},
    {BOTH, "", "0", 58, "ERROR", "logarithm of zero"},
    {BOTH, "", "-1", 59, "ERROR", "logarithm of a negative number"},
    {DEFINED, "", "3e9", 60, "OVERFLOW", "e ^ |y| past the exponent range"},
    {EXACT, "", "3e9", 61, "OVERFLOW", PAST},
    {DEFINED, "", "-3e9", 62, "OVERFLOW", "e ^ |y| past the exponent range"},
    {DEFINED, "", "-1e20", 65, "ERROR", "1 vanishes against y\xC2\xB2 at the digits carried (y < 0)"},
    {BOTH, "", ".5", 66, "ERROR", "argument below 1"},
    {BOTH, "", "2", 67, "ERROR", UNIT},
    {BOTH, "", "-1", 67, "ERROR", "argument \xC2\xB1" "1: the result is infinite"},
    {BOTH, "", "-1", C_FACT, "ERROR", "factorial of a negative number"},
    {DEFINED, "", "3e9", C_FACT, "ERROR", "factorial of a number above 2,147,483,647"},
    {EXACT, "", "3e9", C_FACT, "OVERFLOW", PAST},
    // Operands that were markers: their texts say why, or nothing is claimed.
    {BOTH, "1.2.3", "1", C_ADD, "ERROR", "R1's text is not a number: a sign or point out of place"},
    {BOTH, "1", "--1", C_SQRT, "ERROR", "R0's text is not a number: a sign or point out of place"},
    {BOTH, "9e9999999999", "1", C_MUL, "OVERFLOW", "R1's text has an exponent past 999,999,999"},
    {BOTH, "ERROR", "1", C_ADD, "ERROR", nullptr},
    {BOTH, "1", "ERROR", C_NEG, "ERROR", nullptr},
};

TEST(ResultReason, EachCaseInItsModes) {
  for (const Case &c : CASES) {
    for (int mode = 0; mode <= 1; mode++) {
      if (c.mode != BOTH && c.mode != mode) continue;
      reset_engine_state("12");
      Settings[SET_EXACT_DIGITS] = mode;
      type(1, c.x[0] != '\0' ? c.x : "0");
      type(0, c.y);
      press(c.code);
      std::string where = std::string(mode ? "exact " : "defined ") + c.x + " " + c.y + " #" +
                          std::to_string(c.code);
      const char *marker = dec_head(Registers[0]) == NUM_ERROR      ? "ERROR"
                           : dec_head(Registers[0]) == NUM_OVERFLOW ? "OVERFLOW"
                                                                    : "";
      EXPECT_STREQ(marker, c.marker) << where;
      const char *reason = result_reason(c.code);
      if (c.reason == nullptr) EXPECT_EQ(reason, nullptr) << where << ": " << reason;
      else EXPECT_STREQ(reason, c.reason) << where;
    }
  }
}

TEST(ResultReason, TheTrailKeepsAReasonWhileTheMarkerIsPassedOn) {
  reset_engine_state("12");
  ReasonTrail trail;
  type(1, "1");
  type(0, "0");
  press(C_DIV);
  trail.after_command(C_DIV);
  EXPECT_STREQ(trail.reason(), "division by zero");
  press(C_SQRT);  // ERROR passed on
  trail.after_command(C_SQRT);
  EXPECT_STREQ(trail.reason(), "division by zero");
  press(C_SWAP);  // a register command: which marker it moved is not followed
  trail.after_command(C_SWAP);
  EXPECT_EQ(trail.reason(), nullptr);
  type(0, "4");
  press(C_SQRT);  // a number: no reason
  trail.after_command(C_SQRT);
  EXPECT_EQ(trail.reason(), nullptr);
}

}  // namespace
