#!/usr/bin/env python3
"""Checks the project's Markdown documents: every relative link leads to a
file or folder that exists, every #anchor to a heading of the document it
names, and the README stays short (at most 180 lines: a page for players and
newcomers; the details live in the documents it links) and opens with its two
commands, each a script of the repository, the second the one CI runs.

    scripts/check-docs.py [--root DIR] [FILE.md ...]

Without files it checks README.md, HACKING.md, docs/*.md, data/README.md and
every tools/*/README.md under the root (default: the repository).  Prints
one line per fault, `file:line: ...`, and exits 1 when there is any."""
import argparse
import glob
import os
import re
import sys

README_LINES = 180
LINK = re.compile(r"!?\[(?:[^\]]|\][^(])*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
FENCE = re.compile(r"^\s*(```|~~~)")


def prose_lines(path):
    """The document's lines with their numbers, fenced code left out."""
    inside = False
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if FENCE.match(line):
                inside = not inside
                continue
            if not inside:
                yield number, line


def anchors(path, cache={}):
    """The anchors a renderer such as GitHub's gives the document's headings."""
    if path not in cache:
        seen, found = {}, set()
        for _, line in prose_lines(path):
            m = re.match(r"^#{1,6}\s+(.*?)\s*#*\s*$", line)
            if not m:
                continue
            slug = re.sub(r"[^\w\- ]", "", m.group(1).lower()).replace(" ", "-")
            count = seen.get(slug, 0)
            seen[slug] = count + 1
            found.add(slug if count == 0 else f"{slug}-{count}")
        cache[path] = found
    return cache[path]


def check(path, root):
    faults = []
    shown = os.path.relpath(path, root)
    for number, line in prose_lines(path):
        for target in LINK.findall(re.sub(r"`[^`]*`", "``", line)):
            if re.match(r"^[a-z][a-z0-9+.-]*:", target):
                continue  # a web address or mail link
            file, _, anchor = target.partition("#")
            goal = os.path.normpath(os.path.join(os.path.dirname(path), file)) if file else path
            if not os.path.exists(goal):
                faults.append(f"{shown}:{number}: link to {target}: no {os.path.relpath(goal, root)}")
            elif anchor and goal.endswith(".md") and anchor not in anchors(goal):
                faults.append(f"{shown}:{number}: link to {target}: no heading "
                              f"#{anchor} in {os.path.relpath(goal, root)}")
    if os.path.normpath(path) == os.path.join(root, "README.md"):
        with open(path, encoding="utf-8") as f:
            count = sum(1 for _ in f)
        if count > README_LINES:
            faults.append(f"{shown}: {count} lines; the README keeps to {README_LINES}")
        faults += check_commands(path, root)
    return faults


def check_commands(path, root):
    """The README's section "Two commands" shows two indented command lines:
    the first builds and plays, the second builds and tests; each is a script
    of the repository, and CI (.ci/run) runs the second."""
    shown = os.path.relpath(path, root)
    commands, inside = [], False
    for _, line in prose_lines(path):
        if line.startswith("#"):
            inside = line.startswith("## Two commands")
        elif inside and line.startswith("    ") and line.strip():
            commands.append(line.strip())
    if len(commands) != 2:
        return [f"{shown}: the section \"Two commands\" shows {len(commands)} commands, not 2"]
    faults = []
    for command in commands:
        script = os.path.join(root, command.split()[0])
        if not (os.path.isfile(script) and os.access(script, os.X_OK)):
            faults.append(f"{shown}: the command {command}: no executable {command.split()[0]}")
    ci = os.path.join(root, ".ci", "run")
    if os.path.exists(ci):
        with open(ci, encoding="utf-8") as f:
            if commands[1] not in f.read():
                faults.append(f"{shown}: CI (.ci/run) does not run the README's test command {commands[1]}")
    return faults


def main():
    parser = argparse.ArgumentParser(description="Check the Markdown documents' links and length.")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()
    root = os.path.normpath(os.path.abspath(args.root))
    files = [os.path.abspath(f) for f in args.files] or sorted(
        [f for name in ("README.md", "HACKING.md", "data/README.md", "docs/*.md", "tools/*/README.md")
         for f in glob.glob(os.path.join(root, name))])
    faults = [f for path in files for f in check(os.path.normpath(path), root)]
    for fault in faults:
        print(fault)
    print(f"{len(files)} documents, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
