#include "exact/special.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/trig_core.h"

namespace exact {

LoopBase::LoopBase() : base_(arena_top()), base_ptr_(arena_alloc(0)) {}

void LoopBase::settle(std::initializer_list<Nat *> nats) {
  Nat *order[16];
  int count = 0;
  for (Nat *n : nats)
    if (n->n > 0 && n->d >= base_ptr_) order[count++] = n;
  std::sort(order, order + count, [](const Nat *a, const Nat *b) { return a->d < b->d; });
  uint32_t *at = base_ptr_;
  const uint32_t *prev_src = nullptr;
  uint32_t *prev_dst = nullptr;
  for (int i = 0; i < count; ++i) {
    Nat *n = order[i];
    if (n->d == prev_src) {  // the same limbs twice: moved already
      n->d = prev_dst;
      continue;
    }
    prev_src = n->d;
    std::memmove(at, n->d, sizeof(uint32_t) * (size_t)n->n);
    n->d = prev_dst = at;
    at += ((size_t)n->n + 1) & ~(size_t)1;
  }
  arena_set_top(base_ + (size_t)(at - base_ptr_));
}

int error_with(DecWord *out, const char *message) {
  dec_set_marker(out, NUM_ERROR);
  exact_set_message(message);
  return -1;
}

int write_ratio(DecWord *out, const Nat &num, const Nat &den, bool neg) {
  if (num.n == 0) return dec_zero(out);
  Frame f;
  const int64_t t = std::max<int64_t>(0, internal_digits + 2 + nat_digits(den) - nat_digits(num));
  const Nat q = nat_div(nat_mul_pow10(num, t), den);
  return dx_write(out, dx_make(q, -t, neg));
}

bool dx_is_odd_integer(const Dec &x) {
  if (x.m.n == 0 || x.e > 0 || !dx_is_integer(x)) return false;
  Frame f;
  uint32_t r;
  nat_divmod_small(nat_div_pow10(x.m, -x.e), 2, &r);
  return r == 1;
}

Nat nat_lead(const Nat &a, int limbs, int64_t *dropped) {
  if (a.n <= limbs) {
    *dropped = 0;
    return a;
  }
  *dropped = a.n - limbs;
  return nat_high_limbs(a, a.n - limbs);
}

// ---- truncated positive numbers -----------------------------------------------------------
Fl fl_from_nat(const Nat &m, int64_t e) {
  Fl f;
  f.m = m;
  f.e = e;
  return f;
}

Fl fl_from_dec(const Dec &x) {
  Fl f;
  if (x.m.n == 0) return f;
  // floor division of the exponent: x = m 10^e = (m 10^(e − 6E)) BASE^E.
  const int64_t E = x.e >= 0 ? x.e / BASE_DIGITS : -((-x.e + BASE_DIGITS - 1) / BASE_DIGITS);
  f.m = nat_mul_pow10(x.m, x.e - BASE_DIGITS * E);
  f.e = E;
  return f;
}

Fl fl_trunc(const Fl &a, int K) {
  if (a.m.n <= K) return a;
  Fl r;
  const int drop = a.m.n - K;
  r.m = nat_high_limbs(a.m, drop);
  r.e = a.e + drop;
  r.c = a.c + 1;
  return r;
}

// A product keeps its columns from `from` on when it is long: at least BASE^(K+4) units of
// BASE^from, lowered by less than 2 min(na, nb) BASE of them (nat_mul_top), a relative
// change below BASE^(−K−1): one count, and one more for the cut to K limbs.
Fl fl_mul(const Fl &a, const Fl &b, int K) {
  Fl r;
  if (a.m.n == 0 || b.m.n == 0) return r;
  const int from = a.m.n + b.m.n - K - 6;
  r.c = a.c + b.c;
  r.e = a.e + b.e;
  if (from > 0) {
    r.m = nat_mul_top(a.m, b.m, from);
    r.e += from;
    r.c += 1;
  } else {
    r.m = nat_mul(a.m, b.m);
  }
  return fl_trunc(r, K);
}

// Both operands aligned at st = (the higher top) − K − 2 limbs or lower: an operand's limbs
// below st are dropped (less than one unit of BASE^st, against a sum of at least
// BASE^(st + K + 1): a relative change below BASE^(−K−1), one count).
Fl fl_add(const Fl &a, const Fl &b, int K) {
  if (a.m.n == 0) return b;
  if (b.m.n == 0) return a;
  const int64_t top = std::max(a.e + a.m.n, b.e + b.m.n);
  const int64_t st = std::max(std::min(a.e, b.e), top - K - 2);
  bool cut = false;
  auto aligned = [&](const Fl &x) -> Nat {
    if (x.e >= st) return nat_shift_limbs(x.m, x.e - st);
    cut = true;
    const int64_t drop = st - x.e;
    if (drop >= x.m.n) return Nat{};
    return nat_high_limbs(x.m, (int)drop);
  };
  Fl r;
  r.m = nat_add(aligned(a), aligned(b));
  r.e = st;
  r.c = std::max(a.c, b.c) + (cut ? 1 : 0);
  return fl_trunc(r, K);
}

// q = floor(a BASE^s / b) with about K − 1 limbs (q < BASE^(K−1)); the true quotient lies
// within a factor (1 + ε)^max(ca, cb) of a / b (ε = BASE^(1−K)), so |true − q| ≤ 1 (the
// floor) + (q + 1) 1.02 max(ca, cb) ε ≤ 2 + 1.02 max(ca, cb) units.
Approx fl_quotient(const Fl &a, const Fl &b, int K) {
  Approx r;
  if (a.m.n == 0) return r;
  const int64_t s = (int64_t)K - 2 - (a.m.n - b.m.n);
  Nat q;
  if (s >= 0) q = nat_div(nat_shift_limbs(a.m, s), b.m);
  else q = nat_div(nat_high_limbs(a.m, (int)-s), b.m);
  r.e = BASE_DIGITS * (a.e - b.e - s);
  if (b.c == 0) {
    // An exact divisor: the true quotient is at least a / b ≥ q (a only truncated down), and
    // at most (q + 1)(1 + 1.02 ca ε): [q, q + 2 + 1.02 ca], one-sided (a quotient that is a
    // short decimal exactly at q stays decidable).
    const uint64_t half = (3 + (uint64_t)std::ceil(1.02 * (double)a.c)) / 2 + 1;
    r.mid = int_from(nat_add_small(q, (uint32_t)half), false);
    r.rad = half;
    return r;
  }
  r.mid = int_from(q, false);
  r.rad = 3 + (uint64_t)std::ceil(1.02 * (double)std::max(a.c, b.c));
  return r;
}

// ---- enclosures ---------------------------------------------------------------------------
Approx ap_nudge(const Approx &a, int dir) {
  Approx r = a;
  if (a.rad != 0) {
    r.rad += 1;
    return r;
  }
  // |v| ∈ (|m|, |m| + 1) or (|m| − 1, |m|) units: with m widened to more digits than a
  // result keeps (the unit then lies below its last digit), 10^t |m| ± (1 .. 9 of 10).
  const int64_t t = std::max<int64_t>(1, (int64_t)internal_digits + 3 - nat_digits(a.mid.m));
  const Nat m10 = nat_mul_pow10(a.mid.m, t);
  r.mid = int_from(dir > 0 ? nat_add_small(m10, 5) : nat_sub_small(m10, 5), a.mid.neg);
  r.e = a.e - t;
  r.rad = 4;
  return r;
}

Approx ap_quotient(const Dec &a, const Dec &b, int64_t w) {
  Frame f;
  const int64_t s = std::max<int64_t>(0, w + 4 + nat_digits(b.m) - nat_digits(a.m));
  Nat q, r;
  nat_divmod(nat_mul_pow10(a.m, s), b.m, &q, &r);
  Approx x;
  if (r.n == 0) {
    x.mid = int_from(nat_copy(q), a.neg != b.neg);
    x.e = a.e - b.e - s;
    f.keep({&x.mid.m});
    return x;
  }
  x = ap_div(ap_exact(a), ap_exact(b), w);
  x.mid.m = nat_copy(x.mid.m);
  f.keep({&x.mid.m});
  return x;
}

Approx approx_from_bounds(const Nat &lo, const Nat &hi, int p) {
  Frame f;
  uint32_t r;
  Nat mid = nat_divmod_small(nat_add(lo, hi), 2, &r);
  Nat rad = nat_sub(hi, mid);
  // Fewer limbs until the radius fits 40 bits: floor(mid / BASE^k) moves by less than one
  // new unit, the radius rounds up.
  int k = 0;
  while (rad.n - k > 2) ++k;
  Approx a;
  if (k == 0) {
    a = approx_fix(int_from(mid, false), p, nat_to_u64(rad));
  } else {
    a = approx_fix(int_from(nat_copy(nat_high_limbs(mid, k)), false), p - k,
                   nat_to_u64(nat_high_limbs(rad, k)) + 2);
  }
  a.mid.m = nat_copy(a.mid.m);
  f.keep({&a.mid.m});
  return a;
}

Int approx_to_fix(const Approx &a, int p, uint64_t *err) {
  const int64_t shift = a.e + BASE_DIGITS * (int64_t)p;  // mid × 10^shift units of BASE^−p
  if (shift >= 0) {
    // Scaling up is exact; a radius that would overflow saturates (the callers choose p
    // within the enclosure's own precision).
    uint64_t e = a.rad;
    for (int64_t i = 0; i < shift && e; ++i) {
      if (e > UINT64_MAX / 20) {
        e = UINT64_MAX >> 1;
        break;
      }
      e *= 10;
    }
    *err = e;
    return int_from(nat_mul_pow10(a.mid.m, shift), a.mid.neg);
  }
  // floor(mid / 10^−shift) is within one unit of mid / 10^−shift; the radius rounds up.
  const int64_t d = -shift;
  Nat q = nat_div_pow10(a.mid.m, d);
  Int m = int_from(q, a.mid.neg);
  uint64_t r = 0;
  if (a.rad) {
    const double scaled = (double)a.rad / std::pow(10.0, (double)d);
    r = scaled > 1e18 ? (UINT64_MAX >> 1) : (uint64_t)std::ceil(scaled);
  }
  *err = r + 1;
  return m;
}

Approx ap_pi(int64_t w) {
  const int p = limbs_for(w) + 1;
  return approx_fix(const_pi(p), p, 1);
}

double ap_log10(const Approx &a) { return nat_log10(a.mid.m) + (double)a.e; }

// sin(π f): with a = |f| = i + g0 (i the integer part), sin(π f) = ± sin(π g0) (the sign of
// f times (−1)^i), and sin(π g0) = sin(π g) for g = min(g0, 1 − g0) ∈ (0, 1/2]. For g ≤ 1/4
// the sine of u = πg ≤ 0.79, otherwise the cosine of π(1/2 − g) < 0.79 (sincos_fix). The
// angle at p limbs is floor(Π G / BASE^(p+2)) from π and u at p + 1 limbs (each within one
// unit below), within two units below the true angle: the value is within err + 2 units. A
// small g gets its leading zero limbs as extra precision, so the width stays relative; a g
// whose square is below 10^−(w + 12) gives πg (1 − ε), 0 < ε < (πg)²/6, from π directly.
Approx ap_sinpi(const Dec &f, int64_t w) {
  Dec a = f;
  a.neg = false;
  bool neg = f.neg;
  Dec g0;
  if (a.e >= 0) return Approx{};  // an integer: not used (the callers decide it)
  {
    const int64_t d = -a.e;
    const Nat ip = nat_div_pow10(a.m, d);
    uint32_t parity = 0;
    nat_divmod_small(ip, 2, &parity);
    if (parity) neg = !neg;
    g0 = dx_make(nat_sub(a.m, nat_mul_pow10(ip, d)), a.e, false);
  }
  const Dec half = dx_from_i64(5, -1), quarter = dx_from_i64(25, -2);
  Dec g = g0;
  if (dx_cmp(g0, half) > 0) g = dx_sub(dx_from_i64(1), g0);
  Approx r;
  const int64_t mag = dx_magnitude(g);
  if (2 * mag < -(w + 12)) {
    r = ap_mul(ap_pi(w + 4), ap_exact(g), w + 4);
    r.rad += 1;
  } else {
    const bool use_sin = dx_cmp(g, quarter) <= 0;
    const Dec u = use_sin ? g : dx_sub(half, g);
    const int extra = use_sin && mag < 0 ? (int)(-mag / BASE_DIGITS) : 0;
    const int p = limbs_for(w) + 2 + extra;
    const Int G = fix_from_dec(u, p + 1);
    const Int PI = const_pi(p + 1);
    const Nat R = nat_high_limbs(nat_mul(PI.m, G.m), p + 2);
    Int S, C;
    uint64_t err;
    sincos_fix(R, p, &S, &C, &err);
    r = approx_fix(use_sin ? S : C, p, err + 2);
  }
  if (neg) r.mid = int_neg(r.mid);
  return r;
}

// ---- gcd (Lehmer) ------------------------------------------------------------------------------------
// x = c1 x + c2 y for the new x (in place into out) with signed cofactors |c| < 2^40; the
// result is known to be non-negative.
namespace {

Nat lin_comb(const Nat &x, int64_t c1, const Nat &y, int64_t c2) {
  const int n = std::max(x.n, y.n);
  Nat out = nat_alloc(n + 2);
  int64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    // |c| < 2^40, limbs < 10^6 < 2^20: |t| < 2^62.
    const int64_t t = (i < x.n ? c1 * (int64_t)x.d[i] : 0) + (i < y.n ? c2 * (int64_t)y.d[i] : 0) + carry;
    int64_t q = t / (int64_t)BASE, r = t % (int64_t)BASE;
    if (r < 0) {
      r += BASE;
      --q;
    }
    out.d[i] = (uint32_t)r;
    carry = q;
  }
  int i = n;
  while (carry > 0) {
    out.d[i++] = (uint32_t)(carry % BASE);
    carry /= BASE;
  }
  out.n = i;
  nat_trim(out);
  return out;
}

// The top 18 digits of a and b at the same limb shift (a ≥ b, a.n ≥ 3).
void leading_words(const Nat &a, const Nat &b, uint64_t *ha, uint64_t *hb) {
  const int s = a.n - 3;
  auto top = [&](const Nat &x) {
    uint64_t v = 0;
    for (int i = 2; i >= 0; --i) v = v * BASE + (s + i < x.n ? x.d[s + i] : 0);
    return v;
  };
  *ha = top(a);
  *hb = top(b);
}

uint64_t gcd_u64(uint64_t a, uint64_t b) {
  while (b) {
    const uint64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

}  // namespace

Nat nat_gcd(Nat a, Nat b) {
  Frame f;
  if (nat_cmp(a, b) < 0) std::swap(a, b);
  ProgressLoop loop;
  const int start = a.n;
  LoopBase lb;
  while (b.n > 2) {
    cancel_check();
    loop.set(start - b.n, start);
    uint64_t ha, hb;
    leading_words(a, b, &ha, &hb);
    // Knuth's Algorithm L on the leading words: x = ha + A, y = hb + C and x' = ha + B,
    // y' = hb + D bracket the true leading quotients while both give the same q.
    int64_t A = 1, B = 0, C = 0, D = 1;
    for (;;) {
      const int64_t y1 = (int64_t)hb + C, y2 = (int64_t)hb + D;
      if (y1 == 0 || y2 == 0) break;
      const int64_t q = ((int64_t)ha + A) / y1;
      if (q != ((int64_t)ha + B) / y2) break;
      int64_t t = A - q * C;
      A = C;
      C = t;
      t = B - q * D;
      B = D;
      D = t;
      const uint64_t h = ha - (uint64_t)q * hb;
      ha = hb;
      hb = h;
      if (std::abs(A) > (1ll << 30) || std::abs(B) > (1ll << 30) || std::abs(C) > (1ll << 30) ||
          std::abs(D) > (1ll << 30))
        break;
    }
    Nat na, nb;
    if (B == 0) {
      nat_divmod(a, b, nullptr, &nb);
      na = b;
    } else {
      na = lin_comb(a, A, b, B);
      nb = lin_comb(a, C, b, D);
    }
    a = na;
    b = nb;
    lb.settle({&a, &b});
    if (nat_cmp(a, b) < 0) std::swap(a, b);
  }
  Nat r;
  if (b.n == 0) {
    r = nat_copy(a);
  } else {
    Nat rem;
    nat_divmod(a, b, nullptr, &rem);
    r = nat_from_u64(gcd_u64(nat_to_u64(b), nat_to_u64(rem)));
  }
  f.keep({&r});
  return r;
}

// ---- Bernoulli numbers --------------------------------------------------------------------
namespace {

// x = x c + y d in place (x has room), for magnitudes and c, d < 2^32.
void limbs_mul_add(Nat &x, uint32_t c, const Nat &y, uint32_t d) {
  uint64_t carry = 0;
  const int n = std::max(x.n, y.n);
  for (int i = 0; i < n; ++i) {
    // < BASE (2^32 + 2^32) + carry: below 2^54.
    const uint64_t t = (i < x.n ? (uint64_t)x.d[i] * c : 0) + (i < y.n ? (uint64_t)y.d[i] * d : 0) + carry;
    carry = t / BASE;
    x.d[i] = (uint32_t)(t - carry * BASE);
  }
  x.n = n;
  while (carry) {
    x.d[x.n++] = (uint32_t)(carry % BASE);
    carry /= BASE;
  }
  nat_trim(x);
}

}  // namespace

// Each T_k < (2k)!, which has at most 2k log10(2k) + 1 digits: the room of every number.
void tangent_numbers(int n, Nat *t) {
  if (n <= 0) return;
  for (int k = 1; k <= n; ++k) {
    const double digits = 2.0 * k * std::log10(2.0 * k) + 2;
    Nat x = nat_alloc((int)(digits / BASE_DIGITS) + 3);
    x.n = 0;
    t[k - 1] = x;
  }
  t[0].d[0] = 1;
  t[0].n = 1;
  const Nat zero{};
  for (int k = 2; k <= n; ++k) {
    std::memcpy(t[k - 1].d, t[k - 2].d, sizeof(uint32_t) * (size_t)t[k - 2].n);
    t[k - 1].n = t[k - 2].n;
    limbs_mul_add(t[k - 1], (uint32_t)(k - 1), zero, 0);
  }
  for (int k = 2; k <= n; ++k) {
    cancel_check();
    for (int j = k; j <= n; ++j)
      limbs_mul_add(t[j - 1], (uint32_t)(j - k + 2), t[j - 2], (uint32_t)(j - k));
  }
}

}  // namespace exact
