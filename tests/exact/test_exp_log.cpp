// exp, 10 ^ y, ln, log10, x ^ y, e and the hyperbolic functions of the exact mode against
// MPFR (random arguments over each domain), plus the exact and hard cases.
#include <cstdlib>
#include <string>

#include "exact/constants.h"
#include "functions/functions.h"
#include "tests/exact/exp_log_cases.h"

using namespace exact_test;

namespace {

// A hard case. `expect` is the expected result when MPFR cannot serve as the oracle
// (results exactly on a truncation boundary, or nearer to one than MPFR's binary
// operands are to the decimal ones):
//   "" MPFR; "=x" the argument itself; "<x" the next D-digit number toward zero;
//   "9s" ±0.99…9; "ERROR", "OVERFLOW", "0"; otherwise a decimal text.
struct Hard {
  const char *fn;
  const char *x, *y;
  const char *expect;
};

const Hard HARD[] = {
    {"exp", "0", nullptr, "1"},
    {"exp", "1e-50000", nullptr, "1"},
    {"exp", "-1e-50000", nullptr, "9s"},
    {"exp", "1e-999999999", nullptr, "1"},
    {"exp", "-1e-999999999", nullptr, "9s"},
    {"exp", "1e-9", nullptr, ""},
    {"exp", "-1e-9", nullptr, ""},
    {"exp", "2302585100", nullptr, "OVERFLOW"},
    {"exp", "2302585000", nullptr, ""},
    {"exp", "2302585090", nullptr, ""},  // just inside the exponent range
    {"exp", "-2302585093", nullptr, ""},
    {"exp", "-2302585100", nullptr, "0"},
    {"exp", "1e10", nullptr, "OVERFLOW"},
    {"exp", "-1e300", nullptr, "0"},
    {"exp10", "3", nullptr, "1000"},
    {"exp10", "-3", nullptr, "0.001"},
    {"exp10", "999999999", nullptr, "1e999999999"},
    {"exp10", "1000000000", nullptr, "OVERFLOW"},
    {"exp10", "-1000000000", nullptr, "0"},
    {"exp10", "0.5", nullptr, ""},
    {"exp10", "-2.5", nullptr, ""},
    {"exp10", "1e-50000", nullptr, "1"},
    {"exp10", "-1e-50000", nullptr, "9s"},
    {"exp10", "123456.000000001", nullptr, ""},
    {"ln", "1", nullptr, "0"},
    {"ln", "0", nullptr, "ERROR"},
    {"ln", "-2", nullptr, "ERROR"},
    {"ln", "1.000000001", nullptr, ""},
    {"ln", "0.999999999", nullptr, ""},
    {"ln", "1e999999999", nullptr, ""},
    {"ln", "1e-999999999", nullptr, ""},
    {"ln", "10", nullptr, ""},
    {"log10", "1000", nullptr, "3"},
    {"log10", "1e-999999999", nullptr, "-999999999"},
    {"log10", "1", nullptr, "0"},
    {"log10", "1.00000001", nullptr, ""},
    {"log10", "0.99999999", nullptr, ""},
    {"log10", "2", nullptr, ""},
    {"sinh", "0", nullptr, "0"},
    {"sinh", "1e-50000", nullptr, "=x"},
    {"sinh", "-3e-999999999", nullptr, "=x"},
    {"sinh", "1e-6", nullptr, ""},
    {"sinh", "-2e9", nullptr, ""},
    {"sinh", "-2302585100", nullptr, "OVERFLOW"},
    {"cosh", "0", nullptr, "1"},
    {"cosh", "1e-50000", nullptr, "1"},
    {"cosh", "-1e-5", nullptr, ""},
    {"cosh", "-2302585100", nullptr, "OVERFLOW"},
    {"tanh", "0", nullptr, "0"},
    {"tanh", "1e-50000", nullptr, "<x"},
    {"tanh", "-1e-50000", nullptr, "<x"},
    {"tanh", "14", nullptr, ""},
    {"tanh", "-20", nullptr, ""},
    {"tanh", "1e6", nullptr, "9s"},
    {"tanh", "-1e999999999", nullptr, "9s"},
    {"tanh", "0.4999", nullptr, ""},
    {"asinh", "0", nullptr, "0"},
    {"asinh", "1e-50000", nullptr, "<x"},
    {"asinh", "-1e999999999", nullptr, ""},
    {"asinh", "-1e-7", nullptr, ""},
    {"acosh", "1", nullptr, "0"},
    {"acosh", "0.5", nullptr, "ERROR"},
    {"acosh", "1.0000000001", nullptr, ""},
    {"acosh", "1e999999999", nullptr, ""},
    {"atanh", "0", nullptr, "0"},
    {"atanh", "1", nullptr, "ERROR"},
    {"atanh", "-1", nullptr, "ERROR"},
    {"atanh", "1e-50000", nullptr, "=x"},
    {"atanh", "0.9999999999", nullptr, ""},
    {"atanh", "-0.9999999999", nullptr, ""},
    {"atanh", "1e-7", nullptr, ""},
    {"pow", "1.44", "0.5", "1.2"},
    {"pow", "0.25", "1.5", "0.125"},
    {"pow", "2", "10", "1024"},
    {"pow", "2", "-3", "0.125"},
    {"pow", "-2", "3", "-8"},
    {"pow", "-2", "-2", "0.25"},
    {"pow", "-2", "0.5", "ERROR"},
    {"pow", "-1", "1e20", "1"},
    {"pow", "0", "2", "0"},
    {"pow", "0", "-2", "ERROR"},
    {"pow", "0", "0", "1"},
    {"pow", "7.5", "0", "1"},
    {"pow", "1", "12345.678", "1"},
    {"pow", "1e6", "0.5", "1000"},
    {"pow", "1e-6", "-1.5", "1e9"},
    {"pow", "32", "0.2", "2"},
    {"pow", "0.0016", "-0.25", "5"},
    {"pow", "1e524288", "0.0000019073486328125", "10"},
    {"pow", "3", "-1", ""},
    {"pow", "9", "-0.5", ""},
    {"pow", "1.5", "40", ""},
    {"pow", "2", "0.5", ""},
    {"pow", "10", "999999999", "1e999999999"},
    {"pow", "10", "1000000000", "OVERFLOW"},
    {"pow", "0.1", "1000000000", "0"},
    {"pow", "2", "1e-50000", "1"},
    {"pow", "0.5", "1e-50000", "9s"},
    {"pow", "1.000001", "1e-50000", "1"},
    {"pow", "2", "1e20", "OVERFLOW"},
    {"pow", "2", "-1e20", "0"},
    {"pow", "1.0000001", "12345.5", ""},
    {"pow", "1e-300", "3.3", "1e-990"},
    {"pow", "1e-300", "3.25", "1e-975"},
    {"pow", "1e-300", "3.3333", ""},
};

Unary unary_of(const std::string &name, MpfrUnary *oracle) {
  for (const UnaryFn &f : UNARY_FNS)
    if (name == f.name) {
      *oracle = f.oracle;
      return f.exact;
    }
  return nullptr;
}

std::string expected(const Hard &h, DecWord *x, DecWord *y, MpfrUnary oracle) {
  const std::string e = h.expect;
  Num t;
  if (e.empty()) return h.y ? oracle_pow(x, y) : oracle_unary(oracle, x);
  if (e == "ERROR" || e == "OVERFLOW" || e == "0") return e;
  std::string s = digits_of(x);
  if (e == "=x") return s;
  if (e == "<x") {
    // The D-digit number below |x|, for x = ±10^k: D nines one position lower.
    const bool neg = s[0] == '-';
    const long exponent = std::stol(s.substr(s.find('e') + 1));
    return std::string(neg ? "-" : "") + std::string(internal_digits - 1, '9') + "e" + std::to_string(exponent - 1);
  }
  if (e == "9s") {
    const bool neg = h.x[0] == '-' && std::string(h.fn) == "tanh";
    return std::string(neg ? "-" : "") + std::string(internal_digits - 1, '9') + "e-1";
  }
  dec_from_text(t, h.expect);
  return digits_of(t);
}

void check_hard(int digits) {
  wide_exponents();
  dec_set_precision(digits);
  for (const Hard &h : HARD) {
    Num x, y, out;
    dec_from_text(x, h.x);
    if (h.y) dec_from_text(y, h.y);
    MpfrUnary oracle = nullptr;
    if (h.y) exact_pow(out, x, y);
    else unary_of(h.fn, &oracle)(out, x);
    EXPECT_EQ(digits_of(out), expected(h, x, y, oracle))
        << h.fn << "(" << h.x << (h.y ? std::string(", ") + h.y : std::string()) << ") at " << digits;
  }
}

TEST(ExactExpLog, RandomArgumentsAgreeWithMpfr) {
  check_random(12, 40, 1);
  check_random(13, 40, 2);
  check_random(30, 30, 3);
  check_random(100, 20, 4);
  // On either side of the size from which the pieces of exp are shared between threads.
  check_random(300, 3, 8);
  check_random(400, 3, 9);
  check_random(1000, 3, 5);
}

TEST(ExactExpLog, RandomArgumentsWithTheStoredConstantsAgreeWithMpfr) {
  // As in a session: the engine hands over the stored digits of π, e and ln 10.
  exact_use_stored_constants(PiDigits, EDigits, Ln10Digits, CONST_TABLE_DIGITS);
  check_random(30, 20, 6);
  check_random(1000, 3, 7);
  exact_use_stored_constants(nullptr, nullptr, nullptr, 0);
}

TEST(ExactExpLog, ExactAndHardCases) {
  for (int digits : {12, 13, 30, 100, 1000}) check_hard(digits);
}

TEST(ExactExpLog, ConstantsAreFloors) {
  // e against MPFR; ln 2 and ln 10 as floor(c × 10^(6p)) against MPFR's, on both sides of
  // their cache (the last, shorter request is served from it).
  wide_exponents();
  for (int digits : {12, 100, 1000, 40}) {
    dec_set_precision(digits);
    Num out;
    exact_e(out);
    mpfr_t v, scale;
    mpfr_inits2(oracle_bits() + 64, v, scale, (mpfr_ptr)0);
    mpfr_set_ui(v, 1, MPFR_RNDZ);
    mpfr_exp(v, v, MPFR_RNDZ);
    EXPECT_EQ(digits_of(out), digits_of(v));
    const int p = digits / 6 + 1;
    for (int which = 0; which < 2; ++which) {
      exact::arena_reset();
      const exact::Int c = which ? exact::const_ln10(p) : exact::const_ln2(p);
      which ? mpfr_log_ui(v, 10, MPFR_RNDZ) : mpfr_const_log2(v, MPFR_RNDZ);
      mpfr_ui_pow_ui(scale, 10, 6 * (unsigned long)p, MPFR_RNDZ);
      mpfr_mul(v, v, scale, MPFR_RNDZ);
      mpz_t z;
      mpz_init(z);
      mpfr_get_z(z, v, MPFR_RNDZ);
      char *want = mpz_get_str(nullptr, 10, z);
      std::string got = std::to_string(c.m.d[c.m.n - 1]);
      for (int i = c.m.n - 2; i >= 0; --i) {
        const std::string limb = std::to_string(c.m.d[i]);
        got += std::string(6 - limb.size(), '0') + limb;
      }
      EXPECT_EQ(got, want) << (which ? "ln 10" : "ln 2") << " at " << p << " limbs";
      free(want);
      mpz_clear(z);
    }
    mpfr_clears(v, scale, (mpfr_ptr)0);
  }
}

}  // namespace
