// Big integers of the exact mode: base-10^6 limbs, least significant first, in the arena.
//
// A Nat is a view: d points at n limbs in the arena, d[n − 1] ≠ 0 (n = 0 is zero). An Int
// adds a sign (zero is never negative). Every operation allocates its result on the arena
// top and never changes its operands, so results may be taken freely and a Frame gives
// back the temporaries of a routine.
//
// Products run by schoolbook below a few hundred limbs (AVX2 where the processor has it),
// Karatsuba or the core's number-theoretic transforms above, whichever a cost model
// expects to be faster (the transforms on two threads from 4,096 terms); quotients by long
// division in chunks up to 700 quotient limbs and by a Newton reciprocal above, each with
// an exact correction; square roots by the recursive square root with remainder; cube
// roots by one Newton step from the root of the top half (recursively).
#pragma once

#include <cstdint>

#include "exact/arena.h"

namespace exact {

constexpr uint32_t BASE = 1000000;
constexpr int BASE_DIGITS = 6;

struct Nat {
  uint32_t *d = nullptr;
  int n = 0;
};

struct Int {
  Nat m;
  bool neg = false;
};

// ---- making and reading -----------------------------------------------------------------
Nat nat_alloc(int limbs);                  // limbs zeroed, n = limbs (caller trims)
void nat_trim(Nat &a);                     // drops leading zero limbs
Nat nat_from_u64(uint64_t v);
Nat nat_copy(const Nat &a);
inline bool nat_is_zero(const Nat &a) { return a.n == 0; }
uint64_t nat_to_u64(const Nat &a);         // a < 2^64 (the low limbs otherwise)
int64_t nat_digits(const Nat &a);          // decimal digits (0 for zero)
double nat_log10(const Nat &a);            // ≈ log10 a (a ≠ 0)

// ---- comparison, addition ---------------------------------------------------------------
int nat_cmp(const Nat &a, const Nat &b);
Nat nat_add(const Nat &a, const Nat &b);
Nat nat_sub(const Nat &a, const Nat &b);   // a ≥ b
Nat nat_add_small(const Nat &a, uint32_t v);  // v < BASE
Nat nat_sub_small(const Nat &a, uint32_t v);  // a ≥ v, v < BASE

// ---- products ---------------------------------------------------------------------------
Nat nat_mul(const Nat &a, const Nat &b);
Nat nat_sqr(const Nat &a);
// The top of a b from limb `from` on, the lower columns and their carries left out: at most
// a b / BASE^from and more than a b / BASE^from − 2 min(a.n, b.n) BASE (from ≤ 0: a b).
Nat nat_mul_top(const Nat &a, const Nat &b, int from);
Nat nat_mul_small(const Nat &a, uint32_t m);        // m < 2^32
Nat nat_mul_u64(const Nat &a, uint64_t m);
Nat nat_pow_small(uint32_t base, uint64_t e);       // base^e
Nat nat_pow(const Nat &a, uint64_t e);

// ---- scaling by powers of ten -----------------------------------------------------------
Nat nat_shift_limbs(const Nat &a, int64_t limbs);   // a × BASE^limbs (limbs ≥ 0)
Nat nat_low_limbs(const Nat &a, int limbs);          // a mod BASE^limbs
Nat nat_high_limbs(const Nat &a, int limbs);         // floor(a / BASE^limbs)
Nat nat_mul_pow10(const Nat &a, int64_t k);          // a × 10^k, k ≥ 0
Nat nat_div_pow10(const Nat &a, int64_t k);          // floor(a / 10^k), k ≥ 0
bool nat_divisible_pow10(const Nat &a, int64_t k);   // 10^k divides a
int64_t nat_trailing_zero_digits(const Nat &a);      // largest k with 10^k | a (a ≠ 0)

// ---- quotients and roots ----------------------------------------------------------------
Nat nat_divmod_small(const Nat &a, uint32_t m, uint32_t *rem);  // m ≥ 1
// q = floor(a / b), r = a − q b (b ≠ 0); either output may be null.
void nat_divmod(const Nat &a, const Nat &b, Nat *q, Nat *r);
Nat nat_div(const Nat &a, const Nat &b);
Nat nat_sqrt(const Nat &a, Nat *rem = nullptr);     // floor(√a), a − root²
Nat nat_cbrt(const Nat &a);                         // floor(∛a)
Nat nat_root(const Nat &a, uint64_t k);             // floor(a^(1/k)), k ≥ 1

// ---- signed integers --------------------------------------------------------------------
inline Int int_from(const Nat &m, bool neg) { return Int{m, neg && m.n != 0}; }
Int int_from_i64(int64_t v);
int int_cmp(const Int &a, const Int &b);
Int int_add(const Int &a, const Int &b);
Int int_sub(const Int &a, const Int &b);
Int int_mul(const Int &a, const Int &b);
Int int_mul_small(const Int &a, int64_t m);    // |m| < 2^32
inline Int int_neg(const Int &a) { return Int{a.m, !a.neg && a.m.n != 0}; }
// floor division by a positive Nat (remainder 0 ≤ r < b).
Int int_div_floor(const Int &a, const Nat &b);
// a × BASE^k for k ≥ 0, floor(a / BASE^(−k)) for k < 0.
Int int_shift_floor(const Int &a, int64_t k);

}  // namespace exact
