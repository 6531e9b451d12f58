// Binary splitting of hypergeometric-type series with integer terms.
//
// For a range [a, b) of term indices and integer factors p(k), q(k) (q > 0), the sum
//   S(a, b) = Σ_{k=a}^{b−1} Π_{j=a}^{k} p(j) / q(j)
// is T(a, b) / Q(a, b) with P(a, b) = Π p(j), Q(a, b) = Π q(j) and, splitting at m,
//   P = P1 P2,  Q = Q1 Q2,  T = T1 Q2 + P1 T2.
// The products are exact, so the only errors of a series evaluated this way are the
// truncation of the series and the final division T / Q.
#pragma once

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

}  // namespace exact
