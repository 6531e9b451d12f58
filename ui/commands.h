// Button presses, the run state and the worker thread.
#pragma once

#include <cstdint>
#include <thread>

#include "ui/platform.h"

// The running worker; joinable while a command runs. It is the run flag.
extern std::thread worker_thread;

extern const char *const REFUSAL_MESSAGE[2];  // [language]
extern const char *const REFUSAL_TITLE;        // "Parameter"

// One command notification: control id in the low 16 bits, notification code in the high
// 16 bits. Returns 0.
int on_command(UiHandle main, uint32_t param);

// Enters the running state for a command (a button's id 35..95, or a code from 200 on of
// the functions beyond the buttons) and starts the worker. The state the command starts
// from becomes an undo level (ui/undo.h); the box with the keyboard focus hands it to the
// window for the run. `focused`: that control, when the caller knows it better than the
// platform does now (a dialog that just closed may not have given the keyboard back yet);
// by default the one the platform reports.
constexpr int FOCUS_AS_REPORTED = -2;
void start_command(UiHandle main, int id, int focused = FOCUS_AS_REPORTED);

// The worker's body: runs the command and posts the end of the run to the main thread.
void worker_main(UiHandle main, intptr_t run_id);

// Leaves the running state: re-enables the idle controls, shows the result texts in the
// boxes whose text changed, gives the focus back to the box that had it (its text
// selected), drops the undo level of a run that changed nothing, and clears the run flag.
// Main thread.
void finish_run(UiHandle main);

bool command_running();

// Whether a control is enabled in the current run state: Cancel only while a command
// runs; the register boxes, the digits field, the script box and "Perform the following"
// only while none runs; every other control always.
bool control_enabled(int id);

// The text a painted entry shows for a slot: during a run a copy taken when it started
// (the worker owns the slots then), otherwise the slot itself.
const char *painted_slot_text(int slot);

// Progress in the status line while a run lasts longer than half a second.
void on_progress_timer();

// Closing during a run: stops and joins the worker so the workspace can be saved. The
// edit boxes keep the texts from before the run.
void stop_run_for_exit();
