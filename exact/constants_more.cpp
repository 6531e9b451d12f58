// Euler's γ, Catalan's G, ζ(3), ln 2, the golden ratio φ and √2 in the exact mode, each
// computed on demand and cached for the session (as π is beyond its stored digits).
//
// Every constant c is kept as floor(c × BASE^p). A series constant is computed at pp = p + g
// limbs as W with |W − c BASE^pp| ≤ err (a few units); when W − err and W + err have the same
// floor at p limbs that is the result, otherwise g grows (cached_floor).
//
// γ, Brent and McMillan's algorithm B3 with n chosen so that 24 e^(−8n) ≤ 10^−(6pp + 2) (the
// bound of Brent and Johansson, 2015, for N = ⌈4.970626 n⌉ + 1 terms of the two Bessel
// series and 2n of the asymptotic one):
//   γ = S/I − U/I² − ln n,  I = Σ_{k<N} n^2k/k!²,  S = Σ_{k<N} H_k n^2k/k!²,
//   U = (1/(4n)) Σ_{k<2n} (2k)!³ / (k!⁴ 8^2k (2n)^2k).
// One binary splitting carries P, Q, T for I, C/D for H_k and V for S (S/I = V/((T+Q) D));
// a second one gives U = T'/Q'. Each quotient is floored at pp limbs from operands cut to
// pp + 4 limbs (relative change 2 BASE^−(pp+3), with values below 12: under 0.001 units), and
// ln n comes from ln_dec: |W − γ BASE^pp| ≤ 2 + 0.01 + err(ln n).
//
// G, the series of K. C. and Kh. Hessami Pilehrood (2010, proven):
//   G = (1/64) Σ_{n≥1} (−1)^(n−1) 256^n P1(n) / (n³ (2n−1) (4n−3)² (4n−1)² C(8n,4n)² C(2n,n)),
//   P1(n) = 419840n⁶ − 915456n⁵ + 782848n⁴ − 332800n³ + 73256n² − 7800n + 315.
// With m = n − 1 the terms are P1(m+1) u_m, u_0 = 32/11025 and u_m/u_{m−1} = p(m)/q(m),
// p(m) = −32 m³(2m−1)(4m−3)²(4m−1)², q(m) = ((8m+1)(8m+3)(8m+5)(8m+7))², so |p/q| < 1/1024
// and (P1 increasing, P1(n+1)/P1(n) ≤ 382) every term is below 0.4 of the one before: the
// tail after M terms is under twice the first omitted term, below 10^−(6pp+2).
//
// ζ(3), Amdeberhan and Zeilberger (1997):
//   ζ(3) = (1/64) Σ_{k≥0} (−1)^k (k!)^10 (205k² + 250k + 77) / ((2k+1)!)^5,
// term ratio −k⁵ / (32 (2k+1)⁵) (below 1/1024 in magnitude); the tail as for G.
// Both quotients T / (64 Q) are floored from operands cut to pp + 4 limbs: within 2 units.
//
// ln 2 is the exp/log family's constant (three atanh series, exact/exp_log.cpp). φ and √2
// are exact integer square roots: floor(√2 BASE^p) = isqrt(2 BASE^2p) and
// floor(φ BASE^p) = floor((BASE^p + isqrt(5 BASE^2p)) / 2) (floor((a + x)/2) =
// floor((a + floor x)/2) for an integer a).
//
// The truncated results are never exact decimals (γ is not known to be irrational, but a
// terminating decimal would show at some precision; the loop's limit answers "could not be
// decided" if one ever did); the entry points are the correctness loop over the floor.
#include <cmath>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"

namespace exact {

namespace {

// 840,000 digits: the largest working precision at 100,000; the storage is reserved when a
// value is first kept.
constexpr int CACHE_LIMBS = 140000;
ConstCache euler_cache{nullptr, CACHE_LIMBS};
ConstCache catalan_cache{nullptr, CACHE_LIMBS};
ConstCache zeta3_cache{nullptr, CACHE_LIMBS};
ConstCache phi_cache{nullptr, CACHE_LIMBS};
ConstCache sqrt2_cache{nullptr, CACHE_LIMBS};

// floor(c BASE^p) from fixed(pp, &err) → W with |W − c BASE^pp| ≤ err, served from and
// stored into the cache.
template <class Fixed>
Int cached_floor(ConstCache &cache, int p, const Fixed &fixed) {
  Int out;
  if (cache_get(cache, p, &out)) return out;
  {
    Frame f;
    for (int g = 1;; g += 1 + g / 2) {
      Frame h;
      uint64_t err = 0;
      const Nat W = fixed(p + g, &err);
      const Nat e = nat_from_u64(err);
      if (nat_cmp(W, e) < 0) continue;
      const Nat lo = nat_high_limbs(nat_sub(W, e), g), hi = nat_high_limbs(nat_add(W, e), g);
      if (nat_cmp(lo, hi) == 0) {
        out = int_from(nat_copy(lo), false);
        h.keep({&out});
        break;
      }
    }
    f.keep({&out});
  }
  cache_put(cache, out, p);
  return out;
}

// floor(a BASE^ea BASE^p / (b BASE^eb)) from a and b cut to p + 4 limbs.
Nat quotient_cut(const Nat &a, int64_t ea, const Nat &b, int64_t eb, int p) {
  int64_t da, db;
  const Nat at = nat_lead(a, p + 4, &da), bt = nat_lead(b, p + 4, &db);
  const int64_t s = p + ea + da - eb - db;
  return s >= 0 ? nat_div(nat_shift_limbs(at, s), bt) : nat_div(nat_high_limbs(at, (int)-s), bt);
}

// ---- γ ----------------------------------------------------------------------------------
struct EulerSplit {
  Nat Q, D, T, C, V;  // P = n^(2 (b − a)) from the power table
};

// Terms [a, b) of I − 1 and S: the leaf j carries the ratio n² / (j+1)² and the harmonic
// step 1 / (j + 1). Merging L = [a, m) and R = [m, b) (P_L from the table):
//   Q = Q_L Q_R, D = D_L D_R, T = T_L Q_R + P_L T_R, C = C_L D_R + C_R D_L,
//   V = D_R (Q_R V_L + C_L P_L T_R) + D_L P_L V_R.
EulerSplit euler_split(int64_t a, int64_t b, const Nat &n2, PowerTable &pw, bool need_c) {
  EulerSplit s;
  if (b - a == 1) {
    const uint64_t j1 = (uint64_t)a + 1;
    s.Q = nat_from_u64(j1 * j1);
    s.D = nat_from_u64(j1);
    s.C = nat_from_u64(1);
    s.T = n2;
    s.V = n2;
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  EulerSplit l = euler_split(a, m, n2, pw, true), r = euler_split(m, b, n2, pw, true);
  const Nat PL = pw.get(m - a);
  const Nat PT = nat_mul(PL, r.T);
  s.T = nat_add(nat_mul(l.T, r.Q), PT);
  s.V = nat_add(nat_mul(r.D, nat_add(nat_mul(r.Q, l.V), nat_mul(l.C, PT))),
                nat_mul(l.D, nat_mul(PL, r.V)));
  if (need_c) s.C = nat_add(nat_mul(l.C, r.D), nat_mul(r.C, l.D));
  s.Q = nat_mul(l.Q, r.Q);
  s.D = nat_mul(l.D, r.D);
  f.keep({&s.Q, &s.D, &s.T, &s.C, &s.V});
  return s;
}

Nat euler_fixed(int pp, uint64_t *err) {
  const double digits = 6.0 * pp + 2;
  const int64_t n = (int64_t)std::ceil((digits * std::log(10.0) + std::log(24.0)) / 8.0) + 1;
  const int64_t N = (int64_t)std::ceil(4.970626 * (double)n) + 1;
  const Nat n2 = nat_from_u64((uint64_t)(n * n));
  Nat A, B;
  {
    PowerTable pw;
    pw.c = n2;
    pw.prepare(N);
    EulerSplit s = euler_split(0, N, n2, pw, false);
    const Nat TQ = nat_add(s.T, s.Q);
    // S/I = V / ((T + Q) D); U/I² = T' Q² / (Q' (T + Q)²), each from cut operands.
    int64_t d1, d2;
    const Nat den = nat_mul(nat_lead(TQ, pp + 4, &d1), nat_lead(s.D, pp + 4, &d2));
    A = quotient_cut(s.V, 0, den, d1 + d2, pp);
    Split u = bsplit(
        0, 2 * n,
        [&](int64_t k, Int *P, Nat *Q) {
          if (k == 0) {
            *P = int_from_i64(1);
            *Q = nat_from_u64(4 * (uint64_t)n);
          } else {
            const uint64_t o = 2 * (uint64_t)k - 1;
            *P = int_from(nat_mul_u64(nat_from_u64(o * o), o), false);
            *Q = nat_mul_u64(nat_from_u64(32 * (uint64_t)k), (uint64_t)(n * n));
          }
        },
        false);
    int64_t e1, e2, e3, e4;
    const Nat Qc = nat_lead(s.Q, pp + 4, &e1), TQc = nat_lead(TQ, pp + 4, &e2);
    const Nat num = nat_mul(nat_lead(u.T.m, pp + 4, &e3), nat_sqr(Qc));
    const Nat dn = nat_mul(nat_lead(u.Q, pp + 4, &e4), nat_sqr(TQc));
    B = quotient_cut(num, e3 + 2 * e1, dn, e4 + 2 * e2, pp);
  }
  uint64_t el;
  const Int L = approx_to_fix(ln_dec(dx_from_i64(n), 6 * (int64_t)pp + 12), pp, &el);
  *err = el + 3;
  return nat_sub(nat_sub(A, B), L.m);
}

// ---- G and ζ(3) ---------------------------------------------------------------------------
Nat nat_of_product(std::initializer_list<uint64_t> factors) {
  Nat r = nat_from_u64(1);
  for (uint64_t f : factors) r = nat_mul_u64(r, f);
  return r;
}

// P1(n) = 419840n⁶ − 915456n⁵ + 782848n⁴ − 332800n³ + 73256n² − 7800n + 315 by Horner.
Int pilehrood_p1(uint64_t n) {
  static const int64_t C[] = {419840, -915456, 782848, -332800, 73256, -7800, 315};
  Int acc = int_from_i64(C[0]);
  for (int i = 1; i < 7; ++i) acc = int_add(int_mul(acc, int_from(nat_from_u64(n), false)), int_from_i64(C[i]));
  return acc;
}

Nat catalan_fixed(int pp, uint64_t *err) {
  const int64_t M = (int64_t)std::ceil((6.0 * pp + 4) / std::log10(1024.0)) + 2;
  Split s = bsplit_weighted(
      0, M,
      [&](int64_t k, Split *t) {
        const uint64_t m = (uint64_t)k;
        if (m == 0) {
          t->P = int_from_i64(32);
          t->Q = nat_from_u64(11025);
        } else {
          t->P = int_from(nat_of_product({32, m, m, m, 2 * m - 1, 4 * m - 3, 4 * m - 3, 4 * m - 1, 4 * m - 1}),
                          true);
          const Nat q = nat_of_product({8 * m + 1, 8 * m + 3, 8 * m + 5, 8 * m + 7});
          t->Q = nat_sqr(q);
        }
        t->T = int_mul(t->P, pilehrood_p1(m + 1));
      },
      false);
  *err = 2;
  return quotient_cut(s.T.m, 0, nat_mul_small(s.Q, 64), 0, pp);
}

Nat zeta3_fixed(int pp, uint64_t *err) {
  const int64_t M = (int64_t)std::ceil((6.0 * pp + 4) / std::log10(1024.0)) + 2;
  Split s = bsplit_weighted(
      0, M,
      [&](int64_t k, Split *t) {
        const uint64_t m = (uint64_t)k;
        if (m == 0) {
          t->P = int_from_i64(1);
          t->Q = nat_from_u64(1);
        } else {
          t->P = int_from(nat_of_product({m, m, m, m, m}), true);
          const uint64_t o = 2 * m + 1;
          t->Q = nat_of_product({32, o, o, o, o, o});
        }
        t->T = int_mul(t->P, int_from(nat_from_u64(205 * m * m + 250 * m + 77), false));
      },
      false);
  *err = 2;
  return quotient_cut(s.T.m, 0, nat_mul_small(s.Q, 64), 0, pp);
}

// The entry points: the correctness loop over floor(c BASE^p), within one unit below c.
template <class Constant>
int constant_entry(DecWord *out, const Constant &constant) {
  return run_exact(out, [&] {
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      const int p = limbs_for(w);
      *a = approx_fix(constant(p), p, 1);
      return 0;
    });
  });
}

}  // namespace

Int const_euler(int p) { return cached_floor(euler_cache, p, euler_fixed); }
Int const_catalan(int p) { return cached_floor(catalan_cache, p, catalan_fixed); }
Int const_zeta3(int p) { return cached_floor(zeta3_cache, p, zeta3_fixed); }

namespace {

Int const_sqrt2(int p) {
  return cached_floor(sqrt2_cache, p, [](int pp, uint64_t *err) {
    *err = 0;
    return nat_sqrt(nat_shift_limbs(nat_from_u64(2), 2 * (int64_t)pp));
  });
}

Int const_phi(int p) {
  return cached_floor(phi_cache, p, [](int pp, uint64_t *err) {
    *err = 0;
    const Nat r = nat_sqrt(nat_shift_limbs(nat_from_u64(5), 2 * (int64_t)pp));
    uint32_t rem;
    return nat_divmod_small(nat_add(r, nat_shift_limbs(nat_from_u64(1), pp)), 2, &rem);
  });
}

}  // namespace

}  // namespace exact

int exact_euler(DecWord *out) { return exact::constant_entry(out, exact::const_euler); }
int exact_catalan(DecWord *out) { return exact::constant_entry(out, exact::const_catalan); }
int exact_zeta3(DecWord *out) { return exact::constant_entry(out, exact::const_zeta3); }
int exact_ln2(DecWord *out) { return exact::constant_entry(out, exact::const_ln2); }
int exact_phi(DecWord *out) { return exact::constant_entry(out, exact::const_phi); }
int exact_sqrt2(DecWord *out) { return exact::constant_entry(out, exact::const_sqrt2); }
