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
// sin r and cos r (sincos_fix): the bit-burst decomposition of r into pieces r_j of
// decimal digits (d_{j−1}, d_j], d_j = z + 2 × 4^j after the z zero leading digits. Each
// sin r_j is Taylor's series by binary splitting, cut when the first omitted term is below
// 10^−(6p + 2) (alternating series, decreasing terms: the tail is below it), divided once
// (floor): within 2 units. cos r_j = √(1 − sin² r_j) (sqrt_fix, within its proved bound ε):
// within 1 + ε + 2 s/c units (s/c ≤ 1.03 for r_j ≤ 0.8). The pieces are combined by the addition formulas with one floor per
// component: the bound E grows to E (1 + |s_j|) + Δs_j + Δc_j + 1.
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
#include "exact/run.h"
#include "exact/series.h"


namespace exact {

namespace {

enum Fn { SIN, COS, TAN };

constexpr double LN10 = 2.302585092994046;

// Each piece of the bit-burst decomposition is this many times longer than the digits
// before it (see sincos_fix).
// Fourfold rather than doubling: fewer pieces, each with its division and square root, for
// somewhat longer series (measured faster from 1,000 to 100,000 digits).
constexpr int64_t PIECE_GROWTH = 4;

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

// √V at p limbs for V = v BASE^(2p) with 0.45 ≤ v ≤ 1: |C − √V| ≤ *err units.
// 1/√v by Newton's iteration y ← y + y (1 − v y²) / 2 at doubling lengths to p/2 limbs,
// then C = v y + y (v − (v y)²) / 2 at p limbs (Karp and Markstein); the bound is proved
// afterwards from the exact residual: |C − √V| = |V − C²| / (C + √V) ≤ |V − C²| / C.
// About six products against the ten or more of the exact root with remainder.
Int sqrt_fix(const Nat &V, int p, uint64_t *err) {
  const int target = p / 2 + 3;
  if (p >= 48) {
    Frame f;
    const double v0 = std::pow(10.0, nat_log10(V) - 12.0 * p);
    int q = 2;
    Int y = int_from(nat_from_u64((uint64_t)(1e12 / std::sqrt(v0))), false);
    while (q < target) {
      const int qn = std::min(2 * q, target);
      Int yq = int_shift_floor(y, qn - q);
      Int vq = int_from(nat_high_limbs(V, 2 * p - qn), false);
      Int e = int_sub(fix_one(qn), fix_mul(fix_mul(yq, yq, qn), vq, qn));
      y = int_add(yq, int_div_floor(fix_mul(yq, e, qn), nat_from_u64(2)));
      q = qn;
    }
    Int yp = int_shift_floor(y, p - q);
    Int c = fix_mul(int_from(nat_high_limbs(V, p), false), yp, p);
    Int r = int_sub(int_from(V, false), int_mul(c, c));
    c = int_add(c, int_div_floor(int_shift_floor(int_mul(yp, r), -2 * (int64_t)p), nat_from_u64(2)));
    Int rho = int_sub(int_from(V, false), int_mul(c, c));
    const double bound =
        rho.m.n == 0 ? 0.0 : std::pow(10.0, nat_log10(rho.m) - nat_log10(c.m)) * 1.01;
    if (!c.neg && c.m.n > 0 && bound < 1e6) {
      *err = (uint64_t)std::ceil(bound) + 1;
      f.keep({&c.m});
      return c;
    }
  }
  *err = 1;
  return int_from(nat_sqrt(V), false);
}

// Binary splitting of the sine series of x = a / 10^d over terms [lo, hi): term k / term
// k − 1 = −a² / (2k (2k + 1) 10^(2d)). The power of ten of Q is kept apart (Q = Q' 10^E),
// so T1 Q2 is a product by the short Q2' and a shift, and Q' stays short. P of a range is
// (−a²)^length and a balanced split has at most a few distinct lengths per level, so the
// powers come from a table computed once (Powers) instead of a product at every node.
struct SinSplit {
  Nat Q;  // Q'
  int64_t E = 0;
  Int T;
};

struct Powers {
  static constexpr int MAX = 256;
  int64_t len[MAX];
  Nat pw[MAX];
  int n = 0;
  const Nat *a2 = nullptr;

  // a2^k, computed (and kept in the caller's frame) on first use.
  const Nat &get(int64_t k) {
    for (int i = 0; i < n; ++i)
      if (len[i] == k) return pw[i];
    Nat v = k == 1 ? *a2 : nat_mul(get(k / 2), get(k - k / 2));
    if (n == MAX) throw ExactOutOfMemory{};
    len[n] = k;
    pw[n] = v;
    return pw[n++];
  }
};

// Fills the table with the powers the split of [lo, hi) uses (left halves' lengths), level
// by level, so no node computes one inside its own frame.
void prepare_powers(int64_t length, Powers &t) {
  int64_t level[8], next[8];
  int nl = 1;
  level[0] = length;
  while (nl > 0) {
    int nn = 0;
    for (int i = 0; i < nl; ++i) {
      const int64_t n = level[i];
      if (n < 2) continue;
      const int64_t parts[2] = {n / 2, n - n / 2};
      t.get(parts[0]);
      for (int64_t q : parts) {
        bool seen = false;
        for (int j = 0; j < nn; ++j) seen = seen || next[j] == q;
        if (!seen && nn < 8) next[nn++] = q;
      }
    }
    for (int i = 0; i < nn; ++i) level[i] = next[i];
    nl = nn;
  }
}

SinSplit sin_split(int64_t lo, int64_t hi, Powers &pw, int64_t e2d) {
  SinSplit s;
  if (hi - lo == 1) {
    s.Q = nat_from_u64((uint64_t)(2 * lo) * (uint64_t)(2 * lo + 1));
    s.E = e2d;
    s.T = int_from(*pw.a2, true);
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = lo + (hi - lo) / 2;
  SinSplit l = sin_split(lo, m, pw, e2d), r = sin_split(m, hi, pw, e2d);
  Int t1 = int_mul(l.T, int_from(r.Q, false));
  t1.m = nat_mul_pow10(t1.m, r.E);
  const Int p1 = int_from(pw.get(m - lo), (m - lo) % 2 != 0);
  s.T = int_add(t1, int_mul(p1, r.T));
  s.Q = nat_mul(l.Q, r.Q);
  s.E = l.E + r.E;
  f.keep({&s.Q, &s.T.m});
  return s;
}

// floor(sin(a / 10^d) BASE^p) within 2 units, a / 10^d ≤ 0.8.
Int sin_piece(const Nat &a, int64_t d, int p) {
  const int64_t D = 6 * (int64_t)p;
  const double lx = nat_log10(a) - (double)d;
  // The first omitted term x^(2N+1) / (2N+1)! below 10^−(D + 2).
  int64_t N = 1;
  auto lg_term = [&](int64_t n) {
    return (double)(2 * n + 1) * lx - std::lgamma((double)(2 * n + 2)) / LN10;
  };
  if (lg_term(1) >= -(double)(D + 2)) {
    int64_t lo = 1, hi = 2;
    while (lg_term(hi) >= -(double)(D + 2)) hi *= 2;
    while (hi - lo > 1) {
      const int64_t mid = (lo + hi) / 2;
      (lg_term(mid) >= -(double)(D + 2) ? lo : hi) = mid;
    }
    N = hi;
  }
  if (N < 2) return int_from(nat_mul_pow10(a, D - d), false);  // sin x within x³/6 < 1 unit
  Nat a2 = nat_sqr(a);
  Powers pw;
  pw.a2 = &a2;
  prepare_powers(N - 1, pw);
  SinSplit s = sin_split(1, N, pw, 2 * d);
  // sin x = x (1 + T / (Q' 10^E)) with T < 0, x = a / 10^d: a 10^(D − d) minus
  // ceil(a |T| 10^(D − d) / (Q' 10^E)), which is at most one above the floor taken here.
  Nat t = nat_mul(a, s.T.m);
  const int64_t shift = s.E - (D - d);
  t = shift >= 0 ? nat_div_pow10(t, shift) : nat_mul_pow10(t, -shift);
  Nat u = nat_add_small(nat_div(t, s.Q), 1);
  return int_from(nat_sub(nat_mul_pow10(a, D - d), u), false);
}

}  // namespace

double fix_log10(const Int &m, int p) { return nat_log10(m.m) - 6.0 * p; }

void sincos_fix(const Nat &R, int p, Int *S, Int *C, uint64_t *err) {
  if (R.n == 0) {
    *S = Int{};
    *C = fix_one(p);
    *err = 0;
    return;
  }
  const int64_t D = 6 * (int64_t)p;
  const int64_t z = D - nat_digits(R);
  Int s, c;
  uint64_t E = 0;
  bool first = true;
  Nat prev;  // floor(r 10^prev_d)
  int64_t prev_d = z;
  for (int64_t len = 2;; len *= PIECE_GROWTH) {
    cancel_check();
    const int64_t d = std::min(z + len, D);
    Frame f;
    Nat hi = nat_div_pow10(R, D - d);
    Nat a = nat_sub(hi, nat_mul_pow10(prev, d - prev_d));
    if (a.n != 0) {
      Int sj = sin_piece(a, d, p);
      const uint64_t ds = 2;
      // cos = √(1 − sin²): the error is 1 + ds s / c.
      Nat one2 = nat_shift_limbs(nat_from_u64(1), 2 * (int64_t)p);
      uint64_t eroot;
      Int cj = sqrt_fix(nat_sub(one2, nat_sqr(sj.m)), p, &eroot);
      const double ratio =
          sj.m.n == 0 ? 0.0 : std::pow(10.0, fix_log10(sj, p) - fix_log10(cj, p));
      const uint64_t dc = eroot + 1 + (uint64_t)std::ceil((double)ds * ratio * 1.01);
      if (first) {
        s = sj;
        c = cj;
        E = std::max(ds, dc);
        first = false;
      } else {
        const double sb = std::pow(10.0, nat_log10(nat_add_small(a, 1)) - (double)d);
        Int s2 = int_shift_floor(int_add(int_mul(s, cj), int_mul(c, sj)), -(int64_t)p);
        Int c2 = int_shift_floor(int_sub(int_mul(c, cj), int_mul(s, sj)), -(int64_t)p);
        s = s2;
        c = c2;
        E = E + (uint64_t)std::ceil((double)E * sb * 1.01) + ds + dc + 1;
      }
    }
    prev = hi;
    prev_d = d;
    f.keep({&s.m, &c.m, &prev});
    if (d == D) break;
  }
  *S = s;
  *C = c;
  *err = E;
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
    Int S, C;
    uint64_t E;
    sincos_fix(R, p, &S, &C, &E);
    E += er;
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
// sin u is used (need_sin).
void sincos_degrees(const Dec &u, bool need_sin, int64_t w, int *p_out, Int *S, Int *C,
                    uint64_t *E) {
  int extra = 0;
  if (need_sin) {
    const int64_t mag = dx_magnitude(u);
    if (mag < 0) extra = (int)((2 - mag) / 6) + 1;
  }
  const int p = limbs_for(w) + 1 + extra;
  Nat R = degrees_to_radians(u, p);
  sincos_fix(R, p, S, C, E);
  *E += 2;
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
        sincos_degrees(u, true, w, &p, &S, &C, &E);
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
      sincos_degrees(u, !use_cos, w, &p, &S, &C, &E);
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
