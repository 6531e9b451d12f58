// Edge cases of the elementary functions, grouped by function: exact values, special
// values, reductions, failures, the forced term count and the common result rules.
// Expected digits are published reference values or values computed independently with
// mpmath.
#include <cstring>
#include <functional>

#include "core/cancel.h"
#include "fn_test_util.h"

namespace {

using fntest::Num;
using fntest::Setting;
using fntest::UnaryFn;

// f(x) shown at (digits of `expected`) − 2 significant digits equals `expected` shown the
// same way; the status is 0.
void expect_value(UnaryFn f, const char *fname, const char *x, const char *expected, int radians = 0) {
  int digits = fntest::significant_digits(expected) - 2;
  if (digits < 12) digits = 12;
  Setting setting(digits, radians);
  Num a(x), out;
  EXPECT_EQ(f(out, a), 0) << fname << "(" << x << ")";
  EXPECT_EQ(fntest::shown(out), fntest::shown_text(expected))
      << fname << "(" << x << ") at " << digits << " digits, " << (radians ? "radians" : "degrees");
}

// f(x) shows exactly `text` at `digits` digits (exact results and markers).
void expect_shown(UnaryFn f, const char *fname, const char *x, const char *text, int digits = 30,
                  int radians = 0) {
  Setting setting(digits, radians);
  Num a(x), out;
  f(out, a);
  EXPECT_EQ(fntest::shown(out), text) << fname << "(" << x << ") " << (radians ? "radians" : "degrees");
  if (!dec_is_marker(out)) {
    EXPECT_EQ(dec_check_valid(out), 0) << fname << "(" << x << ")";
  }
}

void expect_marker(UnaryFn f, const char *fname, const char *x, int32_t marker, int digits = 30,
                   int radians = 0) {
  Setting setting(digits, radians);
  Num a(x), out;
  EXPECT_EQ(f(out, a), -1) << fname << "(" << x << ")";
  EXPECT_EQ(dec_head(out), marker) << fname << "(" << x << ")";
}

// ---- series settings ------------------------------------------------------------------

TEST(SeriesSettings, TermCountTable) {
  struct Row {
    int digits;
    int exp, ln, trig, asin;
  };
  const Row rows[] = {{12, 20, 9, 10, 34},          {18, 20, 9, 10, 34},
                      {19, 24, 12, 12, 42},         {100, 65, 45, 35, 170},
                      {101, 90, 67, 49, 260},       {1000, 410, 420, 220, 1670},
                      {10000, 3000, 4160, 1580, 16620}, {70001, 23600, 41550, 12320, 166200},
                      {100000, 23600, 41550, 12320, 166200}};
  for (const Row &r : rows) {
    Setting setting(r.digits);
    EXPECT_EQ(series_terms(TERMS_EXP), r.exp) << r.digits;
    EXPECT_EQ(series_terms(TERMS_LN), r.ln) << r.digits;
    EXPECT_EQ(series_terms(TERMS_TRIG), r.trig) << r.digits;
    EXPECT_EQ(series_terms(TERMS_ASIN), r.asin) << r.digits;
    term_override = 7;
    EXPECT_EQ(series_terms(TERMS_EXP), 7);
    EXPECT_EQ(series_terms(TERMS_ASIN), 7);
    term_override = -3;
    EXPECT_EQ(series_terms(TERMS_LN), r.ln);
  }
}

// ---- common result rules and aliasing, for every one-operand function ------------------

TEST(CommonRules, MarkersNullsAndInPlace) {
  int count;
  const fntest::NamedFn *fns = fntest::unary_functions(&count);
  Setting setting(30);
  Num err, ovf, out;
  dec_set_head(err, NUM_ERROR);
  dec_set_head(ovf, NUM_OVERFLOW);
  const char *args[] = {"0.37", "1.7", "-0.2", "123.456"};
  for (int i = 0; i < count; ++i) {
    const fntest::NamedFn &f = fns[i];
    EXPECT_EQ(f.fn(nullptr, err), -1) << f.name;
    EXPECT_EQ(f.fn(out, err), -1) << f.name;
    EXPECT_EQ(dec_head(out), NUM_ERROR) << f.name;
    EXPECT_EQ(f.fn(out, ovf), -1) << f.name;
    EXPECT_EQ(dec_head(out), NUM_OVERFLOW) << f.name;
    EXPECT_EQ(f.fn(out, nullptr), -1) << f.name;
    EXPECT_EQ(dec_head(out), NUM_ERROR) << f.name;
    for (int radians = 0; radians <= 1; ++radians) {
      radian_mode = radians;
      for (const char *a : args) {
        Num x(a), separate, inplace(a);
        const int s1 = f.fn(separate, x);
        const int s2 = f.fn(inplace, inplace);
        EXPECT_EQ(s1, s2) << f.name << "(" << a << ")";
        EXPECT_TRUE(testutil::same_words(separate, inplace) ||
                    (dec_is_marker(separate) && separate[0] == inplace[0]))
            << f.name << "(" << a << ") in place differs: " << fntest::bare(separate) << " vs "
            << fntest::bare(inplace);
        EXPECT_EQ(fntest::bare(x), fntest::bare(Num(a))) << f.name << " changed its operand";
        if (!dec_is_marker(separate)) {
          EXPECT_EQ(dec_check_valid(separate), 0) << f.name << "(" << a << ")";
        }
      }
    }
    radian_mode = 0;
  }
  // The power: both operands, either aliased with out.
  Num x("2.5"), y("1.75"), separate, ox("2.5"), oy("1.75");
  EXPECT_EQ(dec_pow(separate, x, y), 0);
  EXPECT_EQ(dec_pow(ox, ox, y), 0);
  EXPECT_EQ(dec_pow(oy, x, oy), 0);
  EXPECT_TRUE(testutil::same_words(separate, ox));
  EXPECT_TRUE(testutil::same_words(separate, oy));
  EXPECT_EQ(dec_pow(nullptr, x, y), -1);
  EXPECT_EQ(dec_pow(out, err, ovf), -1);
  EXPECT_EQ(dec_head(out), NUM_ERROR);
  EXPECT_EQ(dec_pow(out, x, ovf), -1);
  EXPECT_EQ(dec_head(out), NUM_OVERFLOW);
}

// ---- exponential and powers of ten ---------------------------------------------------

TEST(Exp, Values) {
  expect_value(dec_exp, "exp", "0.3", "1.3498588075760031039837443133280073303782");
  expect_value(dec_exp, "exp", "0.8", "2.2255409284924676045795375313950767570536");
  expect_value(dec_exp, "exp", "3.2", "24.532530197109348643560263727964196564337");
  expect_value(dec_exp, "exp", "100.7", "5.4132031723300416581205645022664918805913e43");
  expect_value(dec_exp, "exp", "-0.3", "0.74081822068171786606687377931781687218225");
  expect_value(dec_exp, "exp", "-1", "0.36787944117144232159552377016146086744581");
  expect_value(dec_exp, "exp", "-100.7", "1.8473350586794310838272726562142389446583e-44");
}

TEST(Exp, ExactAndRange) {
  for (int digits : {12, 100, 1000}) {
    Setting setting(digits);
    Num zero("0"), one("1"), out, e;
    EXPECT_EQ(dec_exp(out, zero), 0);
    EXPECT_EQ(fntest::bare(out), "1");
    EXPECT_EQ(dec_exp(out, one), 0);
    dec_e(e);
    EXPECT_TRUE(testutil::same_words(out, e)) << "exp 1 is the stored e, digits " << digits;
  }
  expect_marker(dec_exp, "exp", "3221225472", NUM_OVERFLOW);
  expect_marker(dec_exp, "exp", "-3221225472", NUM_OVERFLOW);
  expect_marker(dec_exp, "exp", "2400000000", NUM_OVERFLOW);
  // e^2,302,585,092 is just below 10^1,000,000,000.
  // The integer part is raised from the stored e, whose relative truncation error the
  // powering multiplies by 2,302,585,092: of the 23 internal digits at 13 significant
  // digits about 13 are right (true value 3.7007644594676034e999999999).
  {
    Setting setting(13);
    Num x("2302585092"), out;
    EXPECT_EQ(dec_exp(out, x), 0);
    EXPECT_EQ(fntest::shown(out).substr(0, 12), "3.7007644594");
    EXPECT_EQ(dec_exponent(out), 999999999);
  }
}

TEST(Exp10, Values) {
  expect_shown(dec_exp10, "exp10", "3", "1000");
  expect_value(dec_exp10, "exp10", "0.3", "1.9952623149688796013524553967395355579862");
  expect_value(dec_exp10, "exp10", "3.7", "5011.8723362727228500155418688494576806047");
  expect_value(dec_exp10, "exp10", "-0.8", "0.15848931924611134852021013733915070132694");
  expect_value(dec_exp10, "exp10", "-3.2", "6.3095734448019324943436013662234386467294e-4");
  expect_shown(dec_exp10, "exp10", "-999999999", "1e-999999999");
  expect_marker(dec_exp10, "exp10", "1000000000", NUM_OVERFLOW);
  expect_shown(dec_exp10, "exp10", "-1000000000", "0");
  expect_shown(dec_exp10, "exp10", "0", "1");
}

// ---- logarithms and the power --------------------------------------------------------

TEST(Ln, Values) {
  expect_shown(dec_ln, "ln", "1", "0");
  expect_value(dec_ln, "ln", "2", "0.69314718055994530941723212145817656807550");
  expect_value(dec_ln, "ln", "0.5", "-0.69314718055994530941723212145817656807550");
  expect_value(dec_ln, "ln", "1.1", "0.095310179804324860043952123280765092220605");
  expect_value(dec_ln, "ln", "1.2", "0.18232155679395462621171802515451463319739");
  expect_marker(dec_ln, "ln", "0", NUM_ERROR);
  expect_marker(dec_ln, "ln", "-1", NUM_ERROR);
  // Arguments whose scale factor 2^m exceeds a 32-bit int (35 square roots).
  expect_value(dec_ln, "ln", "1e999999999", "2302585090.6914605910239457706663727529167");
  expect_value(dec_ln, "ln", "9.99e999999999", "2302585092.9930451836844079211842212253470");
  expect_value(dec_ln, "ln", "1e-999999999", "-2302585090.6914605910239457706663727529167");
  expect_value(dec_ln, "ln", "1e58289735", "134217074.88557327949930245712581609830455");
}

TEST(Ln, ReciprocalThatTruncatesToOne) {
  for (int digits : {12, 50}) {
    Setting setting(digits);
    std::string nines = "0." + std::string((size_t)internal_digits - 1, '9');
    Num x(nines.c_str()), out;
    EXPECT_EQ(dec_ln(out, x), 0);
    EXPECT_EQ(out[0], 0u);
    EXPECT_TRUE(dec_is_zero(out));
    EXPECT_EQ(dec_check_valid(out), 0);
  }
}

TEST(Log10, Values) {
  expect_shown(dec_log10, "log10", "1000", "3");
  expect_shown(dec_log10, "log10", "0.001", "-3");
  expect_shown(dec_log10, "log10", "1", "0");
  expect_shown(dec_log10, "log10", "1e-999999999", "-999999999");
  expect_value(dec_log10, "log10", "2", "0.30102999566398119521373889472449302676818");
  expect_marker(dec_log10, "log10", "0", NUM_ERROR);
  expect_marker(dec_log10, "log10", "-5", NUM_ERROR);
}

void expect_pow(const char *x, const char *y, const char *expected, int digits = 0) {
  if (digits == 0) digits = fntest::significant_digits(expected) - 2;
  if (digits < 12) digits = 12;
  Setting setting(digits);
  Num a(x), b(y), out;
  EXPECT_EQ(dec_pow(out, a, b), 0) << x << "^" << y;
  EXPECT_EQ(fntest::shown(out), fntest::shown_text(expected)) << x << "^" << y << " at " << digits;
}

void expect_pow_marker(const char *x, const char *y, int32_t marker, int digits = 30) {
  Setting setting(digits);
  Num a(x), b(y), out;
  EXPECT_EQ(dec_pow(out, a, b), -1) << x << "^" << y;
  EXPECT_EQ(dec_head(out), marker) << x << "^" << y;
}

TEST(Pow, Values) {
  {
    Setting setting(30);
    Num two("2"), ten("10"), out;
    dec_pow(out, two, ten);
    EXPECT_EQ(fntest::bare(out), "1024");  // exact: no logarithm for an integer exponent
  }
  expect_pow("2", "-1", ".5", 12);
  expect_pow("5", "0", "1", 12);
  // 30 squarings multiply the working precision's truncation error by up to 2^30; at 31
  // digits there are 10 guard digits.
  expect_pow("2", "999999999", "2.3064880005845346965580596105186580093523e301029995", 31);
  expect_pow("2", "-999999999", "4.3355959352338680043424090210721642898383e-301029996", 31);
  expect_pow("2", "0.5", "1.4142135623730950488016887242096980785697");
  expect_pow_marker("0", "2", NUM_ERROR);
  expect_pow_marker("-2", "2", NUM_ERROR);
  expect_pow_marker("0", "0", NUM_ERROR);
  expect_pow_marker("-2", "0", NUM_ERROR);
  expect_pow_marker("2", "1e17", NUM_ERROR, 12);  // the exponent has no units digit left
  expect_pow_marker("10", "1073741824", NUM_OVERFLOW);
  expect_pow_marker("2", "2305843009213693952", NUM_OVERFLOW);  // 2^61 reductions needed
  expect_pow_marker("0.5", "-1e10", NUM_ERROR);  // underflow to zero, then 1/0
}

// |y| ≥ 2^30: the reduction counts n = floor(|y| / 2^30) and multiplies n more times.
TEST(Pow, ExponentsBeyondTwoToThirty) {
  expect_pow("1", "5000000000.5", "1", 20);
  expect_pow("0.5", "3400000000", "0", 20);  // underflows to zero
  // (1 + 10^−12)^(2^31) = e^(2^31 × 10^−12 − …)
  expect_pow("1.000000000001", "2147483648", "1.0021497911424813894238193312072794401636", 13);
}

// ---- trigonometric functions ---------------------------------------------------------

TEST(Trig, DegreeTable) {
  const char *half = "0.70710678118654752440084436210484903928483";
  const char *minus_half = "-0.70710678118654752440084436210484903928483";
  struct Row {
    const char *x, *sin, *cos, *tan;
  };
  const Row rows[] = {
      {"0", "0", "1", "0"},        {"45", half, half, "1"},           {"90", "1", "0", nullptr},
      {"135", half, minus_half, "-1"}, {"180", "0", "-1", "0"},       {"225", minus_half, minus_half, "1"},
      {"270", "-1", "0", nullptr}, {"360", "0", "1", "0"},            {"720", "0", "1", "0"},
      {"-360", "0", "1", "0"},     {"-90", "-1", "0", nullptr},       {"1e15", "-.984807753012208059366743024589523013670643", ".173648177666930348851716626769314796000375", "-5.6712818196177095309944184398639644216254"},
  };
  for (const Row &r : rows) {
    expect_value(dec_sin, "sin", r.x, r.sin);
    expect_value(dec_cos, "cos", r.x, r.cos);
    if (r.tan)
      expect_value(dec_tan, "tan", r.x, r.tan);
    else
      expect_marker(dec_tan, "tan", r.x, NUM_OVERFLOW);
  }
  // The exact angles give exact words.
  for (int digits : {12, 100}) {
    Setting setting(digits);
    Num x("90"), out;
    dec_sin(out, x);
    EXPECT_EQ(fntest::bare(out), "1");
    Num y("180");
    dec_cos(out, y);
    EXPECT_EQ(fntest::bare(out), "-1");
    dec_sin(out, y);
    EXPECT_EQ(out[0], 0u);
    EXPECT_TRUE(dec_is_zero(out));
  }
}

// Near a pole of tan the folded angle's sine falls below the zero threshold, and the
// quotient by that zero gives NUM_ERROR (the exact pole gives NUM_OVERFLOW).
TEST(Trig, TangentNextToAPole) {
  expect_marker(dec_tan, "tan", "89.9999999999999999", NUM_ERROR, 13);
  expect_marker(dec_tan, "tan", "-269.9999999999999999", NUM_ERROR, 13);
  expect_marker(dec_tan, "tan", "90", NUM_OVERFLOW, 13);
  expect_value(dec_tan, "tan", "89.999", "57295.779507264556703365576736929267142300");
}

TEST(Trig, DegreeSeriesValues) {
  const char *r3 = "0.86602540378443864676372317075293618347140";
  expect_value(dec_sin, "sin", "60", r3);
  expect_value(dec_cos, "cos", "30", r3);
  expect_value(dec_tan, "tan", "30", "0.57735026918962576450914878050195745564760");
  expect_value(dec_tan, "tan", "60", "1.7320508075688772935274463415058723669428");
  {
    Setting setting(100);
    Num sixty("60"), thirty("30"), a, b;
    dec_sin(a, sixty);
    dec_cos(b, thirty);
    EXPECT_TRUE(testutil::same_words(a, b)) << "sin 60 and cos 30 run the same series";
    dec_sin(a, thirty);
    EXPECT_EQ(fntest::shown(a), ".5");
    dec_cos(a, sixty);
    EXPECT_EQ(fntest::shown(a), ".5");
  }
}

TEST(Trig, RadianMode) {
  for (int digits : {12, 100, 1000}) {
    Setting setting(digits, 1);
    Num pi, out;
    dec_pi(pi);
    EXPECT_EQ(dec_sin(out, pi), 0);
    EXPECT_EQ(out[0], 0u);
    EXPECT_TRUE(dec_is_zero(out));
    EXPECT_EQ(dec_cos(out, pi), 0);
    EXPECT_EQ(fntest::bare(out), "-1");
    EXPECT_EQ(dec_tan(out, pi), 0);
    EXPECT_TRUE(dec_is_zero(out));
  }
  expect_shown(dec_sin, "sin", "3.14159265359", "0", 12, 1);  // about −2.07e−13: below the shown digits
  expect_value(dec_sin, "sin", "0.5", "0.47942553860420300027328793521557138808180", 1);
  expect_value(dec_cos, "cos", "2", "-0.41614683654714238699756822950076218976600", 1);
  expect_value(dec_tan, "tan", "1", "1.5574077246549022305069748074583601730873", 1);
}

TEST(Trig, ForcedTermCount) {
  // 45 degrees by the series rather than by the square root: the same digits shown.
  {
    Setting setting(40);
    term_override = 60;
    Num x("45"), out, direct, pi, t;
    dec_sin(out, x);
    EXPECT_EQ(fntest::shown(out), fntest::shown_text("0.70710678118654752440084436210484903928483"));
    dec_pi(pi);
    dec_mul(direct, x, pi);
    dec_div_small(t, direct, 180, 0);
    sin_series(direct, t, 60);
    EXPECT_TRUE(testutil::same_words(out, direct)) << "sin 45 with term_override is the series";
    dec_tan(out, x);
    EXPECT_EQ(fntest::shown(out), "1");
  }
  // Term counts whose divisors 2k(2k + 1) exceed a 32-bit int divide twice.
  for (int terms : {23170, 23171, 23200}) {
    Setting setting(12, 1);
    term_override = terms;
    Num x("0.5"), out;
    EXPECT_EQ(dec_sin(out, x), 0);
    EXPECT_EQ(fntest::shown(out), fntest::shown_text("0.479425538604203000273287935215571388081803"));
    EXPECT_EQ(dec_cos(out, x), 0);
    EXPECT_EQ(fntest::shown(out), fntest::shown_text("0.877582561890372716116281582603829651991645"));
  }
}

// ---- inverse trigonometric functions ---------------------------------------------------

TEST(InverseTrig, DegreeTable) {
  struct Row {
    const char *x, *asin, *acos, *atan;
  };
  const Row rows[] = {
      {"0", "0", "90", "0"},
      {"0.5", "30", "60", "26.565051177077989351572193720453294671204"},
      {"-0.5", "-30", "120", "-26.565051177077989351572193720453294671204"},
      {"1", "90", "0", "45"},
      {"-1", "-90", "180", "-45"},
  };
  for (const Row &r : rows) {
    expect_shown(dec_asin, "asin", r.x, r.asin);
    expect_shown(dec_acos, "acos", r.x, r.acos);
    if (fntest::significant_digits(r.atan) > 10)
      expect_value(dec_atan, "atan", r.x, r.atan);
    else
      expect_shown(dec_atan, "atan", r.x, r.atan);
  }
  expect_marker(dec_asin, "asin", "1.0000001", NUM_ERROR);
  expect_marker(dec_acos, "acos", "1.0000001", NUM_ERROR);
  expect_marker(dec_acos, "acos", "-1.0000001", NUM_ERROR);
  expect_value(dec_atan, "atan", "1.0000001", "45.000002864788832414672035782398305555620604");
  expect_value(dec_asin, "asin", "0.3", "17.457603123722092290246045792444941821664");
}

TEST(InverseTrig, RadianValues) {
  const char *half_pi = "1.5707963267948966192313216916397514420985";
  expect_value(dec_asin, "asin", "1", half_pi, 1);
  expect_value(dec_asin, "asin", "0.5", "0.52359877559829887307710723054658381403286", 1);
  expect_value(dec_asin, "asin", "-0.5", "-0.52359877559829887307710723054658381403286", 1);
  expect_value(dec_acos, "acos", "0.5", "1.0471975511965977461542144610931676280657", 1);  // π/3
  expect_value(dec_acos, "acos", "-0.5", "2.0943951023931954923084289221863352561314", 1);
  expect_value(dec_acos, "acos", "0", half_pi, 1);
  expect_value(dec_atan, "atan", "1", "0.78539816339744830961566084581987572104929", 1);
  expect_value(dec_asin, "asin", "0.9", "1.1197695149986341866866770558453996158951", 1);  // reflected
  expect_value(dec_asin, "asin", "0.3", "0.30469265401539750797200296122752916695456", 1);
  for (int digits : {12, 100}) {
    Setting setting(digits, 1);
    Num minus_one("-1"), out, pi;
    dec_acos(out, minus_one);
    dec_pi(pi);
    EXPECT_TRUE(testutil::same_words(out, pi)) << "acos −1 is the stored π";
  }
}

TEST(InverseTrig, ForcedTermCount) {
  Setting setting(40);
  term_override = 200;
  Num half("0.5"), one("1"), out, expected, pi, t;
  EXPECT_EQ(dec_acos(out, half), 0);
  EXPECT_EQ(fntest::bare(out), "60");  // at once, whatever the term count
  // asin 0.5 runs the series: asin_series (0.5) × 180 / π.
  EXPECT_EQ(dec_asin(out, half), 0);
  asin_series(t, half, 200);
  dec_mul_small(expected, t, 180, 0);
  dec_pi(pi);
  dec_div(expected, expected, pi);
  EXPECT_TRUE(testutil::same_words(out, expected)) << fntest::bare(out) << " vs " << fntest::bare(expected);
  EXPECT_EQ(fntest::shown(out), "30");
  // atan 1 takes the general path: asin √(1/2).
  EXPECT_EQ(dec_atan(out, one), 0);
  dec_set_head(t, 0);
  dec_zero(t);
  dec_from_int(t, 5, -1);
  dec_sqrt(t, t);
  dec_asin(expected, t);
  EXPECT_TRUE(testutil::same_words(out, expected)) << fntest::bare(out) << " vs " << fntest::bare(expected);
  EXPECT_EQ(fntest::shown(out), "45");
  // Beyond 23,170 terms the coefficients are applied one factor at a time.
  Setting small(12, 1);
  term_override = 23180;
  Num x("0.3");
  EXPECT_EQ(dec_asin(out, x), 0);
  EXPECT_EQ(fntest::shown(out), fntest::shown_text("0.304692654015397507972002961227529166954560"));
}

// ---- hyperbolic functions ------------------------------------------------------------

TEST(Hyperbolic, Values) {
  expect_value(dec_sinh, "sinh", "0.5", "0.52109530549374736162242562641149155910592");
  expect_value(dec_sinh, "sinh", "1", "1.1752011936438014568823818505956008151557");
  expect_value(dec_sinh, "sinh", "1.5", "2.1292794550948174968343874946776316488317");
  expect_value(dec_sinh, "sinh", "-1", "-1.1752011936438014568823818505956008151557");
  expect_shown(dec_cosh, "cosh", "0", "1");
  expect_value(dec_cosh, "cosh", "0.5", "1.1276259652063807852262251614026720125478");
  expect_value(dec_cosh, "cosh", "1", "1.5430806348152437784779056207570616826015");
  expect_value(dec_cosh, "cosh", "1.5", "2.3524096152432473257676679654416441701739");
  expect_value(dec_tanh, "tanh", "0.5", "0.46211715726000975850231848364367254873028");
  expect_value(dec_tanh, "tanh", "1", "0.76159415595576488811945828260479359041276");
  expect_value(dec_tanh, "tanh", "1.5", "0.90514825364486643824230369645649559722764");
  expect_value(dec_tanh, "tanh", "-1", "-0.76159415595576488811945828260479359041276");
  expect_value(dec_asinh, "asinh", "1", "0.88137358701954302523260932497979230902816");
  expect_value(dec_acosh, "acosh", "2", "1.3169578969248167086250463473079684440269");
  expect_value(dec_atanh, "atanh", "0.5", "0.54930614433405484569762261846126285232374");
  expect_shown(dec_acosh, "acosh", "1", "0");
  expect_shown(dec_sinh, "sinh", "0", "0");
  expect_shown(dec_tanh, "tanh", "0", "0");
  expect_shown(dec_asinh, "asinh", "0", "0");
  expect_shown(dec_atanh, "atanh", "0", "0");
}

TEST(Hyperbolic, Failures) {
  for (const char *x : {"0.5", "0", "-1"}) expect_marker(dec_acosh, "acosh", x, NUM_ERROR);
  for (const char *x : {"1", "-1", "2"}) expect_marker(dec_atanh, "atanh", x, NUM_ERROR);
  expect_marker(dec_tanh, "tanh", "3000000000", NUM_OVERFLOW);
  expect_marker(dec_sinh, "sinh", "-3000000000", NUM_OVERFLOW);
  expect_marker(dec_cosh, "cosh", "2400000000", NUM_OVERFLOW);
  // 1 vanishes against x² and the sum x + √(x² + 1) cancels to zero.
  expect_marker(dec_asinh, "asinh", "-1e20", NUM_ERROR, 12);
}

// ---- factorial -----------------------------------------------------------------------

TEST(Factorial, Values) {
  Setting setting(40);
  Num out;
  EXPECT_EQ(dec_factorial(out, 0), 0);
  EXPECT_EQ(fntest::bare(out), "1");
  EXPECT_EQ(dec_factorial(out, 1), 0);
  EXPECT_EQ(fntest::bare(out), "1");
  EXPECT_EQ(dec_factorial(out, 5), 0);
  EXPECT_EQ(fntest::bare(out), "120");
  EXPECT_EQ(dec_factorial(out, 30), 0);
  EXPECT_EQ(fntest::bare(out), "265252859812191058636308480000000");
  EXPECT_EQ(dec_factorial(out, 1000), 0);
  EXPECT_EQ(fntest::shown(out), fntest::shown_text("4.0238726007709377354370243392300398571937e2567"));
  EXPECT_EQ(dec_factorial(out, -3), -1);
  EXPECT_EQ(dec_head(out), NUM_ERROR);
  EXPECT_EQ(dec_factorial(nullptr, 3), -1);
}

// The status line's percentage follows the factorial's own loop, not the products inside
// it (the digit kernels, fast_kernels = 0, run long loops of their own).
TEST(Factorial, ProgressFollowsItsOwnLoop) {
  Setting setting(1000);
  Num out;
  fast_kernels = 0;
  cancel_reset();
  dec_factorial(out, 50);
  fast_kernels = 1;
  EXPECT_EQ(progress_len.load(), 49);
  EXPECT_EQ(progress_pos.load(), 48);
}

// ---- cancellation --------------------------------------------------------------------

TEST(Cancel, LongLoopsStop) {
  Setting setting(1000);
  Num x("0.3"), out;
  struct Case {
    const char *name;
    std::function<void()> run;
  };
  const Case cases[] = {
      {"factorial", [&] { dec_factorial(out, 100000000); }},
      {"asin series", [&] { asin_series(out, x, 1670); }},
      {"exp", [&] { dec_exp(out, x); }},
      {"sqrt", [&] { dec_sqrt(out, x); }},
      {"cbrt", [&] { dec_cbrt(out, x); }},
      {"ln", [&] { dec_ln(out, x); }},
  };
  for (const Case &c : cases) {
    cancel_reset();
    cancel_requested.store(true);
    bool cancelled = false;
    try {
      c.run();
    } catch (const CommandCancelled &) {
      cancelled = true;
    }
    EXPECT_TRUE(cancelled) << c.name;
  }
  cancel_reset();
  EXPECT_EQ(dec_factorial(out, 10), 0);
  EXPECT_EQ(fntest::bare(out), "3628800");
}

}  // namespace
