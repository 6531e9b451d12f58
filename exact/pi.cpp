// π for the exact mode: the Chudnovsky series by binary splitting, cached across commands.
//
//   π = 426880 √10005 / S,  S = Σ_k (−1)^k (6k)! (13591409 + 545140134 k) / ((3k)! k!³ 640320^3k)
//
// Term k / term k − 1 = p(k) / q(k) with p(k) = −(6k − 5)(2k − 1)(6k − 1) and
// q(k) = k³ 640320³ / 24; the linear factor a(k) = 13591409 + 545140134 k rides in T.
// With N terms, S_N = 13591409 + T / Q over k = 1 .. N − 1 exactly (integers), and since
// |p(k) / q(k)| < 72 / (640320³ / 24) < 6.6 × 10^−15 and a(k + 1) / a(k) ≤ 41.2, the tail
// is below 2 a(N) (6.6 × 10^−15)^N; N is the first count that makes it smaller than
// 10^−(6p' + 3) of S ≥ 1.3 × 10^7.
//
// Error budget at p' = p + 1 limbs (units of BASE^−p'): √10005 is floored (below one unit,
// weighted by 426880 Q / den ≈ π / √10005 < 0.032), Q and the denominator are cut to
// p' + 3 limbs before the division (relative 2 BASE^−(p' + 2), under 0.001 units), the
// quotient is floored (one unit), the series tail is under 0.001 units: W is within 2 units
// of π BASE^p'. floor(π BASE^p) is then floor(W / BASE) unless W's last limb lies within 3
// of a limb boundary, in which case the computation is repeated one limb longer.
#include <cmath>

#include "core/cancel.h"
#include "exact/constants.h"
#include "exact/exact.h"
#include "exact/run.h"

namespace exact {

namespace {

constexpr int PI_CACHE_LIMBS = (int)(PI_MAX_DIGITS / BASE_DIGITS) + 64;
ConstCache pi_cache{nullptr, PI_CACHE_LIMBS};

constexpr uint64_t C3_OVER_24 = 10939058860032000ull;  // 640320³ / 24
constexpr uint64_t A0 = 13591409, A1 = 545140134;

struct Chud {
  Int P;
  Nat Q;
  Int T;
};

Chud chudnovsky(int64_t a, int64_t b, bool need_p) {
  Chud s;
  if (b - a == 1) {
    const uint64_t k = (uint64_t)a;
    const uint64_t pk = (6 * k - 5) * (2 * k - 1) * (6 * k - 1);
    s.P = int_from(nat_from_u64(pk), true);
    s.Q = nat_mul_u64(nat_from_u64(k * k * k), C3_OVER_24);
    s.T = int_from(nat_mul_u64(s.P.m, A0 + A1 * k), true);
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  Chud l = chudnovsky(a, m, true), r = chudnovsky(m, b, need_p);
  s.T = int_add(int_mul(l.T, int_from(r.Q, false)), int_mul(l.P, r.T));
  s.Q = nat_mul(l.Q, r.Q);
  if (need_p) s.P = int_mul(l.P, r.P);
  f.keep({&s.P.m, &s.Q, &s.T.m});
  return s;
}

// Terms for a tail below 10^−(digits + 3) relative to S.
int64_t chudnovsky_terms(int64_t digits) {
  const double lg_ratio = std::log10(72.0 / (double)C3_OVER_24);
  int64_t n = (int64_t)((double)digits / -lg_ratio);
  if (n < 1) n = 1;
  while (std::log10(2.0 * (double)(A0 + A1 * (uint64_t)n)) + lg_ratio * (double)n - std::log10(1.3e7) >
         -(double)(digits + 3))
    ++n;
  return n + 1;
}

// W with |W − π BASE^p| < 2.05.
Nat pi_fixed(int p) {
  const int64_t N = chudnovsky_terms(6 * (int64_t)p);
  Nat Q, den;
  if (N >= 2) {
    Chud s = chudnovsky(1, N, false);
    Q = s.Q;
    den = int_add(int_from(nat_mul_u64(Q, A0), false), s.T).m;
  } else {
    Q = nat_from_u64(1);
    den = nat_from_u64(A0);
  }
  // Cut both to p + 3 limbs: the ratio keeps a relative precision of 2 BASE^−(p + 2).
  const int cut = den.n - (p + 3);
  if (cut > 0) {
    Q = nat_high_limbs(Q, cut);
    den = nat_high_limbs(den, cut);
  }
  Nat root = nat_sqrt(nat_shift_limbs(nat_from_u64(10005), 2 * (int64_t)p));
  Nat num = nat_mul(nat_mul_u64(root, 426880), Q);
  return nat_div(num, den);
}

}  // namespace

Int const_pi(int p) {
  Int out;
  if (stored_constant(STORED_PI, p, &out)) return out;
  if (cache_get(pi_cache, p, &out)) return out;
  for (int pp = p + 1;; ++pp) {
    Frame f;
    Nat w = pi_fixed(pp);
    const uint32_t low = w.n > 0 ? w.d[0] : 0;
    if (low >= 3 && low < BASE - 3) {
      out = int_from(nat_copy(nat_high_limbs(w, pp - p)), false);
      f.keep({&out});
      break;
    }
  }
  cache_put(pi_cache, out, p);
  return out;
}

}  // namespace exact

// π truncated: the cached floor(π BASE^p) is within one unit below π.
int exact_pi(DecWord *out) {
  using namespace exact;
  return run_exact(out, [&] {
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      const int p = limbs_for(w);
      *a = approx_fix(const_pi(p), p, 1);
      return 0;
    });
  });
}
