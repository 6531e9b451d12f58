// The script runner: the small line language of the script box, for timing ("loop"),
// accuracy against a reference ("prec"), the alternative multiplication and division
// ("hipr"), the self-test ("test"), a hexadecimal dump of R0 ("dump"), the stored ln 10
// ("ln10"), the register tools ("compare [Ra Rb]", "save Rn FILE") and "end".
//
// The reader never moves past the script's terminating NUL: every "skip one character"
// of the language stops at the terminator. Registers are not re-read between commands;
// each command works on the numbers as the previous one left them.
#include "engine/script.h"

#include <chrono>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core.h"
#include "engine/exact_commands.h"
#include "engine/executor.h"
#include "engine/register_text.h"
#include "engine/register_tools.h"
#include "engine/self_test.h"
#include "functions/functions.h"

namespace {

using Clock = std::chrono::steady_clock;

// Elapsed wall time in whole milliseconds, as seconds.
double seconds_since(Clock::time_point start) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
  return (double)ms.count() / 1000.0;
}

int clamp_int(long v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return (int)v;
}

// term_override and hipr_mode hold their value only within one computation, also when a
// cancel unwinds through it.
struct TermOverrideScope {
  explicit TermOverrideScope(int n) { term_override = n; }
  ~TermOverrideScope() { term_override = 0; }
};
struct HiprScope {
  HiprScope() { hipr_mode = 1; }
  ~HiprScope() { hipr_mode = 0; }
};

// ---- the reader's small steps ----------------------------------------------------------

const char *skip_blanks(const char *p) {
  while (*p == ' ') p++;
  return p;
}

// The one separator character after a number, looked at by nobody.
const char *skip_one(const char *p) { return *p != '\0' ? p + 1 : p; }

char take_letter(const char **p) {
  char c = **p;
  if (c != '\0') (*p)++;
  return c;
}

// N as strtol reads it; *p moves to the first character after N's digits.
long take_number(const char **p) {
  char *end = nullptr;
  long v = strtol(*p, &end, 10);
  *p = end;
  return v;
}

// "N,L": the number, one separator, blanks, the operation letter.
char take_count_and_letter(const char **p, long *n) {
  *n = take_number(p);
  *p = skip_blanks(skip_one(*p));
  return take_letter(p);
}

// ---- operations ------------------------------------------------------------------------

typedef int (*UnaryFn)(DecWord *, const DecWord *);

// The functions of the letters "a" .. "j".
UnaryFn letter_function(char c) {
  switch (c) {
    case 'a': return dec_sin;
    case 'b': return dec_cos;
    case 'c': return dec_tan;
    case 'd': return dec_exp;
    case 'e': return dec_exp10;
    case 'f': return dec_asin;
    case 'g': return dec_acos;
    case 'h': return dec_atan;
    case 'i': return dec_ln;
    case 'j': return dec_log10;
    default: return nullptr;
  }
}

// The exact variant of a loop operation's command, when the option is set.
const ExactVariant *exact_loop_variant(char c) {
  if (!exact_mode()) return nullptr;
  static const char LETTERS[] = "+-*/%189abcdefghij";
  static const int CODES[] = {35, 36, 37, 38, 39, 47, 43, 44, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59};
  const char *at = c ? strchr(LETTERS, c) : nullptr;
  return at ? exact_variant(CODES[at - LETTERS]) : nullptr;
}

// "loop": out from x (R2) and y (R1); exact, the letter's exact variant (looked up once
// per loop, before the repetitions), or null for the default computation.
void loop_operation(char c, const ExactVariant *exact, DecWord *out, const DecWord *x,
                    const DecWord *y) {
  if (const ExactVariant *v = exact) {
    if (v->binary) v->binary(out, x, y);
    else v->unary(out, y);
    return;
  }
  switch (c) {
    case '+': dec_add(out, x, y); return;
    case '-': dec_sub(out, x, y); return;
    case '*': dec_mul(out, x, y); return;
    case '/': dec_div(out, x, y); return;
    case '%': dec_divmod(scratch_slot(0), out, x, y); return;
    case '1': dec_pow(out, x, y); return;
    case '8': dec_sqrt(out, y); return;
    case '9': dec_cbrt(out, y); return;
    default:
      if (UnaryFn f = letter_function(c)) f(out, y);
      return;
  }
}

// "prec": R0 from R6 (and R7 for the power).
void prec_operation(char c) {
  if (c == '1') {
    dec_pow(Registers[0], Registers[6], Registers[7]);
  } else if (UnaryFn f = letter_function(c)) {
    f(Registers[0], Registers[6]);
  }
}

// R = R × 10^(error_digits + 6): an error in units of the last internal digits.
void scale_error(DecWord *r) { dec_mul_small(r, r, 1, error_digits + 6); }

void status_printf(const char *format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(TextSlots[SLOT_STATUS], TEXT_SLOT_BYTES, format, args);
  va_end(args);
}

// ---- the commands ----------------------------------------------------------------------

const char *run_loop(const char *p) {
  long n = 0;
  char op = take_count_and_letter(&p, &n);
  stack_lift();
  const ExactVariant *exact = exact_loop_variant(op);
  Clock::time_point start = Clock::now();
  ProgressLoop progress;
  // The count may exceed the progress figures' int range: publish it scaled down.
  const long scale = n / 1000000000 + 1;
  for (long i = 0; i < n; i++) {
    cancel_check();
    progress.set((int)(i / scale), (int)(n / scale));
    loop_operation(op, exact, Registers[0], Registers[2], Registers[1]);
  }
  double s = seconds_since(start);
  register_show(0);
  // No repetition has no time per repetition: the count is reported instead of 0 / 0.
  if (n <= 0) status_printf("total=%.2fsec, 0 loops\n", s);
  else status_printf("total=%.2fsec, %fsec/1loop\n", s, s / (double)n);
  return p;
}

const char *run_prec(const char *p) {
  long n = 0;
  char op = take_count_and_letter(&p, &n);
  stack_lift();
  double s;
  {
    TermOverrideScope terms(n >= 1 ? clamp_int(n) : 0);
    Clock::time_point start = Clock::now();
    cancel_check();
    prec_operation(op);
    s = seconds_since(start);
  }
  register_show(0);
  stack_lift();
  dec_sub(Registers[0], Registers[1], Registers[5]);
  scale_error(Registers[0]);
  register_show(0);
  status_printf("%fsec, %.2fmin\n", s, s / 60.0);
  return p;
}

const char *run_hipr(const char *p) {
  p = skip_blanks(p);
  char op = take_letter(&p);
  DecWord *r0 = Registers[0], *r1 = Registers[1];
  if (op == '*') {
    {
      HiprScope alternative;
      dec_mul(Registers[4], r1, r0);
    }
    dec_mul(Registers[3], r1, r0);
  } else if (op == '/') {
    {
      HiprScope alternative;
      dec_div(Registers[4], r1, r0);
    }
    dec_div(Registers[3], r1, r0);
  }
  dec_sub(Registers[2], Registers[4], Registers[3]);
  scale_error(Registers[2]);
  register_show(2);
  register_show(3);
  register_show(4);
  return p;
}

const char *run_test(const char *p) {
  long first = take_number(&p);
  p = skip_one(p);
  long last = strtol(p, nullptr, 10);  // the reader skips M with the rest of the line
  run_self_test(clamp_int(first), clamp_int(last));
  return p;
}

// Bounded appending to a text slot.
struct SlotWriter {
  char *buf;
  size_t len = 0;
  explicit SlotWriter(char *b) : buf(b) { buf[0] = '\0'; }
  void printf(const char *format, ...) {
    if (len >= (size_t)TEXT_SLOT_MAX_CHARS) return;
    va_list args;
    va_start(args, format);
    int n = vsnprintf(buf + len, TEXT_SLOT_BYTES - len, format, args);
    va_end(args);
    if (n > 0) len += (size_t)n;
    if (len > (size_t)TEXT_SLOT_MAX_CHARS) len = TEXT_SLOT_MAX_CHARS;
    buf[len] = '\0';
  }
  void put(char c) {
    if (len >= (size_t)TEXT_SLOT_MAX_CHARS) return;
    buf[len++] = c;
    buf[len] = '\0';
  }
};

constexpr int DUMP_WORDS_PER_SLOT = 4400;
constexpr int DUMP_WORDS_PER_LINE = 8;

// The words of R0's whole buffer (head word and every digit word, whatever word_count
// is) as hexadecimal lines into the texts of R1 .. R4; the shadows stay as they are, so
// the next command reads R1 .. R4 again from these texts.
void run_dump() {
  const DecWord *r = Registers[0];
  int w = 0;             // next word of the buffer
  int digit_index = 41;  // last digit position shown on the current full line
  for (int slot = 1; slot <= 4; slot++) {
    SlotWriter out(TextSlots[slot]);
    int limit = DUMP_WORDS_PER_SLOT * slot;
    if (limit > DEC_BUF_WORDS) limit = DEC_BUF_WORDS;
    bool last_line_full = true;
    while (w < limit) {
      int k = limit - w;
      if (k > DUMP_WORDS_PER_LINE) k = DUMP_WORDS_PER_LINE;
      for (int j = 0; j < k; j++) out.printf("%#.8x,", (unsigned)r[w + j]);
      if (k < DUMP_WORDS_PER_LINE) {
        out.printf("\t//%d,\t", digit_index - 6 * (DUMP_WORDS_PER_LINE - k));
      } else if (w == 0) {
        out.printf("\t//%d,\texp=%d,sgn=%d,", digit_index, dec_exponent(r), dec_sign(r));
      } else {
        out.printf("\t//%d,\t", digit_index);
      }
      for (int j = 0; j < k; j++) {
        if (w + j == 0) continue;  // the head word holds no digits
        DecWord word = r[w + j];
        for (int shift = 26; shift >= 1; shift -= 5) out.put((char)('0' + ((word >> shift) & 15u)));
      }
      out.put('\r');
      out.put('\n');
      last_line_full = (k == DUMP_WORDS_PER_LINE);
      w += k;
      digit_index += 48;
    }
    if (last_line_full) {
      out.put('\r');
      out.put('\n');
    }
  }
}

// "Rn" at p followed by a blank or the line's end: n, and *p moved past it; −1 otherwise.
int take_register(const char **p) {
  const char *q = *p;
  if ((q[0] != 'R' && q[0] != 'r') || q[1] < '0' || q[1] > '9') return -1;
  if ((unsigned char)q[2] > ' ') return -1;
  *p = q + 2;
  return q[1] - '0';
}

// After a keyword matched on its first letters: the rest of its word.
const char *skip_word(const char *p) {
  while ((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z')) p++;
  return p;
}

bool at_line_end(const char *p) { return (unsigned char)*p < ' '; }

// "compare" (R0 with R1) or "compare Ra Rb": the report into the status text. false for
// another form (the caller reports the line as invalid).
bool run_compare(const char *p) {
  p = skip_blanks(skip_word(p));
  int a = 0, b = 1;
  if (!at_line_end(p)) {
    a = take_register(&p);
    p = skip_blanks(p);
    b = a < 0 ? -1 : take_register(&p);
    p = skip_blanks(p);
    if (b < 0 || !at_line_end(p)) return false;
  }
  CompareReport report;
  compare_registers(a, b, &report);
  compare_report_text(report, TextSlots[SLOT_STATUS], TEXT_SLOT_BYTES);
  return true;
}

// "save Rn FILE": register n's value in the plain display form into FILE (the rest of the
// line, blanks around it dropped). 1 saved, 0 a wrong form, −1 the file could not be
// written (the status text says why).
int run_save(const char *p) {
  p = skip_blanks(skip_word(p));
  const int n = take_register(&p);
  p = skip_blanks(p);
  if (n < 0 || at_line_end(p)) return 0;
  const char *end = p;
  while ((unsigned char)*end >= ' ') end++;
  while (end > p && end[-1] == ' ') end--;
  // Heap buffers, not static ones: the program's fixed memory stays small (it must start
  // in a small address space).
  const size_t len = (size_t)(end - p);
  if (len >= 4096) {
    status_printf("Cannot save R%d: the file name is too long\n", n);
    return -1;
  }
  const std::string path_text(p, len);
  const char *path = path_text.c_str();
  std::vector<char> value(TEXT_SLOT_BYTES);
  char comment[100];
  register_plain_text(n, value.data());
  register_file_comment(n, comment, sizeof comment);
  std::string error;
  if (!register_file_write(path, comment, value.data(), &error)) {
    status_printf("%s\n", error.c_str());
    return -1;
  }
  status_printf("R%d saved to '%s'\n", n, path);
  return 1;
}

void run_ln10() {
  stack_lift();
  dec_ln10(Registers[0]);
  register_show(0);
}

}  // namespace

int run_script() {
  const char *p = TextSlots[SLOT_SCRIPT];
  if (*p == '\0') return 0;
  int line = 1;
  for (;;) {
    if (*p == '\0') return 0;
    p = skip_blanks(p);
    if (strncmp(p, "loop", 4) == 0) {
      p = run_loop(p + 4);
    } else if (strncmp(p, "prec", 4) == 0) {
      p = run_prec(p + 4);
    } else if (strncmp(p, "hipr", 4) == 0) {
      p = run_hipr(p + 4);
    } else if (strncmp(p, "test", 4) == 0) {
      p = run_test(p + 4);
    } else if (strncmp(p, "dump", 4) == 0) {
      run_dump();
      return 0;
    } else if (strncmp(p, "ln10", 4) == 0) {
      run_ln10();
      return 0;
    } else if (strncmp(p, "comp", 4) == 0) {
      if (!run_compare(p + 4)) {
        status_printf("Invalid command: line = %d\n", line);
        return 0;
      }
    } else if (strncmp(p, "save", 4) == 0) {
      const int saved = run_save(p + 4);
      if (saved == 0) status_printf("Invalid command: line = %d\n", line);
      if (saved <= 0) return 0;
    } else if (strncmp(p, "end", 3) == 0) {
      return 0;
    } else if (*p == '#') {
      // A comment line: skipped with the rest of the line below.
    } else {
      status_printf("Invalid command: line = %d\n", line);
      return 0;
    }
    // The rest of the line: every byte from a blank on, UTF-8 text of a comment included;
    // then control bytes and blanks (line ends, blank lines). A tab therefore starts a
    // new command.
    while ((unsigned char)*p >= 32) p++;
    while ((unsigned char)*p >= 1 && (unsigned char)*p <= 32) p++;
    line++;
    if (*p == '\0') return 0;
  }
}
