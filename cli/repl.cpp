// The interactive session (see modes.h). After a line that ran, R0 is printed, cut to a
// screenful on a terminal (the report instead when the line ended with "compare"); the
// status line only when the command left one; the reason for
// an ERROR or OVERFLOW on standard error. Ctrl-C at the prompt drops the line being typed,
// Ctrl-C during a command stops it, and the session goes on either way; the end of input
// (Ctrl-D), "quit" or a termination signal (with -w) ends it.
#include <cstdio>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#define isatty _isatty
#endif

#include "cli/input_reader.h"
#include "cli/inputs.h"
#include "cli/line_input.h"
#include "cli/lines.h"
#include "cli/modes.h"
#include "engine/state.h"

namespace {

const char PROMPT[] = "deepnums> ";

void put_result(const LineSession &session) {
  // A line that ends comparing shows the comparison, not R0.
  if (session.run.compared) {
    put_text(stdout, TextSlots[SLOT_STATUS]);
    fflush(stdout);
    return;
  }
  std::string shown;
  // Refused for its digits: R0's text as it stands, and the status line says why.
  const bool shown_ok = r0_shown(&shown);
  Screen screen;
  const bool terminal = terminal_screen(stdout, &screen);
  put_value(stdout, "R0: ", shown, terminal ? &screen : nullptr);
  if (TextSlots[SLOT_STATUS][0] != '\0') {
    fputs("status: ", stdout);
    put_text(stdout, TextSlots[SLOT_STATUS]);
  }
  fflush(stdout);
  if (shown_ok) put_r0_reason(stderr, session.run);
}

}  // namespace

int run_interactive(TokenRun *run) {
  const bool prompt = isatty(0) != 0;
  const bool editing = line_editing_start();
  LineSession session;
  session.interactive = true;
  session.run = *run;
  Screen screen;
  std::string line;
  for (;;) {
    // A Ctrl-C that came while the last line's output was written belongs to no line.
    if (!termination_pending()) clear_interrupt();
    if (prompt && !editing) {
      fputs(PROMPT, stdout);
      fflush(stdout);
    }
    const ReadResult read = editing ? line_editing_read(PROMPT, &line) : standard_input().read_line(&line);
    if (read == READ_END || termination_pending()) {
      if (prompt) fputs("\n", stdout);
      break;
    }
    if (read == READ_INTERRUPTED) {
      if (prompt) fputs("\n", stdout);  // past the "^C" the terminal echoed
      continue;
    }
    if (read == READ_TOO_LONG) {
      fprintf(stderr, "deepnums-cli: line longer than %zu characters skipped\n", INPUT_LINE_MAX_CHARS);
      continue;
    }
    session.screen = terminal_screen(stdout, &screen) ? &screen : nullptr;
    const LineOutcome outcome = run_line(line, &session);
    if (outcome == LINE_QUIT) break;
    if (outcome == LINE_NOTHING || outcome == LINE_BAD) {
      fflush(stdout);
      continue;
    }
    put_result(session);
    if (termination_pending()) break;
  }
  *run = session.run;
  return termination_pending() ? interrupt_exit_status() : 0;
}
