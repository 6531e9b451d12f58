// The command catalogue: one row per command code, shared by the executor (which
// dispatches on it), the command-line front end (token names, aliases, --help), the infix
// expression parser (names and operand counts) and any other front end that wants the
// English captions.
#pragma once

#include "core/decnum.h"

// How the executor runs a command of each kind (x = old R1, y = old R0).
enum CommandKind {
  CMD_UNSUPPORTED,  // status "Not yet supported", no register changes
  CMD_BINARY,       // stack_lift; binary(R0, x, y); register_show(0)
  CMD_UNARY,        // stack_lift; unary(R0, y); register_show(0)
  CMD_CONSTANT,     // stack_lift; constant(R0); register_show(0)
  CMD_IN_PLACE,     // no lift; unary(R0, R0); register_show(0)
  CMD_REGISTER,     // action(code): moves numbers, texts and shadows, formats nothing
  CMD_SCRIPT,       // run_script()
};

struct CommandDef {
  int code;             // control id of the button, 35 .. 95
  CommandKind kind;
  const char *caption;  // English caption, exactly as on the button
  const char *aliases;  // blank-separated lower-case short names for the CLI, or ""
  const char *help;     // one line for --help
  int (*binary)(DecWord *out, const DecWord *x, const DecWord *y);
  int (*unary)(DecWord *out, const DecWord *y);
  int (*constant)(DecWord *out);
  void (*action)(int code);
};

extern const CommandDef CommandTable[];
extern const int CommandTableCount;

// The row of a command code, or null when the code is not in the catalogue.
const CommandDef *command_find(int code);

// How many numbers the command takes from the stack: 0 for a constant, 1 for a one-operand
// or in-place command, 2 for a binary one; −1 for the register, stack, script and
// unsupported commands, which are not functions of operands.
int command_arity(const CommandDef &def);
