// The exact mode's further constants at 100,000 digits and its special functions of a short
// argument at 10,000 digits, next to MPFR computing the same at ⌈D log2 10⌉ + 32 bits and
// converting it to D decimal digits once.
//   build/bench/bench_special --benchmark_filter='const/.*/100000'
//   build/bench/bench_special --benchmark_filter='fn/' --benchmark_min_time=0.3
// A constant is computed from nothing in every iteration (the exact mode asks for one more
// limb each time, so its session cache cannot serve it; MPFR's cache is freed), and written
// as a decimal text (ours is decimal already: the digit words and their text).
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "bench/stored_constants.h"
#include "core/core.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/real.h"

namespace {

mpfr_prec_t bits_for(int digits) { return (mpfr_prec_t)std::ceil(digits * 3.3219280948873623) + 32; }

std::vector<char> text_buffer(TEXT_SLOT_BYTES);

// ---- constants ------------------------------------------------------------------------------
struct Constant {
  const char *name;
  exact::Int (*exact)(int p);
  int (*mpfr)(mpfr_ptr, mpfr_rnd_t);
};

int mpfr_zeta3(mpfr_ptr r, mpfr_rnd_t rnd) { return mpfr_zeta_ui(r, 3, rnd); }

const Constant CONSTANTS[] = {
    {"euler", exact::const_euler, mpfr_const_euler},
    {"catalan", exact::const_catalan, mpfr_const_catalan},
    {"zeta3", exact::const_zeta3, mpfr_zeta3},
    {"ln2", exact::const_ln2, mpfr_const_log2},
};

void const_exact(benchmark::State &state, const Constant *c) {
  const int digits = (int)state.range(0);
  dec_set_precision(digits);
  static int extra = 0;
  std::vector<DecWord> out(DEC_BUF_WORDS);
  for (auto _ : state) {
    exact::arena_reset();
    const int p = exact::limbs_for(internal_digits + 12) + (++extra);
    const exact::Int v = c->exact(p);
    exact::approx_write(out.data(), exact::approx_fix(v, p, 1));
    dec_to_text(out.data(), text_buffer.data());
    benchmark::DoNotOptimize(text_buffer.data());
  }
}

void const_mpfr(benchmark::State &state, const Constant *c) {
  const int digits = (int)state.range(0);
  mpfr_t r;
  mpfr_init2(r, bits_for(digits));
  for (auto _ : state) {
    mpfr_free_cache();
    c->mpfr(r, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    mpfr_free_str(s);
  }
  mpfr_clear(r);
}

// ---- functions of a short argument ----------------------------------------------------------
using Unary = int (*)(DecWord *, const DecWord *);
using Binary = int (*)(DecWord *, const DecWord *, const DecWord *);
using MpfrUnary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using MpfrBinary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

int mpfr_lngamma(mpfr_ptr r, mpfr_srcptr x, mpfr_rnd_t rnd) {
  int s;
  return mpfr_lgamma(r, &s, x, rnd);
}
int mpfr_logb(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr b, mpfr_rnd_t rnd) {
  mpfr_t l;
  mpfr_init2(l, mpfr_get_prec(r));
  mpfr_log(r, x, rnd);
  mpfr_log(l, b, rnd);
  mpfr_div(r, r, l, rnd);
  mpfr_clear(l);
  return 0;
}
int mpfr_root5(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_rootn_ui(r, x, 5, rnd); }

struct Fn {
  const char *name;
  Unary unary;
  Binary binary;
  MpfrUnary mpfr_unary;
  MpfrBinary mpfr_binary;
  const char *x, *y;
};

const Fn FUNCTIONS[] = {
    {"gamma", exact_gamma, nullptr, mpfr_gamma, nullptr, "2.3", nullptr},
    {"lngamma", exact_lngamma, nullptr, mpfr_lngamma, nullptr, "2.3", nullptr},
    {"zeta", exact_zeta, nullptr, mpfr_zeta, nullptr, "2.5", nullptr},
    {"erf", exact_erf, nullptr, mpfr_erf, nullptr, "0.5", nullptr},
    {"erfc", exact_erfc, nullptr, mpfr_erfc, nullptr, "2.5", nullptr},
    {"lambertw", exact_lambertw, nullptr, nullptr, nullptr, "2.5", nullptr},
    {"agm", nullptr, exact_agm, nullptr, mpfr_agm, "1", "2.5"},
    {"atan2", nullptr, exact_atan2, nullptr, mpfr_atan2, "1", "2.5"},
    {"logb", nullptr, exact_logb, nullptr, mpfr_logb, "2.5", "3"},
    {"nroot5", nullptr, exact_root, nullptr, mpfr_root5, "2.5", "5"},
};

void fn_exact(benchmark::State &state, const Fn *f) {
  const int digits = (int)state.range(0);
  dec_set_precision(digits);
  exact_radian_mode = 1;
  std::vector<DecWord> x(DEC_BUF_WORDS), y(DEC_BUF_WORDS), out(DEC_BUF_WORDS);
  dec_from_text(x.data(), f->x);
  if (f->y) dec_from_text(y.data(), f->y);
  auto call = [&] {
    if (f->binary) f->binary(out.data(), x.data(), y.data());
    else f->unary(out.data(), x.data());
    dec_to_text(out.data(), text_buffer.data());
  };
  call();  // fills the constant caches, as in a session
  for (auto _ : state) {
    call();
    benchmark::DoNotOptimize(text_buffer.data());
  }
}

void fn_mpfr(benchmark::State &state, const Fn *f) {
  const int digits = (int)state.range(0);
  mpfr_t x, y, r;
  mpfr_inits2(bits_for(digits), x, y, r, (mpfr_ptr)0);
  mpfr_set_str(x, f->x, 10, MPFR_RNDN);
  if (f->y) mpfr_set_str(y, f->y, 10, MPFR_RNDN);
  for (auto _ : state) {
    if (f->mpfr_binary) f->mpfr_binary(r, x, y, MPFR_RNDZ);
    else f->mpfr_unary(r, x, MPFR_RNDZ);
    mpfr_exp_t e;
    char *s = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    mpfr_free_str(s);
  }
  mpfr_clears(x, y, r, (mpfr_ptr)0);
}

int register_all() {
  for (int digits : {10000, 100000})
    for (const Constant &c : CONSTANTS) {
      const std::string tail = std::string(c.name) + "/" + std::to_string(digits);
      benchmark::RegisterBenchmark(("const/exact/" + tail).c_str(), const_exact, &c)
          ->Arg(digits)->Unit(benchmark::kMillisecond)->Iterations(digits > 10000 ? 1 : 5);
      benchmark::RegisterBenchmark(("const/mpfr/" + tail).c_str(), const_mpfr, &c)
          ->Arg(digits)->Unit(benchmark::kMillisecond)->Iterations(digits > 10000 ? 1 : 5);
    }
  for (int digits : {1000, 10000})
    for (const Fn &f : FUNCTIONS) {
      const std::string tail = std::string(f.name) + "/" + std::to_string(digits);
      benchmark::RegisterBenchmark(("fn/exact/" + tail).c_str(), fn_exact, &f)
          ->Arg(digits)->Unit(benchmark::kMillisecond);
      // MPFR's Γ, ln Γ and ζ take minutes at 10,000 digits: one iteration each.
      if (f.mpfr_unary || f.mpfr_binary) {
        auto *b = benchmark::RegisterBenchmark(("fn/mpfr/" + tail).c_str(), fn_mpfr, &f)
                      ->Arg(digits)->Unit(benchmark::kMillisecond);
        if (f.mpfr_unary == mpfr_gamma || f.mpfr_unary == mpfr_lngamma || f.mpfr_unary == mpfr_zeta)
          b->Iterations(1);
      }
    }
  return 0;
}

const int registered = register_all();

}  // namespace

BENCHMARK_MAIN();
