// Reasons for ERROR and OVERFLOW (see result_reason.h). Each case names the test the
// operation itself makes (functions/, exact/, core/div.cpp) on the operands as held; a
// marker the case cannot pin down gets no reason.
#include "engine/result_reason.h"

#include <cstring>

#include "core/core.h"
#include "engine/command_table.h"
#include "engine/executor.h"
#include "functions/functions.h"

const char REASON_EXPONENT_PAST[] = "exponent past 999,999,999";

namespace {

const char *const EXPONENT_PAST = REASON_EXPONENT_PAST;
const char DIVISION_BY_ZERO[] = "division by zero";
const char OUTSIDE_UNIT[] = "argument outside \xE2\x88\x92" "1..1";  // "−1..1"
// The defined algorithms compute e^|y| first (exp of a negative y, the hyperbolic
// functions), or x^|y| for a negative y, and fail when that leaves the range.
const char E_ABS_PAST[] = "e ^ |y| past the exponent range";

bool is_negative(const DecWord *p) { return dec_sign(p) != 0; }
bool is_zero(const DecWord *p) { return dec_is_zero(p); }
// |p| > 1, = 1, < 1 as 1, 0, −1.
int compare_abs_one(const DecWord *p) {
  if (dec_compare_small(p, 1, 0) > 0 || dec_compare_small(p, -1, 0) < 0) return 1;
  if (dec_compare_small(p, 1, 0) == 0 || dec_compare_small(p, -1, 0) == 0) return 0;
  return -1;
}

// p is a whole number: no non-zero digit after the units position.
bool is_integer(const DecWord *p) {
  if (is_zero(p)) return true;
  const int32_t e = dec_exponent(p);
  if (e < 0) return false;
  for (int64_t k = (int64_t)e + 2; k < internal_digits; k++)
    if (dec_digit_at(p, (int)k) != 0) return false;
  return true;
}

// A text that is the marker word alone (blanks and line breaks around it), as results
// show them.
bool is_marker_word(const char *text) {
  while (*text == ' ' || *text == '\r' || *text == '\n') text++;
  size_t n = strlen(text);
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\r' || text[n - 1] == '\n')) n--;
  return (n == 5 && strncmp(text, "ERROR", 5) == 0) || (n == 8 && strncmp(text, "OVERFLOW", 8) == 0);
}

// The reason of a marker read from the text of register n, named as the register it was
// in before the command (shown).
const char *text_reason(int n, int shown) {
  if (n < 0 || n > 9) return nullptr;
  const DecWord *p = Registers[n];
  const char *text = (n >= 5) ? MemoryTexts[n - 5] : TextSlots[n];
  if (!dec_is_marker(p) || is_marker_word(text)) return nullptr;
  static const char *const NOT_A_NUMBER[] = {
      "R0's text is not a number: a sign or point out of place",
      "R1's text is not a number: a sign or point out of place",
      "R2's text is not a number: a sign or point out of place",
      "R3's text is not a number: a sign or point out of place",
      "R4's text is not a number: a sign or point out of place",
      "R5's text is not a number: a sign or point out of place",
      "R6's text is not a number: a sign or point out of place",
      "R7's text is not a number: a sign or point out of place",
      "R8's text is not a number: a sign or point out of place",
      "R9's text is not a number: a sign or point out of place",
  };
  static const char *const EXPONENT[] = {
      "R0's text has an exponent past 999,999,999",
      "R1's text has an exponent past 999,999,999",
      "R2's text has an exponent past 999,999,999",
      "R3's text has an exponent past 999,999,999",
      "R4's text has an exponent past 999,999,999",
      "R5's text has an exponent past 999,999,999",
      "R6's text has an exponent past 999,999,999",
      "R7's text has an exponent past 999,999,999",
      "R8's text has an exponent past 999,999,999",
      "R9's text has an exponent past 999,999,999",
  };
  if (shown < 0 || shown > 9) return nullptr;
  return dec_head(p) == NUM_ERROR ? NOT_A_NUMBER[shown] : EXPONENT[shown];
}

// x ^ y (code 47) with number operands.
const char *power_reason(bool overflow, const DecWord *x, const DecWord *y) {
  if (exact_mode()) {
    if (overflow) return EXPONENT_PAST;
    if (is_zero(x) && is_negative(y)) return "zero to a negative power";
    if (is_negative(x) && !is_integer(y)) return "negative base with a fractional exponent";
    return nullptr;
  }
  // The defined algorithm: x ≤ 0 first, then |y| against the digits carried, then the
  // powering of x^|y| (and 1 / x^|y| for a negative y).
  if (!overflow) {
    if (is_zero(x) || is_negative(x)) return "base x \xE2\x89\xA4 0: the defined algorithms need x > 0";
    if (dec_exponent(y) >= internal_digits - 1) return "exponent y too long for the digits carried";
    if (is_negative(y)) return "x ^ |y| below the exponent range (y < 0)";
    return nullptr;
  }
  // |y| ≥ 2^61 cannot be counted in powers of 2^30, whatever x is.
  if (dec_exponent(y) >= 18) return nullptr;
  return is_negative(y) ? "x ^ |y| past the exponent range (y < 0)" : EXPONENT_PAST;
}

// The defined algorithms reduce a trigonometric argument by whole periods first, with the
// integer division's own test: the quotient needs more digits than are carried when the
// exponents differ by more than internal_digits − 1. The periods (360 or 180 degrees, 2π or
// π) have the exponent 2 in degrees and 0 in radians.
bool periods_too_long(const DecWord *y) {
  const int32_t period_exponent = radian_mode ? 0 : 2;
  return (int64_t)dec_exponent(y) - period_exponent > internal_digits - 1;
}

}  // namespace

const char *operation_reason(int code) {
  const DecWord *r0 = Registers[0];
  if (!dec_is_marker(r0)) return nullptr;
  const CommandDef *def = command_find(code);
  if (def == nullptr) return nullptr;
  // The operands where the lift left them: x (old R1) in R2, y (old R0) in R1. Constants
  // make no marker; in-place and register commands pass one on.
  const DecWord *x = nullptr, *y = nullptr;
  if (def->kind == CMD_BINARY) {
    x = Registers[2];
    y = Registers[1];
    if (dec_is_marker(x) || dec_is_marker(y)) return nullptr;
  } else if (def->kind == CMD_UNARY) {
    y = Registers[1];
    if (dec_is_marker(y)) return nullptr;
  } else {
    return nullptr;
  }
  // The status line already says why ("Exact digits: argument too large for radians").
  if (TextSlots[SLOT_STATUS][0] != '\0') return nullptr;

  const bool overflow = dec_head(r0) == NUM_OVERFLOW;
  const bool exact = exact_mode();
  switch (code) {
    case 35:  // +
    case 36:  // -
    case 37:  // *
    case 48:  // x ^ 2
    case 49:  // x ^ 3
      return overflow ? EXPONENT_PAST : nullptr;
    case 38:  // /
    case 42:  // 1/x
      if (is_zero(y)) return overflow ? nullptr : DIVISION_BY_ZERO;
      return overflow ? EXPONENT_PAST : nullptr;
    case 39:  // %
      if (is_zero(y)) return overflow ? nullptr : DIVISION_BY_ZERO;
      if (overflow && !exact && (int64_t)dec_exponent(x) - dec_exponent(y) > internal_digits - 1)
        return "the integer quotient has more digits than are carried";
      return nullptr;
    case 43:  // SQRT
      return !overflow && is_negative(y) ? "square root of a negative number" : nullptr;
    case 47:  // x ^ y
      return power_reason(overflow, x, y);
    case 50:  // sin
    case 51:  // cos
      if (!exact && overflow && periods_too_long(y)) return "too many whole periods for the digits carried";
      return nullptr;
    case 52:  // tan
      if (!overflow) return nullptr;
      if (!exact && periods_too_long(y)) return "too many whole periods for the digits carried";
      return radian_mode ? "pole of the tangent" : "pole of the tangent (an odd multiple of 90 degrees)";
    case 53:  // exp
      if (!overflow) return nullptr;
      return !is_negative(y) ? EXPONENT_PAST : (exact ? nullptr : E_ABS_PAST);
    case 54:  // 10 ^ n
      return overflow && !is_negative(y) ? EXPONENT_PAST : nullptr;
    case 55:  // asin
    case 56:  // acos
      return !overflow && compare_abs_one(y) > 0 ? OUTSIDE_UNIT : nullptr;
    case 58:  // loge
    case 59:  // log10
      if (overflow) return nullptr;
      if (is_zero(y)) return "logarithm of zero";
      return is_negative(y) ? "logarithm of a negative number" : nullptr;
    case 60:  // sinh
    case 61:  // cosh
      if (!overflow) return nullptr;
      return exact ? EXPONENT_PAST : E_ABS_PAST;
    case 62:  // tanh
      return overflow && !exact ? E_ABS_PAST : nullptr;
    case 65:  // asinh: ln (y + √(y² + 1)), where 1 vanishes against y² for a large negative y
      if (exact) return nullptr;
      if (overflow) return "y\xC2\xB2 past the exponent range";
      return is_negative(y) ? "1 vanishes against y\xC2\xB2 at the digits carried (y < 0)" : nullptr;
    case 66:  // acosh
      if (overflow) return exact ? nullptr : "y\xC2\xB2 past the exponent range";
      return dec_compare_small(y, 1, 0) < 0 ? "argument below 1" : nullptr;
    case 67:  // atanh
      if (overflow) return nullptr;
      if (compare_abs_one(y) > 0) return OUTSIDE_UNIT;
      return compare_abs_one(y) == 0 ? "argument \xC2\xB1" "1: the result is infinite" : nullptr;
    case 85:  // !
      if (overflow) return EXPONENT_PAST;
      if (dec_compare_small(y, -1, 0) <= 0) return "factorial of a negative number";
      if (!exact && dec_to_int(y) == INT32_MIN) return "factorial of a number above 2,147,483,647";
      return nullptr;
    default:
      return nullptr;
  }
}

const char *result_reason(int code) {
  const DecWord *r0 = Registers[0];
  const CommandDef *def = command_find(code);
  if (!dec_is_marker(r0) || def == nullptr) return nullptr;
  // An operand that was a marker already: the one whose marker the result took (ERROR wins
  // when both are markers), by its text.
  if (def->kind == CMD_BINARY || def->kind == CMD_UNARY) {
    const DecWord *x = def->kind == CMD_BINARY ? Registers[2] : nullptr;
    const DecWord *y = Registers[1];
    if ((x != nullptr && dec_is_marker(x)) || dec_is_marker(y)) {
      const char *r = x != nullptr && dec_head(x) == dec_head(r0) ? text_reason(2, 1) : nullptr;
      if (r == nullptr && dec_head(y) == dec_head(r0)) r = text_reason(1, 0);
      return r;
    }
  }
  return operation_reason(code);
}

const char *register_text_reason(int n) { return text_reason(n, n); }

void ReasonTrail::after_command(int code) {
  if (!dec_is_marker(Registers[0])) {
    reason_ = nullptr;
    return;
  }
  if (const char *r = result_reason(code)) {
    reason_ = r;
    return;
  }
  // Kept only when the command passed R0's own marker on: an operand marker in a lifting
  // command (the one in R1 or R2 now), or an in-place command on R0.
  const CommandDef *def = command_find(code);
  bool passed_on = false;
  if (def != nullptr) {
    if (def->kind == CMD_BINARY) passed_on = dec_is_marker(Registers[1]) || dec_is_marker(Registers[2]);
    else if (def->kind == CMD_UNARY) passed_on = dec_is_marker(Registers[1]);
    else if (def->kind == CMD_IN_PLACE) passed_on = true;
  }
  if (!passed_on) reason_ = nullptr;
}
