#include "core/parallel.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// One job handed to the helper. It lives on the caller's stack until the caller has seen
// `done` (or has taken the job back before the helper started it).
struct alignas(64) Job {
  void (*fn)(void *) = nullptr;
  void *arg = nullptr;
  std::exception_ptr error;
  std::atomic<bool> done{false};
};

// Hand-over protocol: a caller claims the helper by turning `free` from true to false,
// stores its job in `posted` and wakes the helper; the helper takes the job by exchanging
// `posted` back to null (the caller takes back a job it finds still posted), runs it, sets
// `free`, and then `done` under the mutex, so a caller asleep on `finished` always wakes.
// The two atomics that the spinning threads poll sit on cache lines of their own.
struct Pool {
  alignas(64) std::atomic<Job *> posted{nullptr};
  alignas(64) std::atomic<bool> free{false};
  alignas(64) std::mutex mutex;
  std::condition_variable work, finished;
  bool wake = false;  // under the mutex: a sleeping helper should start looking for work
};

// Never destroyed: the helper thread may still wait on it while the process exits.
Pool &pool = *new Pool;
std::once_flag start_once;
std::atomic<int> state{0};  // 0 not started, 1 running, −1 could not start
thread_local bool on_helper = false;
std::atomic<bool> enabled{true};

// After a job the helper looks for the next one this long before it sleeps; a caller waits
// for the helper's job this long before it sleeps.
constexpr std::chrono::microseconds HELPER_SPIN{200};
constexpr std::chrono::microseconds CALLER_SPIN{500};

inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
  _mm_pause();
#else
  std::this_thread::yield();
#endif
}

// Polls ready() for at most `limit`; true when it became true.
template <class Ready>
bool spin(const Ready &ready, std::chrono::microseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  for (unsigned i = 1;; ++i) {
    if (ready()) return true;
    relax();
    if ((i & 63) == 0 && std::chrono::steady_clock::now() > until) return ready();
  }
}

void helper_loop() {
  on_helper = true;
  for (;;) {
    Job *job = nullptr;
    const auto take = [&] {
      if (pool.posted.load(std::memory_order_acquire) == nullptr) return false;
      job = pool.posted.exchange(nullptr, std::memory_order_acq_rel);
      return job != nullptr;
    };
    while (!spin(take, HELPER_SPIN)) {
      std::unique_lock<std::mutex> lock(pool.mutex);
      pool.work.wait(lock, [&] { return take() || pool.wake; });
      const bool woken = job == nullptr;
      pool.wake = false;
      if (!woken) break;  // a job; else back to spinning for the work announced
    }
    try {
      job->fn(job->arg);
    } catch (...) {
      job->error = std::current_exception();
    }
    pool.free.store(true, std::memory_order_release);
    {
      std::lock_guard<std::mutex> lock(pool.mutex);
      job->done.store(true, std::memory_order_release);  // the last touch of *job
    }
    pool.finished.notify_all();
  }
}

bool started() {
  const int s = state.load(std::memory_order_acquire);
  if (s != 0) return s == 1;
  std::call_once(start_once, [] {
    try {
      // Never joined: the thread waits for work until the process ends.
      std::thread(helper_loop).detach();
      pool.free.store(true, std::memory_order_release);
      state.store(1, std::memory_order_release);
    } catch (...) {
      state.store(-1, std::memory_order_release);
    }
  });
  return state.load(std::memory_order_acquire) == 1;
}

bool claim() {
  if (on_helper || !enabled.load(std::memory_order_relaxed) || !started() ||
      !pool.free.load(std::memory_order_relaxed))
    return false;
  bool expected = true;
  return pool.free.compare_exchange_strong(expected, false, std::memory_order_acquire,
                                           std::memory_order_relaxed);
}

}  // namespace

bool parallel_available() { return started(); }

bool parallel_idle() {
  // Acquire: when the helper is seen free, what its last job wrote is seen too.
  return !on_helper && enabled.load(std::memory_order_relaxed) && started() &&
         pool.free.load(std::memory_order_acquire);
}

void parallel_set_enabled(bool on) { enabled.store(on); }

int parallel_slot() { return on_helper ? 1 : 0; }

void parallel_wake() {
  if (on_helper || !enabled.load(std::memory_order_relaxed) || !started()) return;
  {
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.wake = true;
  }
  pool.work.notify_one();
}

bool run_two_if_free(void (*first)(void *), void *a, void (*second)(void *), void *b) {
  if (!claim()) return false;
  Job job;
  job.fn = second;
  job.arg = b;
  pool.posted.store(&job, std::memory_order_release);
  { std::lock_guard<std::mutex> lock(pool.mutex); }  // a helper about to sleep sees the job
  pool.work.notify_one();
  std::exception_ptr error;
  try {
    first(a);
  } catch (...) {
    error = std::current_exception();
  }
  Job *expected = &job;
  if (pool.posted.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel)) {
    // Not started yet (the helper was asleep or busy waking): done here, and the helper is
    // free for the pairs inside it.
    pool.free.store(true, std::memory_order_release);
    if (!error) {
      try {
        second(b);
      } catch (...) {
        error = std::current_exception();
      }
    }
  } else {
    const auto finished = [&] { return job.done.load(std::memory_order_acquire); };
    if (!spin(finished, CALLER_SPIN)) {
      std::unique_lock<std::mutex> lock(pool.mutex);
      pool.finished.wait(lock, finished);
    }
    if (!error) error = job.error;
  }
  if (error) std::rethrow_exception(error);
  return true;
}

void run_two(void (*first)(void *), void *a, void (*second)(void *), void *b) {
  if (run_two_if_free(first, a, second, b)) return;
  first(a);
  second(b);
}
