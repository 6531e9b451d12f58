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
