// Helpers for the elementary-function tests: precision and option scopes, texts of
// results, a table of the function entry points.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "core/core.h"
#include "core/core_test_util.h"
#include "functions/functions.h"

namespace fntest {

using testutil::Num;

// Sets the precision and the options a command would see, and puts the previous state
// back when it ends.
class Setting {
 public:
  explicit Setting(int digits, int radians = 0) {
    saved_digits_ = sig_digits;
    saved_radian_ = radian_mode;
    saved_override_ = term_override;
    saved_compact_ = compact_memory;
    saved_hipr_ = hipr_mode;
    saved_bare_ = bare_digits;
    saved_fast_ = fast_kernels;
    dec_set_precision(digits);
    radian_mode = radians;
    term_override = 0;
    compact_memory = 0;
    hipr_mode = 0;
    bare_digits = 0;
  }
  ~Setting() {
    dec_set_precision(saved_digits_);
    radian_mode = saved_radian_;
    term_override = saved_override_;
    compact_memory = saved_compact_;
    hipr_mode = saved_hipr_;
    bare_digits = saved_bare_;
    fast_kernels = saved_fast_;
  }
  Setting(const Setting &) = delete;
  Setting &operator=(const Setting &) = delete;

 private:
  int saved_digits_, saved_radian_, saved_override_, saved_compact_, saved_hipr_, saved_bare_;
  int saved_fast_;
};

// The text shown at sig_digits with "Plane disp." on, without CR LF.
inline std::string shown(DecWord *p) { return testutil::show(p); }
// Every internal digit, unrounded.
inline std::string bare(DecWord *p) { return testutil::bare(p); }

// The text of v at the current precision (v read with dec_from_text, then shown).
inline std::string shown_text(const char *v) {
  Num n(v);
  return shown(n);
}

// Number of significant digits in a decimal text (digits after the leading zeros).
inline int significant_digits(const std::string &text) {
  int count = 0;
  bool started = false;
  for (char c : text) {
    if (c == 'e' || c == 'E') break;
    if (c < '0' || c > '9') continue;
    if (c != '0') started = true;
    if (started) ++count;
  }
  return count;
}

typedef int (*UnaryFn)(DecWord *, const DecWord *);

struct NamedFn {
  const char *name;
  UnaryFn fn;
};

// Every one-operand function of the library.
inline const NamedFn *unary_functions(int *count) {
  static const NamedFn table[] = {
      {"sqrt", dec_sqrt},   {"cbrt", dec_cbrt},   {"exp", dec_exp},     {"exp10", dec_exp10},
      {"ln", dec_ln},       {"log10", dec_log10}, {"sin", dec_sin},     {"cos", dec_cos},
      {"tan", dec_tan},     {"asin", dec_asin},   {"acos", dec_acos},   {"atan", dec_atan},
      {"sinh", dec_sinh},   {"cosh", dec_cosh},   {"tanh", dec_tanh},   {"asinh", dec_asinh},
      {"acosh", dec_acosh}, {"atanh", dec_atanh},
  };
  *count = (int)(sizeof(table) / sizeof(table[0]));
  return table;
}

// The seed of a randomised test: DEEPNUMS_TEST_SEED when set, else a fixed default.
inline uint64_t test_seed(uint64_t fallback) {
  const char *s = std::getenv("DEEPNUMS_TEST_SEED");
  return s != nullptr ? std::strtoull(s, nullptr, 10) : fallback;
}

}  // namespace fntest
