// The basic operations of the exact mode: +, −, ×, ÷, remainder, 1/x, x², x³, √, ∛.
//
// Each computes the exact value, or an integer floor of it at a scale with more digits
// than the result keeps, and truncates that; floor(floor(v) / 10^k) = floor(v / 10^k), so
// the truncation is the true value's. No correctness loop is needed.
#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/run.h"

using namespace exact;

namespace {

int write_error(DecWord *out) {
  dec_set_marker(out, NUM_ERROR);
  return -1;
}

// a + b, with an addend too small to reach the result's digits replaced by one that is
// also too small: any t with 0 < |t| < 10^(mag − D) (mag the larger operand's magnitude,
// D = internal_digits − 1) leaves the truncation of big ± t unchanged, since big is a
// multiple of 10^(mag − D + 1), and the exact sum stays short.
Dec sum(const Dec &a, const Dec &b) {
  if (dx_is_zero(a) || dx_is_zero(b)) return dx_add(a, b);
  const int64_t D = internal_digits - 1;
  const int64_t ma = dx_magnitude(a), mb = dx_magnitude(b);
  if (ma - mb > D + 2) return dx_add(a, dx_from_i64(b.neg ? -1 : 1, ma - D - 3));
  if (mb - ma > D + 2) return dx_add(dx_from_i64(a.neg ? -1 : 1, mb - D - 3), b);
  return dx_add(a, b);
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

}  // namespace

int exact_add(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    return dx_write(out, sum(dx_of(x), dx_of(y)));
  });
}

int exact_sub(DecWord *out, const DecWord *x, const DecWord *y) {
  return run_exact(out, [&] {
    if (pass_markers(out, x, y)) return -1;
    return dx_write(out, sum(dx_of(x), dx_neg(dx_of(y))));
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
