// Token classification for deepnums-cli. Order of the tests: "#N", "Rn=@FILE", "Rn=TEXT",
// "compare" and "save", a command by caption or alias, a number. Commands come before numbers because some captions begin
// with a digit ("1/x", "10 ^ n", "0<->1").
#include "cli/tokens.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "engine/state.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool looks_like_number(const std::string &s) {
  if (s.empty()) return false;
  size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  return i < s.size() && (is_digit(s[i]) || s[i] == '.');
}

// The characters the number reader skips anywhere in a number.
bool is_number_separator(char c) { return c == ' ' || c == ',' || c == '\r' || c == '\n'; }

// A whole number as the registers read it: a sign, digits with at most one point (at
// least one digit), then optionally "e" or "E", a sign and the exponent's digits; the
// reader's separators may stand anywhere in the digits and after the number. Nothing
// else: "0x10", "12abc" or "1/2" would be read up to their first strange character.
bool is_whole_number(const std::string &s) {
  size_t i = 0, n = s.size();
  while (i < n && is_number_separator(s[i])) i++;
  if (i < n && (s[i] == '+' || s[i] == '-')) i++;
  int digits = 0;
  bool point = false;
  for (; i < n && s[i] != 'e' && s[i] != 'E'; i++) {
    if (is_digit(s[i])) digits++;
    else if (s[i] == '.' && !point) point = true;
    else if (!is_number_separator(s[i])) return false;
  }
  if (digits == 0) return false;
  if (i == n) return true;
  i++;  // the "e"
  while (i < n && is_blank(s[i])) i++;
  if (i < n && (s[i] == '+' || s[i] == '-')) i++;
  if (i == n || !is_digit(s[i])) return false;
  while (i < n && is_digit(s[i])) i++;
  while (i < n && is_number_separator(s[i])) i++;
  return i == n;
}

// "#N": the rest must be a whole decimal int.
bool parse_code(const std::string &s, int *code) {
  const char *text = s.c_str() + 1;
  if (*text == '\0') return false;
  char *end = nullptr;
  errno = 0;
  long v = strtol(text, &end, 10);
  if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  if (is_blank(*text)) return false;
  *code = (int)v;
  return true;
}

}  // namespace

bool parse_token(const std::string &arg, Token *out, std::string *error, const char *hint) {
  if (!arg.empty() && arg[0] == '#') {
    int code = 0;
    if (!parse_code(arg, &code)) {
      *error = "bad command number '";
      *error += arg;
      *error += "' (expected #N with N a decimal integer)";
      return false;
    }
    out->kind = TOKEN_COMMAND;
    out->code = code;
    return true;
  }
  if (arg.size() >= 3 && (arg[0] == 'R' || arg[0] == 'r') && is_digit(arg[1]) && arg[2] == '=') {
    int n = arg[1] - '0';
    if (n > 4) {
      char message[64];
      snprintf(message, sizeof message, "'%c%c=': only R0 .. R4 take typed texts", arg[0], arg[1]);
      *error = message;
      return false;
    }
    if (arg.size() - 3 > (size_t)TEXT_SLOT_MAX_CHARS) {
      char message[64];
      snprintf(message, sizeof message, "text for R%d is longer than 109999 characters", n);
      *error = message;
      return false;
    }
    out->reg = n;
    if (arg.size() > 3 && arg[3] == '@') {
      out->kind = TOKEN_REGISTER_FILE;
      out->text = arg.substr(4);
      if (out->text.empty()) {
        *error = "'" + arg + "' names no file (Rn=@FILE reads a register file)";
        return false;
      }
      return true;
    }
    out->kind = TOKEN_REGISTER_TEXT;
    out->text = arg.substr(3);
    return true;
  }
  if (arg == "compare") {
    out->kind = TOKEN_COMPARE;
    out->reg = 0;
    out->reg2 = 1;
    return true;
  }
  if (arg == "save") {
    *error = "'save' takes a register and a file: save Rn FILE";
    return false;
  }
  if (const CommandDef *def = command_by_name(arg)) {
    out->kind = TOKEN_COMMAND;
    out->code = def->code;
    return true;
  }
  if (looks_like_number(arg)) {
    if (arg.size() > (size_t)TEXT_SLOT_MAX_CHARS) {
      *error = "number is longer than 109999 characters";
      return false;
    }
    if (!is_whole_number(arg)) {
      *error = "'" + arg + "' is not a number: digits, one point, an exponent (" + hint + ")";
      return false;
    }
    out->kind = TOKEN_NUMBER;
    out->text = arg;
    return true;
  }
  if (const char *refusal = command_name_refusal(arg)) {
    *error = "'" + arg + "' is " + refusal;
    return false;
  }
  std::string suggestion = did_you_mean(command_name_suggestions(arg, false));
  *error = "unknown token '" + arg + "' (" + (suggestion.empty() ? std::string(hint) : suggestion) + ")";
  return false;
}

int register_name(const std::string &word) {
  if (word.size() != 2 || (word[0] != 'R' && word[0] != 'r') || !is_digit(word[1])) return -1;
  return word[1] - '0';
}

size_t parse_token_words(const std::vector<std::string> &words, size_t at, Token *out,
                         std::string *error, const char *hint) {
  const std::string &w = words[at];
  const size_t rest = words.size() - at - 1;
  if (w == "compare" && rest >= 2 && register_name(words[at + 1]) >= 0 &&
      register_name(words[at + 2]) >= 0) {
    out->kind = TOKEN_COMPARE;
    out->reg = register_name(words[at + 1]);
    out->reg2 = register_name(words[at + 2]);
    return 3;
  }
  if (w == "save") {
    if (rest < 2 || register_name(words[at + 1]) < 0 || words[at + 2].empty()) {
      *error = "'save' takes a register and a file: save Rn FILE (n = 0..9)";
      return 0;
    }
    out->kind = TOKEN_SAVE;
    out->reg = register_name(words[at + 1]);
    out->text = words[at + 2];
    return 3;
  }
  return parse_token(w, out, error, hint) ? 1 : 0;
}

bool parse_expression_token(const std::string &text, int first_column, Token *out,
                            std::string *error) {
  out->kind = TOKEN_EXPRESSION;
  out->text = text;
  return expression_parse(text, first_column, &out->program, error);
}

bool split_line(const std::string &line, std::vector<std::string> *tokens, std::string *error) {
  tokens->clear();
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (is_blank(line[i]) || line[i] == '\r' || line[i] == '\n')) i++;
    if (i >= line.size()) break;
    std::string token;
    while (i < line.size() && !is_blank(line[i]) && line[i] != '\r' && line[i] != '\n') {
      char c = line[i];
      if (c == '\'' || c == '"') {
        size_t close = line.find(c, i + 1);
        if (close == std::string::npos) {
          *error = std::string("unclosed quote ") + c;
          return false;
        }
        token += line.substr(i + 1, close - i - 1);
        i = close + 1;
      } else {
        token += c;
        i++;
      }
    }
    tokens->push_back(token);
  }
  return true;
}

std::string token_help() {
  std::string help =
      "Tokens, left to right:\n"
      "  NUMBER     a token beginning with a digit or a point (or a sign and one),\n"
      "             a whole number (12, -.5, 1 234, 1e-9; not 0x10 or 12abc):\n"
      "             \"up\", then R0's text becomes the token as typed\n"
      "  Rn=TEXT    n = 0..4: register n's text becomes TEXT, as if typed into its box\n"
      "  Rn=@FILE   n = 0..4: register n's text becomes the number in FILE (a register\n"
      "             file: \"#\" comment lines on top, then the value)\n"
      "  compare [Ra Rb]\n"
      "             compare R0 with R1 (or Ra with Rb, any of R0..R9) to the digits\n"
      "             shown: \"R0 and R1 agree to 998 digits; first difference at digit\n"
      "             999 (4 / 7)\"; as the last token it is printed instead of R0, and\n"
      "             the exit status is 0 when equal, 1 when they differ, 4 when one is\n"
      "             ERROR or OVERFLOW\n"
      "  save Rn FILE\n"
      "             write register n (0..9) into FILE as a register file: a comment\n"
      "             line, then the value in the plain display form\n"
      "  #N         the command with code N\n"
      "  COMMAND    a button caption (case and blanks ignored) or an alias\n"
      "A command takes x from R1 and y from R0 and lifts the stack: the result goes to\n"
      "R0, the operands move down one level (R1 = old R0, R2 = old R1), so the first\n"
      "number entered is x. powmod takes three: R2 ^ R1 mod R0. The commands from code\n"
      "200 on are the constants and functions beyond the buttons; they always compute\n"
      "with exact digits.\n\n"
      "Expressions (-e EXPR; with -i and in the filter, a line that starts with \"=\"):\n"
      "  numbers as above; + - * / % and ^ (right to left: 2^3^2 = 512); unary minus\n"
      "  (-2^2 = -4); parentheses; postfix ! (3! = 6); a command that takes operands by\n"
      "  its caption or an alias below, its operands in parentheses, x first: sqrt(2),\n"
      "  ln(x), pow(2, 10), round(x, 2), powmod(2, 10, 1000); pi and e; R0..R9 and ans\n"
      "  (R0) as variables. Each operation runs as one command; the result goes to R0\n"
      "  and lifts the stack once, and R1..R4 keep the old R0..R3. A mistake is named\n"
      "  with its column: \"2+*3\": expected a number at column 3.\n\n";
  char line[200];
  snprintf(line, sizeof line, "  %-5s %-22s %-16s %s\n", "code", "caption", "aliases", "effect");
  help += line;
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    snprintf(line, sizeof line, "  %-5d %-22s %-16s %s\n", d.code, d.caption, d.aliases, d.help);
    help += line;
  }
  help +=
      "\nThe manual page deepnums-cli(1) and the manual (docs/manual.md, installed in\n"
      "/usr/share/doc/deepnums/docs/) describe every command and the script language.\n";
  return help;
}
