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
#include <thread>

#include "core/cancel.h"
#include "engine/executor.h"

namespace {

std::atomic<bool> command_running{false};
volatile std::sig_atomic_t interrupted = 0;

void on_interrupt(int) {
  interrupted = 1;
  if (command_running.load()) cancel_requested.store(true);
}

void show_progress_line(double seconds) {
  int len = progress_len.load(std::memory_order_relaxed);
  int pos = progress_pos.load(std::memory_order_relaxed);
  if (len > 0 && pos >= 0 && pos <= len) {
    fprintf(stderr, "\r%.1f s  %3d%%  (Ctrl-C cancels)", seconds,
            (int)((double)pos * 100.0 / (double)len));
  } else {
    fprintf(stderr, "\r%.1f s  (Ctrl-C cancels)", seconds);
  }
  fflush(stderr);
}

}  // namespace

#ifdef _WIN32
void install_interrupt_handler() { std::signal(SIGINT, on_interrupt); }
#else
void install_interrupt_handler() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read at the prompt returns with EINTR
  sigaction(SIGINT, &action, nullptr);
}
#endif

bool interrupt_pending() { return interrupted != 0; }
void clear_interrupt() { interrupted = 0; }

RunResult run_engine_command(int code, bool show_progress) {
  Settings[SET_COMMAND] = code;
  cancel_reset();

  std::mutex mutex;
  std::condition_variable finished_cv;
  bool finished = false;
  bool cancelled = false;
  int result = 0;

  command_running.store(true);
  if (interrupted) cancel_requested.store(true);  // Ctrl-C just before the start
  std::thread worker([&] {
    try {
      result = execute_command();
    } catch (const CommandCancelled &) {
      cancelled = true;
    }
    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    finished_cv.notify_one();
  });

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
    fflush(stderr);
  }

  if (cancelled) {
    slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
    mark_shadows_stale();
    cancel_reset();
    return RUN_CANCELLED;
  }
  return result == -1 ? RUN_REFUSED : RUN_DONE;
}
