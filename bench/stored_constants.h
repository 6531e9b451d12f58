// The exact-mode benchmarks run as a session does: with the stored digits of π, e and
// ln 10 handed over, as the engine hands them over at start-up.
#pragma once

#include "exact/exact.h"
#include "functions/functions.h"

inline const bool stored_constants_handed_over = [] {
  exact_use_stored_constants(PiDigits, EDigits, Ln10Digits, CONST_TABLE_DIGITS);
  return true;
}();
