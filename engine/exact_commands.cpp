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
    unary(49, exact_cube),        unary(85, exact_factorial),
};

}  // namespace

const ExactVariant *exact_variant(int code) {
  for (const ExactVariant &v : VARIANTS)
    if (v.code == code) return &v;
  return nullptr;
}
