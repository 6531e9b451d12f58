// Multiplication by decimal shift-and-add.
//
// The product is the sum over the multiplier's digits k_i (i = 0 for the leading digit)
// of k_i × p shifted i places down, each addend truncated at the last digit position as the
// addition kernel aligns it to the running product's fixed exponent; the final carry into
// position 0 is repaired once at the end. The table of multiples (ScratchNums slots 2..9,
// slot k = k × p with p's head, possibly a digit in position 0) is built with eight
// additions; compact_memory builds each needed multiple by repeated addition instead and
// gives the same words. The operand with fewer used words is the multiplier.
#include "core/mul.h"

#include "core/addsub.h"
#include "core/cancel.h"
#include "core/mul_fast.h"

int fast_kernels = 1;

namespace {

DecWord *table_slot(int k) { return ScratchNums[k]; }

void lower_exponent(DecWord *x) { dec_set_head(x, dec_head(x) - 2); }

void build_table(DecWord *p, int A) {
  mag_add_shifted(table_slot(2), p, p, A, A);
  for (int k = 3; k <= 9; ++k) mag_add_shifted(table_slot(k), table_slot(k - 1), p, A, A);
}

int multiplier_digit(const DecWord *q, int pos) { return dec_digit_at(q, pos); }

// Accumulates from the last multiplier digit upwards with the full signed addition,
// dividing the running sum by ten at every step (the comparison mode of the script).
void mul_kernel_alternative(DecWord *out, DecWord *p, const DecWord *q, int A) {
  build_table(p, A);
  dec_zero(out);
  const int last = internal_digits - 1;
  for (int pos = last; pos >= 1; --pos) {
    cancel_check();
    lower_exponent(out);
    int k = multiplier_digit(q, pos);
    if (k == 0) continue;
    if (compact_memory) {
      for (int r = 0; r < k; ++r) dec_add(out, out, p);
    } else {
      dec_add(out, out, k == 1 ? p : table_slot(k));
    }
  }
}

}  // namespace

int dec_used_words(const DecWord *x) {
  int n = word_count - 1;  // index from 0 of the last digit word
  while (n > 0 && x[n + 1] == 0) --n;
  return n < word_count - 1 ? n + 1 : word_count - 1;
}

int mul_kernel(DecWord *out, DecWord *p, const DecWord *q, int A, int B) {
  if (hipr_mode) {
    mul_kernel_alternative(out, p, q, A);
    return 0;
  }
  // O(n^2) digit additions against O(n log n) word arithmetic with the same words.
  if (fast_kernels && B >= MUL_FAST_MIN_WORDS && out != p && out != q) {
    mul_fast_kernel(out, p, q, A, B);
    return 0;
  }
  return mul_kernel_shift_add(out, p, q, A, B);
}

int mul_kernel_shift_add(DecWord *out, DecWord *p, const DecWord *q, int A, int B) {
  const int last_pos = 6 * B + 5;  // the whole of q's digit words 1 .. B + 1
  ProgressLoop progress;
  progress.set(0, last_pos);
  const int lead = multiplier_digit(q, 1);
  if (!compact_memory) {
    build_table(p, A);
    dec_copy(out, lead == 1 ? p : table_slot(lead));
    for (int pos = 2; pos <= last_pos; ++pos) {
      if ((pos & 15) == 0) {
        cancel_check();
        progress.set(pos, last_pos);
      }
      lower_exponent(p);
      for (int k = 2; k <= 9; ++k) lower_exponent(table_slot(k));
      int k = multiplier_digit(q, pos);
      if (k == 1)
        mag_add_shifted(out, out, p, A, A);
      else if (k >= 2)
        mag_add_shifted(out, out, table_slot(k), A, A);
    }
  } else {
    DecWord *multiple = table_slot(9);
    dec_copy(out, p);
    for (int r = 1; r < lead; ++r) mag_add_shifted(out, out, p, A, A);
    for (int pos = 2; pos <= last_pos; ++pos) {
      if ((pos & 15) == 0) {
        cancel_check();
        progress.set(pos, last_pos);
      }
      lower_exponent(p);
      int k = multiplier_digit(q, pos);
      if (k == 1) {
        mag_add_shifted(out, out, p, A, A);
      } else if (k >= 2) {
        dec_copy(multiple, p);
        for (int r = 1; r < k; ++r) mag_add_shifted(multiple, multiple, p, A, A);
        mag_add_shifted(out, out, multiple, A, A);
      }
    }
  }
  return 0;
}

int dec_mul(DecWord *out, const DecWord *a, const DecWord *b) {
  if (!out) return -1;
  if (!a || !b || dec_head(a) == NUM_ERROR || dec_head(b) == NUM_ERROR) {
    dec_set_head(out, NUM_ERROR);
    return -1;
  }
  if (dec_head(a) == NUM_OVERFLOW || dec_head(b) == NUM_OVERFLOW) {
    dec_set_head(out, NUM_OVERFLOW);
    return -1;
  }
  if (dec_is_zero(a) || dec_is_zero(b)) return dec_zero(out);
  const int64_t e = (int64_t)dec_exponent(a) + dec_exponent(b);
  if (e > DEC_EXP_MAX) {
    dec_set_head(out, NUM_OVERFLOW);
    return -1;
  }
  // −1,000,000,000 itself goes on: the product of the leading digits may carry.
  if (e < -1000000000LL) return dec_zero(out);

  const int ua = dec_used_words(a), ub = dec_used_words(b);
  // The head word of the multiplicand carries the product's exponent during the kernel and
  // is restored afterwards, so the operands are read-only for the caller.
  DecWord *p = const_cast<DecWord *>(ua >= ub ? a : b);
  const DecWord *q = ua >= ub ? b : a;
  const bool same = a == b;
  bool p_is_copy = false;
  if (out == p) {
    dec_copy(ScratchNums[0], p);
    p = ScratchNums[0];
    p_is_copy = true;
    if (same) q = p;
  } else if (out == q) {
    dec_copy(ScratchNums[1], q);
    q = ScratchNums[1];
  }
  const DecWord saved_head = p[0];
  dec_set_head(p, (int32_t)(2 * e) | (dec_sign(a) ^ dec_sign(b)));
  const int A = dec_used_words(p), B = dec_used_words(q);
  {
    HeadRestore restore(p, saved_head, !p_is_copy);  // also on the cancellation path
    mul_kernel(out, p, q, A, B);
  }

  if (dec_carry_shift(out, word_count - 1) != 0 || dec_exponent(out) > DEC_EXP_MAX) {
    dec_set_head(out, NUM_OVERFLOW);
    return -1;
  }
  if (dec_exponent(out) < DEC_EXP_MIN) return dec_zero(out);
  return 0;
}
