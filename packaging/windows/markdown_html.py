#!/usr/bin/env python3
"""Turns the Markdown documents into stand-alone HTML pages for Windows, where a .md file
has no program to open it and the Start-menu entry "deepNUMS manual" opens the page in the
browser.

    markdown_html.py CMARK_GFM OUT_DIR DOC.md...

Each DOC.md becomes OUT_DIR/DOC.html: cmark-gfm (GitHub's Markdown, with tables) renders
the body; the headings get the anchors GitHub gives them, so the documents' own links
("#8-the-workspace-file") keep working; links to one of the other documents converted here
point at its .html page. Pictures stay relative links (docs/window.png sits beside the
pages). The page is UTF-8 with a small style sheet and no script.
"""
import html
import os
import re
import subprocess
import sys

STYLE = """body { font-family: "Segoe UI", Meiryo, sans-serif; line-height: 1.45;
       max-width: 60em; margin: 1em auto; padding: 0 1em; color: #1b1b1b; }
code, pre { font-family: Consolas, "MS Gothic", monospace; background: #f2f2f2; }
pre { padding: 0.6em; overflow-x: auto; }
table { border-collapse: collapse; margin: 0.6em 0; }
th, td { border: 1px solid #b8b8b8; padding: 0.2em 0.5em; vertical-align: top; }
img { max-width: 100%; }"""


def github_anchor(text, seen):
    """The anchor GitHub gives a heading: its text in lower case, without punctuation
    other than '-' and '_', blanks turned into '-'; a repeated anchor gets -1, -2, ..."""
    slug = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
    n = seen.get(slug, 0)
    seen[slug] = n + 1
    return slug if n == 0 else f"{slug}-{n}"


def convert(cmark, source, out_dir, renamed):
    body = subprocess.run([cmark, "--extension", "table", "--extension", "autolink",
                           "--extension", "strikethrough", "--to", "html", source],
                          check=True, capture_output=True, text=True, encoding="utf-8").stdout
    seen = {}

    def heading(m):
        plain = html.unescape(re.sub(r"<[^>]+>", "", m.group(3)))
        return f'<h{m.group(1)}{m.group(2)} id="{github_anchor(plain, seen)}">{m.group(3)}</h{m.group(1)}>'

    body = re.sub(r"<h([1-6])([^>]*)>(.*?)</h\1>", heading, body, flags=re.S)

    def link(m):
        target, frag = m.group(1), m.group(2) or ""
        return f'href="{renamed.get(target, target)}{frag}"'

    body = re.sub(r'href="([^"#:]+\.md)(#[^"]*)?"', link, body)
    title = re.search(r"<h1[^>]*>(.*?)</h1>", body, flags=re.S)
    title = html.unescape(re.sub(r"<[^>]+>", "", title.group(1))) if title else source
    page = (f'<!DOCTYPE html>\n<html>\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>\n{STYLE}\n</style>\n</head>\n"
            f"<body>\n{body}</body>\n</html>\n")
    name = renamed[os.path.basename(source)]
    with open(os.path.join(out_dir, name), "w", encoding="utf-8", newline="\r\n") as f:
        f.write(page)


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    cmark, out_dir, sources = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(out_dir, exist_ok=True)
    renamed = {os.path.basename(s): os.path.basename(s)[:-3] + ".html" for s in sources}
    for source in sources:
        convert(cmark, source, out_dir, renamed)


if __name__ == "__main__":
    main()
