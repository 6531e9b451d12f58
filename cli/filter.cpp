// The filter mode (see modes.h): every line is one step of a calculation, and standard
// output carries only the values, one per line that ran (the report for a line that ends
// with "compare"), so that it can be read by the next program of a pipe. Everything else (status lines, reasons, messages with the line
// number) goes to standard error.
#include <cstdio>
#include <string>

#include "cli/input_reader.h"
#include "cli/inputs.h"
#include "cli/lines.h"
#include "cli/modes.h"
#include "engine/register_tools.h"
#include "engine/state.h"

namespace {

constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_SCRIPT_INVALID = 3;

void put_status(FILE *out) {
  if (TextSlots[SLOT_STATUS][0] != '\0') put_text(out, TextSlots[SLOT_STATUS]);
}

}  // namespace

int run_filter(TokenRun *run, bool *ran) {
  LineSession session;
  session.interactive = false;
  session.run = *run;
  int bad_lines = 0, status = 0;
  bool compared = false;  // the last line that ran ended comparing
  *ran = false;
  std::string line;
  for (int number = 1;; number++) {
    session.where = "line " + std::to_string(number) + ": ";
    const ReadResult read = standard_input().read_line(&line);
    if (read == READ_END) break;
    if (read == READ_INTERRUPTED) {
      fputs("aborted\n", stderr);
      status = interrupt_exit_status();
      break;
    }
    if (read == READ_TOO_LONG) {
      fprintf(stderr, "deepnums-cli: %slonger than %zu characters, skipped\n", session.where.c_str(),
              INPUT_LINE_MAX_CHARS);
      bad_lines++;
      continue;
    }
    const LineOutcome outcome = run_line(line, &session);
    if (outcome == LINE_QUIT) break;
    if (outcome == LINE_NOTHING) continue;
    if (outcome == LINE_BAD) {
      bad_lines++;
      continue;
    }
    *ran = true;
    // A line that ends comparing puts its report where the value would go.
    compared = outcome == LINE_RAN && session.run.compared;
    if (compared) {
      put_text(stdout, TextSlots[SLOT_STATUS]);
      fflush(stdout);
      continue;
    }
    put_status(stderr);
    if (outcome == LINE_RAN || outcome == LINE_SCRIPT_INVALID) {
      std::string shown;
      if (!r0_shown(&shown)) {
        put_status(stderr);
        status = EXIT_REFUSED;
        break;
      }
      put_text(stdout, shown.c_str());
      put_r0_reason(stderr, session.run);
      fflush(stdout);
    }
    if (outcome == LINE_SCRIPT_INVALID) {
      status = EXIT_SCRIPT_INVALID;
      break;
    }
    if (outcome == LINE_REFUSED || outcome == LINE_NO_MEMORY) {
      status = EXIT_REFUSED;
      break;
    }
    if (outcome == LINE_CANCELLED) {
      status = interrupt_exit_status();
      break;
    }
    if (termination_pending()) {
      status = interrupt_exit_status();
      break;
    }
  }
  *run = session.run;
  if (status == 0 && bad_lines > 0) status = EXIT_USAGE;
  // As on the command line: a run that ends comparing exits with the comparison's status.
  if (status == 0 && compared) status = compare_exit_status(session.run.compare);
  return status;
}
