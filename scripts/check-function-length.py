#!/usr/bin/env python3
"""Lists the functions longer than a limit (60 lines) in C++ sources.

A function's length runs from the first line of its signature (the template
line and the return type included) to its closing brace.  Functions HACKING.md
names in its "Long functions" table, with a reason, are allowed; an entry in
that table whose function is gone or has become short enough is a problem too,
so the table stays true.  Prints one line per problem, compiler style, and
exits 1 when there is any.

  scripts/check-function-length.py [--max N] [--allow FILE] [--exclude PATH]...
                                   [--list] PATH...

PATH is a folder (every .cpp and .h under it) or a file; --exclude leaves a
folder or file out; --list prints every function over the limit, allowed or
not, longest first, and checks nothing.

The scanner works on the code as clang-format leaves it: comments, strings,
character literals and preprocessor lines are blanked, then braces are matched.
At namespace and class level a brace opens a function body when what stands
before it (since the last ';', '{' or '}') is a declaration with a parameter
list followed only by qualifiers or a constructor's initializer list; inside a
body every brace (blocks, lambdas, local classes) belongs to the body.
"""

import argparse
import os
import re
import sys

LIMIT = 60

# What may stand between a function's parameter list and its body.
QUALIFIERS = re.compile(
    r"^(\s*(const|volatile|noexcept\s*(\(\s*\w*\s*\))?|noexcept|override|final|&&|&|"
    r"throw\s*\(\s*\)|->\s*[\w:<>,\s\*&]+?|\[\[[^\]]*\]\]))*\s*$"
)
NOT_FUNCTIONS = re.compile(r"^\s*(namespace|class|struct|union|enum|typedef|using)\b|^\s*$")
EXTERN = re.compile(r"^\s*extern\s*(\"\s*\")?")
ACCESS = re.compile(r"\s*\b(public|private|protected)\s*:(?!:)")


def blank_code(text):
    """The text with comments, literals and preprocessor lines turned to
    spaces; newlines stay, so line numbers do too."""
    out = []
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c in " \t":
            out.append(c)
            i += 1
            continue
        if line_start and c == "#":
            # A preprocessor line, with its continuations.
            while i < n and text[i] != "\n":
                if text[i] == "\\" and i + 1 < n and text[i + 1] == "\n":
                    out.append(" \n")
                    i += 2
                    continue
                out.append(" ")
                i += 1
            continue
        line_start = False
        if c == "\n":
            out.append(c)
            line_start = True
            i += 1
        elif text.startswith("//", i):
            while i < n and text[i] != "\n":
                out.append(" ")
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r"[^\n]", " ", text[i:end]))
            i = end
        elif c == "R" and i + 1 < n and text[i + 1] == '"' and not _ident_char(text, i - 1):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            if not m:
                out.append(c)
                i += 1
                continue
            close = ")" + m.group(1) + '"'
            end = text.find(close, i + m.end())
            end = n if end < 0 else end + len(close)
            out.append('""' + re.sub(r"[^\n]", " ", text[i + 2 : end]))
            i = end
        elif c in "\"'":
            if c == "'" and _digit_separator(text, i):
                out.append(" ")
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + " " * (min(j, n) - i - 1) + c)
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def _ident_char(text, i):
    return i >= 0 and (text[i].isalnum() or text[i] == "_")


def _digit_separator(text, i):
    # 1'000'000: a quote between two digits is not a character literal.
    return i > 0 and text[i - 1].isalnum() and i + 1 < len(text) and text[i + 1].isalnum()


def function_name(head):
    """The name of the function whose declaration is `head`, or None when
    `head` does not declare a function."""
    head = EXTERN.sub(" ", head)
    if NOT_FUNCTIONS.search(head) or "(" not in head:
        return None
    # Find the parameter list: the top-level parenthesis group followed only
    # by qualifiers, or by a ':' that opens an initializer list.
    depth = 0
    groups = []
    start = None
    for k, ch in enumerate(head):
        if ch == "(":
            if depth == 0:
                start = k
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth == 0 and start is not None:
                groups.append((start, k))
    for start, end in groups:
        before = head[:start]
        if re.search(r"(^|[^\w])=\s*$|=[^=]", _top_level(before)):
            return None  # an initializer, perhaps a lambda's
        after = head[end + 1 :]
        colon = re.match(r"\s*:(?!:)", after)
        if QUALIFIERS.match(after) or colon:
            if colon and not QUALIFIERS.match(after) and not _initializer_list(after):
                continue
            name = re.search(r"(operator\s*(\(\s*\)|[^\s(]+)|~?[\w:]*\w)\s*(<[^()]*>)?\s*$", before)
            if not name:
                return None
            word = name.group(1)
            if word in ("TEST", "TEST_F", "TEST_P"):
                # A test is known by its suite and name.
                return word + "(" + re.sub(r"\s+", " ", head[start + 1 : end].strip()) + ")"
            if word in ("if", "for", "while", "switch", "catch", "return", "sizeof"):
                return None
            return re.sub(r"\s+", "", word)
    return None


def _top_level(text):
    # Angle brackets are not matched: a default argument in a template
    # (`template <int N = 3>`) does not make an initializer.
    return re.sub(r"<[^<>]*>", "", text)


def _initializer_list(after):
    return re.match(r"\s*:\s*[\w:]+\s*[({]", after) is not None


def functions(text):
    """(name, first line, last line) of every function body in `text`."""
    code = blank_code(text)
    found = []
    # Each open brace: (kind, start index of its head, name).
    stack = []
    head_start = 0
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        inside_body = any(kind in ("body", "data") for kind, _, _ in stack)
        if c == "{":
            if inside_body:
                stack.append(("block", i, None))
            else:
                head = code[head_start:i]
                head_clean = ACCESS.sub(" ", head)
                head_clean = re.sub(r"^\s*(template\s*<[^{]*?>)", " ", head_clean)
                name = function_name(head_clean)
                if name is None and _member_initializer(head_clean):
                    # `Foo::Foo() : a{1}, b{2} {`: this brace is a member's.
                    end = _matching(code, i)
                    i = end + 1
                    continue
                if name is not None:
                    stack.append(("body", _first_code(code, head_start), name))
                elif re.search(r"=\s*$|[\w>\]]\s*$", head_clean) and not NOT_FUNCTIONS.search(
                    head_clean
                ):
                    stack.append(("data", i, None))
                else:
                    stack.append(("scope", i, None))
            i += 1
            head_start = i
            continue
        if c == "}":
            if stack:
                kind, start, name = stack.pop()
                if kind == "body":
                    found.append((name, _line(code, start), _line(code, i)))
            i += 1
            if not any(kind in ("body", "data") for kind, _, _ in stack):
                head_start = i
            continue
        if c == ";" and not inside_body:
            head_start = i + 1
        i += 1
    return found


def _member_initializer(head):
    # The head of a constructor whose initializer list is still open.
    depth = 0
    for k, ch in enumerate(head):
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth == 0 and re.match(r"\s*:(?!:)", head[k + 1 :]):
                return True
    return False


def _matching(code, i):
    depth = 0
    for k in range(i, len(code)):
        if code[k] == "{":
            depth += 1
        elif code[k] == "}":
            depth -= 1
            if depth == 0:
                return k
    return len(code) - 1


def _first_code(code, start):
    m = re.compile(r"\S").search(code, start)
    # Skip an access label before the declaration.
    a = ACCESS.match(code, start)
    if a:
        m = re.compile(r"\S").search(code, a.end())
    return m.start() if m else start


def _line(code, index):
    return code.count("\n", 0, index) + 1


def read_allow_list(path):
    """{(file, function): reason} from the table under "## Long functions"."""
    allowed = {}
    problems = []
    if not path:
        return allowed, problems
    try:
        lines = open(path, encoding="utf-8").read().splitlines()
    except OSError as e:
        return allowed, ["%s: cannot read the allow-list: %s" % (path, e.strerror)]
    inside = False
    for number, line in enumerate(lines, 1):
        if line.startswith("## "):
            inside = line.strip() == "## Long functions"
            continue
        if not inside or not line.startswith("|"):
            continue
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) < 3 or set(cells[0]) <= set("-: ") or cells[0] == "file":
            continue
        file, name, reason = cells[0].strip("`"), cells[1].strip("`"), cells[2]
        if not reason:
            problems.append("%s:%d: %s in %s is allowed without a reason" % (path, number, name, file))
            continue
        allowed[(file, name)] = (reason, number)
    return allowed, problems


def sources(paths, excluded):
    for path in paths:
        if os.path.isfile(path):
            yield path
            continue
        for folder, dirs, files in os.walk(path):
            dirs[:] = sorted(d for d in dirs if os.path.join(folder, d) not in excluded)
            for f in sorted(files):
                full = os.path.join(folder, f)
                if f.endswith((".cpp", ".h")) and full not in excluded:
                    yield full


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--max", type=int, default=LIMIT)
    parser.add_argument("--allow", help="the markdown file with the Long functions table")
    parser.add_argument("--root", help="the folder allow-list paths are relative to")
    parser.add_argument("--exclude", action="append", default=[])
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()

    if args.root:
        root = os.path.abspath(args.root)
    elif args.allow:
        root = os.path.dirname(os.path.abspath(args.allow))
    else:
        root = os.getcwd()
    excluded = {os.path.normpath(p) for p in args.exclude}
    paths = [os.path.normpath(p) for p in args.paths]
    allowed, problems = read_allow_list(args.allow)
    used = set()
    long_ones = []
    for path in sources(paths, excluded):
        text = open(path, encoding="utf-8", errors="replace").read()
        rel = os.path.relpath(os.path.abspath(path), root)
        for name, first, last in functions(text):
            length = last - first + 1
            if length <= args.max:
                continue
            long_ones.append((length, path, first, name))
            if (rel, name) in allowed:
                used.add((rel, name))
            else:
                problems.append(
                    "%s:%d: %s is %d lines, over %d: split it, or name it and the reason "
                    "in the Long functions of HACKING.md" % (path, first, name, length, args.max)
                )
    if args.list:
        for length, path, first, name in sorted(long_ones, reverse=True):
            print("%4d %s:%d %s" % (length, path, first, name))
        return 0
    scanned = [os.path.relpath(os.path.abspath(p), root) for p in paths]
    skipped = [os.path.relpath(os.path.abspath(p), root) for p in excluded]
    for (file, name), (reason, number) in sorted(allowed.items()):
        if (file, name) in used:
            continue
        inside = any(file == s or file.startswith(s.rstrip("/") + "/") for s in scanned)
        outside = any(file == s or file.startswith(s.rstrip("/") + "/") for s in skipped)
        if inside and not outside:
            problems.append(
                "%s:%d: %s in %s is allowed but is not over %d lines (or is gone): "
                "remove the entry" % (args.allow, number, name, file, args.max)
            )
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
