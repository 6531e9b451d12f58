// Shared pieces of the benchmarks of the real window (Qt backend on the offscreen platform,
// real engine): long numbers in the engine's display form, letting the window settle, the
// window opened, and a main() that runs the benchmarks in a scratch directory (the window
// reads and writes deepNUMS.ini in the current directory).
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <random>
#include <string>

#include "ui/control_table.h"
#include "ui/main_window.h"
#include "ui/qt/qt_backend.h"

// A number of `count` digits as the engine shows it (groups of 20, a line break every 200
// digits), its digits drawn from rng; digit `differ` (1-based; 0: none) moved by 5.
inline std::string grouped_digits(std::mt19937 &rng, int count, int differ = 0) {
  std::string s = "1.";
  for (int i = 1; i < count; ++i) {
    if (i % 200 == 0) {
      s += "\r\n";
    } else if (i % 20 == 0) {
      s += ' ';
    }
    int d = static_cast<int>(rng() % 10);
    if (i + 1 == differ) d = (d + 5) % 10;
    s += static_cast<char>('0' + d);
  }
  return s + "\r\n";
}

// Processes the window's pending events (a few rounds: one event may post another).
inline void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Opens the main window, shown, and lets it settle.
inline void open_window() {
  UiHandle w = plat_create_main_window(WINDOW_CLASS_NAME, WINDOW_TITLE);
  plat_show_window(w, 1);
  settle();
}

// Runs the registered benchmarks in a fresh scratch directory under QApplication on the
// offscreen platform. The window is left as it is: no workspace file is written, and the
// directory, still empty, is removed.
inline int run_window_benchmarks(int argc, char **argv, const char *name) {
  std::string pattern = std::string("/tmp/deepnums_") + name + "_XXXXXX";
  if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) return 1;
  int qt_argc = 3;
  std::string arg0 = name;
  char arg1[] = "-platform", arg2[] = "offscreen";
  char *qt_argv[] = {arg0.data(), arg1, arg2, nullptr};
  QApplication app(qt_argc, qt_argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (chdir("/") == 0) rmdir(pattern.c_str());
  std::_Exit(0);
}
