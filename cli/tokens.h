// The token grammar of deepnums-cli: numbers, register texts, commands by caption, alias
// or code, all matched against the engine's command table.
#pragma once

#include <string>
#include <vector>

#include "engine/command_table.h"

enum TokenKind {
  TOKEN_NUMBER,         // "up", then R0's text = text
  TOKEN_REGISTER_TEXT,  // TextSlots[reg] = text
  TOKEN_COMMAND,        // execute_command with Settings[SET_COMMAND] = code
};

struct Token {
  TokenKind kind;
  int code = 0;      // TOKEN_COMMAND
  int reg = 0;       // TOKEN_REGISTER_TEXT: 0 .. 4
  std::string text;  // TOKEN_NUMBER, TOKEN_REGISTER_TEXT
};

// A caption or alias written without blanks and in lower case ("x ^ y" -> "x^y").
std::string command_key(const std::string &name);

// The catalogue row whose English caption or alias matches name without regard to case
// or blanks; null when none does.
const CommandDef *find_command(const std::string &name);

// Classifies one token. false with a one-line message naming the token when it is not
// part of the grammar.
bool parse_token(const std::string &arg, Token *out, std::string *error);

// Splits an interactive input line into tokens at blanks; single or double quotes group
// blanks into one token ("'x ^ y'"). false with a message for an unclosed quote.
bool split_line(const std::string &line, std::vector<std::string> *tokens, std::string *error);

// The token part of --help, generated from the command table.
std::string token_help();
