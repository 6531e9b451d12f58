// Two full-length operands for the benchmarks: every position 1 .. internal_digits − 1
// holds a digit (leading digit non-zero), a with exponent 0 and b with exponent −1, and
// room for a result and a text.
#pragma once

#include <random>
#include <vector>

#include "core/core.h"

struct Operands {
  std::vector<DecWord> a, b, out;
  std::vector<char> text;
  explicit Operands(int digits)
      : a(DEC_BUF_WORDS), b(DEC_BUF_WORDS), out(DEC_BUF_WORDS), text(TEXT_SLOT_BYTES) {
    dec_set_precision(digits);
    std::mt19937_64 rng(digits);
    fill(a.data(), rng, 0);
    fill(b.data(), rng, -1);
  }
  static void fill(DecWord *p, std::mt19937_64 &rng, int32_t exponent) {
    for (int i = 0; i <= word_count; ++i) p[i] = 0;
    for (int k = 1; k < internal_digits; ++k) dec_put_digit(p, k, (int)(k == 1 ? 1 + rng() % 9 : rng() % 10));
    dec_set_head(p, exponent * 2);
  }
};
