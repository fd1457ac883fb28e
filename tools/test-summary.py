#!/usr/bin/env python3
"""Adds up the results of one test run and prints them as one closing line.

Each CTest test is a GoogleTest program, whose own XML report gives its test
cases; one that left no report failed. The checks made
outside CTest come as lines "check passed: ...", "check FAILED: ..." or
"check skipped: <what>, <reason>" in the file named first. The other
arguments are LABEL=FOLDER, one per build (native, i686, x86_64); each
suite's line names its build. A folder holding
a file "skipped" was not run, for the reason the file gives, and its file
"skipped-suites" names the suites left out, a line each; one holding
"broken" could not run although it should have. The reasons for skipped
builds and checks are repeated just above the closing line.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    total = failed = skipped = 0
    for case in root.iter("testcase"):
        total += 1
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif (case.find("skipped") is not None or case.get("result") == "skipped"
              or case.get("status") == "notrun"):
            skipped += 1
    return total - failed - skipped, failed, skipped


def read_reason(path):
    if not os.path.exists(path):
        return ""
    with open(path) as f:
        return f.read().strip() or "no reason given"


def read_lines(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [line.strip() for line in f if line.strip()]


def main():
    passed = failed = skipped = 0
    skipped_builds = []
    with open(sys.argv[1]) as checks:
        for line in checks:
            if line.startswith("check passed:"):
                passed += 1
            elif line.startswith("check FAILED:"):
                failed += 1
            elif line.startswith("check skipped:"):
                skipped += 1
                skipped_builds.append("skipped: " + line[len("check skipped:"):].strip())
    for argument in sys.argv[2:]:
        label, folder = argument.split("=", 1)
        reason = read_reason(os.path.join(folder, "skipped"))
        if reason:
            suites = read_lines(os.path.join(folder, "skipped-suites")) or [f"{label} suites"]
            for suite in suites:
                print(f"  {suite} ({label}): skipped, {reason}")
            skipped += len(suites)
            skipped_builds.append(f"{label} suites skipped: {reason}")
            continue
        reason = read_reason(os.path.join(folder, "broken"))
        if reason:
            failed += 1
            print(f"  {label} suites: FAILED to run, {reason}")
            continue
        ctest_report = os.path.join(folder, "ctest.xml")
        if not os.path.exists(ctest_report):
            failed += 1
            print(f"missing test report {ctest_report}")
            continue
        for case in ET.parse(ctest_report).getroot().iter("testcase"):
            name = case.get("name")
            own = os.path.join(folder, name + ".xml")
            ran_ok = case.get("status") == "run" and case.find("failure") is None
            if os.path.exists(own):
                p, f, s = gtest_counts(own)
                passed, failed, skipped = passed + p, failed + f, skipped + s
                if not ran_ok and f == 0:
                    failed += 1  # the program itself failed (crash, bad exit code)
                print(f"  {name} ({label}): {p} passed, {f} failed, {s} skipped")
            else:
                # Every suite is a GoogleTest program told to write its
                # report: without one, it ended before it could.
                failed += 1
                print(f"  {name} ({label}): FAILED, no report of its own")
    for line in skipped_builds:
        print(line)
    print(f"tests: {passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
