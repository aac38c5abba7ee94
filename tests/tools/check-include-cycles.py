#!/usr/bin/env python3
"""Checks that the sources of a folder include each other without a cycle.

    check-include-cycles.py FOLDER

A unit is a header with its sources of the same name (X.h, X.cpp, and the per-platform
posix/X.cpp and win32/X.cpp): unit A depends on unit B when a file of A includes B's header by a
quoted name. A cycle of units is a knot that a newcomer cannot take apart one file at a time;
every cycle found is printed, and the exit status is 1 then (0 without)."""
import os
import re
import sys

folder = sys.argv[1]
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
units = {}  # unit name -> set of included header names
for root, _, files in os.walk(folder):
    for name in files:
        if not name.endswith((".h", ".cpp")):
            continue
        unit = os.path.splitext(name)[0]
        with open(os.path.join(root, name), encoding="utf-8", errors="replace") as f:
            included = {os.path.splitext(os.path.basename(i))[0] for i in include.findall(f.read())}
        units.setdefault(unit, set()).update(included)
edges = {u: sorted(i for i in included if i in units and i != u) for u, included in units.items()}

cycles = []
state = {}  # unit -> 1 while on the path, 2 when done
path = []


def visit(unit):
    state[unit] = 1
    path.append(unit)
    for other in edges[unit]:
        if state.get(other) == 1:
            cycles.append(path[path.index(other):] + [other])
        elif other not in state:
            visit(other)
    path.pop()
    state[unit] = 2


for unit in sorted(units):
    if unit not in state:
        visit(unit)
for cycle in cycles:
    print("include cycle: " + " -> ".join(cycle))
print("%d units, %d include cycles" % (len(units), len(cycles)))
sys.exit(1 if cycles else 0)
