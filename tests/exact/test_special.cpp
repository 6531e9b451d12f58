// The exact mode's further constants and special functions against MPFR: random operands
// over each domain, the exact results, poles and domain errors, and the hard cases near
// truncation boundaries and at the ends of the exponent range.
#include <string>

#include "exact/constants.h"
#include "functions/functions.h"
#include "tests/exact/special_cases.h"

using namespace exact_test;

namespace {

TEST(ExactSpecial, RandomArgumentsAgreeWithMpfr) {
  exact_radian_mode = 0;
  check_special_random(12, 24, 11);
  check_special_random(30, 12, 12);
  check_special_random(100, 6, 13);
  exact_radian_mode = 1;
  check_special_random(30, 6, 14);
  exact_radian_mode = 0;
}

// γ, G, ζ(3), ln 2, φ and √2 at several precisions, and again after a longer one (the cache).
TEST(ExactSpecial, ConstantsAgreeWithMpfr) {
  wide_exponents();
  using Constant = int (*)(DecWord *);
  const struct {
    const char *name;
    Constant exact;
  } constants[] = {{"euler", exact_euler}, {"catalan", exact_catalan}, {"zeta3", exact_zeta3},
                   {"ln2", exact_ln2},     {"phi", exact_phi},         {"sqrt2", exact_sqrt2}};
  for (int digits : {12, 30, 100, 1000, 13}) {
    dec_set_precision(digits);
    for (const auto &c : constants) {
      mpfr_t v;
      mpfr_init2(v, oracle_bits());
      const std::string n = c.name;
      if (n == "euler") mpfr_const_euler(v, MPFR_RNDZ);
      if (n == "catalan") mpfr_const_catalan(v, MPFR_RNDZ);
      if (n == "zeta3") mpfr_zeta_ui(v, 3, MPFR_RNDZ);
      if (n == "ln2") mpfr_const_log2(v, MPFR_RNDZ);
      if (n == "sqrt2") mpfr_sqrt_ui(v, 2, MPFR_RNDZ);
      if (n == "phi") {
        mpfr_sqrt_ui(v, 5, MPFR_RNDZ);
        mpfr_add_ui(v, v, 1, MPFR_RNDZ);
        mpfr_div_2ui(v, v, 1, MPFR_RNDZ);
      }
      Num out;
      c.exact(out);
      EXPECT_EQ(digits_of(out), digits_of(v)) << c.name << " at " << digits;
      mpfr_clear(v);
    }
  }
}

// A hard case: `expect` is "" for MPFR's value, a decimal text, "ERROR", "OVERFLOW", "0", or
// "9s" (±.99…9, x's sign), "1.99s" (1.99…9) and "<v" (the D-digit number just inside v).
struct Hard {
  const char *fn;
  const char *x, *y;
  const char *expect;
};

const Hard HARD[] = {
    // Γ: exact integers, poles, half-integers, tiny and large arguments, near the poles.
    {"gamma", "5", nullptr, "24"},
    {"gamma", "1", nullptr, "1"},
    {"gamma", "21", nullptr, "2432902008176640000"},
    {"gamma", "0", nullptr, "ERROR"},
    {"gamma", "-3", nullptr, "ERROR"},
    {"gamma", "-1e20", nullptr, "ERROR"},
    {"gamma", "0.5", nullptr, ""},
    {"gamma", "-0.5", nullptr, ""},
    {"gamma", "-2.000000001", nullptr, ""},
    {"gamma", "1e-30", nullptr, ""},
    {"gamma", "-1e-30", nullptr, ""},
    {"gamma", "1e-50000", nullptr, "<1e50000"},  // 1/x − γ: just inside 10^50000
    {"gamma", "-1e-50000", nullptr, "-1e50000"},
    {"gamma", "170.5", nullptr, ""},
    {"gamma", "1000.25", nullptr, ""},
    {"gamma", "123456.789", nullptr, ""},
    {"gamma", "-1000.5", nullptr, ""},
    {"gamma", "2e8", nullptr, "OVERFLOW"},
    {"gamma", "1e300", nullptr, "OVERFLOW"},
    {"gamma", "-100000000.5", nullptr, ""},
    // ln |Γ|: zeros at 1 and 2, poles, large and tiny arguments.
    {"lngamma", "1", nullptr, "0"},
    {"lngamma", "2", nullptr, "0"},
    {"lngamma", "-2", nullptr, "ERROR"},
    {"lngamma", "1.0000000001", nullptr, ""},
    {"lngamma", "1.9999999999", nullptr, ""},
    {"lngamma", "1e30", nullptr, ""},
    {"lngamma", "1e-40", nullptr, ""},
    {"lngamma", "-100.3", nullptr, ""},
    {"lngamma", "1.1e979053143", nullptr, ""},
    // ζ: the pole, exact values, near the pole, negative and large arguments.
    {"zeta", "1", nullptr, "ERROR"},
    {"zeta", "0", nullptr, "-0.5"},
    {"zeta", "-2", nullptr, "0"},
    {"zeta", "-1e9", nullptr, "0"},
    {"zeta", "-1", nullptr, ""},
    {"zeta", "-13", nullptr, ""},
    {"zeta", "-1201", nullptr, ""},  // beyond the tabled Bernoulli numbers
    {"zeta", "2", nullptr, ""},
    {"zeta", "3", nullptr, ""},
    {"zeta", "1.0000000001", nullptr, ""},
    {"zeta", "0.9999999999", nullptr, ""},
    {"zeta", "-2.00001", nullptr, ""},
    {"zeta", "1e-30", nullptr, ""},
    {"zeta", "1e-999999999", nullptr, "-0.5"},
    {"zeta", "-1e-999999999", nullptr, "<-0.5"},
    {"zeta", "150.5", nullptr, ""},
    {"zeta", "1e6", nullptr, "1"},
    // erf and erfc: zero, tiny and huge arguments, the complement's range.
    {"erf", "0", nullptr, "0"},
    {"erf", "1e-999999999", nullptr, ""},
    {"erf", "-3", nullptr, ""},
    {"erf", "10", nullptr, ""},
    {"erf", "1e6", nullptr, "9s"},
    {"erf", "-1e6", nullptr, "9s"},
    {"erfc", "0", nullptr, "1"},
    {"erfc", "1e-999999999", nullptr, "9s"},
    {"erfc", "-1e-999999999", nullptr, "1"},
    {"erfc", "30", nullptr, ""},
    {"erfc", "515", nullptr, ""},
    {"erfc", "-515", nullptr, "1.99s"},
    {"erfc", "60000", nullptr, "0"},
    // AGM: equal and zero arguments, signs, an extreme ratio.
    {"agm", "2.5", "2.5", "2.5"},
    {"agm", "0", "7", "0"},
    {"agm", "-1", "2", "ERROR"},
    {"agm", "-1", "-2", ""},
    {"agm", "1", "1e-50000", ""},
    {"agm", "1e999999999", "1", ""},
    // atan2 (degrees): the axes, the diagonals, extreme ratios on every side of a quarter turn.
    {"atan2", "0", "0", "ERROR"},
    {"atan2", "0", "5", "0"},
    {"atan2", "0", "-5", "180"},
    {"atan2", "5", "0", "90"},
    {"atan2", "-5", "0", "-90"},
    {"atan2", "2", "2", "45"},
    {"atan2", "-2", "-2", "-135"},
    {"atan2", "1e-50000", "-1", "<180"},
    {"atan2", "-1e-50000", "-1", "<-180"},
    {"atan2", "1", "1e-50000", "<90"},
    {"atan2", "1e999999999", "1e-999999999", "<90"},
    {"atan2", "3", "4", ""},
    // log_b: exact rationals and the domain.
    {"logb", "8", "2", "3"},
    {"logb", "2", "8", ""},
    {"logb", "8", "4", "1.5"},
    {"logb", "0.001", "10", "-3"},
    {"logb", "32", "0.25", "-2.5"},
    {"logb", "1.44", "1.2", "2"},
    {"logb", "1e999999999", "10", "999999999"},
    {"logb", "1", "7", "0"},
    {"logb", "2", "3", ""},
    {"logb", "0", "3", "ERROR"},
    {"logb", "3", "1", "ERROR"},
    {"logb", "3", "-2", "ERROR"},
    // n-th roots: exact roots, odd roots of negatives, even ones, negative orders.
    {"nroot", "-8", "3", "-2"},
    {"nroot", "1e30", "3", "1e10"},
    {"nroot", "1024", "-10", "0.5"},
    {"nroot", "-2", "4", "ERROR"},
    {"nroot", "2", "0", "ERROR"},
    {"nroot", "2", "1.5", "ERROR"},
    {"nroot", "0", "-3", "ERROR"},
    {"nroot", "2", "-2", ""},
    {"nroot", "-0.001", "5", ""},
    {"nroot", "2", "100", ""},
    {"nroot", "7", "1e200", "1"},  // the exponent ln 7 / n below the last digit
    {"nroot", "0.5", "1e200", "9s"},
    {"nroot", "6e2379", "-4e300", "9s"},
};

std::string hard_expected(const Hard &h, const SpecialFn &f, DecWord *x, DecWord *y) {
  const std::string e = h.expect;
  if (e.empty()) return special_oracle(f, x, y);
  if (e == "ERROR" || e == "OVERFLOW" || e == "0") return e;
  const std::string D9(internal_digits - 1, '9');
  if (e == "9s") return std::string(h.x[0] == '-' ? "-" : "") + D9 + "e-1";
  if (e == "1.99s") return "1" + D9.substr(1) + "e0";
  Num t;
  if (e[0] == '<') dec_from_text(t, e.c_str() + 1);
  else dec_from_text(t, e.c_str());
  if (e[0] != '<') return digits_of(t);
  // The D-digit number just inside ±10^k (or 180, 90): nines one position lower, or the
  // value minus one unit of its last digit.
  std::string s = digits_of(t);
  const bool neg = s[0] == '-';
  const long exponent = std::stol(s.substr(s.find('e') + 1));
  std::string digits = s.substr(neg ? 1 : 0, s.find('e') - (neg ? 1 : 0));
  if (digits[0] == '1' && digits.find_first_not_of('0', 1) == std::string::npos)
    return std::string(neg ? "-" : "") + D9 + "e" + std::to_string(exponent - 1);
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '0') {
      --digits[i];
      break;
    }
    digits[i] = '9';
  }
  return std::string(neg ? "-" : "") + digits + "e" + std::to_string(exponent);
}

TEST(ExactSpecial, ExactAndHardCases) {
  exact_radian_mode = 0;
  for (int digits : {12, 30, 100}) {
    wide_exponents();
    dec_set_precision(digits);
    for (const Hard &h : HARD) {
      const SpecialFn *f = special_fn(h.fn);
      ASSERT_NE(f, nullptr) << h.fn;
      Num x, y;
      dec_from_text(x, h.x);
      if (h.y) dec_from_text(y, h.y);
      EXPECT_EQ(special_exact(*f, x, y), hard_expected(h, *f, x, y))
          << h.fn << "(" << h.x << (h.y ? std::string(", ") + h.y : std::string()) << ") at " << digits;
    }
  }
}

// The status line names the reason of a pole or a domain error; a value gives none.
TEST(ExactSpecial, PolesAndDomainErrorsSayWhy) {
  dec_set_precision(12);
  Num x, y, out;
  dec_from_text(x, "-4");
  exact_gamma(out, x);
  EXPECT_STREQ(exact_message(), "gamma: pole at 0, -1, -2, ...");
  dec_from_text(x, "2.5");
  exact_gamma(out, x);
  EXPECT_STREQ(exact_message(), "");
  dec_from_text(y, "3");
  exact_logb(out, x, y);
  EXPECT_STREQ(exact_message(), "");
  dec_from_text(y, "0");
  exact_powmod(out, x, x, y);
  EXPECT_STREQ(exact_message(), "powmod: a, b and m must be integers");
}

}  // namespace
