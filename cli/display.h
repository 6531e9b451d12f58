// Writing register values at the interactive prompt: whole, or, on a terminal, a value
// longer than a screenful cut to its first and last rows with the count of digits left
// out between them.
#pragma once

#include <cstdio>
#include <string>

struct Screen {
  int rows = 24;
  int cols = 80;
};

// The size of the terminal out writes to; false when out is not a terminal.
bool terminal_screen(FILE *out, Screen *screen);

// Writes label (as "R0: ") and the value text (CR LF as line feeds), ending with a line
// feed. screen null: whole. Otherwise, when the rows the terminal would need exceed a
// screenful, the first rows, a line "… (N digits not shown; `show` prints all)" and the
// last rows.
void put_value(FILE *out, const std::string &label, const std::string &text, const Screen *screen);
