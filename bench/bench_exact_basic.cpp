// The exact mode's basic operations next to the default mode's fast kernels, on
// full-length operands (every internal digit position filled) at 1,000 .. 100,000 digits.
//   build/bench/bench_exact_basic --benchmark_filter=Mul
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

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

BENCHMARK_MAIN();
