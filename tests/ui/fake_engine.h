// A fake engine entry for the front-end tests: the shared state arrays, the cancel flag
// and an execute_command whose behaviour each test chooses.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "core/cancel.h"
#include "engine/executor.h"
#include "engine/register_tools.h"
#include "engine/state.h"

struct FakeEngine {
  // The body of the next commands; runs on the worker thread. Default: writes
  // "result <command>" into R0 and "done" into the status line.
  std::function<void()> body;
  std::atomic<int> runs{0};
  std::atomic<int> stale_marks{0};
  std::string stale_registers;  // mark_shadow_stale(n), one digit per call (main thread)
  std::atomic<bool> entered{false};  // the body has started
  std::atomic<bool> release{false};  // lets a blocking body finish
  std::atomic<bool> wrote_after_cancel{false};
  // Inputs as execute_command saw them.
  int seen_command = 0;
  std::string seen_r0, seen_r1, seen_sig, seen_script;
  // The register tools: prepare_registers' result (−1 also writes the digits message),
  // the report compare_registers gives (with the registers asked for), how often they ran,
  // and the texts of R0..R4 as the last prepare_registers saw them.
  int prepare_result = 0;
  int prepares = 0, compares = 0;
  CompareReport compare_report;
  std::string prepared_r0, prepared_r1;

  void reset();
};

extern FakeEngine engine;

// A body that waits for `release`, checking the cancel flag like the real engine's loops.
void blocking_body();
// Waits until the body has started.
bool wait_entered(int timeout_ms);
