#!/usr/bin/env python3
"""Works out everybody's status from a draw file and its moves file alone, as anybody can, and
prints one JSON row per name in rank order: rank, status, name.

    check_moves.py E00012.draw.txt E00012.moves.txt

The draw gives Selected and Waiting. Each "released" line must name somebody holding a seat
(Selected or Moved up), who becomes Released; while anybody is still Waiting, the next line must
be "moved up" with the first of them, who becomes Moved up. Fails on any line that does not follow."""
import datetime
import json
import os
import sys


def lines_of(path):
    with open(path, "rb") as handle:
        text = handle.read().decode("utf-8")
    if text and not text.endswith("\r\n"):
        sys.exit(f"{path}: last line not ended by CR LF")
    return text.split("\r\n")[:-1] if text else []


draw = lines_of(sys.argv[1])
ranked = []
status = {}
for line in draw[draw.index("") + 1:]:
    rank, state = line.split("\t")[:2]
    name = line[len(rank) + len(state) + 2:line.rindex("\t")]
    ranked.append((int(rank), name))
    status[name] = state

moves = lines_of(sys.argv[2]) if os.path.exists(sys.argv[2]) else []
i = 0
while i < len(moves):
    when, kind, name = moves[i].split("\t", 2)
    datetime.datetime.strptime(when, "%Y-%m-%dT%H:%M:%SZ")
    if kind != "released" or status.get(name) not in ("Selected", "Moved up"):
        sys.exit(f"move {i + 1} releases no seat: {moves[i]!r}")
    status[name] = "Released"
    waiting = [n for _, n in ranked if status[n] == "Waiting"]
    if waiting:
        i += 1
        if i >= len(moves) or moves[i].split("\t", 2)[1:] != ["moved up", waiting[0]]:
            sys.exit(f"move {i + 1} should move up {waiting[0]!r}")
        status[waiting[0]] = "Moved up"
    i += 1

for rank, name in ranked:
    print(json.dumps([str(rank), status[name], name], ensure_ascii=False))
