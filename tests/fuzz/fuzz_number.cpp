// libFuzzer harness: the number reader and writer. The first byte picks the precision and
// the display flags, the rest is a register text. Whatever the text, reading it must give
// a valid number or a marker; a number written with every internal digit must read back
// as exactly the same number, and a rounded text must be a fixed point (written again
// after reading it, it does not change).
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/core.h"

namespace {

DecWord first[DEC_BUF_WORDS], second[DEC_BUF_WORDS];
char input[TEXT_SLOT_BYTES], text[TEXT_SLOT_BYTES], again[TEXT_SLOT_BYTES];

bool same_number(const DecWord *a, const DecWord *b) {
  return dec_head(a) == dec_head(b) &&
         std::memcmp(a + 1, b + 1, sizeof(DecWord) * static_cast<size_t>(word_count)) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  const size_t len = std::min(size - 1, static_cast<size_t>(TEXT_SLOT_BYTES - 1));
  std::memcpy(input, data + 1, len);
  input[len] = '\0';

  static const int precisions[] = {12, 13, 20, 30, 50, 100, 200, 1000};
  dec_set_precision(precisions[mode & 7]);
  group_digits = (mode >> 3) & 1;
  line_digits = (mode >> 4) & 1;

  if (dec_from_text(first, input) != 0) {
    if (!dec_is_marker(first)) std::abort();  // a failed read leaves a marker
    return 0;
  }
  if (dec_check_valid(first) != 0) std::abort();

  bare_digits = 1;
  if (dec_to_text(first, text) == 0) {
    if (dec_from_text(second, text) != 0 || !same_number(first, second)) std::abort();
  }
  bare_digits = 0;
  if (dec_to_text(first, text) == 0) {
    if (dec_from_text(second, text) != 0) std::abort();
    if (dec_to_text(second, again) != 0 || std::strcmp(text, again) != 0) std::abort();
  }
  return 0;
}
