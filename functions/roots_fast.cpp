// Square and cube roots by Newton's iteration with an exact final correction.
//
// The digit-by-digit extraction gives the true root truncated to P = internal_digits − 1
// significant digits, i.e. with M the integer of x's digits (positions 1 .. P):
//   √ : R = floor(√N),  N = M × 10^(P − 1 + (E mod 2))        (E the exponent of x)
//   ∛ : R = floor(∛N),  N = M × 10^(2P − 2 + (E mod 3))
// and the root's digits are R's, with exponent floor(E / 2) or floor(E / 3). Any method
// that finds that R gives the same words. Here a Newton iteration for y^(−1/2) or
// y^(−1/3), at doubling working lengths from a double-precision start, gives a proposal a
// few units of the last place off; the exact residue N − R² (or N − R³), computed with
// whole-integer products, then moves R by single steps, (R ± 1)² − R² = ±2R + 1 and
// (R + 1)³ − R³ = 3R² + 3R + 1, until 0 ≤ N − R^k < (R + 1)^k − R^k. A proposal that is
// too far off (it never is, short of a fault) leaves the work to the extraction.
#include "functions/roots_fast.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/bignat.h"
#include "core/working_length.h"
#include "functions/fn_internal.h"

namespace {

constexpr int MAX_CORRECTIONS = 64;
// Largest jump t of one correction, so that 3t stays one limb.
constexpr uint32_t MAX_JUMP = 300000;

DecWord Yv[DEC_BUF_WORDS], Z[DEC_BUF_WORDS], T1[DEC_BUF_WORDS], T2[DEC_BUF_WORDS],
    Acc[DEC_BUF_WORDS], One[DEC_BUF_WORDS], Half[DEC_BUF_WORDS];
Nat big_n, big_r, big_r2, big_p, big_d, big_step, big_tmp;

void clear(DecWord *p) { std::memset(p, 0, sizeof(DecWord) * DEC_BUF_WORDS); }

// Z ≈ y^(−1/k) for y = Yv (k = 2 or 3), good to a few units in word_count words:
// z ← z + z (1 − y z^k) / k.
void inverse_root(int k) {
  int lengths[40];
  const int count = newton_lengths(word_count, 4, lengths);
  WorkingLength working;
  working.set(lengths[0]);
  char text[64];
  std::snprintf(text, sizeof text, "%.17e", std::pow(dec_leading_double(Yv), -1.0 / k));
  dec_from_text(Z, text);
  for (int i = 0; i < count; ++i) {
    working.set(lengths[i]);
    dec_mul(T1, Z, Z);
    if (k == 3) {
      dec_mul(T2, T1, Z);
      dec_copy(T1, T2);
    }
    dec_mul(T2, T1, Yv);     // y z^k
    dec_sub(T1, One, T2);    // 1 − y z^k
    dec_mul(T2, Z, T1);      // z (1 − y z^k)
    if (k == 2)
      dec_mul(T1, T2, Half);
    else
      dec_div_small(T1, T2, 3, 0);
    dec_add(T2, Z, T1);
    dec_copy(Z, T2);
  }
}

// The proposal R from A ≈ y^(1/k) in [1, 10): A's digits as an integer of P digits.
void proposal(const DecWord *A, int words) {
  if (dec_exponent(A) == 0) {
    nat_from_words(&big_r, A, words);
    return;
  }
  // A just outside [1, 10) by a unit of the last place: start from the nearest end.
  clear(Acc);
  if (dec_exponent(A) > 0)
    for (int k = 1; k < 6 * words; ++k) dec_put_digit(Acc, k, 9);
  else
    dec_put_digit(Acc, 1, 1);
  nat_from_words(&big_r, Acc, words);
}

// N = M × 10^(6 limbs + extra) with M the integer of x's digits.
void scaled_argument(const DecWord *x, int words, int limbs, int extra) {
  nat_from_words(&big_tmp, x, words);
  uint32_t factor = 1;
  for (int i = 0; i < extra; ++i) factor *= 10;
  nat_mul_small(&big_tmp, &big_tmp, factor);
  nat_shift_limbs(&big_n, &big_tmp, limbs);
}

// Signed residue D = sign × big_d, moved by ± step.
struct Residue {
  int negative = 0;
  void add(const Nat *step) {  // D += step
    if (!negative) {
      nat_add(&big_d, &big_d, step);
    } else if (nat_compare(&big_d, step) > 0) {
      nat_sub(&big_d, &big_d, step);
    } else {
      nat_sub(&big_d, step, &big_d);
      negative = 0;
    }
  }
  void sub(const Nat *step) {  // D −= step
    if (negative) {
      nat_add(&big_d, &big_d, step);
    } else if (nat_compare(&big_d, step) >= 0) {
      nat_sub(&big_d, &big_d, step);
    } else {
      nat_sub(&big_d, step, &big_d);
      negative = 1;
    }
  }
};

void set_residue(Residue *res, const Nat *power) {
  if (nat_compare(&big_n, power) >= 0) {
    nat_sub(&big_d, &big_n, power);
    res->negative = 0;
  } else {
    nat_sub(&big_d, power, &big_n);
    res->negative = 1;
  }
}

Nat one_nat;

void increment(Nat *a) { nat_add(a, a, &one_nat); }
void decrement(Nat *a) { nat_sub(a, a, &one_nat); }

void setup_constants() {
  for (DecWord *b : {Yv, Z, T1, T2, Acc, One, Half}) clear(b);
  dec_put_digit(One, 1, 1);
  dec_put_digit(Half, 1, 5);
  dec_set_head(Half, -2);
  nat_set_small(&one_nat, 1);
}

// The value of a natural number's three leading limbs, and the power of NAT_BASE below
// them: a ≈ top × NAT_BASE^exp.
double leading_limbs(const Nat *a, int *exp) {
  double v = 0;
  const int first = a->len >= 3 ? a->len - 3 : 0;
  for (int i = a->len - 1; i >= first; --i) v = v * NAT_BASE + a->limb[i];
  *exp = first;
  return v;
}

// How far the root is off: |D| / derivative, where derivative ≈ 2R (square) or 3R²
// (cube); one less than the estimate, capped, so that a jump never passes the root.
uint32_t jump_size(const Nat *d, const Nat *derivative, double factor) {
  int ed, ex;
  const double vd = leading_limbs(d, &ed), vx = leading_limbs(derivative, &ex) * factor;
  if (vx <= 0) return 0;
  const double est = vd / vx * std::pow((double)NAT_BASE, ed - ex);
  if (!(est >= 2)) return 0;
  return est - 1 >= MAX_JUMP ? MAX_JUMP : (uint32_t)(est - 1);
}

// out = small × small' as a natural number (each below NAT_BASE).
void small_product(Nat *out, uint32_t a, uint32_t b) {
  nat_set_small(out, a);
  nat_mul_small(out, out, b);
}

Nat big_aux;

}  // namespace

bool root_fast_sqrt(DecWord *out, const DecWord *x) {
  const int wc = word_count;
  const int32_t E = dec_exponent(x);
  const int odd = E & 1;
  setup_constants();
  for (int i = 1; i <= wc; ++i) Yv[i] = x[i];
  dec_set_head(Yv, 2 * odd);
  scaled_argument(x, wc, wc - 1, 4 + odd);
  inverse_root(2);
  dec_mul(Acc, Yv, Z);  // ≈ √y
  proposal(Acc, wc);

  // D = N − R²; move R until 0 ≤ D < 2R + 1. A jump by t uses (R ± t)² = R² ± 2Rt + t².
  Residue res;
  nat_mul(&big_r2, &big_r, &big_r);
  set_residue(&res, &big_r2);
  for (int step = 0;; ++step) {
    if (step == MAX_CORRECTIONS) return false;
    const uint32_t t = jump_size(&big_d, &big_r, 2.0);
    if (t > 0) {
      nat_mul_small(&big_step, &big_r, 2 * t);  // 2Rt
      small_product(&big_aux, t, t);
      if (res.negative) {  // R² − (R − t)² = 2Rt − t²
        nat_sub(&big_step, &big_step, &big_aux);
        res.add(&big_step);
        small_product(&big_aux, t, 1);
        nat_sub(&big_r, &big_r, &big_aux);
      } else {  // (R + t)² − R² = 2Rt + t²
        nat_add(&big_step, &big_step, &big_aux);
        res.sub(&big_step);
        small_product(&big_aux, t, 1);
        nat_add(&big_r, &big_r, &big_aux);
      }
      continue;
    }
    nat_mul_small(&big_step, &big_r, 2);  // 2R
    if (res.negative) {                   // R² > N: (R − 1)² = R² − 2R + 1
      decrement(&big_step);
      res.add(&big_step);
      decrement(&big_r);
      continue;
    }
    increment(&big_step);  // 2R + 1 = (R + 1)² − R²
    if (nat_compare(&big_d, &big_step) < 0) break;
    res.sub(&big_step);
    increment(&big_r);
  }
  nat_to_words(out, &big_r, wc);
  dec_set_head(out, 2 * ((E - odd) / 2));
  return true;
}

bool root_fast_cbrt(DecWord *out, const DecWord *x) {
  const int wc = word_count;
  const int32_t E = dec_exponent(x);
  const int32_t q = E >= 0 ? E / 3 : -((-E + 2) / 3);
  const int32_t s = E - 3 * q;
  const DecWord sign = x[0] & 1u;
  setup_constants();
  for (int i = 1; i <= wc; ++i) Yv[i] = x[i];
  dec_set_head(Yv, 2 * s);
  scaled_argument(x, wc, 2 * wc - 1, 2 + s);
  inverse_root(3);
  dec_mul(T1, Z, Z);
  dec_mul(Acc, Yv, T1);  // y × y^(−2/3) ≈ ∛y
  proposal(Acc, wc);

  // D = N − R³; move R until 0 ≤ D < 3R² + 3R + 1, keeping R² alongside. A jump by t uses
  // (R ± t)³ = R³ ± 3R²t + 3Rt² ± t³ and (R ± t)² = R² ± 2Rt + t².
  Residue res;
  nat_mul(&big_r2, &big_r, &big_r);
  nat_mul(&big_p, &big_r2, &big_r);
  set_residue(&res, &big_p);
  for (int step = 0;; ++step) {
    if (step == MAX_CORRECTIONS) return false;
    uint32_t t = jump_size(&big_d, &big_r2, 3.0);
    const bool down = res.negative;
    if (t == 0) {
      t = 1;
      // A single step: down when D < 0, up when D ≥ 3R² + 3R + 1, else done.
      if (!down) {
        nat_mul_small(&big_step, &big_r2, 3);
        nat_mul_small(&big_tmp, &big_r, 3);
        nat_add(&big_step, &big_step, &big_tmp);
        increment(&big_step);
        if (nat_compare(&big_d, &big_step) < 0) break;
      }
    }
    // big_step = 3R²t + t³ ± 3Rt², the change of R³.
    nat_mul_small(&big_step, &big_r2, 3 * t);
    small_product(&big_aux, t, t);
    nat_mul_small(&big_aux, &big_aux, t);
    nat_add(&big_step, &big_step, &big_aux);
    nat_mul_small(&big_tmp, &big_r, 3 * t);
    nat_mul_small(&big_tmp, &big_tmp, t);  // 3Rt²
    // and the change of R²: 2Rt ± t².
    nat_mul_small(&big_aux, &big_r, 2 * t);
    Nat &t2 = big_n;  // N is no longer needed once D is known
    small_product(&t2, t, t);
    if (down) {
      nat_sub(&big_step, &big_step, &big_tmp);  // R³ − (R − t)³
      res.add(&big_step);
      nat_sub(&big_r2, &big_r2, &big_aux);
      nat_add(&big_r2, &big_r2, &t2);
      small_product(&big_aux, t, 1);
      nat_sub(&big_r, &big_r, &big_aux);
    } else {
      nat_add(&big_step, &big_step, &big_tmp);  // (R + t)³ − R³
      res.sub(&big_step);
      nat_add(&big_r2, &big_r2, &big_aux);
      nat_add(&big_r2, &big_r2, &t2);
      small_product(&big_aux, t, 1);
      nat_add(&big_r, &big_r, &big_aux);
    }
  }
  nat_to_words(out, &big_r, wc);
  dec_set_head(out, (int32_t)(2 * q) | (int32_t)sign);
  return true;
}

