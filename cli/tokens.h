// The token grammar of deepnums-cli: numbers, register texts, commands by caption, alias
// or code, all matched against the engine's command table; and infix expressions (-e, or
// an input line that starts with "=").
#pragma once

#include <string>
#include <vector>

#include "engine/command_names.h"
#include "engine/command_table.h"
#include "engine/expression.h"

enum TokenKind {
  TOKEN_NUMBER,         // "up", then R0's text = text
  TOKEN_REGISTER_TEXT,  // TextSlots[reg] = text
  TOKEN_COMMAND,        // execute_command with Settings[SET_COMMAND] = code
  TOKEN_EXPRESSION,     // expression_run(program)
};

struct Token {
  TokenKind kind;
  int code = 0;          // TOKEN_COMMAND
  int reg = 0;           // TOKEN_REGISTER_TEXT: 0 .. 4
  std::string text;      // TOKEN_NUMBER, TOKEN_REGISTER_TEXT; TOKEN_EXPRESSION: as written
  ExprProgram program;   // TOKEN_EXPRESSION
};

// Classifies one token. false with a one-line message naming the token when it is not
// part of the grammar; hint ends a message that can say no more ("see --help").
bool parse_token(const std::string &arg, Token *out, std::string *error,
                 const char *hint = "see --help");

// An expression token from its text; first_column as expression_parse takes it. false
// with the parser's message.
bool parse_expression_token(const std::string &text, int first_column, Token *out,
                            std::string *error);

// Splits an interactive input line into tokens at blanks; single or double quotes group
// blanks into one token ("'x ^ y'"). false with a message for an unclosed quote.
bool split_line(const std::string &line, std::vector<std::string> *tokens, std::string *error);

// The token part of --help, generated from the command table.
std::string token_help();
