// The exact mode against MPFR in one run, as ratios: every function at 1,000, 10,000 and
// 100,000 digits, timed in turn with two threads, with one (the pool off) and by MPFR
// (the function at ⌈D log2 10⌉ + 32 bits and one conversion to D decimal digits), the
// three interleaved round by round so that a machine whose load drifts affects them alike;
// medians of the rounds. Full-length arguments as bench_exact_exp and bench_exact_trig
// take them (√2; √2 − 1 for asin and acos, 1 + √2 / 10 for acosh, √2 / 2 for atanh, √3 for
// the exponent of x ^ y; radians), with the stored constants handed over as in a session.
//   build/bench/bench_exact_ratios [--digits 1000,10000,100000] [--fns exp,ln,...]
//                                  [--rounds N (default: 300 000 / digits + 4)]
// prints a Markdown table: digits, function, two threads, one thread, MPFR, and the ratios
// two threads / MPFR and one thread / MPFR.
#include <mpfr.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "bench/stored_constants.h"
#include "core/core.h"
#include "core/parallel.h"
#include "exact/exact.h"

namespace {

using Unary = int (*)(DecWord *, const DecWord *);
using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

enum Arg { SQRT2, SQRT2_MINUS_1, ACOSH_ARG, ATANH_ARG };

struct Fn {
  const char *name;
  Unary exact;  // null: x ^ y
  MpfrUnary mpfr;
  Arg arg;
};

const Fn FNS[] = {
    {"exp", exact_exp, mpfr_exp, SQRT2},          {"exp10", exact_exp10, mpfr_exp10, SQRT2},
    {"ln", exact_ln, mpfr_log, SQRT2},            {"log10", exact_log10, mpfr_log10, SQRT2},
    {"pow", nullptr, nullptr, SQRT2},             {"sinh", exact_sinh, mpfr_sinh, SQRT2},
    {"cosh", exact_cosh, mpfr_cosh, SQRT2},       {"tanh", exact_tanh, mpfr_tanh, SQRT2},
    {"asinh", exact_asinh, mpfr_asinh, SQRT2},    {"acosh", exact_acosh, mpfr_acosh, ACOSH_ARG},
    {"atanh", exact_atanh, mpfr_atanh, ATANH_ARG}, {"sin", exact_sin, mpfr_sin, SQRT2},
    {"cos", exact_cos, mpfr_cos, SQRT2},          {"tan", exact_tan, mpfr_tan, SQRT2},
    {"asin", exact_asin, mpfr_asin, SQRT2_MINUS_1}, {"acos", exact_acos, mpfr_acos, SQRT2_MINUS_1},
    {"atan", exact_atan, mpfr_atan, SQRT2},       {"sqrt", exact_sqrt, mpfr_sqrt, SQRT2},
    {"cbrt", exact_cbrt, mpfr_cbrt, SQRT2},
};

mpfr_prec_t bits_for(int digits) { return (mpfr_prec_t)std::ceil(digits * 3.3219280948873623) + 32; }

// v = the argument (at the working bits plus a margin) and d = its decimal truncation.
void make_arg(Arg arg, unsigned long root, mpfr_ptr v, DecWord *d) {
  mpfr_sqrt_ui(v, root, MPFR_RNDN);
  if (arg == SQRT2_MINUS_1) mpfr_sub_ui(v, v, 1, MPFR_RNDN);
  if (arg == ACOSH_ARG) {
    mpfr_div_ui(v, v, 10, MPFR_RNDN);
    mpfr_add_ui(v, v, 1, MPFR_RNDN);
  }
  if (arg == ATANH_ARG) mpfr_div_ui(v, v, 2, MPFR_RNDN);
  mpfr_exp_t e;
  char *s = mpfr_get_str(nullptr, &e, 10, (size_t)internal_digits, v, MPFR_RNDZ);
  const std::string text = std::string("0.") + s + "e" + std::to_string((long)e);
  mpfr_free_str(s);
  dec_from_text(d, text.c_str());
}

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string ms(double seconds) {
  char buf[32];
  const double m = seconds * 1e3;
  std::snprintf(buf, sizeof buf, m < 1 ? "%.3f ms" : m < 10 ? "%.2f ms" : "%.1f ms", m);
  return buf;
}

std::vector<std::string> split(const char *list) {
  std::vector<std::string> out;
  std::stringstream in(list);
  for (std::string item; std::getline(in, item, ',');) out.push_back(item);
  return out;
}

DecWord X[DEC_BUF_WORDS], Y[DEC_BUF_WORDS], Out[DEC_BUF_WORDS];

void measure(const Fn &fn, int digits, int rounds) {
  dec_set_precision(digits);
  exact_radian_mode = 1;
  const mpfr_prec_t bits = bits_for(digits);
  mpfr_t a, b, r;
  mpfr_inits2(bits + 64, a, b, (mpfr_ptr)0);
  mpfr_init2(r, bits);
  make_arg(fn.arg, 2, a, X);
  make_arg(SQRT2, 3, b, Y);
  mpfr_prec_round(a, bits, MPFR_RNDN);
  mpfr_prec_round(b, bits, MPFR_RNDN);
  const auto exact = [&] { fn.exact ? fn.exact(Out, X) : exact_pow(Out, X, Y); };
  const auto peer = [&] {
    if (fn.mpfr) fn.mpfr(r, a, MPFR_RNDZ);
    else mpfr_pow(r, a, b, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    mpfr_free_str(s);
  };
  exact();  // fills the caches (π, ln 10 beyond the stored digits), as in a session
  peer();
  std::vector<double> two, one, other;
  for (int i = 0; i < rounds; ++i) {
    parallel_set_enabled(true);
    double t = now();
    exact();
    two.push_back(now() - t);
    parallel_set_enabled(false);
    t = now();
    exact();
    one.push_back(now() - t);
    parallel_set_enabled(true);
    t = now();
    peer();
    other.push_back(now() - t);
  }
  const double t2 = median(two), t1 = median(one), tm = median(other);
  std::printf("| %d | %s | %s | %s | %s | %.2f | %.2f |\n", digits, fn.name, ms(t2).c_str(),
              ms(t1).c_str(), ms(tm).c_str(), t2 / tm, t1 / tm);
  std::fflush(stdout);
  mpfr_clears(a, b, r, (mpfr_ptr)0);
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> digits = {"1000", "10000", "100000"}, names;
  int rounds = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--digits")) digits = split(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--fns")) names = split(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--rounds")) rounds = std::atoi(argv[i + 1]);
  }
  std::printf("| Digits | Function | two threads | one thread | MPFR | two / MPFR | one / MPFR |\n");
  std::printf("|---|---|---|---|---|---|---|\n");
  for (const std::string &d : digits) {
    const int n = std::atoi(d.c_str());
    for (const Fn &fn : FNS) {
      if (!names.empty() && std::find(names.begin(), names.end(), fn.name) == names.end()) continue;
      measure(fn, n, rounds > 0 ? rounds : 300000 / n + 4);
    }
  }
  return 0;
}
