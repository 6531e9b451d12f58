#include "engine/exact_commands.h"

#include "exact/exact.h"

namespace {

constexpr ExactVariant binary(int code, int (*fn)(DecWord *, const DecWord *, const DecWord *)) {
  return ExactVariant{code, fn, nullptr, nullptr};
}
constexpr ExactVariant unary(int code, int (*fn)(DecWord *, const DecWord *)) {
  return ExactVariant{code, nullptr, fn, nullptr};
}
constexpr ExactVariant constant(int code, int (*fn)(DecWord *)) {
  return ExactVariant{code, nullptr, nullptr, fn};
}

const ExactVariant VARIANTS[] = {
    binary(35, exact_add),        binary(36, exact_sub),       binary(37, exact_mul),
    binary(38, exact_div),        binary(39, exact_mod),       unary(42, exact_reciprocal),
    unary(43, exact_sqrt),        unary(44, exact_cbrt),       unary(48, exact_square),
    unary(49, exact_cube),        binary(47, exact_pow),       unary(50, exact_sin),
    unary(51, exact_cos),         unary(52, exact_tan),        unary(53, exact_exp),
    unary(54, exact_exp10),       unary(55, exact_asin),       unary(56, exact_acos),
    unary(57, exact_atan),        unary(58, exact_ln),         unary(59, exact_log10),
    unary(60, exact_sinh),        unary(61, exact_cosh),       unary(62, exact_tanh),
    constant(63, exact_pi),       constant(64, exact_e),       unary(65, exact_asinh),
    unary(66, exact_acosh),       unary(67, exact_atanh),      unary(85, exact_factorial),
};

}  // namespace

const ExactVariant *exact_variant(int code) {
  for (const ExactVariant &v : VARIANTS)
    if (v.code == code) return &v;
  return nullptr;
}
