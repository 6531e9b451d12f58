// Undo after ACLR at 100,000 digits: the real window (Qt backend on the offscreen
// platform) and the real engine. Five registers R0..R4 hold 100,000-digit numbers as the
// engine shows them (groups of 20, a line break every 200 digits); ACLR has cleared them.
// One iteration is one Ctrl+Z through ui_on_key, up to the five boxes showing their texts
// again (events processed, the window repainted); the Ctrl+Y that goes back to the cleared
// state is not timed.
//   undo/window    the whole of it
//   undo/levels    the same without the boxes (the controls' handles set aside): reading
//                  the state, the snapshot, putting the texts back into the slots
// Run: build/bench/bench_undo (in a scratch directory: the window reads and writes
// deepNUMS.ini in the current directory).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <random>
#include <string>

#include "bench/window_bench.h"
#include "engine/state.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/main_window.h"
#include "ui/qt/qt_backend.h"
#include "ui/undo.h"

namespace {

// A window whose R0..R4 held five 100,000-digit numbers until ACLR cleared them.
void prepare() {
  static bool done = false;
  if (done) return;
  done = true;
  open_window();
  std::mt19937 rng(2024);
  plat_set_text(ControlWindows[ID_SIG_DIGITS], "100000");
  const int boxes[5] = {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4};
  for (int id : boxes) plat_set_text(ControlWindows[id], grouped_digits(rng, 100000).c_str());
  ui_on_command(68, 0);  // ACLR
  while (command_running()) settle();
  settle();
}

void undo_redo(benchmark::State &state, bool with_boxes) {
  prepare();
  UiHandle saved[CONTROL_COUNT];
  for (int id = 0; id < CONTROL_COUNT; ++id) saved[id] = ControlWindows[id];
  if (!with_boxes) {
    for (UiHandle &h : ControlWindows) h = nullptr;
  }
  for (auto _ : state) {
    ui_on_key('Z', UI_MOD_CTRL);
    if (with_boxes) {
      settle();
      main_frame_of(main_window)->repaint();
    }
    state.PauseTiming();
    if (std::string(TextSlots[SLOT_R4]).size() < 100000) state.SkipWithError("the undo did not restore R4");
    ui_on_key('Y', UI_MOD_CTRL);
    if (with_boxes) settle();
    state.ResumeTiming();
  }
  for (int id = 0; id < CONTROL_COUNT; ++id) ControlWindows[id] = saved[id];
  state.counters["text_MB"] = static_cast<double>(undo_text_bytes()) / 1e6;
}

void BM_UndoWindow(benchmark::State &state) { undo_redo(state, true); }
void BM_UndoLevels(benchmark::State &state) { undo_redo(state, false); }

BENCHMARK(BM_UndoWindow)->Name("undo/window")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UndoLevels)->Name("undo/levels")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char **argv) { return run_window_benchmarks(argc, argv, "bench_undo"); }
