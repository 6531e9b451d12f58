// n! in the exact mode, for the integer part n of the operand.
//
// Method: a product tree over 1 .. n. While n! has at most 4 D + 1,000 digits (D =
// internal_digits − 1) the tree is exact and the result is truncated once. Beyond, a node
// whose product has more than w + 12 digits (w the working precision) is truncated to
// w + 12 digits, its dropped digits counted into a decimal exponent; each truncation
// lowers the value by a relative amount below 10^−(w+11), so after T of them the true n!
// lies in [C, C (1 + 2 T 10^−(w+11))] for the computed C × 10^E: an enclosure of radius
// 20 T + 1 units of C's last digit, decided by the correctness loop. n! is an integer, so
// it is exactly representable only when its significant digits fit, which the exact tree
// covers; beyond it the value is never on a truncation boundary and the loop ends.
// Progress: the tree publishes the share of the digits of n! done, ln k! / ln n! summed
// over the finished parts, not the share of the factors. The truncated tree's work follows
// the digits: every digit passes through the same products of at most w + 12 digits, while
// the factors grow from one digit to log10 n. Measured against the process's processor
// time, the share of digits stays within 1.5 points of the share of the work at 1,000 to
// 100,000 digits (the share of the factors runs up to 4 points ahead), so the time left
// extrapolated from it is honest; the truncated tree says so (work_starts) and the status
// line shows that time. The exact tree (at most 4 D + 1,000 digits) takes a tenth of a
// second at most, at any precision. The halves of nodes of 4,096 factors and more run on
// two threads.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/cancel.h"
#include "exact/exact.h"
#include "exact/parallel.h"
#include "exact/run.h"

using namespace exact;

namespace {

struct Product {
  Nat m;
  int64_t e = 0;  // decimal exponent of m's last digit
  int64_t truncations = 0;
};

// The share of the digits of n! done, in millionths (counted over both threads: the halves
// of the top nodes run side by side).
constexpr int PROGRESS_STEPS = 1000000;
struct TreeProgress {
  const ProgressLoop &loop;
  double log_total;  // ln n!, at least 1
  std::atomic<uint64_t> &done;
};

// Nodes with at least this many factors hand one half to the second thread.
constexpr uint64_t FACTORIAL_FORK_MIN = 4096;

// Nodes of fewer factors than this report their share when they are done (one report per
// about a thousandth of a long product, not one per leaf: both threads write the figures).
constexpr uint64_t FACTORIAL_REPORT_BELOW = 2048;

// A node of the factors a .. b − 1 is done: ln (b − 1)! − ln (a − 1)! of the digits.
void report(const TreeProgress &progress, uint64_t a, uint64_t b) {
  const double share = (std::lgamma((double)b) - std::lgamma((double)a)) / progress.log_total;
  const uint64_t part = (uint64_t)(PROGRESS_STEPS * std::max(share, 0.0));
  const uint64_t done = progress.done.fetch_add(part, std::memory_order_relaxed) + part;
  progress.loop.set((int)std::min<uint64_t>(done, PROGRESS_STEPS), PROGRESS_STEPS);
}

// Π k for k in [a, b); nodes longer than `keep` digits are truncated (keep = 0: exact).
// `reports`: this node reports its factors when done (the first node below
// FACTORIAL_REPORT_BELOW on each path, or the whole tree when it is that short).
Product product(uint64_t a, uint64_t b, int64_t keep, const TreeProgress &progress, bool reports) {
  Product p;
  if (b - a <= 16) {
    p.m = nat_from_u64(1);
    for (uint64_t k = a; k < b; ++k) p.m = nat_mul_u64(p.m, k);
    if (reports) report(progress, a, b);
    return p;
  }
  cancel_check();
  Frame f;
  const uint64_t mid = a + (b - a) / 2;
  const bool below = b - a < FACTORIAL_REPORT_BELOW;
  const bool l_reports = !below && mid - a < FACTORIAL_REPORT_BELOW;
  const bool r_reports = !below && b - mid < FACTORIAL_REPORT_BELOW;
  Product l, r;
  const auto left = [&] { l = product(a, mid, keep, progress, l_reports); };
  const auto right = [&] { r = product(mid, b, keep, progress, r_reports); };
  if (b - a >= FACTORIAL_FORK_MIN) {
    fork_join(left, right, {&r.m});
  } else {
    left();
    right();
  }
  p.m = nat_mul(l.m, r.m);
  p.e = l.e + r.e;
  p.truncations = l.truncations + r.truncations;
  const int64_t digits = nat_digits(p.m);
  if (keep > 0 && digits > keep) {
    p.m = nat_div_pow10(p.m, digits - keep);
    p.e += digits - keep;
    ++p.truncations;
  }
  if (reports) report(progress, a, b);
  f.keep({&p.m});
  return p;
}

// log10(n!) from Stirling's series (within 10^−6 for n ≥ 1).
double log10_factorial(double n) {
  if (n < 2) return 0;
  const double pi = 3.14159265358979323846;
  return (n * std::log(n) - n + 0.5 * std::log(2 * pi * n) + 1 / (12 * n)) / std::log(10.0);
}

}  // namespace

int exact_factorial(DecWord *out, const DecWord *y) {
  return run_exact(out, [&]() -> int {
    if (pass_markers(out, y)) return -1;
    Dec x = dx_of(y);
    int64_t n;
    if (!dx_to_i64(x, &n)) {
      // |y| ≥ 10^18: the factorial of a huge integer overflows; negative ones are errors.
      dec_set_marker(out, x.neg ? NUM_ERROR : NUM_OVERFLOW);
      return -1;
    }
    if (n < 0) {
      dec_set_marker(out, NUM_ERROR);
      return -1;
    }
    const double digits = log10_factorial((double)n);
    if (digits > DEC_EXP_MAX + 2.0) {
      dec_set_marker(out, NUM_OVERFLOW);
      return -1;
    }
    ProgressLoop loop;
    std::atomic<uint64_t> done{0};
    const TreeProgress progress{loop, std::max(std::lgamma((double)n + 1), 1.0), done};
    if (digits <= 4.0 * internal_digits + 1000) {
      Product p = product(1, (uint64_t)n + 1, 0, progress, (uint64_t)n < FACTORIAL_REPORT_BELOW);
      loop.set(PROGRESS_STEPS, PROGRESS_STEPS);  // the parts' shares, each cut, fall short
      return dx_write(out, Dec{p.m, 0, false});
    }
    return ziv_loop(out, [&](int64_t w, Approx *a) {
      done = 0;
      loop.work_starts();
      Product p = product(1, (uint64_t)n + 1, w + 12, progress, (uint64_t)n < FACTORIAL_REPORT_BELOW);
      loop.set(PROGRESS_STEPS, PROGRESS_STEPS);
      a->mid = int_from(p.m, false);
      a->e = p.e;
      a->rad = p.truncations == 0 ? 0 : 20 * (uint64_t)p.truncations + 1;
      return 0;
    });
  });
}
