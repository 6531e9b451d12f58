// Timings of the elementary functions with the schoolbook core.
//
// Every function at 100, 1,000 and 10,000 significant digits, for a short argument (0.3,
// or 2 where 0.3 is outside the domain or the short form is a plain integer) and for a
// full-length one built from √2 at the same precision (√2 / 2 where the domain needs
// |x| < 1, √2 + 1 for acosh). Names: "<function>/<short|full>/<digits>".
// The small-operand operations at 1,000 to 100,000 digits ("small/...", linear in the
// precision). At 100,000 digits: π, e, √2 and exp(0.3), named "huge/..." (minutes for
// exp; filter them out with --benchmark_filter=-huge). --schoolbook runs everything on
// the digit-by-digit kernels (fast_kernels = 0).
#include <benchmark/benchmark.h>

#include <string>

#include "core/core.h"
#include "functions/functions.h"

namespace {

DecWord Arg[DEC_BUF_WORDS], Arg2[DEC_BUF_WORDS], Out[DEC_BUF_WORDS];

typedef int (*UnaryFn)(DecWord *, const DecWord *);

enum ArgKind { SHORT, FULL };

// The argument forms each function takes.
enum Domain { ANY, UNIT, ABOVE_ONE };

struct Fn {
  const char *name;
  UnaryFn fn;
  Domain domain;
  int radians;
};

const Fn Functions[] = {
    {"sqrt", dec_sqrt, ANY, 0},   {"cbrt", dec_cbrt, ANY, 0},   {"exp", dec_exp, ANY, 0},
    {"exp10", dec_exp10, ANY, 0}, {"ln", dec_ln, ANY, 0},       {"log10", dec_log10, ANY, 0},
    {"sin", dec_sin, ANY, 1},     {"cos", dec_cos, ANY, 1},     {"tan", dec_tan, ANY, 1},
    {"asin", dec_asin, UNIT, 1},  {"acos", dec_acos, UNIT, 1},  {"atan", dec_atan, ANY, 1},
    {"sinh", dec_sinh, ANY, 0},   {"cosh", dec_cosh, ANY, 0},   {"tanh", dec_tanh, ANY, 0},
    {"asinh", dec_asinh, ANY, 0}, {"acosh", dec_acosh, ABOVE_ONE, 0}, {"atanh", dec_atanh, UNIT, 0},
};

void set_text(DecWord *p, const char *text) { dec_from_text(p, text); }

// The argument at the current precision.
void make_arg(DecWord *x, Domain domain, ArgKind kind) {
  if (kind == SHORT) {
    set_text(x, domain == ABOVE_ONE ? "2" : "0.3");
    return;
  }
  set_text(Arg2, "2");
  dec_sqrt(x, Arg2);  // √2 at full length
  if (domain == UNIT) dec_mul_small(x, x, 5, -1);
  if (domain == ABOVE_ONE) dec_add_small(x, x, 1, 0);
}

void run_unary(benchmark::State &state, const Fn &f, ArgKind kind, int digits) {
  dec_set_precision(digits);
  radian_mode = f.radians;
  term_override = 0;
  make_arg(Arg, f.domain, kind);
  for (auto _ : state) {
    f.fn(Out, Arg);
    benchmark::DoNotOptimize(Out[1]);
  }
}

void run_pow(benchmark::State &state, ArgKind kind, int digits) {
  dec_set_precision(digits);
  set_text(Arg, "2");
  make_arg(Arg2, ANY, kind);  // 2^0.3 or 2^√2
  for (auto _ : state) {
    dec_pow(Out, Arg, Arg2);
    benchmark::DoNotOptimize(Out[1]);
  }
}

void run_factorial(benchmark::State &state, int digits) {
  dec_set_precision(digits);
  for (auto _ : state) {
    dec_factorial(Out, 1000);
    benchmark::DoNotOptimize(Out[1]);
  }
}

template <typename Body>
void add(const std::string &name, int digits, Body body) {
  auto *b = benchmark::RegisterBenchmark(name.c_str(), body);
  b->Unit(benchmark::kMillisecond);
  if (digits >= 10000) b->Iterations(1);
}

void register_all() {
  for (int digits : {100, 1000, 10000}) {
    const std::string d = std::to_string(digits);
    for (const Fn &f : Functions) {
      for (ArgKind kind : {SHORT, FULL}) {
        const std::string name = std::string(f.name) + (kind == SHORT ? "/short/" : "/full/") + d;
        add(name, digits, [&f, kind, digits](benchmark::State &s) { run_unary(s, f, kind, digits); });
      }
    }
    add("pow/short/" + d, digits, [digits](benchmark::State &s) { run_pow(s, SHORT, digits); });
    add("pow/full/" + d, digits, [digits](benchmark::State &s) { run_pow(s, FULL, digits); });
    add("factorial1000/" + d, digits, [digits](benchmark::State &s) { run_factorial(s, digits); });
  }
  // The small-operand operations: linear in the precision.
  for (int digits : {1000, 10000, 100000}) {
    const std::string d = std::to_string(digits);
    add("small/div/" + d, 0, [digits](benchmark::State &s) {
      dec_set_precision(digits);
      make_arg(Arg, ANY, FULL);
      for (auto _ : s) dec_div_small(Out, Arg, 123456789, 0);
    });
    add("small/mul/" + d, 0, [digits](benchmark::State &s) {
      dec_set_precision(digits);
      make_arg(Arg, ANY, FULL);
      for (auto _ : s) dec_mul_small(Out, Arg, 123456789, 0);
    });
    add("small/add/" + d, 0, [digits](benchmark::State &s) {
      dec_set_precision(digits);
      make_arg(Arg, ANY, FULL);
      for (auto _ : s) dec_add_small(Out, Arg, 123456789, -5);
    });
  }
  const int huge = 100000;
  add("huge/pi/100000", huge, [](benchmark::State &s) {
    dec_set_precision(100000);
    for (auto _ : s) dec_pi(Out);
  });
  add("huge/e/100000", huge, [](benchmark::State &s) {
    dec_set_precision(100000);
    for (auto _ : s) dec_e(Out);
  });
  add("huge/sqrt2/100000", huge, [](benchmark::State &s) {
    dec_set_precision(100000);
    set_text(Arg, "2");
    for (auto _ : s) dec_sqrt(Out, Arg);
  });
  add("huge/exp0.3/100000", huge, [](benchmark::State &s) {
    dec_set_precision(100000);
    set_text(Arg, "0.3");
    for (auto _ : s) dec_exp(Out, Arg);
  });
}

}  // namespace

int main(int argc, char **argv) {
  // --schoolbook: the digit-by-digit kernels only (fast_kernels = 0).
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--schoolbook")
      fast_kernels = 0;
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  register_all();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
