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

// The text register n (0..14) would show for its value, written into out (a slot-sized
// buffer) without changing the register's own text: a text typed since the last command
// ("1e3") is read at the current precision and formatted ("1000\r\n"), with the start of a
// run as execute_command makes it; a text the engine wrote is copied as it stands. 0, or
// −1 when n is out of range or the significant digits are invalid (status message set,
// out holds the text as it stands).
int format_register_value(int n, char *out);

// The status of a command that could not get the memory it needed from the system
// (std::bad_alloc out of execute_command); the front end abandons it as after Cancel.
extern const char MSG_OUT_OF_MEMORY[];  // "Not enough memory for this operation"

// After a cancelled command: every shadow text is marked stale, so the next command
// re-reads every register from the text the user sees.
void mark_shadows_stale();

// Register n (0..14) is read again from its text at the next command. For R5..R9, whose
// change is seen only in the 50-character display copy, this is how a new full text in
// MemoryTexts (a restored undo level) reaches the number. Out of range: nothing.
void mark_shadow_stale(int n);
// The start of a run without its command, for a front end that moves register values
// between commands: options, precision, every register whose text changed read again, so
// that every register's number is its text's at the current precision. 0, or −1 when the
// significant digits are invalid (status message set). Clears the status line.
int prepare_registers();
// True when register n's number is the one its text shows (its shadow equals its text).
bool register_current(int n);

// The significant-digits field's text as a command reads it: a decimal integer, with digit
// groups as the title writes them ("100,000") and blanks around it; 0 for any other text
// (which no precision accepts), saturated to the int range.
int digits_field_value(const char *text);

// True when the "Exact digits" option is set for the running command.
bool exact_mode();

int register_copy(int dst, int src);
int register_clear(int n);
int register_show(int n);
int stack_lift();
int stack_drop();
int memory_store(int n);
int memory_recall(int n);
