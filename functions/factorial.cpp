// Factorial by small-operand multiplications: n! = 1 × n × (n − 1) × … × 2, each step one
// dec_mul_small, so n! costs n − 1 multiplications of O(word_count) each.
#include "functions/fn_internal.h"

int dec_factorial(DecWord *out, int32_t n) {
  if (out == nullptr) return -1;
  if (n < 0) return fn_fail(out, NUM_ERROR);
  dec_set_int(out, 1, 0);
  ProgressLoop progress;
  for (int32_t k = n; k >= 2; --k) {
    cancel_check();
    progress.set(n - k, n - 1);
    // A failing multiplication has left NUM_OVERFLOW in out.
    if (dec_mul_small(out, out, k, 0) != 0) return -1;
  }
  return 0;
}
