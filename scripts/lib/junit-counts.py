#!/usr/bin/env python3
"""Counts a ctest JUnit file: prints "PASSED FAILED SKIPPED", then the slowest tests.

   junit-counts.py FILE [SLOWEST]

Fails (exit 1) when the file is missing, unreadable or holds no test: a stage must never
pass for tests it did not run.
"""
import sys
import xml.etree.ElementTree as ET


def main():
    path = sys.argv[1]
    slowest = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    try:
        cases = list(ET.parse(path).getroot().iter("testcase"))
    except (OSError, ET.ParseError) as e:
        print(f"no readable JUnit file {path}: {e}", file=sys.stderr)
        return 1
    if not cases:
        print(f"{path} holds no test", file=sys.stderr)
        return 1
    passed = failed = skipped = 0
    for case in cases:
        status = case.get("status")
        if status == "run":
            passed += 1
        elif status in ("notrun", "disabled") and case.find("skipped") is not None:
            skipped += 1
        else:
            # "fail", a test ctest could not start, and anything unknown count as failures.
            failed += 1
    print(passed, failed, skipped)
    for case in sorted(cases, key=lambda c: -float(c.get("time") or 0))[:slowest]:
        print(f"  {float(case.get('time') or 0):7.1f} s  {case.get('name')}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
