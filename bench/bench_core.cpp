// Core kernels on full-length operands at 100, 1,000, 10,000 and 100,000 digits.
//   build/bench/bench_core --benchmark_filter=Mul
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "bench/full_length_operands.h"
#include "core/core.h"

namespace {

void BM_Add(benchmark::State &state) {
  Operands o((int)state.range(0));
  for (auto _ : state) {
    dec_add(o.out.data(), o.a.data(), o.b.data());
    benchmark::DoNotOptimize(o.out.data());
  }
}

void BM_Mul(benchmark::State &state) {
  Operands o((int)state.range(0));
  compact_memory = (int)state.range(1);
  for (auto _ : state) {
    dec_mul(o.out.data(), o.a.data(), o.b.data());
    benchmark::DoNotOptimize(o.out.data());
  }
  compact_memory = 0;
}

void BM_Div(benchmark::State &state) {
  Operands o((int)state.range(0));
  for (auto _ : state) {
    dec_div(o.out.data(), o.a.data(), o.b.data());
    benchmark::DoNotOptimize(o.out.data());
  }
}

void BM_ToText(benchmark::State &state) {
  Operands o((int)state.range(0));
  for (auto _ : state) {
    dec_to_text(o.a.data(), o.text.data());
    benchmark::DoNotOptimize(o.text.data());
  }
}

void BM_FromText(benchmark::State &state) {
  Operands o((int)state.range(0));
  dec_to_text(o.a.data(), o.text.data());
  for (auto _ : state) {
    dec_from_text(o.out.data(), o.text.data());
    benchmark::DoNotOptimize(o.out.data());
  }
}

}  // namespace

BENCHMARK(BM_Add)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_Mul)->Args({100, 0})->Args({1000, 0})->Args({10000, 0})->Args({100000, 0})
    ->Args({10000, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Div)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToText)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FromText)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
