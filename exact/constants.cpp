#include "exact/constants.h"

#include <cstring>

namespace exact {

bool cache_get(ConstCache &c, int p, Int *out) {
  if (c.p < 0 || p > c.p) return false;
  const int drop = c.p - p;
  Nat v = nat_alloc(c.n - drop > 0 ? c.n - drop : 0);
  if (v.n > 0) std::memcpy(v.d, c.limbs + drop, sizeof(uint32_t) * (size_t)v.n);
  nat_trim(v);
  *out = int_from(v, false);
  return true;
}

void cache_put(ConstCache &c, const Int &v, int p) {
  if (p <= c.p || v.m.n > c.capacity) return;
  std::memcpy(c.limbs, v.m.d, sizeof(uint32_t) * (size_t)v.m.n);
  c.n = v.m.n;
  c.p = p;
}

}  // namespace exact
