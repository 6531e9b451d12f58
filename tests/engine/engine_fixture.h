// Shared set-up for the engine tests: a fresh calculator state as the front end leaves it
// after start-up (every register "0", digits as given), and small helpers to press a
// command and read texts.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/core.h"
#include "engine/command_table.h"
#include "engine/executor.h"
#include "functions/functions.h"

inline void reset_engine_state(const char *digits = "12") {
  memset(Settings, 0, sizeof Settings);
  memset(TextSlots, 0, sizeof TextSlots);
  memset(MemoryTexts, 0, sizeof MemoryTexts);
  memset(ShadowTexts, 0, sizeof ShadowTexts);
  memset(Registers, 0, sizeof Registers);
  for (int n = 0; n <= 9; n++) slot_copy(TextSlots[n], "0");
  for (int k = 0; k < 5; k++) slot_copy(MemoryTexts[k], "0");
  slot_copy(TextSlots[SLOT_SIG_DIGITS], digits);
  cancel_reset();
}

// Presses the button with this code; returns execute_command's result.
inline int press(int code) {
  Settings[SET_COMMAND] = code;
  return execute_command();
}

// Types a text into one of the boxes R0..R4 (or any slot).
inline void type(int slot, const char *text) { slot_copy(TextSlots[slot], text); }

inline std::string text(int slot) { return TextSlots[slot]; }
inline std::string shadow(int n) { return ShadowTexts[n]; }
inline std::string memory(int n) { return MemoryTexts[n - 5]; }
inline std::string status() { return TextSlots[SLOT_STATUS]; }

// The text dec_to_text gives for register n's number at the current settings (the
// register itself is left as it was).
inline std::string shown(int n) {
  static char buf[TEXT_SLOT_BYTES];
  dec_to_text(Registers[n], buf);
  return buf;
}

// The number text would read as, formatted: for comparing a register with a text.
inline std::string reads_as(const char *t) {
  static DecWord num[DEC_BUF_WORDS];
  static char buf[TEXT_SLOT_BYTES];
  dec_from_text(num, t);
  dec_to_text(num, buf);
  return buf;
}

// Register n holds exactly the number its text shows, and its shadow equals its text.
inline ::testing::AssertionResult register_consistent(int n) {
  std::string t = (n >= 5 && n <= 9) ? memory(n) : text(n);
  std::string got = shown(n), want = reads_as(t.c_str());
  if (got != want)
    return ::testing::AssertionFailure() << "R" << n << " number shows '" << got
                                         << "' but its text '" << t << "' reads as '" << want << "'";
  if (text(n) != shadow(n))
    return ::testing::AssertionFailure() << "R" << n << " text '" << text(n) << "' != shadow '"
                                         << shadow(n) << "'";
  return ::testing::AssertionSuccess();
}

// Command codes used by the tests.
enum : int {
  C_ADD = 35, C_SUB = 36, C_MUL = 37, C_DIV = 38, C_MOD = 39, C_UP = 40, C_DOWN = 41,
  C_RECIP = 42, C_SQRT = 43, C_CBRT = 44, C_DUP = 45, C_SWAP = 46, C_POW = 47, C_SQ = 48,
  C_CUBE = 49, C_SIN = 50, C_PI = 63, C_E = 64, C_ACLR = 68, C_MCLR = 69, C_STO5 = 70,
  C_STO7 = 72, C_RCL5 = 75, C_RCL7 = 77, C_CLR7 = 82, C_FACT = 85, C_NEG = 86, C_ABS = 87,
  C_NYS1 = 88, C_NYS2 = 89, C_FILL9 = 90, C_ROUND = 91, C_IP = 92, C_FP = 93, C_EP = 94,
  C_SCRIPT = 95,
};
