// The arithmetic, stack, memory and digit commands (codes 35 .. 49, 68 .. 94 except the
// functions and the factorial). The executor does the lift and the final register_show
// according to the command's kind in the command table; these bodies compute R0 only.
#include <climits>

#include "core/core.h"
#include "engine/commands.h"
#include "engine/executor.h"

namespace {

constexpr DecWord lane(int digit, int shift) { return (DecWord)digit << shift; }
constexpr DecWord SIX_NINES =
    lane(9, 26) | lane(9, 21) | lane(9, 16) | lane(9, 11) | lane(9, 6) | lane(9, 1);

// Rounding places beyond this many either way cut nothing off, or everything, at any
// exponent; clamping keeps exponent + places + 1 inside the int range.
constexpr int32_t ROUND_PLACES_LIMIT = 1100000000;

// out = the marker of y when y is one; returns true then.
bool pass_marker(DecWord *out, const DecWord *y) {
  if (!dec_is_marker(y)) return false;
  dec_set_marker(out, dec_head(y));
  return true;
}

}  // namespace

int cmd_remainder(DecWord *out, const DecWord *x, const DecWord *y) {
  // The quotient goes to the core's scratch slot 0 and is discarded.
  return dec_divmod(scratch_slot(0), out, x, y);
}

int cmd_round_off(DecWord *out, const DecWord *x, const DecWord *y) {
  // A digit count that is not a number passes its marker on instead of being read as −1.
  if (pass_marker(out, y)) return -1;
  int32_t n = dec_to_int(y);
  if (n == INT32_MIN) n = dec_sign(y) ? -ROUND_PLACES_LIMIT : ROUND_PLACES_LIMIT;
  if (n > ROUND_PLACES_LIMIT) n = ROUND_PLACES_LIMIT;
  if (n < -ROUND_PLACES_LIMIT) n = -ROUND_PLACES_LIMIT;
  return dec_round_at(out, x, n);
}

int cmd_reciprocal(DecWord *out, const DecWord *y) {
  dec_zero(out);
  dec_from_int(out, 1, 0);
  return dec_div(out, out, y);
}

int cmd_square(DecWord *out, const DecWord *y) { return dec_mul(out, y, y); }

int cmd_cube(DecWord *out, const DecWord *y) {
  dec_mul(out, y, y);
  return dec_mul(out, out, y);
}

int cmd_fraction(DecWord *out, const DecWord *y) {
  if (pass_marker(out, y)) return -1;
  DecWord *ip = scratch_slot(0);
  dec_trunc(ip, y);
  return dec_sub(out, y, ip);  // keeps the sign of y
}

int cmd_exponent(DecWord *out, const DecWord *y) {
  if (pass_marker(out, y)) return -1;
  int32_t e = dec_exponent(y);
  dec_zero(out);
  if (e != 0) dec_from_int(out, e, 0);
  return 0;
}

int cmd_change_sign(DecWord *out, const DecWord *y) {
  dec_copy_guarded(out, y);
  if (dec_is_marker(out)) return -1;
  if (out[1] != 0) out[0] ^= 1u;  // zero keeps its head word
  return 0;
}

int cmd_absolute(DecWord *out, const DecWord *y) {
  dec_copy_guarded(out, y);
  if (dec_is_marker(out)) return -1;
  out[0] &= ~1u;
  return 0;
}

int cmd_fill_nines(DecWord *out, const DecWord *y) {
  dec_copy_guarded(out, y);
  if (dec_is_marker(out)) return -1;
  // Whole zero words from the end, then the low lanes of the word where that stopped, up
  // to its first non-zero digit; the word's top lane is never touched.
  int i = word_count;
  while (i > 1 && out[i] == 0) {
    out[i] = SIX_NINES;
    i--;
  }
  DecWord w = out[i];
  for (int shift = 1; shift <= 21; shift += 5) {
    if (((w >> shift) & 15u) != 0) break;
    w |= lane(9, shift);
  }
  out[i] = w;
  return 0;
}

void cmd_register(int code) {
  switch (code) {
    case 40:  // "up"
      stack_lift();
      break;
    case 41:  // "down"
      stack_drop();
      break;
    case 45:  // "dup"
      stack_lift();
      register_copy(0, 1);
      break;
    case 46:  // "0<->1", through the scratch register 10
      register_copy(10, 1);
      register_copy(1, 0);
      register_copy(0, 10);
      break;
    case 68:  // "ACLR"
      for (int n = 0; n <= 4; n++) register_clear(n);
      break;
    case 69:  // "MCLR"
      for (int n = 5; n <= 9; n++) register_clear(n);
      break;
    default:
      if (code >= 70 && code <= 74) {
        memory_store(code - 65);
      } else if (code >= 75 && code <= 79) {
        memory_recall(code - 70);
      } else if (code >= 80 && code <= 84) {
        register_clear(code - 75);
      }
      break;
  }
}
