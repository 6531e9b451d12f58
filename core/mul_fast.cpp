// The fast product (see mul_fast.h for the identity it rests on).
//
// Words as integers: word w (1 .. word_count) of a number is the 6-digit integer of its
// positions 6(w − 1) .. 6w − 1, so Ip = Σ_w P_w × 10^(6(wc − w)). The word convolution
// C_n = Σ_{a + b = n} P_a Q_b carries digit pairs (i, j) with i + j − 1 in
// 6n − 13 .. 6n − 3; the short product keeps the pairs with i + j − 1 ≤ P = 6wc − 1:
//   columns n ≤ wc whole, weight 10^2 in result word n;
//   column wc + 1 split: pairs with u + v ≤ 6 (u, v the digit indices within the words);
//   column wc + 2 split: only the two words' top digits (u = v = 0);
//   later columns dropped.
// Column sums stay below 16,669 × 10^12, well inside 64 bits.
#include "core/mul_fast.h"

#include <cstring>

#include "core/cancel.h"
#include "core/ntt.h"

namespace {

constexpr uint32_t WORD_BASE = 1000000;

uint32_t word_p[DEC_MAX_WORDS + 2], word_q[DEC_MAX_WORDS + 2];
uint64_t columns[2 * DEC_MAX_WORDS + 4];
// carries[w][k]: the carry of k × p into word w from the words after it; rows 0 and 1 stay
// zero (nothing carries out of 0 × p or 1 × p), so every digit k can index them.
uint32_t carries[DEC_MAX_WORDS + 2][10];
uint64_t result_words[DEC_MAX_WORDS + 2];

// Lanes of a 6-digit value, built from a table of two-digit lane pairs.
uint32_t two_digit_lanes[100];
bool lanes_ready = false;

void build_lane_table() {
  for (int v = 0; v < 100; ++v) two_digit_lanes[v] = ((uint32_t)(v / 10) << 5) | (uint32_t)(v % 10);
  lanes_ready = true;
}

inline DecWord value_lanes(uint32_t v) {
  uint32_t hi = v / 10000, mid = (v / 100) % 100, lo = v % 100;
  return (two_digit_lanes[hi] << 21) | (two_digit_lanes[mid] << 11) | (two_digit_lanes[lo] << 1);
}

// Digit u (0 = the top lane) of a digit word.
inline uint32_t lane_digit(DecWord w, int u) { return (w >> (26 - 5 * u)) & 15; }

// The carry of a dropped tail: for the multiplier position i whose truncation point
// m = P − i + 1 lies in word wm with r = 5 − T positions after it in the word, the carry of
// k_i × p into position m. As wm steps down by one, i steps up by six with the same lane:
// i = c − 6 wm with c = P + 7 − T, so its word is 1 + c / 6 − wm and its lane c mod 6.
// Unrolled so that every division is by a constant.
template <int T>
inline uint64_t tail_carry(const DecWord *q, int wm, int c, const uint32_t *cw, uint32_t suffix) {
  constexpr uint32_t DIV[6] = {100000, 10000, 1000, 100, 10, 1};
  const uint32_t k = lane_digit(q[1 + c / 6 - wm], c % 6);
  return ((uint64_t)k * suffix + cw[k]) / DIV[T];
}

// Plain O(la × lb) word convolution for moderate lengths.
void convolve_words(uint64_t *out, const uint32_t *a, int la, const uint32_t *b, int lb) {
  std::memset(out, 0, sizeof(uint64_t) * (size_t)(la + lb - 1));
  for (int i = 0; i < la; ++i) {
    if ((i & 63) == 63) cancel_check();
    const uint64_t ai = a[i];
    if (!ai) continue;
    uint64_t *o = out + i;
    for (int j = 0; j < lb; ++j) o[j] += ai * b[j];
  }
}

// The transform's cost grows in steps with its power-of-two size: compare the two.
bool ntt_pays(int la, int lb) {
  const int len = la + lb - 1;
  int n = 1, log2n = 0;
  while (n < len) {
    n <<= 1;
    ++log2n;
  }
  return (uint64_t)la * (uint64_t)lb > (uint64_t)MUL_NTT_COST_RATIO * (uint64_t)n * (uint64_t)log2n;
}

}  // namespace

int mul_fast_kernel(DecWord *out, const DecWord *p, const DecWord *q, int A, int B) {
  if (!lanes_ready) build_lane_table();
  const int wc = word_count;
  const int P = internal_digits - 1;
  // Words beyond used + 1 are zero; the convolution runs over the words in use.
  const int la = A + 1 < wc ? A + 1 : wc;
  const int lb = B + 1 < wc ? B + 1 : wc;
  for (int w = 1; w <= wc; ++w) word_p[w] = word_integer(p[w]);
  for (int w = 1; w <= lb; ++w) word_q[w] = word_integer(q[w]);

  // columns[n − 2] = C_n for n = 2 .. la + lb.
  if (ntt_pays(la, lb))
    ntt_convolve(columns, word_p + 1, la, word_q + 1, lb);
  else
    convolve_words(columns, word_p + 1, la, word_q + 1, lb);

  std::memset(result_words, 0, sizeof(uint64_t) * (size_t)(wc + 1));
  const int top_column = la + lb < wc ? la + lb : wc;
  for (int n = 2; n <= top_column; ++n) result_words[n] = columns[n - 2] * 100;

  // The straddling columns wc + 1 and wc + 2, digit by digit.
  uint64_t units = 0;
  for (int a = 1; a <= la; ++a) {
    int b = wc + 1 - a;
    if (b >= 1 && b <= lb && word_p[a] && word_q[b]) {
      static const uint64_t pow10[7] = {1000000, 100000, 10000, 1000, 100, 10, 1};
      for (int v = 0; v < 6; ++v) {
        const uint64_t pd = lane_digit(p[a], v);
        if (!pd) continue;
        for (int u = 0; u + v <= 6 && u < 6; ++u) units += pd * lane_digit(q[b], u) * pow10[u + v];
      }
    }
    b = wc + 2 - a;
    if (b >= 1 && b <= lb) units += (uint64_t)lane_digit(p[a], 0) * lane_digit(q[b], 0);
  }

  // The dropped tails' carries: for multiplier position i, the carry of k_i × p into
  // position m = P − i + 1. cw[k][w] is the carry into word w from the words after it.
  // The eight carry chains run side by side: each step of one chain waits for its
  // previous step, so one chain at a time would wait on every step.
  uint64_t chain[10] = {0};
  for (int k = 0; k <= 9; ++k) carries[wc][k] = 0;
  for (int w = wc; w >= 2; --w) {
    const uint64_t v = word_p[w];
    uint32_t *row = carries[w - 1];
    row[0] = row[1] = 0;
    for (int k = 2; k <= 9; ++k) {
      chain[k] = ((uint64_t)k * v + chain[k]) / WORD_BASE;
      row[k] = (uint32_t)chain[k];
    }
  }
  // Truncation points m = P − i + 1 for the multiplier positions i = 1 .. 6 lb − 1.
  const int last_i = 6 * lb - 1 < P ? 6 * lb - 1 : P;
  const int first_m = P - last_i + 1;
  for (int wm = wc; wm >= 1 + first_m / 6; --wm) {
    if ((wm & 255) == 0) cancel_check();
    const DecWord pw = p[wm];
    // suffix[r] = the value of the word's last r digits.
    const uint32_t s1 = lane_digit(pw, 5), s2 = s1 + 10 * lane_digit(pw, 4),
                   s3 = s2 + 100 * lane_digit(pw, 3), s4 = s3 + 1000 * lane_digit(pw, 2),
                   s5 = s4 + 10000 * lane_digit(pw, 1);
    const int base = 6 * (wm - 1);
    const uint32_t *cw = carries[wm];
    if (base >= first_m) {  // all six truncation points of the word, as in every word but the last
      units += tail_carry<5>(q, wm, P + 2, cw, 0) + tail_carry<4>(q, wm, P + 3, cw, s1) +
               tail_carry<3>(q, wm, P + 4, cw, s2) + tail_carry<2>(q, wm, P + 5, cw, s3) +
               tail_carry<1>(q, wm, P + 6, cw, s4) + tail_carry<0>(q, wm, P + 7, cw, s5);
      continue;
    }
    if (base + 5 >= first_m) units += tail_carry<5>(q, wm, P + 2, cw, 0);
    if (base + 4 >= first_m) units += tail_carry<4>(q, wm, P + 3, cw, s1);
    if (base + 3 >= first_m) units += tail_carry<3>(q, wm, P + 4, cw, s2);
    if (base + 2 >= first_m) units += tail_carry<2>(q, wm, P + 5, cw, s3);
    if (base + 1 >= first_m) units += tail_carry<1>(q, wm, P + 6, cw, s4);
  }
  result_words[wc] += units;

  // Carry the base-10^6 result words and write them as lanes.
  uint64_t carry = 0;
  for (int w = wc; w >= 1; --w) {
    uint64_t t = result_words[w] + carry;
    carry = t / WORD_BASE;
    out[w] = value_lanes((uint32_t)(t % WORD_BASE));
  }
  out[0] = p[0];
  return (carry != 0 || (out[1] & 0xC0000000u)) ? 1 : 0;
}
