// Input lines (see lines.h).
#include "cli/lines.h"

#include <climits>
#include <cstring>
#include <vector>

#include "cli/inputs.h"
#include "cli/session.h"
#include "engine/digit_position.h"
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
  char text[16];
  snprintf(text, sizeof text, "R%d: ", n);
  return text;
}

void message(const LineSession &s, const std::string &text) {
  fprintf(stderr, "deepnums-cli: %s%s\n", s.where.c_str(), printable(text).c_str());
}

// A range of digit positions as "show" takes it: "FROM..TO", "FROM..", "..TO" or "N",
// each number as parse_position reads it ("99,981"). false for anything else.
bool parse_range(const std::string &word, int *from, int *to) {
  const size_t dots = word.find("..");
  if (dots == std::string::npos) {
    *from = *to = parse_position(word.c_str());
    return *from > 0;
  }
  const std::string a = word.substr(0, dots), b = word.substr(dots + 2);
  *from = a.empty() ? 1 : parse_position(a.c_str());
  *to = b.empty() ? INT_MAX : parse_position(b.c_str());
  return *from > 0 && *to > 0;
}

// "show" alone or "show Rn": the register's value whole. "show Rn FROM..TO": its digits
// FROM to TO (positions as the window's position field counts them: digit 1 the leading
// one, grouping blanks and line breaks not counted), 50 to a line in groups of ten, each
// line after the position of its first digit.
bool show(const std::vector<std::string> &words, const LineSession &s) {
  int n = 0;
  if (words.size() >= 2) {
    n = register_name(words[1]);
    if (n < 0) {
      message(s, "'show' takes a register, R0 .. R9");
      return true;
    }
  }
  if (words.size() > 3) {
    message(s, "'show' takes a register and a range of digits: show R0 1..100");
    return true;
  }
  int from = 0, to = 0;
  if (words.size() == 3 && !parse_range(words[2], &from, &to)) {
    message(s, "'" + words[2] + "' is not a range of digits: FROM..TO, FROM.., ..TO or N (from 1)");
    return true;
  }
  static char text[TEXT_SLOT_BYTES];
  if (format_register_value(n, text) != 0) {
    fprintf(stderr, "%s\n", TextSlots[SLOT_STATUS]);
    return true;
  }
  if (words.size() < 3) {
    put_value(stdout, label(n), text, nullptr);
    return true;
  }
  const size_t len = strlen(text);
  const int total = text_digit_total(text, len);
  char count[32], first[32];
  format_count(total, count, sizeof count);
  format_count(from, first, sizeof first);
  if (from > total || from > to) {
    char head[80];
    snprintf(head, sizeof head, "R%d has no digits ", n);
    message(s, std::string(head) + words[2] + ": it shows " + count + (total == 1 ? " digit" : " digits"));
    return true;
  }
  if (to > total) to = total;
  char last[32];
  format_count(to, last, sizeof last);
  if (from == to) printf("R%d digit %s of %s\n", n, first, count);
  else printf("R%d digits %s..%s of %s\n", n, first, last, count);
  const int width = (int)std::to_string(to).size();
  constexpr int PER_LINE = 50, PER_GROUP = 10;
  size_t at = text_offset_of_digit(text, len, from);
  std::string line;
  for (int k = from; k <= to; k++) {
    while (text[at] < '0' || text[at] > '9') at++;  // separators and the point
    if ((k - from) % PER_LINE == 0) {
      if (!line.empty()) puts(line.c_str());
      char head[24];
      snprintf(head, sizeof head, "%*d ", width, k);
      line = head;
    }
    if ((k - from) % PER_GROUP == 0) line += ' ';
    line += text[at++];
  }
  puts(line.c_str());
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
    case RUN_BAD_INPUT: return LINE_BAD;
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
    for (size_t i = 0; i < words.size();) {
      Token t;
      const size_t taken = parse_token_words(words, i, &t, &error, hint);
      if (taken == 0) {
        message(*s, error);
        return LINE_BAD;
      }
      i += taken;
      tokens.push_back(std::move(t));
    }
  }

  s->run.where = s->where;
  for (const Token &t : tokens) {
    if (take_interrupt_between_commands()) return LINE_CANCELLED;
    const RunResult r = run_token(t, &s->run);
    if (r == RUN_BAD_INPUT) return LINE_BAD;
    if (r != RUN_DONE) return outcome_of(r);
    if (t.kind == TOKEN_COMMAND && command_find(t.code) != nullptr &&
        command_find(t.code)->kind == CMD_SCRIPT &&
        strncmp(TextSlots[SLOT_STATUS], "Invalid command", 15) == 0)
      return LINE_SCRIPT_INVALID;
  }
  return LINE_RAN;
}
