// The second core: one helper thread beside the thread that runs the command.
//
// The pool is the calling thread and one helper, shared by everything that works in
// parallel (the transforms' two primes, the exact mode's splits and pieces), so a command
// never runs more than two threads at once. The helper is started on first use and then
// waits for work for the rest of the process; between commands it only waits (it spins
// for a moment after each job, so the short jobs of a 1,000-digit evaluation are handed
// over without a wake-up, and then sleeps).
//
// Rules for jobs
// - A job handed to the helper must not share writable state with the job that runs
//   beside it. Both run inside the caller's call: run_two returns only after both jobs have
//   ended, so nothing of a command runs after the command has returned.
// - Cancellation reaches both: each job polls cancel_check() in its own loops. Any
//   exception thrown by a job (CommandCancelled, the exact mode's ExactOutOfMemory, …) is
//   carried to the caller and rethrown there after both jobs have stopped; when both
//   throw, the first job's exception is the one rethrown.
// - Nesting is safe: a job that calls run_two while the helper is busy (every job running
//   beside another one does) runs its pair in turn on its own thread.
// - A job handed over but not yet started when the caller's own job ends is taken back and
//   run by the caller, so handing work over never waits on a sleeping helper.
#pragma once

// Runs first(a) here and second(b) on the helper when it is free (in turn here otherwise);
// returns when both are done.
void run_two(void (*first)(void *), void *a, void (*second)(void *), void *b);

// As run_two when the helper is free now; when it is not (busy, not startable, or this is
// the helper thread), returns false at once and runs nothing.
bool run_two_if_free(void (*first)(void *), void *a, void (*second)(void *), void *b);

// Whether the helper is free now (a hint: it may be taken before the next run_two). When
// true, everything the helper's last job wrote is visible to this thread.
bool parallel_idle();

// A hint that pairs are coming soon (a long command starts): a sleeping helper wakes and
// looks for work for a moment, so the first pair does not wait for it to wake.
void parallel_wake();

// False when the helper thread could not be started (every pair then runs in turn).
bool parallel_available();

// Off: every pair runs in turn on the calling thread (for benchmarks and tests that compare
// one thread with two). On by default.
void parallel_set_enabled(bool on);

// 1 on the helper thread, 0 on every other thread: the index of per-thread work buffers.
int parallel_slot();
