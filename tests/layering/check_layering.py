#!/usr/bin/env python3
"""Checks that the includes between the folders of src/ run one way.

Usage: check_layering.py SRC_DIR

Every #include of every file under SRC_DIR that names a file of the source tree is an edge from
the including file's folder to the included file's folder. An edge within one folder is always
allowed; any other must be in ALLOWED. A file including from tests/ fails, and so does a folder
that the table does not know. Before it looks at SRC_DIR the script checks its table for cycles
and checks itself on a small tree with known faults, so a checker that finds nothing fails too.
Exits 0 when all is well, 1 with one line per fault otherwise.
"""

import os
import re
import sys
import tempfile

# The folder of the two main()s and the choice of adapters beside them.
TOP = "src"

SUBSYSTEMS = ["platform", "settings", "mail", "platform/mail", "events", "gui", "attendant", "lottery", "admin"]

# Which folders a folder may include from, besides itself.
ALLOWED = {
    "platform": set(),
    "settings": {"platform"},
    "mail": {"platform"},
    "platform/mail": {"platform", "mail"},
    "events": {"platform", "settings"},
    "gui": {"platform", "settings"},
    "attendant": {"platform", "settings", "events", "mail", "gui"},
    "lottery": {"platform", "settings", "events", "mail", "gui"},
    "admin": set(SUBSYSTEMS) - {"admin"},
    TOP: set(SUBSYSTEMS),
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".in")


def cycle_in(table):
    """A cycle of the table as a list of folders, or None."""
    done, path = set(), []

    def visit(folder):
        if folder in path:
            return path[path.index(folder):] + [folder]
        if folder in done:
            return None
        path.append(folder)
        for target in sorted(table.get(folder, ())):
            found = visit(target)
            if found:
                return found
        path.pop()
        done.add(folder)
        return None

    for folder in sorted(table):
        found = visit(folder)
        if found:
            return found
    return None


def folder_of(relative):
    folder = os.path.dirname(relative)
    return folder if folder else TOP


def resolve(src, tests, including, name):
    """Where an include leads: ("src", folder), ("tests", path) or None outside both trees."""
    beside = os.path.join(src, os.path.dirname(including), name)
    if os.path.isfile(beside):
        return "src", folder_of(os.path.relpath(os.path.normpath(beside), src))
    if os.path.isfile(os.path.join(src, name)):
        return "src", folder_of(os.path.normpath(name))
    # A header made by the build from src/NAME.in (the version) depends on nothing.
    if os.path.isfile(os.path.join(src, name + ".in")):
        return None
    if tests and os.path.isfile(os.path.join(tests, name)):
        return "tests", name
    return None


def faults_in(src, tests, table):
    faults = []
    for root, folders, files in os.walk(src):
        folders.sort()
        for file_name in sorted(files):
            if not file_name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(root, file_name)
            relative = os.path.relpath(path, src)
            source = folder_of(relative)
            shown = os.path.join(os.path.basename(os.path.normpath(src)), relative)
            if source not in table:
                faults.append(f"{shown}: the folder {source} is not in the table of allowed dependencies")
                continue
            with open(path, encoding="utf-8", errors="replace") as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = resolve(src, tests, relative, match.group(2))
                    if target is None:
                        continue
                    kind, where = target
                    if kind == "tests":
                        faults.append(f"{shown}:{number}: includes {match.group(2)} from tests/")
                    elif where != source and where not in table[source]:
                        faults.append(f"{shown}:{number}: {source} -> {where} ({match.group(2)}) "
                                      "is not an allowed dependency")
    return faults


def self_check():
    """The checker on a small tree with one fault of each kind; the faults it must find, or what went wrong."""
    table = {"low": set(), "high": {"low"}, TOP: {"low", "high"}}
    if cycle_in(table) is not None or cycle_in({"a": {"b"}, "b": {"c"}, "c": {"a"}}) != ["a", "b", "c", "a"]:
        return ["self-check: the cycle search is wrong"]
    with tempfile.TemporaryDirectory() as scratch:
        src, tests = os.path.join(scratch, "src"), os.path.join(scratch, "tests")
        files = {
            "src/low/Base.h": '#pragma once\n#include <QString>\n#include "Version.h"\n',
            "src/low/Base.cpp": '#include "low/Base.h"\n#include "Base.h"\n',
            "src/low/Wrong.cpp": '#include "low/Base.h"\n\n#include "high/Top.h"\n',
            "src/low/Test.cpp": '#include "support/Helper.h"\n',
            "src/high/Top.h": '#include "low/Base.h"\n',
            "src/high/Mains.cpp": '  #  include "Main.h"\n',
            "src/odd/Stray.cpp": '#include "low/Base.h"\n',
            "src/Main.h": '#include "high/Top.h"\n',
            "src/Version.h.in": "",
            "tests/support/Helper.h": "",
        }
        for name, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(scratch, name)), exist_ok=True)
            with open(os.path.join(scratch, name), "w", encoding="utf-8") as out:
                out.write(text)
        found = faults_in(src, tests, table)
    expected = [
        "src/high/Mains.cpp:1: high -> src (Main.h) is not an allowed dependency",
        "src/low/Test.cpp:1: includes support/Helper.h from tests/",
        "src/low/Wrong.cpp:3: low -> high (high/Top.h) is not an allowed dependency",
        "src/odd/Stray.cpp: the folder odd is not in the table of allowed dependencies",
    ]
    if sorted(found) != expected:
        return ["self-check: found " + repr(sorted(found)) + ", expected " + repr(expected)]
    return []


def main(arguments):
    if len(arguments) != 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    src = os.path.abspath(arguments[1])
    tests = os.path.join(os.path.dirname(src), "tests")
    faults = self_check()
    cycle = cycle_in(ALLOWED)
    if cycle:
        faults.append("the table of allowed dependencies has a cycle: " + " -> ".join(cycle))
    faults += faults_in(src, tests, ALLOWED)
    for fault in faults:
        print(fault)
    if not faults:
        print(f"layering: the includes of {src} run one way")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
