// The words of an interactive deepnums-cli session (and of input lines in the filter mode)
// that are not tokens: help, and the options the session was started with (digits, angle
// unit, display and memory flags). "stack", "show" and "quit" are the line runner's.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Handles a line whose first word is a session word ("help", "?", "digits", "deg",
// "rad", "bare", "plain", "compact", "exact", "options"). false when the first word is
// none of them (the line holds tokens then). A handled line writes its answer to out, or
// a one-line message to err (after the prefix where) when its argument is wrong, and then
// changes nothing; nothing of it runs a command. quiet: an option that changed is not
// answered with the options line (the filter mode prints R0 values only).
bool session_command(const std::vector<std::string> &words, FILE *out, FILE *err,
                     bool quiet = false, const std::string &where = "");

// The session words, for completion at the prompt.
std::vector<std::string> session_words();
