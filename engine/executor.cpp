// The command executor: the engine's single entry.
//
// How the engine meets the rest of the system
// -------------------------------------------
// Globals and their owners:
//   - Settings, TextSlots, MemoryTexts (engine/state.cpp): owned by the front end (window
//     or deepnums-cli), which clears them at start, fills them from the workspace file and
//     the user's input, and saves them at exit. The engine reads them and writes its
//     results into them during a command.
//   - Registers, ShadowTexts (engine/state.cpp) and requested_digits, extension_digits,
//     error_digits (here): the engine's own.
//   - sig_digits, word_count, internal_digits, the display flags, compact_memory,
//     hipr_mode and ScratchNums: the core's (core/decnum.h). execute_command sets the
//     precision and the flags at the start of every command; hipr_mode only around one
//     computation of the script command "hipr".
//   - radian_mode and term_override: the functions' (functions/functions.h). radian_mode is
//     set here for every command (and by the self-test per sequence); term_override only
//     around one computation of the script command "prec".
//   - cancel_requested and the progress figures (core/cancel.h): atomics, the only state
//     another thread may touch while a command runs.
//
// Threads: execute_command runs on one worker thread at a time. The front end writes every
// input of a command (Settings, the edit texts, SET_COMMAND) before it starts the worker,
// and reads the results only after the worker has returned; while the worker runs it may
// only raise cancel_requested and poll progress_pos / progress_len. Nothing is locked.
//
// Cancel: cancel_check() in the long loops of the core, the functions and the script
// runner throws CommandCancelled, which unwinds out of execute_command (the engine holds
// no resources). The front end then writes "aborted\n" into the status text and calls
// mark_shadows_stale(), so that the next command re-reads every register from the text
// the user sees, whatever half-done state the stopped command left in Registers.
//
// A rise of the precision also marks every shadow stale: a number written at fewer digit
// words than are now in force has stale words after them.
//
// The invariant between texts and numbers: when TextSlots[n] equals ShadowTexts[n],
// Registers[n] holds the number that the text shows (for R5..R9 the text is the 50-byte
// display copy and the number belongs to MemoryTexts[n - 5]). A shadow holding the single
// byte SHADOW_STALE is stale: it is taken to differ from every text, so the register is
// read again from its text at the next command.
#include "engine/executor.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "engine/command_table.h"
#include "engine/exact_commands.h"
#include "engine/script.h"
#include "exact/exact.h"
#include "functions/functions.h"

const char MSG_OUT_OF_MEMORY[] = "Not enough memory for this operation";

int requested_digits;
int extension_digits;
int error_digits;

namespace {

constexpr char SHADOW_STALE = 0x01;

const char MSG_INVALID_DIGITS[] = "Invalid number of Significant digit";
const char MSG_NOT_SUPPORTED[] = "Not yet supported";

bool shadow_is_stale(int n) {
  return ShadowTexts[n][0] == SHADOW_STALE && ShadowTexts[n][1] == '\0';
}

bool text_changed(int n) {
  return shadow_is_stale(n) || strcmp(TextSlots[n], ShadowTexts[n]) != 0;
}

// The digits field as a decimal integer, saturated to the int range: leading blanks and a
// sign as strtol reads them, then digits that may be grouped as the window's title writes
// them ("100,000"; also "100 000", "100_000", "100'000"): a separator stands between two
// digits. Blanks and line ends may follow. Anything else after the digits, or no digit at
// all, reads as 0, which no precision accepts.
int read_digits_field(const char *text) {
  const char *p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  auto is_separator = [](char c) { return c == ',' || c == ' ' || c == '_' || c == '\''; };
  if (!is_digit(*p)) return 0;
  long long v = 0;
  for (;;) {
    if (is_digit(*p)) {
      if (v <= (long long)INT_MAX + 1) v = v * 10 + (*p - '0');
      p++;
    } else if (is_separator(*p) && is_digit(p[1])) {
      p++;
    } else {
      break;
    }
  }
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) p++;
  if (*p != '\0') return 0;
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return (int)v;
}

int extension_for(int d) {
  if (d < 100) return 5;
  if (d < 1000) return 6;
  if (d < 10000) return 7;
  if (d < 100000) return 8;
  if (d < 1000000) return 9;
  if (d < 10000000) return 10;
  if (d < 100000000) return 11;
  return 12;
}

void set_options() {
  radian_mode = Settings[SET_ANGLE_UNIT] != 0;
  exact_radian_mode = radian_mode;
  exact_use_stored_constants(PiDigits, EDigits, Ln10Digits, CONST_TABLE_DIGITS);
  compact_memory = Settings[SET_COMPACT_MEM] != 0;
  bare_digits = Settings[SET_BARE_DIGITS] != 0;
  if (Settings[SET_PLANE_DISP] != 0) {
    line_digits = 0;
    group_digits = 0;
  } else {
    line_digits = 200;
    group_digits = 20;
  }
  // Only one computation of the script runner ever sets these; a cancelled one must not
  // leave them behind.
  term_override = 0;
  hipr_mode = 0;
}

// Figures derived from an accepted digit count d (12 .. 100,000).
void set_precision_figures(int d) {
  int e = extension_for(d);
  int internal = 6 * ((d + e) / 6 + 1);
  extension_digits = e;
  error_digits = internal - e - 1;
  snprintf(TextSlots[SLOT_MIN_EXT_DIGITS], 12, "%d", e);
  snprintf(TextSlots[SLOT_INTERNAL_DIGITS], 12, "%d", internal);
}

// A tab in a register text (typed or pasted into a box by an older version, or kept in a
// workspace file) is a blank there: the number reader would end the number at it, so a
// box showing "\t5" would read as 0. The text itself is changed, so that the box, the
// shadow and the number agree.
void tabs_to_blanks(char *text) {
  for (char *p = text; (p = std::strchr(p, '\t')) != nullptr; ++p) *p = ' ';
}

void read_changed_registers() {
  for (int n = 0; n < REGISTER_COUNT; n++) {
    if (!text_changed(n)) continue;
    tabs_to_blanks(TextSlots[n]);
    if (n >= 5 && n <= 9) tabs_to_blanks(MemoryTexts[n - 5]);
    const char *source = (n >= 5 && n <= 9) ? MemoryTexts[n - 5] : TextSlots[n];
    dec_from_text(Registers[n], source);
    slot_copy(ShadowTexts[n], TextSlots[n]);
  }
}

// The functions that compute a command's result: the exact variant when the option is
// set and the command has one, else the catalogue's.
CommandDef chosen_functions(const CommandDef &def) {
  CommandDef fns = def;
  const ExactVariant *exact = exact_mode() ? exact_variant(def.code) : nullptr;
  if (exact != nullptr) {
    fns.binary = exact->binary;
    fns.unary = exact->unary;
    fns.constant = exact->constant;
  }
  return fns;
}

void run_command(const CommandDef &def) {
  DecWord *r0 = Registers[0];
  const CommandDef fns = chosen_functions(def);
  switch (def.kind) {
    case CMD_BINARY:
      stack_lift();
      fns.binary(r0, Registers[2], Registers[1]);
      register_show(0);
      break;
    case CMD_TERNARY:
      stack_lift();
      fns.ternary(r0, Registers[3], Registers[2], Registers[1]);
      register_show(0);
      break;
    case CMD_UNARY:
      stack_lift();
      fns.unary(r0, Registers[1]);
      register_show(0);
      break;
    case CMD_CONSTANT:
      stack_lift();
      fns.constant(r0);
      register_show(0);
      break;
    case CMD_IN_PLACE:
      fns.unary(r0, r0);
      register_show(0);
      break;
    case CMD_REGISTER:
      def.action(def.code);
      break;
    case CMD_SCRIPT:
      run_script();
      break;
    case CMD_UNSUPPORTED:
      slot_copy(TextSlots[SLOT_STATUS], MSG_NOT_SUPPORTED);
      break;
  }
  // An exact-mode operation that could not give digits, or met a domain error or a pole,
  // says why. The constants and functions beyond the buttons always compute with exact
  // digits: they have no other algorithm.
  if ((exact_mode() || command_is_extra(def)) && exact_message()[0] != '\0' &&
      def.kind != CMD_SCRIPT)
    slot_copy(TextSlots[SLOT_STATUS], exact_message());
}

}  // namespace

bool exact_mode() { return Settings[SET_EXACT_DIGITS] != 0; }

void mark_shadows_stale() {
  for (int n = 0; n < REGISTER_COUNT; n++) {
    ShadowTexts[n][0] = SHADOW_STALE;
    ShadowTexts[n][1] = '\0';
  }
  // A stopped command may have been writing a text: every text ends inside its buffer.
  for (int n = 0; n < TEXT_SLOT_COUNT; n++) TextSlots[n][TEXT_SLOT_BYTES - 1] = '\0';
  for (int k = 0; k < MEMORY_TEXT_COUNT; k++) MemoryTexts[k][TEXT_SLOT_BYTES - 1] = '\0';
}

void mark_shadow_stale(int n) {
  if (n < 0 || n >= REGISTER_COUNT) return;
  ShadowTexts[n][0] = SHADOW_STALE;
  ShadowTexts[n][1] = '\0';
}

namespace {

// The start of every run: options, precision and its figures, the registers whose text
// changed. −1 (and the status message) when the significant digits are invalid.
int prepare_run() {
  TextSlots[SLOT_STATUS][0] = '\0';
  exact_clear_message();  // a message belongs to the command that set it
  set_options();

  int d = read_digits_field(TextSlots[SLOT_SIG_DIGITS]);
  requested_digits = d;
  if (dec_set_precision(d) != 0) {
    slot_copy(TextSlots[SLOT_STATUS], MSG_INVALID_DIGITS);
    return -1;
  }
  set_precision_figures(d);
  // A register written at fewer words (an earlier command, the self-test's own precision)
  // has stale words beyond them, which a longer precision would take for digits: read
  // every register again from the text it shows.
  if (word_count > word_count_low_water) mark_shadows_stale();
  word_count_low_water = word_count;
  read_changed_registers();
  return 0;
}

}  // namespace

int execute_command() {
  if (prepare_run() != 0) return -1;
  const CommandDef *def = command_find(Settings[SET_COMMAND]);
  if (def == nullptr) {
    slot_copy(TextSlots[SLOT_STATUS], MSG_NOT_SUPPORTED);
    return 0;
  }
  run_command(*def);
  return 0;
}

int digits_field_value(const char *text) { return read_digits_field(text); }

int prepare_registers() { return prepare_run(); }

bool register_current(int n) { return n >= 0 && n < REGISTER_COUNT && !text_changed(n); }

int format_register_value(int n, char *out) {
  if (n < 0 || n >= REGISTER_COUNT) return -1;
  const char *text = (n >= 5 && n <= 9) ? MemoryTexts[n - 5] : TextSlots[n];
  slot_copy(out, text);
  if (!text_changed(n)) return 0;
  if (prepare_run() != 0) return -1;
  dec_to_text(Registers[n], out);
  return 0;
}
