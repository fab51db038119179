#!/usr/bin/env python3
"""Runs a trace tool over the ActionScript oracle (../shared/avm1-oracle) and counts passes.

usage: oracle_compare.py TOOL ORACLE_DIR [--categories a,b,...] [--show-failures] [--floor FILE]
With --floor, the run fails (exit 1) when fewer tests pass than the number FILE holds; without
the oracle folder it exits 77 (skipped).
A test passes when the tool's stdout equals output.txt after the README's normalisation
(CRLF to LF, NULs dropped, one final newline ignored), numbers compared within the test's
[approximations] when it has them.
"""
import os
import re
import subprocess
import sys
import tomllib


def normalise(text):
    text = text.replace("\r\n", "\n").replace("\0", "")
    return text[:-1] if text.endswith("\n") else text


def numbers_close(a, b, epsilon, relative):
    try:
        x, y = float(a), float(b)
    except ValueError:
        return a == b
    if x == y or (x != x and y != y):
        return True
    return abs(x - y) <= epsilon or abs(x - y) <= relative * max(abs(x), abs(y))


def matches(actual, expected, approximations):
    if actual == expected:
        return True
    if not approximations:
        return False
    a_lines, e_lines = actual.split("\n"), expected.split("\n")
    if len(a_lines) != len(e_lines):
        return False
    epsilon = approximations.get("epsilon", 0.0)
    relative = approximations.get("max_relative", 0.0)
    patterns = [re.compile(p) for p in approximations.get("number_patterns", [])]
    for a, e in zip(a_lines, e_lines):
        if a == e:
            continue
        if approximations.get("bare_numbers") and numbers_close(a, e, epsilon, relative):
            continue
        ok = False
        for pattern in patterns:
            ma, me = pattern.fullmatch(a), pattern.fullmatch(e)
            if ma and me and len(ma.groups()) == len(me.groups()):
                rest_a = pattern.sub("", a)
                rest_e = pattern.sub("", e)
                if rest_a == rest_e and all(numbers_close(x, y, epsilon, relative) for x, y in zip(ma.groups(), me.groups())):
                    ok = True
                    break
        if not ok:
            return False
    return True


def main():
    tool, oracle = os.path.abspath(sys.argv[1]), sys.argv[2]
    if not os.path.isdir(oracle):
        print(f"no oracle at {oracle}")
        sys.exit(77)
    floor = None
    if "--floor" in sys.argv:
        with open(sys.argv[sys.argv.index("--floor") + 1]) as handle:
            floor = int(handle.read().split()[0])
    categories = None
    show = "--show-failures" in sys.argv
    if "--categories" in sys.argv:
        categories = set(sys.argv[sys.argv.index("--categories") + 1].split(","))
    tests = []
    with open(os.path.join(oracle, "CATEGORIES.tsv")) as listing:
        next(listing)
        for line in listing:
            name, category, frames, _ = line.rstrip("\n").split("\t")
            if categories is None or category in categories:
                tests.append((name, category, int(frames)))
    passed, failed = 0, []
    for name, category, frames in tests:
        folder = os.path.join(oracle, name)
        with open(os.path.join(folder, "test.toml"), "rb") as handle:
            settings = tomllib.load(handle)
        with open(os.path.join(folder, "output.txt"), encoding="utf-8", errors="replace") as handle:
            expected = normalise(handle.read())
        try:
            run = subprocess.run([tool, "test.swf", "--frames", str(frames)], cwd=folder, capture_output=True, timeout=20)
            actual = normalise(run.stdout.decode("utf-8", errors="replace"))
        except subprocess.TimeoutExpired:
            actual = "<timeout>"
        if matches(actual, expected, settings.get("approximations")):
            passed += 1
        else:
            failed.append((name, category))
            if show:
                print(f"--- {name} ({category})")
    print(f"{passed} of {len(tests)} passed")
    for name, category in failed:
        print(f"  failed: {name} ({category})")
    if floor is not None and passed < floor:
        print(f"fewer than the floor of {floor}")
        sys.exit(1)


if __name__ == "__main__":
    main()
