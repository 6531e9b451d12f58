// The fast start of long division (see div_fast.h for why its result is exact).
//
// The proposed digits come from y = R / D in [1, 10): a reciprocal x of D by Newton's
// iteration x ← x + x (1 − D x), run at doubling working lengths from a double-precision
// start, then one product y = R × x at full length. Truncation leaves y a few units of the
// last place off, so the last DIV_FAST_TAIL_DIGITS positions are left to the loop, and a
// proposal that is wrong nevertheless (a run of nines in the true quotient) fails the
// check and costs only the time spent.
#include "core/div_fast.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "core/addsub.h"
#include "core/mul.h"
#include "core/mul_fast.h"
#include "core/text.h"
#include "core/working_length.h"

namespace {

DecWord Rn[DEC_BUF_WORDS], Dn[DEC_BUF_WORDS], X[DEC_BUF_WORDS], T[DEC_BUF_WORDS],
    E[DEC_BUF_WORDS], Y[DEC_BUF_WORDS], S[DEC_BUF_WORDS], One[DEC_BUF_WORDS];

void clear(DecWord *p) { std::memset(p, 0, sizeof(DecWord) * DEC_BUF_WORDS); }

// x ≈ 1 / Dn (Dn in [1, 10), exponent 0), good to nearly every digit of word_count words.
void reciprocal(int full_words) {
  int lengths[40];
  const int count = newton_lengths(full_words, 4, lengths);
  WorkingLength working;
  working.set(lengths[0]);
  char text[64];
  std::snprintf(text, sizeof text, "%.17e", 1.0 / dec_leading_double(Dn));
  dec_from_text(X, text);
  for (int i = 0; i < count; ++i) {
    working.set(lengths[i]);
    dec_mul(T, Dn, X);   // D x
    dec_sub(E, One, T);  // 1 − D x
    dec_mul(T, X, E);    // x (1 − D x)
    dec_add(E, X, T);
    dec_copy(X, E);
  }
}

// The integer formed by positions first .. last of p (at most 19 digits).
uint64_t positions_value(const DecWord *p, int first, int last) {
  uint64_t v = 0;
  for (int k = first; k <= last; ++k) v = v * 10 + (uint64_t)dec_digit_at(p, k);
  return v;
}

}  // namespace

int div_fast_prefix(DecWord *Q, DecWord *R, DecWord *D) {
  const int wc = word_count;
  const int P = internal_digits - 1;
  const int i0 = P - DIV_FAST_TAIL_DIGITS;
  if (i0 < 1) return 0;

  for (DecWord *buf : {Rn, Dn, X, T, E, Y, S, One}) clear(buf);
  dec_put_digit(One, 1, 1);
  for (int i = 1; i <= wc; ++i) Dn[i] = D[i];
  for (int i = 1; i <= wc; ++i) Rn[i] = R[i];
  // Both at exponent 0 keep their ratio R / D in [1, 10); R may hold a digit in position 0,
  // which the carry shift moves down (dropping R's last digit, harmless for a proposal).
  if (dec_carry_shift(Rn, wc - 1) != 0) return 0;

  reciprocal(wc);
  dec_mul(Y, Rn, X);
  if (dec_head(Y) != 0) return 0;  // the proposal must read k_1.k_2k_3… with 1 ≤ k_1

  // Qp: the proposal's positions 1 .. i0.
  DecWord *Qp = T;
  clear(Qp);
  const int last_word = 1 + i0 / 6;
  for (int w = 1; w < last_word; ++w) Qp[w] = Y[w];
  Qp[last_word] = Y[last_word] & (~(DecWord)0 << pos_shift(i0));

  // S = Σ_{j ≤ i0} floor(k_j × D / 10^(j−1)): the shift-and-add product's words.
  if (mul_fast_kernel(S, D, Qp, dec_used_words(D), dec_used_words(Qp)) != 0) return 0;
  int c = 0;
  for (int i = 1; i <= wc && c == 0; ++i)
    if (R[i] != S[i]) c = R[i] > S[i] ? 1 : -1;
  if (c <= 0) return 0;  // R_i0 must be positive

  // E = R − S, which must lie below D / 10^(i0−1) − 1, a number of about 14 digits.
  dec_set_head(S, dec_head(R));
  mag_sub_shifted(E, R, S, wc - 1, wc - 1);
  for (int k = 0; k <= P - 18; ++k)
    if (dec_digit_at(E, k) != 0) return 0;
  const uint64_t rest = positions_value(E, P - 17, P);
  const uint64_t d_top = positions_value(D, 0, P - i0 + 1);  // floor(D / 10^(i0−1))
  if (rest + 2 > d_top) return 0;

  for (int i = 1; i <= wc; ++i) R[i] = E[i];
  for (int i = 1; i <= last_word; ++i) Q[i] |= Qp[i];
  dec_set_head(D, dec_head(D) - 2 * i0);
  return i0;
}

namespace {

DecWord Grid[DEC_BUF_WORDS + 1];  // floor(R / d) in R's word grid

// Q |= the digits of g at positions shift + 1 .. P, placed at positions 1 .. P − shift.
void or_shifted_left(DecWord *Q, const DecWord *g, int shift) {
  const int wc = word_count;
  const int ws = shift / 6, t = (shift % 6) * 5;
  for (int i = 1; i + ws <= wc; ++i) {
    DecWord w = g[i + ws];
    if (t != 0) {
      w = (w << t) & 0x7FFFFFFE;
      if (i + ws + 1 <= wc) w |= g[i + ws + 1] >> (30 - t);
    }
    Q[i] |= w;
  }
}

}  // namespace

int div_short_prefix(DecWord *Q, DecWord *R, DecWord *D, int B, bool *exact) {
  const int wc = word_count;
  const int P = internal_digits - 1;
  // d: D's digits as an integer, over positions 0 .. L.
  int L = -1;
  for (int k = 6 * (B + 1) - 1; k >= 0 && L < 0; --k)
    if (k <= P && dec_digit_at(D, k) != 0) L = k;
  if (L < 0 || L > DIV_SHORT_LAST_POSITION) return 0;
  for (int k = L + 1; k < 6 * (B + 1) && k <= P; ++k)
    if (dec_digit_at(D, k) != 0) return 0;
  uint64_t d = 0;
  for (int k = 0; k <= L; ++k) d = d * 10 + (uint64_t)dec_digit_at(D, k);
  const int64_t off = (int64_t)dec_exponent(R) - dec_exponent(D);
  if (off < 0 || off > P) return 0;
  const int shift = L + (int)off - 1;  // Q position i is R's position i + shift
  const int J = P - shift;
  if (shift < 0 || J < 1) return 0;

  // floor(R / d) word by word; the remainder stays below d < 10^14, so rem × 10^6 fits.
  uint64_t rem = 0;
  for (int w = 1; w <= wc; ++w) {
    const uint64_t cur = rem * 1000000 + word_integer(R[w]);
    const uint64_t q = cur / d;
    rem = cur - q * d;
    Grid[w] = integer_word((uint32_t)q);
  }
  // The quotient must have at most J digits: positions 0 .. shift of the grid are zero.
  for (int k = 0; k <= shift; ++k)
    if (dec_digit_at(Grid, k) != 0) return 0;

  or_shifted_left(Q, Grid, shift);
  *exact = rem == 0;
  for (int w = 1; w <= wc; ++w) R[w] = 0;
  for (int w = wc; w >= 1 && rem != 0; --w) {
    R[w] = integer_word((uint32_t)(rem % 1000000));
    rem /= 1000000;
  }
  dec_set_head(D, dec_head(D) - 2 * J);
  return J;
}
