// Exact GMP models of the truncating addition, subtraction and multiplication kernels.
//
// A value is (sign, exponent, I) with I the integer formed by positions 0 .. P of the digit
// words (P = internal_digits − 1, position P the units of I), so the number is
// I × 10^(exponent + 1 − P). The models say what the words must be, digit for digit.
#pragma once

#include <gmpxx.h>

#include "core_test_util.h"

namespace model {

struct Value {
  int sign = 0;
  int64_t exponent = 0;
  mpz_class digits;  // positions 0 .. P; 0 means zero
  bool overflow = false;
};

inline int P() { return internal_digits - 1; }

inline mpz_class pow10(long n) {
  mpz_class r;
  mpz_ui_pow_ui(r.get_mpz_t(), 10, (unsigned long)n);
  return r;
}

inline Value from(const DecWord *p) {
  Value v;
  v.sign = dec_sign(p);
  v.exponent = dec_exponent(p);
  testutil::positions_to_mpz(v.digits.get_mpz_t(), p, P());
  return v;
}

// Brings a digit in position 0 down (dropping the last digit) or leading zeros up.
inline Value normalised(Value v) {
  if (v.digits == 0) return Value{};
  const mpz_class top = pow10(P());
  const mpz_class lead = pow10(P() - 1);
  if (v.digits >= top) {
    v.digits /= 10;
    v.exponent += 1;
  }
  while (v.digits < lead) {
    v.digits *= 10;
    v.exponent -= 1;
  }
  if (v.exponent > DEC_EXP_MAX) v.overflow = true;
  if (v.exponent < DEC_EXP_MIN) return Value{};
  return v;
}

// |big| ± trunc(|small| aligned to big's exponent); big.exponent ≥ small.exponent.
inline mpz_class aligned(const Value &small, int64_t big_exponent) {
  int64_t d = big_exponent - small.exponent;
  if (d > P()) return 0;
  return small.digits / pow10((long)d);
}

inline Value add(const Value &a, const Value &b) {
  if (a.digits == 0) return b;
  if (b.digits == 0) return a;
  const Value &big = (b.exponent > a.exponent) ? b : a;
  const Value &small = (&big == &a) ? b : a;
  Value r;
  if (a.sign == b.sign) {
    r.sign = a.sign;
    r.exponent = big.exponent;
    r.digits = big.digits + aligned(small, big.exponent);
    return normalised(r);
  }
  int c = (a.exponent != b.exponent) ? (a.exponent > b.exponent ? 1 : -1) : cmp(a.digits, b.digits);
  if (c == 0) return Value{};
  const Value &larger = c > 0 ? a : b;
  const Value &smaller = c > 0 ? b : a;
  r.sign = larger.sign;
  r.exponent = larger.exponent;
  r.digits = larger.digits - aligned(smaller, larger.exponent);
  return normalised(r);
}

inline Value negate(Value v) {
  if (v.digits != 0) v.sign ^= 1;
  return v;
}

// The sum of the multiples k_i × p, each shifted i − 1 places down and truncated at the
// last position, then the one carry shift at the end.
inline Value mul(const DecWord *a, const DecWord *b) {
  Value va = from(a), vb = from(b);
  if (va.digits == 0 || vb.digits == 0) return Value{};
  const bool a_is_p = dec_used_words(a) >= dec_used_words(b);
  const Value &p = a_is_p ? va : vb;
  const DecWord *q = a_is_p ? b : a;
  mpz_class sum = 0, divisor = 1;
  for (int pos = 1; pos <= P(); ++pos) {
    int k = dec_digit_at(q, pos);
    if (k) sum += (p.digits * k) / divisor;
    divisor *= 10;
    if (divisor > p.digits * 9) break;  // every later addend truncates to nothing
  }
  Value r;
  r.sign = va.sign ^ vb.sign;
  r.exponent = va.exponent + vb.exponent;
  r.digits = sum;
  if (r.exponent < -1000000000LL) return Value{};
  if (r.digits >= pow10(P())) {
    r.digits /= 10;
    r.exponent += 1;
  }
  if (r.exponent > DEC_EXP_MAX) r.overflow = true;
  if (r.exponent < DEC_EXP_MIN) return Value{};
  return r;
}

// Writes a model value as DecNum words for comparison.
inline void to_words(DecWord *out, const Value &v) {
  for (int i = 0; i <= word_count; ++i) out[i] = 0;
  if (v.overflow) {
    dec_set_head(out, NUM_OVERFLOW);
    return;
  }
  if (v.digits == 0) return;
  testutil::mpz_to_positions(out, v.digits.get_mpz_t(), P());
  dec_set_head(out, (int32_t)(v.exponent * 2 + v.sign));
}

}  // namespace model
