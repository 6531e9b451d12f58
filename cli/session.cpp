// Session words of interactive deepnums-cli. The on/off options are one table: a new
// option of the window is one more row. Every argument is checked when the line is typed,
// so a wrong one changes nothing and is reported on that line.
#include "cli/session.h"

#include <cstring>

#include "engine/command_names.h"
#include "engine/command_table.h"
#include "engine/executor.h"
#include "engine/state.h"

namespace {

struct SessionFlag {
  const char *word;     // as typed at the prompt
  int setting;          // Settings index, 0 or 1
  const char *meaning;  // for help and the options line
};

const SessionFlag FLAGS[] = {
    {"bare", SET_BARE_DIGITS, "\"Bare digits\": every internal digit, unrounded"},
    {"plain", SET_PLANE_DISP, "\"Plane disp.\": no grouping blanks, no line breaks"},
    {"compact", SET_COMPACT_MEM, "\"Compact mem.\": products without the table of multiples"},
    {"exact", SET_EXACT_DIGITS, "\"Exact digits\": every digit of every result the true value's"},
};

constexpr int DIGITS_MIN = 12;
constexpr int DIGITS_MAX = 100000;

const char HELP[] =
    "A line holds tokens, run left to right: numbers (12, -.5, 1e-9), Rn=TEXT (n = 0..4),\n"
    "#N (command by code), and commands by caption or alias (the list below). A command\n"
    "takes x from R1 and y from R0; the result goes to R0, which is printed.\n"
    "A line that starts with \"=\" is an expression: =2+3*sqrt(16)^2, =ans/2, =sin(R1)^2.\n"
    "  + - * / % ^ (right to left), unary -, ( ), postfix !, functions by the names below\n"
    "  with their operands in parentheses (pow(x, y)), pi, e, R0..R9 and ans (R0). The\n"
    "  result goes to R0 and lifts the stack once; R1..R4 keep the old R0..R3.\n"
    "A line that starts with \"#\" is a comment.\n"
    "Keys: Tab completes a name; Up and Down recall earlier lines; Ctrl-C drops the line\n"
    "being typed, or stops a running command (the session goes on); Ctrl-D ends.\n"
    "Session commands, each alone on its line:\n"
    "  stack             prints R4..R0\n"
    "  show [Rn]         prints a register whole (R0 when none is named)\n"
    "  show Rn FROM..TO  prints digits FROM to TO of a register with their positions\n"
    "                    (digit 1 the leading one; FROM.., ..TO or one position N)\n"
    "Register tools, as tokens anywhere on a line:\n"
    "  compare [Ra Rb]   compares R0 with R1 (or Ra with Rb) to the digits shown\n"
    "  save Rn FILE      writes register n into FILE (a register file)\n"
    "  Rn=@FILE          register n (0..4) takes the number in FILE\n"
    "  digits N          significant digits (12 .. 100000); 'digits' alone shows them\n"
    "  deg | rad         angle unit: degree or radian\n";

void put_options(FILE *out) {
  fprintf(out, "digits %s, %s", TextSlots[SLOT_SIG_DIGITS],
          Settings[SET_ANGLE_UNIT] != 0 ? "rad" : "deg");
  for (const SessionFlag &f : FLAGS) fprintf(out, ", %s %s", f.word, Settings[f.setting] != 0 ? "on" : "off");
  fputs("\n", out);
}

// The operations with what a line may call them: the caption's key (as typed, without
// blanks) and the aliases.
void put_operations(FILE *out) {
  fprintf(out, "Operations (key, aliases, effect):\n");
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    if (d.kind == CMD_UNSUPPORTED) continue;
    fprintf(out, "  %-16s %-18s %s\n", command_key(d.caption).c_str(), d.aliases, d.help);
  }
}

void put_help(FILE *out) {
  fputs(HELP, out);
  for (const SessionFlag &f : FLAGS) {
    char left[32];
    snprintf(left, sizeof left, "%s on|off", f.word);
    fprintf(out, "  %-17s %s\n", left, f.meaning);
  }
  fputs("  options           shows the options\n"
        "  quit              ends the session (so does the end of input)\n",
        out);
  put_operations(out);
}

}  // namespace

bool session_command(const std::vector<std::string> &words, FILE *out, FILE *err, bool quiet,
                     const std::string &where) {
  if (words.empty()) return false;
  const std::string &w = words[0];
  const size_t args = words.size() - 1;
  if (w == "help" || w == "?") {
    put_help(out);
    return true;
  }
  if (w == "options") {
    put_options(out);
    return true;
  }
  if (w == "deg" || w == "rad") {
    if (args != 0) {
      fprintf(err, "deepnums-cli: %s'%s' takes no value\n", where.c_str(), w.c_str());
      return true;
    }
    Settings[SET_ANGLE_UNIT] = w == "rad" ? 1 : 0;
    if (!quiet) put_options(out);
    return true;
  }
  if (w == "digits") {
    if (args > 0) {
      // The rest of the line as the field's text, so "digits 100 000" is 100000.
      std::string text = words[1];
      for (size_t i = 2; i < words.size(); i++) text += " " + words[i];
      const int d = text.size() <= (size_t)TEXT_SLOT_MAX_CHARS ? digits_field_value(text.c_str()) : 0;
      if (d < DIGITS_MIN || d > DIGITS_MAX) {
        fprintf(err, "deepnums-cli: %sdigits must be 12..100,000\n", where.c_str());
        return true;
      }
      slot_copy(TextSlots[SLOT_SIG_DIGITS], text.c_str());
      if (quiet) return true;
    }
    put_options(out);
    return true;
  }
  for (const SessionFlag &f : FLAGS) {
    if (w != f.word) continue;
    if (args == 1 && (words[1] == "on" || words[1] == "off")) {
      Settings[f.setting] = words[1] == "on" ? 1 : 0;
      if (quiet) return true;
    } else if (args != 0) {
      fprintf(err, "deepnums-cli: %s'%s' takes 'on' or 'off'\n", where.c_str(), f.word);
      return true;
    }
    put_options(out);
    return true;
  }
  return false;
}

std::vector<std::string> session_words() {
  std::vector<std::string> words = {"help", "options", "digits", "deg", "rad", "quit", "stack", "show",
                                    "compare", "save"};
  for (const SessionFlag &f : FLAGS) words.push_back(f.word);
  return words;
}
