// The command catalogue: one row per command code, shared by the executor (which
// dispatches on it), the command-line front end (token names, aliases, --help), the infix
// expression parser (names and operand counts) and any other front end that wants the
// English captions or a list of the functions with their descriptions.
//
// Codes 35 .. 95 are the operation buttons (their control ids). The constants and functions
// beyond the buttons have codes from 200 on, clear of every control id; they exist in the
// exact mode only and compute with exact digits whatever the "Exact digits" option says.
#pragma once

#include "core/decnum.h"

// How the executor runs a command of each kind (x = old R1, y = old R0).
enum CommandKind {
  CMD_UNSUPPORTED,  // status "Not yet supported", no register changes
  CMD_BINARY,       // stack_lift; binary(R0, x, y); register_show(0)
  CMD_UNARY,        // stack_lift; unary(R0, y); register_show(0)
  CMD_TERNARY,      // stack_lift; ternary(R0, old R2, old R1, old R0); register_show(0)
  CMD_CONSTANT,     // stack_lift; constant(R0); register_show(0)
  CMD_IN_PLACE,     // no lift; unary(R0, R0); register_show(0)
  CMD_REGISTER,     // action(code): moves numbers, texts and shadows, formats nothing
  CMD_SCRIPT,       // run_script()
};

// The code ranges: the buttons, and the constants and functions beyond them.
constexpr int FIRST_BUTTON_CODE = 35;
constexpr int LAST_BUTTON_CODE = 95;
constexpr int FIRST_EXTRA_CODE = 200;

struct CommandDef {
  int code;             // control id of the button (35 .. 95), or 200 and up
  CommandKind kind;
  const char *caption;  // English caption, exactly as on the button; the name beyond them
  const char *aliases;  // blank-separated lower-case short names for the CLI, or ""
  const char *help;     // one line for --help and for lists of the functions
  int (*binary)(DecWord *out, const DecWord *x, const DecWord *y);
  int (*unary)(DecWord *out, const DecWord *y);
  int (*constant)(DecWord *out);
  void (*action)(int code);
  int (*ternary)(DecWord *out, const DecWord *a, const DecWord *b, const DecWord *c) = nullptr;
};

// The buttons' rows first, in code order 35 .. 95 without gaps; then the rows beyond the
// buttons in increasing code order.
extern const CommandDef CommandTable[];
extern const int CommandTableCount;

// The row of a command code, or null when the code is not in the catalogue.
const CommandDef *command_find(int code);

// How many numbers the command takes from the stack: 0 for a constant, 1 for a one-operand
// or in-place command, 2 or 3 for the binary and ternary ones; −1 for the register, stack,
// script and unsupported commands, which are not functions of operands.
int command_arity(const CommandDef &def);

// True for the constants and functions beyond the buttons (codes from 200 on).
inline bool command_is_extra(const CommandDef &def) { return def.code >= FIRST_EXTRA_CODE; }
