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
  TOKEN_REGISTER_FILE,  // TextSlots[reg] = the value of the register file at path `text`
  TOKEN_COMMAND,        // execute_command with Settings[SET_COMMAND] = code
  TOKEN_EXPRESSION,     // expression_run(program)
  TOKEN_COMPARE,        // compare registers reg and reg2 (R0 and R1 when written alone)
  TOKEN_SAVE,           // register reg into the register file at path `text`
};

struct Token {
  TokenKind kind;
  int code = 0;          // TOKEN_COMMAND
  int reg = 0;           // TOKEN_REGISTER_TEXT, TOKEN_REGISTER_FILE: 0 .. 4; TOKEN_COMPARE,
                         // TOKEN_SAVE: 0 .. 9
  int reg2 = 1;          // TOKEN_COMPARE
  std::string text;      // TOKEN_NUMBER, TOKEN_REGISTER_TEXT; TOKEN_EXPRESSION: as written;
                         // TOKEN_REGISTER_FILE, TOKEN_SAVE: the file's path
  ExprProgram program;   // TOKEN_EXPRESSION
};

// Classifies one token. false with a one-line message naming the token when it is not
// part of the grammar; hint ends a message that can say no more ("see --help").
bool parse_token(const std::string &arg, Token *out, std::string *error,
                 const char *hint = "see --help");

// Classifies the token that starts at words[at], which may take the words after it:
// "compare Ra Rb" (three words; "compare" not followed by two register names is one) and
// "save Rn FILE" (always three). The number of words taken, or 0 with a message as
// parse_token gives it.
size_t parse_token_words(const std::vector<std::string> &words, size_t at, Token *out,
                         std::string *error, const char *hint = "see --help");

// "R0" .. "R9" (or "r0" .. "r9"): the register number; −1 for any other word.
int register_name(const std::string &word);

// An expression token from its text; first_column as expression_parse takes it. false
// with the parser's message.
bool parse_expression_token(const std::string &text, int first_column, Token *out,
                            std::string *error);

// Splits an interactive input line into tokens at blanks; single or double quotes group
// blanks into one token ("'x ^ y'"). false with a message for an unclosed quote.
bool split_line(const std::string &line, std::vector<std::string> *tokens, std::string *error);

// The token part of --help, generated from the command table.
std::string token_help();
