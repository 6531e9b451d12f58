// Measures how long the real window takes to show results: five registers of 100,000
// digits set by finish_run and painted, in the grouped display form (groups of 20 digits,
// a line break every 200) and as plain one-line texts; and a page step through a
// 100,000-digit register box. Prints the figures; asserts nothing.
//
//   cd /tmp && xvfb-run -a -s "-screen 0 1920x1080x24" BUILD/tests/ui/ui_qt_display_timing
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <cstdio>
#include <random>
#include <string>

#include "engine/state.h"
#include "ui/commands.h"
#include "ui/control_table.h"
#include "ui/main_window.h"
#include "ui/qt/qt_backend.h"
#include "ui/workspace.h"

namespace {

std::string digits(std::mt19937 &rng, int count, bool grouped) {
  std::string s = "0.";
  for (int i = 0; i < count; ++i) {
    if (grouped && i > 0 && i % 200 == 0) {
      s += "\r\n";
    } else if (grouped && i > 0 && i % 20 == 0) {
      s += ' ';
    }
    s += static_cast<char>('0' + rng() % 10);
  }
  return s + "\r\n";
}

// Lets every posted event and paint happen.
void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

double show_five(std::mt19937 &rng, bool grouped) {
  for (int n = 0; n < 5; ++n) slot_copy(TextSlots[n], digits(rng, 100000, grouped).c_str());
  QElapsedTimer t;
  t.start();
  finish_run(main_window);
  plat_invalidate(main_window);
  settle();
  main_frame_of(main_window)->repaint();
  return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  char dir[] = "/tmp/deepnums_timing_XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) return 1;
  set_workspace_file("deepNUMS.ini");  // in the temporary folder, not the user's own
  UiHandle w = plat_create_main_window(WINDOW_CLASS_NAME, WINDOW_TITLE);
  plat_show_window(w, 0);
  settle();
  std::mt19937 rng(12345);
  for (int round = 0; round < 3; ++round) {
    std::printf("five registers of 100,000 digits, grouped:  %7.1f ms\n", show_five(rng, true));
    std::printf("five registers of 100,000 digits, one line: %7.1f ms\n", show_five(rng, false));
  }
  // Scrolling through R0 (one line of 100,000 digits, wrapped anywhere).
  auto *r0 = static_cast<QPlainTextEdit *>(ControlWindows[ID_R0]->widget);
  QElapsedTimer t;
  t.start();
  int steps = 0;
  for (; steps < 50; ++steps) {
    r0->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    r0->viewport()->repaint();
  }
  std::printf("page step in a 100,000-digit box:           %7.2f ms\n", t.nsecsElapsed() / 1e6 / steps);
  if (chdir("/") == 0) rmdir(dir);
  return 0;
}
