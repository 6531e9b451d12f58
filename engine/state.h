// The shared state of a calculator run: Settings, TextSlots, MemoryTexts (written by the
// front end between commands, by the engine during one), Registers and ShadowTexts (the
// engine's own). All are fixed-size globals defined once in engine/state.cpp; the worker
// thread has them to itself while a command runs, the front end's main thread otherwise.
#pragma once

#include <cstdint>

#include "core/decnum.h"
#include "core/text.h"

constexpr int SETTINGS_COUNT = 20;
constexpr int TEXT_SLOT_COUNT = 20;
constexpr int REGISTER_COUNT = 15;
constexpr int MEMORY_TEXT_COUNT = 5;
constexpr int TEXT_SLOT_MAX_CHARS = TEXT_SLOT_BYTES - 1;  // 109,999

enum SettingIndex {
  SET_LANGUAGE = 0,
  SET_WINDOW_LEFT = 1,
  SET_WINDOW_TOP = 2,
  SET_WINDOW_RIGHT = 3,
  SET_WINDOW_BOTTOM = 4,
  SET_ANGLE_UNIT = 11,
  SET_COMMAND = 12,
  SET_COMPACT_MEM = 13,
  SET_EXACT_DIGITS = 14,  // the "Exact digits" option, 0 or 1
  SET_BARE_DIGITS = 15,
  SET_PLANE_DISP = 16,
};

enum SlotIndex {
  SLOT_R0 = 0, SLOT_R1, SLOT_R2, SLOT_R3, SLOT_R4,
  SLOT_R5, SLOT_R6, SLOT_R7, SLOT_R8, SLOT_R9,
  SLOT_SCRIPT = 15,
  SLOT_STATUS = 16,
  SLOT_SIG_DIGITS = 17,
  SLOT_INTERNAL_DIGITS = 18,
  SLOT_MIN_EXT_DIGITS = 19,
};

extern int32_t Settings[SETTINGS_COUNT];
extern char TextSlots[TEXT_SLOT_COUNT][TEXT_SLOT_BYTES];
extern char MemoryTexts[MEMORY_TEXT_COUNT][TEXT_SLOT_BYTES];
extern DecWord Registers[REGISTER_COUNT][DEC_BUF_WORDS];
extern char ShadowTexts[REGISTER_COUNT][TEXT_SLOT_BYTES];

// Bounded copy of a NUL-terminated text into a slot-sized buffer (at most 109,999 bytes
// and the NUL).
void slot_copy(char *dst, const char *src);
