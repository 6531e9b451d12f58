// The engine's single entry and the register operations.
#pragma once

#include "engine/state.h"

// Precision figures of the current run.
extern int requested_digits;  // value read from the significant-digits field
extern int extension_digits;  // "Minimum extension digits"
extern int error_digits;      // internal_digits − extension_digits − 1

// Runs the command Settings[SET_COMMAND] on the shared state. 0 after a command ran or
// was refused as unsupported; −1 when the significant digits are invalid. May throw
// CommandCancelled (core/cancel.h) when cancel_requested is raised.
int execute_command();

// Registers 0 .. count−1 (count ≤ 5) as a command's result shows them, those whose text
// was typed since the last command ("1e3" becomes "1000\r\n"); the run's start is that
// of execute_command. 0 (also when nothing was typed: then nothing runs), or −1 when the
// significant digits are invalid (nothing is formatted then).
int show_typed_registers(int count);

// After a cancelled command: every shadow text is marked stale, so the next command
// re-reads every register from the text the user sees.
void mark_shadows_stale();

// Register n (0..14) is read again from its text at the next command. For R5..R9, whose
// change is seen only in the 50-character display copy, this is how a new full text in
// MemoryTexts (a restored undo level) reaches the number. Out of range: nothing.
void mark_shadow_stale(int n);

// True when the "Exact digits" option is set for the running command.
bool exact_mode();

int register_copy(int dst, int src);
int register_clear(int n);
int register_show(int n);
int stack_lift();
int stack_drop();
int memory_store(int n);
int memory_recall(int n);
