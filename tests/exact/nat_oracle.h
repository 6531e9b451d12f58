// GMP models of the exact mode's big integers: conversions both ways.
#pragma once

#include <gmpxx.h>

#include <random>
#include <string>

#include "exact/nat.h"

namespace exact_test {

inline mpz_class to_mpz(const exact::Nat &a) {
  if (a.n == 0) return 0;
  std::string s = std::to_string(a.d[a.n - 1]);
  char buf[8];
  for (int i = a.n - 2; i >= 0; --i) {
    snprintf(buf, sizeof buf, "%06u", a.d[i]);
    s += buf;
  }
  return mpz_class(s, 10);
}

inline exact::Nat from_mpz(const mpz_class &v) {
  std::string s = v.get_str(10);
  if (v == 0) return exact::Nat{};
  const int limbs = (int)((s.size() + 5) / 6);
  exact::Nat a = exact::nat_alloc(limbs);
  for (int i = 0; i < limbs; ++i) {
    const int end = (int)s.size() - 6 * i, start = end - 6 > 0 ? end - 6 : 0;
    a.d[i] = (uint32_t)std::stoul(s.substr(start, end - start));
  }
  exact::nat_trim(a);
  return a;
}

// A random natural of `limbs` limbs with runs of zeros and of 999999 (structured operands).
inline exact::Nat random_nat(std::mt19937_64 &rng, int limbs) {
  exact::Nat a = exact::nat_alloc(limbs);
  const int style = (int)(rng() % 4);
  for (int i = 0; i < limbs; ++i) {
    uint32_t v = (uint32_t)(rng() % exact::BASE);
    if (style == 1 && rng() % 3 == 0) v = 0;
    if (style == 2 && rng() % 3 != 0) v = exact::BASE - 1;
    a.d[i] = v;
  }
  if (limbs > 0 && a.d[limbs - 1] == 0) a.d[limbs - 1] = 1 + (uint32_t)(rng() % 999999);
  exact::nat_trim(a);
  return a;
}

}  // namespace exact_test
