// The stored constants pi, e and ln 10, and their retrieval at the working precision.
//
// Each table holds 100,199 significant digits of its constant, truncated after the last
// one, in the digit-word layout of a DecNum without a head word: the value has exponent 0,
// position 0 (the top lane of the first word) is 0 and position 1 holds the units digit.
// 16,700 words carry digits (16,700 × 6 − 1 = 100,199 positions); the words after them are
// zero. The largest word_count is 16,669, so a table always covers the working precision.
//
// The digits come from functions/data/*.inc (written by tools/gen_constants.py): one C
// string literal of 100,199 decimal digits per constant. pack_digits turns a string into
// digit words during compilation, so the tables are plain read-only data and no host tool
// runs at build time (the same source builds natively and with a cross compiler). A
// character that is not a digit, or a string of another length, stops the compilation.
#include <cstring>

#include "functions/functions.h"

namespace {

constexpr int kTableDigits = CONST_TABLE_DIGITS;
constexpr int kDigitWords = 16700;
static_assert(kDigitWords * 6 - 1 == kTableDigits);
static_assert(CONST_TABLE_WORDS >= kDigitWords + 1 && CONST_TABLE_WORDS - 1 >= DEC_MAX_WORDS);

struct DigitTable {
  DecWord words[CONST_TABLE_WORDS];
};

// Digit i of the text (i = 0 is the units digit) goes to position i + 1: word (i + 1) / 6,
// lane offset 26 − 5 × ((i + 1) mod 6).
constexpr DigitTable pack_digits(const char (&text)[kTableDigits + 1]) {
  DigitTable t{};
  for (int i = 0; i < kTableDigits; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') throw "constant table: a character that is not a digit";
    const int pos = i + 1;
    t.words[pos / 6] |= static_cast<DecWord>(c - '0') << (26 - 5 * (pos % 6));
  }
  if (text[kTableDigits] != '\0') throw "constant table: text longer than the table";
  return t;
}

constexpr DigitTable kPi = pack_digits(
#include "functions/data/pi_digits.inc"
);
constexpr DigitTable kE = pack_digits(
#include "functions/data/e_digits.inc"
);
constexpr DigitTable kLn10 = pack_digits(
#include "functions/data/ln10_digits.inc"
);

static_assert(kPi.words[0] == ((3u << 21) | (1u << 16) | (4u << 11) | (1u << 6) | (5u << 1)));
static_assert(kE.words[0] == ((2u << 21) | (7u << 16) | (1u << 11) | (8u << 6) | (2u << 1)));
static_assert(kLn10.words[0] == ((2u << 21) | (3u << 16) | (0u << 11) | (2u << 6) | (5u << 1)));

int copy_constant(DecWord *out, const DecWord *table) {
  if (out == nullptr) return -1;
  out[0] = 0;
  std::memcpy(out + 1, table, sizeof(DecWord) * static_cast<size_t>(word_count));
  return 0;
}

}  // namespace

// The arrays are initialised element by element from the packed tables. The initialiser
// lists are spelled out by the expansion macros below (16,702 = 16 × 1,000 + 7 × 100 + 2);
// they are a listing device only and hold no logic.
static_assert(CONST_TABLE_WORDS == 16702, "the expansion below lists 16,702 elements");
#define DN_W1(t, i) t.words[i]
#define DN_W10(t, i)                                                                      \
  DN_W1(t, i), DN_W1(t, i + 1), DN_W1(t, i + 2), DN_W1(t, i + 3), DN_W1(t, i + 4),         \
      DN_W1(t, i + 5), DN_W1(t, i + 6), DN_W1(t, i + 7), DN_W1(t, i + 8), DN_W1(t, i + 9)
#define DN_W100(t, i)                                                                     \
  DN_W10(t, i), DN_W10(t, i + 10), DN_W10(t, i + 20), DN_W10(t, i + 30), DN_W10(t, i + 40), \
      DN_W10(t, i + 50), DN_W10(t, i + 60), DN_W10(t, i + 70), DN_W10(t, i + 80),         \
      DN_W10(t, i + 90)
#define DN_W1000(t, i)                                                                    \
  DN_W100(t, i), DN_W100(t, i + 100), DN_W100(t, i + 200), DN_W100(t, i + 300),           \
      DN_W100(t, i + 400), DN_W100(t, i + 500), DN_W100(t, i + 600), DN_W100(t, i + 700), \
      DN_W100(t, i + 800), DN_W100(t, i + 900)
#define DN_TABLE(t)                                                                       \
  DN_W1000(t, 0), DN_W1000(t, 1000), DN_W1000(t, 2000), DN_W1000(t, 3000),                \
      DN_W1000(t, 4000), DN_W1000(t, 5000), DN_W1000(t, 6000), DN_W1000(t, 7000),         \
      DN_W1000(t, 8000), DN_W1000(t, 9000), DN_W1000(t, 10000), DN_W1000(t, 11000),       \
      DN_W1000(t, 12000), DN_W1000(t, 13000), DN_W1000(t, 14000), DN_W1000(t, 15000),     \
      DN_W100(t, 16000), DN_W100(t, 16100), DN_W100(t, 16200), DN_W100(t, 16300),         \
      DN_W100(t, 16400), DN_W100(t, 16500), DN_W100(t, 16600), DN_W1(t, 16700),           \
      DN_W1(t, 16701)

const DecWord PiDigits[CONST_TABLE_WORDS] = {DN_TABLE(kPi)};
const DecWord EDigits[CONST_TABLE_WORDS] = {DN_TABLE(kE)};
const DecWord Ln10Digits[CONST_TABLE_WORDS] = {DN_TABLE(kLn10)};

#undef DN_TABLE
#undef DN_W1000
#undef DN_W100
#undef DN_W10
#undef DN_W1

int dec_pi(DecWord *out) { return copy_constant(out, PiDigits); }
int dec_e(DecWord *out) { return copy_constant(out, EDigits); }
int dec_ln10(DecWord *out) { return copy_constant(out, Ln10Digits); }
