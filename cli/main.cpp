// deepnums-cli: the calculator engine from the command line. Each token runs one
// execute_command with Settings and TextSlots set as the window sets them, and the texts
// persist from token to token as they do between button presses. Three ways in: tokens
// and -e expressions as arguments (here), lines from a pipe (cli/filter.cpp) and the
// interactive session (cli/repl.cpp).
//
// Exit status: 0; 1 when a command was refused for its significant digits or could not get
// the memory it needed; 2 for a usage error (nothing is run then), a filter line that
// could not be run, a register file that could not be read or written, or a workspace
// file that cannot be read or written; 3 when a script stopped on an invalid command; 4
// when R0 ends as ERROR or OVERFLOW; 130 when Ctrl-C cancelled a command of a
// non-interactive run (with -w: 143 for SIGTERM, 129 for SIGHUP, which end the run as
// Ctrl-C does). A run whose last token is "compare" exits as cmp does: 0 equal, 1
// different, 4 not comparable.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#define isatty _isatty
#endif

#include "cli/inputs.h"
#include "cli/modes.h"
#include "cli/runner.h"
#include "cli/token_run.h"
#include "cli/tokens.h"
#include "engine/executor.h"
#include "engine/register_tools.h"
#include "engine/workspace_file.h"

namespace {

constexpr int EXIT_REFUSED = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_SCRIPT_INVALID = 3;
constexpr int EXIT_MARKER = 4;
constexpr int CODE_SCRIPT = 95;

struct Options {
  const char *digits = nullptr;
  int angle = -1;  // -1: as loaded
  bool compact = false, bare = false, plain = false;
  int exact = -1;  // -1: as loaded (on at a fresh start), 0: --no-exact, 1: --exact
  const char *script = nullptr;
  const char *workspace = nullptr;
  bool registers = false, interactive = false;
  bool help = false, version = false;
  std::vector<Token> tokens;  // the tokens and -e expressions, in their order
};

const char USAGE[] =
    "usage: deepnums-cli [OPTIONS] [TOKEN | -e EXPRESSION]...\n"
    "       COMMANDS | deepnums-cli [OPTIONS]\n"
    "       deepnums-cli [OPTIONS] -i\n"
    "  -d, --digits TEXT     the significant-digits field, as typed (default \"1000\";\n"
    "                        12 .. 100000 are accepted)\n"
    "  --degree | --radian   angle unit (default degree)\n"
    "  --compact             \"Compact mem.\" on\n"
    "  --bare                \"Bare digits\" on: every internal digit, unrounded\n"
    "  --plain               \"Plane disp.\" on: no grouping blanks, no line breaks\n"
    "  --exact               \"Exact digits\" on (the default of a fresh start): every\n"
    "                        shown digit is the true value's, correctly rounded\n"
    "  --no-exact            \"Exact digits\" off: the defined algorithms, reproducible\n"
    "                        to the last guard digit, where the last shown digit can\n"
    "                        be a unit off and hard arguments lose digits\n"
    "  -s, --script FILE     put FILE's text into the script box; the token 'run'\n"
    "                        performs it; with no tokens (and without -i) it is\n"
    "                        performed once\n"
    "  -w, --workspace FILE  read FILE at start and write it back at the end, in the\n"
    "                        42-line layout of the window's deepNUMS.ini; a missing\n"
    "                        FILE is a fresh start\n"
    "  -e, --expression EXPR\n"
    "                        an infix expression, run where it stands among the tokens\n"
    "                        (2+3*sqrt(16)^2); its result goes to R0 and lifts the\n"
    "                        stack once; may be repeated (see Expressions below)\n"
    "  -r, --registers       print R0..R9 at the end as \"Rn: text\"; otherwise R0 only\n"
    "  -i, --interactive     read lines from standard input: tokens, \"=EXPR\", \"#\"\n"
    "                        comments, session commands; after each line print R0 (on\n"
    "                        a terminal at most a screenful) and the status line when\n"
    "                        it says something; 'quit' or the end of input ends; 'help'\n"
    "                        lists the session commands (stack, show, digits N, deg,\n"
    "                        rad, bare/plain/compact/exact on|off); on a terminal with\n"
    "                        line editing, history and Tab completion\n"
    "  -h, --help            this text\n"
    "  --version             the version and the licence\n"
    "Options may stand anywhere; '--' ends them; a long option takes its value as the\n"
    "next argument or after '=' (--digits=20). An argument is an option only when '-'\n"
    "or '--' is followed by a letter, so -5 and ->R5 are tokens. Options override the\n"
    "values read from a workspace file.\n"
    "With no token, -e, -s or -i, and standard input not a terminal, deepnums-cli is a\n"
    "filter: it runs each line of standard input as -i does and prints R0's value after\n"
    "each line that ran, and nothing else, on standard output.\n"
    "A result of ERROR or OVERFLOW has its reason on standard error (\"ERROR: division by\n"
    "zero\").\n"
    "Exit status: 0; 1 when a command was refused for its significant digits or ran out\n"
    "of memory; 2 for a usage error, a filter line that could not be run, a register\n"
    "file that could not be read or written, or a workspace file that cannot be read or\n"
    "written; 3 when a script stopped on \"Invalid command\";\n"
    "4 when R0 ends as ERROR or OVERFLOW; 130 after Ctrl-C. When the last token is\n"
    "'compare', its report is printed instead of R0 and the exit status is 0 when the\n"
    "registers are equal, 1 when they differ, 4 when one is ERROR or OVERFLOW.\n\n";

int usage_error(const std::string &message) {
  fprintf(stderr, "deepnums-cli: %s\n", printable(message).c_str());
  return EXIT_USAGE;
}

// An argument is an option when it begins with "-" or "--" followed by a letter; every
// other argument (including "-", "-5", "->R5", "---") is a token.
bool is_option(const char *arg) {
  if (arg[0] != '-') return false;
  const char *p = arg + 1;
  if (*p == '-') p++;
  return (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z');
}

// 0, or EXIT_USAGE after printing the message.
int parse_arguments(int argc, char **argv, Options *o) {
  bool options_done = false;
  const std::vector<std::string> words(argv, argv + argc);
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (!options_done && strcmp(arg, "--") == 0) {
      options_done = true;
      continue;
    }
    if (options_done || !is_option(arg)) {
      // "compare Ra Rb" and "save Rn FILE" take the arguments after them.
      Token token;
      std::string error;
      const size_t taken = parse_token_words(words, (size_t)i, &token, &error);
      if (taken == 0) return usage_error(error);
      i += (int)taken - 1;
      o->tokens.push_back(token);
      continue;
    }
    std::string name = arg;
    const char *value = nullptr;
    size_t eq = name.find('=');
    if (name.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      value = arg + eq + 1;
      name.resize(eq);
    }
    auto take_value = [&](const char **dst) -> bool {
      if (value == nullptr) {
        if (i + 1 >= argc) return false;
        value = argv[++i];
      }
      *dst = value;
      return true;
    };
    auto flag = [&](bool *dst) -> bool {
      *dst = true;
      return value == nullptr;
    };
    bool ok = true;
    if (name == "-d" || name == "--digits") ok = take_value(&o->digits);
    else if (name == "--degree") o->angle = 0, ok = value == nullptr;
    else if (name == "--radian") o->angle = 1, ok = value == nullptr;
    else if (name == "--compact") ok = flag(&o->compact);
    else if (name == "--bare") ok = flag(&o->bare);
    else if (name == "--plain") ok = flag(&o->plain);
    else if (name == "--exact") o->exact = 1, ok = value == nullptr;
    else if (name == "--no-exact") o->exact = 0, ok = value == nullptr;
    else if (name == "-s" || name == "--script") ok = take_value(&o->script);
    else if (name == "-w" || name == "--workspace") ok = take_value(&o->workspace);
    else if (name == "-e" || name == "--expression") {
      const char *text = nullptr;
      ok = take_value(&text);
      Token t;
      std::string error;
      if (ok && !parse_expression_token(text, 1, &t, &error))
        return usage_error("-e '" + std::string(text) + "': " + error);
      if (ok) o->tokens.push_back(std::move(t));
    }
    else if (name == "-r" || name == "--registers") ok = flag(&o->registers);
    else if (name == "-i" || name == "--interactive") ok = flag(&o->interactive);
    else if (name == "-h" || name == "--help") ok = flag(&o->help);
    else if (name == "--version") ok = flag(&o->version);
    else return usage_error("unknown option '" + std::string(arg) + "' (see --help)");
    if (!ok) return usage_error("option '" + name + "' " +
                                (value == nullptr ? "needs a value" : "takes no value"));
  }
  if (o->digits != nullptr && strlen(o->digits) > (size_t)TEXT_SLOT_MAX_CHARS)
    return usage_error("the digits text is longer than 109999 characters");
  return 0;
}

// The script file into the script box; 0, or EXIT_USAGE after printing the message.
int read_script(const char *path) {
  std::string text, error;
  if (read_script_file(path, &text, &error) != 0) return usage_error(error);
  slot_copy(TextSlots[SLOT_SCRIPT], text.c_str());
  return 0;
}

void put_status(FILE *out) {
  if (TextSlots[SLOT_STATUS][0] != '\0') put_text(out, TextSlots[SLOT_STATUS]);
}

// The status a script leaves when it stopped on a line it does not know.
bool script_stopped_invalid() {
  return strncmp(TextSlots[SLOT_STATUS], "Invalid command", 15) == 0;
}

const char *register_text(int n) {
  return (n >= 5 && n <= 9) ? MemoryTexts[n - 5] : TextSlots[n];
}

void put_register(FILE *out, int n) {
  fprintf(out, "R%d: ", n);
  put_text(out, register_text(n));
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  if (int rc = parse_arguments(argc, argv, &o)) return rc;
  if (o.help) {
    fputs(USAGE, stdout);
    fputs(token_help().c_str(), stdout);
    return 0;
  }
  if (o.version) {
    // The program (package) version line, then the copyright and licence on one line.
    puts("deepnums-cli (deepNUMS) " DEEPNUMS_VERSION "\n"
         "Copyright (C) 2026 The deepNUMS authors; MIT License, with NO WARRANTY.");
    return 0;
  }

  // Start-up as in the window: everything cleared (the globals start zeroed), the
  // workspace file read, the defaults applied; then the options of this run.
  const int read = o.workspace != nullptr ? workspace_read(o.workspace) : 0;
  if (read < 0) {
    return usage_error(std::string("cannot read workspace file '") + o.workspace + "': " +
                       workspace_error());
  }
  if (read == 0) workspace_fresh_start();
  workspace_apply_defaults();
  if (o.digits != nullptr) slot_copy(TextSlots[SLOT_SIG_DIGITS], o.digits);
  if (o.angle >= 0) Settings[SET_ANGLE_UNIT] = o.angle;
  if (o.compact) Settings[SET_COMPACT_MEM] = 1;
  if (o.bare) Settings[SET_BARE_DIGITS] = 1;
  if (o.plain) Settings[SET_PLANE_DISP] = 1;
  if (o.exact >= 0) Settings[SET_EXACT_DIGITS] = o.exact;
  if (o.script != nullptr) {
    if (int rc = read_script(o.script)) return rc;
  }

  install_interrupt_handler();
  if (o.workspace != nullptr) install_termination_handler();
  TokenRun run;
  run.progress = isatty(2) != 0;
  int exit_status = 0;

  std::vector<Token> tokens = o.tokens;
  if (tokens.empty() && o.script != nullptr && !o.interactive) {
    Token script;
    script.kind = TOKEN_COMMAND;
    script.code = CODE_SCRIPT;
    tokens.push_back(script);
  }
  // The filter: nothing to run on the command line, lines coming from a pipe or a file.
  const bool filter = tokens.empty() && !o.interactive && isatty(0) == 0;
  for (size_t i = 0; i < tokens.size(); i++) {
    const Token &t = tokens[i];
    if (take_interrupt_between_commands()) {
      put_status(stderr);
      exit_status = interrupt_exit_status();
      break;
    }
    RunResult r = run_token(t, &run);
    // A comparison that ends the run is its output (below), not a message.
    const bool final_compare = r == RUN_DONE && t.kind == TOKEN_COMPARE && i + 1 == tokens.size();
    if (!o.interactive && !final_compare) put_status(stderr);
    if (r == RUN_BAD_INPUT) {
      exit_status = EXIT_USAGE;
      break;
    }
    if (r == RUN_REFUSED || r == RUN_NO_MEMORY) {
      exit_status = EXIT_REFUSED;
      break;
    }
    if (r == RUN_CANCELLED) {
      exit_status = interrupt_exit_status();
      break;
    }
    if (t.kind == TOKEN_COMMAND && t.code == CODE_SCRIPT && script_stopped_invalid()) {
      exit_status = EXIT_SCRIPT_INVALID;
      break;
    }
  }
  // A run whose last token compared prints the report instead of R0, and its exit status
  // is the comparison's (0 equal, 1 different, 4 not comparable), as cmp has it.
  const bool ends_comparing = !tokens.empty() && exit_status == 0 && run.compared;
  // With no line run, the filter prints R0 at the end as a run without tokens does.
  bool print_r0 = !o.interactive && !ends_comparing;
  if (filter) {
    bool ran = false;
    exit_status = run_filter(&run, &ran);
    print_r0 = !ran && exit_status != EXIT_USAGE;
  }
  if (ends_comparing && !o.interactive) {
    if (!o.registers) put_text(stdout, TextSlots[SLOT_STATUS]);
    exit_status = compare_exit_status(run.compare);
  }
  if (o.interactive && exit_status == 0) exit_status = run_interactive(&run);

  // A number typed last is printed as the calculator shows its value; its text stays as
  // typed, so a register read from a workspace file is saved back byte for byte. -r
  // prints every register's text as it stands, as the window's boxes show them.
  std::string shown;
  const bool shown_ok = r0_shown(&shown);
  if (!shown_ok && exit_status == 0 && print_r0 && !o.registers) {
    put_status(stderr);
    exit_status = EXIT_REFUSED;
  }
  if (o.registers) {
    for (int n = 0; n <= 9; n++) put_register(stdout, n);
  } else if (print_r0) {
    put_text(stdout, shown.c_str());
  }
  fflush(stdout);
  // R0 ends as ERROR or OVERFLOW: the reason (the filter and the session gave theirs with
  // each line), and the exit status says so unless another one does.
  if (shown_ok && r0_marker() != nullptr && !(ends_comparing && !o.interactive)) {
    if (print_r0 || o.registers) put_r0_reason(stderr, run);
    if (exit_status == 0) exit_status = EXIT_MARKER;
  }

  if (o.workspace != nullptr && !workspace_write(o.workspace)) {
    fprintf(stderr, "deepnums-cli: cannot write workspace file '%s': %s\n", o.workspace,
            workspace_error());
    if (exit_status == 0) exit_status = EXIT_USAGE;
  }
  return exit_status;
}
