// Binary splitting of hypergeometric-type series with integer terms.
//
// For a range [a, b) of term indices and integer factors p(k), q(k) (q > 0), the sum
//   S(a, b) = Σ_{k=a}^{b−1} Π_{j=a}^{k} p(j) / q(j)
// is T(a, b) / Q(a, b) with P(a, b) = Π p(j), Q(a, b) = Π q(j) and, splitting at m,
//   P = P1 P2,  Q = Q1 Q2,  T = T1 Q2 + P1 T2.
// The products are exact, so the only errors of a series evaluated this way are the
// truncation of the series and the final division T / Q.
#pragma once

#include <cmath>
#include <cstring>

#include "core/cancel.h"
#include "exact/nat.h"

namespace exact {

struct Split {
  Int P;  // left empty at the top of the tree when the caller does not need it
  Nat Q;
  Int T;
};

// term(k, &p, &q) gives the factors of index k. need_p = false skips the last P product.
template <class Term>
Split bsplit(int64_t a, int64_t b, const Term &term, bool need_p = true) {
  Split s;
  if (b - a == 1) {
    term(a, &s.P, &s.Q);
    s.T = s.P;
    return s;
  }
  cancel_check();
  Frame f;
  const int64_t m = a + (b - a) / 2;
  Split l = bsplit(a, m, term, true), r = bsplit(m, b, term, need_p);
  s.T = int_add(int_mul(l.T, int_from(r.Q, false)), int_mul(l.P, r.T));
  s.Q = nat_mul(l.Q, r.Q);
  if (need_p) s.P = int_mul(l.P, r.P);
  f.keep({&s.P.m, &s.Q, &s.T.m});
  return s;
}

// Whether a node of a split with `terms` terms of about `limbs_per_term` limbs each is
// worth handing half of to the second thread (exact/parallel.h): its halves take long
// enough for the hand-over to pay.
constexpr int64_t SPLIT_FORK_MIN_LIMBS = 4096;
inline bool split_forks(int64_t terms, int64_t limbs_per_term) {
  return terms >= 4 && terms * limbs_per_term >= SPLIT_FORK_MIN_LIMBS;
}

// x[0 .. n) × m in place for m < 2^40 (x has room for the carry limbs); the new length.
// The word-level leaves of the series' splits use it.
inline int limbs_mul_word(uint32_t *x, int n, uint64_t m) {
  uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    const uint64_t t = x[i] * m + carry;  // < BASE 2^40 + carry < 2^61
    carry = t / BASE;
    x[i] = (uint32_t)(t - carry * BASE);
  }
  while (carry) {
    x[n++] = (uint32_t)(carry % BASE);
    carry /= BASE;
  }
  return n;
}

// x = x BASE^L ± y in place for magnitudes (x ≥ y when subtracting; x has room), the step
// of the word-level leaves.
inline void limbs_shift_add(Nat &x, int L, const Nat &y, bool subtract) {
  std::memmove(x.d + L, x.d, sizeof(uint32_t) * (size_t)x.n);
  std::memset(x.d, 0, sizeof(uint32_t) * (size_t)L);
  x.n += L;
  if (!subtract) {
    uint32_t carry = 0;
    int i = 0;
    for (; i < y.n || carry; ++i) {
      const uint32_t t = (i < x.n ? x.d[i] : 0) + (i < y.n ? y.d[i] : 0) + carry;
      carry = t >= BASE;
      x.d[i] = carry ? t - BASE : t;
    }
    if (i > x.n) x.n = i;
  } else {
    uint32_t borrow = 0;
    for (int i = 0; i < y.n || borrow; ++i) {
      const uint32_t v = (i < y.n ? y.d[i] : 0) + borrow;
      borrow = x.d[i] < v;
      x.d[i] = borrow ? x.d[i] + BASE - v : x.d[i] - v;
    }
    nat_trim(x);
  }
}

// v in a buffer of `room` limbs (room ≥ v.n), for a leaf to grow in place.
inline Nat nat_with_room(const Nat &v, int room) {
  Nat out = nat_alloc(room);
  if (v.n) std::memcpy(out.d, v.d, sizeof(uint32_t) * (size_t)v.n);
  out.n = v.n;
  return out;
}

// An estimate of the time of a piece's split of n terms of a factor c / BASE^L (c of
// c_limbs limbs), to share pieces between threads: its top products have about
// n (L + c_limbs) limbs, its depth is log2 n, and its word-level leaves weigh more the more
// terms it has.
inline double split_cost(int64_t n, int L, int c_limbs) {
  const double depth = std::log2((double)n + 2);
  return (double)n * (L + c_limbs) * depth * std::sqrt(depth);
}

// The least n ≥ 1 with x ≤ (n + 2) / 2 and 2 x^(n+1) / (n+1)! ≤ e^target, for ln x ≤ lx:
// the terms Σ_{k≤n} x^k / k! needs for a tail below e^target (the tail of that series, and
// of e^(ix), is at most twice its first term when x ≤ (n + 2) / 2). The condition holds
// from some n on, so it is found by doubling and bisection.
inline int64_t exp_series_terms(double lx, double target) {
  const auto short_of = [&](int64_t n) {
    return n + 2 < 2.0 * std::exp(lx) + 2 ||
           std::log(2.0) + (double)(n + 1) * lx - std::lgamma((double)n + 2) > target;
  };
  if (!short_of(1)) return 1;
  int64_t lo = 1, hi = 2;
  while (short_of(hi)) {
    lo = hi;
    hi *= 2;
  }
  while (hi - lo > 1) {
    const int64_t mid = lo + (hi - lo) / 2;
    (short_of(mid) ? lo : hi) = mid;
  }
  return hi;
}

// The powers c^k a balanced split of a range with a constant factor p(k) = c needs: P of a
// node's left half, c^(floor(len / 2)) for each node length len. A level of the tree has at
// most two distinct lengths, so a few dozen powers serve every node instead of a product
// per node. prepare() computes them in the caller's frame before the split runs; a length
// not prepared is computed again on each use (correct, only slower).
struct PowerTable {
  static constexpr int MAX = 128;
  int64_t len[MAX];
  Nat pw[MAX];
  int n = 0;
  Nat c;
  bool frozen = false;

  Nat get(int64_t k) {
    for (int i = 0; i < n; ++i)
      if (len[i] == k) return pw[i];
    Nat v = k == 1 ? c : nat_mul(get(k / 2), get(k - k / 2));
    if (frozen || n == MAX) return v;
    len[n] = k;
    pw[n] = v;
    return pw[n++];
  }

  // The left-half lengths of every node of the split of `length` terms.
  void prepare(int64_t length) {
    int64_t level[2] = {length, 0};
    int nl = 1;
    while (nl > 0) {
      int64_t next[2];
      int nn = 0;
      for (int i = 0; i < nl; ++i) {
        if (level[i] < 2) continue;
        const int64_t parts[2] = {level[i] / 2, level[i] - level[i] / 2};
        get(parts[0]);
        for (int64_t q : parts) {
          bool seen = false;
          for (int j = 0; j < nn; ++j) seen = seen || next[j] == q;
          if (!seen && nn < 2) next[nn++] = q;
        }
      }
      for (int i = 0; i < nn; ++i) level[i] = next[i];
      nl = nn;
    }
    frozen = true;
  }
};

}  // namespace exact
