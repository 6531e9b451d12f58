// Exact models of the roots: the truncated root of a DecNum as a GMP integer root.
#pragma once

#include <gmp.h>

#include "fn_test_util.h"

namespace fntest {

// expected = √x (x > 0) or ∛x truncated to internal_digits − 1 significant digits, built
// from mpz_sqrt / mpz_root of x's digits scaled to an integer.
inline void exact_root(DecWord *expected, const DecWord *x, int degree) {
  const int P = internal_digits - 1;  // digit positions 1 .. P
  const int32_t E = dec_exponent(x);
  mpz_t m, root;
  mpz_inits(m, root, nullptr);
  testutil::positions_to_mpz(m, x, P);  // x's digits as a P-digit integer: m = x' × 10^(P−1)
  int32_t out_exp;
  if (degree == 2) {
    // y = x' or 10 x' (E odd); the root digits are floor √(y × 100^(P−1)).
    const int odd = E & 1;
    mpz_ui_pow_ui(root, 10, (unsigned long)(P - 1 + odd));
    mpz_mul(m, m, root);
    mpz_sqrt(root, m);
    out_exp = (E - odd) / 2;  // floor(E / 2)
  } else {
    const int32_t q = E >= 0 ? E / 3 : -((-E + 2) / 3);
    const int32_t s = E - 3 * q;
    // y = x' × 10^s; the root digits are floor ∛(y × 1000^(P−1)).
    mpz_ui_pow_ui(root, 10, (unsigned long)(s + 2 * (P - 1)));
    mpz_mul(m, m, root);
    mpz_root(root, m, 3);
    out_exp = q;
  }
  dec_zero(expected);
  testutil::mpz_to_positions(expected, root, P);
  dec_set_head(expected, (int32_t)(2 * out_exp) | (degree == 3 ? dec_sign(x) : 0));
  mpz_clears(m, root, nullptr);
}

}  // namespace fntest
