// SIGTERM and SIGHUP (a logout, a shutdown, `kill`) close the Linux window as the user's
// close does: a running command is cancelled, the workspace file saved (kept in a rescue
// file when it cannot be, since nobody can be asked), the program ended.
#pragma once

// Installs the handlers; called first thing in main, before the toolkit starts, so that a
// signal during the start-up is not lost: the handler only writes one byte to a pipe.
void install_termination_signals();
// Once the QApplication exists: its event loop reads the pipe and closes every top-level
// window (a byte written before, during the start-up, is read as soon as the loop runs).
void watch_termination_signals();
// True once a termination signal has arrived (its close cannot be answered).
bool termination_requested();
