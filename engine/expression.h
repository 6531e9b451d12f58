// Infix expressions over the engine's operations: "2+3*sqrt(16)^2".
//
// The parser turns an expression into a program in postfix order in which every operation
// is one command of the catalogue, as a button press is; the evaluator runs the program one
// command at a time through the front end's own way of running a command (a worker thread,
// Cancel, progress), so both modes and every precision apply unchanged. The operands wait
// outside the register stack, so however deep the expression, only its result reaches the
// stack: R0 = the result, R1..R4 = the old R0..R3, as one button press leaves them.
//
// Grammar (blanks anywhere between the parts; "#" ends the expression):
//   expression := term (("+" | "-") term)*
//   term       := unary (("*" | "/" | "%") unary)*
//   unary      := ("-" | "+") unary | power
//   power      := postfix ("^" unary)?            right-associative: 2^3^2 = 2^9
//   postfix    := primary "!"*                     3! = 6, -3! = -(3!), 2^3! = 2^6
//   primary    := number | "(" expression ")" | name | name "(" arguments ")"
// A number is read as a register reads its text: digits with at most one point, and an
// exponent ("e" or "E", a sign, digits), 1.5e-3 or .25. A name is a catalogue command that
// takes operands, by its caption or an alias (sqrt, cbrt, exp, ln, log10, sin .. atanh,
// abs, int, frac, pow, mod, round ...; a function of two operands takes them as (x, y)), a
// constant (pi, e), a register as a variable (R0 .. R9, their values when the expression
// starts) or ans (R0 then). "−", "×" and "÷" may stand for "-", "*" and "/".
#pragma once

#include <functional>
#include <string>
#include <vector>

enum ExprStepKind {
  EXPR_NUMBER,    // a literal: text, read as a register reads it
  EXPR_REGISTER,  // the value of register reg (0..9) when the expression starts
  EXPR_COMMAND,   // the catalogue command code on the last `arity` values
};

struct ExprStep {
  ExprStepKind kind = EXPR_NUMBER;
  std::string text;
  int reg = 0;
  int code = 0;
  int arity = 0;
};

struct ExprProgram {
  std::vector<ExprStep> steps;
  int depth = 0;  // the most values waiting at once
};

// The deepest nesting of parentheses, signs and powers an expression may have.
constexpr int EXPRESSION_MAX_NESTING = 200;

// Parses text into *out. Columns in messages count characters from first_column (1 for a
// whole text; 2 for the text after the "=" of an input line "=2+3"). false with a one-line
// message naming the column ("expected a number at column 3").
bool expression_parse(const std::string &text, int first_column, ExprProgram *out,
                      std::string *error);

// How one command ran, as the front end reports it.
enum ExprCommandResult {
  EXPR_COMMAND_DONE,     // the command ran
  EXPR_COMMAND_REFUSED,  // refused for its significant digits: the status line says so
  EXPR_COMMAND_STOPPED,  // cancelled or abandoned: the front end has set the status line
                         // and marked every shadow stale
};

struct ExprOutcome {
  ExprCommandResult result = EXPR_COMMAND_DONE;
  const char *reason = nullptr;  // why R0 is ERROR or OVERFLOW, when known (result_reason.h)
};

// Runs the program. run_command(code) must set Settings[SET_COMMAND] = code and run
// execute_command as the front end runs a button's command. On the front end's thread,
// between commands. After DONE the stack is lifted once with the result in R0, and the
// status line holds the last message any of the commands left. After REFUSED or STOPPED,
// R0..R4 hold the texts they had before (read again at the next command) and the status
// line says why. r0_reason: the front end's reason for a marker in R0 (ans), or null.
ExprOutcome expression_run(const ExprProgram &program,
                           const std::function<ExprCommandResult(int code)> &run_command,
                           const char *r0_reason = nullptr);
