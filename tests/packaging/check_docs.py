#!/usr/bin/env python3
"""`deepnums-cli --help`, the manual page and the manual say the same.

    check_docs.py DEEPNUMS_CLI MAN_PAGE MANUAL

From --help: every option, and every command row (code, caption, aliases, effect).
The manual page must have every option in its OPTIONS section and every command row,
word for word, in its command table. The manual (Markdown) must name every option and
have, for every command, a table row with its code, caption and aliases.
The licence line of `deepnums-cli --version` must stand word for word in the manual, the
COPYRIGHT sections of both manual pages and README, and its year and holder in LICENSE
and the Debian copyright file.
Prints every disagreement; exit 1 when there is one.
"""
import os
import re
import subprocess
import sys


def help_text(cli):
    return subprocess.run([cli, "--help"], capture_output=True, text=True, check=True).stdout


def licence_problems(cli, man_path, manual):
    """Disagreements between the licence line of --version and the licence texts."""
    out = subprocess.run([cli, "--version"], capture_output=True, text=True,
                         check=True).stdout.split("\n")
    m = re.fullmatch(r"Copyright \(C\) (\d{4}) (.+?); MIT License, with NO WARRANTY\.",
                     out[1] if len(out) > 1 else "")
    if not m:
        return [f"--version: no licence line in {out!r}"]
    line, notice = m.group(0), f"Copyright (c) {m.group(1)} {m.group(2)}"
    repo = os.path.join(os.path.dirname(os.path.abspath(man_path)), "..")
    problems = [] if line in manual else ["manual: lacks the licence line of --version"]
    for page in ("deepnums-cli.1", "deepnums.1"):
        source = open(os.path.join(repo, "docs", page), encoding="utf-8").read()
        section = " ".join(man_sections(source).get("COPYRIGHT", []))
        if line not in unroff(section):
            problems.append(f"{page}: COPYRIGHT lacks the licence line of --version")
    if line not in open(os.path.join(repo, "README.md"), encoding="utf-8").read():
        problems.append("README.md: lacks the licence line of --version")
    licence = open(os.path.join(repo, "LICENSE"), encoding="utf-8").read().split("\n")
    if licence[:3] != ["MIT License", "", notice]:
        problems.append(f"LICENSE: does not begin 'MIT License', '{notice}'")
    copyright_file = open(os.path.join(repo, "packaging", "debian", "copyright"),
                          encoding="utf-8").read()
    if f"Copyright: {m.group(1)} {m.group(2)}\nLicense: Expat" not in copyright_file:
        problems.append("packaging/debian/copyright: no Expat paragraph of the same holder")
    return problems


def help_options(text):
    """The options of the usage lines: '-d', '--digits', ..."""
    options = []
    for line in text.split("\n"):
        if line.startswith("Tokens"):
            break
        m = re.match(r"  (-\S.*?)(?:  |$)", line)
        if m:
            options += re.findall(r"--?[a-z][a-z-]*", m.group(1))
    return options


def help_commands(text):
    """(code, caption, aliases, effect) per row of the command list."""
    lines = text.split("\n")
    start = next(i for i, l in enumerate(lines) if l.startswith("  code  caption"))
    head = lines[start]
    c1, c2, c3 = head.index("caption"), head.index("aliases"), head.index("effect")
    rows = []
    for line in lines[start + 1:]:
        if not line.strip():
            break
        rows.append((line[:c1].strip(), line[c1:c2].strip(), line[c2:c3].split(),
                     line[c3:].strip()))
    return rows


def unroff(text):
    """Roff source to plain text, as far as the manual page uses it."""
    text = text.replace("\\-", "-").replace("\\e", "\\").replace("\\&", "")
    text = text.replace("\\(mu", "×")
    return re.sub(r"\\f[BIRP]", "", text)


def man_sections(source):
    sections, name = {}, ""
    for line in source.split("\n"):
        if line.startswith(".SH "):
            name = line[4:].strip()
            sections[name] = []
        elif name:
            sections[name].append(line)
    return sections


def man_table_rows(lines):
    """The rows of the tbl table, text blocks T{ ... T} joined into their cell."""
    rows, in_table, pending = [], False, None
    for line in lines:
        if line == ".TS":
            in_table, spec = True, True
            continue
        if line == ".TE":
            break
        if not in_table:
            continue
        if spec:
            spec = not line.endswith(".")
            continue
        if pending is not None:
            if line == "T}":
                rows.append(pending[0] + [" ".join(pending[1])])
                pending = None
            else:
                pending[1].append(unroff(line))
            continue
        cells = [unroff(c) for c in line.split("\t")]
        if cells[-1] == "T{":
            pending = (cells[:-1], [])
        else:
            rows.append(cells)
    return rows


def main():
    cli, man_path, manual_path = sys.argv[1:4]
    text = help_text(cli)
    options = help_options(text)
    commands = help_commands(text)
    problems = []
    if len(options) < 10 or len(commands) < 60:
        problems.append(f"--help parsed to {len(options)} options and {len(commands)} commands")

    sections = man_sections(open(man_path, encoding="utf-8").read())
    man_options = unroff("\n".join(sections.get("OPTIONS", [])))
    for option in options:
        if not re.search(re.escape(option) + r"(?![a-z-])", man_options):
            problems.append(f"man page: OPTIONS lacks {option}")
    man_rows = {tuple(r) for r in man_table_rows(sections.get("COMMANDS", []))}
    for code, caption, aliases, effect in commands:
        row = (code, caption, ", ".join(aliases), effect)
        if row not in man_rows:
            problems.append(f"man page: no command row {row}")

    manual = open(manual_path, encoding="utf-8").read()
    for option in options:
        if f"`{option}" not in manual:
            problems.append(f"manual: no `{option}`")
    table_lines = [l for l in manual.split("\n") if l.startswith("|")]
    for code, caption, aliases, _ in commands:
        cells_wanted = [code, "`" + caption.replace("|", "\\|") + "`"] + [f"`{a}`" for a in aliases]
        if not any(all(c in l for c in cells_wanted) and re.search(rf"\|\s*{code}\s*\|", l)
                   for l in table_lines):
            problems.append(f"manual: no table row with {' '.join(cells_wanted)}")

    problems += licence_problems(cli, man_path, manual)
    for p in problems:
        print(p)
    print(f"{len(options)} options, {len(commands)} commands checked; {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
