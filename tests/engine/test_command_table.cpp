// The command table against the window's button grid: every code 35..95 once, in order,
// with the English caption of its button; the rows beyond the buttons after them.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>

#include "engine/command_table.h"

namespace {

// The grid of operation buttons, row by row; the button in column c and row r has code
// 35 + 5c + r.
const char *const GRID[5][12] = {
    {"+", "up", "dup", "sin", "asin", "sinh", "asinh", "->R5", "R5->", "CLR5", "!", "fill w/9"},
    {"-", "down", "0<->1", "cos", "acos", "cosh", "acosh", "->R6", "R6->", "CLR6", "+/-", "R.Off"},
    {"*", "1/x", "x ^ y", "tan", "atan", "tanh", "atanh", "->R7", "R7->", "CLR7", "| x |", "IP"},
    {"/", "SQRT", "x ^ 2", "exp", "loge", "pi", "ACLR", "->R8", "R8->", "CLR8", "---", "FP"},
    {"%", "CBRT", "x ^ 3", "10 ^ n", "log10", "e", "MCLR", "->R9", "R9->", "CLR9", "---", "EP"},
};

TEST(CommandTable, CaptionsMatchTheButtonGrid) {
  ASSERT_GE(CommandTableCount, 61);
  for (int i = 0; i < 61; i++) EXPECT_EQ(CommandTable[i].code, 35 + i);
  for (int c = 0; c < 12; c++) {
    for (int r = 0; r < 5; r++) {
      int code = 35 + 5 * c + r;
      const CommandDef *d = command_find(code);
      ASSERT_NE(d, nullptr) << code;
      EXPECT_EQ(d->code, code);
      EXPECT_STREQ(d->caption, GRID[r][c]) << code;
    }
  }
  const CommandDef *script = command_find(95);
  ASSERT_NE(script, nullptr);
  EXPECT_STREQ(script->caption, "Perform the following");
  EXPECT_EQ(script->kind, CMD_SCRIPT);
  EXPECT_EQ(command_find(34), nullptr);
  EXPECT_EQ(command_find(96), nullptr);
  EXPECT_EQ(command_find(-2147483647 - 1), nullptr);
}

TEST(CommandTable, EveryKindHasItsOperation) {
  std::set<int> unsupported;
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    EXPECT_NE(d.help, nullptr);
    EXPECT_NE(d.aliases, nullptr);
    switch (d.kind) {
      case CMD_BINARY: EXPECT_NE(d.binary, nullptr) << d.code; break;
      case CMD_TERNARY: EXPECT_NE(d.ternary, nullptr) << d.code; break;
      case CMD_UNARY:
      case CMD_IN_PLACE: EXPECT_NE(d.unary, nullptr) << d.code; break;
      case CMD_CONSTANT: EXPECT_NE(d.constant, nullptr) << d.code; break;
      case CMD_REGISTER: EXPECT_NE(d.action, nullptr) << d.code; break;
      case CMD_SCRIPT: EXPECT_EQ(d.code, 95); break;
      case CMD_UNSUPPORTED: unsupported.insert(d.code); break;
    }
  }
  EXPECT_EQ(unsupported, (std::set<int>{88, 89}));
}

}  // namespace

// Every int is a valid argument: codes outside the catalogue find nothing, without overflow.
TEST(CommandTable, FindTakesAnyInt) {
  for (int code : {INT_MIN, INT_MIN + 1, -35, -1, 0, 34, 96, 101, 199, 206, INT_MAX - 34, INT_MAX}) {
    EXPECT_EQ(command_find(code), nullptr) << code;
  }
  for (int code : {35, 60, 95, 200, 210, 230}) {
    ASSERT_NE(command_find(code), nullptr) << code;
    EXPECT_EQ(command_find(code)->code, code);
  }
}

// The rows beyond the buttons: codes from 200 on in increasing order (clear of the window's
// control ids), a name and a one-line description each, and the operand count a parser or
// a list needs.
TEST(CommandTable, FunctionsBeyondTheButtons) {
  int previous = FIRST_EXTRA_CODE - 1, extra = 0;
  for (int i = 61; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    EXPECT_GT(d.code, previous) << d.caption;
    previous = d.code;
    EXPECT_TRUE(command_is_extra(d)) << d.caption;
    EXPECT_GT(std::string(d.help).size(), 10u) << d.caption;
    EXPECT_GE(command_arity(d), 0) << d.caption;
    ++extra;
  }
  EXPECT_EQ(extra, 20);
  const std::pair<int, int> arity[] = {{200, 0}, {205, 0}, {210, 1}, {216, 1}, {220, 2},
                                       {225, 2}, {230, 3}, {47, 2},  {43, 1},  {63, 0}};
  for (auto [code, n] : arity) EXPECT_EQ(command_arity(*command_find(code)), n) << code;
  EXPECT_EQ(command_arity(*command_find(40)), -1);  // "up"
  EXPECT_EQ(command_arity(*command_find(95)), -1);  // the script
  EXPECT_FALSE(command_is_extra(*command_find(95)));
}
