// Accuracy of the elementary functions against MPFR.
//
// For a random argument x (a decimal text held exactly at the working precision) the text
// that dec_to_text shows for f(x) must equal MPFR's value of f(x), computed with plenty of
// extra bits, rounded to sig_digits. The one exception is a true value that lies within the
// error tolerance of a rounding boundary (the half-way point between two shown values, or
// the trigonometric functions' zero threshold): the guard digits cannot settle those, so
// they are counted, must be rare, and are not compared. Independently of the text, the
// error of the unrounded result must stay within the tolerance.
//
// Tolerance: `ulps` units of the result's last internal digit plus `abs` units of
// 10^−(internal_digits − 2) (one unit in the last internal digit of a value near 1),
// per case, in multiples of the error unit of one full multiplication (Prec::u). The
// absolute part models the formulas that subtract nearly equal values or reduce by a
// truncated π; the argument domains keep it below the guard digits.
//
// Seeds: DEEPNUMS_TEST_SEED replaces the default seed of every case; FN_DEBUG_BOUNDARY=1
// lists the undecided cases.
#pragma once

#include <mpfr.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fn_test_util.h"

namespace fntest {

// The precision and its digit counts, as the samplers see them.
struct Prec {
  int sig;     // sig_digits
  int digits;  // internal_digits − 1: significant digits a number holds
  int guard;   // digits − sig
  // Error unit: a full multiplication drops one partial product below the last digit for
  // each non-zero multiplier digit, so its result can be short by up to about
  // internal_digits units of the last digit (half of that on average).
  double u;
};

inline Prec current_prec() {
  return Prec{sig_digits, internal_digits - 1, internal_digits - 1 - sig_digits, (double)internal_digits};
}

// Largest decimal exponent e such that an error of per_unit × 10^e error units stays two
// digits inside the guard digits.
inline long exponent_within_guard(const Prec &p, double per_unit) {
  const double room = std::pow(10.0, p.guard - 2) / (p.u * per_unit);
  return room < 1 ? 0 : (long)std::floor(std::log10(room));
}

// ---- random decimal texts -------------------------------------------------------------

// A text of `ndigits` significant digits (the first non-zero) times 10^e, with sign.
inline std::string decimal_text(std::mt19937_64 &rng, int ndigits, long e, bool negative) {
  std::string s = negative ? "-" : "";
  s.push_back((char)('1' + rng() % 9));
  if (ndigits > 1) {
    s.push_back('.');
    for (int i = 1; i < ndigits; ++i) s.push_back((char)('0' + rng() % 10));
  }
  s += "e" + std::to_string(e);
  return s;
}

inline int random_digit_count(std::mt19937_64 &rng, const Prec &p) {
  switch (rng() % 3) {
    case 0: return 1 + (int)(rng() % 3);
    case 1: return p.digits;
    default: return 1 + (int)(rng() % (unsigned)p.digits);
  }
}

// |x| = m × 10^e with e uniform in [lo, hi].
inline std::string random_magnitude(std::mt19937_64 &rng, const Prec &p, long lo, long hi, bool negative) {
  const long e = lo + (long)(rng() % (unsigned long)(hi - lo + 1));
  return decimal_text(rng, random_digit_count(rng, p), e, negative);
}

// c + δ with |δ| = 10^−m (m in [mlo, mhi]), δ's sign random, written exactly (c has few
// digits, so c + δ fits when m stays below the precision).
inline std::string near_point(std::mt19937_64 &rng, const char *c, int mlo, int mhi) {
  const int m = mlo + (int)(rng() % (unsigned)(mhi - mlo + 1));
  mpfr_t a, d;
  mpfr_inits2(64 + (mpfr_prec_t)(4 * (m + 40)), a, d, (mpfr_ptr)0);
  mpfr_set_str(a, c, 10, MPFR_RNDN);
  mpfr_set_ui(d, 10, MPFR_RNDN);
  mpfr_pow_si(d, d, -m, MPFR_RNDN);
  mpfr_mul_ui(d, d, 1 + (unsigned)(rng() % 9), MPFR_RNDN);
  if (rng() % 2) mpfr_neg(d, d, MPFR_RNDN);
  mpfr_add(a, a, d, MPFR_RNDN);
  char *str = nullptr;
  mpfr_exp_t ex;
  str = mpfr_get_str(nullptr, &ex, 10, (size_t)(m + 6), a, MPFR_RNDN);
  std::string digits = str;
  mpfr_free_str(str);
  mpfr_clears(a, d, (mpfr_ptr)0);
  bool neg = !digits.empty() && digits[0] == '-';
  if (neg) digits.erase(0, 1);
  return (neg ? "-." : ".") + digits + "e" + std::to_string((long)ex);
}

// ---- cases ----------------------------------------------------------------------------

struct Tolerance {
  double ulps;  // units of the result's last internal digit
  double abs;   // units of 10^−(internal_digits − 2)
};


typedef int (*BinaryFn)(DecWord *, const DecWord *, const DecWord *);

// Arguments of one check: x, and y for a function of two operands.
struct Args {
  std::string x, y;
};

struct AccuracyCase {
  const char *name;
  UnaryFn fn;       // one operand, or
  BinaryFn fn2;     // two operands (then the reference reads y)
  int radians;      // angle unit for the trigonometric functions and their inverses
  bool periodic;    // reduced by a period: the reference needs x's integer digits too
  bool tiny_rule;   // results below 5 × 10^−(sig_digits + 1) show as 0
  std::function<Args(std::mt19937_64 &, const Prec &)> sample;
  // r = f(x[, y]) at r's precision.
  std::function<void(mpfr_t r, mpfr_t x, mpfr_t y)> reference;
  // Tolerance for these arguments and the true value v.
  std::function<Tolerance(mpfr_t x, mpfr_t y, mpfr_t v, const Prec &)> tolerance;
};

// The arguments of the check in progress, as texts (for tolerances that depend on how
// many digits an argument has).
inline Args &current_args() {
  static Args args;
  return args;
}

// Significant digits of a decimal text.
inline int text_digits(const std::string &t) { return significant_digits(t); }

struct CaseStats {
  int compared = 0;
  int boundary = 0;
  double max_err_ulps = 0;
};

inline void mpfr_from_decnum(mpfr_t r, DecWord *p) {
  std::string t = fntest::bare(p);
  mpfr_set_str(r, t.c_str(), 10, MPFR_RNDN);
}

// ---- the check ------------------------------------------------------------------------

// Runs one argument; records failures with the seed and the argument.
inline void check_case(const AccuracyCase &c, const Args &args, uint64_t seed, CaseStats *st) {
  const Prec p = current_prec();
  radian_mode = c.radians;
  Num x(args.x.c_str()), y(args.y.empty() ? "0" : args.y.c_str()), out;
  ASSERT_FALSE(dec_is_marker(x)) << args.x;
  ASSERT_FALSE(dec_is_marker(y)) << args.y;
  const int status = c.fn2 ? c.fn2(out, x, y) : c.fn(out, x);
  const std::string got = fntest::shown(out);

  // Precision for the reference: the working digits, a wide margin, and the digits of x's
  // integer part for the period reductions.
  mpfr_t mx, my, v, t1, t2;
  const long xexp = (long)dec_exponent(x);
  const long extra = c.periodic && xexp > 0 ? xexp : 0;
  // Twice the digits: an x near a special point (1 + 10^−m, 180 + 10^−m) keeps its offset.
  const mpfr_prec_t bits = (mpfr_prec_t)((double)(2 * p.digits + 60 + extra) * 3.33) + 64;
  mpfr_inits2(bits, mx, my, v, t1, t2, (mpfr_ptr)0);
  mpfr_set_str(mx, args.x.c_str(), 10, MPFR_RNDN);
  mpfr_set_str(my, args.y.empty() ? "0" : args.y.c_str(), 10, MPFR_RNDN);
  c.reference(v, mx, my);

  char where[600];
  std::snprintf(where, sizeof where, "%s(%s%s%s) at %d digits%s, seed %llu", c.name, args.x.c_str(),
                args.y.empty() ? "" : ", ", args.y.c_str(), p.sig, c.radians ? " (radians)" : "",
                (unsigned long long)seed);
  if (mpfr_nan_p(v)) {
    EXPECT_EQ(dec_head(out), NUM_ERROR) << where;
    mpfr_clears(mx, my, v, t1, t2, (mpfr_ptr)0);
    return;
  }
  ASSERT_EQ(status, 0) << where << ": " << got;
  ASSERT_EQ(dec_check_valid(out), 0) << where;

  // Tolerance in value units.
  current_args() = args;
  const Tolerance tol = c.tolerance(mx, my, v, p);
  mpfr_t tolv, unit;
  mpfr_inits2(bits, tolv, unit, (mpfr_ptr)0);
  mpfr_set_zero(tolv, 1);
  long ve = 0;  // |v| in [10^(ve−1), 10^ve)
  if (!mpfr_zero_p(v)) {
    mpfr_abs(t1, v, MPFR_RNDN);
    mpfr_log10(t1, t1, MPFR_RNDN);
    mpfr_floor(t1, t1);
    ve = mpfr_get_si(t1, MPFR_RNDN) + 1;
    mpfr_set_ui(unit, 10, MPFR_RNDN);
    mpfr_pow_si(unit, unit, ve - (long)internal_digits + 1, MPFR_RNDN);  // last internal digit
    mpfr_mul_d(tolv, unit, tol.ulps, MPFR_RNDN);
  }
  mpfr_set_ui(unit, 10, MPFR_RNDN);
  mpfr_pow_si(unit, unit, -(long)(internal_digits - 2), MPFR_RNDN);
  mpfr_mul_d(unit, unit, tol.abs, MPFR_RNDN);
  mpfr_add(tolv, tolv, unit, MPFR_RNDN);

  // The error of the unrounded result; a result the zero threshold has cleared may lie
  // up to the threshold away.
  mpfr_from_decnum(t1, out);
  mpfr_sub(t1, t1, v, MPFR_RNDN);
  mpfr_abs(t1, t1, MPFR_RNDN);
  mpfr_set(t2, tolv, MPFR_RNDN);
  if (c.tiny_rule && dec_is_zero(out)) {
    mpfr_set_ui(unit, 10, MPFR_RNDN);
    mpfr_pow_si(unit, unit, -(long)(p.sig + 1), MPFR_RNDN);
    mpfr_mul_ui(unit, unit, 5, MPFR_RNDN);
    mpfr_add(t2, t2, unit, MPFR_RNDN);
  }
  if (mpfr_cmp(t1, t2) > 0) {
    char detail[200];
    mpfr_snprintf(detail, sizeof detail, "error %.3Re, tolerance %.3Re", t1, tolv);
    ADD_FAILURE() << where << ": " << detail << "; got " << fntest::bare(out);
  }
  if (!mpfr_zero_p(v) && tol.ulps > 0 && !dec_is_zero(out)) {
    mpfr_set_ui(unit, 10, MPFR_RNDN);
    mpfr_pow_si(unit, unit, ve - (long)internal_digits + 1, MPFR_RNDN);
    mpfr_div(t2, t1, unit, MPFR_RNDN);
    const double e = mpfr_get_d(t2, MPFR_RNDN);
    if (e > st->max_err_ulps) st->max_err_ulps = e;
  }

  // The expected text and whether v is too close to a boundary.
  bool boundary = false;
  std::string expected;
  mpfr_abs(t1, v, MPFR_RNDN);
  mpfr_set_ui(t2, 5, MPFR_RNDN);
  mpfr_set_ui(unit, 10, MPFR_RNDN);
  mpfr_pow_si(unit, unit, -(long)(p.sig + 1), MPFR_RNDN);
  mpfr_mul(t2, t2, unit, MPFR_RNDN);  // the zero threshold 5 × 10^−(sig + 1)
  if (mpfr_zero_p(v) || (c.tiny_rule && mpfr_cmp(t1, t2) < 0)) {
    expected = "0";
  } else {
    char *str = nullptr;
    mpfr_exp_t ex;
    str = mpfr_get_str(nullptr, &ex, 10, (size_t)p.sig, v, MPFR_RNDN);
    std::string digits = str;
    mpfr_free_str(str);
    bool neg = digits[0] == '-';
    if (neg) digits.erase(0, 1);
    std::string text = (neg ? "-." : ".") + digits + "e" + std::to_string((long)ex);
    expected = fntest::shown_text(text.c_str());
    // Distance of |v| from the nearest half-way point at sig digits.
    mpfr_set_ui(unit, 10, MPFR_RNDN);
    mpfr_pow_si(unit, unit, ve - p.sig, MPFR_RNDN);  // one unit of the shown last digit
    mpfr_div(t2, t1, unit, MPFR_RNDN);
    mpfr_frac(t2, t2, MPFR_RNDN);
    mpfr_sub_d(t2, t2, 0.5, MPFR_RNDN);
    mpfr_abs(t2, t2, MPFR_RNDN);
    mpfr_mul(t2, t2, unit, MPFR_RNDN);
    if (mpfr_cmp(t2, tolv) <= 0) boundary = true;
  }
  if (c.tiny_rule) {
    mpfr_set_ui(t2, 5, MPFR_RNDN);
    mpfr_set_ui(unit, 10, MPFR_RNDN);
    mpfr_pow_si(unit, unit, -(long)(p.sig + 1), MPFR_RNDN);
    mpfr_mul(t2, t2, unit, MPFR_RNDN);
    mpfr_sub(t2, t1, t2, MPFR_RNDN);
    mpfr_abs(t2, t2, MPFR_RNDN);
    if (mpfr_cmp(t2, tolv) <= 0) boundary = true;
  }
  if (boundary) {
    if (std::getenv("FN_DEBUG_BOUNDARY")) {
      mpfr_printf("boundary: %s tol %.3Re v %.20Re\n", where, tolv, v);
    }
    ++st->boundary;
  } else {
    ++st->compared;
    EXPECT_EQ(got, expected) << where << "\n unrounded " << fntest::bare(out);
  }
  mpfr_clears(mx, my, v, t1, t2, tolv, unit, (mpfr_ptr)0);
}

// Runs `count` random arguments of every case at the given precision.
inline void run_cases(const std::vector<AccuracyCase> &cases, int digits, int count, uint64_t seed) {
  mpfr_set_emax(mpfr_get_emax_max());
  mpfr_set_emin(mpfr_get_emin_min());
  std::mt19937_64 rng(seed ^ (uint64_t)digits * 0x9E3779B97F4A7C15ULL);
  for (const AccuracyCase &c : cases) {
    Setting setting(digits, c.radians);
    const Prec p = current_prec();
    CaseStats st;
    for (int i = 0; i < count; ++i) {
      const Args args = c.sample(rng, p);
      check_case(c, args, seed, &st);
      if (::testing::Test::HasFatalFailure()) return;
    }
    std::printf("  %-14s %6d digits: %3d compared, %2d near a boundary, max error %.3g ulps\n", c.name,
                digits, st.compared, st.boundary, st.max_err_ulps);
    // Near-boundary cases are expected with a probability of about 2 × tolerance / unit.
    EXPECT_LE(st.boundary, 2 + count / 8) << c.name << " at " << digits << " digits: too many cases left undecided";
  }
}

}  // namespace fntest
