// The exact mode's exp/ln/hyperbolic family at 1,000, 10,000 and 100,000 digits, next to
// MPFR computing the same function at ⌈D log2 10⌉ + 32 bits and converting the result to
// D decimal digits once. Full-length arguments: √2 (and √3 for the exponent of x ^ y;
// 1 + √2 / 10 for acosh, √2 / 2 for atanh), at the precision.
//   build/bench/bench_exact_exp --benchmark_filter=exp/ --benchmark_min_time=0.5
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/core.h"
#include "exact/exact.h"
#include "bench/stored_constants.h"

namespace {

using Unary = int (*)(DecWord *, const DecWord *);
using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

enum Arg { SQRT2, ACOSH_ARG, ATANH_ARG };

struct Fn {
  const char *name;
  Unary exact;
  MpfrUnary mpfr;
  Arg arg;
};

const Fn FNS[] = {
    {"exp", exact_exp, mpfr_exp, SQRT2},       {"exp10", exact_exp10, mpfr_exp10, SQRT2},
    {"ln", exact_ln, mpfr_log, SQRT2},         {"log10", exact_log10, mpfr_log10, SQRT2},
    {"sinh", exact_sinh, mpfr_sinh, SQRT2},    {"cosh", exact_cosh, mpfr_cosh, SQRT2},
    {"tanh", exact_tanh, mpfr_tanh, SQRT2},    {"asinh", exact_asinh, mpfr_asinh, SQRT2},
    {"acosh", exact_acosh, mpfr_acosh, ACOSH_ARG}, {"atanh", exact_atanh, mpfr_atanh, ATANH_ARG},
};

mpfr_prec_t bits_for(int digits) { return (mpfr_prec_t)std::ceil(digits * 3.3219280948873623) + 32; }

// The argument as MPFR and as a DecNum (its decimal truncation at the precision).
void make_arg(Arg arg, int root, mpfr_ptr v, DecWord *d) {
  mpfr_sqrt_ui(v, (unsigned long)root, MPFR_RNDN);
  if (arg == ACOSH_ARG) {
    mpfr_div_ui(v, v, 10, MPFR_RNDN);
    mpfr_add_ui(v, v, 1, MPFR_RNDN);
  } else if (arg == ATANH_ARG) {
    mpfr_div_ui(v, v, 2, MPFR_RNDN);
  }
  char *s = nullptr;
  mpfr_exp_t e;
  s = mpfr_get_str(nullptr, &e, 10, (size_t)internal_digits, v, MPFR_RNDZ);
  std::string text = std::string("0.") + s + "e" + std::to_string((long)e);
  mpfr_free_str(s);
  dec_from_text(d, text.c_str());
}

void BM_Exact(benchmark::State &state, const Fn *fn) {
  const int digits = (int)state.range(0);
  dec_set_precision(digits);
  std::vector<DecWord> x(DEC_BUF_WORDS), out(DEC_BUF_WORDS);
  mpfr_t v;
  mpfr_init2(v, bits_for(digits) + 64);
  make_arg(fn->arg, 2, v, x.data());
  mpfr_clear(v);
  fn->exact(out.data(), x.data());  // fills the constant caches, as in a session
  for (auto _ : state) {
    fn->exact(out.data(), x.data());
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Mpfr(benchmark::State &state, const Fn *fn) {
  const int digits = (int)state.range(0);
  mpfr_t a, r;
  mpfr_inits2(bits_for(digits), a, r, (mpfr_ptr)0);
  dec_set_precision(digits);
  std::vector<DecWord> x(DEC_BUF_WORDS);
  make_arg(fn->arg, 2, a, x.data());
  fn->mpfr(r, a, MPFR_RNDZ);
  for (auto _ : state) {
    fn->mpfr(r, a, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    benchmark::DoNotOptimize(s);
    mpfr_free_str(s);
  }
  mpfr_clears(a, r, (mpfr_ptr)0);
}

void BM_ExactPow(benchmark::State &state) {
  const int digits = (int)state.range(0);
  dec_set_precision(digits);
  std::vector<DecWord> x(DEC_BUF_WORDS), y(DEC_BUF_WORDS), out(DEC_BUF_WORDS);
  mpfr_t v;
  mpfr_init2(v, bits_for(digits) + 64);
  make_arg(SQRT2, 2, v, x.data());
  make_arg(SQRT2, 3, v, y.data());
  mpfr_clear(v);
  exact_pow(out.data(), x.data(), y.data());
  for (auto _ : state) {
    exact_pow(out.data(), x.data(), y.data());
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_MpfrPow(benchmark::State &state) {
  const int digits = (int)state.range(0);
  mpfr_t a, b, r;
  mpfr_inits2(bits_for(digits), a, b, r, (mpfr_ptr)0);
  mpfr_sqrt_ui(a, 2, MPFR_RNDN);
  mpfr_sqrt_ui(b, 3, MPFR_RNDN);
  for (auto _ : state) {
    mpfr_pow(r, a, b, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    benchmark::DoNotOptimize(s);
    mpfr_free_str(s);
  }
  mpfr_clears(a, b, r, (mpfr_ptr)0);
}

void BM_ExactE(benchmark::State &state) {
  dec_set_precision((int)state.range(0));
  std::vector<DecWord> out(DEC_BUF_WORDS);
  for (auto _ : state) {
    exact_e(out.data());
    benchmark::DoNotOptimize(out.data());
  }
}

int register_all() {
  for (const Fn &fn : FNS) {
    benchmark::RegisterBenchmark((std::string("Exact/") + fn.name).c_str(), BM_Exact, &fn)
        ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark((std::string("Mpfr/") + fn.name).c_str(), BM_Mpfr, &fn)
        ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
  }
  benchmark::RegisterBenchmark("Exact/pow", BM_ExactPow)
      ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("Mpfr/pow", BM_MpfrPow)
      ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("Exact/e", BM_ExactE)
      ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
  return 0;
}

const int registered = register_all();

}  // namespace
