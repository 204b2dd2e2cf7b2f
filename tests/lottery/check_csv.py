#!/usr/bin/env python3
"""Reads a CSV file as a spreadsheet import would and prints its rows as JSON, one per line.

Fails when the file lacks the UTF-8 byte-order mark or has a row not ended by CR LF."""
import csv
import json
import sys

with open(sys.argv[1], "rb") as handle:
    raw = handle.read()
if not raw.startswith(b"\xef\xbb\xbf"):
    sys.exit("no byte-order mark")
if not raw.endswith(b"\r\n"):
    sys.exit("last row not ended by CR LF")
with open(sys.argv[1], newline="", encoding="utf-8-sig") as handle:
    for row in csv.reader(handle, strict=True):
        print(json.dumps(row, ensure_ascii=False))
