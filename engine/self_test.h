// The built-in regression test of the arithmetic and the functions.
#pragma once

#include "core/decnum.h"

// Runs sequences first .. last (last = 0: all) of TestTable at 100 significant digits and
// reports in the status text; the user's precision is restored on every path. Returns 0.
int run_self_test(int first, int last);

// The same on any table of count strings in TestTable's layout (the list ends at the
// first empty string or after count strings, whichever comes first).
int run_self_test_on(const char *const *table, int count, int first, int last);

// Reads an operand or expected text of the table into p: "dN" is N × π / 180, "s" leaves
// p as it is, anything else is a number text. Returns 0.
int parse_test_operand(DecWord *p, const char *text);
