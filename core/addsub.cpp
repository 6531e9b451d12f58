// Signed addition and subtraction, and the aligned magnitude kernels.
//
// Kernel layout, result word j from the last word Lw down to 1, with d = exp(p) − exp(q),
// e = d / 6, s = (d mod 6) × 5 bits; the aligned q word opposite j is
//   aq(j) = (q(j − e) >> s) | ((q(j − e − 1) << (30 − s)) & 0x7FFFFFFF)
// taken from q's words 1 .. B + 1 only, so aligned q covers j = e + 1 .. e + B + 1 and the
// digits shifted out of q's word B + 1 are dropped (truncation).
//   region 1, j > e + B + 1 : out(j) = p(j)
//   region 2, j > A + 1     : out(j) = ±aq(j)            (only when A < B)
//   region 3                : out(j) = p(j) ± aq(j) ± carry
//   region 4, j ≤ e         : out(j) = p(j), the carry or borrow rippling upwards
// Each word is read before any word of the same or a lower index is written, so out may
// be p, q or both.
#include <cassert>

#include "core/addsub.h"

int kernel_last_word(int A) {
  if (A == LEN_DOUBLE) return 2 * word_count + 1;
  if (A == LEN_TRIPLE) return 3 * word_count + 2;
  return word_count;
}

namespace {

inline int p_limit(int A) { return A >= 0 ? A + 1 : kernel_last_word(A); }

// Region bounds shared by both kernels. Words lo .. hi are opposite the aligned q;
// words lo .. mid are within p's limit (region 3), mid + 1 .. hi beyond it (region 2).
struct Alignment {
  int e, s, lw, lo, hi, mid;
};

inline Alignment align(const DecWord *p, const DecWord *q, int A, int B) {
  Alignment al;
  int d = dec_exponent(p) - dec_exponent(q);
  assert(d >= 0);
  al.e = d / 6;
  al.s = (d % 6) * 5;
  al.lw = kernel_last_word(A);
  al.lo = al.e + 1;
  long hi = (long)al.e + B + 1;
  al.hi = hi < al.lw ? (int)hi : al.lw;
  // p's word limit cuts in only when A < B (multiplication passes A = B and keeps every
  // word of its running product).
  int lim = A < B ? p_limit(A) : al.hi;
  al.mid = al.hi < lim ? al.hi : lim;
  if (al.mid < al.lo - 1) al.mid = al.lo - 1;
  return al;
}

inline DecWord aligned_word(const DecWord *q, int idx, int s) {
  // idx = j − e, 1 ≤ idx ≤ B + 1
  if (s == 0) return q[idx];
  DecWord w = q[idx] >> s;
  if (idx >= 2) w |= (q[idx - 1] << (30 - s)) & 0x7FFFFFFF;
  return w;
}

}  // namespace

int mag_add_shifted(DecWord *out, const DecWord *p, const DecWord *q, int A, int B) {
  const Alignment al = align(p, q, A, B);
  const int e = al.e, s = al.s;
  if (out != p)
    for (int j = al.lw; j > al.hi; --j) out[j] = p[j];  // region 1
  int j = al.hi;
  for (; j > al.mid; --j) out[j] = aligned_word(q, j - e, s);  // region 2, no carry yet
  DecWord carry = 0;
  if (s == 0) {
    for (; j >= al.lo; --j) out[j] = lane_add(p[j], q[j - e], carry, &carry);
  } else {
    const int rs = 30 - s;
    for (; j >= al.lo + 1; --j) {
      DecWord aq = (q[j - e] >> s) | ((q[j - e - 1] << rs) & 0x7FFFFFFF);
      out[j] = lane_add(p[j], aq, carry, &carry);
    }
    if (j == al.lo) {
      out[j] = lane_add(p[j], q[1] >> s, carry, &carry);
      --j;
    }
  }
  for (j = al.lo - 1 < al.lw ? al.lo - 1 : al.lw; j >= 1; --j) {  // region 4
    if (carry)
      out[j] = lane_inc(p[j], &carry);
    else if (out != p)
      out[j] = p[j];
    else
      break;
  }
  out[0] = p[0];
  return 0;
}

int mag_sub_shifted(DecWord *out, const DecWord *p, const DecWord *q, int A, int B) {
  const Alignment al = align(p, q, A, B);
  const int e = al.e, s = al.s;
  if (out != p)
    for (int j = al.lw; j > al.hi; --j) out[j] = p[j];
  DecWord nb = 1;
  int j = al.hi;
  for (; j > al.mid; --j) out[j] = lane_sub(0, aligned_word(q, j - e, s), nb, &nb);
  if (s == 0) {
    for (; j >= al.lo; --j) out[j] = lane_sub(p[j], q[j - e], nb, &nb);
  } else {
    const int rs = 30 - s;
    for (; j >= al.lo + 1; --j) {
      DecWord aq = (q[j - e] >> s) | ((q[j - e - 1] << rs) & 0x7FFFFFFF);
      out[j] = lane_sub(p[j], aq, nb, &nb);
    }
    if (j == al.lo) {
      out[j] = lane_sub(p[j], q[1] >> s, nb, &nb);
      --j;
    }
  }
  DecWord borrow = !nb;
  for (j = al.lo - 1 < al.lw ? al.lo - 1 : al.lw; j >= 1; --j) {
    if (borrow)
      out[j] = lane_dec(p[j], &borrow);
    else if (out != p)
      out[j] = p[j];
    else
      break;
  }
  out[0] = p[0];
  return 0;
}

int mag_compare(const DecWord *a, const DecWord *b) {
  bool za = a[1] == 0, zb = b[1] == 0;
  if (za || zb) return za && zb ? 0 : za ? -1 : 1;
  int32_t ea = dec_exponent(a), eb = dec_exponent(b);
  if (ea != eb) return ea > eb ? 1 : -1;
  for (int i = 1; i <= word_count; ++i)
    if (a[i] != b[i]) return a[i] > b[i] ? 1 : -1;
  return 0;
}

namespace {

// Marker and null checks shared by dec_add and dec_sub; true when out was written.
bool operand_failure(DecWord *out, const DecWord *a, const DecWord *b, int *status) {
  if (!a || !b || dec_head(a) == NUM_ERROR || dec_head(b) == NUM_ERROR) {
    dec_set_head(out, NUM_ERROR);
    *status = -1;
    return true;
  }
  if (dec_head(a) == NUM_OVERFLOW || dec_head(b) == NUM_OVERFLOW) {
    dec_set_head(out, NUM_OVERFLOW);
    *status = -1;
    return true;
  }
  return false;
}

}  // namespace

int dec_add(DecWord *out, const DecWord *a, const DecWord *b) {
  if (!out) return -1;
  int status;
  if (operand_failure(out, a, b, &status)) return status;
  const int wl = word_count - 1;
  const int64_t d = (int64_t)dec_exponent(b) - dec_exponent(a);
  // A zero operand is tested before the size rule: zero's exponent is 0, so a tiny x
  // would otherwise count as negligible against it and x + 0 would give 0.
  if (dec_is_zero(b)) return dec_copy(out, a);
  if (dec_is_zero(a) || d > internal_digits - 1) return dec_copy(out, b);
  if (-d > internal_digits - 1) return dec_copy(out, a);
  if (dec_sign(a) != dec_sign(b)) {
    int c = mag_compare(a, b);
    if (c == 0) return dec_zero(out);
    if (c > 0)
      mag_sub_shifted(out, a, b, wl, wl);
    else
      mag_sub_shifted(out, b, a, wl, wl);
    return dec_normalise(out);
  }
  if (d > 0)
    mag_add_shifted(out, b, a, wl, wl);
  else
    mag_add_shifted(out, a, b, wl, wl);
  return dec_carry_shift(out, wl);
}

int dec_sub(DecWord *out, const DecWord *a, const DecWord *b) {
  if (!out) return -1;
  int status;
  if (operand_failure(out, a, b, &status)) return status;
  const int wl = word_count - 1;
  const int64_t d = (int64_t)dec_exponent(b) - dec_exponent(a);
  if (dec_is_zero(b)) return dec_copy(out, a);  // before the size rule, as in dec_add
  if (dec_is_zero(a) || d > internal_digits - 1) {
    dec_copy(out, b);
    out[0] ^= 1;
    return 0;
  }
  if (dec_is_zero(b) || -d > internal_digits - 1) return dec_copy(out, a);
  if (dec_sign(a) != dec_sign(b)) {
    if (d > 0) {
      mag_add_shifted(out, b, a, wl, wl);
      out[0] ^= 1;
    } else {
      mag_add_shifted(out, a, b, wl, wl);
    }
    return dec_carry_shift(out, wl);
  }
  int c = mag_compare(a, b);
  if (c == 0) return dec_zero(out);
  if (c > 0) {
    mag_sub_shifted(out, a, b, wl, wl);
  } else {
    mag_sub_shifted(out, b, a, wl, wl);
    out[0] ^= 1;
  }
  return dec_normalise(out);
}
