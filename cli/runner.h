// Running one engine command from deepnums-cli: on a worker thread, cancellable with
// Ctrl-C (SIGINT), with elapsed time and progress on stderr while it lasts.
#pragma once

enum RunResult {
  RUN_DONE,       // the command ran (or was refused as unsupported)
  RUN_REFUSED,    // refused for its significant digits
  RUN_CANCELLED,  // stopped by Ctrl-C: status "aborted", every shadow marked stale
  RUN_NO_MEMORY,  // abandoned for want of memory: status says so, every shadow marked stale
  RUN_BAD_INPUT,  // a file of the token could not be read or written: nothing changed, the
                  // message is written
};

// Installs the SIGINT handler: during a command it raises cancel_requested, otherwise it
// only records the interrupt (see interrupt_pending).
void install_interrupt_handler();
// With -w: SIGTERM and SIGHUP (SIGTERM only on Windows) are handled as Ctrl-C is (a
// command is cancelled and the run ends, so the workspace file is written), and they are
// not cleared by clear_interrupt: the run ends after them.
void install_termination_handler();
// An interrupt or termination signal arrived outside a command (or cancelled one) since
// the last clear.
bool interrupt_pending();
void clear_interrupt();
// The termination signal received (SIGTERM, SIGHUP), 0 for none.
int termination_pending();
// 128 + the signal that ends the run: 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP.
int interrupt_exit_status();
// When an interrupt is pending between two commands: the status becomes "aborted", as
// for a cancelled command, and true is returned.
bool take_interrupt_between_commands();

// Waits until fd has something to read (or its end); false when an interrupt or a
// termination signal came first (interrupt_pending()). The test of the flag and the wait
// are one step, so a signal that arrives just before the wait is not lost. (Windows: the
// flag is tested and the read itself waits.)
bool wait_for_input(int fd);

// Settings[SET_COMMAND] = code, then execute_command on a worker thread. show_progress:
// write elapsed time and percentage to stderr once the command has lasted half a second.
RunResult run_engine_command(int code, bool show_progress);
