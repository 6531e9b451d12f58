// The trigonometric functions of the exact mode and their MPFR oracles (radians: mpfr_sin …;
// degrees: mpfr_sinu(x, 360) …), and the arguments of the hard cases.
#pragma once

#include <gmpxx.h>

#include <cstring>
#include <string>

#include "core/text.h"
#include "exact/exact.h"
#include "tests/exact/mpfr_oracle.h"

namespace exact_test {

struct TrigFn {
  const char *name;
  int (*exact)(DecWord *, const DecWord *);
  int (*radians)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
  int (*units)(mpfr_ptr, mpfr_srcptr, unsigned long, mpfr_rnd_t);
  bool inverse;
};

inline const TrigFn TRIG_FNS[] = {
    {"sin", exact_sin, mpfr_sin, mpfr_sinu, false},
    {"cos", exact_cos, mpfr_cos, mpfr_cosu, false},
    {"tan", exact_tan, mpfr_tan, mpfr_tanu, false},
    {"asin", exact_asin, mpfr_asin, mpfr_asinu, true},
    {"acos", exact_acos, mpfr_acos, mpfr_acosu, true},
    {"atan", exact_atan, mpfr_atan, mpfr_atanu, true},
};

inline const TrigFn &trig_fn(const char *name) {
  for (const TrigFn &f : TRIG_FNS)
    if (!std::strcmp(f.name, name)) return f;
  return TRIG_FNS[0];
}

inline void widen_exponent_range() {
  mpfr_set_emin(mpfr_get_emin_min());
  mpfr_set_emax(mpfr_get_emax_max());
}

// The true value of f(x) (mode 0 degrees, 1 radians) truncated as digits_of shows it,
// from MPFR rounded toward zero at `bits`.
inline std::string trig_oracle(const TrigFn &f, int mode, const DecWord *x,
                               mpfr_prec_t bits = 0) {
  if (dec_head(x) == NUM_ERROR) return "ERROR";
  widen_exponent_range();
  if (bits == 0) bits = oracle_bits();
  mpfr_t v, r;
  mpfr_inits2(bits, v, r, (mpfr_ptr)0);
  mpfr_of(v, x);
  if (mode == 1) f.radians(r, v, MPFR_RNDZ);
  else f.units(r, v, 360, MPFR_RNDZ);
  std::string s = digits_of(r);
  mpfr_clears(v, r, (mpfr_ptr)0);
  return s;
}

// "A", "A+h" or "A−h" (A a decimal) with h = 10^−H.
inline void set_argument(DecWord *x, const char *text, int H) {
  std::string t = text;
  const size_t at = t.find_first_of("+-", 1);
  if (at == std::string::npos || t[at + 1] != 'h' || t.find('e') != std::string::npos) {
    dec_from_text(x, text);
    return;
  }
  std::string a = t.substr(0, at);
  const bool neg = a[0] == '-';
  if (neg) a = a.substr(1);
  const size_t dot = a.find('.');
  const int frac = dot == std::string::npos ? 0 : (int)(a.size() - dot - 1);
  if (dot != std::string::npos) a.erase(dot, 1);
  mpz_class m(a.empty() ? "0" : a), p10;
  mpz_ui_pow_ui(p10.get_mpz_t(), 10, (unsigned long)(H - frac));
  m *= p10;
  if (neg) m = -m;
  m += t[at] == '+' ? 1 : -1;
  std::string s = mpz_class(abs(m)).get_str();
  if ((int)s.size() <= H) s = std::string(H + 1 - s.size(), '0') + s;
  s.insert(s.size() - H, ".");
  dec_from_text(x, ((m < 0 ? "-" : "") + s).c_str());
}

// x = k π/2 truncated to D digits, or one unit of its last digit further from zero.
inline void multiple_of_half_pi(DecWord *x, const char *k, int D, bool above) {
  widen_exponent_range();
  mpfr_t v;
  mpfr_init2(v, 4 * oracle_bits() + 200);
  mpfr_const_pi(v, MPFR_RNDN);
  mpfr_t kk;
  mpfr_init2(kk, 200);
  mpfr_set_str(kk, k, 10, MPFR_RNDN);
  mpfr_mul(v, v, kk, MPFR_RNDN);
  mpfr_div_ui(v, v, 2, MPFR_RNDN);
  mpfr_exp_t e;
  char *str = mpfr_get_str(nullptr, &e, 10, (size_t)D, v, MPFR_RNDZ);
  std::string s = str;
  mpfr_free_str(str);
  const bool neg = s[0] == '-';
  if (neg) s = s.substr(1);
  if (above) {
    mpz_class m(s);
    m += 1;
    s = m.get_str();
    if ((int)s.size() > D) ++e, s = s.substr(0, (size_t)D);
  }
  const std::string text = (neg ? "-0." : "0.") + s + "e" + std::to_string((long)e);
  dec_from_text(x, text.c_str());
  mpfr_clears(v, kk, (mpfr_ptr)0);
}

// sin(10^k degrees) from (10^k mod 360) degrees.
inline std::string sin_degrees_of_power_of_ten(long k) {
  unsigned long r = 1, b = 10;
  for (long e = k; e > 0; e >>= 1) {
    if (e & 1) r = r * b % 360;
    b = b * b % 360;
  }
  mpfr_t v, s;
  mpfr_inits2(oracle_bits(), v, s, (mpfr_ptr)0);
  mpfr_set_ui(v, r, MPFR_RNDN);
  mpfr_sinu(s, v, 360, MPFR_RNDZ);
  std::string out = digits_of(s);
  mpfr_clears(v, s, (mpfr_ptr)0);
  return out;
}

inline std::string pi_oracle(mpfr_prec_t bits = 0) {
  mpfr_t v;
  mpfr_init2(v, bits ? bits : oracle_bits());
  mpfr_const_pi(v, MPFR_RNDZ);
  std::string s = digits_of(v);
  mpfr_clear(v);
  return s;
}

}  // namespace exact_test
