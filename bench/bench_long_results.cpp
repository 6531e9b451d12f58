// Comparing two 100,000-digit registers in the window: the real window (Qt backend on the
// offscreen platform) and the real engine. R0 and R1 hold 100,000-digit numbers as the
// engine shows them (groups of 20, a line break every 200 digits) that differ at digit
// 99,988; the keyboard focus is in R0.
//   compare/window         Ctrl+Shift+C through ui_on_key, up to the report in the status
//                          line, digit 99,988 selected in both boxes, the position field
//                          set and the window repainted; the registers' numbers are current
//                          (as after the command that showed them)
//   compare/window_typed   the same when every register must first be read from its text
//                          (texts typed or loaded since the last command)
//   compare/front_end      the same without the repaint: the front end and the editors
//                          (reading the boxes, the selections, the position field)
//   compare/engine         prepare_registers and compare_registers alone
//   caret/position_field   the caret moved to digit 50,000 of R0 and the position field
//                          redrawn (one ui_on_caret)
// Run: build/bench/bench_long_results (in a scratch directory: the window reads and writes
// deepNUMS.ini in the current directory).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "bench/window_bench.h"
#include "engine/executor.h"
#include "engine/register_tools.h"
#include "engine/state.h"
#include "ui/control_table.h"
#include "ui/main_window.h"
#include "ui/qt/qt_backend.h"
#include "ui/register_tools.h"

namespace {

void prepare() {
  static bool done = false;
  if (done) return;
  done = true;
  open_window();
  plat_set_text(ControlWindows[ID_SIG_DIGITS], "100000");
  std::mt19937 rng0(7), rng1(7);  // one number, and the same with digit 99,988 changed
  plat_set_text(ControlWindows[ID_R0], grouped_digits(rng0, 100000).c_str());
  plat_set_text(ControlWindows[ID_R1], grouped_digits(rng1, 100000, 99988).c_str());
  plat_set_focus(ControlWindows[ID_R0]);
  settle();
  // The numbers read once, as the command that showed them would have left them.
  read_edit_texts();
  prepare_registers();
}

void compare_window(benchmark::State &state, bool typed) {
  prepare();
  for (auto _ : state) {
    if (typed) {
      state.PauseTiming();
      mark_shadows_stale();
      state.ResumeTiming();
    }
    ui_on_key('C', UI_MOD_CTRL | UI_MOD_SHIFT);
    settle();
    main_frame_of(main_window)->repaint();
    state.PauseTiming();
    if (std::strstr(TextSlots[SLOT_STATUS], "first difference at digit 99,988") == nullptr)
      state.SkipWithError(TextSlots[SLOT_STATUS]);
    // Another selection, so that the next compare selects anew.
    plat_set_selection(ControlWindows[ID_R0], 0, 0);
    plat_set_selection(ControlWindows[ID_R1], 0, 0);
    settle();
    state.ResumeTiming();
  }
}

void compare_front_end(benchmark::State &state) {
  prepare();
  for (auto _ : state) {
    ui_on_key('C', UI_MOD_CTRL | UI_MOD_SHIFT);
    state.PauseTiming();
    plat_set_selection(ControlWindows[ID_R0], 0, 0);
    plat_set_selection(ControlWindows[ID_R1], 0, 0);
    settle();
    state.ResumeTiming();
  }
}

void compare_engine(benchmark::State &state) {
  prepare();
  CompareReport r;
  for (auto _ : state) {
    prepare_registers();
    compare_registers(0, 1, &r);
    benchmark::DoNotOptimize(r.agree);
  }
  if (r.agree != 99987) state.SkipWithError("wrong report");
}

void caret_position_field(benchmark::State &state) {
  prepare();
  auto *r0 = static_cast<QPlainTextEdit *>(ControlWindows[ID_R0]->widget);
  int at = 0;
  for (auto _ : state) {
    QTextCursor c = r0->textCursor();
    at = at == 52000 ? 52001 : 52000;  // a digit near 50,000, moved by one each time
    c.setPosition(at);
    r0->setTextCursor(c);  // the backend reports it: ui_on_caret
    settle();
  }
  if (std::strstr(position_field_text(), "of 100,000") == nullptr) state.SkipWithError(position_field_text());
}

}  // namespace

BENCHMARK_CAPTURE(compare_window, window, false)->Name("compare/window")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(compare_window, window_typed, true)->Name("compare/window_typed")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(compare_front_end)->Name("compare/front_end")->Unit(benchmark::kMillisecond);
BENCHMARK(compare_engine)->Name("compare/engine")->Unit(benchmark::kMillisecond);
BENCHMARK(caret_position_field)->Name("caret/position_field")->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv) { return run_window_benchmarks(argc, argv, "bench_long_results"); }
