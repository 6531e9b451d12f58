// An exact GMP model of the exact mode's basic operations: the exact value of the operation
// on the operands as held, truncated after internal_digits − 1 significant digits.
#pragma once

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/core.h"
#include "exact/exact.h"
#include "tests/exact/mpfr_oracle.h"

namespace exact_test {

// The exact value of a number: X × 10^e.
struct Exact {
  mpz_class X;
  long e = 0;
};

inline Exact exact_of(const DecWord *p) {
  Exact v;
  if (dec_is_zero(p)) return v;
  std::string s;
  for (int k = 1; k < internal_digits; ++k) s += (char)('0' + dec_digit_at(p, k));
  v.X = mpz_class(s, 10);
  if (dec_sign(p)) v.X = -v.X;
  v.e = (long)dec_exponent(p) - (internal_digits - 2);
  return v;
}

inline mpz_class pow10(long k) {
  mpz_class r;
  mpz_ui_pow_ui(r.get_mpz_t(), 10, (unsigned long)k);
  return r;
}

// The truncated digits of |num / den| × 10^e (den > 0) in digits_of's form.
inline std::string truncated(mpz_class num, const mpz_class &den, long e) {
  if (num == 0) return "0";
  std::string sign = num < 0 ? "-" : "";
  num = abs(num);
  const long D = internal_digits - 1;
  // floor(num × 10^s / den) with at least D digits.
  long s = D + 2 + (long)mpz_sizeinbase(den.get_mpz_t(), 10) - (long)mpz_sizeinbase(num.get_mpz_t(), 10);
  if (s < 0) s = 0;
  mpz_class q = num * pow10(s) / den;
  std::string digits = q.get_str();
  const long exponent = (long)digits.size() - 1 + e - s;
  if (exponent > DEC_EXP_MAX) return "OVERFLOW";
  if (exponent < DEC_EXP_MIN) return "0";
  return sign + digits.substr(0, (size_t)D) + "e" + std::to_string(exponent);
}

// The truncated k-th root (k = 2, 3) of X × 10^e.
inline std::string truncated_root(const Exact &v, int k) {
  if (v.X == 0) return "0";
  const long D = internal_digits - 1;
  long s = k * (D + 2);
  while (((v.e - s) % k + k) % k != 0) ++s;
  mpz_class n = abs(v.X) * pow10(s), r;
  mpz_root(r.get_mpz_t(), n.get_mpz_t(), (unsigned long)k);
  if (v.X < 0) r = -r;
  return truncated(r, 1, (v.e - s) / k);
}

inline long magnitude(const Exact &v) {
  const mpz_class a = abs(v.X);
  return (long)mpz_sizeinbase(a.get_mpz_t(), 10) + v.e;
}

// The model: the same operation on exact values. Sums of operands more than 3 D digits
// apart are left to the hand-written cases ("skip").
inline std::string model(char op, const Exact &x, const Exact &y) {
  const long D = internal_digits - 1;
  const long e = std::min(x.e, y.e);
  const bool near = std::abs(x.e - y.e) <= 3 * D + 20;
  switch (op) {
    case '+':
    case '-': {
      if (x.X == 0) return truncated(op == '+' ? mpz_class(y.X) : mpz_class(-y.X), 1, y.e);
      if (y.X == 0) return truncated(x.X, 1, x.e);
      if (!near) return "skip";
      const mpz_class xa = x.X * pow10(x.e - e), ya = y.X * pow10(y.e - e);
      return truncated(op == '+' ? mpz_class(xa + ya) : mpz_class(xa - ya), 1, e);
    }
    case '*': return truncated(x.X * y.X, 1, x.e + y.e);
    case '/':
      if (y.X == 0) return "ERROR";
      return truncated(y.X < 0 ? -x.X : x.X, abs(y.X), x.e - y.e);
    case '%': {
      if (y.X == 0) return "ERROR";
      if (x.X == 0 || magnitude(x) < magnitude(y)) return truncated(x.X, 1, x.e);
      mpz_class r, p, m = abs(y.X);
      if (x.e >= y.e) {
        mpz_class ten = 10, k = x.e - y.e;
        mpz_powm(p.get_mpz_t(), ten.get_mpz_t(), k.get_mpz_t(), m.get_mpz_t());
        r = abs(x.X) * p % m;
        return truncated(x.X < 0 ? -r : r, 1, y.e);
      }
      const mpz_class xa = x.X * pow10(x.e - e), ya = y.X * pow10(y.e - e);
      mpz_tdiv_r(r.get_mpz_t(), xa.get_mpz_t(), ya.get_mpz_t());
      return truncated(r, 1, e);
    }
    case 'r':  // 1 / y
      if (y.X == 0) return "ERROR";
      return truncated(y.X < 0 ? -1 : 1, abs(y.X), -y.e);
    case '2': return truncated(y.X * y.X, 1, 2 * y.e);
    case '3': return truncated(y.X * y.X * y.X, 1, 3 * y.e);
    case 'q': return y.X < 0 ? "ERROR" : truncated_root(y, 2);
    case 'c': return truncated_root(y, 3);
  }
  return "?";
}

inline std::string run(char op, DecWord *out, DecWord *x, DecWord *y) {
  switch (op) {
    case '+': exact_add(out, x, y); break;
    case '-': exact_sub(out, x, y); break;
    case '*': exact_mul(out, x, y); break;
    case '/': exact_div(out, x, y); break;
    case '%': exact_mod(out, x, y); break;
    case 'r': exact_reciprocal(out, y); break;
    case '2': exact_square(out, y); break;
    case '3': exact_cube(out, y); break;
    case 'q': exact_sqrt(out, y); break;
    case 'c': exact_cbrt(out, y); break;
  }
  return digits_of(out);
}

inline const char OPS[] = "+-*/%r23qc";

inline void check(char op, DecWord *x, DecWord *y, const char *what) {
  static Num out;
  const std::string expected = model(op, exact_of(x), exact_of(y));
  if (expected == "skip") return;
  ASSERT_EQ(run(op, out, x, y), expected)
      << what << " op " << op << " digits " << sig_digits << "\n x " << digits_of(x) << "\n y "
      << digits_of(y);
}


// Random operands of random lengths and exponent gaps at the current precision.
inline void check_random_operands(std::mt19937_64 &rng, int trials) {
  static Num x, y;
  const int D = internal_digits - 1;
  for (int trial = 0; trial < trials; ++trial) {
    const int lx = 1 + (int)(rng() % D), ly = 1 + (int)(rng() % D);
    const int gap = (int)(rng() % (2 * D + 8)) - D - 4;
    random_number(x, rng, lx, -5, 5, true);
    random_number(y, rng, ly, -5 + gap, 5 + gap, true);
    for (const char *op = OPS; *op; ++op) check(*op, x, y, "random");
  }
}

}  // namespace exact_test
