#!/usr/bin/env python3
"""`compare` against Python's decimal on the texts, 12 to 100,000 digits.

    compare_oracle.py DEEPNUMS_CLI [CASES] [SEED]

Random pairs of register files that differ at a chosen digit (or in sign, in exponent,
in length only, in a digit past the shown ones, or not at all) are read with Rn=@FILE and
compared; the report and the exit status must be what decimal says of the same texts:
each read as the registers read a text (truncated to the digits held), rounded half up to
the significant digits, then compared digit by digit. Then the round trip of the stored
π: `--plain pi` into a file, read back and compared at 100,000 digits.
Prints the seed and every disagreement; exit 1 when there is one.
"""
import decimal
import os
import random
import subprocess
import sys
import tempfile

DIGIT_COUNTS = [12, 13, 17, 20, 99, 100, 999, 1000, 4321, 10007, 65536, 99999, 100000]


def held_digits(d):
    """The digits a register holds at d significant digits (internal digits - 1)."""
    e = 5 if d < 100 else 6 if d < 1000 else 7 if d < 10000 else 8 if d < 100000 else 9
    return 6 * ((d + e) // 6 + 1) - 1


def shown(text, d):
    """(sign, exponent of digit 1, d digits, the digits held) of a text, or None for 0."""
    decimal.getcontext().prec = 200000
    v = decimal.Decimal(text.replace(" ", ""))
    if v == 0:
        return None
    sign, digits, exp = v.as_tuple()
    held = "".join(map(str, digits)).lstrip("0")
    lead = v.adjusted()
    held = held[:held_digits(d)]  # the reader truncates
    held_value = decimal.Decimal((sign, tuple(map(int, held)), lead - len(held) + 1))
    ctx = decimal.Context(prec=d, rounding=decimal.ROUND_HALF_UP)
    r = ctx.plus(held_value)
    _, rd, _ = r.as_tuple()
    rd = "".join(map(str, rd)).ljust(d, "0")
    return sign, r.adjusted(), rd, held_value


def expected(a, b, d):
    """The report for R0 = a and R1 = b, and the exit status."""
    x, y = shown(a, d), shown(b, d)
    if x is None or y is None:
        if x is None and y is None:
            return "R0 and R1 are equal", 0
        return "R0 and R1 differ: R%d is 0" % (0 if x is None else 1), 1
    if x[0] != y[0]:
        return "R0 and R1 differ in sign", 1
    if x[1] != y[1]:
        return "R0 and R1 differ in exponent (e%d / e%d)" % (x[1], y[1]), 1
    for k in range(d):
        if x[2][k] != y[2][k]:
            agree = "{:,}".format(k)
            return ("R0 and R1 agree to %s digit%s; first difference at digit %s (%s / %s)"
                    % (agree, "" if k == 1 else "s", "{:,}".format(k + 1), x[2][k], y[2][k])), 1
    if x[3] == y[3]:
        return "R0 and R1 are equal", 0
    return "R0 and R1 are equal (to the %s digits shown)" % "{:,}".format(d), 0


def as_text(sign, digits, exp, rng):
    """A register text for the value 0.DIGITS x 10^exp in one of the forms a user has."""
    form = rng.randrange(3)
    s = "-" if sign else ""
    if form == 0:  # scientific, d.ddd e N
        return "%s%s.%s e%d" % (s, digits[0], digits[1:], exp - 1)
    if form == 1 and -30 < exp < 30:  # plain, with the point where it belongs
        if exp <= 0:
            return "%s.%s%s" % (s, "0" * -exp, digits)
        body = digits.ljust(exp, "0")
        return "%s%s.%s" % (s, body[:exp], body[exp:])
    # grouped in twenties, as the display groups
    g = " ".join(digits[i:i + 20] for i in range(0, len(digits), 20))
    return "%s.%se%d" % (s, g, exp)


def make_case(rng, d):
    sign = rng.random() < 0.3
    exp = rng.choice([rng.randint(-40, 40), rng.randint(-10**6, 10**6)])
    length = rng.choice([d, d, rng.randint(1, d), d + rng.randint(1, 3)])
    digits = str(rng.randint(1, 9)) + "".join(rng.choice("0123456789") for _ in range(length - 1))
    kind = rng.choice(["digit", "digit", "digit", "equal", "longer", "sign", "exponent", "guard", "zero"])
    other_sign, other_exp, other = sign, exp, digits
    if kind == "digit":
        k = rng.choice([1, 2, min(d, length), rng.randint(1, min(d, length))])
        new = rng.choice([c for c in "0123456789" if c != digits[k - 1] and (k > 1 or c != "0")])
        other = digits[:k - 1] + new + digits[k:]
    elif kind == "longer":
        other = digits + "0" * rng.randint(1, 5)
    elif kind == "sign":
        other_sign = not sign
    elif kind == "exponent":
        other_exp = exp + rng.choice([-1, 1, 12])
    elif kind == "guard":
        other = digits.ljust(d, "0") + str(rng.randint(1, 9))  # past the shown digits
    a = as_text(sign, digits, exp, rng)
    b = "0" if kind == "zero" else as_text(other_sign, other, other_exp, rng)
    if rng.random() < 0.5:
        a, b = b, a
    return a, b


def run(cli, args, cwd):
    return subprocess.run([cli] + args, capture_output=True, text=True, cwd=cwd, timeout=120)


def main():
    cli = os.path.abspath(sys.argv[1])
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 160
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 25
    rng = random.Random(seed)
    print("seed", seed)
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        for i in range(cases):
            d = DIGIT_COUNTS[i % len(DIGIT_COUNTS)] if i < 2 * len(DIGIT_COUNTS) else rng.randint(12, 100000)
            a, b = make_case(rng, d)
            for name, text in (("a.txt", a), ("b.txt", b)):
                with open(os.path.join(tmp, name), "w") as f:
                    f.write("# case %d\n%s\n" % (i, text))
            want, status = expected(a, b, d)
            r = run(cli, ["-d", str(d), "R0=@a.txt", "R1=@b.txt", "compare"], tmp)
            got = r.stdout.strip()
            if got != want or r.returncode != status:
                problems.append("case %d at %d digits: got %r (exit %d), want %r (exit %d)\n  a=%s\n  b=%s"
                                % (i, d, got, r.returncode, want, status, a[:80], b[:80]))
        # The stored digits of pi, written and read back.
        with open(os.path.join(tmp, "pi.txt"), "w") as f:
            f.write(run(cli, ["-d", "100000", "--plain", "pi"], tmp).stdout)
        r = run(cli, ["-d", "100000", "--exact", "R0=@pi.txt", "pi", "compare"], tmp)
        if r.stdout.strip() != "R0 and R1 are equal (to the 100,000 digits shown)" or r.returncode != 0:
            problems.append("pi round trip: %r (exit %d)" % (r.stdout.strip(), r.returncode))
    for p in problems:
        print(p)
    print("%d cases; %d disagreements" % (cases + 1, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
