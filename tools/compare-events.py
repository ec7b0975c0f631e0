#!/usr/bin/env python3
"""Compares two event sequences written by `tlxvl-demo --format jsonl`: every field of every
event, in order, except the time stamp. Usage: compare-events.py EXPECTED ACTUAL [LABEL].
Exit status 0 when they are equal, 1 with the first difference otherwise."""
import json
import sys


def events(path):
    with open(path, encoding="utf-8") as lines:
        return [{k: v for k, v in json.loads(line).items() if k != "time"}
                for line in lines if line.strip()]


def main():
    expected, actual = events(sys.argv[1]), events(sys.argv[2])
    label = sys.argv[3] if len(sys.argv) > 3 else sys.argv[2]
    for i, (want, got) in enumerate(zip(expected, actual)):
        if want != got:
            print(f"{label}: event {i + 1} differs:\n  expected {want}\n  actual   {got}")
            return 1
    if len(expected) != len(actual):
        print(f"{label}: {len(expected)} events expected, {len(actual)} found")
        return 1
    if not expected:
        print(f"{label}: no events at all")
        return 1
    print(f"{label}: the same {len(expected)} events")
    return 0


if __name__ == "__main__":
    sys.exit(main())
