#!/usr/bin/env python3
"""How honest the time left of "!" is: deepnums-cli's progress line against the truth.

    bench/factorial_eta.py build/deepnums-cli [DIGITS:N ...]

Runs `deepnums-cli --exact -d DIGITS N '!'` with standard error on a pseudo-terminal, so
that the program shows its progress line ("12.3 s  45%  about 15 s left  (Ctrl-C
cancels)") four times a second, and reads every line. When the run has ended, each
estimate is set against the time that was really left (the run's elapsed time at its end,
less the elapsed time the line showed). Prints, per run, the total and the estimates at
about 10, 25, 50 and 75 % of the run, with the ratio estimate / truth.
"""
import os
import re
import subprocess
import sys
import time

LINE = re.compile(r"([\d.]+) s\s+(\d+)%\s+about (\d+) (s|min) left")


def run(cli, digits, n):
    master, slave = os.openpty()
    start = time.monotonic()
    proc = subprocess.Popen([cli, "--exact", "-d", str(digits), n, "!"],
                            stdout=subprocess.DEVNULL, stderr=slave, stdin=subprocess.DEVNULL)
    os.close(slave)
    seen = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
    proc.wait()
    total = time.monotonic() - start
    os.close(master)
    estimates = []
    for piece in seen.decode(errors="replace").split("\r"):
        m = LINE.search(piece)
        if m:
            elapsed = float(m.group(1))
            left = float(m.group(3)) * (60 if m.group(4) == "min" else 1)
            estimates.append((elapsed, int(m.group(2)), left))
    return total, estimates


def main():
    cli = sys.argv[1]
    runs = sys.argv[2:] or ["1000:1e8", "10000:3e7", "100000:1e7", "100000:3e7"]
    print(f"{'digits':>7} {'N':>6} {'total':>7}   estimate / true time left at about 10, 25, 50, 75 % of the run")
    for spec in runs:
        digits, n = spec.split(":")
        total, est = run(cli, int(digits), n)
        cells = []
        for share in (0.10, 0.25, 0.50, 0.75):
            if not est:
                break
            elapsed, percent, left = min(est, key=lambda e: abs(e[0] - share * total))
            truth = total - elapsed
            cells.append(f"{left:.0f} / {truth:.1f} s ({left / truth:.2f})")
        print(f"{digits:>7} {n:>6} {total:6.1f}s   " + ("   ".join(cells) or "no estimate shown"))


if __name__ == "__main__":
    main()
