// Integer functions of the exact mode: gcd(a, b), a^b mod m and binomial(n, k).
//
// Operands are the register values as held: an integer may carry a decimal exponent far
// beyond its digits (1e999999999), so a large integer is kept as M × 10^e and reduced
// modulo the other operand with 10^e mod m by square and multiply, never written out.
//
// gcd: gcd(A 10^e, B 10^f) = 10^min(e,f) gcd(A 10^(e−min), B 10^(f−min)); the longer side is
// reduced modulo the other first, then Lehmer's algorithm: the leading 18 digits of both
// numbers run Euclid's steps on machine words while the quotients are certain (Knuth's test
// with the cofactor bounds), and one 2 × 2 cofactor step on the full numbers replaces them
// all; a plain division step when no quotient is certain. The result is an exact integer,
// non-negative; gcd(0, 0) = 0.
//
// a^b mod m: the result in [0, |m|) for integers a, b, m ≠ 0 (a^0 mod m = 1 mod |m|). A
// negative b takes the inverse of a modulo m (extended Euclid), ERROR when there is none.
// Left to right over b's decimal digits: r ← r^10 a^d mod m with a^0 .. a^9 tabled, each
// product reduced by Barrett's method with μ = floor(BASE^(2n) / m) (the quotient estimate is
// at most two below the true one: at most two corrections). The exponent's trailing zeros
// (b = B 10^k) are k more steps r ← r^10; the steps publish their progress.
//
// binomial(n, k) = n (n−1) … (n−k+1) / k! for an integer k and any n as held: 0 for k < 0, 1
// for k = 0, 0 for an integer n ≥ 0 below k, (−1)^k binomial(k − n − 1, k) for an integer
// n < 0, and the shorter of k and n − k for an integer n ≥ 0. With n = N / 10^s the value is
// the rational Π (N − j 10^s) / (10^(sk) k!): computed exactly by product trees and one
// division while the numerator stays below 4,000,000 digits, so short results
// (binomial(2.5, 2) = 1.875) come out exactly. Beyond, both products are truncated
// (exact/special.h: each cut keeps K limbs, the counts bound the relative error) and the
// correctness loop decides: an integer result with more digits than D plus its at most
// log5(n) trailing zeros (Kummer) is never on a truncation boundary. Results past the
// exponent range are estimated from lgamma first: OVERFLOW, or zero below the range.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"

namespace exact {

namespace {

// ---- integers as M × 10^e -------------------------------------------------------------------
struct BigInt {
  Nat m;         // |value| = m × 10^e, m without trailing zero digits
  int64_t e = 0;
  bool neg = false;
};

// The integer the register holds; false when it is not an integer.
bool integer_of(const Dec &x, BigInt *out) {
  if (!dx_is_integer(x)) return false;
  BigInt b;
  b.neg = x.neg;
  if (x.m.n == 0) {
    *out = b;
    return true;
  }
  const int64_t z = nat_trailing_zero_digits(x.m);
  b.m = nat_div_pow10(x.m, z);
  b.e = x.e + z;
  *out = b;
  return true;
}

// 10^k mod m for k ≥ 0 by square and multiply.
Nat pow10_mod(uint64_t k, const Nat &m) {
  Nat acc;
  nat_divmod(nat_from_u64(1), m, nullptr, &acc);
  int top = 63;
  while (top >= 0 && !((k >> top) & 1)) --top;
  for (int bit = top; bit >= 0; --bit) {
    cancel_check();
    nat_divmod(nat_sqr(acc), m, nullptr, &acc);
    if ((k >> bit) & 1) nat_divmod(nat_mul_small(acc, 10), m, nullptr, &acc);
  }
  return acc;
}

// |x| mod m (m ≠ 0).
Nat big_mod(const BigInt &x, const Nat &m) {
  Nat r;
  if (x.m.n == 0) return r;
  if (x.e == 0) {
    nat_divmod(x.m, m, nullptr, &r);
    return r;
  }
  nat_divmod(nat_mul(x.m, pow10_mod((uint64_t)x.e, m)), m, nullptr, &r);
  return r;
}

// ---- a^b mod m ------------------------------------------------------------------------------
struct Barrett {
  Nat m, mu;
  int n;
};

Barrett barrett_of(const Nat &m) {
  Barrett b;
  b.m = m;
  b.n = m.n;
  b.mu = nat_div(nat_shift_limbs(nat_from_u64(1), 2 * (int64_t)m.n), m);
  return b;
}

// t mod m for t < m² (t < BASE^(2n)): q = floor(floor(t / BASE^(n−1)) μ / BASE^(n+1)) is at
// most two below floor(t / m).
Nat barrett_reduce(const Barrett &b, const Nat &t) {
  Frame f;
  const Nat q = nat_high_limbs(nat_mul(nat_high_limbs(t, b.n - 1), b.mu), b.n + 1);
  Nat r = nat_sub(t, nat_mul(q, b.m));
  while (nat_cmp(r, b.m) >= 0) r = nat_sub(r, b.m);
  r = nat_copy(r);
  f.keep({&r});
  return r;
}

Nat mulmod(const Barrett &b, const Nat &x, const Nat &y) { return barrett_reduce(b, nat_mul(x, y)); }

// The inverse of a modulo m (0 ≤ a < m), or false when gcd(a, m) ≠ 1: extended Euclid with
// the cofactor of a kept as an Int.
bool inverse_mod(const Nat &a, const Nat &m, Nat *inv) {
  Frame f;
  Nat r0 = m, r1 = a;
  Int s0{}, s1 = int_from_i64(1);
  LoopBase lb;
  while (r1.n != 0) {
    cancel_check();
    Nat q, r;
    nat_divmod(r0, r1, &q, &r);
    Int s = int_sub(s0, int_mul(int_from(q, false), s1));
    r0 = r1;
    r1 = r;
    s0 = s1;
    s1 = s;
    lb.settle({&r0, &r1, &s0.m, &s1.m});
  }
  if (!(r0.n == 1 && r0.d[0] == 1)) return false;
  Int v = int_div_floor(s0, m);  // the quotient; the remainder is s0 − v m
  Int rem = int_sub(s0, int_mul(v, int_from(m, false)));
  Nat out = nat_copy(rem.m);
  f.keep({&out});
  *inv = out;
  return true;
}

int powmod(DecWord *out, const BigInt &a, const BigInt &b, const BigInt &m) {
  Frame f;
  const Nat M = m.e ? nat_mul_pow10(m.m, m.e) : m.m;  // |m| has at most D digits here
  if (M.n == 1 && M.d[0] == 1) return dec_zero(out);
  Nat base = big_mod(a, M);
  if (a.neg && base.n) base = nat_sub(M, base);
  if (b.neg) {
    Nat inv;
    if (!inverse_mod(base, M, &inv)) return error_with(out, "powmod: a has no inverse modulo m");
    base = inv;
  }
  const Barrett br = barrett_of(M);
  Nat table[10];
  nat_divmod(nat_from_u64(1), M, nullptr, &table[0]);
  for (int d = 1; d < 10; ++d) table[d] = mulmod(br, table[d - 1], base);
  // The exponent's digits, most significant first, then e zeros.
  const int64_t nd = nat_digits(b.m), total = nd + b.e;
  Nat r = table[0];
  ProgressLoop loop;
  LoopBase lb;
  for (int64_t i = 0; i < total; ++i) {
    cancel_check();
    if ((i & 63) == 0) loop.set((int)(1000.0 * (double)i / (double)total), 1000);
    uint32_t d = 0;
    if (i < nd) {
      const int64_t pos = nd - 1 - i;  // decimal position from the units
      uint32_t limb = b.m.d[pos / BASE_DIGITS];
      for (int64_t t = 0; t < pos % BASE_DIGITS; ++t) limb /= 10;
      d = limb % 10;
    }
    Nat r2 = mulmod(br, r, r), r4 = mulmod(br, r2, r2), r8 = mulmod(br, r4, r4);
    r = mulmod(br, r8, r2);
    if (d) r = mulmod(br, r, table[d]);
    lb.settle({&r});
  }
  return dx_write(out, dx_make(r, 0, false));
}

// ---- binomial -------------------------------------------------------------------------------
constexpr double EXACT_DIGITS = 4e6;  // the exact quotient's working memory stays within the arena

// Π_{j=a}^{b−1} factor(j), exactly; the leaves publish the share of [0, total) done.
template <class Factor>
Nat product_exact(int64_t a, int64_t b, const Factor &factor, const ProgressLoop &loop, double total) {
  if (b - a <= 8) {
    Nat r = nat_from_u64(1);
    for (int64_t j = a; j < b; ++j) r = nat_mul(r, factor(j));
    loop.set((int)(1000.0 * (double)b / total), 1000);
    return r;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  Nat r = nat_mul(product_exact(a, m, factor, loop, total), product_exact(m, b, factor, loop, total));
  f.keep({&r});
  return r;
}

// The same product with every node truncated to K limbs (exact/special.h).
template <class Factor>
Fl product_fl(int64_t a, int64_t b, int K, const Factor &factor, const ProgressLoop &loop, double total) {
  if (b - a <= 8) {
    Fl r = fl_from_nat(nat_from_u64(1));
    for (int64_t j = a; j < b; ++j) r = fl_mul(r, fl_from_nat(factor(j)), K);
    loop.set((int)(1000.0 * (double)b / total), 1000);
    return r;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  Fl r = fl_mul(product_fl(a, m, K, factor, loop, total), product_fl(m, b, K, factor, loop, total), K);
  f.keep({&r.m});
  return r;
}

int binomial_gamma(DecWord *out, const Dec &n, const Dec &k);

// The same over factors that are already truncated numbers.
template <class Factor>
Fl product_fl_of(int64_t a, int64_t b, int K, const Factor &factor, const ProgressLoop &loop, double total) {
  if (b - a <= 8) {
    Fl r = fl_from_nat(nat_from_u64(1));
    for (int64_t j = a; j < b; ++j) r = fl_mul(r, factor(j), K);
    loop.set((int)(1000.0 * (double)b / total), 1000);
    return r;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  Fl r = fl_mul(product_fl_of(a, m, K, factor, loop, total), product_fl_of(m, b, K, factor, loop, total), K);
  f.keep({&r.m});
  return r;
}

int binomial(DecWord *out, Dec n, int64_t k) {
  const Dec one = dx_from_i64(1);
  bool neg = false;
  if (k < 0) return dec_zero(out);
  if (k == 0) return dx_write(out, one);
  // (An integer n beyond 10^18 is far beyond k: nothing to shorten, and its factors are
  // taken as they are below, n never written out.)
  if (dx_is_integer(n) && dx_magnitude(n) < 18) {
    if (n.neg) {
      // binomial(n, k) = (−1)^k binomial(k − n − 1, k).
      n = dx_sub(dx_sub(dx_from_i64(k), n), one);
      neg = (k & 1) != 0;
    }
    const Dec nk = dx_sub(n, dx_from_i64(k));
    if (nk.neg) return dec_zero(out);
    int64_t r;
    if (dx_to_i64(nk, &r) && r < k) k = r;  // the shorter product
    if (k == 0) return dx_write(out, one);
  }
  // n = ±N / 10^s with N an integer. The factors n − j (j < k) are positive for j < jpos
  // (j < n), negative beyond: |n − j| = (j S − N) / S for n > 0, (j S + N) / S for n < 0.
  const int64_t s = n.e < 0 ? -n.e : 0;
  int64_t jpos = 0;
  if (!n.neg) {
    int64_t ip;
    jpos = dx_to_i64(n, &ip) ? std::min<int64_t>(k, ip + 1) : k;
    if (dx_is_integer(n)) jpos = k;  // n ≥ k here: every factor is positive (n − j ≥ n − k + 1)
  }
  if ((k - jpos) % 2 == 1) neg = !neg;
  // log10 |result|, for the exponent range: from lgamma (log |Γ|), or k log10 |n| − log10 k!
  // for an n far beyond k.
  const double ln10 = std::log(10.0), kd = (double)k;
  const double lmag = nat_log10(n.m) + (double)n.e;  // log10 |n|
  double lg;
  if (lmag > 15 && lmag > std::log10(kd) + 3) {
    lg = kd * lmag - std::lgamma(kd + 1) / ln10;
  } else {
    const double nd = (n.neg ? -1.0 : 1.0) * std::pow(10.0, lmag);
    lg = (std::lgamma(nd + 1) - std::lgamma(nd - kd + 1) - std::lgamma(kd + 1)) / ln10;
    if (!std::isfinite(lg)) lg = 0;
  }
  if (lg > (double)DEC_EXP_MAX + 2) {
    dec_set_marker(out, NUM_OVERFLOW);
    return -1;
  }
  if (lg < (double)DEC_EXP_MIN - 2) return dec_zero(out);
  auto down = [&](int64_t j) -> Nat { return nat_from_u64((uint64_t)(j + 1)); };  // k!
  ProgressLoop loop;
  const double total = 2 * kd;
  const double num_digits = kd * (std::max(lmag + (double)s, (double)s + std::log10(kd + 1)) + 1);
  // N and S are written out only where they are short enough (an n of 10^(10^8) is not).
  Nat N, S;
  auto factor = [&](int64_t j) -> Nat {
    const Nat js = nat_mul_u64(S, (uint64_t)j);
    if (j < jpos) return nat_sub(N, js);
    return n.neg ? nat_add(js, N) : nat_sub(js, N);
  };
  if (num_digits > EXACT_DIGITS && !dx_is_integer(n)) return binomial_gamma(out, n, dx_from_i64(k));
  if (num_digits <= EXACT_DIGITS) {
    N = n.e > 0 ? nat_mul_pow10(n.m, n.e) : n.m;
    S = nat_mul_pow10(nat_from_u64(1), s);
    const Nat num = product_exact(0, k, factor, loop, total);
    const Nat den = nat_mul_pow10(product_exact(0, k, down, loop, total), s * k);
    return write_ratio(out, num, den, neg);
  }
  // A huge |n| (beyond 10^(6K + 44), so an integer, s = 0) is not written out: its factors'
  // truncations to K limbs are lower bounds from n's own digits, |n − j| ≥ (n' − 1) BASE^E
  // with n' = n's mantissa widened to K limbs (for n > 0, j ≥ 1: one count), |n| + j ≥ |n|
  // (n < 0: j ≤ 10^18 is below |n| BASE^(1−K), one count).
  auto huge_factor = [&](int64_t j, int K) -> Fl {
    Fl f = fl_from_dec(Dec{n.m, n.e, false});
    if (f.m.n < K) {
      f.e -= K - f.m.n;
      f.m = nat_shift_limbs(f.m, K - f.m.n);
    }
    if (j == 0) return f;
    if (!n.neg) f.m = nat_sub_small(f.m, 1);
    f.c = 1;
    return f;
  };
  return ziv_loop(out, [&](int64_t w, Approx *a) {
    const int K = limbs_for(w) + 3;
    Fl num;
    if (lmag > 6.0 * K + 44) {
      num = product_fl_of(0, k, K, [&](int64_t j) { return huge_factor(j, K); }, loop, total);
    } else {
      if (N.n == 0) {
        N = n.e > 0 ? nat_mul_pow10(n.m, n.e) : n.m;
        S = nat_mul_pow10(nat_from_u64(1), s);
      }
      num = product_fl(0, k, K, factor, loop, total);
    }
    const Fl den = product_fl(0, k, K, down, loop, total);
    Approx q = fl_quotient(num, den, K);
    q.e -= s * k;  // the denominator's 10^(sk)
    if (neg) q.mid = int_neg(q.mid);
    *a = q;
    return 0;
  });
}

// binomial(n, k) for a non-integer n by Γ, where the product would be too long (or by its
// first term for a tiny n):
//   n > k − 1: Γ(n + 1) / (Γ(k + 1) Γ(n − k + 1)), all three positive;
//   else:      (−1)^k Γ(k − n) / (Γ(−n) Γ(k + 1)), k − n > 1,
// the logarithms (of size up to about k ln k + n ln n) at as many more digits, then one
// exponential. (A non-integer n gives a value whose exact decimal, if it ends, is far longer
// than the precision at these k: the enclosures decide.)
int binomial_gamma(DecWord *out, const Dec &n, const Dec &k) {
  const double ln10 = std::log(10.0);
  const double lk = nat_log10(k.m) + (double)k.e, ln_n = nat_log10(n.m) + (double)n.e;
  const Dec one = dx_from_i64(1);
  if (ln_n + std::log10(lk * ln10 + 2) < -((double)internal_digits + 8)) {
    // A tiny n: (−1)^(k−1) (n / k) Π_{j<k} (1 − n / j), the product within 2 |n| (ln k + 1) of
    // 1, below 1 for n > 0 and above it for n < 0: the quotient, nudged that way.
    const bool odd = dx_is_odd_integer(k);
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      Approx q = ap_nudge(ap_quotient(n, k, w + 4), n.neg ? 1 : -1);
      if (!odd) q.mid = int_neg(q.mid);
      *a = q;
      return 0;
    });
  }
  const bool upper = dx_cmp(n, dx_sub(k, one)) > 0;
  const bool neg = !upper && dx_is_odd_integer(k);
  // log10 |C| for the exponent range: k log10(n/k) + … for n far beyond, else about
  // −(n + 1) log10 k − log10 |Γ(−n)|.
  double lg;
  if (upper) {
    const double nd = std::pow(10.0, std::min(ln_n, 300.0)), kd = std::pow(10.0, std::min(lk, 300.0));
    lg = (std::lgamma(nd + 1) - std::lgamma(kd + 1) - std::lgamma(nd - kd + 1)) / ln10;
    if (!std::isfinite(lg)) lg = kd * (ln_n - lk + 0.5);
  } else {
    const double nd = (n.neg ? -1.0 : 1.0) * std::pow(10.0, std::min(ln_n, 300.0));
    lg = -(nd + 1) * lk - std::lgamma(-nd) / ln10;
    if (!std::isfinite(lg)) lg = -(nd + 1) * lk;
  }
  if (lg > (double)DEC_EXP_MAX + 2) {
    dec_set_marker(out, NUM_OVERFLOW);
    return -1;
  }
  if (lg < (double)DEC_EXP_MIN - 2) return dec_zero(out);
  const int64_t big = (int64_t)std::ceil(std::max(lk, ln_n) + std::log10(std::max(lk, ln_n) * ln10 + 2)) + 2;
  bool too_large = false;
  const int status = ziv_ap(out, [&](int64_t w) {
    const int64_t wl = w + big + 6;
    Approx r;
    if (upper) {
      const Approx L = ap_sub(ap_sub(lngamma_real(dx_add(n, one), wl, &too_large),
                                     lngamma_real(dx_add(k, one), wl, &too_large), wl),
                              lngamma_real(dx_add(dx_sub(n, k), one), wl, &too_large), wl);
      r = ap_exp(L, w + 3);
    } else {
      const Approx L = ap_sub(lngamma_real(dx_sub(k, n), wl, &too_large),
                              lngamma_real(dx_add(k, one), wl, &too_large), wl);
      r = ap_div(ap_exp(L, w + 4), gamma_real(dx_neg(n), w + 4), w + 3);
    }
    if (neg) r.mid = int_neg(r.mid);
    return too_large ? ap_undecided() : r;
  });
  if (too_large) return error_with(out, "binomial: y too large for this precision");
  return status;
}

// binomial(−m, k) = (−1)^k binomial(k + m − 1, m − 1) for k ≥ 10^18 and 2 ≤ m < 10^18: k + m − 1
// written out when the product stays within EXACT_DIGITS, else the product of k + j (j < m)
// from k's digits truncated (each at least k widened to K limbs, one count) over (m − 1)!.
int binomial_negative(DecWord *out, const Dec &k, int64_t m) {
  const bool neg = dx_is_odd_integer(k);
  const double lk = nat_log10(k.m) + (double)k.e;
  Dec r;
  if ((double)(m - 1) * (lk + 1) <= EXACT_DIGITS) {
    const Dec n = dx_add(k, dx_from_i64(m - 1));
    const int status = binomial(out, n, m - 1);
    if (neg && dec_head(out) != NUM_ERROR && dec_head(out) != NUM_OVERFLOW && !dec_is_zero(out)) out[0] ^= 1u;
    return status;
  }
  ProgressLoop loop;
  return ziv_loop(out, [&](int64_t w, Approx *a) {
    const int K = limbs_for(w) + 3;
    auto factor = [&](int64_t) -> Fl {
      Fl f = fl_from_dec(k);
      if (f.m.n < K) {
        f.e -= K - f.m.n;
        f.m = nat_shift_limbs(f.m, K - f.m.n);
      }
      f.c = 1;
      return f;
    };
    auto down = [&](int64_t j) -> Nat { return nat_from_u64((uint64_t)(j + 1)); };
    const Fl num = product_fl_of(0, m - 1, K, factor, loop, 2.0 * (double)m);
    const Fl den = product_fl(0, m - 1, K, down, loop, 2.0 * (double)m);
    Approx q = fl_quotient(num, den, K);
    if (neg) q.mid = int_neg(q.mid);
    *a = q;
    return 0;
  });
}

}  // namespace

}  // namespace exact

using namespace exact;

int exact_gcd(DecWord *out, const DecWord *x, const DecWord *y) {
  if (pass_markers(out, x, y)) return -1;
  return run_exact(out, [&]() -> int {
    BigInt a, b;
    if (!integer_of(dx_of(x), &a) || !integer_of(dx_of(y), &b))
      return error_with(out, "gcd: x and y must be integers");
    if (a.m.n == 0) return dx_write(out, dx_make(b.m, b.e, false));
    if (b.m.n == 0) return dx_write(out, dx_make(a.m, a.e, false));
    // 10^min(e, f) out; the side with the larger exponent reduced modulo the other.
    const int64_t e = std::min(a.e, b.e);
    a.e -= e;
    b.e -= e;
    if (a.e > 0) a = BigInt{big_mod(a, b.m), 0, false};
    if (b.e > 0) b = BigInt{big_mod(b, a.m), 0, false};
    const Nat g = a.m.n == 0 ? b.m : b.m.n == 0 ? a.m : nat_gcd(a.m, b.m);
    return dx_write(out, dx_make(g, e, false));
  });
}

int exact_powmod(DecWord *out, const DecWord *a, const DecWord *b, const DecWord *m) {
  if (pass_markers(out, a, b)) return -1;
  if (pass_markers(out, m)) return -1;
  return run_exact(out, [&]() -> int {
    BigInt A, B, M;
    if (!integer_of(dx_of(a), &A) || !integer_of(dx_of(b), &B) || !integer_of(dx_of(m), &M))
      return error_with(out, "powmod: a, b and m must be integers");
    if (M.m.n == 0) return error_with(out, "powmod: the modulus m is 0");
    if (nat_digits(M.m) + M.e > 2 * (int64_t)internal_digits + 100)
      return error_with(out, "powmod: the modulus is too long for the precision");
    return powmod(out, A, B, M);
  });
}

int exact_binomial(DecWord *out, const DecWord *n, const DecWord *k) {
  if (pass_markers(out, n, k)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec N = dx_of(n), K = dx_of(k);
    if (!dx_is_integer(K)) return error_with(out, "binomial: y must be an integer");
    if (K.neg) return dec_zero(out);
    int64_t kv;
    if (dx_to_i64(K, &kv)) return binomial(out, N, kv);
    // k ≥ 10^18.
    if (!dx_is_integer(N)) return binomial_gamma(out, N, K);
    const int64_t mn = dx_magnitude(N), mk = dx_magnitude(K);
    if (!N.neg) {
      // 0 below k; n − k (both of like size) for the shorter product; far above k the
      // result is beyond (n / k)^k.
      if (mn < mk - 1) return dec_zero(out);
      if (mn <= mk + 1) {
        const Dec nk = dx_sub(N, K);
        int64_t r;
        if (nk.neg) return dec_zero(out);
        if (dx_to_i64(nk, &r)) return binomial(out, N, r);
      }
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    // n = −m: (−1)^k binomial(k + m − 1, m − 1), of size k^(m−1) / (m−1)!.
    int64_t m;
    if (!dx_to_i64(N, &m) || (double)(-m - 1) * (double)mk > (double)DEC_EXP_MAX + 2) {
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    m = -m;
    if (m == 1) return dx_write(out, dx_from_i64(dx_is_odd_integer(K) ? -1 : 1));
    return binomial_negative(out, K, m);
  });
}
