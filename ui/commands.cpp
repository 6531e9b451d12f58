// Button presses, the run state and the worker thread.
//
// Two states, with worker_thread as the flag: idle (not joinable) and running (joinable).
// In the idle state a press changes an option, the language or the size, or starts a
// command. start_command writes every input of the run (the edit texts into their slots,
// Settings[SET_COMMAND]) before the worker starts; from then on the worker has Settings,
// TextSlots, MemoryTexts and the engine's buffers to itself, the main thread accepts only
// Cancel and paints from copies of the painted texts. The worker never touches a window:
// when execute_command returns it posts the end of the run to the main thread, where
// finish_run shows the results and joins it.
//
// Cancel is cooperative: the flag cancel_requested makes the engine unwind the command at
// its next check (a few milliseconds), the main thread joins the worker, writes "aborted",
// runs finish_run and marks every shadow text stale, so the next command reads every
// register again from the text the user sees. A stopped worker writes nothing more.
#include "ui/commands.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <system_error>

#include "core/cancel.h"
#include "engine/executor.h"
#include "engine/progress_text.h"
#include "engine/state.h"
#include "ui/control_table.h"
#include "ui/register_tools.h"
#include "ui/undo.h"

std::thread worker_thread;

const char *const REFUSAL_MESSAGE[2] = {"実行中は変更出来ません", "Can't change it while execution"};
const char *const REFUSAL_TITLE = "Parameter";

namespace {

// The controls that follow the run state, in the order they are switched. The script box
// is among them: finish_run puts the run's script back into it, so anything typed there
// during a run would be lost.
constexpr int IDLE_ONLY_BOXES[] = {ID_R0, ID_R1, ID_R2, ID_R3, ID_R4, ID_SIG_DIGITS, ID_SCRIPT};

// The boxes finish_run fills, with their slots, in this order.
struct BoxSlot {
  int id, slot;
};
constexpr BoxSlot RESULT_BOXES[] = {{ID_R0, SLOT_R0},         {ID_R1, SLOT_R1},
                                    {ID_R2, SLOT_R2},         {ID_R3, SLOT_R3},
                                    {ID_R4, SLOT_R4},         {ID_SIG_DIGITS, SLOT_SIG_DIGITS},
                                    {ID_SCRIPT, SLOT_SCRIPT}};

constexpr int PROGRESS_INTERVAL_MS = 250;
constexpr auto PROGRESS_DELAY = std::chrono::milliseconds(500);

// Copies of the slots that painting reads, taken when a run starts. Painted entries show
// one line of at most a few dozen characters, so a bounded prefix paints the same.
constexpr int PAINT_COPY_BYTES = 1024;
char paint_copies[TEXT_SLOT_COUNT][PAINT_COPY_BYTES];

// The text of a box, for comparison with its slot in finish_run.
char box_text[TEXT_SLOT_BYTES];

// A box that had the keyboard focus when the run started (it is disabled during the run):
// it gets the focus back, with its new text selected, when the run ends. -1: none.
int run_focus = -1;

intptr_t run_id = 0;  // identifies the current run for its posted end
UiHandle run_window = nullptr;  // the main window of the current (or last) run
std::chrono::steady_clock::time_point run_started;

// The controls enabled only while no command runs.
bool idle_only(int id) {
  if (id == ID_PERFORM) return true;
  for (int box : IDLE_ONLY_BOXES) {
    if (box == id) return true;
  }
  return false;
}

void empty_status() { TextSlots[SLOT_STATUS][0] = '\0'; }

void take_paint_copies() {
  for (int n = 0; n < TEXT_SLOT_COUNT; ++n) {
    const size_t len = strnlen(TextSlots[n], PAINT_COPY_BYTES - 1);
    std::memcpy(paint_copies[n], TextSlots[n], len);
    paint_copies[n][len] = '\0';
  }
}

// The posted end of a run, on the main thread. A run that was cancelled meanwhile has
// been finished already.
void run_finished(intptr_t id) {
  if (!worker_thread.joinable() || id != run_id) return;
  finish_run(run_window);
  plat_invalidate(run_window);
}

void cancel_run(UiHandle main) {
  cancel_requested.store(true);
  worker_thread.join();
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  finish_run(main);
  mark_shadows_stale();
  plat_invalidate(main);
}

void press_radio(int id) {
  const ControlDef &c = ControlTable[id];
  if (c.index < 0 || c.index >= SETTINGS_COUNT) return;
  // Clear the button of the current value when it belongs to the group.
  const int64_t current = static_cast<int64_t>(c.group) + Settings[c.index];
  if (current >= 0 && current < CONTROL_COUNT && ControlTable[current].kind == KIND_RADIO &&
      ControlTable[current].group == c.group)
    plat_set_check(ControlWindows[current], false);
  Settings[c.index] = id - c.group;
  plat_set_check(ControlWindows[id], true);
}

void press_check(int id) {
  const ControlDef &c = ControlTable[id];
  if (c.index < 0 || c.index >= SETTINGS_COUNT) return;
  if (Settings[c.index] != 0) {
    Settings[c.index] = 0;
    plat_set_check(ControlWindows[id], false);
  } else {
    Settings[c.index] = 1;
    plat_set_check(ControlWindows[id], true);
  }
}

void switch_language() {
  const int64_t next = static_cast<int64_t>(Settings[SET_LANGUAGE]) + 1;
  Settings[SET_LANGUAGE] = next >= 2 ? 0 : static_cast<int32_t>(next);
  set_captions();
}

}  // namespace

bool command_running() { return worker_thread.joinable(); }

bool control_enabled(int id) {
  if (id == ID_CANCEL) return command_running();
  return !(command_running() && idle_only(id));
}

const char *painted_slot_text(int slot) {
  if (slot < 0 || slot >= TEXT_SLOT_COUNT) return "";
  return command_running() ? paint_copies[slot] : TextSlots[slot];
}

int on_command(UiHandle main, uint32_t param) {
  const int id = static_cast<int>(param & 0xFFFF);
  const int code = static_cast<int>(param >> 16);
  if (code != 0) return 0;  // edit-box notifications

  if (command_running()) {
    if (id == ID_CANCEL) {
      cancel_run(main);
      return 0;
    }
    plat_message_box(main, REFUSAL_MESSAGE[caption_language()], REFUSAL_TITLE, UI_MB_OK);
    plat_invalidate(main);
    return 0;
  }

  if (id == ID_LANGUAGE) {
    switch_language();
  } else if (id == ID_DEFAULT_SIZE) {
    restore_default_size(main);
  } else if (id == ID_RADIO_DEGREE || id == ID_RADIO_RADIAN) {
    press_radio(id);
  } else if (id == ID_COMPACT_MEM || id == ID_BARE_DIGITS || id == ID_PLANE_DISP ||
             id == ID_EXACT_DIGITS) {
    press_check(id);
  } else if (id >= ID_FIRST_COMMAND && id <= ID_LAST_COMMAND) {
    start_command(main, id);
  }
  // Every other press empties the status line; a command did so before its worker
  // started, and emptying it again now could erase a message the worker already wrote.
  const bool command = id >= ID_FIRST_COMMAND && id <= ID_LAST_COMMAND;
  if (id != ID_LANGUAGE && id != ID_DEFAULT_SIZE && !command) empty_status();
  plat_invalidate(main);
  return 0;
}

void start_command(UiHandle main, int id, int focused) {
  read_edit_texts();
  // The keyboard stays with the window while the box with the focus is disabled, so that
  // Esc reaches Cancel; the box gets it back at the end of the run.
  if (focused == FOCUS_AS_REPORTED) focused = plat_focused_id(main);
  run_focus = -1;
  if (idle_only(focused)) {
    run_focus = focused;
    plat_set_focus(main);
  }
  plat_enable(ControlWindows[ID_CANCEL], true);
  plat_enable(ControlWindows[ID_PERFORM], false);
  for (int box : IDLE_ONLY_BOXES) plat_enable(ControlWindows[box], false);
  read_edit_texts();
  Settings[SET_COMMAND] = id;
  empty_status();
  run_window = main;
  undo_record(id);

  take_paint_copies();
  position_field_update();  // empty while the boxes are disabled
  cancel_reset();
  run_started = std::chrono::steady_clock::now();
  ++run_id;
  try {
    worker_thread = std::thread(worker_main, main, run_id);
  } catch (const std::system_error &) {
    // No worker: back to idle at once, with a word in the status line.
    finish_run(main);
    slot_copy(TextSlots[SLOT_STATUS], "Could not start the calculation thread");
    return;
  }
  // The end of the run reaches the main thread only through its message loop, so the
  // timer is always started before finish_run stops it.
  plat_set_timer(main, PROGRESS_INTERVAL_MS);
}

void worker_main(UiHandle /*main*/, intptr_t id) {
  try {
    execute_command();
  } catch (const CommandCancelled &) {
    return;  // the main thread finishes a cancelled run after joining
  } catch (const std::bad_alloc &) {
    // Abandoned where it stood, as after Cancel: the next command reads every register
    // again from the text the user sees.
    slot_copy(TextSlots[SLOT_STATUS], MSG_OUT_OF_MEMORY);
    mark_shadows_stale();
  } catch (...) {
    slot_copy(TextSlots[SLOT_STATUS], "Command failed");
  }
  plat_post_call(run_finished, id);
}

void finish_run(UiHandle main) {
  plat_kill_timer(main);
  plat_enable(ControlWindows[ID_CANCEL], false);
  plat_enable(ControlWindows[ID_PERFORM], true);
  for (int box : IDLE_ONLY_BOXES) plat_enable(ControlWindows[box], true);
  // Only boxes whose text changed are set: setting a 100,000-digit text is the costly
  // part of showing a result.
  for (const BoxSlot &b : RESULT_BOXES) {
    UiHandle w = ControlWindows[b.id];
    if (!w) continue;
    plat_get_text(w, box_text, TEXT_SLOT_BYTES);
    if (std::strcmp(box_text, TextSlots[b.slot]) != 0) {
      plat_set_text(w, TextSlots[b.slot]);
      plat_update(w);
    }
  }
  // The box that had the focus takes it back, ready for the next number, unless the user
  // gave the focus to another control meanwhile.
  if (run_focus >= 0 && plat_focused_id(main) < 0) plat_set_focus(ControlWindows[run_focus]);
  run_focus = -1;
  undo_drop_if_unchanged();
  if (worker_thread.joinable() && worker_thread.get_id() != std::this_thread::get_id())
    worker_thread.join();
  position_field_update();  // the box with the focus has a new text
}

void on_progress_timer() {
  if (!command_running()) return;
  const auto elapsed = std::chrono::steady_clock::now() - run_started;
  if (elapsed < PROGRESS_DELAY) return;
  const double seconds = std::chrono::duration<double>(elapsed).count();
  const bool english = caption_language() == 1;
  char progress[128];
  progress_status_text(progress, sizeof progress, seconds, !english);
  std::snprintf(paint_copies[SLOT_STATUS], PAINT_COPY_BYTES, english ? "Running %s" : "実行中 %s",
                progress);
  invalidate_control(run_window, ID_STATUS);
}

void stop_run_for_exit() {
  if (!command_running()) return;
  cancel_requested.store(true);
  worker_thread.join();
  plat_kill_timer(run_window);
  slot_copy(TextSlots[SLOT_STATUS], "aborted\n");
  mark_shadows_stale();
}
