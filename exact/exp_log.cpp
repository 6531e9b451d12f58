// The exponential and logarithm family of the exact mode: exp, 10 ^ y, ln, log10, x ^ y,
// the constant e, ln 2 and ln 10, and the enclosure arithmetic the family shares.
//
// Exactness. For a rational y ≠ 0, e^y is transcendental and for a rational x ≠ 1, ln x is
// irrational (Lindemann–Weierstrass), so neither ever lies on a truncation boundary and
// the correctness loop always ends; exp 0 = 1 and ln 1 = 0 are decided before it.
// 10^y for a non-integer rational y is irrational, and log10 x is rational only for
// x = 10^k. x ^ y is decided exactly whenever it is rational (see pow_exact).
#include "exact/exp_log.h"

#include <algorithm>
#include <cmath>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/parallel.h"
#include "exact/run.h"
#include "exact/series.h"

namespace exact {

namespace {

constexpr double LN10 = 2.302585092994045684;
bool failed = false;

Approx fail() {
  failed = true;
  return ap_undecided();
}

Nat pow10(int64_t k) { return nat_mul_pow10(nat_from_u64(1), k); }

int64_t int_digits(const Int &a) { return nat_digits(a.m); }

Nat nat_of_u64(uint64_t v) { return nat_from_u64(v); }

// ceil(a / 10^k).
Nat div_pow10_ceil(const Nat &a, int64_t k) {
  if (k <= 0) return nat_mul_pow10(a, -k);
  Nat q = nat_div_pow10(a, k);
  return nat_divisible_pow10(a, k) ? q : nat_add_small(q, 1);
}

// ceil(a / b), b ≠ 0.
Nat div_ceil(const Nat &a, const Nat &b) {
  Nat q, r;
  nat_divmod(a, b, &q, &r);
  return r.n ? nat_add_small(q, 1) : q;
}

// The enclosure (mid × 10^e ± rad × 10^e) with mid cut to w + 3 digits and rad to 15.
Approx make(const Int &mid, int64_t e, const Nat &rad, int64_t w) {
  int64_t s = 0;
  const int64_t dm = int_digits(mid), dr = nat_digits(rad);
  if (dm > w + 3) s = dm - (w + 3);
  if (dr > 15 && dr - 15 > s) s = dr - 15;
  Approx a;
  if (s == 0) {
    a.mid = mid;
    a.e = e;
    a.rad = nat_to_u64(rad);
    return a;
  }
  // Truncating mid moves it by less than one new unit; the radius rounds up.
  a.mid = int_from(nat_div_pow10(mid.m, s), mid.neg);
  a.e = e + s;
  a.rad = nat_to_u64(div_pow10_ceil(rad, s)) + 1;
  return a;
}

Approx trimmed(const Approx &a, int64_t w) { return make(a.mid, a.e, nat_of_u64(a.rad), w); }

// Decimal exponent bound: |a| < 10^mag_bound(a).
int64_t mag_bound(const Approx &a) {
  Nat top = nat_add(a.mid.m, nat_of_u64(a.rad));
  return nat_digits(top) + a.e;
}

// a rescaled to the exponent et: *m and *r (in units of 10^et) enclose it.
void rescale(const Approx &a, int64_t et, Int *m, Nat *r) {
  if (a.e >= et) {
    *m = int_from(nat_mul_pow10(a.mid.m, a.e - et), a.mid.neg);
    *r = nat_mul_pow10(nat_of_u64(a.rad), a.e - et);
    return;
  }
  const int64_t d = et - a.e;
  const int64_t big = std::max(int_digits(a.mid), (int64_t)20);
  if (d > big + 1) {  // the whole enclosure is below one unit
    *m = Int{};
    *r = nat_of_u64(a.mid.m.n || a.rad ? 2 : 0);
    return;
  }
  *m = int_from(nat_div_pow10(a.mid.m, d), a.mid.neg);
  *r = nat_add_small(div_pow10_ceil(nat_of_u64(a.rad), d), 1);
}

// Working limbs for an absolute precision of `digits` digits after the point.
int limbs_abs(int64_t digits) { return limbs_for(digits < 1 ? 1 : digits); }

}  // namespace

// ---- enclosure arithmetic ---------------------------------------------------------------
bool ap_failed() { return failed; }
void ap_clear_failure() { failed = false; }
Approx ap_undecided() {
  Approx a;
  a.rad = 1;
  return a;
}

Approx ap_exact(const Dec &x) {
  Approx a;
  a.mid = int_from(x.m, x.neg);
  a.e = x.e;
  return a;
}

Approx ap_small(int64_t v) { return ap_exact(dx_from_i64(v)); }

Approx ap_neg(const Approx &a) {
  Approx r = a;
  r.mid = int_neg(a.mid);
  return r;
}

Approx ap_half(const Approx &a) {
  Approx r;
  r.mid = int_mul_small(a.mid, 5);
  r.e = a.e - 1;
  r.rad = a.rad * 5;
  return r;
}

Approx ap_add(const Approx &a, const Approx &b, int64_t w) {
  if (a.mid.m.n == 0 && a.rad == 0) return trimmed(b, w);
  if (b.mid.m.n == 0 && b.rad == 0) return trimmed(a, w);
  // The common unit: the coarser inexact operand's, never finer than the result needs;
  // an exact operand is scaled to it exactly (or truncated, one unit of radius).
  int64_t et;
  if (a.rad && b.rad) et = std::max(a.e, b.e);
  else if (a.rad) et = a.e;
  else if (b.rad) et = b.e;
  else et = std::min(a.e, b.e);
  et = std::max(et, std::max(mag_bound(a), mag_bound(b)) - (w + 6));
  Int ma, mb;
  Nat ra, rb;
  rescale(a, et, &ma, &ra);
  rescale(b, et, &mb, &rb);
  return make(int_add(ma, mb), et, nat_add(ra, rb), w);
}

Approx ap_sub(const Approx &a, const Approx &b, int64_t w) { return ap_add(a, ap_neg(b), w); }

Approx ap_mul(const Approx &a0, const Approx &b0, int64_t w) {
  const Approx a = trimmed(a0, w), b = trimmed(b0, w);
  // |(ma + α)(mb + β) − ma mb| ≤ |ma| rb + |mb| ra + ra rb.
  Nat rad = nat_add(nat_add(nat_mul_u64(a.mid.m, b.rad), nat_mul_u64(b.mid.m, a.rad)),
                    nat_mul_u64(nat_of_u64(a.rad), b.rad));
  return make(int_mul(a.mid, b.mid), a.e + b.e, rad, w);
}

Approx ap_div(const Approx &a0, const Approx &b0, int64_t w) {
  const Approx a = trimmed(a0, w), b = trimmed(b0, w);
  const Nat rb = nat_of_u64(b.rad);
  if (nat_cmp(b.mid.m, rb) <= 0) return fail();
  int64_t s = w + 3 + int_digits(b.mid) - int_digits(a.mid);
  if (s < 0) s = 0;
  const Nat q = nat_div(nat_mul_pow10(a.mid.m, s), b.mid.m);
  // |(ma + α) 10^s / (mb + β) − ma 10^s / mb| ≤ (ra 10^s + rb |ma 10^s / mb|) / (|mb| − rb);
  // the quotient's floor adds one unit.
  Nat num = nat_add(nat_mul_pow10(nat_of_u64(a.rad), s), nat_mul_u64(nat_add_small(q, 1), b.rad));
  Nat rad = nat_add_small(div_ceil(num, nat_sub(b.mid.m, rb)), 1);
  return make(int_from(q, a.mid.neg != b.mid.neg), a.e - b.e - s, rad, w);
}

Approx ap_sqrt(const Approx &a0, int64_t w) {
  const Approx a = trimmed(a0, w);
  const Nat ra = nat_of_u64(a.rad);
  if (a.mid.neg || nat_cmp(a.mid.m, ra) <= 0) return fail();
  int64_t s = 2 * (w + 3) - int_digits(a.mid);
  if (s < 0) s = 0;
  if ((a.e - s) % 2 != 0) ++s;
  const Nat m = nat_mul_pow10(a.mid.m, s), alpha = nat_mul_pow10(ra, s);
  // |√(m + α) − √m| ≤ |α| / √(m − |α|); the floor adds one unit. With |α| ≤ m / 2,
  // √(m − |α|) ≥ √(m / 2) > 0.7 √m ≥ 0.7 root, so a lower bound of the square root comes
  // from the root itself.
  if (nat_cmp(nat_mul_small(alpha, 2), m) > 0) return fail();
  const Nat root = nat_sqrt(m);
  uint32_t dropped;
  const Nat low = nat_divmod_small(nat_mul_small(root, 7), 10, &dropped);
  if (low.n == 0) return fail();
  Nat rad = nat_add_small(div_ceil(alpha, low), 1);
  return make(int_from(root, false), (a.e - s) / 2, rad, w);
}

Approx ap_exp(const Approx &z, int64_t w) {
  Approx E = exp_dec(dx_of_int(z.mid, z.e), w);
  if (z.rad == 0) return E;
  // e^(m ± ρ) = e^m (1 + θ), |θ| ≤ 2ρ for ρ ≤ 1/2, ρ = rad × 10^e.
  if (z.e >= 0 || nat_digits(nat_of_u64(z.rad)) + z.e > -1) return fail();
  Nat extra = div_pow10_ceil(nat_mul_u64(nat_add(E.mid.m, nat_of_u64(E.rad)), 2 * z.rad), -z.e);
  return make(E.mid, E.e, nat_add(extra, nat_of_u64(E.rad)), w);
}

Approx ap_ln(const Approx &v, int64_t w) {
  const Nat rv = nat_of_u64(v.rad);
  if (v.mid.neg || nat_cmp(v.mid.m, rv) <= 0) return fail();
  const Dec m = dx_of_int(v.mid, v.e);
  Approx L = ln_dec(m, std::max(w, int_digits(v.mid) + 2));
  if (v.rad == 0) return L;
  if (L.mid.m.n == 0) L.e = std::min(v.e, (int64_t)0) - 6;
  // |ln(m + α) − ln m| ≤ |α| / (m − |α|); in units of 10^L.e.
  if (L.e > 0) return fail();
  Nat extra = div_ceil(nat_mul_pow10(rv, -L.e), nat_sub(v.mid.m, rv));
  return make(L.mid, L.e, nat_add(extra, nat_of_u64(L.rad)), w);
}

// ---- helpers ------------------------------------------------------------------------------
Dec dx_of_int(const Int &m, int64_t e) {
  Dec d;
  d.m = m.m;
  d.e = e;
  d.neg = m.neg;
  while (d.m.n > 0 && d.m.d[0] == 0) {
    ++d.m.d;
    --d.m.n;
    d.e += BASE_DIGITS;
  }
  if (d.m.n == 0) return Dec{};
  return d;
}

Dec dx_below(const Dec &x) {
  const int64_t D = result_digits(), L = nat_digits(x.m);
  Nat M = nat_mul_pow10(x.m, D - L);  // exactly D digits
  int64_t e = x.e - (D - L);
  M = nat_sub_small(M, 1);
  if (nat_digits(M) < D) {  // x was a power of ten: D nines one position lower
    M = nat_add_small(nat_mul_small(M, 10), 9);
    --e;
  }
  return dx_of_int(int_from(M, x.neg), e);
}

Dec dx_nines() {
  const int64_t D = result_digits();
  return dx_of_int(int_from(nat_sub_small(pow10(D), 1), false), -D);
}

// ---- exp: bit-burst binary splitting ----------------------------------------------------
namespace {

// For the terms k ∈ [a, b) of e^x − 1 with x = c / BASE^L:
//   S(a, b) = Σ_{k=a}^{b−1} Π_{i=a}^{k} c / (i BASE^L) = T / (Q BASE^(L (b − a))),
// P = c^(b − a). The powers of BASE are kept apart as limb shifts.
struct ExpSplit {
  Nat Q, T;  // P = c^(b − a) comes from the split's power table
};

// Ranges this short with c below BASE^2 are split term by term on machine words: adding
// term k to the split of [a, k) is its merge with the one-term split of k,
// T ← T k BASE^L + P c, P ← P c, Q ← Q k, without a product or an allocation per step.
constexpr int64_t EXP_LEAF_TERMS = 16;

ExpSplit exp_leaf(const Nat &c, int L, int64_t a, int64_t b) {
  const int n = (int)(b - a);
  const uint64_t cv = nat_to_u64(c);
  ExpSplit s;
  Nat P = nat_with_room(c, 2 * n + 2);
  s.Q = nat_with_room(nat_from_u64((uint64_t)a), 2 * n + 2);
  s.T = nat_with_room(c, n * (L + 3) + 4);
  for (int64_t k = a + 1; k < b; ++k) {
    s.T.n = limbs_mul_word(s.T.d, s.T.n, (uint64_t)k);
    P.n = limbs_mul_word(P.d, P.n, cv);
    limbs_shift_add(s.T, L, P, false);
    s.Q.n = limbs_mul_word(s.Q.d, s.Q.n, (uint64_t)k);
  }
  return s;
}

// P of a node is c^(b − a): the merges take P1 from the table (no P product per node).
ExpSplit exp_split(const Nat &c, int L, int64_t a, int64_t b, PowerTable &pw) {
  ExpSplit s;
  if (b - a <= EXP_LEAF_TERMS && c.n <= 2 && b - a > 1) return exp_leaf(c, L, a, b);
  if (b - a == 1) {
    s.Q = nat_from_u64((uint64_t)a);
    s.T = c;
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  ExpSplit l, r;
  const auto left = [&] { l = exp_split(c, L, a, m, pw); };
  const auto right = [&] { r = exp_split(c, L, m, b, pw); };
  if (split_forks(b - a, L + c.n)) {
    fork_join(left, right, {&r.Q, &r.T});
  } else {
    left();
    right();
  }
  // T = T1 Q2 BASE^(L n2) + P1 T2.
  s.T = nat_add(nat_shift_limbs(nat_mul(l.T, r.Q), (int64_t)L * (b - m)), nat_mul(pw.get(m - a), r.T));
  s.Q = nat_mul(l.Q, r.Q);
  f.keep({&s.Q, &s.T});
  return s;
}

// A positive number m × BASE^s.
struct Scaled {
  Nat m;
  int64_t s = 0;
};

// Keeps the K leading limbs (a relative change below BASE^−(K−1), downwards).
Scaled leading(const Nat &m, int64_t s, int K) {
  if (m.n <= K) return Scaled{m, s};
  return Scaled{nat_high_limbs(m, m.n - K), s + (m.n - K)};
}

// From this many limbs on, the pieces of exp are shared between two threads (below, the
// hand-over costs more than it saves).
constexpr int PIECES_FORK_MIN_LIMBS = 60;

// One piece of the bit-burst decomposition: x = c / BASE^L, summed to n terms.
struct ExpPiece {
  Nat c;
  int L = 0;
  int64_t n = 0;
  double cost = 0;  // an estimate of its split's time, for sharing pieces between threads
};

// The terms for a piece c / BASE^L at q limbs: the tail Σ_{k>n} ≤ 2 x^(n+1) / (n+1)!
// (valid for x ≤ (n + 2) / 2) is at most BASE^−q.
ExpPiece exp_plan(const Nat &c, int L, int q) {
  const double lx = (nat_log10(c) + 1e-9 - 6.0 * L) * LN10;  // ≥ ln x
  const double target = -(double)q * 6.0 * LN10 - 2.0;
  ExpPiece p;
  p.c = c;
  p.L = L;
  p.n = exp_series_terms(lx, target);
  p.cost = split_cost(p.n, L, c.n);
  return p;
}

// Σ_{k=0}^{n} x^k / k! = N / D for the piece, exactly: D = Q BASE^(L n), N = D + T. Both
// are returned cut to K limbs.
void exp_piece(const ExpPiece &pc, int K, Scaled *N, Scaled *D) {
  Frame f;
  PowerTable pw;
  pw.c = pc.c;
  pw.prepare(pc.n);
  ExpSplit sp = exp_split(pc.c, pc.L, 1, pc.n + 1, pw);
  const int64_t shift = (int64_t)pc.L * pc.n;
  *N = leading(nat_add(nat_shift_limbs(sp.Q, shift), sp.T), 0, K);
  *D = leading(sp.Q, shift, K);
  f.keep({&N->m, &D->m});
}

// a b kept to K limbs, from the product's columns six limbs below the K kept on
// (nat_mul_top; its error is counted in exp_frac's bound).
Scaled mul_cut(const Scaled &a, const Scaled &b, int K) {
  const int from = a.m.n + b.m.n - K - 6;
  return leading(nat_mul_top(a.m, b.m, from), a.s + b.s + std::max(from, 0), K);
}

// num, den × the fractions of the pieces next() hands out (until it gives −1), in turn,
// each product kept to K limbs.
template <class Next>
void exp_chain(const ExpPiece *pieces, const Next &next, int K, Scaled *num, Scaled *den) {
  Frame f;
  Scaled n = *num, d = *den;
  for (int i = next(); i >= 0; i = next()) {
    Frame g;
    Scaled N, D;
    exp_piece(pieces[i], K, &N, &D);
    Scaled nn = mul_cut(n, N, K), dd = mul_cut(d, D, K);
    g.keep({&nn.m, &dd.m});
    n = nn;
    d = dd;
  }
  f.keep({&n.m, &d.m});
  *num = n;
  *den = d;
}

// e^r for 0 ≤ r < 2.4 (r × BASE^−q). The fraction's limbs are cut into pieces at limb
// positions 1, 2, 4, 8, …: r = Σ r_j with r_j = c_j / BASE^(2^j) < BASE^(−2^(j−1)), and
// e^r = Π e^(r_j), each by binary splitting of its Taylor series as a fraction N_j / D_j
// (few terms for the late, long pieces); the numerators and the denominators are
// multiplied apart, kept to K = q + 3 limbs, and divided once. With the second thread
// free, the pieces are shared between two chains of products (each thread takes the next
// piece when it is done with one, and multiplies it into its own chain), which one more
// product joins.
// Error, with m factors (pieces, the stored e, and the join of two chains) and
// ε = BASE^−(K−1): F = Π N_j / D_j ≥ 1, e^r ∈ F [1, (1 + BASE^−q)^m]; each of the ≤ 2m cuts
// of the numerator lowers it by a factor ≥ 1 − 1.01 ε (the cut to K limbs, and the
// product's dropped low columns: with `from` six limbs below the K kept, the product is at
// least BASE^(K+4) units of BASE^from and loses less than 2 (K + 1) BASE of them, a factor
// within 2 (K + 1) BASE^−4 ε), each of the denominator's raises the quotient likewise, and
// the final floor loses < 1 unit. With
// E the floor and e^r ≤ 11.1: E − 1 < e^r BASE^q ≤ E + 1 + 11.4 m units. The result is
// max(E − 1, BASE^q) (also a lower bound, as r ≥ 0) with err = 12 m + 3.
// The product of the pieces' fractions: e^r ≈ num / den (see exp_fix); *factors = m.
// For r ≥ 1 the stored digits of e (when they reach K limbs) count as one more factor.
void exp_frac(const Nat &r0, int q, Scaled *num_out, Scaled *den_out, uint64_t *factors) {
  Frame f;
  const int K = q + 3;
  Scaled num{nat_from_u64(1), 0}, den{nat_from_u64(1), 0};
  *factors = 0;
  Nat r = r0;
  const Nat one = nat_shift_limbs(nat_from_u64(1), q);
  Int e_fix;
  if (nat_cmp(r, one) >= 0 && stored_constant(STORED_E, K, &e_fix)) {
    // e^r = e e^(r − 1): the first piece's series gets a smaller argument. The stored e,
    // floor(e BASE^K), is one more factor of the kind above (at most e, within
    // 1 + BASE^−K of it).
    r = nat_sub(r, one);
    num = Scaled{e_fix.m, -(int64_t)K};
    ++*factors;
  }
  ExpPiece pieces[64];
  int count = 0;
  for (int lo = 0, hi = 1; lo < q; lo = hi, hi *= 2) {
    if (hi > q) hi = q;
    const Nat top = nat_high_limbs(r, q - hi);
    const Nat c = lo == 0 ? top : nat_low_limbs(top, hi - lo);
    if (c.n != 0) pieces[count++] = exp_plan(c, hi, q);
  }
  *factors += (uint64_t)count;
  if (count < 2 || q < PIECES_FORK_MIN_LIMBS || !parallel_idle()) {
    int i = 0;
    exp_chain(pieces, [&] { return i < count ? i++ : -1; }, K, &num, &den);
  } else {
    int order[64];
    order_by_cost(count, [&](int i) { return pieces[i].cost; }, order);
    WorkQueue queue(order, count);
    const auto next = [&] { return queue.take(); };
    Scaled num_b{nat_from_u64(1), 0}, den_b{nat_from_u64(1), 0};
    fork_join([&] { exp_chain(pieces, next, K, &num, &den); },
              [&] { exp_chain(pieces, next, K, &num_b, &den_b); }, {&num_b.m, &den_b.m});
    num = mul_cut(num, num_b, K);
    den = mul_cut(den, den_b, K);
    ++*factors;
  }
  num.m = nat_copy(num.m);  // the initial 1s are temporaries of this frame too
  den.m = nat_copy(den.m);
  f.keep({&num.m, &den.m});
  *num_out = num;
  *den_out = den;
}

}  // namespace

Int exp_fix(const Nat &r, int q, uint64_t *err) {
  Frame f;
  Scaled num, den;
  uint64_t factors;
  exp_frac(r, q, &num, &den, &factors);
  const Nat one = nat_shift_limbs(nat_from_u64(1), q);
  Int out;
  if (factors == 0) {
    out = int_from(one, false);
    *err = 0;
  } else {
    const int64_t shift = (int64_t)q + num.s - den.s;
    const Nat n = shift >= 0 ? nat_shift_limbs(num.m, shift) : nat_high_limbs(num.m, (int)-shift);
    Nat e = nat_div(n, den.m);
    e = nat_cmp(e, one) > 0 ? nat_sub_small(e, 1) : nat_copy(one);
    out = int_from(e, false);
    *err = 12 * factors + 3;
  }
  f.keep({&out});
  return out;
}

// e^y = 10^k e^r with k = floor(y / ln 10) and r = y − k ln 10 ∈ [0, ln 10), at q limbs
// (two guard limbs beyond the relative precision: k < 5 × 10^10 < BASE^2).
// Y = floor(y BASE^q), Λ = floor(ln 10 BASE^q), R = Y − k Λ ≥ 0: |R − r BASE^q| < 1 + |k|,
// so e^r = e^(R BASE^−q) (1 + θ), |θ| ≤ 1.01 (1 + |k|) BASE^−q; with e^R ≤ 11.1 the
// radius is err(exp_fix) + 12 (1 + |k|) + 1 units.
Approx exp_dec(const Dec &y, int64_t w) {
  if (y.m.n == 0) return ap_small(1);
  const int q = limbs_abs(w) + 2;
  const Int Y = fix_from_dec(y, q);
  Int L;
  L = const_ln10(q);
  const Int K = int_div_floor(Y, L.m);
  const int64_t k = K.neg ? -(int64_t)nat_to_u64(K.m) : (int64_t)nat_to_u64(K.m);
  const Int R = int_sub(Y, int_mul(K, L));
  uint64_t err;
  Int E = exp_fix(R.m, q, &err);
  Approx a = approx_fix(E, q, err + 12 * ((uint64_t)(k < 0 ? -k : k) + 1) + 1);
  a.e += k;
  return a;
}

// ---- ln: Newton's iteration on exp -------------------------------------------------------
namespace {

// One Newton correction at q limbs for x ∈ [0.5, 10] and y ≈ ln x (|y| < 2.4): *t with
// |*t − t| ≤ *errt units, where 1 + t = x e^−y (so ln x = y + ln(1 + t)).
//  y ≥ 0: t = (x − e^y) / e^y; with X = floor(x BASE^q) (1 unit), E from exp_fix (err
//   units, E ≥ BASE^q) and |t| ≤ 9, the error is ≤ 1 + err + 9 err + 1 (the floor).
//  y < 0 (so x < 1, e^−y ≤ 2.1): t = x e^−y − 1, error ≤ 2.1 + err + 1 + 1.
void newton_t(const Dec &x, const Int &y, int q, Int *t, uint64_t *errt) {
  const Int X = fix_from_dec(x, q);
  if (!y.neg) {
    // e^y ≈ F = num / den; t ≈ x / F − 1 = X den / num − 1 in units: with
    // F ≤ e^y (1 + 2.1 m BASE^−(q+2)) and e^y ≤ F (1 + 11.4 m BASE^−q / F) (exp_fix) and
    // x / F ≤ 10, the error is ≤ 10 × 11.5 m + 1 (X) + 1 (the floor) units.
    Scaled num, den;
    uint64_t m;
    exp_frac(y.m, q, &num, &den, &m);
    const int64_t shift = den.s - num.s;  // X den BASE^shift / num
    const Nat a = nat_mul(X.m, den.m);
    const Nat n = shift >= 0 ? nat_shift_limbs(a, shift) : nat_high_limbs(a, (int)-shift);
    *t = int_sub(int_from(nat_div(n, num.m), false), fix_one(q));
    *errt = 116 * m + 3;
    return;
  }
  uint64_t err;
  const Int E = exp_fix(y.m, q, &err);
  {
    *t = int_sub(fix_mul(X, E, q), fix_one(q));
    *errt = err + 5;
  }
}

double dec_to_double(const Dec &x) {
  return std::pow(10.0, nat_log10(x.m) + (double)x.e) * (x.neg ? -1 : 1);
}

// The order of the steps: ln(1 + t) to t^(LN_ORDER − 1), so a step from y good to h limbs
// gives about LN_ORDER h. A high order costs little (the powers of a small t are short)
// and lets the step below run at an eighth of the precision.
constexpr int LN_ORDER = 8;

// An upper bound of a^k / BASE^((k − 1) q) for a ≥ 0, from a's top three limbs.
uint64_t power_bound(const Nat &a, int k, int q) {
  if (a.n == 0) return 0;
  const int used = a.n < 3 ? a.n : 3;
  const Nat top = nat_add_small(nat_high_limbs(a, a.n - used), 1);  // a < top BASE^(n − used)
  const int64_t shift = (int64_t)k * (a.n - used) - (int64_t)(k - 1) * q;
  const Nat pk = nat_pow(top, (uint64_t)k);
  Nat v;
  if (shift >= 0) {
    if (pk.n + shift > 3) return ~(uint64_t)0;
    v = nat_shift_limbs(pk, shift);
  } else {
    v = nat_add_small(nat_high_limbs(pk, (int)-shift), 1);
  }
  return v.n > 3 ? ~(uint64_t)0 : nat_to_u64(v);
}

// One step at q limbs from y ≈ ln x: ln x = y + ln(1 + t) with t from newton_t, and
// ln(1 + t) = Σ_{k<M} (−1)^(k+1) t^k / k + R, |R| ≤ |t|^M / (M (1 − |t|)) ≤ |t|^M / 6 for
// |t| ≤ 1/4 (M = LN_ORDER), so the step is of order M. Returns y + that sum and in *err a
// bound of its distance to ln x BASE^q in units: the sum's derivative in t is below
// 1 / (1 − |t|) ≤ 4/3, which carries t's error (2 errt); the powers U_k ≈ t^k BASE^q are
// taken from U_(k−1) and t cut to as many limbs as U_(k−1) has (the cut and the floor move
// U_k by less than 2 units, and U_(k−1)'s error shrinks by |t| ≤ 1/4, so each U_k is
// within 2.67 units), each U_k / k is floored: Σ_{k=2}^{7} (2.67 / k + 1) < 11 units;
// and R ≤ (|t̃| + errt)^M BASE^−(M−1)q (power_bound). *ok is false when |t| is too large
// for the bound (then the plain Newton step y + t is returned).
Int ln_step(const Dec &x, const Int &y, int q, uint64_t *err, bool *ok) {
  Frame f;
  Int t;
  uint64_t errt;
  newton_t(x, y, q, &t, &errt);
  const Nat ta = nat_add(t.m, nat_from_u64(errt));  // ≥ |t| in units
  const Nat quarter = nat_shift_limbs(nat_from_u64(BASE / 4), q - 1);
  const uint64_t rest = power_bound(ta, LN_ORDER, q);
  Int out;
  *ok = nat_cmp(ta, quarter) < 0 && rest < ((uint64_t)1 << 40);
  if (!*ok) {
    out = int_add(y, t);
  } else {
    Int sum = int_add(y, t), u = t;
    for (int k = 2; k < LN_ORDER && u.m.n > 0; ++k) {
      // u t / BASE^q with t cut to u's length: the cut loses less than |u| BASE^(s − q) ≤ 1.
      const int s = std::max(0, q - u.m.n);
      u = int_shift_floor(int_mul(u, int_shift_floor(t, -(int64_t)s)), -(int64_t)(q - s));
      const Int term = int_div_floor(u, nat_from_u64((uint64_t)k));
      sum = k % 2 == 0 ? int_sub(sum, term) : int_add(sum, term);
    }
    out = sum;
    *err = 2 * errt + 11 + rest;
  }
  f.keep({&out});
  return out;
}

// The precision of the step below q (order LN_ORDER), from a double at q ≤ 2.
int ln_lower(int q) { return q / LN_ORDER + 2; }

// ≈ ln x × BASE^q (x ∈ [0.5, 10]) by steps of order LN_ORDER from a double; the precision is
// checked by the caller.
Int ln_approx(const Dec &x, int q) {
  if (q <= 2) {
    const double v = std::log(dec_to_double(x)) * std::pow(1e6, q);
    return int_from_i64((int64_t)std::floor(v));
  }
  Frame f;
  const int h = ln_lower(q);
  Int y = int_shift_floor(ln_approx(x, h), q - h);
  uint64_t err;
  bool ok;
  Int out = ln_step(x, y, q, &err, &ok);
  f.keep({&out});
  return out;
}

// ln x × BASE^q for x ∈ [0.5, 10] within *err units: the last step certifies it (ln_step),
// repeated while its bound is not yet small.
Int ln_fix(const Dec &x, int q, uint64_t *err) {
  Frame f;
  const int h = ln_lower(q);
  Int y = int_shift_floor(ln_approx(x, h), q - h);
  for (int attempt = 0; attempt < 8; ++attempt) {
    bool ok;
    Int out = ln_step(x, y, q, err, &ok);
    if (ok) {
      f.keep({&out});
      return out;
    }
    y = out;
  }
  throw ExactOutOfMemory{};  // not reached: the steps converge from a double's start
}

}  // namespace

// ln x for x > 0. Near 1 (x ∈ [0.5, 2)) directly, at an absolute precision of
// w + max(0, −log10 |x − 1|) digits (|ln x| ≥ |x − 1| / 2 there, so the relative width stays
// 10^−w). Elsewhere x = x' × 10^k with x' ∈ [1, 10): ln x = ln x' + k ln 10, |ln x| ≥ ln 2,
// with two guard limbs for k (|k| < 10^10): radius err + |k| + 1 units.
Approx ln_dec(const Dec &x, int64_t w) {
  const int64_t mag = dx_magnitude(x);
  const Dec one = dx_from_i64(1);
  if (dx_cmp(x, one) == 0) {
    Approx z;
    z.e = -6 * (int64_t)limbs_abs(w);
    return z;
  }
  if ((mag == -1 && dx_cmp(x, dx_from_i64(5, -1)) >= 0) || (mag == 0 && dx_cmp(x, dx_from_i64(2)) < 0)) {
    const int64_t extra = std::max((int64_t)0, -dx_magnitude(dx_sub(x, one)));
    const int q = limbs_abs(w + extra) + 1;
    uint64_t err;
    Int Y = ln_fix(x, q, &err);
    return approx_fix(Y, q, err);
  }
  const int q = limbs_abs(w) + 2;
  Dec xr = x;
  xr.e -= mag;
  uint64_t err;
  Int Y = ln_fix(xr, q, &err);
  Int L = const_ln10(q);
  Int mid = int_add(Y, int_mul(int_from_i64(mag), L));
  return approx_fix(mid, q, err + (uint64_t)(mag < 0 ? -mag : mag) + 1);
}

// ---- ln 2 and ln 10 ----------------------------------------------------------------------
namespace {

// floor(atanh(1/m) BASE^p) − δ, 0 ≤ δ < 2: the series Σ 1 / ((2k+1) m^(2k+1)) by binary
// splitting (term k over term k−1: (2k−1) / ((2k+1) m²)), n terms with the tail
// ≤ 2 / m^(2n+1) ≤ BASE^−p, and the floor of T BASE^p / Q.
Nat atanh_inv(uint32_t m, int p) {
  Frame f;
  const int64_t n = (int64_t)std::ceil((6.0 * p + 1.0) / std::log10((double)m) / 2.0) + 1;
  const uint64_t m2 = (uint64_t)m * m;
  Split s = bsplit(
      0, n,
      [&](int64_t k, Int *P, Nat *Q) {
        if (k == 0) {
          *P = int_from_i64(1);
          *Q = nat_from_u64(m);
        } else {
          *P = int_from_i64(2 * k - 1);
          *Q = nat_mul_u64(nat_from_u64((uint64_t)(2 * k + 1)), m2);
        }
      },
      false);
  Nat v = nat_div(nat_shift_limbs(s.T.m, p), s.Q);
  f.keep({&v});
  return v;
}

// floor(c BASE^p) for c = ca atanh(1/31) + cb atanh(1/49) + cc atanh(1/161), decided from
// an enclosure of width 2 (ca + cb + cc) units at p + g limbs; more guard limbs when the
// floor is not decided.
Int log_const(ConstCache &cache, uint32_t ca, uint32_t cb, uint32_t cc, int p) {
  Int out;
  if (cache_get(cache, p, &out)) return out;
  {
    Frame f;
    for (int g = 1;; g += 2) {
      const int pg = p + g;
      Nat v = nat_add(nat_add(nat_mul_small(atanh_inv(31, pg), ca), nat_mul_small(atanh_inv(49, pg), cb)),
                      nat_mul_small(atanh_inv(161, pg), cc));
      Nat lo = nat_high_limbs(v, g), hi = nat_high_limbs(nat_add_small(v, 2 * (ca + cb + cc)), g);
      if (nat_cmp(lo, hi) == 0) {
        out = int_from(nat_copy(lo), false);
        break;
      }
    }
    f.keep({&out});
  }
  cache_put(cache, out, p);
  return out;
}

constexpr int LOG_CACHE_LIMBS = 140000;
ConstCache ln2_cache{nullptr, LOG_CACHE_LIMBS};
ConstCache ln10_cache{nullptr, LOG_CACHE_LIMBS};

}  // namespace

// ln 2 = 14 a + 10 b + 6 c and ln 10 = 46 a + 34 b + 20 c with a = atanh(1/31),
// b = atanh(1/49), c = atanh(1/161) (from ln 2, ln 3, ln 5 as combinations of the three).
Int const_ln2(int p) { return log_const(ln2_cache, 14, 10, 6, p); }
Int const_ln10(int p) {
  Int stored;
  if (stored_constant(STORED_LN10, p, &stored)) return stored;
  return log_const(ln10_cache, 46, 34, 20, p);
}

}  // namespace exact

// ---- the entry points ---------------------------------------------------------------------
using namespace exact;

namespace {

int write_one(DecWord *out) { return dx_write(out, dx_from_i64(1)); }

// e^y for y with |y| < 10^(−D−1)·5: 1 for y > 0 (1 < e^y < 1 + 2y < 1 + 10^−D), 0.99…9
// for y < 0 (1 − |y| < e^y < 1).
int write_exp_tiny(DecWord *out, bool negative, int64_t k = 0) {
  Dec r = negative ? dx_nines() : dx_from_i64(1);
  r.e += k;
  return dx_write(out, r);
}

// True when |y| < 10^(−D−1) for sure (from its magnitude).
bool exp_arg_tiny(const Dec &y) { return dx_magnitude(y) <= -result_digits() - 2; }

}  // namespace

// exp y: e^y = 10^k e^r (exp_dec). |y| ≥ 10^10 overflows (e^y > 10^(4×10^9)) or
// underflows; tiny |y| is decided exactly.
int exact_exp(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec Y = dx_of(y);
    if (dx_is_zero(Y)) return write_one(out);
    if (dx_magnitude(Y) >= 10) {
      if (Y.neg) return dec_zero(out);
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    if (exp_arg_tiny(Y)) return write_exp_tiny(out, Y.neg);
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      *a = exp_dec(Y, w);
      return 0;
    });
  });
}

int exact_e(DecWord *out) {
  return run_exact(out, [&] {
    const Dec one = dx_from_i64(1);
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      const int p = limbs_for(w);
      Int stored;
      *a = stored_constant(STORED_E, p, &stored) ? approx_fix(stored, p, 1) : exp_dec(one, w);
      return 0;
    });
  });
}

// 10 ^ y: exact for an integer y; otherwise y = k + f (k = 0 for |y| < 1, else
// k = floor y, f ∈ [0, 1)) and 10^y = 10^k e^(f ln 10), irrational.
int exact_exp10(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec Y = dx_of(y);
    if (dx_is_zero(Y)) return write_one(out);
    int64_t k;
    if (!dx_to_i64(Y, &k) || k > 2 * (int64_t)DEC_EXP_MAX || k < 2 * (int64_t)DEC_EXP_MIN) {
      if (Y.neg) return dec_zero(out);
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    if (dx_is_integer(Y)) return dx_write(out, dx_from_i64(1, k));
    if (Y.neg && k != 0) --k;  // floor for |y| ≥ 1; k = 0 (f = y) for |y| < 1
    const Dec f = dx_sub(Y, dx_from_i64(k));
    if (exp_arg_tiny(f)) return write_exp_tiny(out, f.neg, k);  // |f ln 10| < 10^−D / 2
    return ziv_ap(out, [&](int64_t w) {
      const int q = limbs_abs(w + 2) + 1;
      Approx ln10 = approx_fix(const_ln10(q), q, 1);
      Approx a = ap_exp(ap_mul(ap_exact(f), ln10, w + 4), w);
      a.e += k;
      return a;
    });
  });
}

int exact_ln(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec X = dx_of(y);
    if (dx_is_zero(X) || X.neg) {
      dec_set_marker(out, NUM_ERROR);
      return -1;
    }
    if (dx_cmp(X, dx_from_i64(1)) == 0) return dec_zero(out);
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      *a = ln_dec(X, w);
      return 0;
    });
  });
}

// log10 x: exact k for x = 10^k; otherwise ln x / ln 10 (near 1, where ln x is small)
// or k + ln x' / ln 10 for x = x' 10^k, x' ∈ [1, 10).
int exact_log10(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&] {
    const Dec X = dx_of(y);
    if (dx_is_zero(X) || X.neg) {
      dec_set_marker(out, NUM_ERROR);
      return -1;
    }
    const int64_t mag = dx_magnitude(X);
    {
      Frame f;
      const int64_t z = nat_trailing_zero_digits(X.m);
      if (nat_cmp(nat_div_pow10(X.m, z), nat_from_u64(1)) == 0) return dx_write(out, dx_from_i64(mag));
    }
    const bool near_one = mag == -1 || (mag == 0 && dx_cmp(X, dx_from_i64(2)) < 0);
    return ziv_ap(out, [&](int64_t w) {
      const int q = limbs_abs(w + 4) + 1;
      Approx ln10 = approx_fix(const_ln10(q), q, 1);
      if (near_one) return ap_div(ln_dec(X, w + 4), ln10, w + 4);
      Dec xr = X;
      xr.e -= mag;
      return ap_add(ap_small(mag), ap_div(ln_dec(xr, w + 4), ln10, w + 4), w + 4);
    });
  });
}

// ---- x ^ y -------------------------------------------------------------------------------
namespace {

// Writes the truncation of the exact value 10^s / n (n ≥ 1): the quotient floor(10^t / n)
// with t − s extra digits has more than D digits, so every value in [Q, Q + 1) truncates
// like Q.
int write_quotient(DecWord *out, const Nat &n, int64_t s, bool neg) {
  const int64_t t = result_digits() + 2 + nat_digits(n);
  Nat Q = nat_div(pow10(t), n);
  return dx_write(out, dx_of_int(int_from(Q, neg), s - t));
}

// x ^ y when it is rational, decided exactly; 1 when it is not (or too long to compute).
// y = p / q in lowest terms, q = 2^a 5^b; x = X 10^e with X not divisible by 10. x^y is
// rational only when q | e and X = t^q; then x^y = t^p 10^(e p / q): computed exactly when
// t^|p| has at most 2 D + 64 digits (bounded from the digit counts first). A longer value
// has more than D significant digits (or is not a terminating decimal), so it is not on a
// truncation boundary and the correctness loop decides it.
int pow_exact(DecWord *out, const Dec &x, const Dec &y, bool neg) {
  Frame f;
  const int64_t D = result_digits(), limit = 2 * D + 64;
  const int64_t zx = nat_trailing_zero_digits(x.m);
  const Nat X = nat_div_pow10(x.m, zx);
  const int64_t e = x.e + zx;
  const int64_t zy = nat_trailing_zero_digits(y.m);
  Nat Yn = nat_div_pow10(y.m, zy);
  int64_t ey = y.e + zy;
  // y = Yn × 10^ey; p / q with q = 10^−ey / gcd.
  uint64_t q = 1;
  if (ey < 0) {
    // q ≥ 2^−ey: beyond 2^60 it can divide neither e (|e| < 2^31) nor make X (< 10^D) a
    // q-th power, and x = 1 has been decided by the caller.
    if (-ey > 60) return 1;
    int64_t a = -ey, b = -ey;  // powers of 2 and 5 left in q
    uint32_t r;
    Nat t = Yn;
    while (a > 0 && (nat_divmod_small(t, 2, &r), r == 0)) {
      t = nat_divmod_small(t, 2, &r);
      --a;
    }
    while (b > 0 && (nat_divmod_small(t, 5, &r), r == 0)) {
      t = nat_divmod_small(t, 5, &r);
      --b;
    }
    Yn = t;
    for (int64_t i = 0; i < a; ++i) {
      if (q > ((uint64_t)1 << 60)) return 1;
      q *= 2;
    }
    for (int64_t i = 0; i < b; ++i) {
      if (q > ((uint64_t)1 << 60)) return 1;
      q *= 5;
    }
  } else {
    Yn = nat_mul_pow10(Yn, ey);  // |y| < 10^40 here (the caller's bound)
  }
  if (nat_digits(Yn) > 18) return 1;
  const uint64_t pabs = nat_to_u64(Yn);
  const bool pneg = y.neg;
  if (e % (int64_t)q != 0) return 1;
  Nat t = X;
  if (q > 1) {
    if ((double)q > 3.33 * (double)nat_digits(X) + 4) {
      if (!(X.n == 1 && X.d[0] == 1)) return 1;
    }
    t = nat_root(X, q);
    if (nat_cmp(nat_pow(t, q), X) != 0) return 1;
  }
  const int64_t E = e / (int64_t)q;  // 10^(e p / q) = 10^(E p)
  if ((double)pabs * nat_log10(t) > (double)limit) return 1;
  // The result's exponent from the counts, before anything is computed: past the range
  // it overflows or is zero.
  const double sc = (double)E * (pneg ? -(double)pabs : (double)pabs) + (pneg ? -1.0 : 1.0) * (double)pabs * nat_log10(t);
  if (sc > (double)DEC_EXP_MAX + 4) {
    dec_set_marker(out, NUM_OVERFLOW);
    return -1;
  }
  if (sc < (double)DEC_EXP_MIN - 4) return dec_zero(out);
  const int64_t scale = E * (pneg ? -(int64_t)pabs : (int64_t)pabs);
  const Nat N = nat_pow(t, pabs);
  if (!pneg) return dx_write(out, dx_of_int(int_from(N, neg), scale));
  return write_quotient(out, N, scale, neg);
}

}  // namespace

// x ^ y. Decided before the loop: markers, 0 ^ y (0 for y > 0, ERROR for y < 0), x ^ 0 = 1,
// x < 0 (an integer y takes the sign of its parity, ERROR otherwise), the rational cases
// (pow_exact), |z| = |y ln x| ≥ 10^10.5 (overflow or zero) and |z| < 10^−D/2 (1 or
// 0.99…9). Otherwise x^y = e^z with z enclosed from ln |x| at w + log10 |z| + 5 digits.
int exact_pow(DecWord *out, const DecWord *x, const DecWord *y) {
  if (pass_markers(out, x, y)) return -1;
  return run_exact(out, [&] {
    const Dec X = dx_of(x), Y = dx_of(y);
    if (dx_is_zero(Y)) return write_one(out);
    if (dx_is_zero(X)) {
      if (Y.neg) {
        dec_set_marker(out, NUM_ERROR);
        return -1;
      }
      return dec_zero(out);
    }
    bool neg = false;
    if (X.neg) {
      if (!dx_is_integer(Y)) {
        dec_set_marker(out, NUM_ERROR);
        return -1;
      }
      // The parity of an integer y: its units digit (0 when y ≥ 10^D, which is even).
      Frame f;
      Nat units = Y.e > 0 ? Nat{} : nat_div_pow10(Y.m, -Y.e);
      uint32_t r = 0;
      nat_divmod_small(units, 2, &r);
      neg = r == 1;
    }
    Dec ax = X;
    ax.neg = false;
    // log10 |z| bounds: |y| ∈ [10^my, 10^(my+1)); |ln x| from x's magnitude, or from
    // |x − 1| near 1 (|ln x| ≤ |x − 1| / min(1, x)).
    const int64_t my = dx_magnitude(Y), mx = dx_magnitude(ax);
    double lz;  // ≈ log10 |ln x|
    bool ln_positive = mx >= 0;
    if (mx >= 1 || mx <= -2) {
      lz = std::log10(std::fabs(((double)mx + 0.5) * LN10));
    } else {
      Frame f;
      const Dec d = dx_sub(ax, dx_from_i64(1));
      if (dx_is_zero(d)) return dx_write(out, dx_from_i64(neg ? -1 : 1));  // (±1) ^ y
      ln_positive = !d.neg;
      const double ld = nat_log10(d.m) + (double)d.e;  // log10 |x − 1|
      if (ld < -2) lz = ld + (d.neg ? 0.01 : 0.0);
      else lz = std::log10(std::fabs(std::log(std::pow(10.0, nat_log10(ax.m) + (double)ax.e))));
    }
    if (my < 40) {
      const int r = pow_exact(out, ax, Y, neg);
      if (r != 1) return r;
    }
    const double lzz = lz + nat_log10(Y.m) + (double)Y.e;  // ≈ log10 |y ln x|
    const bool zneg = ln_positive == Y.neg;
    if (lzz > 10.5) {
      if (zneg) return dec_zero(out);
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    if (lzz < (double)(-result_digits() - 2)) return write_exp_tiny(out, zneg);
    const int64_t extra = std::max((int64_t)0, (int64_t)std::ceil(lzz)) + 5;
    return ziv_ap(out, [&](int64_t w) {
      Approx z = ap_mul(ln_dec(ax, w + extra), ap_exact(Y), w + extra);
      Approx a = ap_exp(z, w);
      if (neg) a.mid = int_neg(a.mid);
      return a;
    });
  });
}
