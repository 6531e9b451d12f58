// Running the tokens of deepnums-cli, in every mode: a command, a typed number, a
// register text or an expression, each through the worker of cli/runner.h; and what the
// front end says about R0 afterwards (its value as shown, the reason for a marker).
#pragma once

#include <cstdio>
#include <string>

#include "cli/runner.h"
#include "cli/tokens.h"
#include "engine/register_tools.h"
#include "engine/result_reason.h"

struct TokenRun {
  bool progress = false;  // elapsed time and percentage on standard error
  ReasonTrail trail;      // the reason for a marker in R0, across tokens and lines
  bool compared = false;  // the last token run was "compare": its report is below
  CompareReport compare;
  std::string where;      // before a message about a file: "" or "line 3: "
};

// Runs one token. Returns the RunResult of the command it ran (RUN_DONE for a text);
// RUN_BAD_INPUT, with "deepnums-cli: message" on standard error, for a register file that
// could not be read or written.
RunResult run_token(const Token &t, TokenRun *run);

// R0's value as the calculator shows it (format_register_value), its text unchanged.
// false when the significant digits are invalid (the status line says so; *shown holds
// the text as it stands).
bool r0_shown(std::string *shown);

// After r0_shown: "ERROR" or "OVERFLOW" when R0 holds that marker, else null.
const char *r0_marker();

// After r0_shown: writes "ERROR: reason" (or "OVERFLOW: ...") to out when R0 holds a
// marker whose reason is known.
void put_r0_reason(FILE *out, const TokenRun &run);

// A text as the window shows it: CR LF as line feeds, ending with one line feed.
void put_text(FILE *out, const char *text);
