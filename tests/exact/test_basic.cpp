// The exact mode's basic operations against an exact GMP model: the result's digits are
// the exact value's, truncated after internal_digits − 1 significant digits.
#include <gtest/gtest.h>
#include <gmpxx.h>

#include "core/core.h"
#include "exact/exact.h"
#include "tests/exact/mpfr_oracle.h"

using exact_test::digits_of;
using exact_test::Num;

namespace {

// The exact value of a number: X × 10^e.
struct Exact {
  mpz_class X;
  long e = 0;
};

Exact exact_of(const DecWord *p) {
  Exact v;
  if (dec_is_zero(p)) return v;
  std::string s;
  for (int k = 1; k < internal_digits; ++k) s += (char)('0' + dec_digit_at(p, k));
  v.X = mpz_class(s, 10);
  if (dec_sign(p)) v.X = -v.X;
  v.e = (long)dec_exponent(p) - (internal_digits - 2);
  return v;
}

mpz_class pow10(long k) {
  mpz_class r;
  mpz_ui_pow_ui(r.get_mpz_t(), 10, (unsigned long)k);
  return r;
}

// The truncated digits of |num / den| × 10^e (den > 0) in digits_of's form.
std::string truncated(mpz_class num, const mpz_class &den, long e) {
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
std::string truncated_root(const Exact &v, int k) {
  if (v.X == 0) return "0";
  const long D = internal_digits - 1;
  long s = k * (D + 2);
  while (((v.e - s) % k + k) % k != 0) ++s;
  mpz_class n = abs(v.X) * pow10(s), r;
  mpz_root(r.get_mpz_t(), n.get_mpz_t(), (unsigned long)k);
  if (v.X < 0) r = -r;
  return truncated(r, 1, (v.e - s) / k);
}

long magnitude(const Exact &v) {
  const mpz_class a = abs(v.X);
  return (long)mpz_sizeinbase(a.get_mpz_t(), 10) + v.e;
}

// The model: the same operation on exact values. Sums of operands more than 3 D digits
// apart are left to the hand-written cases ("skip").
std::string model(char op, const Exact &x, const Exact &y) {
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

std::string run(char op, DecWord *out, DecWord *x, DecWord *y) {
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

const char OPS[] = "+-*/%r23qc";

void check(char op, DecWord *x, DecWord *y, const char *what) {
  static Num out;
  const std::string expected = model(op, exact_of(x), exact_of(y));
  if (expected == "skip") return;
  ASSERT_EQ(run(op, out, x, y), expected)
      << what << " op " << op << " digits " << sig_digits << "\n x " << digits_of(x) << "\n y "
      << digits_of(y);
}

TEST(ExactBasic, RandomOperandsAtRandomLengthsAndExponentGaps) {
  std::mt19937_64 rng(42);
  static Num x, y;
  for (int digits : {12, 13, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int D = internal_digits - 1;
    for (int trial = 0; trial < (digits == 1000 ? 12 : 60); ++trial) {
      const int lx = 1 + (int)(rng() % D), ly = 1 + (int)(rng() % D);
      const int gap = (int)(rng() % (2 * D + 8)) - D - 4;
      exact_test::random_number(x, rng, lx, -5, 5, true);
      exact_test::random_number(y, rng, ly, -5 + gap, 5 + gap, true);
      for (const char *op = OPS; *op; ++op) check(*op, x, y, "random");
    }
  }
}

TEST(ExactBasic, AdversarialOperands) {
  static Num x, y;
  struct Case {
    std::string x, y;
  };
  // {D} stands for internal_digits − 1, the gap where an addend stops reaching the result.
  for (int digits : {12, 13, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int D = internal_digits - 1;
    const std::string nines(D, '9');
    const Case cases[] = {
        {"1e16", "0.500000000001"},  // the subtrahend's digits below the alignment count
        {"1", "1"},                  // total cancellation
        {"1", "1e-" + std::to_string(D + 1)},
        {"1", "1e-" + std::to_string(D + 2)},
        {"1", "1e-" + std::to_string(D + 3)},
        {"1", "-1e-" + std::to_string(D)},  // a borrow through every word
        {"1", "1e-999999999"},
        {"." + nines, "1e-" + std::to_string(D + 5)},
        {"9." + nines.substr(1) + "e999999999", "9e999999999"},  // overflow
        {"1e-999999999", "1e-999999999"},                                    // underflow
        {"-7", "2"}, {"7", "-2"}, {"-7.5", "-2"}, {"1e30", "7"}, {"1e999999999", "7"},
        {"123456789012345678", "3"}, {"4", "16"}, {"0", "5"}, {"5", "0"}, {"-0.027", "-8"},
    };
    for (const Case &c : cases) {
      dec_from_text(x, c.x.c_str());
      dec_from_text(y, c.y.c_str());
      for (const char *op = OPS; *op; ++op) check(*op, x, y, c.x.c_str());
      for (const char *op = OPS; *op; ++op) check(*op, y, x, c.y.c_str());
    }
  }
}

TEST(ExactBasic, SumsOfOperandsFarApart) {
  static Num x, y, out;
  for (int digits : {12, 13, 100, 1000}) {
    ASSERT_EQ(dec_set_precision(digits), 0);
    const int D = internal_digits - 1;
    dec_from_text(x, "1");
    dec_from_text(y, "1e-999999999");
    exact_sub(out, x, y);
    EXPECT_EQ(digits_of(out), std::string(D, '9').append("e-1"));
    exact_add(out, x, y);
    EXPECT_EQ(digits_of(out), std::string(1, '1').append(D - 1, '0').append("e0"));
    exact_sub(out, y, x);
    EXPECT_EQ(digits_of(out), std::string(1, '-').append(D, '9').append("e-1"));
    dec_from_text(x, "2.5e999999999");
    exact_sub(out, x, y);
    EXPECT_EQ(digits_of(out), std::string("24").append(D - 2, '9').append("e999999999"));
  }
}

TEST(ExactBasic, MarkersPassOnAndOutputMayAliasAnOperand) {
  ASSERT_EQ(dec_set_precision(20), 0);
  static Num x, y, out;
  dec_from_text(x, "2");
  dec_set_marker(y, NUM_OVERFLOW);
  exact_add(out, x, y);
  EXPECT_EQ(digits_of(out), "OVERFLOW");
  dec_set_marker(x, NUM_ERROR);
  exact_mul(out, y, x);
  EXPECT_EQ(digits_of(out), "ERROR");
  dec_from_text(x, "2");
  exact_sqrt(x, x);
  dec_from_text(y, "2");
  EXPECT_EQ(digits_of(x), model('q', exact_of(y), exact_of(y)));
  exact_mul(x, x, x);  // √2 × √2 truncated: just below 2
  EXPECT_EQ(digits_of(x).substr(0, 5), "19999");
}

}  // namespace
