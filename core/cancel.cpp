#include "core/cancel.h"

std::atomic<bool> cancel_requested{false};
std::atomic<int> progress_pos{0};
std::atomic<int> progress_len{0};
std::atomic<long long> progress_work_since{0};
int progress_depth = 0;  // the worker's own: only the running command touches it

void throw_cancelled() { throw CommandCancelled{}; }

void cancel_reset() {
  cancel_requested.store(false);
  progress_pos.store(0);
  progress_len.store(0);
  progress_work_since.store(0);
  progress_depth = 0;
}
