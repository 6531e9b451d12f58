#!/usr/bin/env python3
"""Infix expressions against Python's decimal and mpmath.

    expression_oracle.py DEEPNUMS_CLI [COUNT [DIGITS...]]

Writes COUNT random expressions (a fixed seed) as "=" lines to deepnums-cli in the filter
mode with "Exact digits" and radians, at each of DIGITS significant digits (default 2000
at 30 and 12), and compares every printed R0 with a model of the exact mode: every
operation gives the true value of its operands as held, truncated after the digits
carried (D = internal digits - 1), and the display rounds half up to the significant
digits. The model computes + - * / % and the digit operations with decimal (exactly, then
truncated) and the functions with mpmath at D + 55 and 2 D + 110 digits, which must agree
(then truncated), so the comparison is digit for digit; ERROR is expected where an operand
is outside the domain. A value whose truncation the model cannot decide (the digits after
the held ones all 0 or all 9, the two mpmath runs apart) or that leaves the range it
follows is not compared, nor is anything that uses it.

The expressions use every operator with the precedence and associativity the parser must
give them (printed with as few parentheses as the grammar needs, some extra ones and blanks
at random), functions under their various names, pi, e, and the variables ans and R0..R4,
whose values the model keeps as the stack: each result lifted once, the operands never
on the stack. Prints each disagreement (at most 20) and a summary; exit 1 on any.
"""
import decimal
import math
import random
import subprocess
import sys

import mpmath

D = decimal.Decimal
# Every operation names its context; the default one (28 digits, half even) must round
# nothing, should one be missed.
decimal.setcontext(decimal.Context(prec=10**6, traps=[decimal.InvalidOperation]))
SEED = 20240524


class Unknown(Exception):
    """A value the model does not decide (beyond the range it checks)."""


ERROR = "ERROR"


def internal_digits(d):
    e = 5 if d < 100 else 6 if d < 1000 else 7 if d < 10000 else 8
    return 6 * ((d + e) // 6 + 1)


class Model:
    def __init__(self, digits):
        self.digits = digits
        self.held = internal_digits(digits) - 1
        # mpmath works 55 digits past the held ones; its results are read to 50 of them.
        mpmath.mp.dps = self.held + 55
        self.trunc_ctx = decimal.Context(prec=self.held, rounding=decimal.ROUND_DOWN,
                                         Emax=10**9, Emin=-10**9)
        self.exact_ctx = decimal.Context(prec=10**6, rounding=decimal.ROUND_DOWN,
                                         Emax=10**9, Emin=-10**9)
        self.pi = self.truncate(mpmath.pi)
        self.e = self.truncate(mpmath.e)

    def truncate(self, v):
        """A Decimal or mpf, truncated toward zero to the digits held."""
        if isinstance(v, mpmath.mpc):
            raise ValueError("complex")
        if not isinstance(v, D):
            if mpmath.isinf(v) or mpmath.isnan(v):
                raise Unknown()
            v = D(mpmath.nstr(v, self.held + 50, strip_zeros=False, min_fixed=1, max_fixed=0))
            # Digits past the held ones that are all 0 or all 9 leave the truncation to
            # digits mpmath did not compute (tanh 820 is 1 - 10^-712): not decided here.
            rest = v.as_tuple().digits[self.held:]
            if v != 0 and (set(rest) <= {0} or set(rest) <= {9}):
                raise Unknown()
        r = self.trunc_ctx.plus(v)
        if r != 0 and not (-200 < r.adjusted() < 200):
            raise Unknown()
        return r

    def shown(self, v):
        return decimal.Context(prec=self.digits, rounding=decimal.ROUND_HALF_UP).plus(v)

    # ---- operations: held values in, held value out; ValueError for ERROR ----
    def exact(self, f, *args):
        return self.truncate(f(self.exact_ctx, *args))

    def div(self, x, y):
        if y == 0:
            raise ValueError()
        # The quotient to more digits than held, then truncated: a truncated quotient.
        c = decimal.Context(prec=self.held + 10, rounding=decimal.ROUND_DOWN)
        return self.truncate(c.divide(x, y))

    def mod(self, x, y):
        if y == 0:
            raise ValueError()
        if x != 0 and x.adjusted() - y.adjusted() > 200:
            raise Unknown()
        return self.exact(lambda c, a, b: c.remainder(a, b), x, y)

    def mp(self, f, *args):
        """f of the held values with mpmath, truncated: at two working precisions, which
        must agree past the held digits (mpmath's guard digits do not always cover a
        cancellation, as asin next to 1 has)."""
        results = []
        for dps in (self.held + 55, 2 * self.held + 110):
            with mpmath.workdps(dps):
                v = f(*[mpmath.mpf(str(a)) for a in args])
                if isinstance(v, mpmath.mpc):
                    raise ValueError("complex")
                results.append(v)
        with mpmath.workdps(self.held + 20):
            if mpmath.nstr(results[0], self.held + 20) != mpmath.nstr(results[1], self.held + 20):
                raise Unknown()
        with mpmath.workdps(2 * self.held + 110):
            return self.truncate(results[1])

    def fn(self, name, x):
        if name == "sqrt":
            if x < 0:
                raise ValueError()
            return self.mp(mpmath.sqrt, x)
        if name == "cbrt":
            return self.mp(lambda m: mpmath.sign(m) * mpmath.cbrt(abs(m)), x)
        if name in ("ln", "log10"):
            if x <= 0:
                raise ValueError()
            return self.mp(mpmath.ln if name == "ln" else mpmath.log10, x)
        if name in ("asin", "acos"):
            if x.copy_abs() > 1:
                raise ValueError()
        if name == "acosh" and x < 1:
            raise ValueError()
        if name == "atanh" and x.copy_abs() >= 1:
            raise ValueError()
        if name in ("exp", "sinh", "cosh") and x.copy_abs() > 400:
            raise Unknown()
        if name == "exp10" and x.copy_abs() > 150:
            raise Unknown()
        if name in ("sin", "cos", "tan") and x.copy_abs() > 1000000:
            raise Unknown()
        f = {"exp": mpmath.exp, "exp10": lambda v: mpmath.power(10, v), "sin": mpmath.sin,
             "cos": mpmath.cos, "tan": mpmath.tan, "asin": mpmath.asin, "acos": mpmath.acos,
             "atan": mpmath.atan, "sinh": mpmath.sinh, "cosh": mpmath.cosh, "tanh": mpmath.tanh,
             "asinh": mpmath.asinh, "acosh": mpmath.acosh, "atanh": mpmath.atanh}[name]
        return self.mp(f, x)

    def power(self, x, y):
        if y == 0:
            return D(1)
        if x == 0:
            if y < 0:
                raise ValueError()
            return D(0)
        integer = y == y.to_integral_value()
        if x < 0 and not integer:
            raise ValueError()
        if y.copy_abs() * max(abs(x.adjusted()), 1) > 150:
            raise Unknown()
        if integer and y.copy_abs() < 200:
            v = self.exact_ctx.power(x, int(y)) if y > 0 else None
            if v is not None:
                return self.truncate(v)
        return self.mp(mpmath.power, x, y)

    def factorial(self, x):
        n = int(x.to_integral_value(rounding=decimal.ROUND_DOWN))
        if x <= -1:
            raise ValueError()
        if n > 120:
            raise Unknown()
        return self.truncate(D(math.factorial(max(n, 0))))

    def round_off(self, x, y):
        n = int(y.to_integral_value(rounding=decimal.ROUND_DOWN))
        if n > 40 or n < -40:
            raise Unknown()
        q = x.quantize(D(1).scaleb(-n), rounding=decimal.ROUND_HALF_UP, context=self.exact_ctx)
        return self.truncate(q)


# ---- expressions: trees, printed with the grammar's precedence -------------------------
# (kind, ...): ("num", text) ("var", name, register) ("const", name) ("neg", a) ("fact", a)
# ("bin", op, a, b) ("fn", model name, written name, args...)
PREC = {"num": 6, "var": 6, "const": 6, "fn": 6, "fact": 5, "^": 4, "neg": 3,
        "*": 2, "/": 2, "%": 2, "+": 1, "-": 1}

FUNCTIONS = {  # model name: names the parser accepts
    "sqrt": ["sqrt", "SQRT", "root"], "cbrt": ["cbrt", "root3"], "exp": ["exp"],
    "exp10": ["exp10", "pow10"], "ln": ["ln", "loge"], "log10": ["log10", "lg"],
    "sin": ["sin"], "cos": ["cos"], "tan": ["tan"], "asin": ["asin"], "acos": ["acos"],
    "atan": ["atan"], "sinh": ["sinh"], "cosh": ["cosh"], "tanh": ["tanh"],
    "asinh": ["asinh"], "acosh": ["acosh"], "atanh": ["atanh"], "abs": ["abs"],
    "int": ["int", "IP", "trunc"], "frac": ["frac", "fp"], "sq": ["sq", "square"],
    "cube": ["cube"], "inv": ["inv", "recip"], "ep": ["ep", "exponent"],
}
BINARY_FUNCTIONS = {"pow": ["pow", "power"], "mod": ["mod", "rem"], "round": ["round"],
                    "add": ["add"], "sub": ["sub"], "mul": ["mul"], "div": ["div"]}


def prec(t):
    return PREC[t[1]] if t[0] == "bin" else PREC[t[0]]


def literal(rng):
    kind = rng.random()
    if kind < 0.4:
        return str(rng.randint(0, 99))
    if kind < 0.7:
        return f"{rng.randint(0, 999)}.{rng.randint(0, 9999):04d}".rstrip("0").rstrip(".") or "0"
    if kind < 0.85:
        return "." + str(rng.randint(1, 999))
    return f"{rng.randint(1, 99)}e{rng.randint(-3, 3)}"


def tree(rng, depth):
    if depth == 0 or rng.random() < 0.2:
        r = rng.random()
        if r < 0.8:
            return ("num", literal(rng))
        if r < 0.9:
            return ("const", rng.choice(["pi", "e", "PI"]))
        n = rng.randint(0, 4)
        return ("var", rng.choice(["ans", "R0"] if n == 0 else [f"R{n}", f"r{n}"]), n)
    r = rng.random()
    sub = lambda: tree(rng, depth - 1)
    if r < 0.45:
        return ("bin", rng.choice("+-*/%^+-*/"), sub(), sub())
    if r < 0.55:
        return ("neg", sub())
    if r < 0.6:
        return ("fact", ("num", str(rng.randint(0, 20))) if rng.random() < 0.7 else sub())
    if r < 0.9:
        name = rng.choice(sorted(FUNCTIONS))
        return ("fn", name, rng.choice(FUNCTIONS[name]), sub())
    name = rng.choice(sorted(BINARY_FUNCTIONS))
    b = ("num", str(rng.randint(-3, 6))) if name == "round" else sub()
    return ("fn", name, rng.choice(BINARY_FUNCTIONS[name]), sub(), b)


def text(t, rng):
    """t written with the parentheses the grammar needs, and a few more."""
    def wrap(s, needed):
        if needed or rng.random() < 0.08:
            return "(" + s + ")"
        return s

    def sp():
        return " " if rng.random() < 0.3 else ""

    k = t[0]
    if k == "num":
        return t[1]
    if k in ("var", "const"):
        return t[1]
    if k == "neg":
        return "-" + wrap(text(t[1], rng), prec(t[1]) < 3)
    if k == "fact":
        return wrap(text(t[1], rng), prec(t[1]) < 5) + "!"
    if k == "fn":
        return t[2] + "(" + ", ".join(text(a, rng) for a in t[3:]) + ")"
    op, a, b = t[1], t[2], t[3]
    if op == "^":
        left = wrap(text(a, rng), prec(a) < 5)
        right = wrap(text(b, rng), prec(b) < 3)
    else:
        level = PREC[op]
        left = wrap(text(a, rng), prec(a) < level)
        right = wrap(text(b, rng), prec(b) <= level)
    return left + sp() + op + sp() + right


def value(t, model, stack):
    """The held value of t, ERROR, or Unknown raised."""
    k = t[0]
    try:
        if k == "num":
            return model.truncate(D(t[1]))
        if k == "const":
            return model.pi if t[1].lower() == "pi" else model.e
        if k == "var":
            v = stack[t[2]]
            if v is None:
                raise Unknown()
            return v
        args = [value(a, model, stack) for a in (t[1:] if k in ("neg", "fact") else
                                                  t[3:] if k == "fn" else t[2:])]
        if ERROR in args:
            return ERROR
        if k == "neg":
            return args[0].copy_negate()
        if k == "fact":
            return model.factorial(args[0])
        if k == "bin":
            return binary(t[1], args[0], args[1], model)
        name = t[1]
        if name in ("pow", "mod", "round", "add", "sub", "mul", "div"):
            op = {"pow": "^", "mod": "%", "add": "+", "sub": "-", "mul": "*", "div": "/"}.get(name)
            return model.round_off(*args) if name == "round" else binary(op, *args, model)
        x = args[0]
        if name == "abs":
            return x.copy_abs()
        if name == "int":
            return x.to_integral_value(rounding=decimal.ROUND_DOWN)
        if name == "frac":
            return model.exact(lambda c, a: c.subtract(a, a.to_integral_value(rounding=decimal.ROUND_DOWN)), x)
        if name == "sq":
            return model.exact(lambda c, a: c.multiply(a, a), x)
        if name == "cube":
            return model.truncate(model.exact_ctx.multiply(model.exact_ctx.multiply(x, x), x))
        if name == "inv":
            return model.div(D(1), x)
        if name == "ep":
            return D(0) if x == 0 else D(x.adjusted())
        return model.fn(name, x)
    except ValueError:
        return ERROR


def binary(op, x, y, model):
    if op == "+":
        return model.exact(lambda c, a, b: c.add(a, b), x, y)
    if op == "-":
        return model.exact(lambda c, a, b: c.subtract(a, b), x, y)
    if op == "*":
        return model.exact(lambda c, a, b: c.multiply(a, b), x, y)
    if op == "/":
        return model.div(x, y)
    if op == "%":
        return model.mod(x, y)
    return model.power(x, y)


def printed(v):
    """deepnums-cli's --plain output as a Decimal, or the marker."""
    v = v.strip()
    if v in ("ERROR", "OVERFLOW"):
        return v
    return D(v)


def run(cli, count, digits, rng):
    model = Model(digits)
    lines, expected = [], []
    stack = [D(0)] * 5  # R0..R4 as held; None: not decided by the model
    for _ in range(count):
        t = tree(rng, rng.randint(1, 4))
        try:
            v = value(t, model, stack)
        except Unknown:
            v = None
        lines.append("=" + text(t, rng))
        expected.append(v)
        stack = [v] + stack[:4]
    proc = subprocess.run([cli, "--exact", "--radian", "--plain", "-d", str(digits)],
                          input="\n".join(lines) + "\n", capture_output=True, text=True,
                          timeout=600)
    out = proc.stdout.split("\n")[:-1]
    problems = []
    if len(out) != len(lines):
        problems.append(f"{len(out)} values printed for {len(lines)} lines; stderr "
                        f"{proc.stderr[-300:]!r}")
        return problems, 0
    checked = 0
    for line, want, got in zip(lines, expected, out):
        if want is None:
            continue
        checked += 1
        want_shown = want if want == ERROR else model.shown(want)
        try:
            got_value = printed(got)
        except decimal.InvalidOperation:
            got_value = got
        if got_value != want_shown:
            problems.append(f"-d {digits} {line}: printed {got!r}, want {want_shown}")
    return problems, checked


def main():
    cli = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    precisions = [int(a) for a in sys.argv[3:]] or [30, 12]
    rng = random.Random(SEED)
    problems, checked = [], 0
    for digits in precisions:
        p, c = run(cli, count, digits, rng)
        problems += p
        checked += c
    for p in problems[:20]:
        print("FAIL", p)
    print(f"seed {SEED}: {checked} of {count * len(precisions)} expressions checked against "
          f"decimal and mpmath; {len(problems)} disagreements")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
