// Running tokens (see token_run.h).
#include "cli/token_run.h"

#include <cstring>
#include <vector>

#include "cli/inputs.h"
#include "engine/executor.h"
#include "engine/expression.h"
#include "engine/register_text.h"

namespace {

constexpr int CODE_UP = 40;

}  // namespace

RunResult run_token(const Token &t, TokenRun *run) {
  run->compared = false;
  switch (t.kind) {
    case TOKEN_NUMBER: {
      // A typed number moves R0's marker, and its reason, to R1 (see ReasonTrail).
      RunResult r = run_engine_command(CODE_UP, run->progress);
      if (r == RUN_DONE) slot_copy(TextSlots[SLOT_R0], t.text.c_str());
      return r;
    }
    case TOKEN_REGISTER_TEXT:
      slot_copy(TextSlots[t.reg], t.text.c_str());
      run->trail.clear();
      return RUN_DONE;
    case TOKEN_REGISTER_FILE: {
      std::vector<char> buffer(TEXT_SLOT_BYTES);  // on the heap: fixed memory stays small
      char *text = buffer.data();
      std::string error;
      if (register_file_read(t.text.c_str(), text, &error) != 0) {
        fprintf(stderr, "deepnums-cli: %s%s\n", run->where.c_str(), printable(error).c_str());
        return RUN_BAD_INPUT;
      }
      slot_copy(TextSlots[t.reg], text);
      run->trail.clear();
      return RUN_DONE;
    }
    case TOKEN_COMPARE:
      // Between commands: the registers are read at the current precision first.
      if (prepare_registers() != 0) return RUN_REFUSED;
      compare_registers(t.reg, t.reg2, &run->compare);
      compare_report_text(run->compare, TextSlots[SLOT_STATUS], TEXT_SLOT_BYTES);
      run->compared = true;
      return RUN_DONE;
    case TOKEN_SAVE: {
      if (prepare_registers() != 0) return RUN_REFUSED;
      std::vector<char> buffer(TEXT_SLOT_BYTES);
      char *value = buffer.data();
      char comment[100];
      register_plain_text(t.reg, value);
      register_file_comment(t.reg, comment, sizeof comment);
      std::string error;
      if (!register_file_write(t.text.c_str(), comment, value, &error)) {
        fprintf(stderr, "deepnums-cli: %s%s\n", run->where.c_str(), printable(error).c_str());
        return RUN_BAD_INPUT;
      }
      std::string saved = "R";
      saved += std::to_string(t.reg);
      saved += " saved to '" + t.text + "'";
      slot_copy(TextSlots[SLOT_STATUS], printable(saved).c_str());
      return RUN_DONE;
    }
    case TOKEN_COMMAND: {
      RunResult r = run_engine_command(t.code, run->progress);
      if (r == RUN_DONE) run->trail.after_command(t.code);
      return r;
    }
    case TOKEN_EXPRESSION: {
      // The outcome of the last command tells cancelled from abandoned.
      RunResult last = RUN_DONE;
      const bool progress = run->progress;
      ExprOutcome outcome = expression_run(
          t.program,
          [&](int code) {
            last = run_engine_command(code, progress);
            if (last == RUN_DONE) return EXPR_COMMAND_DONE;
            return last == RUN_REFUSED ? EXPR_COMMAND_REFUSED : EXPR_COMMAND_STOPPED;
          },
          run->trail.reason());
      if (outcome.result == EXPR_COMMAND_REFUSED) return RUN_REFUSED;
      if (outcome.result == EXPR_COMMAND_STOPPED) return last == RUN_NO_MEMORY ? RUN_NO_MEMORY : RUN_CANCELLED;
      run->trail.set(outcome.reason);
      return RUN_DONE;
    }
  }
  return RUN_DONE;
}

bool r0_shown(std::string *shown) {
  static char text[TEXT_SLOT_BYTES];
  // Formatting starts a run of its own, which empties the status line: the last command's
  // status stays (it is saved with the workspace), unless formatting has one of its own.
  const std::string status = TextSlots[SLOT_STATUS];
  const bool ok = format_register_value(0, text) == 0;
  if (ok) slot_copy(TextSlots[SLOT_STATUS], status.c_str());
  *shown = text;
  return ok;
}

const char *r0_marker() {
  if (dec_head(Registers[0]) == NUM_ERROR) return "ERROR";
  if (dec_head(Registers[0]) == NUM_OVERFLOW) return "OVERFLOW";
  return nullptr;
}

void put_r0_reason(FILE *out, const TokenRun &run) {
  const char *marker = r0_marker();
  if (marker == nullptr) return;
  const char *reason = run.trail.reason();
  if (reason == nullptr) reason = register_text_reason(0);
  if (reason != nullptr) fprintf(out, "%s: %s\n", marker, reason);
}

void put_text(FILE *out, const char *text) {
  // One fwrite for each run between the CRs of the CR LF pairs, not a putc a character.
  const char *run = text, *p = text;
  for (; *p != '\0'; p++) {
    if (p[0] == '\r' && p[1] == '\n') {
      fwrite(run, 1, (size_t)(p - run), out);
      run = p + 1;
    }
  }
  fwrite(run, 1, (size_t)(p - run), out);
  if (p == text || p[-1] != '\n') putc('\n', out);
}
