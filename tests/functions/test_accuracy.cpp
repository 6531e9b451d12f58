// Accuracy against MPFR at 12, 13, 50, 100 and 1,000 significant digits: one test per
// function and angle unit, a few dozen random arguments per precision (fewer at 1,000).
#include "accuracy_cases.h"

namespace {

class Accuracy : public ::testing::TestWithParam<int> {};

TEST_P(Accuracy, ShownDigitsMatchMpfr) {
  static const std::vector<fntest::AccuracyCase> cases = fntest::all_accuracy_cases();
  const fntest::AccuracyCase &c = cases[(size_t)GetParam()];
  const uint64_t seed = fntest::test_seed(1000 + (uint64_t)GetParam());
  std::vector<fntest::AccuracyCase> one{c};
  for (int digits : {12, 13, 50, 100}) {
    fntest::run_cases(one, digits, 40, seed);
    if (HasFatalFailure()) return;
  }
  fntest::run_cases(one, 1000, 4, seed);
}

std::string case_name(const ::testing::TestParamInfo<int> &info) {
  static const std::vector<fntest::AccuracyCase> cases = fntest::all_accuracy_cases();
  std::string n = cases[(size_t)info.param].name;
  for (char &ch : n)
    if (ch == ' ') ch = '_';
  return n;
}

INSTANTIATE_TEST_SUITE_P(Functions, Accuracy,
                         ::testing::Range(0, (int)fntest::all_accuracy_cases().size()), case_name);

}  // namespace
