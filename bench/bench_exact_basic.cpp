// The exact mode's basic operations next to the default mode's fast kernels, on
// full-length operands (every internal digit position filled) at 1,000 .. 100,000 digits,
// and MPFR's (at ⌈D log2 10⌉ + 32 bits, with one conversion to D decimal digits) where
// MPFR was found.
//   build/bench/bench_exact_basic --benchmark_filter=Mul
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#ifdef DEEPNUMS_BENCH_MPFR
#include <mpfr.h>
#endif

#include "bench/full_length_operands.h"
#include "core/core.h"
#include "exact/exact.h"
#include "functions/functions.h"

namespace {

typedef int (*Binary)(DecWord *, const DecWord *, const DecWord *);
typedef int (*Unary)(DecWord *, const DecWord *);

template <Binary F>
void BM_Binary(benchmark::State &state) {
  Operands o((int)state.range(0));
  for (auto _ : state) {
    F(o.out.data(), o.a.data(), o.b.data());
    benchmark::DoNotOptimize(o.out.data());
  }
}

template <Unary F>
void BM_Unary(benchmark::State &state) {
  Operands o((int)state.range(0));
  for (auto _ : state) {
    F(o.out.data(), o.a.data());
    benchmark::DoNotOptimize(o.out.data());
  }
}

void sizes(benchmark::internal::Benchmark *b) {
  for (int d : {1000, 10000, 100000}) b->Arg(d);
  b->Unit(benchmark::kMicrosecond);
}

#ifdef DEEPNUMS_BENCH_MPFR
typedef int (*MpfrBinary)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);
typedef int (*MpfrUnary)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

// √2 and √3 at the precision; the operation, then the result as D decimal digits.
template <class Op>
void mpfr_run(benchmark::State &state, const Op &op) {
  const int digits = (int)state.range(0);
  const mpfr_prec_t bits = (mpfr_prec_t)std::ceil(digits * 3.3219280948873623) + 32;
  mpfr_t a, b, r;
  mpfr_inits2(bits, a, b, r, (mpfr_ptr)0);
  mpfr_sqrt_ui(a, 2, MPFR_RNDN);
  mpfr_sqrt_ui(b, 3, MPFR_RNDN);
  for (auto _ : state) {
    op(r, a, b);
    mpfr_exp_t e;
    char *text = mpfr_get_str(nullptr, &e, 10, (size_t)digits, r, MPFR_RNDZ);
    benchmark::DoNotOptimize(text);
    mpfr_free_str(text);
  }
  mpfr_clears(a, b, r, (mpfr_ptr)0);
}

template <MpfrBinary F>
void BM_MpfrBinary(benchmark::State &state) {
  mpfr_run(state, [](mpfr_ptr r, mpfr_srcptr a, mpfr_srcptr b) { F(r, a, b, MPFR_RNDZ); });
}

template <MpfrUnary F>
void BM_MpfrUnary(benchmark::State &state) {
  mpfr_run(state, [](mpfr_ptr r, mpfr_srcptr a, mpfr_srcptr) { F(r, a, MPFR_RNDZ); });
}
#endif

}  // namespace

BENCHMARK_TEMPLATE(BM_Binary, dec_add)->Name("Default/Add")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Binary, exact_add)->Name("Exact/Add")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Binary, dec_mul)->Name("Default/Mul")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Binary, exact_mul)->Name("Exact/Mul")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Binary, dec_div)->Name("Default/Div")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Binary, exact_div)->Name("Exact/Div")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Unary, dec_sqrt)->Name("Default/Sqrt")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Unary, exact_sqrt)->Name("Exact/Sqrt")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Unary, dec_cbrt)->Name("Default/Cbrt")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_Unary, exact_cbrt)->Name("Exact/Cbrt")->Apply(sizes);

#ifdef DEEPNUMS_BENCH_MPFR
BENCHMARK_TEMPLATE(BM_MpfrBinary, mpfr_mul)->Name("Mpfr/Mul")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_MpfrBinary, mpfr_div)->Name("Mpfr/Div")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_MpfrUnary, mpfr_sqrt)->Name("Mpfr/Sqrt")->Apply(sizes);
BENCHMARK_TEMPLATE(BM_MpfrUnary, mpfr_cbrt)->Name("Mpfr/Cbrt")->Apply(sizes);
#endif

BENCHMARK_MAIN();
