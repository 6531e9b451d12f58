// Cooperative cancellation and progress of the one running command.
//
// The front end raises cancel_requested from its own thread; the worker polls it with
// cancel_check() in every long loop (multiplier digits, quotient digits, root digits,
// series terms, powering and factorial steps, script repetitions, text conversion).
// When the flag is set the check throws CommandCancelled, which unwinds the whole command;
// only the worker's body and the command-line front end catch it. The engine holds no
// resources, so nothing leaks.
//
// Progress: the outermost long loop that knows its length publishes (position, length)
// through two atomics; a front end may poll them from another thread. A loop opens a
// ProgressLoop and reports through it; loops inside it (the products and quotients of a
// series term) then stay silent, so the figure follows the command's own loop. A loop
// whose position measures the work done (not merely its steps) also says when that work
// started, so that the front ends can show the time left.
#pragma once

#include <atomic>
#include <chrono>

struct CommandCancelled {};

extern std::atomic<bool> cancel_requested;
extern std::atomic<int> progress_pos;
extern std::atomic<int> progress_len;

[[noreturn]] void throw_cancelled();

inline void cancel_check() {
  if (cancel_requested.load(std::memory_order_relaxed)) throw_cancelled();
}

inline void progress_set(int pos, int len) {
  progress_pos.store(pos, std::memory_order_relaxed);
  progress_len.store(len, std::memory_order_relaxed);
}

// Set when a loop whose position grows in proportion to the work done starts that work:
// the steady clock in nanoseconds (never 0), 0 while no such loop runs. From it and the
// position a front end extrapolates the time left (engine/progress_text.h).
extern std::atomic<long long> progress_work_since;

inline long long progress_clock_ns() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Long loops open inside one another; the outermost one publishes.
extern int progress_depth;

class ProgressLoop {
 public:
  ProgressLoop() : outermost_(progress_depth++ == 0) {}
  ~ProgressLoop() { --progress_depth; }
  ProgressLoop(const ProgressLoop &) = delete;
  ProgressLoop &operator=(const ProgressLoop &) = delete;
  void set(int pos, int len) const {
    if (outermost_) progress_set(pos, len);
  }
  // The positions published from now on measure the work done, which starts now (again,
  // when called a second time: the time left is then that of the new run of the loop).
  void work_starts() const {
    if (!outermost_) return;
    const long long now = progress_clock_ns();
    progress_work_since.store(now != 0 ? now : 1, std::memory_order_relaxed);
  }

 private:
  bool outermost_;
};

// Clears the flag and the progress figures; called before a command starts.
void cancel_reset();
