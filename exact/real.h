// Exact decimals, enclosures and the correctness loop of the exact mode.
//
// An operand enters as a Dec: the exact value of a DecNum, (−1)^neg × m × 10^e. A function
// computes an enclosure (Approx) of its true value: mid × 10^e ± rad × 10^e. The result
// written back into a DecNum is the true value truncated toward zero after its
// internal_digits − 1 significant digits; approx_write() writes it only when both ends of
// the enclosure truncate alike, and the correctness loop (ziv_loop) raises the working
// precision until they do. A value that is exactly a short decimal (sin 30° = .5) would
// never be decided by an enclosure of non-zero width: every function decides those cases
// exactly before it enters the loop.
//
// Fixed-point values inside the functions are Ints M standing for M × BASE^−p ("p limbs").
#pragma once

#include <cstdint>

#include "core/decnum.h"
#include "core/parallel.h"
#include "exact/nat.h"

namespace exact {

struct Dec {
  Nat m;          // trailing zero limbs removed; zero is m.n == 0
  int64_t e = 0;  // decimal exponent of m's last digit
  bool neg = false;
};

struct Approx {
  Int mid;
  int64_t e = 0;     // decimal exponent of mid's last digit
  uint64_t rad = 0;  // |true − mid × 10^e| ≤ rad × 10^e
};

// ---- operands and results ---------------------------------------------------------------
Dec dx_of(const DecWord *p);                    // p a valid number (no marker)
// (−1)^neg × m × 10^e with m's zero limbs (leading and trailing) taken off.
Dec dx_make(Nat m, int64_t e, bool neg);
inline bool dx_is_zero(const Dec &x) { return x.m.n == 0; }
// floor(log10 |x|), x ≠ 0.
int64_t dx_magnitude(const Dec &x);
// Writes x truncated to internal_digits − 1 significant digits: 0, or −1 with
// NUM_OVERFLOW past the exponent range; below it the result is zero.
int dx_write(DecWord *out, const Dec &x);
// For an exponent outside the range: writes NUM_OVERFLOW (above; *status −1) or zero
// (below; *status 0) and returns true. False, with nothing written, inside the range.
bool exponent_out_of_range(DecWord *out, int64_t exponent, int *status);
// As dx_write for the truncation that every value of the enclosure shares; returns 1
// (nothing written) when the enclosure does not decide it.
int approx_write(DecWord *out, const Approx &a);

// ---- exact arithmetic on decimals -------------------------------------------------------
Dec dx_add(const Dec &a, const Dec &b);
Dec dx_sub(const Dec &a, const Dec &b);
Dec dx_mul(const Dec &a, const Dec &b);
Dec dx_neg(const Dec &a);
Dec dx_from_i64(int64_t v, int64_t e = 0);      // v × 10^e
int dx_cmp_abs(const Dec &a, const Dec &b);
int dx_cmp(const Dec &a, const Dec &b);
bool dx_is_integer(const Dec &x);
// The integer part (truncated toward zero) in *v when |x| < 10^18; false otherwise.
bool dx_to_i64(const Dec &x, int64_t *v);

// ---- fixed point, p limbs ---------------------------------------------------------------
Int fix_from_dec(const Dec &x, int p);           // floor(x × BASE^p)
Int fix_mul(const Int &a, const Int &b, int p);  // floor(a b / BASE^p)
Int fix_div(const Int &a, const Int &b, int p);  // floor(a BASE^p / b), b ≠ 0
Int fix_sqrt(const Int &a, int p);               // floor(√(a BASE^p)), a ≥ 0
inline Int fix_one(int p) { return int_from(nat_shift_limbs(nat_from_u64(1), p), false); }
// The enclosure M × BASE^−p ± err ulps.
Approx approx_fix(const Int &m, int p, uint64_t err);
// Working limbs for a relative precision of `digits` digits on a value near 1.
inline int limbs_for(int64_t digits) { return (int)(digits / BASE_DIGITS) + 2; }

// ---- the correctness loop ---------------------------------------------------------------
// The working precision (digits) of the first attempt and the largest one tried before a
// result counts as undecidable.
int64_t ziv_first_digits();
int64_t ziv_max_digits();
// The message for the status line when an exact-mode operation could not be carried out
// (undecided, out of range, out of working memory); empty otherwise.
const char *exact_message();
void exact_set_message(const char *text);

// Calls eval(digits, &approx) with growing working precisions (digits: the enclosure's
// relative width should be about 10^−digits) until approx decides the truncated result,
// and writes it into out. eval returns 0 with the enclosure filled in, or a status (−1)
// after it has written a marker into out itself. Each attempt runs in its own frame.
// From this precision on the functions share work between two threads: the pool's helper
// is woken as a function's loop starts, so that it is ready for the first fork (the basic
// operations, which do not fork, leave it asleep).
constexpr int PARALLEL_WAKE_DIGITS = 300;

template <class Eval>
int ziv_loop(DecWord *out, Eval eval) {
  if (internal_digits >= PARALLEL_WAKE_DIGITS) parallel_wake();
  for (int64_t w = ziv_first_digits(); w <= ziv_max_digits(); w += w / 2 + 16) {
    Frame f;
    Approx a;
    int status = eval(w, &a);
    if (status != 0) return status;
    int r = approx_write(out, a);
    if (r != 1) return r;
  }
  exact_set_message("Exact digits: the result could not be decided");
  dec_set_marker(out, NUM_ERROR);
  return -1;
}

}  // namespace exact
