#!/usr/bin/env python3
"""Times deepnums-cli (the default mode and --exact) against MPFR, Python's decimal, mpmath
and bc -l on the same operations at 1,000, 10,000 and 100,000 digits, in one run, and
writes the table with the ratios (peer time / deepnums-cli --exact time) into
bench/RESULTS.md between its peer-table markers.

    python3 bench/peers/run_peers.py [--limit SECONDS] [--digits 1000,10000,100000]
                                     [--peers mpfr,decimal,mpmath,bc] [--build DIR]

Needs a Release build in build/ (deepnums-cli), gcc with libmpfr-dev, bc, and python3 with
mpmath. Each measurement has a time limit (default 60 s); a measurement that exceeds it
is shown as "> limit". deepnums-cli and bc are timed as whole processes (their start-up is
a few milliseconds); MPFR, decimal and mpmath in-process.
"""
import argparse
import os
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
CLI = MPFR = None  # set from --build
RESULTS = os.path.join(ROOT, "bench", "RESULTS.md")
BEGIN, END = "<!-- peers begin -->", "<!-- peers end -->"

OPS = ["pi", "e", "sqrt2", "inv7", "mul", "exp", "ln", "sin", "atan", "pow", "fact10000"]
LABELS = {"pi": "π", "e": "e", "sqrt2": "√2", "inv7": "1/7", "mul": "√2 × √3 (full product)",
          "exp": "exp(√2)", "ln": "ln(√2)", "sin": "sin(√2) (radians)", "atan": "atan(√2)",
          "pow": "√2 ^ √3", "fact10000": "10000!"}


def timed_process(cmd, limit, stdin=None):
    # A timer kills the process at the limit: subprocess's own time-out polls with growing
    # sleeps, which would round every time up to the next poll (3.6, 7.7, 15.8 ms, ...).
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdin=subprocess.PIPE if stdin is not None else subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, text=True)
    killed = []
    timer = threading.Timer(limit, lambda: (killed.append(1), proc.kill()))
    timer.start()
    proc.communicate(stdin)
    elapsed = time.perf_counter() - start
    timer.cancel()
    if killed:
        return None
    if proc.returncode != 0:
        raise subprocess.CalledProcessError(proc.returncode, cmd)
    return elapsed


def full_length_texts(digits):
    import mpmath
    mpmath.mp.dps = digits + 20
    return (mpmath.nstr(mpmath.sqrt(2), digits + 10, strip_zeros=False),
            mpmath.nstr(mpmath.sqrt(3), digits + 10, strip_zeros=False))


def deepnums(op, digits, limit, s2, s3, exact=False):
    base = [CLI, "-d", str(digits), "--plain", "--radian"] + (["--exact"] if exact else [])
    tokens = {
        "pi": ["pi"], "e": ["e"], "sqrt2": ["2", "sqrt"], "inv7": ["1", "7", "/"],
        "mul": ["R1=" + s2, "R0=" + s3, "*"], "exp": ["R0=" + s2, "exp"],
        "ln": ["R0=" + s2, "ln"], "sin": ["R0=" + s2, "sin"], "atan": ["R0=" + s2, "atan"],
        "pow": ["R1=" + s2, "R0=" + s3, "x^y"], "fact10000": ["10000", "!"],
    }[op]
    return timed_process(base + tokens, limit)


def mpfr(op, digits, limit):
    try:
        out = subprocess.run([MPFR, op, str(digits)], capture_output=True, text=True,
                             timeout=limit, check=True).stdout
    except subprocess.TimeoutExpired:
        return None
    return float(out)


PY_DECIMAL = r'''
import decimal, sys, time
op, digits = sys.argv[1], int(sys.argv[2])
D = decimal.Decimal
c = decimal.getcontext(); c.prec = digits + 10; c.Emax = decimal.MAX_EMAX; c.Emin = decimal.MIN_EMIN
s2, s3 = D(2).sqrt(), D(3).sqrt()
def pi():
    # Gauss–Legendre with the context's arithmetic
    a, b, t, p = D(1), D(1) / D(2).sqrt(), D(1) / 4, D(1)
    for _ in range(digits.bit_length() + 2):
        an = (a + b) / 2; b = (a * b).sqrt(); t -= p * (a - an) ** 2; a = an; p *= 2
    return (a + b) ** 2 / (4 * t)
def sin(x):
    c.prec += 5; x2, term, s, k = x * x, x, x, 1
    while True:
        term = -term * x2 / ((2 * k) * (2 * k + 1)); k += 1
        if s + term == s: break
        s += term
    c.prec -= 5; return +s
def atan(x):
    # atan x = 2 atan(x / (1 + sqrt(1 + x^2))), then the series
    c.prec += 10; y = x
    for _ in range(8): y = y / (1 + (1 + y * y).sqrt())
    y2, term, s, k = y * y, y, y, 1
    while True:
        term = -term * y2; t = term / (2 * k + 1); k += 1
        if s + t == s: break
        s += t
    c.prec -= 10; return +(s * 256)
ops = {"pi": pi, "e": lambda: D(1).exp(), "sqrt2": lambda: D(2).sqrt(),
       "inv7": lambda: D(1) / 7, "mul": lambda: s2 * s3, "exp": lambda: s2.exp(),
       "ln": lambda: s2.ln(), "sin": lambda: sin(s2), "atan": lambda: atan(s2),
       "pow": lambda: s2 ** s3, "fact10000": lambda: +D(__import__("math").factorial(10000))}
t0 = time.perf_counter(); r = ops[op](); str(r); print(time.perf_counter() - t0)
'''

PY_MPMATH = r'''
import mpmath, sys, time
op, digits = sys.argv[1], int(sys.argv[2])
mpmath.mp.dps = digits + 10
s2, s3 = mpmath.sqrt(2), mpmath.sqrt(3)
ops = {"pi": lambda: +mpmath.pi, "e": lambda: +mpmath.e, "sqrt2": lambda: mpmath.sqrt(2),
       "inv7": lambda: mpmath.mpf(1) / 7, "mul": lambda: s2 * s3, "exp": lambda: mpmath.exp(s2),
       "ln": lambda: mpmath.log(s2), "sin": lambda: mpmath.sin(s2), "atan": lambda: mpmath.atan(s2),
       "pow": lambda: s2 ** s3, "fact10000": lambda: mpmath.factorial(10000)}
t0 = time.perf_counter(); r = ops[op](); mpmath.nstr(r, digits); print(time.perf_counter() - t0)
'''


def python_peer(code, op, digits, limit):
    try:
        out = subprocess.run([sys.executable, "-c", code, op, str(digits)], capture_output=True,
                             text=True, timeout=limit, check=True).stdout
    except subprocess.TimeoutExpired:
        return None
    return float(out)


def bc(op, digits, limit):
    prog = {
        "pi": "4*a(1)", "e": "e(1)", "sqrt2": "sqrt(2)", "inv7": "1/7",
        "mul": "x=sqrt(2);y=sqrt(3);x*y", "exp": "e(sqrt(2))", "ln": "l(sqrt(2))",
        "sin": "s(sqrt(2))", "atan": "a(sqrt(2))", "pow": "e(sqrt(3)*l(sqrt(2)))",
        "fact10000": "define f(n){auto r;r=1;while(n>1){r*=n;n-=1};return r};f(10000)",
    }[op]
    return timed_process(["bc", "-l"], limit, stdin="scale=%d\n%s\n" % (digits, prog))


def fmt(t, limit):
    if t is None:
        return "> %g s" % limit
    if t < 1e-3:
        return "%.0f µs" % (t * 1e6)
    if t < 1:
        return "%.1f ms" % (t * 1e3)
    return "%.2f s" % t


def ratio(peer, ours):
    if peer is None or ours is None or ours <= 0:
        return ""
    return " (%.2g×)" % (peer / ours)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--limit", type=float, default=60)
    ap.add_argument("--digits", default="1000,10000,100000")
    ap.add_argument("--build", default=os.path.join(ROOT, "build"), help="the CMake build folder")
    ap.add_argument("--peers", default="mpfr,decimal,mpmath,bc",
                    help="the peers to time (the others' columns stay empty)")
    args = ap.parse_args()
    global CLI, MPFR
    CLI = os.path.join(args.build, "deepnums-cli")
    MPFR = os.path.join(args.build, "bench", "mpfr_peer")
    if not os.path.exists(MPFR):
        os.makedirs(os.path.dirname(MPFR), exist_ok=True)
        subprocess.run(["gcc", "-O2", os.path.join(HERE, "mpfr_peer.c"), "-o", MPFR,
                        "-lmpfr", "-lgmp"], check=True)
    rows = []
    for digits in [int(d) for d in args.digits.split(",")]:
        s2, s3 = full_length_texts(digits)
        for op in OPS:
            default = deepnums(op, digits, args.limit, s2, s3)
            ours = deepnums(op, digits, args.limit, s2, s3, exact=True)
            chosen = args.peers.split(",")
            timers = [("mpfr", lambda: mpfr(op, digits, args.limit)),
                      ("decimal", lambda: python_peer(PY_DECIMAL, op, digits, args.limit)),
                      ("mpmath", lambda: python_peer(PY_MPMATH, op, digits, args.limit)),
                      ("bc", lambda: bc(op, digits, args.limit))]
            cells = [fmt(default, args.limit) + ratio(default, ours), fmt(ours, args.limit)]
            for name, timer in timers:
                if name in chosen:
                    t = timer()
                    cells.append(fmt(t, args.limit) + ratio(t, ours))
                else:
                    cells.append("–")
            rows.append("| %s | %s | %s |" % ("{:,}".format(digits), LABELS[op], " | ".join(cells)))
            print(rows[-1], flush=True)
    cores = os.cpu_count()
    table = [BEGIN,
             "Command: `python3 bench/peers/run_peers.py --limit %g --peers %s` (%s cores, %s)." %
             (args.limit, args.peers, cores, time.strftime("%Y-%m-%d")),
             "Whole processes for deepnums-cli, computation and one decimal conversion for MPFR.",
             "Ratios are the other column's time over deepnums-cli --exact's: above 1, the exact",
             "mode is faster.", "",
             "| Digits | Operation | deepnums-cli | deepnums-cli --exact | MPFR | Python decimal | mpmath | bc -l |",
             "|---|---|---|---|---|---|---|---|"] + rows + [END]
    text = open(RESULTS).read() if os.path.exists(RESULTS) else "# Benchmark results\n"
    if BEGIN in text and END in text:
        text = text[:text.index(BEGIN)] + "\n".join(table) + text[text.index(END) + len(END):]
    else:
        text = text.rstrip("\n") + "\n\n## Peers\n\n" + "\n".join(table) + "\n"
    open(RESULTS, "w").write(text)


if __name__ == "__main__":
    main()
