// Square and cube roots, extracted digit by digit on an exact remainder.
//
// Neither root uses a series, a Newton step or a division: each root digit is the number
// of successful subtractions of a growing odd number (square) or of the differences of
// consecutive cubes (cube) from the remainder, so every digit is final, the result is the
// true root truncated to internal_digits − 1 significant digits, and an exact root is seen
// as a remainder equal to the subtrahend and ends the extraction.
//
// The working values are integers in the scale of the root found so far. They live in the
// core's scratch slots and are never normalised; instead each value's exponent is tied to
// the digit index i so that its units digit sits at a fixed position and its largest
// value fits below it (the leading digit may use position 0). The values grow by about one
// (R), two (T) or three (X) positions per root digit, and the word limits passed to the
// kernels and to mag_compare_shifted follow that growth, so digit i costs O(i) word
// operations. The comparisons use the core's scan index, which only moves forward during
// one extraction because the remainder only shrinks.
#include "functions/fn_internal.h"
#include "functions/roots_fast.h"

namespace {

// Word limit B for a value whose non-zero digits end at position `pos`: the kernels and
// mag_compare_shifted take the value's words 1 .. B + 1 and drop what an alignment shift
// pushes out of word B + 1, so B + 1 is the word after the one holding `pos`, as with
// dec_used_words. Capped at `words` (the value's digit words); word words + 1 must then
// read as zero.
inline int word_limit(int pos, int words) {
  const int b = pos / 6 + 1;
  return b < words ? b : words;
}

// Digit words 1 .. n that a value with non-zero digits up to position `pos` occupies.
inline int words_through(int pos, int words) {
  const int n = pos / 6 + 1;
  return n < words ? n : words;
}

}  // namespace

// √x. Working values, for root digit i = 1 .. internal_digits − 1, with r the root so far
// (i − 1 digits) and j the subtractions made for digit i:
//   T (slot 2 on, 2 × word_count + 1 digit words): y × 100^(i−1) − r², exponent 2(i − 1),
//     y = the digits of x scaled to 1 ≤ y < 100;
//   R (slot 0, word_count digit words): 20r + 2j + 1, exponent i − 1, units at position i,
//     below 10^(i+1), so it fits positions 0 .. i.
// Invariant: T ≥ 0 is exact; the digit is the largest d with (10r + d)² ≤ y × 100^(i−1).
int dec_sqrt(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_negative(x)) return fn_fail(out, NUM_ERROR);
  if (dec_is_zero(x)) {
    if (out != x) dec_zero(out);
    return 0;
  }
  // Long roots: the same words by Newton's iteration and an exact correction.
  if (fast_kernels && word_count >= ROOT_FAST_MIN_WORDS && root_fast_sqrt(out, x)) return 0;
  const int wc = word_count;
  const int last_pos = internal_digits - 1;
  const int32_t E = dec_exponent(x);
  DecWord *R = scratch_slot(0);
  DecWord *T = scratch_slot(2);
  const int tlen = 2 * wc + 1;

  // T = y with exponent 0: the digits of x, moved up one position for an odd exponent
  // (10 × mantissa, leading digit in position 0).
  T[0] = 0;
  if (E & 1) {
    for (int i = 1; i < wc; ++i) T[i] = ((x[i] & 0x3FFFFFFu) << 5) | (x[i + 1] >> 25);
    T[wc] = (x[wc] & 0x3FFFFFFu) << 5;
  } else {
    for (int i = 1; i <= wc; ++i) T[i] = x[i];
  }
  for (int i = wc + 1; i <= tlen; ++i) T[i] = 0;

  dec_zero(R);
  R[wc + 1] = 0;  // read as R's extra word (at 100,000 digits the head of slot 1, unused here)
  DecWord *one = short_operand(0);
  DecWord *two = short_operand(1);
  short_build(one, 1, 0);
  short_build(two, 2, 0);
  dec_zero(out);  // x is no longer read
  scan_index = 0;

  ProgressLoop progress;
  for (int i = 1; i <= last_pos; ++i) {
    cancel_check();
    progress.set(i, last_pos);
    const int rb = word_limit(i, wc);  // R's units digit is at position i
    mag_add_shifted(R, R, one, wc - 1, 1);
    int digit = 0;
    bool exact = false;
    for (int j = 0;; ++j) {
      const int c = mag_compare_shifted(T, R, LEN_DOUBLE, rb);
      if (c < 0) {
        digit = j;
        mag_sub_shifted(R, R, one, wc - 1, 1);
        break;
      }
      if (c == 0) {
        digit = j + 1;
        exact = true;
        break;
      }
      mag_sub_shifted(T, T, R, LEN_DOUBLE, rb);
      if (j == 8) {
        digit = 9;
        mag_add_shifted(R, R, one, wc - 1, 1);
        break;
      }
      mag_add_shifted(R, R, two, wc - 1, 1);
    }
    dec_put_digit(out, i, digit);
    if (exact) break;
    T[0] += 4;  // T × 100: the next two digits come down
    R[0] += 2;  // R = 2 × root → 20 × root
  }
  dec_set_head(out, E & ~1);  // exponent floor(E / 2), positive
  return 0;
}

// ∛x. With s = E − 3 floor(E / 3) and y = |x| scaled to 1 ≤ y < 1000, for root digit
// i = 1 .. internal_digits − 1, r the root so far and b = 10r + j the candidate:
//   X (slot 5 on, 3 × word_count + 2 digit words): y × 1000^(i−1) − r³, exponent
//     s + 3(i − 1) + 1 (x's digits start one position down, leaving position 1 free);
//   T (slot 2 on, 2 × word_count + 1 digit words): (b + 1)³ − b³ = 3b² + 3b + 1, exponent
//     2i − 1, units at position 2i, below 3 × 10^(2i);
//   R (slot 0, word_count digit words): 6b, exponent i − 1, units at position i;
//   Y (slot 4, word_count digit words): 5 × 6a and then 55 × 6a while the values for the
//     next digit are prepared from a = 10r + d.
// Preparing digit i + 1: T = 100 (3a² − 3a + 1) + 330a − 99 = 300a² + 30a + 1 and
// R = 60a, exactly as (10a + 1)³ − (10a)³ and 6 × 10a require.
int dec_cbrt(DecWord *out, const DecWord *x) {
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) {
    if (out != x) dec_zero(out);
    return 0;
  }
  if (fast_kernels && word_count >= ROOT_FAST_MIN_WORDS && root_fast_cbrt(out, x)) return 0;
  const int wc = word_count;
  const int last_pos = internal_digits - 1;
  const int32_t E = dec_exponent(x);
  const int32_t q = E >= 0 ? E / 3 : -((-E + 2) / 3);
  const int32_t s = E - 3 * q;
  const DecWord sign = x[0] & 1u;

  DecWord *R = scratch_slot(0);
  DecWord *T = scratch_slot(2);
  DecWord *Y = scratch_slot(4);
  DecWord *X = scratch_slot(5);
  const int tlen = 2 * wc + 1;
  const int xlen = 3 * wc + 2;

  // X = y, its digits one position down (exponent s + 1).
  X[0] = (DecWord)(2 * (s + 1));
  X[1] = x[1] >> 5;
  for (int i = 2; i <= wc; ++i) X[i] = (x[i] >> 5) | ((x[i - 1] & 0x3Fu) << 25);
  X[wc + 1] = (x[wc] & 0x3Fu) << 25;
  for (int i = wc + 2; i <= xlen; ++i) X[i] = 0;
  // T = 1 with exponent 1: the digit 1 in position 2.
  T[0] = 2;
  T[1] = 1u << pos_shift(2);
  for (int i = 2; i <= tlen; ++i) T[i] = 0;
  dec_zero(R);
  R[wc + 1] = 0;  // R's extra word (at 100,000 digits the head of slot 1, unused here)
  dec_zero(Y);
  // Y's extra word is the head of X at 100,000 digits: it is cleared only while T + Y runs.
  DecWord *const y_extra = Y + wc + 1;
  DecWord *n99 = short_operand(0);
  DecWord *six = short_operand(1);
  short_build(n99, 99, 0);
  short_build(six, 6, 0);
  dec_zero(out);
  scan_index = 0;

  ProgressLoop progress;
  for (int i = 1; i <= last_pos; ++i) {
    cancel_check();
    progress.set(i, last_pos);
    const int rb = word_limit(i, wc);          // R: units at position i
    const int tb = word_limit(2 * i, tlen - 1);  // T: units at position 2i, word 2wc + 1 zero
    int digit = 0;
    bool exact = false;
    for (int j = 0;; ++j) {
      const int c = mag_compare_shifted(X, T, LEN_TRIPLE, tb);
      if (c < 0) {
        digit = j;
        mag_sub_shifted(T, T, R, LEN_DOUBLE, rb);
        break;
      }
      if (c == 0) {
        digit = j + 1;
        exact = true;
        break;
      }
      mag_sub_shifted(X, X, T, LEN_TRIPLE, tb);
      mag_add_shifted(R, R, six, wc - 1, 1);
      if (j == 8) {
        digit = 9;
        break;
      }
      mag_add_shifted(T, T, R, LEN_DOUBLE, rb);
    }
    dec_put_digit(out, i, digit);
    if (exact || i == last_pos) break;
    X[0] += 6;  // X × 1000: the next three digits come down

    // Here R = 6a (exponent i − 1) and T = 3a² − 3a + 1 (exponent 2i − 1).
    // Y = 5R with exponent i (units at position i + 1); only the words it can reach
    // (and those the previous digit's Y used) are cleared.
    const int ywords = words_through(i + 1, wc);
    Y[0] = (DecWord)(2 * i);
    for (int w = 1; w <= ywords; ++w) Y[w] = 0;
    const int yb = word_limit(i + 1, wc);
    mag_add_shifted(Y, Y, R, wc - 1, rb);  // R
    mag_add_shifted(Y, Y, Y, wc - 1, yb);  // 2R
    mag_add_shifted(Y, Y, Y, wc - 1, yb);  // 4R
    mag_add_shifted(Y, Y, R, wc - 1, rb);  // 5R = 30a
    R[0] = Y[0];
    for (int w = 1; w <= ywords; ++w) R[w] = Y[w];  // R = 30a, exponent i
    Y[0] += 2;                                      // 300a, exponent i + 1
    mag_add_shifted(Y, Y, R, wc - 1, yb);           // 330a (its units digit is 0)
    T[0] += 4;                                      // 300a² − 300a + 100, exponent 2i + 1
    const DecWord saved_extra = *y_extra;
    *y_extra = 0;
    mag_add_shifted(T, T, Y, LEN_DOUBLE, yb);
    *y_extra = saved_extra;
    mag_sub_shifted(T, T, n99, LEN_DOUBLE, 1);      // 300a² + 30a + 1
    mag_add_shifted(R, R, R, wc - 1, yb);           // R = 60a, exponent i
  }
  dec_set_head(out, (int32_t)(2 * q) | (int32_t)sign);
  return 0;
}
