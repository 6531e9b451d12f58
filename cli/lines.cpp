// Input lines (see lines.h).
#include "cli/lines.h"

#include <cstring>
#include <vector>

#include "cli/inputs.h"
#include "cli/session.h"
#include "engine/executor.h"

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A word that starts a comment in the middle of a line: "#" not followed by a command
// number ("#", "#note"; "#35" and "#-5" are tokens).
bool starts_comment(const std::string &word) {
  if (word.empty() || word[0] != '#') return false;
  size_t i = 1;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) i++;
  return i >= word.size() || !is_digit(word[i]);
}

// "R3: ", the label of a register's value.
std::string label(int n) {
  char text[8];
  snprintf(text, sizeof text, "R%d: ", n);
  return text;
}

void message(const LineSession &s, const std::string &text) {
  fprintf(stderr, "deepnums-cli: %s%s\n", s.where.c_str(), printable(text).c_str());
}

// "show" alone or "show Rn": the register's value whole.
bool show(const std::vector<std::string> &words, const LineSession &s) {
  int n = 0;
  if (words.size() == 2) {
    const std::string &r = words[1];
    if (r.size() != 2 || (r[0] != 'R' && r[0] != 'r') || !is_digit(r[1])) {
      message(s, "'show' takes a register, R0 .. R9");
      return true;
    }
    n = r[1] - '0';
  } else if (words.size() > 2) {
    message(s, "'show' takes one register, R0 .. R9");
    return true;
  }
  static char text[TEXT_SLOT_BYTES];
  if (format_register_value(n, text) != 0) {
    fprintf(stderr, "%s\n", TextSlots[SLOT_STATUS]);
    return true;
  }
  put_value(stdout, label(n), text, nullptr);
  return true;
}

void stack(const LineSession &s) {
  static char text[TEXT_SLOT_BYTES];
  for (int n = 4; n >= 0; n--) {
    if (format_register_value(n, text) != 0) {
      fprintf(stderr, "%s\n", TextSlots[SLOT_STATUS]);
      return;
    }
    put_value(stdout, label(n), text, s.screen);
  }
}

LineOutcome outcome_of(RunResult r) {
  switch (r) {
    case RUN_DONE: return LINE_RAN;
    case RUN_REFUSED: return LINE_REFUSED;
    case RUN_CANCELLED: return LINE_CANCELLED;
    case RUN_NO_MEMORY: return LINE_NO_MEMORY;
  }
  return LINE_RAN;
}

}  // namespace

LineOutcome run_line(const std::string &line, LineSession *s) {
  const size_t first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos || line[first] == '#') return LINE_NOTHING;
  const char *hint = s->interactive ? "type help" : "see --help";

  std::vector<Token> tokens;
  std::string error;
  if (line[first] == '=') {
    Token t;
    if (!parse_expression_token(line.substr(first + 1), (int)first + 2, &t, &error)) {
      message(*s, error);
      return LINE_BAD;
    }
    tokens.push_back(std::move(t));
  } else {
    std::vector<std::string> words;
    if (!split_line(line, &words, &error)) {
      message(*s, error);
      return LINE_BAD;
    }
    for (size_t i = 0; i < words.size(); i++) {
      if (starts_comment(words[i])) {
        words.resize(i);
        break;
      }
    }
    if (words.empty()) return LINE_NOTHING;
    if (words.size() == 1 && words[0] == "quit") return LINE_QUIT;
    if (words[0] == "stack" && words.size() == 1) {
      stack(*s);
      return LINE_NOTHING;
    }
    if (words[0] == "show" && show(words, *s)) return LINE_NOTHING;
    if (session_command(words, stdout, stderr, !s->interactive, s->where)) return LINE_NOTHING;
    for (const std::string &w : words) {
      Token t;
      if (!parse_token(w, &t, &error, hint)) {
        message(*s, error);
        return LINE_BAD;
      }
      tokens.push_back(std::move(t));
    }
  }

  for (const Token &t : tokens) {
    if (take_interrupt_between_commands()) return LINE_CANCELLED;
    const RunResult r = run_token(t, &s->run);
    if (r != RUN_DONE) return outcome_of(r);
    if (t.kind == TOKEN_COMMAND && command_find(t.code) != nullptr &&
        command_find(t.code)->kind == CMD_SCRIPT &&
        strncmp(TextSlots[SLOT_STATUS], "Invalid command", 15) == 0)
      return LINE_SCRIPT_INVALID;
  }
  return LINE_RAN;
}
