// SIGTERM and SIGHUP (a logout, a shutdown, `kill`) close the Linux window as the user's
// close does: a running command is cancelled, the workspace file saved, the program ended.
#pragma once

// Installs the handlers; called once the QApplication exists, before the window is made.
// The handler only writes one byte to a pipe; the event loop reads it and closes every
// top-level window, so nothing but that write happens inside the signal.
void install_close_on_termination();
