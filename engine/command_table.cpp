// The catalogue: the 61 button codes 35 .. 95 in code order, then the constants and
// functions beyond the buttons (codes from 200 on). Captions are the English button
// captions, or the function's name; aliases are the command-line front end's short names
// (lower case, no blanks) and must not collide with any caption written without blanks.
// Help texts are plain ASCII (they go to terminals and into the manual page).
#include "engine/command_table.h"

#include "core/core.h"
#include "engine/commands.h"
#include "exact/exact.h"
#include "functions/functions.h"

namespace {

constexpr CommandDef binary(int code, const char *caption, const char *aliases,
                            const char *help,
                            int (*fn)(DecWord *, const DecWord *, const DecWord *)) {
  return CommandDef{code, CMD_BINARY, caption, aliases, help, fn, nullptr, nullptr, nullptr};
}
constexpr CommandDef unary(int code, const char *caption, const char *aliases,
                           const char *help, int (*fn)(DecWord *, const DecWord *)) {
  return CommandDef{code, CMD_UNARY, caption, aliases, help, nullptr, fn, nullptr, nullptr};
}
constexpr CommandDef in_place(int code, const char *caption, const char *aliases,
                              const char *help, int (*fn)(DecWord *, const DecWord *)) {
  return CommandDef{code, CMD_IN_PLACE, caption, aliases, help, nullptr, fn, nullptr, nullptr};
}
constexpr CommandDef constant(int code, const char *caption, const char *aliases,
                              const char *help, int (*fn)(DecWord *)) {
  return CommandDef{code, CMD_CONSTANT, caption, aliases, help, nullptr, nullptr, fn, nullptr};
}
constexpr CommandDef reg(int code, const char *caption, const char *aliases,
                         const char *help) {
  return CommandDef{code, CMD_REGISTER, caption, aliases, help, nullptr, nullptr, nullptr,
                    cmd_register};
}
constexpr CommandDef ternary(int code, const char *caption, const char *aliases,
                             const char *help,
                             int (*fn)(DecWord *, const DecWord *, const DecWord *,
                                       const DecWord *)) {
  return CommandDef{code,    CMD_TERNARY, caption, aliases, help, nullptr,
                    nullptr, nullptr,     nullptr, fn};
}
constexpr CommandDef unsupported(int code, const char *caption) {
  return CommandDef{code, CMD_UNSUPPORTED, caption, "", "not yet supported", nullptr,
                    nullptr, nullptr, nullptr};
}

}  // namespace

const CommandDef CommandTable[] = {
    binary(35, "+", "add", "R0 = x + y", dec_add),
    binary(36, "-", "sub", "R0 = x - y", dec_sub),
    binary(37, "*", "mul", "R0 = x * y", dec_mul),
    binary(38, "/", "div", "R0 = x / y", dec_div),
    binary(39, "%", "mod rem", "R0 = remainder of x / y (sign of x)", cmd_remainder),
    reg(40, "up", "push enter", "lift the stack, R0 = 0"),
    reg(41, "down", "drop pop", "drop the stack, R4 = 0"),
    unary(42, "1/x", "inv recip", "R0 = 1 / y", cmd_reciprocal),
    unary(43, "SQRT", "root", "R0 = square root of y", dec_sqrt),
    unary(44, "CBRT", "root3", "R0 = cube root of y", dec_cbrt),
    reg(45, "dup", "", "lift the stack, R0 = y"),
    reg(46, "0<->1", "swap xy", "exchange R0 and R1"),
    binary(47, "x ^ y", "pow power ^", "R0 = x raised to y", dec_pow),
    unary(48, "x ^ 2", "sq square", "R0 = y * y", cmd_square),
    unary(49, "x ^ 3", "cube", "R0 = y * y * y", cmd_cube),
    unary(50, "sin", "", "R0 = sin y (degrees or radians)", dec_sin),
    unary(51, "cos", "", "R0 = cos y", dec_cos),
    unary(52, "tan", "", "R0 = tan y", dec_tan),
    unary(53, "exp", "", "R0 = e ^ y", dec_exp),
    unary(54, "10 ^ n", "exp10 pow10", "R0 = 10 ^ y", dec_exp10),
    unary(55, "asin", "", "R0 = asin y", dec_asin),
    unary(56, "acos", "", "R0 = acos y", dec_acos),
    unary(57, "atan", "", "R0 = atan y", dec_atan),
    unary(58, "loge", "ln", "R0 = natural logarithm of y", dec_ln),
    unary(59, "log10", "lg", "R0 = common logarithm of y", dec_log10),
    unary(60, "sinh", "", "R0 = sinh y", dec_sinh),
    unary(61, "cosh", "", "R0 = cosh y", dec_cosh),
    unary(62, "tanh", "", "R0 = tanh y", dec_tanh),
    constant(63, "pi", "", "lift the stack, R0 = pi", dec_pi),
    constant(64, "e", "", "lift the stack, R0 = e", dec_e),
    unary(65, "asinh", "", "R0 = asinh y", dec_asinh),
    unary(66, "acosh", "", "R0 = acosh y", dec_acosh),
    unary(67, "atanh", "", "R0 = atanh y", dec_atanh),
    reg(68, "ACLR", "", "R0 .. R4 = 0"),
    reg(69, "MCLR", "mclear", "R5 .. R9 = 0"),
    reg(70, "->R5", "sto5", "R5 = R0, drop the stack"),
    reg(71, "->R6", "sto6", "R6 = R0, drop the stack"),
    reg(72, "->R7", "sto7", "R7 = R0, drop the stack"),
    reg(73, "->R8", "sto8", "R8 = R0, drop the stack"),
    reg(74, "->R9", "sto9", "R9 = R0, drop the stack"),
    reg(75, "R5->", "rcl5", "lift the stack, R0 = R5"),
    reg(76, "R6->", "rcl6", "lift the stack, R0 = R6"),
    reg(77, "R7->", "rcl7", "lift the stack, R0 = R7"),
    reg(78, "R8->", "rcl8", "lift the stack, R0 = R8"),
    reg(79, "R9->", "rcl9", "lift the stack, R0 = R9"),
    reg(80, "CLR5", "", "R5 = 0"),
    reg(81, "CLR6", "", "R6 = 0"),
    reg(82, "CLR7", "", "R7 = 0"),
    reg(83, "CLR8", "", "R8 = 0"),
    reg(84, "CLR9", "", "R9 = 0"),
    unary(85, "!", "fact factorial", "R0 = factorial of the integer part of y", cmd_factorial),
    in_place(86, "+/-", "neg chs", "change the sign of R0", cmd_change_sign),
    in_place(87, "| x |", "abs", "absolute value of R0", cmd_absolute),
    unsupported(88, "---"),
    unsupported(89, "---"),
    in_place(90, "fill w/9", "fill9", "fill the trailing zero digits of R0 with 9",
             cmd_fill_nines),
    binary(91, "R.Off", "round", "R0 = x rounded to y digits after the point", cmd_round_off),
    unary(92, "IP", "int trunc", "R0 = integer part of y", dec_trunc),
    unary(93, "FP", "frac", "R0 = fractional part of y", cmd_fraction),
    unary(94, "EP", "exponent", "R0 = decimal exponent of y", cmd_exponent),
    CommandDef{95, CMD_SCRIPT, "Perform the following", "run script",
               "run the script box", nullptr, nullptr, nullptr, nullptr},

    // Beyond the buttons: exact digits only. Two operands: x = R1, y = R0, as for "x ^ y".
    constant(200, "euler", "", "lift the stack, R0 = Euler's constant gamma = 0.5772...",
             exact_euler),
    constant(201, "catalan", "", "lift the stack, R0 = Catalan's constant G = 0.9159...",
             exact_catalan),
    constant(202, "zeta3", "apery", "lift the stack, R0 = zeta(3) = 1.2020...", exact_zeta3),
    constant(203, "ln2", "", "lift the stack, R0 = ln 2 = 0.6931...", exact_ln2),
    constant(204, "phi", "golden", "lift the stack, R0 = golden ratio (1 + sqrt 5) / 2",
             exact_phi),
    constant(205, "sqrt2", "", "lift the stack, R0 = sqrt 2", exact_sqrt2),
    unary(210, "gamma", "", "R0 = Gamma(y), y not 0, -1, -2, ...", exact_gamma),
    unary(211, "lngamma", "lgamma", "R0 = ln |Gamma(y)|", exact_lngamma),
    unary(212, "zeta", "", "R0 = Riemann zeta(y), y not 1", exact_zeta),
    unary(213, "erf", "", "R0 = error function erf(y)", exact_erf),
    unary(214, "erfc", "", "R0 = complementary error function 1 - erf(y)", exact_erfc),
    unary(215, "lambertw", "w0", "R0 = Lambert W0(y), y >= -1/e", exact_lambertw),
    unary(216, "lambertwm1", "wm1", "R0 = Lambert W-1(y), -1/e <= y < 0", exact_lambertwm1),
    binary(220, "agm", "", "R0 = arithmetic-geometric mean of x and y", exact_agm),
    binary(221, "binomial", "binom choose", "R0 = x choose y, y an integer", exact_binomial),
    binary(222, "atan2", "", "R0 = angle of the point (y, x): atan2(x, y)", exact_atan2),
    binary(223, "logb", "", "R0 = logarithm of x to the base y", exact_logb),
    binary(224, "nroot", "rootn", "R0 = y-th root of x, y an integer", exact_root),
    binary(225, "gcd", "", "R0 = greatest common divisor of x and y (integers)", exact_gcd),
    ternary(230, "powmod", "modpow", "R0 = R2 ^ R1 mod R0 (integers)", exact_powmod),
};

const int CommandTableCount = (int)(sizeof CommandTable / sizeof CommandTable[0]);

namespace {

constexpr int BUTTON_ROWS = LAST_BUTTON_CODE - FIRST_BUTTON_CODE + 1;

}  // namespace

const CommandDef *command_find(int code) {
  // The button rows are in code order without gaps, starting at 35; the range is checked
  // before subtracting, so that no int code can overflow. The few rows beyond follow.
  if (code >= FIRST_BUTTON_CODE && code <= LAST_BUTTON_CODE)
    return &CommandTable[code - FIRST_BUTTON_CODE];
  for (int i = BUTTON_ROWS; i < CommandTableCount; i++)
    if (CommandTable[i].code == code) return &CommandTable[i];
  return nullptr;
}

int command_arity(const CommandDef &def) {
  switch (def.kind) {
    case CMD_CONSTANT: return 0;
    case CMD_UNARY:
    case CMD_IN_PLACE: return 1;
    case CMD_BINARY: return 2;
    case CMD_TERNARY: return 3;
    case CMD_REGISTER:
    case CMD_SCRIPT:
    case CMD_UNSUPPORTED: break;
  }
  return -1;
}
