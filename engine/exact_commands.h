// The commands' variants in the "Exact digits" mode (exact/exact.h), by command code.
//
// A command without a row here (the register, stack and digit commands: R.Off, IP, FP, EP,
// fill w/9, +/-, | x |) computes its digits exactly already and runs the same in both
// modes.
#pragma once

#include "core/decnum.h"

struct ExactVariant {
  int code;
  int (*binary)(DecWord *out, const DecWord *x, const DecWord *y);
  int (*unary)(DecWord *out, const DecWord *y);
  int (*constant)(DecWord *out);
};

// The exact variant of a command code, or null when it has none.
const ExactVariant *exact_variant(int code);
