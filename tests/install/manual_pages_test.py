"""Each program's manual page against its --help, so the two cannot drift:
the same synopsis, the same options in the same order with the same words,
the same exit statuses (where --help gives them) and the same version.

Usage: manual_pages_test.py PROGRAM PAGE [PROGRAM PAGE ...]"""

import re
import shlex
import subprocess
import sys

ESCAPES = {r"\-": "-", r"\e": "\\", r"\(lq": "\u201c", r"\(rq": "\u201d", r"\(dq": '"',
           r"\fI": "", r"\fB": "", r"\fR": "", r"\fP": "", r"\ ": " "}


def unescape(text):
    for escape, plain in ESCAPES.items():
        text = text.replace(escape, plain)
    return text


def roff_line(line):
    """A line of the page as the reader sees its words (fonts dropped)."""
    if not line.startswith("."):
        return unescape(line)
    macro, _, rest = line.partition(" ")
    words = shlex.split(rest.replace("\\", "\\\\"))
    # .BI, .IR and the like alternate fonts with no space between their words.
    joiner = "" if len(macro) == 3 else " "
    return unescape(joiner.join(words))


def sections(page):
    """The page's sections, by name, as lists of roff lines."""
    found, name = {}, None
    for line in page.splitlines():
        if line.startswith(".SH "):
            name = line[4:].strip().strip('"')
            found[name] = []
        elif name is not None:
            found[name].append(line)
    return found


def words(text):
    return " ".join(text.split())


def page_options(lines):
    """(option, description) of each .TP item: its tag line, then its words."""
    items = []
    for i, line in enumerate(lines):
        if line == ".TP":
            tag = roff_line(lines[i + 1])
            body = []
            for following in lines[i + 2:]:
                if following.startswith((".TP", ".SH", ".PP")):
                    break
                body.append(roff_line(following))
            items.append((words(tag), words(" ".join(body))))
    return items


def help_options(help_text):
    """(option, description) of each entry under "Options:"."""
    items = []
    lines = help_text.split("Options:\n", 1)[1].split("\n\n", 1)[0].splitlines()
    for line in lines:
        entry = re.match(r"^  (--\S+(?: [A-Z_]+)?)\s{2,}(.*)$", line)
        if entry:
            items.append([entry.group(1), entry.group(2)])
        else:
            items[-1][1] += " " + line.strip()
    return [(option, words(description)) for option, description in items]


def help_paragraph(help_text, heading):
    for paragraph in help_text.split("\n\n"):
        if paragraph.startswith(heading):
            return words(paragraph[len(heading):])
    return None


def check(program, page_path):
    help_text = subprocess.run([program, "--help"], capture_output=True, text=True,
                               check=True).stdout
    version = subprocess.run([program, "--version"], capture_output=True, text=True,
                             check=True).stdout.split()[-1]
    with open(page_path, encoding="utf-8") as f:
        page = f.read()
    parts = sections(page)
    failures = []
    expected, got = help_options(help_text), page_options(parts.get("OPTIONS", []))
    for want, have in zip(expected + [None] * len(got), got + [None] * len(expected)):
        if want != have:
            failures.append(f"option differs:\n  --help: {want}\n  page:   {have}")
    usage = words(help_text.split("\n\n", 1)[0].removeprefix("Usage:"))
    synopsis = words(" ".join(roff_line(line) for line in parts.get("SYNOPSIS", [])))
    if usage != synopsis:
        failures.append(f"synopsis differs:\n  --help: {usage}\n  page:   {synopsis}")
    exit_status = help_paragraph(help_text, "Exit status:")
    page_status = words(" ".join(roff_line(line) for line in parts.get("EXIT STATUS", [])))
    if exit_status is not None and exit_status != page_status:
        failures.append(f"exit status differs:\n  --help: {exit_status}\n  page:   {page_status}")
    title = page.splitlines()[0]
    if f" {version}\"" not in title:
        failures.append(f"the page's title line {title!r} does not give version {version}")
    for failure in failures:
        print(f"FAILED: {page_path}: {failure}")
    if not failures:
        print(f"{page_path}: {len(got)} options as --help gives them")
    return not failures


def main(args):
    if not args or len(args) % 2:
        sys.exit(__doc__)
    results = [check(args[i], args[i + 1]) for i in range(0, len(args), 2)]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main(sys.argv[1:])
