// Series settings: the angle unit, the forced term count and the table of term counts.
//
// radian_mode and term_override are written by the command executor and the script runner
// between computations and only read here. For the largest argument the reductions leave
// (1/2 for exp and asin, π/4 for the trigonometric series, z < 0.0625 for the atanh form of
// ln) the first omitted Taylor term of each row lies at or below one unit of the last internal
// digit at the row's precision, so the truncation of the series costs less than the
// truncations of its arithmetic.
#include "functions/fn_internal.h"

int radian_mode = 0;
int term_override = 0;

namespace {

struct TermRow {
  int max_digits;
  int terms[4];  // exp, ln, sin/cos/tan, asin/acos
};

constexpr TermRow TermCountTable[] = {
    {18, {20, 9, 10, 34}},
    {24, {24, 12, 12, 42}},
    {30, {27, 14, 14, 53}},
    {54, {41, 24, 21, 93}},
    {72, {50, 32, 26, 120}},
    {100, {65, 45, 35, 170}},
    {150, {90, 67, 49, 260}},
    {200, {112, 88, 60, 345}},
    {300, {155, 130, 82, 510}},
    {500, {230, 215, 125, 840}},
    {700, {305, 295, 165, 1170}},
    {1000, {410, 420, 220, 1670}},
    {1500, {580, 635, 310, 2500}},
    {2000, {740, 850, 395, 3330}},
    {3000, {1050, 1260, 560, 4990}},
    {5000, {1630, 2090, 865, 8310}},
    {7000, {2190, 2920, 1160, 11630}},
    {10000, {3000, 4160, 1580, 16620}},
    {15000, {4300, 6240, 2260, 24920}},
    {20000, {5560, 8320, 2920, 33230}},
    {30000, {7980, 12470, 4180, 49850}},
    {50000, {12620, 20780, 6600, 83100}},
    {70000, {17090, 29080, 8930, 116300}},
    {100000, {23600, 41550, 12320, 166200}},
};

}  // namespace

int series_terms(TermColumn column) {
  if (term_override > 0) return term_override < SERIES_MAX_TERMS ? term_override : SERIES_MAX_TERMS;
  for (const TermRow &row : TermCountTable)
    if (row.max_digits >= sig_digits) return row.terms[column];
  return TermCountTable[sizeof(TermCountTable) / sizeof(TermCountTable[0]) - 1].terms[column];
}
