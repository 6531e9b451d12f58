// The self-test: the stored sequences of TestTable, each an operation with operand sets
// and expected results, run at 100 significant digits and compared as formatted texts.
//
// Registers of a step (o = operand count): operand i in R(o + 2 − i), so the last operand
// is always in R2; each operand register Rk is copied to R(k + 5) as the reference for the
// unchanged-operand check; expected results in R0 and R5; the operation writes R1 (and
// R6 for a second result).
//
// The table reader is bounded: a string beyond the given count, or a null pointer, reads
// as the empty string, so a malformed table ends the test with an error or a completion
// message but is never read past its end.
#include "engine/self_test.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/core.h"
#include "engine/executor.h"
#include "engine/test_table.h"
#include "functions/functions.h"

namespace {

constexpr int TEST_DIGITS = 100;
constexpr int SEQ_LIMIT = 100000;
constexpr int MEMORY_DISPLAY_CHARS = 50;

struct Table {
  const char *const *strings;
  int count;
  const char *at(int64_t i) const {
    if (i < 0 || i >= count || strings[i] == nullptr) return "";
    return strings[i];
  }
};

int32_t ints(const char *text) {
  long v = strtol(text, nullptr, 10);
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return (int32_t)v;
}

// Restores the user's precision and brings the memory registers' full texts back in step
// with the numbers the test left in R5 .. R9, on every way out of the test (completion,
// error, cancel). The comparison is of texts rounded to the test's 100 digits, so "Bare
// digits" is off while the test runs (with it, every guard digit would be compared against
// expected values written to 100 digits, and correct arithmetic would be reported failed).
struct TestScope {
  int saved_digits;
  int saved_bare;
  TestScope() : saved_digits(requested_digits), saved_bare(bare_digits) {
    requested_digits = TEST_DIGITS;
    dec_set_precision(TEST_DIGITS);
    bare_digits = 0;
  }
  ~TestScope() {
    bare_digits = saved_bare;
    requested_digits = saved_digits;
    if (saved_digits >= 12 && saved_digits <= 100000) dec_set_precision(saved_digits);
    for (int n = 5; n <= 9; n++) {
      slot_copy(MemoryTexts[n - 5], TextSlots[n]);
      TextSlots[n][MEMORY_DISPLAY_CHARS] = '\0';
      ShadowTexts[n][MEMORY_DISPLAY_CHARS] = '\0';
    }
  }
};

// The operation of sequence seq. X, Y, Z are the registers of operands 1, 2, 3; ix, iy, iz
// their texts read as integers.
void run_operation(int seq, int o, const int32_t *ix3) {
  DecWord *X = Registers[o + 1];
  DecWord *Y = Registers[o];
  DecWord *Z = Registers[o - 1 >= 0 ? o - 1 : 0];
  DecWord *R1 = Registers[1];
  DecWord *R6 = Registers[6];
  DecWord *S0 = scratch_slot(0);
  int32_t ix = ix3[0], iy = ix3[1], iz = ix3[2];
  switch (seq) {
    case 0: dec_add(R1, X, Y); break;
    case 1: dec_sub(R1, X, Y); break;
    case 2: dec_mul(R1, X, Y); break;
    case 3: dec_div(R1, X, Y); break;
    case 4: dec_add_small(R1, X, iy, iz); break;
    case 5: dec_rsub_small(R1, ix, iy, Z); break;
    case 6: dec_mul_small(R1, X, iy, iz); break;
    case 7: dec_div_small(R1, X, iy, iz); break;
    case 8: dec_divmod(S0, R1, X, Y); break;
    case 9: dec_divmod_small(S0, R1, X, iy, iz); break;
    case 10: dec_divmod(R1, S0, X, Y); break;
    case 11: dec_divmod_small(R1, S0, X, iy, iz); break;
    case 12: dec_divmod(R1, R6, X, Y); break;
    case 13: dec_divmod_small(R1, R6, X, iy, iz); break;
    case 14:
      // In place: the quotient over x's register, then copied to R1.
      dec_divmod(X, R6, X, Y);
      dec_copy(R1, X);
      break;
    case 15: case 21: dec_sin(R1, X); break;
    case 16: case 22: dec_cos(R1, X); break;
    case 17: case 23: dec_tan(R1, X); break;
    case 18: case 24: dec_asin(R1, X); break;
    case 19: case 25: dec_acos(R1, X); break;
    case 20: case 26: dec_atan(R1, X); break;
    case 27: dec_exp(R1, X); break;
    case 28: dec_ln(R1, X); break;
    case 29: dec_exp10(R1, X); break;
    case 30: dec_log10(R1, X); break;
    case 31: dec_pow(R1, X, Y); break;
    case 32: dec_round_at(R1, X, iy); break;
    case 33: dec_sinh(R1, X); break;
    case 34: dec_cosh(R1, X); break;
    case 35: dec_tanh(R1, X); break;
    case 36: dec_asinh(R1, X); break;
    case 37: dec_acosh(R1, X); break;
    case 38: dec_atanh(R1, X); break;
    case 39: dec_sqrt(R1, X); break;
    case 40: dec_cbrt(R1, X); break;
    default: break;  // sequences above 40 run no operation
  }
}

bool texts_differ(int a, int b) { return strcmp(TextSlots[a], TextSlots[b]) != 0; }

// The error message; the test stops with it.
int stop_with_error(int seq, int step, int error) {
  snprintf(TextSlots[SLOT_STATUS], TEXT_SLOT_BYTES, "ERROR on seq=%d  step=%d, error=%X\n",
           seq, step, (unsigned)error);
  return 0;
}

}  // namespace

int parse_test_operand(DecWord *p, const char *text) {
  if (text[0] == 'd') {
    int32_t degrees = ints(text + 1);
    dec_pi(p);
    dec_mul_small(p, p, degrees, 0);
    dec_div_small(p, p, 180, 0);
  } else if (text[0] != 's') {
    dec_from_text(p, text);
  }
  return 0;
}

int run_self_test_on(const char *const *strings, int count, int first, int last) {
  Table table{strings, count};
  if (last == 0) last = SEQ_LIMIT;
  TestScope scope;

  int seq = 0;
  int64_t pos = 0;
  int step = -1;
  while (seq <= last && table.at(pos)[0] != '\0') {
    step = -1;
    const char *tag = table.at(pos);
    const char *mode = table.at(pos + 1);
    if (strncmp(tag, "SEQ", 3) != 0) return stop_with_error(seq, step, 0xF0);
    if (strtol(tag + 3, nullptr, 10) != seq) return stop_with_error(seq, step, 0xF1);
    if (mode[0] < '0' || mode[0] > '3') return stop_with_error(seq, step, 0xF2);
    bool two = mode[1] == '2';
    char check = mode[1] != '\0' ? mode[2] : '\0';
    radian_mode = (check != '\0' && mode[3] == 'r');
    long declared = strtol(table.at(pos + 2), nullptr, 10);
    if (declared < 1) return stop_with_error(seq, step, 0xF3);
    // More steps than strings cannot be read anyway; the bound keeps the position
    // arithmetic in range.
    if (declared > (long)count + 1) declared = (long)count + 1;

    int o = mode[0] - '0';
    int per_step = o + 1 + (two ? 1 : 0);
    int mask = ((check & 7) << 2) | (two ? 3 : 1);
    pos += 3;

    if (seq >= first) {
      for (step = 0; step < declared; step++) {
        int64_t base = pos + (int64_t)step * per_step;
        if (table.at(base)[0] == '\0') break;
        int32_t operand_ints[3] = {0, 0, 0};
        for (int k = o + 1; k >= 2; k--) {
          const char *text = table.at(base + (o + 1 - k));
          operand_ints[o + 1 - k] = ints(text);
          parse_test_operand(Registers[k], text);
          register_copy(k + 5, k);
          register_show(k + 5);
        }
        parse_test_operand(Registers[0], table.at(base + o));
        register_show(0);
        if (two) {
          parse_test_operand(Registers[5], table.at(base + o + 1));
          register_show(5);
        }

        cancel_check();
        run_operation(seq, o, operand_ints);

        int error = 0;
        for (int k = o + 1; k >= 2; k--) {
          register_show(k);
          if (texts_differ(k, k + 5)) error |= 1 << k;
        }
        register_show(1);
        if (texts_differ(0, 1)) error |= 1;
        if (two) {
          register_show(6);
          if (texts_differ(5, 6)) error |= 2;
        }
        error &= mask;
        if (error != 0) return stop_with_error(seq, step, error);
      }
    }
    // The step index reported at completion is one below the loop's end: declared − 1
    // when every step ran, one below an empty step, −2 for a sequence passed over.
    pos += (int64_t)declared * per_step;
    if (pos > count) pos = count;
    seq++;
    if (seq >= SEQ_LIMIT) break;
  }
  snprintf(TextSlots[SLOT_STATUS], TEXT_SLOT_BYTES, "TEST completed: seq=%d  step=%d\n",
           seq - 1, step - 1);
  return 0;
}

int run_self_test(int first, int last) {
  return run_self_test_on(TestTable, TestTableCount, first, last);
}
