// Finding catalogue commands by name, for every front end that lets the user type one: a
// token of deepnums-cli, a function of an infix expression. A name matches a row's English
// caption or one of its aliases without regard to case or blanks ("x^y", "SQRT", "ln").
#pragma once

#include <string>
#include <vector>

#include "engine/command_table.h"

// A caption or alias written without blanks and in lower case ("x ^ y" -> "x^y").
std::string command_key(const std::string &name);

// The catalogue row whose caption or alias matches name; null when none does. Captions
// are tried before aliases, and the first row of a caption shown twice ("---") wins.
const CommandDef *command_by_name(const std::string &name);

// Why a name that looks like a command is refused, as a short reason ("ambiguous: ln or
// log10"); null for every other name.
const char *command_name_refusal(const std::string &name);

// The names nearest to an unknown one, as the catalogue writes them ("sqr" -> {"SQRT",
// "sq"}): the captions and aliases at the smallest edit distance (letters inserted,
// deleted, changed or swapped), when that distance is small for the name's length; at
// most four, in catalogue order. functions_only: only the names an expression can call
// (identifiers of rows that take operands or are constants).
std::vector<std::string> command_name_suggestions(const std::string &name, bool functions_only);

// "did you mean SQRT, sq?" for suggestions, or "" for none.
std::string did_you_mean(const std::vector<std::string> &names);

// True for a name an expression can write as a function or constant: a letter or "_",
// then letters, digits and "_" ("sqrt", "log10", "exp10").
bool is_identifier(const std::string &name);
