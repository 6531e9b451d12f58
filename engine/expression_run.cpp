// The expression evaluator (see expression.h). The values of the expression wait in a
// stack of held register values; for each command the evaluator puts its operands into
// R0 (and R1, R2 for more operands: the first operand deepest, as the numbers would have
// been entered), runs the command and takes R0 back. A held value carries its text, and its
// number when the number is its text's, so a result goes on with every internal digit, as
// between two button presses; a literal carries its text only and is read by the command
// that takes it. At the end R0..R4 are set as one lift leaves them.
//
// Each held value also carries the reason for its marker, should it be one: a command's
// own (operation_reason), or the reason of the operand whose marker it passed on; a
// variable's is its register's text reason (or, for R0, the one the front end knows), a
// literal's can only be an exponent past the range.
#include <cstring>
#include <vector>

#include "core/core.h"
#include "engine/command_table.h"
#include "engine/executor.h"
#include "engine/expression.h"
#include "engine/result_reason.h"

namespace {

struct HeldValue {
  std::string text;
  bool current = false;  // number is the text's value at the current precision
  std::vector<DecWord> number;
  const char *reason = nullptr;  // why it is ERROR or OVERFLOW, should it be one
};

const char *register_text(int n) { return (n >= 5 && n <= 9) ? MemoryTexts[n - 5] : TextSlots[n]; }

HeldValue take(int n) {
  HeldValue v;
  v.text = register_text(n);
  v.current = register_current(n);
  if (v.current) v.number.assign(Registers[n], Registers[n] + word_count + 1);
  return v;
}

// Register n (0..4) takes the value; a value without its number is read from its text by
// the next command.
void put(int n, const HeldValue &v, bool keep_number) {
  slot_copy(TextSlots[n], v.text.c_str());
  if (keep_number && v.current) {
    memcpy(Registers[n], v.number.data(), v.number.size() * sizeof(DecWord));
    slot_copy(ShadowTexts[n], v.text.c_str());
  } else {
    mark_shadow_stale(n);
  }
}

// The reason for R0's marker after a command on `arity` operands whose reasons are given
// (first operand first): the command's own, or that of the operand whose marker it passed
// on, the first one with R0's marker. The operands of one to three after the lift: R1 = the
// last, R2 and R3 the ones before; an in-place command's was R0 itself.
const char *result_reason_of(int arity, const std::vector<const char *> &reasons, int code) {
  const DecWord *r0 = Registers[0];
  if (!dec_is_marker(r0)) return nullptr;
  if (const char *r = operation_reason(code)) return r;
  const CommandDef *def = command_find(code);
  if (def == nullptr) return nullptr;
  if (def->kind == CMD_IN_PLACE) return reasons.empty() ? nullptr : reasons[0];
  if (def->kind != CMD_UNARY && def->kind != CMD_BINARY && def->kind != CMD_TERNARY) return nullptr;
  for (int i = 0; i < arity; i++) {
    const DecWord *operand = Registers[arity - i];  // first operand deepest
    if (dec_head(operand) == dec_head(r0)) return reasons[(size_t)i];
  }
  return nullptr;
}

}  // namespace

ExprOutcome expression_run(const ExprProgram &program,
                           const std::function<ExprCommandResult(int code)> &run_command,
                           const char *r0_reason) {
  ExprOutcome outcome;
  // Every register's number its text's at this precision, before any value is held.
  if (prepare_registers() != 0) {
    outcome.result = EXPR_COMMAND_REFUSED;
    return outcome;
  }
  HeldValue before[5];
  for (int n = 0; n <= 4; n++) {
    before[n] = take(n);
    before[n].reason = register_text_reason(n);
  }
  if (before[0].reason == nullptr) before[0].reason = r0_reason;

  std::vector<HeldValue> values;
  values.reserve((size_t)program.depth);
  std::string status;
  for (const ExprStep &step : program.steps) {
    switch (step.kind) {
      case EXPR_NUMBER: {
        HeldValue v;
        v.text = step.text;
        v.reason = REASON_EXPONENT_PAST;
        values.push_back(std::move(v));
        break;
      }
      case EXPR_REGISTER:
        if (step.reg <= 4) {
          values.push_back(before[step.reg]);
        } else {
          values.push_back(take(step.reg));
          values.back().reason = register_text_reason(step.reg);
        }
        break;
      case EXPR_COMMAND: {
        const size_t first = values.size() - (size_t)step.arity;
        std::vector<const char *> operand_reasons;
        for (int i = 0; i < step.arity; i++) {
          put(step.arity - 1 - i, values[first + (size_t)i], true);
          operand_reasons.push_back(values[first + (size_t)i].reason);
        }
        values.resize(first);
        const ExprCommandResult r = run_command(step.code);
        if (r != EXPR_COMMAND_DONE) {
          // The stack as it was; its numbers are read again from its texts.
          for (int n = 0; n <= 4; n++) put(n, before[n], false);
          outcome.result = r;
          return outcome;
        }
        if (TextSlots[SLOT_STATUS][0] != '\0') status = TextSlots[SLOT_STATUS];
        HeldValue result = take(0);
        result.reason = result_reason_of(step.arity, operand_reasons, step.code);
        values.push_back(std::move(result));
        break;
      }
    }
  }
  // One lift: R1..R4 = the old R0..R3, R0 = the result.
  for (int n = 4; n >= 1; n--) put(n, before[n - 1], true);
  put(0, values.back(), true);
  slot_copy(TextSlots[SLOT_STATUS], status.c_str());
  const HeldValue &result = values.back();
  if (result.current && dec_is_marker(result.number.data())) outcome.reason = result.reason;
  return outcome;
}
