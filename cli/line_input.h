// Line editing at the interactive prompt: editing keys, a history kept between sessions
// and completion of command names, through libedit, when standard input is a terminal.
// Builds without libedit (Windows) have none of it; pipes never use it.
#pragma once

#include <string>

#include "cli/input_reader.h"

// Starts line editing when standard input is a terminal and the build has it: reads the
// history file. false otherwise (the caller then reads plain lines).
bool line_editing_start();

// Shows the prompt and reads one edited line (without its line end) into *line, adding
// it to the history and writing the history file. READ_END at the end of input (Ctrl-D),
// READ_INTERRUPTED after Ctrl-C at the prompt (the line typed so far is dropped).
ReadResult line_editing_read(const char *prompt, std::string *line);

// The history file: $XDG_STATE_HOME/deepnums/history, or
// $HOME/.local/state/deepnums/history; empty when neither variable is set.
std::string history_file_path();
