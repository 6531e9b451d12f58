// The worker protocol of the command-line front end, as the window has it: the main thread
// writes every input before the worker starts and reads the results only after joining
// it; while the worker runs, only the SIGINT handler (cancel_requested) and the progress
// poll (progress_pos / progress_len) touch shared state.
#include "cli/runner.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <new>
#include <thread>

#ifndef _WIN32
#include <poll.h>
#include <signal.h>
#endif
#include <cerrno>

#include "core/cancel.h"
#include "engine/executor.h"
#include "engine/progress_text.h"

namespace {

std::atomic<bool> command_running{false};
volatile std::sig_atomic_t interrupted = 0;
// SIGTERM or SIGHUP once received (the signal number): unlike Ctrl-C it is never cleared,
// so the run ends after the command it cancels.
volatile std::sig_atomic_t termination_signal = 0;

void on_interrupt(int sig) {
  if (sig == SIGINT) interrupted = 1;
  else termination_signal = sig;
  if (command_running.load()) cancel_requested.store(true);
}

// The widest progress line shown since the last erase.
int progress_line_width = 0;

// "12.3 s  45%  about 15 s left  (Ctrl-C cancels)"; blanks cover the rest of an earlier,
// longer line (a console without escape sequences shows them plainly).
void show_progress_line(double seconds) {
  char text[128];
  progress_status_text(text, sizeof text, seconds, false);
  const int width = fprintf(stderr, "\r%s  (Ctrl-C cancels)", text) - 1;
  if (width < progress_line_width) fprintf(stderr, "%*s", progress_line_width - width, "");
  if (width > progress_line_width) progress_line_width = width;
  fflush(stderr);
}

}  // namespace

#ifdef _WIN32
void install_interrupt_handler() { std::signal(SIGINT, on_interrupt); }
void install_termination_handler() { std::signal(SIGTERM, on_interrupt); }
bool wait_for_input(int) { return !interrupt_pending(); }
namespace {
// Windows runs console handlers on a thread of their own: nothing to block.
struct SignalsBlocked {};
}  // namespace
#else
namespace {

// The signals the program handles, blocked in the calling thread for the scope. A thread
// started meanwhile inherits the block, so the worker and the threads it starts never take
// them: they reach the main thread, whose waits they must end.
struct SignalsBlocked {
  sigset_t old;
  SignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &set, &old);
  }
  ~SignalsBlocked() { pthread_sigmask(SIG_SETMASK, &old, nullptr); }
};

void handle(int sig) {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read at the prompt returns with EINTR
  sigaction(sig, &action, nullptr);
  // A signal blocked by whoever started us would otherwise never arrive (one already
  // pending is delivered right here).
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, sig);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace

void install_interrupt_handler() { handle(SIGINT); }
void install_termination_handler() {
  handle(SIGTERM);
  handle(SIGHUP);
}

bool wait_for_input(int fd) {
  for (;;) {
    SignalsBlocked blocked;
    if (interrupt_pending()) return false;
    struct pollfd p {};
    p.fd = fd;
    p.events = POLLIN;
    // The old mask (the signals unblocked) only while waiting, atomically.
    const int r = ppoll(&p, 1, nullptr, &blocked.old);
    if (r >= 0) return true;
    if (errno != EINTR) return true;  // the read reports the fault
  }
}
#endif

bool interrupt_pending() { return interrupted != 0 || termination_signal != 0; }
void clear_interrupt() { interrupted = 0; }
int termination_pending() { return termination_signal; }
int interrupt_exit_status() { return 128 + (termination_signal != 0 ? termination_signal : SIGINT); }

bool take_interrupt_between_commands() {
  if (!interrupt_pending()) return false;
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  return true;
}

RunResult run_engine_command(int code, bool show_progress) {
  Settings[SET_COMMAND] = code;
  cancel_reset();

  std::mutex mutex;
  std::condition_variable finished_cv;
  bool finished = false;
  bool cancelled = false, no_memory = false;
  int result = 0;

  command_running.store(true);
  if (interrupted) cancel_requested.store(true);  // Ctrl-C just before the start
  std::thread worker;
  try {
    // Blocked for the worker; this thread takes the signals as it waits below.
    [[maybe_unused]] SignalsBlocked blocked;
    worker = std::thread([&] {
      try {
        result = execute_command();
      } catch (const CommandCancelled &) {
        cancelled = true;
      } catch (const std::bad_alloc &) {
        no_memory = true;
      }
      std::lock_guard<std::mutex> lock(mutex);
      finished = true;
      finished_cv.notify_one();
    });
  } catch (const std::system_error &) {
    // No thread (no memory for its stack, or a process limit): nothing ran.
    command_running.store(false);
    slot_copy(TextSlots[SLOT_STATUS], MSG_OUT_OF_MEMORY);
    return RUN_NO_MEMORY;
  }

  using Clock = std::chrono::steady_clock;
  Clock::time_point start = Clock::now();
  bool progress_shown = false;
  {
    std::unique_lock<std::mutex> lock(mutex);
    while (!finished) {
      finished_cv.wait_for(lock, std::chrono::milliseconds(250));
      if (finished || !show_progress) continue;
      double s = std::chrono::duration<double>(Clock::now() - start).count();
      if (s > 0.5) {
        show_progress_line(s);
        progress_shown = true;
      }
    }
  }
  worker.join();
  command_running.store(false);
  if (progress_shown) {
    fputs("\r\033[K", stderr);
    progress_line_width = 0;
    fflush(stderr);
  }

  if (cancelled) {
    slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
    mark_shadows_stale();
    cancel_reset();
    return RUN_CANCELLED;
  }
  if (no_memory) {
    slot_copy(TextSlots[SLOT_STATUS], MSG_OUT_OF_MEMORY);
    mark_shadows_stale();
    return RUN_NO_MEMORY;
  }
  return result == -1 ? RUN_REFUSED : RUN_DONE;
}
