// The function commands. Every elementary function of the catalogue is a plain call of
// the functions library bound in command_table.cpp (lift, f(y) into R0, show); what is
// left for this file is the factorial, whose operand is read as a machine integer first.
#include "core/core.h"
#include "engine/commands.h"
#include "functions/functions.h"

int cmd_factorial(DecWord *out, const DecWord *y) {
  // dec_to_int gives −1 for a marker and INT32_MIN for an integer part beyond the int
  // range; with y ≤ −1 every one of them is an error. |y| < 1 reads as 0 and gives 1.
  int32_t n = dec_to_int(y);
  if (n < 0) {
    dec_set_marker(out, NUM_ERROR);
    return -1;
  }
  // R0 = n × (n − 1) × … × 2 with the small-operand multiplication, stopping at the first
  // overflow; each step is a cancellation point.
  return dec_factorial(out, n);
}
