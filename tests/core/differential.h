// Differential tests of the core against the exact GMP models, shared by the fast suite
// and the long sweeps. Each prints its seed and the failing operands.
#pragma once

#include <gtest/gtest.h>
#include <gmpxx.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "arith_model.h"
#include "core_test_util.h"

namespace differential {

using testutil::bare;
using testutil::Num;

inline void expect_model(DecWord *got, const model::Value &want, const std::string &what) {
  Num w;
  model::to_words(w, want);
  ASSERT_TRUE(testutil::same_words(got, w))
      << what << "\n got  " << testutil::words_hex(got, word_count) << "\n want "
      << testutil::words_hex(w, word_count);
}

// Random operands at one precision: add, sub and mul against the models, every aliasing
// form, with and without the table of multiples.
inline void add_sub_mul(int digits, int trials, uint64_t seed) {
  ASSERT_EQ(dec_set_precision(digits), 0);
  std::mt19937_64 rng(seed);
  SCOPED_TRACE("seed " + std::to_string(seed) + " digits " + std::to_string(digits));
  for (int t = 0; t < trials; ++t) {
    Num a, b, out;
    int32_t ea = (int32_t)(rng() % 40) - 20;
    int32_t eb = (rng() % 3 == 0) ? ea - (int32_t)(rng() % (internal_digits + 3))
                                  : ea + (int32_t)(rng() % 7) - 3;
    testutil::random_number(a, rng, testutil::random_length(rng), ea, (int)(rng() & 1));
    testutil::random_number(b, rng, testutil::random_length(rng), eb, (int)(rng() & 1));
    if (rng() % 2) std::swap(a, b);
    const model::Value va = model::from(a), vb = model::from(b);
    const std::string what = "trial " + std::to_string(t) + " a=" + bare(a) + " b=" + bare(b);

    dec_add(out, a, b);
    expect_model(out, model::add(va, vb), "add " + what);
    ASSERT_EQ(dec_check_valid(out), 0);
    dec_sub(out, a, b);
    expect_model(out, model::add(va, model::negate(vb)), "sub " + what);
    ASSERT_EQ(dec_check_valid(out), 0);

    const model::Value prod = model::mul(a, b);
    compact_memory = 0;
    dec_mul(out, a, b);
    expect_model(out, prod, "mul " + what);
    compact_memory = 1;
    Num c;
    dec_mul(c, a, b);
    compact_memory = 0;
    expect_model(c, prod, "mul compact " + what);
    // Aliasing: out = a, out = b, and squaring in place.
    Num a2(a), b2(b);
    dec_mul(a2, a2, b);
    expect_model(a2, prod, "mul out=a " + what);
    dec_mul(b2, a, b2);
    expect_model(b2, prod, "mul out=b " + what);
    Num sqr(a);
    dec_mul(sqr, sqr, sqr);
    expect_model(sqr, model::mul(a, a), "square " + what);
    a2 = a;
    dec_add(a2, a2, a2);
    expect_model(a2, model::add(va, va), "add x,x,x " + what);
    ASSERT_TRUE(a.guards_intact() && b.guards_intact() && out.guards_intact());
  }
}

inline uint64_t test_seed() {
  const char *s = std::getenv("DEEPNUMS_TEST_SEED");
  return s ? std::strtoull(s, nullptr, 10) : 20261207;
}

// Quotient digits as a string from position 1, and the exact quotient's leading digits.
inline std::string quotient_digits(DecWord *q, int count) {
  std::string s;
  for (int k = 1; k <= count; ++k) s.push_back((char)('0' + dec_digit_at(q, k)));
  return s;
}

inline void div(int digits, int trials, uint64_t seed) {
  ASSERT_EQ(dec_set_precision(digits), 0);
  const int P = internal_digits - 1;
  std::mt19937_64 rng(seed);
  SCOPED_TRACE("seed " + std::to_string(seed) + " digits " + std::to_string(digits));
  for (int t = 0; t < trials; ++t) {
    Num a, b, q, qc;
    const int la = testutil::random_length(rng);
    int lb = testutil::random_length(rng);
    testutil::random_number(a, rng, la, (int32_t)(rng() % 20) - 10, (int)(rng() & 1));
    testutil::random_number(b, rng, lb, (int32_t)(rng() % 20) - 10, (int)(rng() & 1));
    const std::string what = "trial " + std::to_string(t) + " a=" + bare(a) + " b=" + bare(b);
    dec_div(q, a, b);
    compact_memory = 1;
    dec_div(qc, a, b);
    compact_memory = 0;
    ASSERT_EQ(dec_check_valid(q), 0) << what;
    ASSERT_EQ(dec_check_valid(qc), 0) << what;
    ASSERT_EQ(dec_sign(q), dec_sign(a) ^ dec_sign(b));
    ASSERT_EQ(dec_head(q), dec_head(qc)) << what;
    // Where no divisor digit is dropped, every digit is the exact quotient's.
    mpz_class ia, ib, exact;
    testutil::positions_to_mpz(ia.get_mpz_t(), a, P);
    testutil::positions_to_mpz(ib.get_mpz_t(), b, P);
    exact = ia * model::pow10(P + 2) / ib;
    std::string exact_digits = exact.get_str();
    const int safe = P - lb - 14;
    if (safe <= 0) continue;
    ASSERT_EQ(quotient_digits(q, safe), exact_digits.substr(0, (size_t)safe)) << what;
    // Repeated subtraction truncates each subtrahend where the table truncates the
    // multiple once, so the two agree wherever nothing is dropped.
    ASSERT_EQ(quotient_digits(qc, safe), exact_digits.substr(0, (size_t)safe)) << what;
    const int64_t exact_exp = (int64_t)dec_exponent(a) - dec_exponent(b) +
                              ((int64_t)exact_digits.size() - 1) - (P + 2);
    ASSERT_EQ(dec_exponent(q), exact_exp) << what;
  }
}

// Exact quotients that end anywhere up to the last position: a = q × b built with GMP
// (q up to P digits, b of one to three words), then a / b must be q in every word, with
// and without the table, and a divmod of the integers must give q and a zero remainder.
inline void exact_quotients(int digits, int trials, uint64_t seed) {
  ASSERT_EQ(dec_set_precision(digits), 0);
  const int P = internal_digits - 1;
  std::mt19937_64 rng(seed);
  SCOPED_TRACE("seed " + std::to_string(seed) + " digits " + std::to_string(digits));
  auto random_integer = [&](int n) {
    std::vector<char> t((size_t)n + 1, '\0');
    t[0] = (char)('1' + rng() % 9);
    for (int i = 1; i < n; ++i) t[(size_t)i] = (char)('0' + ((rng() % 3) ? rng() % 10 : (rng() % 2) * 9));
    return mpz_class(t.data());
  };
  for (int t = 0; t < trials; ++t) {
    const int lb = 1 + (int)(rng() % (t % 4 == 0 ? 1 : 18));
    const mpz_class b = t % 8 == 0 ? mpz_class(1) : random_integer(lb);
    const int room = P - (int)b.get_str().size();
    if (room < 1) continue;
    const int lq = room - (int)(rng() % (rng() % 2 ? 3 : room));
    const mpz_class q = random_integer(lq < 1 ? 1 : lq);
    const mpz_class a = q * b;
    if ((int)a.get_str().size() > P) continue;
    char scale_text[16];
    snprintf(scale_text, sizeof scale_text, "e%d", (int)(rng() % 21) - 10);
    const std::string scale = scale_text;
    Num na((a.get_str() + scale).c_str()), nb(b.get_str().c_str()), want((q.get_str() + scale).c_str());
    const std::string what = "trial " + std::to_string(t) + " a=" + a.get_str() + scale +
                             " b=" + b.get_str();
    Num got, got_compact;
    dec_div(got, na, nb);
    compact_memory = 1;
    dec_div(got_compact, na, nb);
    compact_memory = 0;
    ASSERT_TRUE(testutil::same_words(got, want)) << what << " gave " << bare(got);
    ASSERT_TRUE(testutil::same_words(got_compact, want)) << what << " compact gave " << bare(got_compact);
    if ((int)q.get_str().size() < P) {
      Num ia(a.get_str().c_str()), iq(q.get_str().c_str()), quot, rem;
      ASSERT_EQ(dec_divmod(quot, rem, ia, nb), 0) << what;
      ASSERT_TRUE(testutil::same_words(quot, iq)) << what << " divmod gave " << bare(quot);
      ASSERT_TRUE(dec_is_zero(rem)) << what << " remainder " << bare(rem);
    }
  }
}

inline void divmod(int digits, int trials, uint64_t seed) {
  ASSERT_EQ(dec_set_precision(digits), 0);
  const int P = internal_digits - 1;
  std::mt19937_64 rng(seed);
  for (int t = 0; t < trials; ++t) {
    Num a, b, q, r, qc, rc;
    int lb = 1 + (int)(rng() % (P / 3));
    int32_t eb = (int32_t)(rng() % 10) - 5;
    // d = exp(a) − exp(b) small enough that the last subtraction keeps every digit of b.
    int32_t ea = eb + (int32_t)(rng() % (P - lb - 18 > 1 ? P - lb - 18 : 1));
    testutil::random_number(a, rng, 1 + (int)(rng() % P), ea, (int)(rng() & 1));
    testutil::random_number(b, rng, lb, eb, (int)(rng() & 1));
    const std::string what = "trial " + std::to_string(t) + " a=" + bare(a) + " b=" + bare(b);
    ASSERT_EQ(dec_divmod(q, r, a, b), 0) << what;
    compact_memory = 1;
    dec_divmod(qc, rc, a, b);
    compact_memory = 0;
    ASSERT_TRUE(testutil::same_words(q, qc) && testutil::same_words(r, rc)) << what;
    // a = q × b + r exactly, |r| < |b|, r has a's sign, q is an integer.
    auto to_q = [](DecWord *p) {
      model::Value v = model::from(p);
      mpq_class x(v.digits);
      int64_t scale = v.exponent + 1 - model::P();
      if (scale >= 0)
        x *= model::pow10((long)scale);
      else
        x /= model::pow10((long)-scale);
      return v.sign ? mpq_class(-x) : x;
    };
    mpq_class A = to_q(a), B = to_q(b), Q = to_q(q), R = to_q(r);
    ASSERT_EQ(Q.get_den(), 1) << what;
    ASSERT_EQ(A, Q * B + R) << what;
    ASSERT_LT(abs(R), abs(B)) << what;
    if (R != 0) {
      ASSERT_EQ(R < 0, A < 0) << what;
    }
  }
}

}  // namespace differential
