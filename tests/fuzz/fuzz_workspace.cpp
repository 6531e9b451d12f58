// libFuzzer harness: the workspace file reader, and the writer behind it. The input is a
// workspace file. Reading it must end (bounded lines and file) with 1 or −1; after the
// start-up defaults, writing the state and reading that file back must give exactly the
// same Settings, texts and memory texts.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/state.h"
#include "engine/workspace_file.h"

namespace {

int32_t settings_before[SETTINGS_COUNT];
char texts_before[TEXT_SLOT_COUNT][TEXT_SLOT_BYTES];
char memory_before[MEMORY_TEXT_COUNT][TEXT_SLOT_BYTES];

void clear_state() {
  std::memset(Settings, 0, sizeof Settings);
  for (auto &t : TextSlots) t[0] = '\0';
  for (auto &t : MemoryTexts) t[0] = '\0';
}

// A folder of its own for the two files, removed when the fuzzer exits.
char dir_name[] = "/tmp/deepnums_fuzz_ws_XXXXXX";

void remove_work_dir() {
  std::remove((std::string(dir_name) + "/in.ini").c_str());
  std::remove((std::string(dir_name) + "/out.ini").c_str());
  rmdir(dir_name);
}

const char *work_dir() {
  static const bool made = [] {
    if (!mkdtemp(dir_name)) std::abort();
    std::atexit(remove_work_dir);
    return true;
  }();
  (void)made;
  return dir_name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string in = std::string(work_dir()) + "/in.ini", out = std::string(work_dir()) + "/out.ini";
  FILE *f = std::fopen(in.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  clear_state();
  const int r = workspace_read(in.c_str());
  if (r != 1 && r != -1) std::abort();
  workspace_apply_defaults();
  std::memcpy(settings_before, Settings, sizeof Settings);
  for (int i = 0; i < TEXT_SLOT_COUNT; ++i) std::strcpy(texts_before[i], TextSlots[i]);
  for (int i = 0; i < MEMORY_TEXT_COUNT; ++i) std::strcpy(memory_before[i], MemoryTexts[i]);

  if (!workspace_write(out.c_str())) std::abort();
  clear_state();
  if (workspace_read(out.c_str()) != 1) std::abort();
  workspace_apply_defaults();
  if (std::memcmp(settings_before, Settings, sizeof Settings) != 0) std::abort();
  for (int i = 0; i < TEXT_SLOT_COUNT; ++i) {
    if (std::strcmp(texts_before[i], TextSlots[i]) != 0) std::abort();
  }
  for (int i = 0; i < MEMORY_TEXT_COUNT; ++i) {
    if (std::strcmp(memory_before[i], MemoryTexts[i]) != 0) std::abort();
  }
  return 0;
}
