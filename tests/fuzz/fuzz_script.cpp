// libFuzzer harness: the script runner. The input is the script box's text; it runs as
// "Perform the following" at 12 to 40 digits from a fresh state. A watchdog cancels any
// run that lasts longer than a tenth of a second (a script may loop for as long as it
// likes), so the cancellation path is fuzzed too; either way the command must return or
// unwind with CommandCancelled, and every register text must stay a bounded C string.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "core/core.h"
#include "engine/executor.h"

namespace {

constexpr int SCRIPT_CODE = 95;

void fresh_state(const char *digits) {
  std::memset(Settings, 0, sizeof Settings);
  std::memset(TextSlots, 0, sizeof TextSlots);
  std::memset(MemoryTexts, 0, sizeof MemoryTexts);
  std::memset(ShadowTexts, 0, sizeof ShadowTexts);
  std::memset(Registers, 0, sizeof Registers);
  for (int n = 0; n <= 9; n++) slot_copy(TextSlots[n], "0");
  for (int k = 0; k < MEMORY_TEXT_COUNT; k++) slot_copy(MemoryTexts[k], "0");
  slot_copy(TextSlots[SLOT_SIG_DIGITS], digits);
  cancel_reset();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static char script[TEXT_SLOT_BYTES];
  if (size == 0) return 0;
  static const char *digits[] = {"12", "20", "30", "40"};
  fresh_state(digits[data[0] & 3]);
  const size_t len = std::min(size - 1, static_cast<size_t>(TEXT_SLOT_MAX_CHARS));
  std::memcpy(script, data + 1, len);
  script[len] = '\0';
  slot_copy(TextSlots[SLOT_SCRIPT], script);
  Settings[SET_COMMAND] = SCRIPT_CODE;

  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(m);
    if (!cv.wait_for(lock, std::chrono::milliseconds(100), [&] { return done; }))
      cancel_requested.store(true);
  });
  try {
    execute_command();
  } catch (const CommandCancelled &) {
    mark_shadows_stale();
  }
  {
    std::lock_guard<std::mutex> lock(m);
    done = true;
  }
  cv.notify_one();
  watchdog.join();
  cancel_reset();
  for (auto &slot : TextSlots) {
    if (std::memchr(slot, '\0', TEXT_SLOT_BYTES) == nullptr) std::abort();
  }
  return 0;
}
