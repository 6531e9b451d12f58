// MPFR as the oracle of the exact mode: a DecNum's value in MPFR, the true value's
// truncation to internal_digits − 1 digits from a far more precise MPFR result, and
// random operands.
#pragma once

#include <mpfr.h>

#include <cstdint>
#include <random>
#include <string>

#include "core/core.h"

namespace exact_test {

struct Num {
  DecWord w[DEC_BUF_WORDS];
  operator DecWord *() { return w; }
};

// "ERROR", "OVERFLOW", "0" or "[-]d1d2…dD e<exponent>" with D = internal_digits − 1.
inline std::string digits_of(const DecWord *p) {
  if (dec_head(p) == NUM_ERROR) return "ERROR";
  if (dec_head(p) == NUM_OVERFLOW) return "OVERFLOW";
  if (dec_is_zero(p)) return "0";
  std::string s = dec_sign(p) ? "-" : "";
  for (int k = 1; k < internal_digits; ++k) s += (char)('0' + dec_digit_at(p, k));
  return s + "e" + std::to_string(dec_exponent(p));
}

// The same form for the value v truncated toward zero after D significant digits.
inline std::string digits_of(mpfr_srcptr v) {
  if (mpfr_nan_p(v)) return "ERROR";
  if (mpfr_inf_p(v)) return "OVERFLOW";
  if (mpfr_zero_p(v)) return "0";
  const int D = internal_digits - 1;
  mpfr_exp_t e;
  char *str = mpfr_get_str(nullptr, &e, 10, (size_t)D + 8, v, MPFR_RNDZ);
  std::string s = str;
  mpfr_free_str(str);
  std::string sign;
  if (s[0] == '-') {
    sign = "-";
    s = s.substr(1);
  }
  long exponent = (long)e - 1;
  if (exponent > DEC_EXP_MAX) return "OVERFLOW";
  if (exponent < DEC_EXP_MIN) return "0";
  return sign + s.substr(0, (size_t)D) + "e" + std::to_string(exponent);
}

// Bits for a value correct to about twice the digits plus 50.
inline mpfr_prec_t oracle_bits() { return (mpfr_prec_t)((2.0 * internal_digits + 60) * 3.33) + 64; }

// The value of p (a number, not a marker) in v, at v's precision (oracle_bits() or more).
inline void mpfr_of(mpfr_ptr v, const DecWord *p) {
  if (dec_is_zero(p)) {
    mpfr_set_zero(v, 1);
    return;
  }
  std::string s = dec_sign(p) ? "-0." : "0.";
  for (int k = 1; k < internal_digits; ++k) s += (char)('0' + dec_digit_at(p, k));
  s.push_back('e');
  s.append(std::to_string((long)dec_exponent(p) + 1));
  mpfr_set_str(v, s.c_str(), 10, MPFR_RNDN);
}

// A random number of `digits` significant digits (≤ internal_digits − 1) with decimal
// exponent in [emin, emax], random sign when signed.
inline void random_number(DecWord *p, std::mt19937_64 &rng, int digits, int emin, int emax,
                          bool allow_negative) {
  std::string s;
  if (allow_negative && rng() % 2) s.push_back('-');
  s.push_back((char)('1' + rng() % 9));
  s += '.';
  for (int i = 1; i < digits; ++i) s += (char)('0' + rng() % 10);
  const int e = emin + (int)(rng() % (uint64_t)(emax - emin + 1));
  s.push_back('e');
  s.append(std::to_string(e));
  dec_from_text(p, s.c_str());
}

}  // namespace exact_test
