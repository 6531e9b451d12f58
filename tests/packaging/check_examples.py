#!/usr/bin/env python3
"""The command-line examples of the documents give what they show.

    check_examples.py BIN_DIR DOCUMENT...

An example is a line "$ COMMAND" in an indented block of a Markdown document; the lines
after it, up to the next "$" line or the end of the block, are what it prints. A line
annotated "(standard error)" (or "(standard error; exit status N)", possibly alone on the
next line for a long message) is expected on standard error, and N as the exit status;
the other lines are standard output, compared line by line. Conventions of the documents:
- a line "…" stands for any number of lines, a line ending in "…" for any rest of line
  (and, as the last line shown, for any lines after it);
- timings ("0.00sec", "0.000003sec", "0.00min") vary from run to run and match any time;
- "build/deepnums-cli" (the README's form) is the deepnums-cli of BIN_DIR;
- a command that needs a person at the keyboard ("Ctrl-C") is not run.
The commands of one document run in order in one fresh folder, so files made by one
example (a script, a workspace) serve the next. Prints every disagreement; exit 1 if any.
"""
import os
import re
import subprocess
import sys
import tempfile

ANNOTATION = re.compile(r"\s*\(standard error(?:; exit status (\d+))?\)\s*$")
TIME = re.compile(r"\d+\.\d+(sec|min)")


def examples(path):
    """(line number, command, [(text, on_stderr)], exit status or None) per example."""
    found, current = [], None
    for number, raw in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        in_block = raw.startswith("    ")
        line = raw[4:].rstrip() if in_block else ""
        if not in_block or line.startswith("$ "):
            if current:
                found.append(current)
            current = [number, line[2:], [], None] if line.startswith("$ ") else None
            continue
        if current is None:
            continue
        m = ANNOTATION.search(line)
        text = ANNOTATION.sub("", line) if m else line
        if m and m.group(1):
            current[3] = int(m.group(1))
        if m and not text.strip() and current[2]:
            current[2][-1] = (current[2][-1][0], True)  # the note of a wrapped message
        else:
            current[2].append((text, bool(m)))
    if current:
        found.append(current)
    return found


def matches(want, got):
    """want (with "…" wildcards) against got, line by line."""
    if not want:
        return not got
    head = want[0]
    if head == "…":
        return any(matches(want[1:], got[i:]) for i in range(len(got) + 1))
    if not got:
        return False
    if not head.endswith("…"):
        return got[0] == head and matches(want[1:], got[1:])
    return got[0].startswith(head[:-1].rstrip()) and (len(want) == 1 or matches(want[1:], got[1:]))


def normal(text):
    return [TIME.sub("T\\1", line.rstrip()) for line in text.split("\n")]


def check(document, workdir, env):
    problems = []
    for number, command, expected, status in examples(document):
        if "Ctrl-C" in command:
            continue
        command = command.replace("build/deepnums-cli", "deepnums-cli")
        run = subprocess.run(["bash", "-c", command], cwd=workdir, env=env, capture_output=True,
                             text=True, stdin=subprocess.DEVNULL, timeout=300)
        out = normal(run.stdout)
        if out and out[-1] == "":
            out.pop()
        err = [line.strip() for line in normal(run.stderr)]
        want_out = [TIME.sub("T\\1", text) for text, on_err in expected if not on_err]
        want_err = [TIME.sub("T\\1", text).strip() for text, on_err in expected if on_err]
        where = f"{os.path.basename(document)}:{number}: $ {command}"
        if not matches(want_out, out):
            problems.append(f"{where}\n  printed {out[:6]}\n  shown   {want_out[:6]}")
        for line in want_err:
            if line not in err:
                problems.append(f"{where}\n  standard error lacks {line!r}: {err[:4]}")
        if status is not None and run.returncode != status:
            problems.append(f"{where}\n  exit status {run.returncode}, shown {status}")
    return problems


def main():
    bin_dir, documents = os.path.abspath(sys.argv[1]), sys.argv[2:]
    env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""), LC_ALL="C.UTF-8")
    problems, count = [], 0
    for document in documents:
        count += len(examples(document))
        with tempfile.TemporaryDirectory() as workdir:
            problems += check(os.path.abspath(document), workdir, env)
    for p in problems:
        print(p)
    print(f"{count} examples in {len(documents)} documents; {len(problems)} disagreements")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
