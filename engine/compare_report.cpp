// The words of a comparison's report and the exit status it gives (see register_tools.h).
// Pure text: the window's tests use it with their own fake engine.
#include <cstdio>

#include "engine/digit_position.h"
#include "engine/register_tools.h"

void compare_report_text(const CompareReport &r, char *buf, size_t size) {
  char pair[16];
  std::snprintf(pair, sizeof pair, "R%d and R%d", r.a, r.b);
  char n1[32], n2[32];
  switch (r.kind) {
    case COMPARE_EQUAL:
      if (r.held_equal) {
        std::snprintf(buf, size, "%s are equal", pair);
      } else {
        format_count(r.shown, n1, sizeof n1);
        std::snprintf(buf, size, "%s are equal (to the %s digits shown)", pair, n1);
      }
      return;
    case COMPARE_DIGITS:
      format_count(r.agree, n1, sizeof n1);
      format_count(static_cast<long long>(r.agree) + 1, n2, sizeof n2);
      std::snprintf(buf, size, "%s agree to %s digit%s; first difference at digit %s (%d / %d)", pair, n1,
                    r.agree == 1 ? "" : "s", n2, r.digit_a, r.digit_b);
      return;
    case COMPARE_SIGN: std::snprintf(buf, size, "%s differ in sign", pair); return;
    case COMPARE_EXPONENT:
      std::snprintf(buf, size, "%s differ in exponent (e%ld / e%ld)", pair, static_cast<long>(r.exp_a),
                    static_cast<long>(r.exp_b));
      return;
    case COMPARE_ZERO:
      std::snprintf(buf, size, "%s differ: R%d is 0", pair, r.zero_a ? r.a : r.b);
      return;
    case COMPARE_MARKER:
      if (r.marker_a && r.marker_b) {
        std::snprintf(buf, size, "%s cannot be compared: R%d is %s, R%d is %s", pair, r.a, r.marker_a, r.b,
                      r.marker_b);
      } else {
        std::snprintf(buf, size, "%s cannot be compared: R%d is %s", pair, r.marker_a ? r.a : r.b,
                      r.marker_a ? r.marker_a : r.marker_b);
      }
      return;
  }
}

int compare_exit_status(const CompareReport &r) {
  switch (r.kind) {
    case COMPARE_EQUAL: return 0;
    case COMPARE_MARKER: return 4;
    default: return 1;
  }
}
