// Decimal long division and integer division with remainder.
//
// The running remainder R keeps one exponent for the whole division while its leading
// words become zero; the divisor D (and its multiples 2D..9D in ScratchNums slots 2..9)
// takes R's head at the start and moves one decimal place down after every quotient digit.
// A digit is found by bisection over the multiples (at most four comparisons), or by
// repeated subtraction with compact_memory. A comparison that finds R equal to a multiple
// ends the division: the quotient is exact. Only D's words 1 .. B + 1 are ever read, so D
// may be a short buffer (a head and two or three digit words).
//
// The scan index counts R's leading words known to be zero; R only shrinks during one
// division, so a word once found zero stays zero and later comparisons skip it.
#include "core/div.h"

#include "core/addsub.h"
#include "core/cancel.h"
#include "core/div_fast.h"
#include "core/mul.h"

namespace {

DecWord *table_slot(int k) { return ScratchNums[k]; }
void lower_exponent(DecWord *x) { dec_set_head(x, dec_head(x) - 2); }
void lower_table(DecWord *D) {
  lower_exponent(D);
  for (int k = 2; k <= 9; ++k) lower_exponent(table_slot(k));
}

int region_last_word(int A) { return A == 0 ? word_count : kernel_last_word(A); }

// Slots 2..9 = 2D..9D over D's words 1 .. B + 1; the slots' later words are cleared, so
// nothing of D beyond word B + 1 is read.
void build_divisor_table(const DecWord *D, int B) {
  const int n = B + 1;
  for (int k = 2; k <= 9; ++k) {
    DecWord *slot = table_slot(k);
    const DecWord *prev = k == 2 ? D : table_slot(k - 1);
    DecWord carry = 0;
    for (int j = n; j >= 1; --j) slot[j] = lane_add(prev[j], D[j], carry, &carry);
    for (int j = n + 1; j <= word_count; ++j) slot[j] = 0;
    slot[0] = D[0];
  }
}

void store_digit(DecWord *Q, int pos, int digit) { dec_put_digit(Q, pos, digit); }

// Chooses the quotient digit by bisection; returns the digit, *exact set on equality.
int bisect_digit(const DecWord *R, const DecWord *D, int B, bool *exact) {
  auto cmp = [&](int k) { return mag_compare_shifted(R, k == 1 ? D : table_slot(k), 0, B); };
  auto pick = [&](int k_low, int k_high) {
    // R lies between k_low × D and (k_low + 2) × D: compare with the middle multiple.
    int c = cmp(k_high);
    if (c == 0) {
      *exact = true;
      return k_high;
    }
    return c < 0 ? k_low : k_high;
  };
  *exact = false;
  int c = cmp(4);
  if (c == 0) return *exact = true, 4;
  if (c < 0) {
    c = cmp(2);
    if (c == 0) return *exact = true, 2;
    return c < 0 ? pick(0, 1) : pick(2, 3);
  }
  c = cmp(8);
  if (c == 0) return *exact = true, 8;
  if (c < 0) {
    c = cmp(6);
    if (c == 0) return *exact = true, 6;
    return c < 0 ? pick(4, 5) : pick(6, 7);
  }
  return pick(8, 9);
}

}  // namespace

int mag_compare_shifted(const DecWord *R, const DecWord *D, int A, int B) {
  const int32_t er = dec_exponent(R), ed = dec_exponent(D);
  if (er < ed) return -1;
  const int64_t d = (int64_t)er - ed;
  const int64_t e64 = d / 6;
  const int s = (int)(d % 6) * 5;
  const int last = region_last_word(A);
  int z = scan_index;
  while (z < e64 && z < last) {  // past the region's end, the loops below decide
    if (R[z + 1] != 0) return 1;
    scan_index = ++z;
  }
  if (z > e64) return -1;
  const int e = (int)e64;
  const int aligned_count = B + 1 + (s != 0 ? 1 : 0);
  // Aligned word k of D: D's words 1 .. B + 1 shifted right by s bits, then the low digits
  // of word B + 1 as a final word.
  auto aligned_word = [&](int k) -> DecWord {
    if (s == 0) return D[k];
    if (k > B + 1) return (D[B + 1] << (30 - s)) & 0x7FFFFFFF;
    DecWord dw = D[k] >> s;
    if (k >= 2) dw |= (D[k - 1] << (30 - s)) & 0x7FFFFFFF;
    return dw;
  };
  int k = 1;
  for (; k <= aligned_count; ++k) {
    const int j = e + k;
    if (j > last) break;
    const DecWord dw = aligned_word(k);
    if (R[j] != dw) return R[j] > dw ? 1 : -1;
  }
  if (k <= aligned_count) {
    // R's region ended first. D reaches further when more than one aligned word is left
    // and one of them holds a digit; a single left-over word is ignored. Left-over words
    // that are all zero add nothing to D, so R and D are equal: without this an exact
    // quotient ending in the region's last words (12345678901234 / 1 at 12 digits) was
    // missed and came out one unit low with a tail of nines.
    if (aligned_count - k + 1 > 1)
      for (; k <= aligned_count; ++k)
        if (aligned_word(k) != 0) return -1;
    return 0;
  }
  for (int j = e + k; j <= last; ++j)
    if (R[j] != 0) return 1;
  return 0;
}

int div_kernel(DecWord *Q, DecWord *R, DecWord *D, int B, int limit) {
  scan_index = 0;
  const int count = limit != 0 ? limit : internal_digits;
  D[0] = R[0];
  bool exact = false;
  int n;
  ProgressLoop progress;
  progress.set(0, count);

  if (!compact_memory) {
    // The multiples take D's head when built, so building them after D has moved is the
    // same as moving them with it.
    int c = mag_compare_shifted(R, D, 0, B);
    if (c < 0) {
      dec_shift_left_digit(R);
      lower_exponent(Q);
      lower_exponent(D);
      n = (limit != 0 && !hipr_mode) ? count - 1 : count;
    } else {
      n = count;
    }
    if (n - 1 > internal_digits - 1) return -1;  // quotient digits beyond the last word
    int first = 1;
    if (fast_kernels && !hipr_mode && limit == 0) {
      if (B >= DIV_FAST_MIN_WORDS) {
        first += div_fast_prefix(Q, R, D);
      } else if (B <= 2) {
        first += div_short_prefix(Q, R, D, B, &exact);
        if (exact) n = first;  // the remainder is zero: every later digit is zero
      }
      scan_index = 0;
    }
    build_divisor_table(D, B);
    for (int i = first; i <= n - 1; ++i) {
      if ((i & 7) == 0) {
        cancel_check();
        progress.set(i, n);
      }
      int k = bisect_digit(R, D, B, &exact);
      store_digit(Q, i, k);
      if (exact) break;
      if (k >= 1) mag_sub_shifted(R, R, k == 1 ? D : table_slot(k), B, B);
      if (hipr_mode) dec_normalise(R);
      lower_table(D);
    }
  } else {
    int c = mag_compare_shifted(R, D, 0, B);
    int k;
    if (c == 0 && !hipr_mode) {
      store_digit(Q, 1, 1);
      exact = true;
      n = 0;
      k = 0;
    } else if (c < 0) {
      dec_shift_left_digit(R);
      lower_exponent(Q);
      lower_exponent(D);
      k = 0;
      n = (limit != 0 && !hipr_mode) ? count - 1 : count;
    } else if (!hipr_mode) {
      mag_sub_shifted(R, R, D, word_count - 1, B);
      k = 1;
      n = count;
    } else {
      k = 0;  // the alternative working finds the first digit inside the loop
      n = count;
    }
    if (n - 1 > internal_digits - 1) return -1;
    const int sub_limit = hipr_mode ? B : word_count - 1;
    for (int i = 1; i <= n - 1 && !exact; ++i) {
      if ((i & 7) == 0) {
        cancel_check();
        progress.set(i, n);
      }
      while (k < 9) {
        c = mag_compare_shifted(R, D, 0, B);
        if (c <= 0) break;
        mag_sub_shifted(R, R, D, sub_limit, B);
        ++k;
      }
      if (k < 9 && c == 0) {
        store_digit(Q, i, k + 1);
        exact = true;
        break;
      }
      store_digit(Q, i, k);
      if (hipr_mode) dec_normalise(R);
      lower_exponent(D);
      k = 0;
    }
  }
  if (Q[1] == 0) dec_set_head(Q, 0);
  if (limit > 0 && exact) dec_zero(R);
  return 0;
}

int dec_div(DecWord *out, const DecWord *a, const DecWord *b) {
  if (!out) return -1;
  if (!a || !b || dec_head(a) == NUM_ERROR || dec_head(b) == NUM_ERROR) {
    dec_set_head(out, NUM_ERROR);
    return -1;
  }
  if (dec_head(a) == NUM_OVERFLOW || dec_head(b) == NUM_OVERFLOW) {
    dec_set_head(out, NUM_OVERFLOW);
    return -1;
  }
  if (dec_is_zero(a)) return dec_zero(out);
  if (dec_is_zero(b)) {
    dec_set_head(out, NUM_ERROR);
    return -1;
  }
  const int64_t e = (int64_t)dec_exponent(a) - dec_exponent(b);
  // 1,000,000,000 itself goes on: the first quotient digit may fall one place lower.
  if (e > 1000000000LL) {
    dec_set_head(out, NUM_OVERFLOW);
    return -1;
  }
  if (e < DEC_EXP_MIN) return dec_zero(out);
  const int sign = dec_sign(a) ^ dec_sign(b);
  DecWord *R = ScratchNums[0];
  dec_copy(R, a);
  DecWord *D = const_cast<DecWord *>(b);  // its head is borrowed and restored
  bool d_is_copy = false;
  if (out == b) {
    dec_copy(ScratchNums[1], b);
    D = ScratchNums[1];
    d_is_copy = true;
  }
  const DecWord saved_head = D[0];
  dec_zero(out);
  dec_set_head(out, (int32_t)(2 * e) | sign);
  {
    HeadRestore restore(D, saved_head, !d_is_copy);  // also on the cancellation path
    div_kernel(out, R, D, dec_used_words(D), 0);
  }
  if (dec_exponent(out) > DEC_EXP_MAX) {
    dec_set_head(out, NUM_OVERFLOW);
    return -1;
  }
  if (dec_exponent(out) < DEC_EXP_MIN) return dec_zero(out);
  return 0;
}

int dec_divmod(DecWord *quot, DecWord *rem, const DecWord *a, const DecWord *b) {
  if (!quot || !rem) return -1;
  auto fail = [&](int32_t marker) {
    dec_set_head(quot, marker);
    dec_set_head(rem, marker);
    return -1;
  };
  if (!a || !b || dec_head(a) == NUM_ERROR || dec_head(b) == NUM_ERROR) return fail(NUM_ERROR);
  if (dec_head(a) == NUM_OVERFLOW || dec_head(b) == NUM_OVERFLOW) return fail(NUM_OVERFLOW);
  if (dec_is_zero(b) || quot == rem) return fail(NUM_ERROR);
  if (dec_is_zero(a)) {
    dec_zero(quot);
    dec_zero(rem);
    return 0;
  }
  const int32_t ea = dec_exponent(a), eb = dec_exponent(b);
  if (ea < eb) {
    dec_copy(rem, a);
    dec_zero(quot);
    return 0;
  }
  const int64_t d = (int64_t)ea - eb;
  if (d > 1000000000LL) return fail(NUM_OVERFLOW);
  // An integer quotient needs d + 1 digits (d when the divisor's digits exceed the
  // dividend's); more than the precision holds cannot be written.
  if (d > internal_digits - 1) return fail(NUM_OVERFLOW);

  DecWord *D = const_cast<DecWord *>(b);
  bool d_is_copy = false;
  if (quot == b || rem == b) {
    dec_copy(ScratchNums[1], b);
    D = ScratchNums[1];
    d_is_copy = true;
  }
  const DecWord saved_head = D[0];
  const int sign = dec_sign(a) ^ dec_sign(b);
  if (rem != a) dec_copy(rem, a);
  dec_zero(quot);
  dec_set_head(quot, (int32_t)(2 * d) | sign);
  int status;
  {
    HeadRestore restore(D, saved_head, !d_is_copy);  // also on the cancellation path
    status = div_kernel(quot, rem, D, dec_used_words(D), (int)d + 2);
  }
  if (status != 0) return fail(NUM_OVERFLOW);
  if (dec_exponent(quot) > DEC_EXP_MAX) return fail(NUM_OVERFLOW);
  if (dec_exponent(quot) < DEC_EXP_MIN) dec_zero(quot);
  return dec_normalise(rem);
}
