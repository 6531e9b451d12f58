// The shared arrays of a calculator run, one definition each (see engine/state.h and the
// ownership notes at the top of engine/executor.cpp).
#include "engine/state.h"

#include <cstring>

int32_t Settings[SETTINGS_COUNT];
char TextSlots[TEXT_SLOT_COUNT][TEXT_SLOT_BYTES];
char MemoryTexts[MEMORY_TEXT_COUNT][TEXT_SLOT_BYTES];
DecWord Registers[REGISTER_COUNT][DEC_BUF_WORDS];
char ShadowTexts[REGISTER_COUNT][TEXT_SLOT_BYTES];

void slot_copy(char *dst, const char *src) {
  if (dst == src) return;
  size_t n = strnlen(src, TEXT_SLOT_MAX_CHARS);
  memmove(dst, src, n);
  dst[n] = '\0';
}
