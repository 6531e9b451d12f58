// Running one engine command from deepnums-cli: on a worker thread, cancellable with
// Ctrl-C (SIGINT), with elapsed time and progress on stderr while it lasts.
#pragma once

enum RunResult {
  RUN_DONE,       // the command ran (or was refused as unsupported)
  RUN_REFUSED,    // refused for its significant digits
  RUN_CANCELLED,  // stopped by Ctrl-C: status "aborted", every shadow marked stale
};

// Installs the SIGINT handler: during a command it raises cancel_requested, otherwise it
// only records the interrupt (see interrupt_pending).
void install_interrupt_handler();
// An interrupt arrived outside a command (or cancelled one) since the last clear.
bool interrupt_pending();
void clear_interrupt();

// Settings[SET_COMMAND] = code, then execute_command on a worker thread. show_progress:
// write elapsed time and percentage to stderr once the command has lasted half a second.
RunResult run_engine_command(int code, bool show_progress);
