// The register store's operations. Each moves or sets a register's number, its text and
// its shadow together, so that "text equals shadow" keeps meaning "the number is the one
// the text shows" (see the change detection in executor.cpp).
#include <cstring>

#include "core/core.h"
#include "engine/executor.h"

namespace {

constexpr int MEMORY_DISPLAY_CHARS = 50;  // the painted copy of R5..R9

bool register_index_ok(int n) { return n >= 0 && n < REGISTER_COUNT; }
bool memory_index_ok(int n) { return n >= 5 && n <= 9; }

void set_text(char *dst, const char *text) { slot_copy(dst, text); }

}  // namespace

int register_copy(int dst, int src) {
  if (!register_index_ok(dst) || !register_index_ok(src)) return -1;
  if (dst == src) return 0;
  dec_copy_guarded(Registers[dst], Registers[src]);
  slot_copy(TextSlots[dst], TextSlots[src]);
  slot_copy(ShadowTexts[dst], ShadowTexts[src]);
  return 0;
}

int register_clear(int n) {
  if (!register_index_ok(n)) return -1;
  set_text(TextSlots[n], "0");
  set_text(ShadowTexts[n], "0");
  dec_zero(Registers[n]);
  if (memory_index_ok(n)) set_text(MemoryTexts[n - 5], "0");
  return 0;
}

int register_show(int n) {
  if (!register_index_ok(n)) return -1;
  // Formatted into the shadow first and copied to the text afterwards: a command cancelled
  // inside the formatter then leaves the visible text whole (the shadows are marked stale
  // after a cancel anyway).
  dec_to_text(Registers[n], ShadowTexts[n]);
  slot_copy(TextSlots[n], ShadowTexts[n]);
  return 0;
}

int stack_lift() {
  for (int n = 4; n >= 1; n--) register_copy(n, n - 1);
  register_clear(0);
  return 0;
}

int stack_drop() {
  for (int n = 0; n <= 3; n++) register_copy(n, n + 1);
  register_clear(4);
  return 0;
}

int memory_store(int n) {
  if (!memory_index_ok(n)) return -1;
  slot_copy(MemoryTexts[n - 5], TextSlots[0]);
  register_copy(n, 0);
  TextSlots[n][MEMORY_DISPLAY_CHARS] = '\0';
  ShadowTexts[n][MEMORY_DISPLAY_CHARS] = '\0';
  stack_drop();
  return 0;
}

int memory_recall(int n) {
  if (!memory_index_ok(n)) return -1;
  stack_lift();
  register_copy(0, n);
  slot_copy(TextSlots[0], MemoryTexts[n - 5]);
  slot_copy(ShadowTexts[0], MemoryTexts[n - 5]);
  return 0;
}
