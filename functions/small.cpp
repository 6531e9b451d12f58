// Arithmetic between a DecNum x and a small operand s = n × 10^k (n a 32-bit int).
//
// Each operation gives exactly the words of the matching core operation (dec_add, dec_sub,
// dec_mul, dec_div, dec_divmod, dec_compare) applied to x and the full DecNum n × 10^k: the
// same steps, alignment, truncation, negligibility tests, normalisation and range checks.
// Only the cost differs. s is built in a short operand whose kernel length L (1 or 2 digit
// words, the words holding n's at most ten digits) is passed to the kernels as s's word
// limit, so that every kernel pass over s touches L + 1 words and each operation costs
// O(word_count), never O(word_count²):
//   add / subtract : one aligned kernel pass over x,
//   multiply       : s is the multiplier (at most 6L + 5 digit positions), or, when x has
//                    fewer used words than s, the multiplicand of an at most 11-digit x,
//   divide         : long division by a divisor of L words.
// Where the core's step would use s as the first kernel operand (read up to word_count),
// the short operand serves directly: its words after digit word 3 are always zero.
#include "functions/fn_internal.h"

namespace {

DecWord ShortOperands[2][DEC_BUF_WORDS];

// out = s as a full DecNum (head, words 1..3, zeros up to word_count).
void copy_short(DecWord *out, const DecWord *s) {
  out[0] = s[0];
  out[1] = s[1];
  out[2] = s[2];
  out[3] = s[3];
  for (int i = 4; i <= word_count; ++i) out[i] = 0;
}

// out = −x (a copy; the canonical zero stays zero).
void copy_negated(DecWord *out, const DecWord *x) {
  dec_copy(out, x);
  if (!dec_is_zero(out)) out[0] ^= 1u;
}

}  // namespace

DecWord *short_operand(int which) { return ShortOperands[which & 1]; }

int short_build(DecWord *s, int32_t n, int32_t k) {
  s[0] = s[1] = s[2] = s[3] = 0;
  if (n == 0) return 0;
  if (n == INT32_MIN || k < DEC_EXP_MIN || dec_from_int(s, n, k) != 0) {
    s[0] = (DecWord)NUM_ERROR;
    return -1;
  }
  return s[2] != 0 ? 2 : 1;
}

// out = x + n × 10^k, as dec_add (out, x, s).
int dec_add_small(DecWord *out, const DecWord *x, int32_t n, int32_t k) {
  if (out == nullptr) return -1;
  DecWord *s = ShortOperands[0];
  const int len = short_build(s, n, k);
  if (len < 0) return -1;
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (len == 0) {  // s is zero
    dec_copy(out, x);
    return 0;
  }
  if (dec_is_zero(x)) {
    copy_short(out, s);
    return 0;
  }
  const int64_t d = (int64_t)dec_exponent(s) - dec_exponent(x);
  if (d > internal_digits - 1) {
    copy_short(out, s);
    return 0;
  }
  if (-d > internal_digits - 1) {
    dec_copy(out, x);
    return 0;
  }
  const int last = word_count - 1;
  if (dec_sign(x) != dec_sign(s)) {
    const int c = mag_compare_short(x, s);
    if (c == 0) return dec_zero(out);
    if (c > 0)
      mag_sub_shifted(out, x, s, last, len);
    else
      mag_sub_shifted(out, s, x, last, last);
    return dec_normalise(out);
  }
  if (d <= 0)
    mag_add_shifted(out, x, s, last, len);
  else
    mag_add_shifted(out, s, x, last, last);
  return dec_carry_shift(out, last);
}

// out = n × 10^k − x, as dec_sub (out, s, x).
int dec_rsub_small(DecWord *out, int32_t n, int32_t k, const DecWord *x) {
  if (out == nullptr) return -1;
  DecWord *s = ShortOperands[0];
  const int len = short_build(s, n, k);
  if (len < 0) return -1;
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (len == 0) {
    copy_negated(out, x);
    return 0;
  }
  if (dec_is_zero(x)) {
    copy_short(out, s);
    return 0;
  }
  const int64_t d = (int64_t)dec_exponent(x) - dec_exponent(s);
  if (d > internal_digits - 1) {
    copy_negated(out, x);
    return 0;
  }
  if (-d > internal_digits - 1) {
    copy_short(out, s);
    return 0;
  }
  const int last = word_count - 1;
  if (dec_sign(x) != dec_sign(s)) {  // magnitudes add; the result has s's sign
    if (d > 0) {
      mag_add_shifted(out, x, s, last, len);
      out[0] ^= 1u;
    } else {
      mag_add_shifted(out, s, x, last, last);
    }
    return dec_carry_shift(out, last);
  }
  const int c = mag_compare_short(x, s);  // |x| against |s|
  if (c == 0) return dec_zero(out);
  if (c < 0) {
    mag_sub_shifted(out, s, x, last, last);
  } else {
    mag_sub_shifted(out, x, s, last, len);
    out[0] ^= 1u;
  }
  return dec_normalise(out);
}

// out = x × n × 10^k, as dec_mul (out, x, s).
int dec_mul_small(DecWord *out, const DecWord *x, int32_t n, int32_t k) {
  if (out == nullptr) return -1;
  DecWord *s = ShortOperands[0];
  const int len = short_build(s, n, k);
  if (len < 0) return -1;
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (len == 0 || dec_is_zero(x)) return dec_zero(out);
  const int64_t e = (int64_t)dec_exponent(x) + dec_exponent(s);
  if (e > DEC_EXP_MAX) return fn_fail(out, NUM_OVERFLOW);
  if (e < -1000000000LL) return dec_zero(out);

  // The operand with more used words is the multiplicand, x on a tie, as in dec_mul.
  const int ux = dec_used_words(x);
  DecWord *p;
  const DecWord *q;
  int up, uq;
  DecWord *restore = nullptr;
  DecWord saved_head = 0;
  if (ux >= len) {
    if (out == x) {
      p = scratch_slot(0);
      dec_copy(p, x);
    } else {
      p = const_cast<DecWord *>(x);  // head changed below, put back after the kernel
      restore = p;
      saved_head = p[0];
    }
    q = s;
    up = ux;
    uq = len;
  } else {
    p = s;
    if (out == x) {
      DecWord *copy = scratch_slot(1);
      dec_copy(copy, x);
      q = copy;
    } else {
      q = x;
    }
    up = len;
    uq = ux;
  }
  p[0] = (DecWord)(int32_t)(2 * e) | ((x[0] ^ s[0]) & 1u);
  mul_kernel(out, p, q, up, uq);
  if (restore != nullptr) restore[0] = saved_head;
  if (dec_carry_shift(out, word_count - 1) != 0 || dec_exponent(out) > DEC_EXP_MAX)
    return fn_fail(out, NUM_OVERFLOW);
  if (dec_exponent(out) < DEC_EXP_MIN) return dec_zero(out);
  return 0;
}

// out = x / (n × 10^k), as dec_div (out, x, s): x is copied into scratch slot 0 as the
// running remainder and divided by the short divisor.
int dec_div_small(DecWord *out, const DecWord *x, int32_t n, int32_t k) {
  if (out == nullptr) return -1;
  DecWord *s = ShortOperands[0];
  const int len = short_build(s, n, k);
  if (len < 0) return -1;
  int status;
  if (!fn_operand_ok(out, x, &status)) return status;
  if (dec_is_zero(x)) return dec_zero(out);
  if (len == 0) return fn_fail(out, NUM_ERROR);
  const int64_t e = (int64_t)dec_exponent(x) - dec_exponent(s);
  if (e > 1000000000LL) return fn_fail(out, NUM_OVERFLOW);
  if (e < DEC_EXP_MIN) return dec_zero(out);

  const DecWord sign = (x[0] ^ s[0]) & 1u;  // before out, which may be x, is cleared
  DecWord *R = scratch_slot(0);
  if (x != R) dec_copy(R, x);
  // The quotient cannot be built in slot 0 itself, which holds the remainder.
  DecWord *Q = (out == R) ? scratch_slot(1) : out;
  dec_zero(Q);
  Q[0] = (DecWord)(int32_t)(2 * e) | sign;
  div_kernel(Q, R, s, len, 0);
  if (Q != out) dec_copy(out, Q);
  if (dec_exponent(out) > DEC_EXP_MAX) return fn_fail(out, NUM_OVERFLOW);
  if (dec_exponent(out) < DEC_EXP_MIN) return dec_zero(out);
  return 0;
}

// q = integer part of x / (n × 10^k), r = x − q × n × 10^k, as dec_divmod (q, r, x, s).
int dec_divmod_small(DecWord *q, DecWord *r, const DecWord *x, int32_t n, int32_t k) {
  if (q == nullptr || r == nullptr) return -1;
  DecWord *s = ShortOperands[0];
  const int len = short_build(s, n, k);
  if (len < 0) return -1;
  auto both = [&](int32_t marker) {
    dec_set_marker(q, marker);
    dec_set_marker(r, marker);
    return -1;
  };
  if (x == nullptr || dec_head(x) == NUM_ERROR) return both(NUM_ERROR);
  if (dec_head(x) == NUM_OVERFLOW) return both(NUM_OVERFLOW);
  if (len == 0 || q == r) return both(NUM_ERROR);
  if (dec_is_zero(x)) {
    dec_zero(q);
    dec_zero(r);
    return 0;
  }
  if (dec_exponent(x) < dec_exponent(s)) {
    if (r != x) dec_copy(r, x);
    dec_zero(q);
    return 0;
  }
  const int64_t d = (int64_t)dec_exponent(x) - dec_exponent(s);
  if (d > 1000000000LL) return both(NUM_OVERFLOW);
  // The quotient has d + 1 digits (d when the first comparison finds x below s); more than
  // the quotient's internal_digits − 1 positions cannot be held (the kernel refuses them).
  if (d > internal_digits - 1) return both(NUM_OVERFLOW);
  const DecWord sign = (x[0] ^ s[0]) & 1u;  // before q, which may be x, is cleared
  if (r != x) dec_copy(r, x);
  dec_zero(q);
  q[0] = (DecWord)(int32_t)(2 * d) | sign;
  if (div_kernel(q, r, s, len, (int)d + 2) != 0) return both(NUM_OVERFLOW);
  if (dec_exponent(q) > DEC_EXP_MAX) return both(NUM_OVERFLOW);
  if (dec_exponent(q) < DEC_EXP_MIN) dec_zero(q);
  return dec_normalise(r);
}

// Sign of x − n × 10^k, as dec_compare (x, s); INT32_MIN for a null x or an operand that
// cannot be built.
int dec_compare_small(const DecWord *x, int32_t n, int32_t k) {
  if (x == nullptr) return INT32_MIN;
  DecWord *s = ShortOperands[0];
  if (short_build(s, n, k) < 0) return INT32_MIN;
  const int sx = dec_sign(x), ss = dec_sign(s);
  if (sx != ss) return sx ? -1 : 1;
  const int m = mag_compare_short(x, s);
  return sx ? -m : m;
}
