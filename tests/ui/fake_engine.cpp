// The fake engine: definitions of the shared state and a controllable execute_command.
#include "tests/ui/fake_engine.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "engine/command_table.h"

int32_t Settings[SETTINGS_COUNT];
char TextSlots[TEXT_SLOT_COUNT][TEXT_SLOT_BYTES];
char MemoryTexts[MEMORY_TEXT_COUNT][TEXT_SLOT_BYTES];

std::atomic<bool> cancel_requested{false};
std::atomic<int> progress_pos{0};
std::atomic<int> progress_len{0};
std::atomic<long long> progress_work_since{0};

FakeEngine engine;

// A small catalogue beyond the buttons, for the list of functions (ui/function_list.h).
const CommandDef CommandTable[] = {
    {200, CMD_CONSTANT, "euler", "", "Euler's constant", nullptr, nullptr, nullptr, nullptr},
    {210, CMD_UNARY, "gamma", "", "gamma function", nullptr, nullptr, nullptr, nullptr},
    {220, CMD_BINARY, "agm", "", "arithmetic-geometric mean", nullptr, nullptr, nullptr, nullptr},
};
const int CommandTableCount = static_cast<int>(sizeof CommandTable / sizeof CommandTable[0]);

void slot_copy(char *dst, const char *src) {
  const size_t n = strnlen(src, TEXT_SLOT_BYTES - 1);
  std::memmove(dst, src, n);
  dst[n] = '\0';
}

void throw_cancelled() { throw CommandCancelled{}; }

void cancel_reset() {
  cancel_requested.store(false);
  progress_pos.store(0);
  progress_len.store(0);
  progress_work_since.store(0);
}

void FakeEngine::reset() {
  body = nullptr;
  runs = 0;
  stale_marks = 0;
  stale_registers.clear();
  entered = false;
  release = false;
  wrote_after_cancel = false;
  seen_command = 0;
  seen_r0.clear();
  seen_r1.clear();
  seen_sig.clear();
  seen_script.clear();
  prepare_result = 0;
  prepares = compares = 0;
  compare_report = CompareReport{};
  prepared_r0.clear();
  prepared_r1.clear();
}

int prepare_registers() {
  ++engine.prepares;
  engine.prepared_r0 = TextSlots[SLOT_R0];
  engine.prepared_r1 = TextSlots[SLOT_R1];
  TextSlots[SLOT_STATUS][0] = '\0';
  if (engine.prepare_result != 0) slot_copy(TextSlots[SLOT_STATUS], "Invalid number of Significant digit");
  return engine.prepare_result;
}

int compare_registers(int a, int b, CompareReport *report) {
  ++engine.compares;
  *report = engine.compare_report;
  report->a = a;
  report->b = b;
  return 0;
}

// The fake's plain form: the register's text without blanks and line breaks.
int register_plain_text(int n, char *out) {
  std::string plain;
  for (const char *p = n < 5 ? TextSlots[n] : MemoryTexts[n - 5]; *p; ++p)
    if (*p != ' ' && *p != '\r' && *p != '\n') plain += *p;
  slot_copy(out, plain.c_str());
  return 0;
}

void register_file_comment(int n, char *buf, size_t size) { std::snprintf(buf, size, "fake R%d", n); }

int execute_command() {
  ++engine.runs;
  engine.seen_command = Settings[SET_COMMAND];
  engine.seen_r0 = TextSlots[SLOT_R0];
  engine.seen_r1 = TextSlots[SLOT_R1];
  engine.seen_sig = TextSlots[SLOT_SIG_DIGITS];
  engine.seen_script = TextSlots[SLOT_SCRIPT];
  TextSlots[SLOT_STATUS][0] = '\0';
  engine.entered = true;
  if (engine.body) {
    engine.body();
  } else {
    std::string r0 = "result " + std::to_string(Settings[SET_COMMAND]) + "\r\n";
    slot_copy(TextSlots[SLOT_R0], r0.c_str());
    slot_copy(TextSlots[SLOT_STATUS], "done");
  }
  return 0;
}

void mark_shadows_stale() { ++engine.stale_marks; }
const char MSG_OUT_OF_MEMORY[] = "Not enough memory for this operation";

void mark_shadow_stale(int n) { engine.stale_registers += std::to_string(n); }

void blocking_body() {
  while (!engine.release.load()) {
    cancel_check();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // Only a body that was not cancelled reaches this point.
  if (cancel_requested.load()) engine.wrote_after_cancel = true;
}

bool wait_entered(int timeout_ms) {
  for (int i = 0; i < timeout_ms; ++i) {
    if (engine.entered.load()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return engine.entered.load();
}
