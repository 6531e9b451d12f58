// The self-pipe for SIGTERM and SIGHUP (see qt_signals.h).
#include "ui/qt/qt_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

int pipe_fds[2] = {-1, -1};
bool terminating = false;  // main thread only

void on_termination(int) {
  const int saved_errno = errno;
  const char byte = 1;
  // A full pipe already holds a close request; nothing else to do.
  [[maybe_unused]] const ssize_t n = write(pipe_fds[1], &byte, 1);
  errno = saved_errno;
}

}  // namespace

void install_termination_signals() {
  if (pipe(pipe_fds) != 0) return;
  for (int fd : pipe_fds) {
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  struct sigaction action {};
  action.sa_handler = on_termination;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

void watch_termination_signals() {
  if (pipe_fds[0] < 0) return;
  auto *notifier = new QSocketNotifier(pipe_fds[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
    char buf[64];
    while (read(pipe_fds[0], buf, sizeof buf) > 0) {
    }
    terminating = true;
    // The close event runs the window's own close: cancel, save, quit.
    QApplication::closeAllWindows();
  });
}

bool termination_requested() { return terminating; }
