#!/usr/bin/env python3
"""The exact mode's functions that MPFR lacks, through `deepnums-cli --exact`, against mpmath
and Python's integers: Lambert W (both branches), binomial, gcd and a^b mod m, at 12, 30,
100 and 1,000 digits, random and hard operands.

Every result must be the true value of the function at the operands as the registers hold
them (the typed text truncated to the precision), truncated toward zero: mpmath computes at
40 more digits; binomial with an integer k, gcd and powmod are exact rationals or integers
in Python. Results that mpmath cannot place (on or next to a truncation boundary) are
written out.

usage: special_mpmath.py DEEPNUMS_CLI [SEED]; exit 77 when mpmath is not installed.
"""
import random
import subprocess
import sys
from decimal import Decimal, ROUND_DOWN, getcontext
from fractions import Fraction

try:
    import mpmath
except ImportError:
    print("mpmath is not installed: skipped")
    sys.exit(77)

sys.set_int_max_str_digits(0)
getcontext().prec = 5000
getcontext().Emax = 10 ** 12
getcontext().Emin = -10 ** 12


def internal_digits(p):
    g = 5 if p < 100 else 6 if p < 1000 else 7 if p < 10000 else 8 if p < 100000 else 9
    return 6 * ((p + g) // 6 + 1)


def held_text(text, d):
    """The typed number as a register of precision d holds it (D digits, truncated)."""
    d = internal_digits(d) - 1
    v = Decimal(text)
    if v == 0:
        return "0"
    q = Decimal(1).scaleb(v.adjusted() - d + 1)
    return str(v.quantize(q, rounding=ROUND_DOWN))


def held(text, d):
    return Fraction(Decimal(held_text(text, d)))


def truncated_text(text, d):
    """(digits, exponent) of the held number itself."""
    v = Decimal(held_text(text, d))
    sign, ds, e = v.as_tuple()
    return ("-" if sign else "") + "".join(map(str, ds)).rstrip("0"), v.adjusted()


def truncated(v, d):
    """(digits, exponent of the first digit) of v truncated to d digits, or '0'."""
    if v == 0:
        return "0"
    neg = v < 0
    a = abs(Fraction(v)) if not isinstance(v, mpmath.mpf) else abs(v)
    if isinstance(a, Fraction):
        ex = len(str(a.numerator // a.denominator)) - 1 if a >= 1 else -len(str(a.denominator // a.numerator))
        while Fraction(10) ** ex > a:
            ex -= 1
        while Fraction(10) ** (ex + 1) <= a:
            ex += 1
        m = int(a / Fraction(10) ** (ex - d + 1))
    else:
        ex = int(mpmath.floor(mpmath.log10(a)))
        m = int(mpmath.floor(a * mpmath.mpf(10) ** (d - 1 - ex)))
        if m >= 10 ** d:
            ex, m = ex + 1, m // 10
        if m < 10 ** (d - 1):
            ex -= 1
            m = int(mpmath.floor(a * mpmath.mpf(10) ** (d - 1 - ex)))
    return ("-" if neg else "") + str(m).rstrip("0"), ex


def shown(text):
    """deepnums' bare, plain output as (digits, exponent), '0' or the marker."""
    t = text.strip()
    if t in ("ERROR", "OVERFLOW", "0"):
        return t
    neg = t.startswith("-")
    t = t.lstrip("-")
    e = 0
    if "e" in t:
        t, es = t.split("e")
        e = int(es)
    ip, _, fp = t.partition(".")
    s = str(int(ip + fp))
    return ("-" if neg else "") + s.rstrip("0"), len(s) - 1 + e - len(fp)


def run(cli, d, tokens):
    r = subprocess.run([cli, "--exact", "--bare", "--plain", "-d", str(d), "--"] + tokens,
                       capture_output=True, text=True, timeout=300)
    return shown(r.stdout)


def lambert(x, k):
    if x < -1 / mpmath.e or (k == -1 and x >= 0):
        return "ERROR"
    return mpmath.lambertw(x, k).real


def just_inside(text, d):
    """The D-digit number next to the held x, toward zero."""
    v = Decimal(held_text(text, d))
    D = internal_digits(d) - 1
    sign, ds, e = v.as_tuple()
    m = int("".join(map(str, ds))) * 10 ** (D - len(ds)) - 1
    lead = v.adjusted()
    if len(str(m)) < D:
        m, lead = m * 10 + 9, lead - 1
    return ("-" if sign else "") + str(m).rstrip("0"), lead


def binomial(n, k):
    if k < 0:
        return Fraction(0)
    r = Fraction(1)
    for j in range(k):
        r = r * (n - j) / (j + 1)
    return r


def random_text(rng, digits, emin, emax, negative=True):
    s = "-" if negative and rng.random() < 0.5 else ""
    s += str(rng.randint(1, 9)) + "." + "".join(rng.choice("0123456789") for _ in range(digits - 1))
    return s + "e" + str(rng.randint(emin, emax))


def cases(rng, d):
    D = internal_digits(d) - 1
    for _ in range(6 if d <= 100 else 2):
        for n in (3, D):
            yield "lambertw", [random_text(rng, n, -3, 4)]
            yield "lambertwm1", [random_text(rng, n, -4, -1)]
            yield "binomial", [random_text(rng, n, -2, 2), str(rng.randint(-2, 40))]
        yield "binomial", [str(rng.randint(-60, 300)), str(rng.randint(0, 120))]
        a, b = rng.randint(1, 10 ** min(D, 40)), rng.randint(1, 10 ** min(D, 40))
        g = rng.randint(1, 10 ** 6)
        yield "gcd", [str(a * g), str(-b * g)]
        yield "powmod", [str(rng.randint(-10 ** 15, 10 ** 15)), str(rng.randint(0, 10 ** 30)),
                         str(rng.randint(2, 10 ** min(D - 1, 30)))]
    near = "-0.36787944117144232159552377016146086744581113103176783450783680169746149574489980335714727434591964374662732527"
    for x in ("-0.36787944117", "-0.3678794411714423215955237", near, "1e-30", "-1e-30", "2.718281828459045",
              "5.7e-499534862", "-5.7e-499534862",
              "1e300", "1e999999999", "0", "-0.5"):
        yield "lambertw", [x]
    for x in ("-0.36787944117", "-0.3678794411714423215955237", near, "-1e-30", "-1e-999999999", "-0.25", "0", "0.1"):
        yield "lambertwm1", [x]
    for n, k in (("0.5", "30"), ("-0.5", "7"), ("1e20", "3"), ("10000", "5000"), ("-7", "3"),
                 ("2.5", "2"), ("5", "2.5"), ("98.7", "11"), ("-3", "1e20"), ("1.91e-91792", "49"),
                 ("-4.5e-4204", "726000")):
        yield "binomial", [n, k]
    if d <= 100:  # by Γ; mpmath takes seconds for these at 1,000 digits
        yield "binomial", ["0.5", "1000000"]
        yield "binomial", ["7.2", "7.87e10"]
    yield "gcd", ["1e999999999", "6"]
    yield "gcd", ["0", "0"]
    yield "gcd", ["1.5", "3"]
    yield "powmod", ["3", "-1", "7"]
    yield "powmod", ["2", "-1", "4"]
    yield "powmod", ["2", "1e6", "1000000007"]
    yield "powmod", ["2", "10", "0"]


# Cases that neither mpmath nor Python's integers reach: gcd(10^999999999, 6) = 2; and where
# x² is below x's last digit (10^−30 with D < 29 digits), W₀(x) = x − x² + … lies just inside
# a tiny x > 0 (one unit below x's truncation) and just beyond a tiny x < 0 (truncated to x).
WRITTEN = {
    ("gcd", "1e999999999", "6"): ("2", 0),
}


def expected(name, args, d):
    if (name, *args) == ("lambertw", "1e-30") and internal_digits(d) - 1 < 29:
        return "9" * (internal_digits(d) - 1), -31
    if (name, *args) == ("lambertw", "-1e-30") and internal_digits(d) - 1 < 29:
        return "-1", -30
    D = internal_digits(d) - 1
    if (name, *args) in WRITTEN:
        return WRITTEN[(name, *args)]
    if name in ("lambertw", "lambertwm1"):
        mpmath.mp.dps = 2 * D + 60  # near −1/e, W + 1 ≈ √(2 (1 + e x)) takes half the digits
        if name == "lambertw" and args[0] != "0" and Decimal(args[0]).adjusted() < -(D + 3):
            # W₀(x) = x − x² + …: just inside x for x > 0, x itself for x < 0.
            return just_inside(args[0], d) if args[0][0] != "-" else truncated_text(args[0], d)
        x = mpmath.mpf(held_text(args[0], d))
        if x == 0:
            return "0" if name == "lambertw" else "ERROR"
        v = lambert(x, 0 if name == "lambertw" else -1)
        return v if v == "ERROR" else truncated(v, D)
    if name == "binomial":
        if Decimal(args[0]).adjusted() < -(D + 8):
            # A tiny n: (−1)^(k−1) (n / k) (1 + O(n ln k)), the correction far below the digits.
            n, k = held(args[0], d), int(held(args[1], d))
            return truncated(n / k * (1 if k % 2 else -1), D)
        if Decimal(args[1]) > 10 ** 5:
            # A large k: mpmath's binomial (by Γ), at twice the digits.
            mpmath.mp.dps = 2 * D + 60
            v = mpmath.binomial(mpmath.mpf(held_text(args[0], d)), mpmath.mpf(held_text(args[1], d)))
            return truncated(v, D)
        n, k = held(args[0], d), held(args[1], d)
        if k.denominator != 1:
            return "ERROR"
        v = binomial(n, int(k))
        return truncated(v, D) if v != 0 else "0"
    ints = [held(a, d) for a in args]
    if any(v.denominator != 1 for v in ints):
        return "ERROR"
    ints = [int(v) for v in ints]
    if name == "gcd":
        import math
        v = math.gcd(*ints)
        return truncated(Fraction(v), D) if v else "0"
    a, b, m = ints
    if m == 0:
        return "ERROR"
    try:
        v = pow(a, b, abs(m))
    except ValueError:
        return "ERROR"
    return truncated(Fraction(v), D) if v else "0"


def main():
    cli = sys.argv[1]
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 26)
    failures = total = 0
    for d in (12, 30, 100, 1000):
        for name, args in cases(rng, d):
            total += 1
            got = run(cli, d, args + [name])
            want = expected(name, args, d)
            if got != want:
                failures += 1
                print(f"{name}({', '.join(args)}) at {d} digits:\n  got  {got}\n  want {want}")
    print(f"{total} cases, {failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
