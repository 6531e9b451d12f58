// The Riemann ζ(s) for real s ≠ 1 in the exact mode.
//
// Exact cases: ζ(0) = −1/2, ζ(−2k) = 0, and ζ(1 − 2k) = −B_2k / (2k) = (−1)^k T_k / (4^k (4^k − 1))
// (T_k the tangent numbers) for k ≤ 600, written as the exact rational's truncation (never a
// terminating decimal: B_2k's denominator has the factor 3). s = 1 is a pole: ERROR.
// Decided by enclosures:
//  - s > 0: η(s) = Σ (−1)^k (k+1)^−s by the alternating-series acceleration of Cohen,
//    Rodriguez Villegas and Zagier in Borwein's integer form,
//      η(s) ≈ (1/d_n) Σ_{k<n} (−1)^k (d_n − d_k) (k+1)^−s,
//      d_k = n Σ_{i≤k} (n+i−1)! 4^i / ((n−i)! (2i)!),  d_n = T_n(3) ≥ (3 + √8)^n / 2,
//    whose relative error is at most 1/d_n for every real s > 0 ((k+1)^−s are the moments of
//    the positive measure (−ln t)^(s−1) dt / Γ(s) on [0, 1], and the weights come from the
//    shifted Chebyshev polynomial, at most 1 on [0, 1]). n = ⌈(w + 6) / log10(3 + √8)⌉ + 2.
//    The weights e_i = d_i − d_(i−1) are exact integers, run backwards from e_n = 2^(2n−1) by
//    e_(i−1) = e_i i (2i − 1) / (2 (n+i−1) (n−i+1)) (exact divisions), and d_n by Chebyshev's
//    recurrence; (k+1)^−s at p limbs: floor(BASE^p / (k+1)^s) by divisions for an integer s,
//    otherwise exp(−s ln q) for primes q (cached while they fit a memory budget) and products
//    for the other k (each product adds its floor): Σ |weights| ≤ n d_n bounds the sum's error
//    by n (max error of a term) units. η ≥ 1/2 for s > 0.
//    Then ζ(s) = η(s) / (1 − 2^(1−s)), the factor from exp((1 − s) ln 2) with −log10 |1 − s|
//    more digits near the pole.
//  - Large s: while K = ⌈10^((w+10)/s)⌉ is well below n, the direct sum
//    Σ_{k<K} k^−s + K^(1−s) / (s − 1) + θ K^−s, θ ∈ [0, 1] (the integral comparison); for
//    s log10 2 beyond the precision ζ(s) truncates to 1 (ζ(s) − 1 < 2^(1−s)).
//  - ζ(3) is the cached constant; ζ(2k) = T_k π^2k / (2 (4^k − 1) (2k − 1)!) for k ≤ 100.
//  - s < 0: ζ(s) = 2^s π^(s−1) sin(πs/2) Γ(1 − s) ζ(1 − s), with sin(πs/2) from the exact
//    fraction (ap_sinpi) and Γ(1 − s) from exact/gamma.cpp.
//  - Tiny |s| (below 10^−(w+6)): ζ(s) = −1/2 − s ln(2π) / 2 + O(s²), within one unit.
// Results past the exponent range (very negative s) are found from lgamma first.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/run.h"
#include "exact/special.h"

namespace exact {

namespace {

constexpr double LN10 = 2.302585092994046;
constexpr double PI_D = 3.14159265358979323846;
constexpr int EXACT_NEGATIVE_K = 600;
constexpr int EVEN_PI_K = 100;
// Words of cached prime powers q^−s (every prime at 10,000 digits, about 350 at 100,000).
constexpr size_t PRIME_CACHE_WORDS = (size_t)6 << 20;

double dec_to_double(const Dec &x) {
  const double v = std::pow(10.0, nat_log10(x.m) + (double)x.e);
  return x.neg ? -v : v;
}

// ---- the terms (k+1)^−s at p limbs ------------------------------------------------------
// Terms j^−s for j = 1 .. count as fixed-point Ints with error bounds, produced in
// decreasing order of j (the order Borwein's sum runs in).
struct Powers {
  Dec s;
  bool integer = false;
  int64_t si = 0;
  int p = 0;
  int64_t w = 0;
  int64_t count = 0;
  uint32_t *spf = nullptr;  // smallest prime factor of 2 .. count
  Nat *cache = nullptr;     // q^−s for cached primes q, indexed by q
  uint64_t *cache_err = nullptr;
  int64_t cache_limit = 0;  // primes ≤ this are cached

  // j^−s by exp(−s ln j).
  Int direct(int64_t j, uint64_t *err) const {
    const int64_t lz = (int64_t)std::ceil(std::log10(std::fabs(dec_to_double(s)) * std::log((double)j) + 1));
    const int64_t wz = 6 * (int64_t)p + 8 + lz;
    const Approx z = ap_mul(ap_neg(ap_exact(s)), ln_dec(dx_from_i64(j), wz), wz);
    return approx_to_fix(ap_exp(z, 6 * (int64_t)p + 6), p, err);
  }

  void prepare() {
    if (integer) return;
    spf = (uint32_t *)arena_alloc((size_t)count + 1);
    std::memset(spf, 0, sizeof(uint32_t) * ((size_t)count + 1));
    for (int64_t i = 2; i <= count; ++i) {
      if (spf[i]) continue;
      for (int64_t j = i; j <= count; j += i)
        if (!spf[j]) spf[j] = (uint32_t)i;
    }
    // The primes in increasing order while their powers fit the budget.
    const int64_t fit = (int64_t)(PRIME_CACHE_WORDS / (size_t)(p + 2));
    int64_t primes = 0;
    cache_limit = count;
    for (int64_t q = 2; q <= count; ++q) {
      if (spf[q] != (uint32_t)q) continue;
      if (++primes > fit) {
        cache_limit = q - 1;
        break;
      }
    }
    cache = (Nat *)arena_alloc(((size_t)cache_limit + 1) * sizeof(Nat) / sizeof(uint32_t) + 2);
    cache_err = (uint64_t *)arena_alloc(((size_t)cache_limit + 1) * 2 + 2);
    ProgressLoop loop;
    for (int64_t q = 2; q <= cache_limit; ++q) {
      if (spf[q] != (uint32_t)q) continue;
      cancel_check();
      loop.set((int)(1000.0 * (double)q / (double)cache_limit), 1000);
      uint64_t e;
      Frame f;  // the exponential's and the logarithm's temporaries go, the power stays
      Nat v = direct(q, &e).m;
      f.keep({&v});
      cache[q] = v;
      cache_err[q] = e;
    }
  }

  // j^−s, within *err units (value ≤ 1).
  Int term(int64_t j, uint64_t *err) const {
    const Int one = fix_one(p);
    if (j == 1) {
      *err = 0;
      return one;
    }
    if (integer) {
      Nat v = one.m;
      for (int64_t i = 0; i < si && v.n; ++i) {
        uint32_t r;
        v = nat_divmod_small(v, (uint32_t)j, &r);
      }
      *err = 1;
      return int_from(v, false);
    }
    // The product over j's prime factors, each cached one with its error, the rest direct.
    Int acc;
    uint64_t e = 0;
    bool first = true;
    int64_t rest = j;
    while (rest > 1) {
      const int64_t q = spf[rest];
      if (q > cache_limit) {
        uint64_t ed;
        const Int d = direct(rest, &ed);
        if (first) {
          acc = d;
          e = ed;
        } else {
          acc = fix_mul(acc, d, p);
          e += ed + 1;
        }
        first = false;
        break;
      }
      const Int f = int_from(cache[q], false);
      if (first) {
        acc = f;
        e = cache_err[q];
      } else {
        acc = fix_mul(acc, f, p);
        e += cache_err[q] + 1;
      }
      first = false;
      rest /= q;
    }
    *err = e;
    return acc;
  }
};

// η(s) for s > 0 by Borwein's sum, relative width about 10^−w (η ≥ 1/2).
Approx eta_borwein(const Dec &s, bool integer, int64_t si, int64_t w) {
  // p limbs with guard limbs for the n terms' errors, then n with d_n ≥ BASE^p.
  const int p0 = limbs_for(w + 4) + 1;
  const int64_t n0 = (int64_t)std::ceil(6.0 * (p0 + 2) / std::log10(3 + std::sqrt(8.0))) + 2;
  const int p = p0 + (int)std::ceil(std::log10((double)n0 + 1) / BASE_DIGITS);
  const int64_t n = (int64_t)std::ceil((6.0 * p + 1) / std::log10(3 + std::sqrt(8.0))) + 2;
  Powers pw;
  pw.s = s;
  pw.integer = integer;
  pw.si = si;
  pw.p = p;
  pw.w = w;
  pw.count = n;
  pw.prepare();
  // d_n = T_n(3).
  Nat dn;
  {
    Frame f;
    Nat t0 = nat_from_u64(1), t1 = nat_from_u64(3);
    LoopBase lb;
    for (int64_t j = 1; j < n; ++j) {
      Nat t2 = nat_sub(nat_mul_small(t1, 6), t0);
      t0 = t1;
      t1 = t2;
      lb.settle({&t0, &t1});
    }
    dn = nat_copy(t1);
    f.keep({&dn});
  }
  Nat e = nat_pow_small(2, (uint64_t)(2 * n - 1));  // e_n
  Nat tail{};
  Int acc{};
  uint64_t err_sum = 0;
  ProgressLoop loop;
  LoopBase lb;
  for (int64_t k = n - 1; k >= 0; --k) {
    cancel_check();
    if ((k & 63) == 0) loop.set((int)(1000.0 * (double)(n - k) / (double)n), 1000);
    Nat t2 = nat_add(tail, e);  // d_n − d_k
    uint64_t te;
    const Int a = pw.term(k + 1, &te);
    Int prod = int_from(nat_mul(t2, a.m), (k & 1) != 0);
    Int acc2 = int_add(acc, prod);
    err_sum += te;
    // e_k from e_(k+1): × (k+1)(2k+1), ÷ 2(n+k), ÷ (n−k).
    const int64_t i = k + 1;
    Nat e2 = e;
    if (k >= 0) {
      uint32_t r;
      e2 = nat_mul_u64(e, (uint64_t)i * (uint64_t)(2 * i - 1));
      e2 = nat_divmod_small(e2, (uint32_t)(2 * (n + i - 1)), &r);
      e2 = nat_divmod_small(e2, (uint32_t)(n - i + 1), &r);
    }
    tail = t2;
    acc = acc2;
    e = e2;
    lb.settle({&tail, &acc.m, &e});
  }
  // η BASE^p ≈ acc / d_n: the floor (one unit), the terms' errors (each weight is at most
  // d_n: err_sum units in all) and the method's relative 1/d_n ≤ BASE^−p (η < 1: one unit).
  const Int q = int_div_floor(acc, dn);
  return approx_fix(q, p, err_sum + 2);
}

// ζ(s) = η(s) / (1 − 2^(1−s)) for s > 0, s ≠ 1.
Approx zeta_borwein(const Dec &s, bool integer, int64_t si, int64_t w) {
  const Dec one_minus = dx_sub(dx_from_i64(1), s);
  const int64_t extra = std::max<int64_t>(0, -dx_magnitude(one_minus)) + 2;
  const int64_t wf = w + extra + 4;
  const int pl = limbs_for(wf) + 1;
  const Approx ln2 = approx_fix(const_ln2(pl), pl, 1);
  const Approx f = ap_sub(ap_small(1), ap_exp(ap_mul(ap_exact(one_minus), ln2, wf), wf), wf);
  return ap_div(eta_borwein(s, integer, si, w + 4), f, w + 3);
}

// The direct sum for large s: Σ_{j<K} j^−s + K^(1−s)/(s−1) + θ K^−s.
Approx zeta_direct(const Dec &s, bool integer, int64_t si, int64_t K, int64_t w) {
  const int p = limbs_for(w + 4) + 1 + (int)std::ceil(std::log10((double)K + 1) / BASE_DIGITS);
  Powers pw;
  pw.s = s;
  pw.integer = integer;
  pw.si = si;
  pw.p = p;
  pw.w = w;
  pw.count = K;
  pw.prepare();
  Int sum{};
  uint64_t err = 0;
  LoopBase lb;
  for (int64_t j = 1; j < K; ++j) {
    cancel_check();
    uint64_t e;
    sum = int_add(sum, pw.term(j, &e));
    lb.settle({&sum.m});
    err += e;
  }
  uint64_t ek;
  const Int tk = pw.term(K, &ek);  // K^−s
  Approx r = approx_fix(sum, p, err);
  const Approx tail = ap_div(ap_mul(approx_fix(tk, p, ek), ap_small(K), w + 4),
                             ap_sub(ap_exact(s), ap_small(1), w + 4), w + 4);
  r = ap_add(r, tail, w + 4);
  r.rad += 1;  // θ K^−s < 10^−(w+10)
  return r;
}

// π^(2k) T_k / (2 (4^k − 1) (2k − 1)!).
Approx zeta_even(int k, int64_t w) {
  Frame f;
  Nat *t = (Nat *)arena_alloc((size_t)k * sizeof(Nat) / sizeof(uint32_t) + 2);
  tangent_numbers(k, t);
  const int64_t wp = w + 6;
  Approx pi2 = ap_pi(wp + 4);
  pi2 = ap_mul(pi2, pi2, wp);
  Approx pw = ap_small(1);
  for (int b = 30; b >= 0; --b) {
    pw = ap_mul(pw, pw, wp);
    if ((k >> b) & 1) pw = ap_mul(pw, pi2, wp);
  }
  Nat fact = nat_from_u64(1);
  for (int j = 2; j <= 2 * k - 1; ++j) fact = nat_mul_small(fact, (uint32_t)j);
  const Nat den = nat_mul(nat_mul_small(nat_sub_small(nat_pow_small(4, (uint64_t)k), 1), 2), fact);
  Approx r = ap_div(ap_mul(pw, ap_exact(dx_make(t[k - 1], 0, false)), wp), ap_exact(dx_make(den, 0, false)), w + 3);
  f.keep({&r.mid.m});  // the tangent numbers and the temporaries go
  return r;
}

}  // namespace

// ζ(s) for s > 0, s ≠ 1 (s > 1 for the callers outside this file), relative width ≈ 10^−w.
Approx zeta_above_one(const Dec &s, int64_t w) {
  const double sd = dec_to_double(s);
  if (sd * 0.30102999566398120 > (double)(w + 10)) {
    // ζ(s) ∈ (1, 1 + 2^(1−s)): one unit of 10^−(w+4) around 1.
    Approx a;
    a.mid = int_from(nat_mul_pow10(nat_from_u64(1), w + 4), false);
    a.e = -(w + 4);
    a.rad = 1;
    return a;
  }
  int64_t si = 0;
  const bool integer = dx_is_integer(s) && dx_to_i64(s, &si) && si <= 64;
  if (integer && si == 3) {
    const int p = limbs_for(w) + 1;
    return approx_fix(const_zeta3(p), p, 1);
  }
  if (integer && si % 2 == 0 && si / 2 <= EVEN_PI_K) return zeta_even((int)(si / 2), w);
  const int64_t n = (int64_t)std::ceil((double)(w + 6) / std::log10(3 + std::sqrt(8.0))) + 2;
  if (sd > 1) {
    const double lk = (double)(w + 10) / sd;
    if (lk < 9 && std::pow(10.0, lk) < (double)n / 2) {
      const int64_t K = (int64_t)std::ceil(std::pow(10.0, lk)) + 1;
      return zeta_direct(s, integer, si, K, w);
    }
  }
  return zeta_borwein(s, integer, si, w);
}

}  // namespace exact

using namespace exact;

int exact_zeta(DecWord *out, const DecWord *y) {
  if (pass_markers(out, y)) return -1;
  return run_exact(out, [&]() -> int {
    const Dec S = dx_of(y);
    const Dec one = dx_from_i64(1);
    if (dx_cmp(S, one) == 0) return error_with(out, "zeta: pole at 1");
    if (dx_is_zero(S)) return dx_write(out, dx_from_i64(-5, -1));
    if (dx_magnitude(S) < -((int64_t)internal_digits + 3)) {
      // −1/2 − 0.92 s + O(s²): beyond −1/2 (truncated to it) for s > 0, inside it for s < 0.
      const Dec half = dx_from_i64(-5, -1);
      return dx_write(out, S.neg ? dx_below(half) : half);
    }
    const double sd = dec_to_double(S);
    if (!S.neg && sd * 0.30102999566398120 > (double)internal_digits + 1) return dx_write(out, one);
    if (S.neg && dx_is_integer(S)) {
      // ζ(−2k) = 0; ζ(1 − 2k) = (−1)^k T_k / (4^k (4^k − 1)).
      if (!dx_is_odd_integer(S)) return dec_zero(out);
      int64_t sv;
      if (dx_to_i64(S, &sv) && (1 - sv) / 2 <= EXACT_NEGATIVE_K) {
        const int k = (int)((1 - sv) / 2);
        Nat *t = (Nat *)arena_alloc((size_t)k * sizeof(Nat) / sizeof(uint32_t) + 2);
        tangent_numbers(k, t);
        const Nat p4 = nat_pow_small(4, (uint64_t)k);
        return write_ratio(out, t[k - 1], nat_mul(p4, nat_sub_small(p4, 1)), (k % 2) == 1);
      }
    }
    if (S.neg) {
      // log10 |ζ(s)| ≈ s log10 2 + (s − 1) log10 π + log10 Γ(1 − s) (+ log10 |sin| ≤ 0).
      const double lg = sd * 0.30103 + (sd - 1) * std::log10(PI_D) + std::lgamma(1 - sd) / LN10;
      if (lg > (double)DEC_EXP_MAX + 2) {
        dec_set_marker(out, NUM_OVERFLOW);
        return -1;
      }
      if (lg < (double)DEC_EXP_MIN - 40) return dec_zero(out);
    }
    return ziv_ap(out, [&](int64_t w) -> Approx {
      if (dx_magnitude(S) < -(w + 6)) {
        // −1/2 − s ln(2π) / 2.
        const Approx l = ap_ln(ap_mul(ap_small(2), ap_pi(w + 6), w + 6), w + 6);
        Approx r = ap_sub(ap_exact(dx_from_i64(-5, -1)), ap_half(ap_mul(l, ap_exact(S), w + 6)), w + 4);
        r.rad += 1;
        return r;
      }
      if (!S.neg) return zeta_above_one(S, w + 2);
      const Dec one_minus = dx_sub(one, S);
      const double lz = std::log10(std::fabs(sd) * 2 + 2);
      const int64_t wz = w + 8 + (int64_t)std::ceil(lz);
      const int pl = limbs_for(wz) + 1;
      const Approx ln2 = approx_fix(const_ln2(pl), pl, 1);
      const Approx lnpi = ap_ln(ap_pi(wz + 2), wz);
      const Approx z = ap_add(ap_mul(ap_exact(S), ln2, wz), ap_mul(ap_sub(ap_exact(S), ap_small(1), wz), lnpi, wz), wz);
      const Approx sn = ap_sinpi(dx_mul(S, dx_from_i64(5, -1)), w + 6);
      Approx r = ap_mul(ap_exp(z, w + 6), sn, w + 6);
      r = ap_mul(r, gamma_positive(one_minus, w + 6), w + 6);
      return ap_mul(r, zeta_above_one(one_minus, w + 6), w + 3);
    });
  });
}
