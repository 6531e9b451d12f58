// Session words of interactive deepnums-cli. The on/off options are one table: a new
// option of the window is one more row.
#include "cli/session.h"

#include <cstring>

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

const char HELP[] =
    "A line holds tokens, run left to right: numbers (12, -.5, 1e-9), Rn=TEXT (n = 0..4),\n"
    "#N (command by code), and commands by caption or alias (+ - * / sqrt x^y sin pi\n"
    "aclr ->R5 R5-> run ...; deepnums-cli --help lists them all). A command takes x from\n"
    "R1 and y from R0; the result goes to R0. Tab completes a command name; Up and Down\n"
    "recall earlier lines.\n"
    "Options of this session, each alone on its line:\n"
    "  digits N          significant digits (12 .. 100000); 'digits' alone shows them\n"
    "  deg | rad         angle unit: degree or radian\n";

void put_options(FILE *out) {
  fprintf(out, "digits %s, %s", TextSlots[SLOT_SIG_DIGITS],
          Settings[SET_ANGLE_UNIT] != 0 ? "rad" : "deg");
  for (const SessionFlag &f : FLAGS) fprintf(out, ", %s %s", f.word, Settings[f.setting] != 0 ? "on" : "off");
  fputs("\n", out);
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
}

}  // namespace

bool session_command(const std::vector<std::string> &words, FILE *out, FILE *err) {
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
      fprintf(err, "deepnums-cli: '%s' takes no value\n", w.c_str());
      return true;
    }
    Settings[SET_ANGLE_UNIT] = w == "rad" ? 1 : 0;
    put_options(out);
    return true;
  }
  if (w == "digits") {
    if (args > 0) {
      // The rest of the line as the field's text, so "digits 100 000" is 100000.
      std::string text = words[1];
      for (size_t i = 2; i < words.size(); i++) text += " " + words[i];
      if (text.size() > (size_t)TEXT_SLOT_MAX_CHARS) {
        fprintf(err, "deepnums-cli: the digits text is longer than 109999 characters\n");
        return true;
      }
      slot_copy(TextSlots[SLOT_SIG_DIGITS], text.c_str());
    }
    put_options(out);
    return true;
  }
  for (const SessionFlag &f : FLAGS) {
    if (w != f.word) continue;
    if (args == 1 && (words[1] == "on" || words[1] == "off")) {
      Settings[f.setting] = words[1] == "on" ? 1 : 0;
    } else if (args != 0) {
      fprintf(err, "deepnums-cli: '%s' takes 'on' or 'off'\n", f.word);
      return true;
    }
    put_options(out);
    return true;
  }
  return false;
}

std::vector<std::string> session_words() {
  std::vector<std::string> words = {"help", "options", "digits", "deg", "rad", "quit"};
  for (const SessionFlag &f : FLAGS) words.push_back(f.word);
  return words;
}
