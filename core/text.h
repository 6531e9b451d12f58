// Conversion between number texts and DecNum values.
#pragma once

#include "core/decnum.h"

constexpr int TEXT_SLOT_BYTES = 110000;  // every text buffer: 109,999 characters + NUL

// Reads a register text into p at the current precision. 0 for a number (possibly zero);
// −1 with NUM_ERROR for a syntax error, NUM_OVERFLOW for an exponent beyond the range,
// and −1 with nothing written for a null argument. Stops quietly at an unknown character.
// The marker texts "ERROR" and "OVERFLOW" (alone but for blanks and line breaks) read as
// NUM_ERROR and NUM_OVERFLOW with −1.
int dec_from_text(DecWord *p, const char *text);

// Writes p as the text shown in a register box into buf (at least TEXT_SLOT_BYTES): rounded
// half up to sig_digits (or every internal digit when bare_digits) except where the carry
// would raise the exponent past DEC_EXP_MAX (there cut off, so the text reads back as a
// number within a unit of its last digit of p), trailing zeros removed,
// grouped by 20 and broken every 200 digits unless the flags are 0, ending with CR LF.
// p is rounded in place during the call and restored exactly before it returns.
// 0 for a number, −1 for "OVERFLOW", "ERROR", "WRONG FORMAT" and for null arguments.
int dec_to_text(DecWord *p, char *buf);
