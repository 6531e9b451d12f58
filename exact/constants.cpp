#include "exact/constants.h"

#include <cstring>
#include <new>

#include "exact/exact.h"

namespace {

const DecWord *stored_words[3];
int64_t stored_digits = 0;

}  // namespace

void exact_use_stored_constants(const DecWord *pi, const DecWord *e, const DecWord *ln10,
                                int64_t digits) {
  stored_words[0] = pi;
  stored_words[1] = e;
  stored_words[2] = ln10;
  stored_digits = digits;
}

namespace exact {

bool stored_constant(StoredConstant which, int p, Int *out) {
  const DecWord *words = stored_words[which];
  if (!words || p < 0 || 6 * (int64_t)p + 5 > stored_digits) return false;
  // Words 0 .. p (positions 0 .. 6p + 5, position 1 the leading digit) spell
  // floor(c × 10^(6p + 4)); four digits fewer give floor(c × BASE^p).
  const int W = p + 1;
  Frame f;
  Nat x = nat_alloc(W);
  for (int i = 0; i < W; ++i) x.d[i] = word_integer(words[W - 1 - i]);
  nat_trim(x);
  Nat v = nat_div_pow10(x, 4);
  f.keep({&v});
  *out = int_from(v, false);
  return true;
}

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
  if (c.limbs == nullptr) {
    c.limbs = new (std::nothrow) uint32_t[(size_t)c.capacity];
    if (c.limbs == nullptr) return;  // not kept: the next request computes it again
  }
  std::memcpy(c.limbs, v.m.d, sizeof(uint32_t) * (size_t)v.m.n);
  c.n = v.m.n;
  c.p = p;
}

}  // namespace exact
