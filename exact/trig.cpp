// Sine, cosine and tangent of the exact mode, in degrees or radians.
//
// Degrees. t = |x| mod 360 (or 180 for the tangent) is exact decimal arithmetic, whatever
// the size of x. The symmetries fold t into an angle u of 0° .. 45° (sin t = ± sin u or
// ± cos u), and the exactly representable values are decided there: by Niven's theorem
// the sine and cosine of a rational number of degrees are rational only at multiples of
// 30° and 90° (0, ±1/2, ±1), the tangent only at multiples of 45° (0, ±1) and at the odd
// multiples of 90° it has a pole (NUM_OVERFLOW, as the default mode shows tan 90°). Every
// other value is irrational, so an enclosure of it decides the truncation at some
// precision. u is converted to radians, floor(u π BASE^p / 180) from π at p + 1 limbs:
// within 2 units of the last limb.
//
// Radians. x = k π/2 + r with k = round(2x / π) and |r| ≤ π/4, from π at p' limbs with
// p' = p + (log10 |x| + 1) / 6 + 2: the error of r is (k + 2) / 2 units at p', under one
// unit at p (2 in all with the floor to p limbs). Where the result is ± sin r (or the
// tangent, which is sin r / cos r or its inverse) and r is small (x near a multiple of π, or
// of π/2 for the cosine and the tangent), the working precision is raised by the number of
// zero leading limbs of r and the reduction repeated, so the relative error of the result
// stays at BASE^−limbs_for(w). π is needed up to PI_MAX_DIGITS: beyond, the result is
// NUM_ERROR with a message. There is no exact case in radians but 0 (Lindemann–Weierstrass:
// sin, cos and tan of a non-zero algebraic number are transcendental).
//
// sin r and cos r (sincos_fix): e^(ir) by the bit-burst decomposition of r into pieces at
// limb positions 1, 3, 9, 27, …, each factor e^(i r_j) a Gaussian fraction from the binary
// splitting of its Taylor series; numerators and denominators multiplied apart at p + 3
// limbs and divided once per component: within 3 units of the last limb (see sincos_fix).
//
// The tangent divides the two enclosures: relative error (e_s + e_c) / (1 − e_c) of the
// two relative errors, at a scale that keeps the quotient limbs_for(w) + 2 limbs long.
//
// Tiny arguments (|x|² below 10^−(w + 40)): sin x = x (1 − ε), tan x = x (1 + ε) with
// 0 < ε < x², so the truncation is decided from x alone (tiny_argument); the cosine is
// .99…9 when x² / 2 is below 10^−(D + 2), D the digits kept.
#include "exact/trig_core.h"

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

enum Fn { SIN, COS, TAN };

constexpr double LN10 = 2.302585092994046;


uint64_t powmod10(int64_t e, uint64_t M) {
  uint64_t r = 1 % M, b = 10 % M;
  while (e > 0) {
    if (e & 1) r = r * b % M;
    b = b * b % M;
    e >>= 1;
  }
  return r;
}

// x mod M for x ≥ 0, exactly.
Dec dec_mod(const Dec &x, uint32_t M) {
  if (x.m.n == 0) return x;
  if (x.e >= 0) {
    uint32_t r;
    nat_divmod_small(x.m, M, &r);
    return dx_from_i64((int64_t)((uint64_t)r * powmod10(x.e, M) % M));
  }
  Nat mod = nat_mul_pow10(nat_from_u64(M), -x.e);
  Nat r;
  nat_divmod(x.m, mod, nullptr, &r);
  return dx_make(r, x.e, false);
}

Dec dec_abs(const Dec &x) { return Dec{x.m, x.e, false}; }

// ---- e^(ir) as a product of Gaussian fractions -------------------------------------------

// For the terms k ∈ [a, b) of e^(ix) − 1 with x = c / BASE^L:
//   S(a, b) = Σ_{k=a}^{b−1} Π_{j=a}^{k} i c / (j BASE^L) = T / (Q BASE^(L (b − a))),
// T = Tr + i Ti a Gaussian integer, P = c^(b − a) (the factor i^(b − a) is applied where
// P is used). The powers of BASE are kept apart as limb shifts.
struct CisSplit {
  Nat Q;  // P = c^(b − a) comes from the split's power table
  Int Tr, Ti;
};

// (re, im) × i^k.
void rotate(Int &re, Int &im, int64_t k) {
  const Int r = re, m = im;
  switch (k & 3) {
    case 1: re = int_neg(m); im = r; break;
    case 2: re = int_neg(r); im = int_neg(m); break;
    case 3: re = m; im = int_neg(r); break;
    default: break;
  }
}

// Ranges this short with c below BASE^2 are split term by term on machine words: adding
// term k to the split of [a, k) is its merge with the one-term split of k,
// T ← T k BASE^L + i^(k − a + 1) P c, P ← P c, Q ← Q k. The term of rank k − a + 1 ≡ 1, 3
// (mod 4) goes to Ti (+, −), ≡ 2, 0 to Tr (−, +); within Ti (Ti ≥ 0) and within −Tr the
// terms alternate and shrink (by x² / (k (k − 1)) < 1 for x < 1), so both magnitudes stay
// non-negative and are accumulated as such.
constexpr int64_t CIS_LEAF_TERMS = 16;

// The pieces of r end at limb positions 1, G, G², … for G = CIS_PIECE_GROWTH (3 measured
// faster than 2 and 4 from 1,000 to 100,000 digits: fewer pieces to combine, longer series).
constexpr int CIS_PIECE_GROWTH = 3;

CisSplit cis_leaf(const Nat &c, int L, int64_t a, int64_t b) {
  const int n = (int)(b - a);
  const uint64_t cv = nat_to_u64(c);
  CisSplit s;
  Nat P = nat_with_room(c, 2 * n + 2);
  s.Q = nat_with_room(nat_from_u64((uint64_t)a), 2 * n + 2);
  Nat re = nat_with_room(Nat{}, n * (L + 3) + 4), im = nat_with_room(c, n * (L + 3) + 4);
  for (int64_t k = a + 1; k < b; ++k) {
    re.n = limbs_mul_word(re.d, re.n, (uint64_t)k);
    im.n = limbs_mul_word(im.d, im.n, (uint64_t)k);
    P.n = limbs_mul_word(P.d, P.n, cv);
    const Nat none{};
    const int64_t rank = (k - a + 1) & 3;
    limbs_shift_add(re, L, rank == 0 || rank == 2 ? P : none, rank == 0);
    limbs_shift_add(im, L, rank == 1 || rank == 3 ? P : none, rank == 3);
    s.Q.n = limbs_mul_word(s.Q.d, s.Q.n, (uint64_t)k);
  }
  nat_trim(re);
  s.Tr = int_from(re, true);
  s.Ti = int_from(im, false);
  return s;
}

// P of a node is c^(b − a): the merges take P1 from the table (no P product per node).
CisSplit cis_split(const Nat &c, int L, int64_t a, int64_t b, PowerTable &pw) {
  if (b - a > 1 && b - a <= CIS_LEAF_TERMS && c.n <= 2) return cis_leaf(c, L, a, b);
  CisSplit s;
  if (b - a == 1) {
    s.Q = nat_from_u64((uint64_t)a);
    s.Ti = int_from(c, false);
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  CisSplit l, r;
  const auto left = [&] { l = cis_split(c, L, a, m, pw); };
  const auto right = [&] { r = cis_split(c, L, m, b, pw); };
  if (split_forks(b - a, L + c.n)) {
    fork_join(left, right, {&r.Q, &r.Tr.m, &r.Ti.m});
  } else {
    left();
    right();
  }
  // T = T1 Q2 BASE^(L n2) + i^n1 P1 T2.
  Int r_re = r.Tr, r_im = r.Ti;
  rotate(r_re, r_im, m - a);
  const Int Q2 = int_from(r.Q, false), P1 = int_from(pw.get(m - a), false);
  const int64_t shift = (int64_t)L * (b - m);
  s.Tr = int_add(int_shift_floor(int_mul(l.Tr, Q2), shift), int_mul(P1, r_re));
  s.Ti = int_add(int_shift_floor(int_mul(l.Ti, Q2), shift), int_mul(P1, r_im));
  s.Q = nat_mul(l.Q, r.Q);
  f.keep({&s.Q, &s.Tr.m, &s.Ti.m});
  return s;
}

// a b from limb `from` on, its magnitude cut as nat_mul_top cuts it.
Int int_mul_top(const Int &a, const Int &b, int from) {
  return int_from(nat_mul_top(a.m, b.m, from), a.neg != b.neg);
}

// A Gaussian number (re + i im) × BASE^s.
struct Gauss {
  Int re, im;
  int64_t s = 0;
};

// Keeps K limbs of the longer component and cuts the other at the same place (floors):
// each component moves by less than one unit of the new scale, which is at most
// BASE^−(K−1) of the modulus.
Gauss cut(const Gauss &z, int K) {
  const int n = std::max(z.re.m.n, z.im.m.n);
  if (n <= K) return z;
  const int64_t drop = n - K;
  return Gauss{int_shift_floor(z.re, -drop), int_shift_floor(z.im, -drop), z.s + drop};
}

// A positive number m × BASE^s, its K leading limbs kept (moved down by less than
// BASE^−(K−1) relatively).
struct Scaled {
  Nat m;
  int64_t s = 0;
};

Scaled cut(const Scaled &v, int K) {
  if (v.m.n <= K) return v;
  return Scaled{nat_high_limbs(v.m, v.m.n - K), v.s + (v.m.n - K)};
}

// One piece of the bit-burst decomposition of r: x = c / BASE^L ≤ 0.8, summed to n terms.
struct CisPiece {
  Nat c;
  int L = 0;
  int64_t n = 0;
  double cost = 0;  // an estimate of its split's time, for sharing pieces between threads
};

// The terms for e^(ix): the tail, at most Σ_{k>n} x^k / k! ≤ 2 x^(n+1) / (n+1)! (for
// x ≤ (n + 2) / 2), is below BASE^−(p+2).
CisPiece cis_plan(const Nat &c, int L, int p) {
  const double lx = (nat_log10(c) + 1e-9 - 6.0 * L) * LN10;  // ≥ ln x
  const double target = -(double)(p + 2) * 6.0 * LN10;
  CisPiece pc;
  pc.c = c;
  pc.L = L;
  pc.n = exp_series_terms(lx, target);
  pc.cost = split_cost(pc.n, L, c.n);
  return pc;
}

// e^(ix) ≈ N / D, Σ_{k=0}^{n} (ix)^k / k!: D = Q BASE^(L n), N = D + T, both cut to K limbs.
void cis_piece(const CisPiece &pc, int K, Gauss *N, Scaled *D) {
  Frame f;
  PowerTable pw;
  pw.c = pc.c;
  pw.prepare(pc.n);
  CisSplit sp = cis_split(pc.c, pc.L, 1, pc.n + 1, pw);
  const int64_t shift = (int64_t)pc.L * pc.n;
  const Int Qs = int_from(nat_shift_limbs(sp.Q, shift), false);
  *N = cut(Gauss{int_add(Qs, sp.Tr), sp.Ti, 0}, K);
  *D = cut(Scaled{sp.Q, shift}, K);  // the power of BASE as a scale: a short Q multiplies cheaply
  f.keep({&N->re.m, &N->im.m, &D->m});
}

// (a + ib)(c + id) = ac − bd + i ((a + b)(c + d) − ac − bd) by three products, each only
// from limb `from` on, six limbs below the K the cut keeps (see sincos_fix for the error).
Gauss gauss_mul_cut(const Gauss &x, const Gauss &y, int K) {
  const int from = std::max(x.re.m.n, x.im.m.n) + std::max(y.re.m.n, y.im.m.n) - K - 6;
  const Int ac = int_mul_top(x.re, y.re, from), bd = int_mul_top(x.im, y.im, from);
  const Int mix = int_mul_top(int_add(x.re, x.im), int_add(y.re, y.im), from);
  const int64_t scale = x.s + y.s + std::max(from, 0);
  return cut(Gauss{int_sub(ac, bd), int_sub(int_sub(mix, ac), bd), scale}, K);
}

// num, den × the fractions of the pieces next() hands out (until it gives −1), in turn.
template <class Next>
void cis_chain(const CisPiece *pieces, const Next &next, int K, Gauss *num, Scaled *den) {
  Frame f;
  Gauss z = *num;
  Scaled d = *den;
  for (int i = next(); i >= 0; i = next()) {
    cancel_check();
    Frame g;
    Gauss N;
    Scaled D;
    cis_piece(pieces[i], K, &N, &D);
    Gauss zz = gauss_mul_cut(z, N, K);
    Scaled dd = cut(Scaled{nat_mul(d.m, D.m), d.s + D.s}, K);
    g.keep({&zz.re.m, &zz.im.m, &dd.m});
    z = zz;
    d = dd;
  }
  f.keep({&z.re.m, &z.im.m, &d.m});
  *num = z;
  *den = d;
}

// From this many limbs on, the pieces of e^(ir) are shared between two threads.
constexpr int PIECES_FORK_MIN_LIMBS = 60;

}  // namespace

double fix_log10(const Int &m, int p) { return nat_log10(m.m) - 6.0 * p; }

// The fraction's limbs are cut into pieces at limb positions 1, 3, 9, 27, …:
// r = Σ r_j, r_j = c_j / BASE^(hi_j) ≤ 0.8, and e^(ir) = Π e^(i r_j), each factor by
// binary splitting of its Taylor series as a Gaussian fraction N_j / D_j (few terms for
// the late, long pieces). The numerators and the denominators are multiplied apart, kept
// to K = p + 3 limbs, and divided once per component. With the second thread free, the
// pieces are shared between two chains of products (each thread takes the next piece when
// it is done with one, and multiplies it into its own chain), which one more product of
// each kind joins: the join counts as one more factor.
// Error, with m factors and ε = BASE^−(p+2): N_j / D_j = e^(i r_j) (1 + ε_j), |ε_j| ≤ ε (the
// tail); each of the ≤ 2m cuts of the numerator changes it by a factor within √2 ε of 1,
// each of the ≤ 2m cuts of the denominator by one within ε. The numerator's products keep
// their columns from `from` on: the true product is at least BASE^(K+4) units of
// BASE^from (its factors' longer components have na and nb limbs, from = na + nb − K − 6),
// and each of the three is low by less than 2 (K + 1) BASE units, so a component moves by
// less than 6 (K + 1) BASE and the product by a factor within 7.3 (K + 1) BASE^−4 ε < ε / 100
// of 1 (a third kind of cut, m of them). So num / den = e^(ir) (1 + θ)
// with |θ| ≤ 6.1 m ε, and as |e^(ir)| = 1 each component is within 6.1 m ε of cos r or
// sin r: 6.1 m / BASE² < 1 unit of BASE^−p. Aligning the numerator to the quotient's scale
// (a floor below BASE^−(K−1) units) and the floor of the quotient add 2: *err = 3.
namespace {

// e^(ir) ≈ (num.re + i num.im) BASE^num.s / (den.m BASE^den.s) with the error stated above.
void cis_fraction(const Nat &R, int p, Gauss *num_out, Scaled *den_out) {
  Frame f;
  const int K = p + 3;
  Gauss num{fix_one(0), Int{}, 0};
  Scaled den{nat_from_u64(1), 0};
  CisPiece pieces[64];
  int count = 0;
  for (int lo = 0, hi = 1; lo < p; lo = hi, hi *= CIS_PIECE_GROWTH) {
    if (hi > p) hi = p;
    const Nat top = nat_high_limbs(R, p - hi);
    const Nat c = lo == 0 ? top : nat_low_limbs(top, hi - lo);
    if (c.n != 0) pieces[count++] = cis_plan(c, hi, p);
  }
  if (count < 2 || p < PIECES_FORK_MIN_LIMBS || !parallel_idle()) {
    int i = 0;
    cis_chain(pieces, [&] { return i < count ? i++ : -1; }, K, &num, &den);
  } else {
    int order[64];
    order_by_cost(count, [&](int i) { return pieces[i].cost; }, order);
    WorkQueue queue(order, count);
    const auto next = [&] { return queue.take(); };
    Gauss num_b{fix_one(0), Int{}, 0};
    Scaled den_b{nat_from_u64(1), 0};
    fork_join([&] { cis_chain(pieces, next, K, &num, &den); },
              [&] { cis_chain(pieces, next, K, &num_b, &den_b); }, {&num_b.re.m, &num_b.im.m, &den_b.m});
    num = gauss_mul_cut(num, num_b, K);
    den = cut(Scaled{nat_mul(den.m, den_b.m), den.s + den_b.s}, K);
  }
  num.re.m = nat_copy(num.re.m);  // the initial 1 is a temporary of this frame too
  f.keep({&num.re.m, &num.im.m, &den.m});
  *num_out = num;
  *den_out = den;
}

}  // namespace

void sincos_fix(const Nat &R, int p, Int *S, Int *C, uint64_t *err) {
  if (R.n == 0) {
    if (S) *S = Int{};
    if (C) *C = fix_one(p);
    *err = 0;
    return;
  }
  Int c, s;
  {
    Frame f;
    Gauss num;
    Scaled den;
    cis_fraction(R, p, &num, &den);
    // component × BASE^(p + num.s − den.s) / den, floored.
    const int64_t shift = (int64_t)p + num.s - den.s;
    if (C) c = int_div_floor(int_shift_floor(num.re, shift), den.m);
    if (S) s = int_div_floor(int_shift_floor(num.im, shift), den.m);
    f.keep({&c.m, &s.m});
  }
  if (S) *S = s;
  if (C) *C = c;
  *err = 3;
}

// The numerator of cis_fraction without its division: with λ = den.m / BASE^(den.n − 1)
// (so 1 ≤ λ < BASE), C = floor(num.re BASE^(p + num.s − den.s − den.n + 1)) is λ cos r
// within λ 6.1 m ε BASE^p + 1 < 2 units (ε = BASE^−(p+2)), and S likewise.
void sincos_scaled_fix(const Nat &R, int p, Int *S, Int *C, uint64_t *err, uint64_t *lambda) {
  if (R.n == 0) {
    *S = Int{};
    *C = fix_one(p);
    *err = 0;
    *lambda = 1;
    return;
  }
  Frame f;
  Gauss num;
  Scaled den;
  cis_fraction(R, p, &num, &den);
  const int64_t shift = (int64_t)p + num.s - den.s - (den.m.n - 1);
  Int c = int_shift_floor(num.re, shift), s = int_shift_floor(num.im, shift);
  c.m = nat_copy(c.m);
  s.m = nat_copy(s.m);
  f.keep({&c.m, &s.m});
  *S = s;
  *C = c;
  *err = 2;
  *lambda = (uint64_t)den.m.d[den.m.n - 1] + 1;
}

Approx approx_fix_below(const Int &m, int p, uint64_t err, uint64_t limit) {
  Nat L = nat_sub_small(nat_mul_u64(nat_shift_limbs(nat_from_u64(1), p), limit), 1);
  Nat hi = nat_add(m.m, nat_from_u64(err));
  if (nat_cmp(hi, L) <= 0) return approx_fix(m, p, err);
  Nat e = nat_from_u64(err);
  if (nat_cmp(m.m, e) <= 0) return approx_undecided();
  Nat lo = nat_sub(m.m, e);
  if (nat_cmp(lo, L) > 0) return approx_undecided();
  // mid = floor((lo + L) / 2), rad = L − mid.
  uint32_t r;
  Nat mid = nat_divmod_small(nat_add(lo, L), 2, &r);
  Approx a = approx_fix(int_from(mid, m.neg), p, 0);
  a.rad = nat_to_u64(nat_sub(L, mid));
  return a;
}

bool tiny_bound_ok(int64_t mag, int64_t w) { return 2 * (mag + 2) < -(w + 40); }

bool is_tiny_for_all(const Dec &x) {
  return x.m.n != 0 && tiny_bound_ok(dx_magnitude(x), ziv_max_digits());
}

bool tiny_argument(const Dec &x, int conv, int dir, int64_t w, Approx *a) {
  const int64_t mag = dx_magnitude(x);
  if (!tiny_bound_ok(mag, w)) return false;
  if (conv == 0) {
    // x with D + 2 digits: the true value lies strictly between X − 1 and X (dir < 0) or X
    // and X + 1 (dir > 0) in units of its last digit, and no truncation to D digits ends
    // inside such an interval.
    const int64_t D = internal_digits - 1;
    const int64_t s = D + 2 - nat_digits(x.m);
    Nat X = nat_mul_pow10(x.m, s);
    a->mid = int_from(dir < 0 ? nat_sub_small(X, 1) : X, x.neg);
    a->e = x.e - s;
    a->rad = 0;
    return true;
  }
  const int q = limbs_for(w) + 1;
  Int pi = const_pi(q + 1);
  Nat c;
  if (conv == 1) {
    uint32_t r;
    c = nat_high_limbs(nat_divmod_small(pi.m, 180, &r), 1);
  } else {
    c = nat_div(nat_shift_limbs(nat_from_u64(180), 2 * (int64_t)q + 1), pi.m);
  }
  // x c within 1.01 x.m units of x.e − 6q; c x ε is far below one unit of the shifted scale.
  const int64_t k = nat_digits(x.m) + 1;
  a->mid = int_from(nat_div_pow10(nat_mul(x.m, c), k), x.neg);
  a->e = x.e - 6 * (int64_t)q + k;
  a->rad = 2;
  return true;
}

namespace {

// n / d with relative errors from en, ed units at p limbs, as an enclosure of about
// limbs_for(w) + 2 limbs.
Approx approx_quotient(const Int &n, uint64_t en, const Int &d, uint64_t ed, int64_t w) {
  if (n.m.n == 0 || d.m.n == 0) return approx_undecided();
  const double rn = std::pow(10.0, std::log10((double)en + 1e-300) - nat_log10(n.m));
  const double rd = std::pow(10.0, std::log10((double)ed + 1e-300) - nat_log10(d.m));
  if (!(rd < 0.1) || !(rn < 0.1)) return approx_undecided();
  const int64_t sh = (int64_t)limbs_for(w) + 2 - (n.m.n - d.m.n);
  Nat num = sh >= 0 ? nat_shift_limbs(n.m, sh) : n.m;
  Nat den = sh >= 0 ? d.m : nat_shift_limbs(d.m, -sh);
  Int q = int_div_floor(int_from(num, n.neg != d.neg), den);
  if (q.m.n == 0) return approx_undecided();
  const double lrad = nat_log10(q.m) + std::log10((rn + rd) / (1.0 - rd) * 1.01);
  if (lrad > 17.5) return approx_undecided();
  Approx a;
  a.mid = q;
  a.e = -6 * sh;
  a.rad = (uint64_t)std::ceil(std::pow(10.0, lrad)) + 2;
  return a;
}

// |x| = k π/2 + r (|r| ≤ π/4 + a few units): R = |r| at p limbs within *er units, *rneg its
// sign, *q = k mod 4. −1 when π would be needed beyond PI_MAX_DIGITS.
int reduce_radians(const Dec &ax, int p, Nat *R, bool *rneg, int *q, uint64_t *er) {
  if (dx_cmp_abs(ax, dx_from_i64(78, -2)) <= 0) {
    *R = fix_from_dec(ax, p).m;
    *rneg = false;
    *q = 0;
    *er = 1;
    return 0;
  }
  const int64_t mag = dx_magnitude(ax);
  const int64_t pp = (int64_t)p + (mag + 1) / 6 + 2;
  if (pp * 6 > PI_MAX_DIGITS) return -1;
  Int pi = const_pi((int)pp);
  Nat X = fix_from_dec(ax, (int)pp).m;
  Nat k = nat_div(nat_add(nat_mul_small(X, 4), pi.m), nat_mul_small(pi.m, 2));
  Int r2 = int_sub(int_from(nat_mul_small(X, 2), false), int_from(nat_mul(k, pi.m), false));
  uint32_t rem;
  *R = nat_high_limbs(nat_divmod_small(r2.m, 2, &rem), (int)(pp - p));
  *rneg = r2.neg;
  *q = k.n ? (int)(k.d[0] % 4) : 0;
  *er = 2;
  return 0;
}

int radians_too_large(DecWord *out) {
  exact_set_message("Exact digits: argument too large for radians");
  dec_set_marker(out, NUM_ERROR);
  return -1;
}

// sin, cos or tan of x in radians.
int eval_radians(DecWord *out, const Dec &x, Fn fn, int64_t w, Approx *a) {
  const Dec ax = dec_abs(x);
  if (fn != COS && tiny_argument(x, 0, fn == SIN ? -1 : 1, w, a)) return 0;
  int extra = 0;
  for (int attempt = 0;; ++attempt) {
    const int p = limbs_for(w) + 1 + extra;
    Nat R;
    bool rneg;
    int q;
    uint64_t er;
    if (reduce_radians(ax, p, &R, &rneg, &q, &er) != 0) return radians_too_large(out);
    const bool uses_sin = fn == TAN || ((fn == SIN) == (q % 2 == 0));
    if (uses_sin && attempt < 8) {
      const int zl = p - R.n;
      if (zl > extra) {
        extra = zl + 1;
        continue;
      }
    }
    // Only the component the result needs: sin r for q even (SIN) or odd (COS); the
    // tangent takes the ratio of the two unscaled components (one quotient in all).
    Int S, C;
    uint64_t E;
    if (fn == TAN) {
      uint64_t lambda;
      sincos_scaled_fix(R, p, &S, &C, &E, &lambda);
      E += lambda * er;  // the argument's error moves λ sin r and λ cos r by λ er at most
    } else {
      sincos_fix(R, p, uses_sin ? &S : nullptr, uses_sin ? nullptr : &C, &E);
      E += er;
    }
    if (rneg) S = int_neg(S);
    Int sx, cx;
    switch (q) {
      case 0: sx = S, cx = C; break;
      case 1: sx = C, cx = int_neg(S); break;
      case 2: sx = int_neg(S), cx = int_neg(C); break;
      default: sx = int_neg(C), cx = S; break;
    }
    if (x.neg) sx = int_neg(sx);
    if (fn == SIN) *a = approx_fix_below(sx, p, E, 1);
    else if (fn == COS) *a = approx_fix_below(cx, p, E, 1);
    else *a = approx_quotient(sx, E, cx, E, w);
    return 0;
  }
}

// floor(u π BASE^p / 180) for 0 ≤ u ≤ 45 (degrees), within 2 units.
Nat degrees_to_radians(const Dec &u, int p) {
  Int pi = const_pi(p + 1);
  Nat n = nat_mul(u.m, pi.m);
  n = u.e >= 0 ? nat_mul_pow10(n, u.e) : nat_div_pow10(n, -u.e);
  uint32_t r;
  return nat_high_limbs(nat_divmod_small(n, 180, &r), 1);
}

// sin u and cos u for 0 < u ≤ 45 degrees, with the precision raised for a small u when
// sin u is used (need_sin). S or C may be null (not computed); with `scaled`, both are
// λ sin u and λ cos u for the same λ ∈ [1, BASE) (sincos_scaled_fix), for a ratio.
void sincos_degrees(const Dec &u, bool need_sin, int64_t w, int *p_out, Int *S, Int *C,
                    uint64_t *E, bool scaled = false) {
  int extra = 0;
  if (need_sin) {
    const int64_t mag = dx_magnitude(u);
    if (mag < 0) extra = (int)((2 - mag) / 6) + 1;
  }
  const int p = limbs_for(w) + 1 + extra;
  Nat R = degrees_to_radians(u, p);
  if (scaled) {
    uint64_t lambda;
    sincos_scaled_fix(R, p, S, C, E, &lambda);
    *E += 2 * lambda;  // R within 2 units
  } else {
    sincos_fix(R, p, S, C, E);
    *E += 2;
  }
  *p_out = p;
}

const Dec kZero{};

Dec dec_int(int64_t v) { return dx_from_i64(v); }

// Degrees: sin t for 0 ≤ t < 360 as (± sin u or ± cos u), u in [0, 45]; or an exact value
// (*exact = 0: none; 1: 0; 2: 1/2; 3: 1).
void fold_sine(Dec t, Dec *u, bool *use_cos, bool *neg, int *exact) {
  *neg = false;
  if (dx_cmp(t, dec_int(180)) >= 0) {
    t = dx_sub(t, dec_int(180));
    *neg = true;
  }
  if (dx_cmp(t, dec_int(90)) > 0) t = dx_sub(dec_int(180), t);
  *exact = 0;
  if (dx_is_zero(t)) *exact = 1;
  else if (dx_cmp(t, dec_int(30)) == 0) *exact = 2;
  else if (dx_cmp(t, dec_int(90)) == 0) *exact = 3;
  if (dx_cmp(t, dec_int(45)) > 0) {
    *u = dx_sub(dec_int(90), t);
    *use_cos = true;
  } else {
    *u = t;
    *use_cos = false;
  }
}

int write_exact(DecWord *out, int code, bool neg) {
  Dec v = code == 1 ? kZero : code == 2 ? dx_from_i64(5, -1) : dec_int(1);
  if (neg) v = dx_neg(v);
  return dx_write(out, v);
}

int trig_entry(DecWord *out, const DecWord *y, Fn fn) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec x = dx_of(y);
    if (dx_is_zero(x)) return write_exact(out, fn == COS ? 3 : 1, false);
    const bool degrees = exact_radian_mode == 0;
    const int64_t D = internal_digits - 1;
    if (fn == COS && 2 * (dx_magnitude(x) + 1) < -(D + 3)) {
      // cos x in (1 − x²/2, 1): .99…9 with D nines.
      Nat nines = nat_sub_small(nat_mul_pow10(nat_from_u64(1), D + 2), 1);
      return dx_write(out, Dec{nines, -(D + 2), false});
    }
    if (!degrees) {
      return ziv_loop(out, [&](int64_t w, Approx *a) { return eval_radians(out, x, fn, w, a); });
    }
    if (fn != COS && is_tiny_for_all(x)) {
      return ziv_loop(out, [&](int64_t w, Approx *a) {
        tiny_argument(x, 1, fn == SIN ? -1 : 1, w, a);
        return 0;
      });
    }
    const Dec ax = dec_abs(x);
    if (fn == TAN) {
      Dec t = dec_mod(ax, 180);
      bool neg = x.neg;
      const int c90 = dx_cmp(t, dec_int(90));
      if (c90 == 0) {
        dec_set_marker(out, NUM_OVERFLOW);
        return -1;
      }
      if (c90 > 0) {
        t = dx_sub(dec_int(180), t);
        neg = !neg;
      }
      if (dx_is_zero(t)) return write_exact(out, 1, false);
      if (dx_cmp(t, dec_int(45)) == 0) return write_exact(out, 3, neg);
      const bool cot = dx_cmp(t, dec_int(45)) > 0;
      const Dec u = cot ? dx_sub(dec_int(90), t) : t;
      return ziv_loop(out, [&](int64_t w, Approx *a) {
        if (!cot && tiny_argument(neg ? dx_neg(u) : u, 1, 1, w, a)) return 0;
        int p;
        Int S, C;
        uint64_t E;
        sincos_degrees(u, true, w, &p, &S, &C, &E, true);
        if (neg) S = int_neg(S);
        *a = cot ? approx_quotient(C, E, S, E, w) : approx_quotient(S, E, C, E, w);
        return 0;
      });
    }
    // sin t, and cos t = sin(t + 90).
    Dec t = dec_mod(ax, 360);
    bool neg = fn == SIN && x.neg;
    if (fn == COS) t = dec_mod(dx_add(t, dec_int(90)), 360);
    Dec u;
    bool use_cos, fneg;
    int exact;
    fold_sine(t, &u, &use_cos, &fneg, &exact);
    neg = neg != fneg;
    if (exact) return write_exact(out, exact, neg && exact != 1);
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      if (!use_cos && tiny_argument(neg ? dx_neg(u) : u, 1, -1, w, a)) return 0;
      int p;
      Int S, C;
      uint64_t E;
      sincos_degrees(u, !use_cos, w, &p, use_cos ? nullptr : &S, use_cos ? &C : nullptr, &E);
      Int v = use_cos ? C : S;
      if (neg) v = int_neg(v);
      *a = approx_fix_below(v, p, E, 1);
      return 0;
    });
  });
}

}  // namespace

}  // namespace exact

int exact_sin(DecWord *out, const DecWord *y) { return exact::trig_entry(out, y, exact::SIN); }
int exact_cos(DecWord *out, const DecWord *y) { return exact::trig_entry(out, y, exact::COS); }
int exact_tan(DecWord *out, const DecWord *y) { return exact::trig_entry(out, y, exact::TAN); }
