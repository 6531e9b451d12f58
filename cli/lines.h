// One input line of the interactive and filter modes: a comment, an expression ("=..."),
// a session command, "stack", "show [Rn]", "quit", or tokens run left to right.
#pragma once

#include <string>

#include "cli/display.h"
#include "cli/token_run.h"

enum LineOutcome {
  LINE_NOTHING,         // blank, a comment, or a session command (answered)
  LINE_BAD,             // refused before anything ran; the message is written
  LINE_RAN,             // tokens or an expression ran to the end
  LINE_REFUSED,         // a command was refused for its significant digits
  LINE_NO_MEMORY,       // a command was abandoned for want of memory
  LINE_CANCELLED,       // Ctrl-C during a command or between two tokens: status "aborted"
  LINE_SCRIPT_INVALID,  // a script stopped on "Invalid command"
  LINE_QUIT,            // "quit"
};

struct LineSession {
  bool interactive = false;         // -i: options lines answered, "type help" in messages
  TokenRun run;                     // progress and the reason trail, across lines
  const Screen *screen = nullptr;   // "stack" cuts values to it; null: whole
  std::string where;                // before a message: "" or "line 3: "
};

LineOutcome run_line(const std::string &line, LineSession *session);
