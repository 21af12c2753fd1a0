#!/usr/bin/env python3
"""Renders the README and the pages under docs/ into HTML for the help the program opens.

    render_help.py SOURCE_ROOT OUTPUT_FOLDER

Writes OUTPUT_FOLDER/README.html, OUTPUT_FOLDER/docs/<page>.html and copies the pictures the pages
show, keeping the README's relative links working: a link to a page "x.md" becomes "x.html".
Needs python3-markdown.
"""
import html
import pathlib
import re
import shutil
import sys

import markdown

STYLE = """
body { font-family: sans-serif; max-width: 54em; margin: 1em auto; padding: 0 1em;
       line-height: 1.45; color: #1b1b1b; }
img { max-width: 100%; }
table { border-collapse: collapse; }
th, td { border: 1px solid #b8b8b8; padding: 0.25em 0.5em; vertical-align: top; }
code, pre { background: #f2f2f2; }
pre { padding: 0.5em; overflow-x: auto; }
"""

# A link target that is a page of this set, with or without an anchor: (name).md(#anchor)
PAGE_LINK = re.compile(r"\]\(((?:[\w./-]*/)?[\w-]+)\.md(#[\w-]*)?\)")


def render(source: pathlib.Path, target: pathlib.Path) -> None:
    text = PAGE_LINK.sub(lambda m: "](%s.html%s)" % (m.group(1), m.group(2) or ""),
                         source.read_text(encoding="utf-8"))
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"])
    title_match = re.search(r"^# (.+)$", text, re.MULTILINE)
    title = title_match.group(1) if title_match else source.stem
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_text(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n"
        % (html.escape(title), STYLE, body), encoding="utf-8")


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    root = pathlib.Path(sys.argv[1])
    out = pathlib.Path(sys.argv[2])
    render(root / "README.md", out / "README.html")
    for page in sorted((root / "docs").glob("*.md")):
        render(page, out / "docs" / (page.stem + ".html"))
    for picture in sorted((root / "docs").glob("*.png")):
        shutil.copyfile(picture, out / "docs" / picture.name)
    return 0


if __name__ == "__main__":
    sys.exit(main())
