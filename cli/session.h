// The words of an interactive deepnums-cli session that are not tokens: help, and the
// options the session was started with (digits, angle unit, display and memory flags).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Handles a line whose first word is a session word ("help", "?", "digits", "deg",
// "rad", "bare", "plain", "compact", "options"). false when the first word is none of
// them (the line holds tokens then). A handled line writes its answer to out, or a
// one-line message to err when its argument is wrong; nothing of it runs a command.
bool session_command(const std::vector<std::string> &words, FILE *out, FILE *err);

// The session words, for completion at the prompt.
std::vector<std::string> session_words();
