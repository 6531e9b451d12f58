#include "core/parallel.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/cancel.h"

namespace {

struct Helper {
  std::mutex mutex;
  std::condition_variable wake, done;
  void (*job)(void *) = nullptr;
  void *arg = nullptr;
  bool busy = false;       // a job is posted and not finished
  bool cancelled = false;  // the last job ended by CommandCancelled
};

// Never destroyed: the helper thread may still wait on it while the process exits.
Helper &helper = *new Helper;
int helper_state = 0;  // 0 not started, 1 running, −1 could not start

void helper_loop() {
  std::unique_lock<std::mutex> lock(helper.mutex);
  for (;;) {
    helper.wake.wait(lock, [] { return helper.busy; });
    void (*job)(void *) = helper.job;
    void *arg = helper.arg;
    lock.unlock();
    bool cancelled = false;
    try {
      job(arg);
    } catch (const CommandCancelled &) {
      cancelled = true;
    }
    lock.lock();
    helper.cancelled = cancelled;
    helper.busy = false;
    helper.done.notify_one();
  }
}

bool start_helper() {
  if (helper_state == 0) {
    try {
      // Never joined: the thread waits for work until the process ends.
      std::thread(helper_loop).detach();
      helper_state = 1;
    } catch (...) {
      helper_state = -1;
    }
  }
  return helper_state == 1;
}

}  // namespace

bool parallel_available() { return start_helper(); }

void run_two(void (*first)(void *), void *a, void (*second)(void *), void *b) {
  if (!start_helper()) {
    first(a);
    second(b);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(helper.mutex);
    helper.job = second;
    helper.arg = b;
    helper.busy = true;
  }
  helper.wake.notify_one();
  bool cancelled = false;
  try {
    first(a);
  } catch (const CommandCancelled &) {
    cancelled = true;
  }
  std::unique_lock<std::mutex> lock(helper.mutex);
  helper.done.wait(lock, [] { return !helper.busy; });
  if (cancelled || helper.cancelled) throw_cancelled();
}
