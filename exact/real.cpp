#include "exact/real.h"

#include "exact/exact.h"

#include <cstring>

namespace exact {

namespace {

char message[160];

// Three lanes (15 bits) as the number 0 .. 999 they spell, and back: a digit word's six
// lanes are the high and the low three.
struct LaneTables {
  uint16_t value[1 << 15];
  uint16_t lanes[1000];
  LaneTables() {
    for (uint32_t v = 0; v < (1u << 15); ++v)
      value[v] = (uint16_t)(((v >> 10) & 15) * 100 + ((v >> 5) & 15) * 10 + (v & 15));
    for (uint32_t v = 0; v < 1000; ++v)
      lanes[v] = (uint16_t)((v / 100) << 10 | (v / 10 % 10) << 5 | (v % 10));
  }
};
const LaneTables lane_tables;

inline uint32_t limb_of_word(DecWord w) {
  return lane_tables.value[(w >> 16) & 0x7FFF] * 1000u + lane_tables.value[(w >> 1) & 0x7FFF];
}
inline DecWord word_of_limb(uint32_t v) {
  return (DecWord)lane_tables.lanes[v / 1000] << 16 | (DecWord)lane_tables.lanes[v % 1000] << 1;
}

}  // namespace

Dec dx_make(Nat m, int64_t e, bool neg) {
  nat_trim(m);
  int z = 0;
  while (z < m.n && m.d[z] == 0) ++z;
  if (z == m.n) return Dec{};
  m.d += z;
  m.n -= z;
  return Dec{m, e + 6 * (int64_t)z, neg};
}

namespace {

// The truncation of x × 10^e (x > 0) to `digits` significant digits: its decimal
// exponent and the digits as an integer of exactly `digits` digits.
void truncation(const Nat &x, int64_t e, int64_t digits, int64_t *exp_out, Nat *t) {
  const int64_t L = nat_digits(x);
  *exp_out = L - 1 + e;
  *t = L > digits ? nat_div_pow10(x, L - digits) : nat_mul_pow10(x, digits - L);
}

int write_digits(DecWord *out, bool neg, int64_t exponent, const Nat &t) {
  int status;
  if (exponent_out_of_range(out, exponent, &status)) return status;
  for (int i = 0; i < word_count; ++i) out[word_count - i] = word_of_limb(i < t.n ? t.d[i] : 0);
  dec_set_head(out, (int32_t)(exponent * 2 + (neg ? 1 : 0)));
  return 0;
}

// Both operands aligned to the smaller exponent: a × 10^(a.e − e), b likewise.
void align(const Dec &a, const Dec &b, Nat *am, Nat *bm, int64_t *e) {
  *e = a.e < b.e ? a.e : b.e;
  *am = nat_mul_pow10(a.m, a.e - *e);
  *bm = nat_mul_pow10(b.m, b.e - *e);
}

}  // namespace

const char *exact_message() { return message; }

bool exponent_out_of_range(DecWord *out, int64_t exponent, int *status) {
  if (exponent > DEC_EXP_MAX) {
    dec_set_marker(out, NUM_OVERFLOW);
    *status = -1;
    return true;
  }
  if (exponent < DEC_EXP_MIN) {
    dec_zero(out);
    *status = 0;
    return true;
  }
  return false;
}
void exact_set_message(const char *text) {
  std::strncpy(message, text, sizeof message - 1);
  message[sizeof message - 1] = '\0';
}

int64_t ziv_first_digits() { return internal_digits + 12; }
int64_t ziv_max_digits() { return 8 * (int64_t)internal_digits + 2000; }

// ---- operands and results ---------------------------------------------------------------
Dec dx_of(const DecWord *p) {
  if (::dec_is_zero(p)) return Dec{};
  Nat m = nat_alloc(word_count);
  for (int i = 0; i < word_count; ++i) m.d[i] = limb_of_word(p[word_count - i]);
  nat_trim(m);
  // The integer of positions 0 .. internal_digits − 1; its last position weighs
  // 10^(exponent + 2 − internal_digits).
  return dx_make(m, (int64_t)dec_exponent(p) + 2 - internal_digits, dec_sign(p) != 0);
}

int64_t dx_magnitude(const Dec &x) { return nat_digits(x.m) - 1 + x.e; }

int dx_write(DecWord *out, const Dec &x) {
  if (x.m.n == 0) {
    dec_zero(out);
    return 0;
  }
  Frame f;
  int64_t exponent;
  Nat t;
  truncation(x.m, x.e, internal_digits - 1, &exponent, &t);
  return write_digits(out, x.neg, exponent, t);
}

int approx_write(DecWord *out, const Approx &a) {
  Frame f;
  if (a.rad == 0) return dx_write(out, dx_make(a.mid.m, a.e, a.mid.neg));
  Nat rad = nat_from_u64(a.rad);
  if (nat_cmp(a.mid.m, rad) <= 0) return 1;  // the enclosure reaches zero
  Nat lo = nat_sub(a.mid.m, rad), hi = nat_add(a.mid.m, rad);
  int64_t elo, ehi;
  Nat tlo, thi;
  truncation(lo, a.e, internal_digits - 1, &elo, &tlo);
  truncation(hi, a.e, internal_digits - 1, &ehi, &thi);
  if (elo != ehi || nat_cmp(tlo, thi) != 0) return 1;
  return write_digits(out, a.mid.neg, elo, tlo);
}

// ---- exact arithmetic on decimals -------------------------------------------------------
Dec dx_add(const Dec &a, const Dec &b) {
  if (a.m.n == 0) return b;
  if (b.m.n == 0) return a;
  Nat am, bm;
  int64_t e;
  align(a, b, &am, &bm, &e);
  Int s = int_add(int_from(am, a.neg), int_from(bm, b.neg));
  return dx_make(s.m, e, s.neg);
}

Dec dx_neg(const Dec &a) { return Dec{a.m, a.e, !a.neg && a.m.n != 0}; }
Dec dx_sub(const Dec &a, const Dec &b) { return dx_add(a, dx_neg(b)); }

Dec dx_mul(const Dec &a, const Dec &b) {
  if (a.m.n == 0 || b.m.n == 0) return Dec{};
  return dx_make(nat_mul(a.m, b.m), a.e + b.e, a.neg != b.neg);
}

Dec dx_from_i64(int64_t v, int64_t e) {
  Int i = int_from_i64(v);
  Dec d = dx_make(i.m, 0, i.neg);
  if (d.m.n == 0) return d;
  // Trailing zero digits into the exponent keep equal values equal in form.
  const int64_t z = nat_trailing_zero_digits(d.m);
  if (z) d.m = nat_div_pow10(d.m, z);
  d.e += e + z;
  return d;
}

int dx_cmp_abs(const Dec &a, const Dec &b) {
  if (a.m.n == 0 || b.m.n == 0) return (a.m.n != 0) - (b.m.n != 0);
  const int64_t ma = dx_magnitude(a), mb = dx_magnitude(b);
  if (ma != mb) return ma > mb ? 1 : -1;
  Frame f;
  Nat am, bm;
  int64_t e;
  align(a, b, &am, &bm, &e);
  return nat_cmp(am, bm);
}

int dx_cmp(const Dec &a, const Dec &b) {
  const int sa = a.m.n == 0 ? 0 : (a.neg ? -1 : 1), sb = b.m.n == 0 ? 0 : (b.neg ? -1 : 1);
  if (sa != sb) return sa > sb ? 1 : -1;
  const int c = dx_cmp_abs(a, b);
  return sa < 0 ? -c : c;
}

bool dx_is_integer(const Dec &x) {
  if (x.m.n == 0 || x.e >= 0) return true;
  return nat_divisible_pow10(x.m, -x.e);
}

bool dx_to_i64(const Dec &x, int64_t *v) {
  if (x.m.n == 0) {
    *v = 0;
    return true;
  }
  if (dx_magnitude(x) >= 18) return false;
  Frame f;
  Nat ip = x.e >= 0 ? nat_mul_pow10(x.m, x.e) : nat_div_pow10(x.m, -x.e);
  const int64_t u = (int64_t)nat_to_u64(ip);
  *v = x.neg ? -u : u;
  return true;
}

// ---- fixed point ------------------------------------------------------------------------
Int fix_from_dec(const Dec &x, int p) {
  // x × BASE^p = m × 10^(e + 6p).
  const int64_t s = x.e + 6 * (int64_t)p;
  if (s >= 0) return int_from(nat_mul_pow10(x.m, s), x.neg);
  Nat q = nat_div_pow10(x.m, -s);
  if (x.neg && !nat_divisible_pow10(x.m, -s)) q = nat_add_small(q, 1);
  return int_from(q, x.neg);
}

Int fix_mul(const Int &a, const Int &b, int p) { return int_shift_floor(int_mul(a, b), -p); }

Int fix_div(const Int &a, const Int &b, int p) {
  const Int num = int_shift_floor(a, p);
  // floor(a / −|b|) = −ceil(a / |b|) = floor(−a / |b|).
  return int_div_floor(b.neg ? int_neg(num) : num, b.m);
}

Int fix_sqrt(const Int &a, int p) { return int_from(nat_sqrt(nat_shift_limbs(a.m, p)), false); }

Approx approx_fix(const Int &m, int p, uint64_t err) {
  Approx a;
  a.mid = m;
  a.e = -6 * (int64_t)p;
  a.rad = err;
  return a;
}

}  // namespace exact

// The public face of the message and the angle unit (exact/exact.h).
int exact_radian_mode = 0;
const char *exact_message() { return exact::exact_message(); }
void exact_clear_message() { exact::exact_set_message(""); }
