// Helpers for the core tests: numbers from texts, exact GMP models of a DecNum, and
// structured random operands (runs of 0s and 9s, short operands, all alignments).
#pragma once

#include <gmp.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/core.h"

namespace testutil {

// A DecNum buffer of full size with guard words after it, filled with an invalid lane
// pattern; guards_intact() then tells whether anything wrote past the buffer.
struct Num {
  static constexpr int GUARD = 8;
  static constexpr DecWord GUARD_PATTERN = 0xFFFFFFFF;
  std::vector<DecWord> words;
  Num() : words(DEC_BUF_WORDS * 3 + GUARD, 0) {
    for (int i = 0; i < GUARD; ++i) words[DEC_BUF_WORDS * 3 + i] = GUARD_PATTERN;
  }
  explicit Num(const char *text) : Num() { dec_from_text(p(), text); }
  DecWord *p() { return words.data(); }
  const DecWord *p() const { return words.data(); }
  operator DecWord *() { return p(); }
  bool guards_intact() const {
    for (int i = 0; i < GUARD; ++i)
      if (words[DEC_BUF_WORDS * 3 + i] != GUARD_PATTERN) return false;
    return true;
  }
};

// The text as the current display flags make it, without the final CR LF.
inline std::string display(DecWord *p) {
  static char buf[TEXT_SLOT_BYTES];
  dec_to_text(p, buf);
  std::string s(buf);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

// The text rounded to sig_digits without blanks or line breaks.
inline std::string show(DecWord *p) {
  int l = line_digits, g = group_digits;
  line_digits = group_digits = 0;
  std::string s = display(p);
  line_digits = l;
  group_digits = g;
  return s;
}

// Text with every internal digit, no grouping: a precise picture of the words.
inline std::string bare(DecWord *p) {
  int b = bare_digits;
  bare_digits = 1;
  std::string s = show(p);
  bare_digits = b;
  return s;
}

inline std::string words_hex(const DecWord *p, int n) {
  std::string s;
  char buf[16];
  for (int i = 0; i <= n; ++i) {
    std::snprintf(buf, sizeof buf, "%08x ", p[i]);
    s += buf;
  }
  return s;
}

inline bool same_words(const DecWord *a, const DecWord *b) {
  return std::memcmp(a, b, sizeof(DecWord) * (size_t)(word_count + 1)) == 0;
}

// The digits at positions 0 .. P (P = internal_digits − 1) as one integer,
// position P being the units.
inline void positions_to_mpz(mpz_t out, const DecWord *p, int P) {
  std::string s;
  s.reserve((size_t)P + 1);
  for (int k = 0; k <= P; ++k) s.push_back((char)('0' + dec_digit_at(p, k)));
  mpz_set_str(out, s.c_str(), 10);
}

// Writes the integer v (0 ≤ v < 10^(P+1)) into positions 0 .. P of p's digit words.
inline void mpz_to_positions(DecWord *p, const mpz_t v, int P) {
  char *str = mpz_get_str(nullptr, 10, v);
  int len = (int)std::strlen(str);
  for (int i = 1; i <= word_count; ++i) p[i] = 0;
  for (int i = 0; i < len; ++i) {
    int pos = P - (len - 1 - i);
    if (pos >= 0) dec_put_digit(p, pos, str[i] - '0');
  }
  void (*freefunc)(void *, size_t);
  mp_get_memory_functions(nullptr, nullptr, &freefunc);
  freefunc(str, std::strlen(str) + 1);
}

// A random normalised number with the given number of significant digits (at most
// internal_digits − 1) and exponent, with structured digit runs.
inline void random_number(DecWord *p, std::mt19937_64 &rng, int digits, int32_t exponent,
                          int sign) {
  for (int i = 0; i <= word_count; ++i) p[i] = 0;
  const int P = internal_digits - 1;
  if (digits > P) digits = P;
  int style = (int)(rng() % 4);
  for (int k = 1; k <= digits; ++k) {
    int d;
    switch (style) {
      case 0: d = (int)(rng() % 10); break;                      // uniform
      case 1: d = (rng() % 8) ? 9 : (int)(rng() % 10); break;    // mostly nines
      case 2: d = (rng() % 8) ? 0 : (int)(rng() % 10); break;    // mostly zeros
      default: d = (rng() % 2) ? 9 : 0; break;                   // runs of 0 and 9
    }
    if (k == 1 && d == 0) d = 1 + (int)(rng() % 9);
    if (k == digits && d == 0) d = 1 + (int)(rng() % 9);
    dec_put_digit(p, k, d);
  }
  dec_set_head(p, exponent * 2 + sign);
}

inline int random_length(std::mt19937_64 &rng) {
  const int P = internal_digits - 1;
  switch (rng() % 4) {
    case 0: return 1 + (int)(rng() % 12);  // short operand
    case 1: return P;                       // full length
    case 2: return P - (int)(rng() % 7);    // nearly full
    default: return 1 + (int)(rng() % P);
  }
}

}  // namespace testutil
