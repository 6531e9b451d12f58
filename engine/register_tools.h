// Register tools of the engine: comparing two registers and a register's value in the plain
// display form (for saving it and for "Copy as number"). The front ends only show what
// these give.
//
// Both work on the numbers as the registers hold them and expect them current: call them
// inside a command, or after prepare_registers() (engine/executor.h) between commands.
//
// What a comparison compares. Each number is taken to the digits the register boxes show
// (sig_digits, rounded half up as the display rounds; with "Bare digits" every internal
// digit, unrounded), exactly, whatever the lengths of the texts the numbers came from:
// a number with fewer digits has zeros after its last one. Digit 1 is the leading digit
// of that shown form, the one the position field of the window calls digit 1.
// - Two numbers with the same sign and the same exponent (the power of ten of digit 1)
//   agree to the first k digits and differ at digit k + 1, or are equal.
// - Numbers of different signs are reported as that, and numbers of one sign with
//   different exponents as that (their digits do not stand for the same powers of ten).
// - 0 has no digits: 0 and 0 are equal, 0 and any other number differ.
// - ERROR and OVERFLOW are not numbers: a comparison with either cannot be made.
// "Equal" when the shown digits agree; when the numbers as held differ in their guard
// digits beyond those, the report says "equal (to the N digits shown)".
#pragma once

#include <cstddef>
#include <cstdint>

enum CompareKind {
  COMPARE_EQUAL,      // every shown digit agrees
  COMPARE_DIGITS,     // same sign and exponent, a digit differs
  COMPARE_SIGN,       // different signs
  COMPARE_EXPONENT,   // same sign, different exponents
  COMPARE_ZERO,       // one of them is 0
  COMPARE_MARKER,     // one of them (or both) is ERROR or OVERFLOW
};

struct CompareReport {
  int a = 0, b = 1;            // the registers compared
  CompareKind kind = COMPARE_EQUAL;
  int shown = 0;               // the digits compared: the digits shown
  bool held_equal = true;      // EQUAL: the numbers as held are equal too
  int agree = 0;               // DIGITS: leading digits that agree (the first difference is agree + 1)
  int digit_a = 0, digit_b = 0;  // DIGITS: the two first differing digits
  int32_t exp_a = 0, exp_b = 0;  // EXPONENT: the exponents of digit 1
  bool zero_a = false, zero_b = false;  // ZERO: which one is 0
  const char *marker_a = nullptr, *marker_b = nullptr;  // MARKER: "ERROR", "OVERFLOW" or null
};

// Compares registers a and b (0..14; −1 when either is out of range, nothing done).
int compare_registers(int a, int b, CompareReport *report);

// The report in words, into buf: "R0 and R1 agree to 99,987 digits; first difference at
// digit 99,988 (4 / 7)" (the digit of a, then of b), "R0 and R1 are equal", "R0 and R1
// are equal (to the 1,000 digits shown)", "R0 and R1 differ in sign", "R0 and R1 differ
// in exponent (e12 / e13)", "R0 and R1 differ: R1 is 0", "R0 and R1 cannot be compared:
// R1 is ERROR".
void compare_report_text(const CompareReport &report, char *buf, size_t size);

// Exit status of deepnums-cli for a comparison that ends its run: 0 equal, 1 different,
// 4 when it could not be made.
int compare_exit_status(const CompareReport &report);

// Register n's (0..9) value in the plain display form, without the line end ("-.5",
// "3.1415926535…", "1.5e-7", "ERROR"), into out (a slot-sized buffer). 0, or −1 for n out
// of range.
int register_plain_text(int n, char *out);

// The comment line of a register file saved now, without the "# ": "deepNUMS R0 at 1,000
// significant digits" (with "Bare digits": "... at all 1,013 internal digits").
void register_file_comment(int n, char *buf, size_t size);
