#!/usr/bin/env python3
"""The manual's list of results whose kind depends on "Exact digits" matches the program.

    check_mode_differences.py DEEPNUMS_CLI MANUAL

The list is the table of the manual's section 4.5 whose header names "Exact digits" and
"Defined algorithms". Each row names one or more buttons (in double quotes), the texts the
two modes print (in backticks) and an example (tokens in backticks), run as
`deepnums-cli -d 12 --exact TOKENS` and `deepnums-cli -d 12 --no-exact TOKENS`.

1. Every example prints the row's two texts.
2. A probe runs every computing button on a grid of special operands (the edges of the
   exponent range, the limits of exp and the hyperbolic functions, the int range of "!",
   huge and tiny angles, markers) in both modes and both angle units, and sorts each
   result into a kind: a number, 0, "ERROR" or "OVERFLOW". The set of (button, kind with
   Exact digits, kind with the defined algorithms) where the kinds differ must be the
   set the table's rows give: a new difference, or a row that no longer happens, fails.
Prints every disagreement; exit 1 if any.
"""
import re
import shlex
import subprocess
import sys

OPERANDS = [
    "0", "1", "-1", ".5", "-.5", "2", "-2", "3", "-3", "10", "-10", ".1", "1.5", "-1.5",
    "45", "90", "-90", "180", "1000", "-1000", "1e8", "-1e8", "1e9", "1e10", "-1e10",
    "1e17", "1e20", "-1e20", "9e19", "1.8e20", "3.6e20", "-3.6e20", "6.3e17", ".999999999999", "-.999999999999", "1.00000000001",
    "1.5707963267948966", "1e-10", "1e-20", "-1e-20", "1e-500",
    "2147483647", "2147483648", "-2147483648", "230258509", "-230258509",
    "2302585091", "-2302585091", "2302585092", "-2302585092", "2302585093", "-2302585093",
    "2302585095", "-2302585095", "3221225472", "-3221225472",
    "999999999", "-999999999", "1000000000", "-1000000000", "1e500000000", "-1e500000000",
    "1e-500000000", "-1e-500000000",
    "1e999999999", "-1e999999999", "1e-999999999", "-1e-999999999", "5e-999999999",
    "ERROR", "OVERFLOW",
]
BINARY = ["+", "-", "*", "/", "%", "x^y", "R.Off"]
UNARY = ["1/x", "SQRT", "CBRT", "x^2", "x^3", "sin", "cos", "tan", "exp", "10^n", "asin",
         "acos", "atan", "loge", "log10", "sinh", "cosh", "tanh", "asinh", "acosh", "atanh",
         "!", "IP", "FP", "EP", "+/-", "|x|", "fillw/9"]
ANGLE_BUTTONS = {"sin", "cos", "tan", "asin", "acos", "atan"}


def slow_factorial(text):
    """Factorials between 10^6 and the int range take seconds in the defined algorithms."""
    try:
        v = abs(float(text))
    except ValueError:
        return False
    return 1e6 <= v <= 2147483647


def key(caption):
    """A button caption as the command line matches it: no blanks, any case."""
    return caption.replace(" ", "").lower()


def kind(text):
    return text if text in ("0", "ERROR", "OVERFLOW") else "number"


def table_rows(manual):
    """(line, [buttons], exact text, defined text, [tokens]) per row of the table."""
    lines = open(manual, encoding="utf-8").read().split("\n")
    start = next(i for i, l in enumerate(lines) if l.startswith("### 4.5"))
    rows, in_table = [], False
    for number, line in enumerate(lines[start:], start + 1):
        if line.startswith("## ") or (line.startswith("### ") and number > start + 1):
            break
        if line.startswith("|") and "Exact digits" in line and "Defined algorithms" in line:
            in_table = True
            continue
        if not in_table:
            continue
        if not line.startswith("|"):
            break
        if set(line) <= set("|-: "):
            continue
        cells = [c.strip().replace("\\|", "|") for c in re.split(r"(?<!\\)\|", line)[1:-1]]
        buttons = re.findall(r'"([^"]+)"', cells[0])
        texts = [re.findall(r"`([^`]*)`", c) for c in cells[2:5]]
        if not buttons or any(len(t) != 1 for t in texts):
            rows.append((number, None, None, None, None))
            continue
        rows.append((number, buttons, texts[0][0], texts[1][0], shlex.split(texts[2][0])))
    return rows


def run(cli, mode, tokens):
    r = subprocess.run([cli, "-d", "12", mode] + tokens, capture_output=True, text=True,
                       stdin=subprocess.DEVNULL, timeout=60)
    return r.stdout.rstrip("\n")


def probe(cli):
    """{(button key, exact kind, defined kind): [examples]} where the kinds differ."""
    cases = []
    for unit in ("deg", "rad"):
        for op in BINARY if unit == "deg" else []:
            cases += [(unit, op, f"R1={x} R0={y} {op}") for x in OPERANDS for y in OPERANDS]
        for op in UNARY:
            if unit == "rad" and op not in ANGLE_BUTTONS:
                continue
            cases += [(unit, op, f"R0={y} {op}") for y in OPERANDS
                      if not (op == "!" and slow_factorial(y))]
    results = {}
    for mode in ("on", "off"):
        for unit in ("deg", "rad"):
            lines = [c[2] for c in cases if c[0] == unit]
            session = f"exact {mode}\n{unit}\n" + "\n".join(lines) + "\nquit\n"
            out = subprocess.run([cli, "-d", "12", "-i"], input=session, capture_output=True,
                                 text=True, timeout=300).stdout
            r0 = [l[4:] for l in out.split("\n") if l.startswith("R0: ")]
            if len(r0) != len(lines):
                sys.exit(f"probe: {len(lines)} lines sent, {len(r0)} results read ({mode}, {unit})")
            for line, text in zip(lines, r0):
                results[(mode, unit, line)] = text
    found = {}
    for unit, op, line in cases:
        e, d = results[("on", unit, line)], results[("off", unit, line)]
        if kind(e) != kind(d):
            found.setdefault((key(op), kind(e), kind(d)), []).append(
                f"{'--radian ' if unit == 'rad' else ''}{line}: {e} / {d}")
    return found


def main():
    cli, manual = sys.argv[1], sys.argv[2]
    problems, listed = [], set()
    rows = table_rows(manual)
    if not rows:
        problems.append("manual: no table of mode differences in section 4.5")
    for number, buttons, exact_text, defined_text, tokens in rows:
        where = f"manual line {number}"
        if buttons is None:
            problems.append(f"{where}: a row needs buttons in quotes and three `texts`")
            continue
        got = (run(cli, "--exact", tokens), run(cli, "--no-exact", tokens))
        if got != (exact_text, defined_text):
            problems.append(f"{where}: {' '.join(tokens)} prints {got}, the row shows "
                            f"{(exact_text, defined_text)}")
        if kind(exact_text) == kind(defined_text):
            problems.append(f"{where}: both modes give the same kind of result")
        for b in buttons:
            listed.add((key(b), kind(exact_text), kind(defined_text)))
    found = probe(cli)
    for triple in sorted(set(found) - listed):
        problems.append(f"not in the manual: {triple}, e.g. " + "; ".join(found[triple][:3]))
    for triple in sorted(listed - set(found)):
        problems.append(f"in the manual but not found by the probe: {triple}")
    for p in problems:
        print(p)
    print(f"{len(rows)} rows, {len(found)} kinds of difference found; {len(problems)} disagreements")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
