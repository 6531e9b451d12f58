// Timings of π and the trigonometric functions of the exact mode against MPFR.
//
// Every function of a full-length argument (√2, or √2 − 1 for asin and acos) in radians
// at 1,000, 10,000 and 100,000 digits; MPFR computes the same function at
// ⌈D log2 10⌉ + 32 bits and converts it to a decimal string once. Names:
// "exact/<function>/<digits>" and "mpfr/<function>/<digits>". π at 1,000,000 digits
// (const_pi with an empty cache: the first run in the process) and MPFR's
// mpfr_const_pi at the same size run once each as "pi1M/exact" and "pi1M/mpfr".
// Run: build/bench/bench_exact_trig [--benchmark_filter=...]
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <cmath>
#include <string>

#include "core/core.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "bench/stored_constants.h"

namespace {

DecWord Arg[DEC_BUF_WORDS], Out[DEC_BUF_WORDS];

typedef int (*UnaryFn)(DecWord *, const DecWord *);
typedef int (*MpfrFn)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

struct Fn {
  const char *name;
  UnaryFn exact;
  MpfrFn mpfr;
  bool unit;  // argument √2 − 1
};

const Fn Functions[] = {
    {"sin", exact_sin, mpfr_sin, false},    {"cos", exact_cos, mpfr_cos, false},
    {"tan", exact_tan, mpfr_tan, false},    {"asin", exact_asin, mpfr_asin, true},
    {"acos", exact_acos, mpfr_acos, true},  {"atan", exact_atan, mpfr_atan, false},
};

mpfr_prec_t bits_for(int digits) { return (mpfr_prec_t)std::ceil(digits * 3.321928094887362) + 32; }

void mpfr_arg(mpfr_ptr v, bool unit) {
  mpfr_sqrt_ui(v, 2, MPFR_RNDN);
  if (unit) mpfr_sub_ui(v, v, 1, MPFR_RNDN);
}

void exact_arg(DecWord *x, int digits, bool unit) {
  mpfr_t v;
  mpfr_init2(v, bits_for(digits) + 64);
  mpfr_arg(v, unit);
  mpfr_exp_t e;
  char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits + 13, v, MPFR_RNDZ);
  const std::string text = std::string("0.") + s + "e" + std::to_string((long)e);
  mpfr_free_str(s);
  mpfr_clear(v);
  dec_from_text(x, text.c_str());
}

void run_exact(benchmark::State &state, const Fn &f, int digits) {
  dec_set_precision(digits);
  exact_radian_mode = 1;
  exact_arg(Arg, digits, f.unit);
  for (auto _ : state) {
    f.exact(Out, Arg);
    benchmark::ClobberMemory();
  }
}

void run_mpfr(benchmark::State &state, const Fn &f, int digits) {
  mpfr_t a, r;
  mpfr_inits2(bits_for(digits), a, r, (mpfr_ptr)0);
  mpfr_arg(a, f.unit);
  for (auto _ : state) {
    f.mpfr(r, a, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    mpfr_free_str(s);
  }
  mpfr_clears(a, r, (mpfr_ptr)0);
}

void pi_exact_1m(benchmark::State &state) {
  for (auto _ : state) {
    exact::arena_reset();
    exact::Int v = exact::const_pi(1000000 / exact::BASE_DIGITS);
    benchmark::DoNotOptimize(v.m.n);
  }
}

void pi_mpfr_1m(benchmark::State &state) {
  mpfr_t r;
  mpfr_init2(r, bits_for(1000000));
  for (auto _ : state) {
    mpfr_free_cache();
    mpfr_const_pi(r, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, 1000000, r, MPFR_RNDZ);
    mpfr_free_str(s);
  }
  mpfr_clear(r);
}

int register_all() {
  benchmark::RegisterBenchmark("pi1M/exact", pi_exact_1m)->Iterations(1)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("pi1M/mpfr", pi_mpfr_1m)->Iterations(1)->Unit(benchmark::kMillisecond);
  for (int digits : {1000, 10000, 100000})
    for (const Fn &f : Functions) {
      const std::string tail = std::string(f.name) + "/" + std::to_string(digits);
      benchmark::RegisterBenchmark(("exact/" + tail).c_str(), run_exact, f, digits)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("mpfr/" + tail).c_str(), run_mpfr, f, digits)
          ->Unit(benchmark::kMillisecond);
    }
  return 0;
}

const int registered = register_all();

}  // namespace

BENCHMARK_MAIN();
