// The basic operations of the exact mode: +, −, ×, ÷, remainder, 1/x, x², x³, √, ∛.
//
// Each computes the exact value, or an integer floor of it at a scale with more digits
// than the result keeps, and truncates that; floor(floor(v) / 10^k) = floor(v / 10^k), so
// the truncation is the true value's. No correctness loop is needed.
#include <cstring>

#include "core/addsub.h"
#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/run.h"

using namespace exact;

namespace {

int write_error(DecWord *out) {
  dec_set_marker(out, NUM_ERROR);
  return -1;
}

// floor(|a / b|) at a scale that keeps at least D + 1 digits, with the quotient's sign.
Dec quotient(const Dec &a, const Dec &b) {
  const int64_t D = internal_digits - 1;
  int64_t s = D + 1 + nat_digits(b.m) - nat_digits(a.m);
  if (s < 0) s = 0;
  Nat q = nat_div(nat_mul_pow10(a.m, s), b.m);
  return Dec{q, a.e - b.e - s, a.neg != b.neg};
}

// 10^k mod m for k ≥ 0 by square and multiply.
Nat pow10_mod(uint64_t k, const Nat &m) {
  Nat ten = nat_from_u64(10), acc = nat_from_u64(1);
  nat_divmod(acc, m, nullptr, &acc);
  int top = 63;
  while (top >= 0 && !((k >> top) & 1)) --top;
  for (int bit = top; bit >= 0; --bit) {
    cancel_check();
    nat_divmod(nat_sqr(acc), m, nullptr, &acc);
    if ((k >> bit) & 1) nat_divmod(nat_mul(acc, ten), m, nullptr, &acc);
  }
  return acc;
}

// floor(∛|y| or √|y|) at a scale with at least D + 1 digits: |y| × 10^s with
// (e − s) divisible by k, s ≥ 0 and the root long enough.
Dec root(const Dec &y, int k) {
  const int64_t D = internal_digits - 1;
  int64_t s = k * (D + 1) + k - nat_digits(y.m);
  if (s < 0) s = 0;
  while (((y.e - s) % k + k) % k != 0) ++s;
  Nat n = nat_mul_pow10(y.m, s);
  Nat r = k == 2 ? nat_sqrt(n) : nat_cbrt(n);
  return Dec{r, (y.e - s) / k, y.neg};
}

// ±x + ±y on the lane words themselves (no conversion to limbs): the larger magnitude a
// goes into a double-length buffer W (scratch slots 2 and 3, words 1 .. 2 word_count + 1),
// the smaller b (scratch slot 4, one zero word after it, so its last word's digits shifted
// past the alignment are added too) is added or subtracted exactly by the core's kernels at
// the exponent gap d ≤ D + 3 (a farther addend replaced as in sum()), and the D digits from
// the first non-zero position are written out, truncated. negate_y: the sign of y flipped.
int lane_sum(DecWord *out, const DecWord *x, const DecWord *y, bool negate_y) {
  const int D = internal_digits - 1;
  const bool y_neg = (dec_sign(y) != 0) != negate_y;
  if (dec_is_zero(y) || dec_is_zero(x)) {
    if (dec_is_zero(y)) {
      dec_copy(out, x);
    } else {
      dec_copy(out, y);
      if (negate_y) out[0] ^= 1u;
    }
    return 0;
  }
  const bool x_larger = mag_compare(x, y) >= 0;
  const DecWord *a = x_larger ? x : y, *b = x_larger ? y : x;
  const bool a_neg = x_larger ? dec_sign(x) != 0 : y_neg;
  const bool b_neg = x_larger ? y_neg : dec_sign(x) != 0;
  const int32_t ea = dec_exponent(a);
  DecWord *W = scratch_slot(2), *Q = scratch_slot(4);
  const int wc = word_count, last = 2 * wc + 1;
  std::memcpy(W, a, sizeof(DecWord) * (size_t)(wc + 1));
  std::memset(W + wc + 1, 0, sizeof(DecWord) * (size_t)(last - wc));
  dec_set_head(W, ea * 2);
  if ((int64_t)ea - dec_exponent(b) > D + 2) {
    // Too small to reach the result's digits: any addend below 10^(ea − D) truncates alike.
    std::memset(Q, 0, sizeof(DecWord) * (size_t)(wc + 2));
    Q[1] = (DecWord)1 << 21;
    dec_set_head(Q, (int32_t)((ea - D - 3) * 2));
  } else {
    std::memcpy(Q, b, sizeof(DecWord) * (size_t)(wc + 1));
    Q[wc + 1] = 0;
    dec_set_head(Q, dec_exponent(b) * 2);
  }
  if (a_neg == b_neg) {
    mag_add_shifted(W, W, Q, LEN_DOUBLE, wc);
  } else {
    mag_sub_shifted(W, W, Q, LEN_DOUBLE, wc);
  }
  // off: the first non-zero position − 1 (−1 for a carry into position 0).
  int first = 1;
  while (first <= last && W[first] == 0) ++first;
  if (first > last) {
    dec_zero(out);
    return 0;
  }
  int lane = 0;
  while (((W[first] >> (26 - 5 * lane)) & 31) == 0) ++lane;
  const int64_t off = 6 * (int64_t)(first - 1) + lane - 1;
  const int64_t exponent = (int64_t)ea - off;
  int status;
  if (exponent_out_of_range(out, exponent, &status)) return status;
  auto word = [&](int64_t i) -> DecWord { return i >= 1 && i <= last ? W[i] : 0; };
  if (off < 0) {
    for (int i = wc; i >= 2; --i) out[i] = (W[i] >> 5) | ((W[i - 1] & 0x3F) << 25);
    out[1] = W[1] >> 5;
  } else {
    const int64_t ws = off / 6;
    const int sh = (int)(off % 6) * 5;
    for (int i = 1; i <= wc; ++i) {
      out[i] = sh == 0 ? word(i + ws)
                       : ((word(i + ws) << sh) & 0x7FFFFFFF) | (word(i + ws + 1) >> (30 - sh));
    }
  }
  dec_set_head(out, (int32_t)(exponent * 2 + (a_neg ? 1 : 0)));
  return 0;
}

}  // namespace

int exact_add(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    return lane_sum(out, x, y, false);
  });
}

int exact_sub(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    return lane_sum(out, x, y, true);
  });
}

int exact_mul(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    return dx_write(out, dx_mul(dx_of(x), dx_of(y)));
  });
}

int exact_div(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    Dec a = dx_of(x), b = dx_of(y);
    if (dx_is_zero(b)) return write_error(out);
    if (dx_is_zero(a)) return dx_write(out, a);
    return dx_write(out, quotient(a, b));
  });
}

int exact_mod(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    Dec a = dx_of(x), b = dx_of(y);
    if (dx_is_zero(b)) return write_error(out);
    if (dx_is_zero(a) || dx_cmp_abs(a, b) < 0) return dx_write(out, a);
    // |x| ≥ |y|: r = x − trunc(x / y) y has x's sign and |r| = |x| mod |y|, computed on
    // the integers at the smaller exponent (10^(a.e − b.e) reduced modulo |y| first, as
    // that exponent gap may be huge).
    Nat r;
    int64_t e;
    if (a.e >= b.e) {
      Nat p = pow10_mod((uint64_t)(a.e - b.e), b.m);
      nat_divmod(nat_mul(a.m, p), b.m, nullptr, &r);
      e = b.e;
    } else {
      nat_divmod(a.m, nat_mul_pow10(b.m, b.e - a.e), nullptr, &r);
      e = a.e;
    }
    return dx_write(out, Dec{r, e, a.neg && r.n != 0});
  });
}

int exact_reciprocal(DecWord *out, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, y)) return -1;
    Dec b = dx_of(y);
    if (dx_is_zero(b)) return write_error(out);
    return dx_write(out, quotient(dx_from_i64(1), b));
  });
}

int exact_square(DecWord *out, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, y)) return -1;
    Dec a = dx_of(y);
    return dx_write(out, dx_mul(a, a));
  });
}

int exact_cube(DecWord *out, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, y)) return -1;
    Dec a = dx_of(y);
    return dx_write(out, dx_mul(dx_mul(a, a), a));
  });
}

int exact_sqrt(DecWord *out, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, y)) return -1;
    Dec a = dx_of(y);
    if (a.neg) return write_error(out);
    if (dx_is_zero(a)) return dx_write(out, a);
    return dx_write(out, root(a, 2));
  });
}

int exact_cbrt(DecWord *out, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, y)) return -1;
    Dec a = dx_of(y);
    if (dx_is_zero(a)) return dx_write(out, a);
    return dx_write(out, root(a, 3));
  });
}
