// Natural numbers in base-10^6 limbs (see bignat.h).
#include "core/bignat.h"

#include <cstring>

#include "core/cancel.h"
#include "core/ntt.h"

namespace {

uint64_t columns[NAT_MAX_LIMBS + 2];

void trim(Nat *a) {
  while (a->len > 0 && a->limb[a->len - 1] == 0) --a->len;
}

}  // namespace

void nat_from_words(Nat *out, const DecWord *p, int words) {
  for (int i = 0; i < words; ++i) out->limb[i] = word_integer(p[words - i]);
  out->len = words;
  trim(out);
}

void nat_to_words(DecWord *p, const Nat *a, int words) {
  for (int i = 0; i < words; ++i) p[words - i] = integer_word(i < a->len ? a->limb[i] : 0);
}

void nat_set_small(Nat *out, uint32_t v) {
  out->limb[0] = v;
  out->len = 1;
  trim(out);
}

int nat_compare(const Nat *a, const Nat *b) {
  if (a->len != b->len) return a->len > b->len ? 1 : -1;
  for (int i = a->len - 1; i >= 0; --i)
    if (a->limb[i] != b->limb[i]) return a->limb[i] > b->limb[i] ? 1 : -1;
  return 0;
}

void nat_add(Nat *out, const Nat *a, const Nat *b) {
  const int n = a->len > b->len ? a->len : b->len;
  uint32_t carry = 0;
  for (int i = 0; i < n; ++i) {
    uint32_t s = (i < a->len ? a->limb[i] : 0) + (i < b->len ? b->limb[i] : 0) + carry;
    carry = s >= NAT_BASE;
    out->limb[i] = carry ? s - NAT_BASE : s;
  }
  out->len = n;
  if (carry) out->limb[out->len++] = 1;
}

void nat_sub(Nat *out, const Nat *a, const Nat *b) {
  int32_t borrow = 0;
  for (int i = 0; i < a->len; ++i) {
    int32_t d = (int32_t)a->limb[i] - (int32_t)(i < b->len ? b->limb[i] : 0) - borrow;
    borrow = d < 0;
    out->limb[i] = (uint32_t)(borrow ? d + (int32_t)NAT_BASE : d);
  }
  out->len = a->len;
  trim(out);
}

void nat_mul_small(Nat *out, const Nat *a, uint32_t m) {
  uint64_t carry = 0;
  for (int i = 0; i < a->len; ++i) {
    uint64_t t = (uint64_t)a->limb[i] * m + carry;
    out->limb[i] = (uint32_t)(t % NAT_BASE);
    carry = t / NAT_BASE;
  }
  out->len = a->len;
  while (carry) {
    out->limb[out->len++] = (uint32_t)(carry % NAT_BASE);
    carry /= NAT_BASE;
  }
  trim(out);
}

void nat_shift_limbs(Nat *out, const Nat *a, int limbs) {
  if (a->len == 0) {
    out->len = 0;
    return;
  }
  std::memmove(out->limb + limbs, a->limb, sizeof(uint32_t) * (size_t)a->len);
  std::memset(out->limb, 0, sizeof(uint32_t) * (size_t)limbs);
  out->len = a->len + limbs;
}

void nat_mul(Nat *out, const Nat *a, const Nat *b) {
  if (a->len == 0 || b->len == 0) {
    out->len = 0;
    return;
  }
  const int n = a->len + b->len - 1;
  if ((uint64_t)a->len * (uint64_t)b->len > 20000) {
    ntt_convolve(columns, a->limb, a->len, b->limb, b->len);
  } else {
    std::memset(columns, 0, sizeof(uint64_t) * (size_t)n);
    for (int i = 0; i < a->len; ++i) {
      const uint64_t ai = a->limb[i];
      for (int j = 0; j < b->len; ++j) columns[i + j] += ai * b->limb[j];
    }
  }
  uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    if ((i & 4095) == 4095) cancel_check();
    uint64_t t = columns[i] + carry;
    out->limb[i] = (uint32_t)(t % NAT_BASE);
    carry = t / NAT_BASE;
  }
  out->len = n;
  while (carry) {
    out->limb[out->len++] = (uint32_t)(carry % NAT_BASE);
    carry /= NAT_BASE;
  }
  trim(out);
}
