// Infix expressions: the parser's program (precedence, associativity, names, columns in
// messages) and the evaluator's effect on the stack. The values themselves are checked
// against Python's decimal and mpmath by tests/cli/expression_oracle.py.
#include <string>
#include <vector>

#include "engine/command_names.h"
#include "engine/expression.h"
#include "engine/result_reason.h"
#include "engine_fixture.h"

namespace {

// The program in postfix form: numbers as written, Rn, commands by caption.
std::string postfix(const std::string &text) {
  ExprProgram p;
  std::string error;
  if (!expression_parse(text, 1, &p, &error)) return "error: " + error;
  std::string out;
  for (const ExprStep &s : p.steps) {
    if (!out.empty()) out += ' ';
    if (s.kind == EXPR_NUMBER) out += s.text;
    else if (s.kind == EXPR_REGISTER) out += 'R', out += std::to_string(s.reg);
    else out += command_find(s.code)->caption;
  }
  return out;
}

std::string parse_error(const std::string &text, int first_column = 1) {
  ExprProgram p;
  std::string error;
  EXPECT_FALSE(expression_parse(text, first_column, &p, &error)) << text;
  return error;
}

TEST(Expression, PrecedenceAndAssociativity) {
  const struct {
    const char *text, *program;
  } cases[] = {
      {"2+3*4", "2 3 4 * +"},
      {"2*3+4", "2 3 * 4 +"},
      {"10-4-3", "10 4 - 3 -"},
      {"64/4/2", "64 4 / 2 /"},
      {"7%3*2", "7 3 % 2 *"},
      {"2^3^2", "2 3 2 x ^ y x ^ y"},
      {"-2^2", "2 2 x ^ y +/-"},
      {"2^-1", "2 1 +/- x ^ y"},
      {"-3!", "3 ! +/-"},
      {"3!^2", "3 ! 2 x ^ y"},
      {"2^3!", "2 3 ! x ^ y"},
      {"3!!", "3 ! !"},
      {"--2", "2 +/- +/-"},
      {"+2", "2"},
      {"(2+3)*4", "2 3 + 4 *"},
      {" 2 + 3 # a comment", "2 3 +"},
      {"2\xE2\x88\x92" "3\xC3\x97" "4\xC3\xB7" "2", "2 3 4 * 2 / -"},
      {"2+3*sqrt(16)^2", "2 3 16 SQRT 2 x ^ y * +"},
      {"pow(2, 10)", "2 10 x ^ y"},
      {"mod(7,3)+round(2.567,2)", "7 3 % 2.567 2 R.Off +"},
      {"pi*e+pi()", "pi e * pi +"},
      {"PI+Sqrt(2)", "pi 2 SQRT +"},
      {"ln(2)+log10(2)+lg(2)+loge(2)", "2 loge 2 log10 + 2 log10 + 2 loge +"},
      {"int(2.5)+frac(2.5)+abs(-1)", "2.5 IP 2.5 FP + 1 +/- | x | +"},
      {"sin(1)+atanh(.5)+sq(3)+cube(2)", "1 sin .5 atanh + 3 x ^ 2 + 2 x ^ 3 +"},
      {"R1+r9*ans", "R1 R9 R0 * +"},
      {"1.5e-3+2E+4+1.", "1.5e-3 2E+4 + 1. +"},
  };
  for (const auto &c : cases) EXPECT_EQ(postfix(c.text), c.program) << c.text;
}

TEST(Expression, MessagesNameTheColumn) {
  const struct {
    const char *text, *message;
  } cases[] = {
      {"2+*3", "expected a number at column 3"},
      {"", "expected a number at column 1"},
      {"2+", "expected a number at column 3"},
      {"2 3", "expected an operator at column 3"},
      {"2e", "expected an operator at column 2"},
      {"1.2.3", "expected an operator at column 4"},
      {"(2+3", "expected ')' at column 5"},
      {"2+3)", "unmatched ')' at column 4"},
      {"2 & 3", "unexpected '&' at column 3"},
      {"\xC3\xA9+1", "unexpected '\xC3\xA9' at column 1"},
      {"\xE2\x88\x92\x01", "unexpected control character at column 2"},
      {"sqrt 16", "expected '(' after sqrt at column 6"},
      {"sqrt(1,2)", "sqrt at column 1 takes 1 argument, not 2"},
      {"pow(2)", "pow at column 1 takes 2 arguments, not 1"},
      {"pi(2)", "pi takes no arguments at column 4"},
      {"sqr(2)", "unknown name 'sqr' at column 1 (did you mean SQRT, sq?)"},
      {"1+foo", "unknown name 'foo' at column 3"},
      {"log(2)", "'log' at column 1 is ambiguous: ln or log10"},
      {"swap(1)", "'swap' at column 1 is not a function"},
  };
  for (const auto &c : cases) EXPECT_EQ(parse_error(c.text), c.message) << c.text;
  // An input line "=2+*3": columns count from the "=".
  EXPECT_EQ(parse_error("2+*3", 2), "expected a number at column 4");
}

TEST(Expression, NestingIsBoundedAndLongSumsAreNot) {
  std::string deep(EXPRESSION_MAX_NESTING, '('), tail(EXPRESSION_MAX_NESTING, ')');
  EXPECT_EQ(postfix(deep + "1" + tail), "1");
  EXPECT_NE(parse_error("(" + deep + "1" + tail + ")").find("nested more than 200 levels"), std::string::npos);
  std::string powers = "2";
  for (int i = 0; i < 1000; i++) powers += "^2";
  EXPECT_NE(parse_error(powers).find("nested more than"), std::string::npos);
  EXPECT_NE(parse_error(std::string(100000, '-') + "1").find("nested more than"), std::string::npos);
  std::string sum = "1";
  for (int i = 0; i < 100000; i++) sum += "+1";
  ExprProgram p;
  std::string error;
  ASSERT_TRUE(expression_parse(sum, 1, &p, &error)) << error;
  EXPECT_EQ(p.depth, 2);
}

TEST(Expression, NamesComeFromTheCatalogue) {
  // Every row that takes operands, by each of its names that is an identifier.
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    const int arity = command_arity(d);
    if (arity < 0) continue;
    std::vector<std::string> names = {command_key(d.caption)};
    std::string aliases = d.aliases, alias;
    for (char c : aliases + " ") {
      if (c != ' ') alias += c;
      else if (!alias.empty()) names.push_back(alias), alias.clear();
    }
    for (const std::string &name : names) {
      if (!is_identifier(name)) continue;
      std::string call = name;
      if (arity > 0) {
        call += "(1";
        for (int k = 1; k < arity; k++) call += ",1";
        call += ")";
      }
      std::string want;
      for (int k = 0; k < arity; k++) want += "1 ";
      EXPECT_EQ(postfix(call), want + d.caption) << call;
    }
  }
}

// The evaluator, with commands run the way a front end runs them (here directly).
class ExpressionRun : public ::testing::Test {
 protected:
  void SetUp() override { reset_engine_state("12"); }

  ExprOutcome run(const std::string &text, int stop_at = -1) {
    ExprProgram p;
    std::string error;
    EXPECT_TRUE(expression_parse(text, 1, &p, &error)) << error;
    commands = 0;
    return expression_run(p, [&](int code) {
      if (commands++ == stop_at) {
        slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
        mark_shadows_stale();
        return EXPR_COMMAND_STOPPED;
      }
      Settings[SET_COMMAND] = code;
      return execute_command() == 0 ? EXPR_COMMAND_DONE : EXPR_COMMAND_REFUSED;
    });
  }

  int commands = 0;
};

TEST_F(ExpressionRun, TheResultLiftsTheStackOnce) {
  const char *before[] = {"5", "4", "3", "2", "1"};
  for (int n = 0; n <= 4; n++) type(n, before[n]);
  ExprOutcome o = run("R1*(R2+R3)^2+ans");  // 4 * (3 + 2)^2 + 5
  EXPECT_EQ(o.result, EXPR_COMMAND_DONE);
  EXPECT_EQ(commands, 4);  // one command per operation
  EXPECT_EQ(text(0), "105\r\n");
  for (int n = 1; n <= 4; n++) EXPECT_EQ(text(n), before[n - 1]) << n;
  for (int n = 0; n <= 4; n++) EXPECT_TRUE(register_consistent(n)) << n;
  // A literal alone is typed into R0 as a number token is.
  run("7");
  EXPECT_EQ(commands, 0);
  EXPECT_EQ(text(0), "7");
  EXPECT_EQ(text(1), "105\r\n");
  EXPECT_EQ(text(4), "3");
}

TEST_F(ExpressionRun, ResultsGoOnWithEveryInternalDigit) {
  // As between button presses: sqrt(2)*sqrt(2) from the held numbers, not from the
  // rounded texts.
  Settings[SET_EXACT_DIGITS] = 0;
  Settings[SET_BARE_DIGITS] = 1;
  type(0, "2");
  press(C_SQRT);
  press(C_DUP);
  press(C_MUL);
  const std::string pressed = text(0);
  reset_engine_state("12");
  Settings[SET_EXACT_DIGITS] = 0;
  Settings[SET_BARE_DIGITS] = 1;
  run("sqrt(2)*sqrt(2)");
  EXPECT_EQ(text(0), pressed);
}

TEST_F(ExpressionRun, StoppedOrRefusedLeavesTheStackAsItWas) {
  type(0, "1");
  type(1, "2");
  ExprOutcome o = run("(1+2)*(3+4)", 1);
  EXPECT_EQ(o.result, EXPR_COMMAND_STOPPED);
  EXPECT_EQ(text(0), "1");
  EXPECT_EQ(text(1), "2");
  EXPECT_EQ(status(), "aborted\n");
  type(SLOT_SIG_DIGITS, "5");
  o = run("1+2");
  EXPECT_EQ(o.result, EXPR_COMMAND_REFUSED);
  EXPECT_EQ(commands, 0);
  EXPECT_EQ(text(0), "1");
}

TEST_F(ExpressionRun, ReasonsFollowTheMarkerThroughTheExpression) {
  EXPECT_STREQ(run("1/0").reason, "division by zero");
  EXPECT_STREQ(run("sqrt(1/0)+2").reason, "division by zero");
  EXPECT_STREQ(run("1/0+sqrt(-4)").reason, "division by zero");
  EXPECT_STREQ(run("2+sqrt(-4)").reason, "square root of a negative number");
  EXPECT_STREQ(run("-(1e9999999999)").reason, "exponent past 999,999,999");
  EXPECT_EQ(run("1/4").reason, nullptr);
  type(0, "ERROR");
  EXPECT_EQ(run("ans+1").reason, nullptr);  // made before: no reason known
  type(3, "1.2.3");
  EXPECT_STREQ(run("R3+1").reason, "R3's text is not a number: a sign or point out of place");
}

}  // namespace
