// Constants of the exact mode at any precision, cached across commands.
//
// Each is the floor of c × BASE^p (error below one unit of the last limb). A cache keeps
// the most precise value computed so far in a buffer of its own (outside the arena, which
// every command empties); a request at or below it is served by truncation.
#pragma once

#include "exact/nat.h"

namespace exact {

// π is computed up to this many digits for the reduction of radian arguments; a reduction
// that would need more fails with a message.
constexpr int64_t PI_MAX_DIGITS = 1200000;

Int const_pi(int p);
Int const_ln2(int p);
Int const_ln10(int p);
// Euler's γ, Catalan's G and ζ(3) (exact/constants_more.cpp), each cached for the session.
Int const_euler(int p);
Int const_catalan(int p);
Int const_zeta3(int p);

// The calculator's stored constants, when the engine has handed them over: floor(c ×
// BASE^p) from their digits while the digits reach (p ≤ (digits − 5) / 6); false
// otherwise, and the caller computes the constant.
enum StoredConstant { STORED_PI = 0, STORED_E = 1, STORED_LN10 = 2 };
bool stored_constant(StoredConstant which, int p, Int *out);

struct ConstCache {
  uint32_t *limbs;  // storage of `capacity` limbs, reserved at the first cache_put (null before)
  int capacity;
  int p = -1;       // precision of the cached value, −1 when empty
  int n = 0;        // its limb count
};

// floor(c × BASE^p) from the cache when p ≤ the cached precision; false otherwise.
bool cache_get(ConstCache &c, int p, Int *out);
// Stores floor(c × BASE^p) when it is more precise than the cached one and fits.
void cache_put(ConstCache &c, const Int &v, int p);

}  // namespace exact
