// The two ways deepnums-cli reads lines from standard input: the filter (standard input
// not a terminal, no tokens, no -i: R0's value after each line and nothing else on
// standard output) and the interactive session (-i: "R0: value" after each line, a
// screenful at most on a terminal, the status line when it says something).
#pragma once

#include "cli/token_run.h"

// Runs the lines of standard input. Returns 0, or the exit status that ended the run: 1
// (refused, or no memory), 3 (a script stopped on an invalid command), 128 + the signal
// (Ctrl-C, or SIGTERM/SIGHUP with -w); 2 when some line could not be run (the others
// were). *ran: whether any line ran tokens or an expression.
int run_filter(TokenRun *run, bool *ran);

// Runs the session until "quit", the end of input or a termination signal. Returns 0, or
// 128 + the termination signal.
int run_interactive(TokenRun *run);
