// Line editing through libedit's readline interface. libedit's own signal handling is
// off: the program's SIGINT handler (installed without SA_RESTART) records Ctrl-C, the
// byte reader below (the block reader of standard input) sees the interrupted read and
// ends the line, which is then dropped.
#include "cli/line_input.h"

#include <cstdlib>

#ifdef DEEPNUMS_HAVE_LIBEDIT

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>
// clang-format off
#include <editline/readline.h>
// clang-format on

#include "cli/runner.h"
#include "cli/session.h"
#include "cli/tokens.h"
#include "cli/input_reader.h"
#include "engine/command_table.h"

namespace {

constexpr int HISTORY_LINES = 1000;

bool editing = false;
std::string history_path;
std::vector<std::string> completions;  // command keys and session words, sorted

// One byte of standard input; EOF at its end and after Ctrl-C.
int read_byte(FILE *) {
  const int c = standard_input().read_byte();
  return c < 0 ? EOF : c;
}

// The completion generator: every name that begins with text, one per call.
char *complete_name(const char *text, int state) {
  static size_t next;
  if (state == 0) next = 0;
  const size_t len = strlen(text);
  while (next < completions.size()) {
    const std::string &name = completions[next++];
    if (name.compare(0, len, text) == 0) return strdup(name.c_str());
  }
  return nullptr;
}

// Makes the folders of path that are missing (mode 0700, as state folders are).
void make_parent_folders(const std::string &path) {
  for (size_t i = 1; i < path.size(); i++) {
    if (path[i] != '/') continue;
    mkdir(path.substr(0, i).c_str(), 0700);
  }
}

}  // namespace

bool line_editing_start() {
  if (!isatty(0)) return false;
  // Completion offers the names a token line can hold: the captions without blanks and
  // in lower case (as command_key matches them), the aliases and the session words.
  completions = session_words();
  for (int i = 0; i < CommandTableCount; i++) {
    const CommandDef &d = CommandTable[i];
    if (strcmp(d.caption, "---") != 0) completions.push_back(command_key(d.caption));
    std::string aliases = d.aliases;
    size_t start = 0;
    while (start < aliases.size()) {
      size_t end = aliases.find(' ', start);
      if (end == std::string::npos) end = aliases.size();
      if (end > start) completions.push_back(aliases.substr(start, end - start));
      start = end + 1;
    }
  }
  std::sort(completions.begin(), completions.end());
  completions.erase(std::unique(completions.begin(), completions.end()), completions.end());

  rl_readline_name = "deepnums";
  rl_catch_signals = 0;
  rl_getc_function = read_byte;
  rl_completion_entry_function = complete_name;
  // "=", "(" and ",": a function name inside an expression line completes too.
  rl_basic_word_break_characters = " \t'\"=(,";
  using_history();
  stifle_history(HISTORY_LINES);
  history_path = history_file_path();
  if (!history_path.empty()) read_history(history_path.c_str());
  editing = true;
  return true;
}

ReadResult line_editing_read(const char *prompt, std::string *line) {
  line->clear();
  char *text = readline(prompt);
  if (interrupt_pending()) {
    free(text);
    return READ_INTERRUPTED;
  }
  if (text == nullptr) return READ_END;
  *line = text;
  free(text);
  size_t first = line->find_first_not_of(" \t");
  if (first != std::string::npos) {
    HIST_ENTRY *last = history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
    if (last == nullptr || *line != last->line) {
      add_history(line->c_str());
      // Written at once, so a closed terminal loses no line.
      if (!history_path.empty()) {
        make_parent_folders(history_path);
        write_history(history_path.c_str());
      }
    }
  }
  return READ_LINE;
}

#else  // no libedit: plain lines only

bool line_editing_start() { return false; }
ReadResult line_editing_read(const char *, std::string *line) {
  line->clear();
  return READ_END;
}

#endif

std::string history_file_path() {
  const char *state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/deepnums/history";
  const char *home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/state/deepnums/history";
  return "";
}
