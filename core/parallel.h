// Two independent jobs at once: one on the calling (worker) thread, one on a helper
// thread that is started once and then waits for work for the rest of the process.
//
// The jobs must not share writable state. A CommandCancelled thrown by either job is
// passed on to the caller after both have stopped, so no job still runs when the caller
// unwinds (the jobs' static buffers are free again then).
#pragma once

// Runs first(a) here and second(b) on the helper thread; returns when both are done.
void run_two(void (*first)(void *), void *a, void (*second)(void *), void *b);

// False when the helper thread could not be started (both jobs then run here in turn).
bool parallel_available();
