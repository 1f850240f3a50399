#!/usr/bin/env python3
"""Compares a scenario's trace with its golden file, or updates the golden.

    golden.py check GOLDEN ACTUAL     exit 1 with a unified diff when they differ
    golden.py update GOLDEN ACTUAL    rewrites GOLDEN from ACTUAL

A trace is a run of sections, each a directive line ("> event 0x01") and the
calls printed under it. A golden holds the same sections; a section whose body
is the single line "..." matches whatever the run printed there, so that a
golden states what its scenario is about (the start-up, say, belongs to the
lifecycle scenarios, not to every one). An update keeps such sections elided
and writes every other section as the run printed it.
"""
import difflib
import sys

ELIDED = "..."


def sections(lines):
    """[(header or None, [body lines])]: lines before the first header have None."""
    out = [(None, [])]
    for line in lines:
        if line.startswith("> "):
            out.append((line, []))
        else:
            out[-1][1].append(line)
    if out[0] == (None, []):
        out.pop(0)
    return out


def resolve(golden, actual):
    """The golden with each elided section filled from the run, where the two
    have the same header at that place; an elided section the run lacks stays."""
    expected = []
    runs = sections(actual)
    for index, (header, body) in enumerate(sections(golden)):
        if body == [ELIDED] and index < len(runs) and runs[index][0] == header:
            body = runs[index][1]
        expected.append((header, body))
    return expected


def flatten(parts):
    lines = []
    for header, body in parts:
        if header is not None:
            lines.append(header)
        lines.extend(body)
    return lines


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def main(argv):
    if len(argv) != 4 or argv[1] not in ("check", "update"):
        sys.stderr.write(__doc__)
        return 2
    golden, actual = read(argv[2]), read(argv[3])
    if argv[1] == "update":
        elided = {i for i, (_, body) in enumerate(sections(golden)) if body == [ELIDED]}
        runs = sections(actual)
        kept = [(h, [ELIDED] if i in elided else b) for i, (h, b) in enumerate(runs)]
        with open(argv[2], "w", encoding="utf-8") as f:
            f.writelines(line + "\n" for line in flatten(kept))
        return 0
    expected = flatten(resolve(golden, actual))
    if expected == actual:
        return 0
    sys.stdout.writelines(
        line + "\n" for line in difflib.unified_diff(expected, actual, argv[2], "run", lineterm=""))
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
