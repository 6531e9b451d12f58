// The commands of the catalogue that are not plain core or function calls: their bodies
// live in commands.cpp (arithmetic, stack, memory and digit commands) and
// function_commands.cpp (factorial); command_table.cpp binds them to their codes.
//
// Operand convention of the catalogue: after the lift x = old R1 (now R2) and y = old R0
// (now R1); the result goes to out (R0). In-place commands get out = y = R0.
#pragma once

#include "core/decnum.h"

int cmd_remainder(DecWord *out, const DecWord *x, const DecWord *y);  // "%"
int cmd_round_off(DecWord *out, const DecWord *x, const DecWord *y);  // "R.Off"
int cmd_reciprocal(DecWord *out, const DecWord *y);                   // "1/x"
int cmd_square(DecWord *out, const DecWord *y);                       // "x ^ 2"
int cmd_cube(DecWord *out, const DecWord *y);                         // "x ^ 3"
int cmd_fraction(DecWord *out, const DecWord *y);                     // "FP"
int cmd_exponent(DecWord *out, const DecWord *y);                     // "EP"
int cmd_change_sign(DecWord *out, const DecWord *y);                  // "+/-", in place
int cmd_absolute(DecWord *out, const DecWord *y);                     // "| x |", in place
int cmd_fill_nines(DecWord *out, const DecWord *y);                   // "fill w/9", in place
int cmd_factorial(DecWord *out, const DecWord *y);                    // "!"

// The register commands: "up", "down", "dup", "0<->1", "ACLR", "MCLR", "->R5".."->R9",
// "R5->".."R9->", "CLR5".."CLR9". Formats nothing: texts move with their numbers.
void cmd_register(int code);
