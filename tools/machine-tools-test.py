#!/usr/bin/env python3
"""Tests of the tools that decide what this machine runs and that add up a
test run: tools/wine-machine.sh and tools/test-summary.py.
   python3 tools/machine-tools-test.py"""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))


def machine(script, **env):
    """Runs a bash snippet after sourcing wine-machine.sh; its output."""
    environment = {k: v for k, v in os.environ.items()
                   if not k.startswith("QWP_") and k != "WINELOADER"}
    environment.update(env)
    return subprocess.run(["bash", "-c", f". '{HERE}/wine-machine.sh'; {script}"],
                          env=environment, capture_output=True, text=True, check=True).stdout.strip()


class WineMachineTest(unittest.TestCase):
    def test_kernel_probe_answers_for_this_machine(self):
        # The probe runs a real i386 program: it either ran or the kernel
        # refused it; anything else means the probe itself is wrong.
        self.assertIn(machine('echo "$QWP_KERNEL_32BIT"'), ("yes", "no"))

    def test_paths_by_kernel_and_override(self):
        cases = [
            # (kernel answer, QWP_WINE64_ONLY, path, build, loader, reason)
            ("yes", "", "both", "win32", "", ""),
            ("no", "", "64-bit only", "win64", "/usr/lib/wine/wine64",
             "this machine's kernel runs no 32-bit code"),
            ("yes", "1", "64-bit only", "win64", "/usr/lib/wine/wine64",
             "QWP_WINE64_ONLY=1: Wine's 64-bit loader only"),
            ("no", "1", "64-bit only", "win64", "/usr/lib/wine/wine64",
             "this machine's kernel runs no 32-bit code"),
            # A probe that could not tell keeps both: a failing i686 probe
            # is then a failure, never a skip.
            ("unknown: exit 139", "", "both", "win32", "", ""),
        ]
        for kernel, only, path, build, loader, reason in cases:
            with self.subTest(kernel=kernel, only=only):
                env = {"QWP_KERNEL_32BIT": kernel}
                if only:
                    env["QWP_WINE64_ONLY"] = only
                seen = machine('echo "$QWP_WINE_PATH|${WINELOADER:-}|$(qwp_no_32bit_reason)"', **env)
                self.assertEqual(seen, f"{path}|{loader}|{reason}")
                answer = subprocess.run(["bash", f"{HERE}/wine-machine.sh", "build"],
                                        env={**os.environ, **env, "QWP_WINE64_ONLY": only},
                                        capture_output=True, text=True, check=True).stdout.strip()
                self.assertEqual(answer, build)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


def ctest_report(folder, suites):
    root = ET.Element("testsuite")
    for name, status in suites:
        ET.SubElement(root, "testcase", name=name, status=status)
    ET.ElementTree(root).write(os.path.join(folder, "ctest.xml"))


def gtest_report(folder, suite, outcomes):
    root = ET.Element("testsuites")
    for i, outcome in enumerate(outcomes):
        case = ET.SubElement(root, "testcase", name=f"case{i}", status="run", result="completed")
        if outcome == "fail":
            ET.SubElement(case, "failure", message="x")
        elif outcome == "skip":
            ET.SubElement(case, "skipped")
    ET.ElementTree(root).write(os.path.join(folder, suite + ".xml"))


class SummaryTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.checks = os.path.join(self.temp.name, "checks.log")
        write(self.checks, "check passed: one\n")

    def tearDown(self):
        self.temp.cleanup()

    def folder(self, name):
        path = os.path.join(self.temp.name, name)
        os.makedirs(path, exist_ok=True)
        return path

    def summary(self, *builds):
        run = subprocess.run([sys.executable, f"{HERE}/test-summary.py", self.checks, *builds],
                             capture_output=True, text=True)
        return run.returncode, run.stdout.splitlines()

    def test_skipped_build_names_each_suite_and_its_reason(self):
        i686 = self.folder("win32")
        write(os.path.join(i686, "skipped"), "this machine's kernel runs no 32-bit code\n")
        write(os.path.join(i686, "skipped-suites"), "instutils\nwizard\n")
        x86_64 = self.folder("win64")
        ctest_report(x86_64, [("instutils", "run"), ("wizard", "run")])
        gtest_report(x86_64, "instutils", ["pass", "pass", "skip"])
        gtest_report(x86_64, "wizard", ["pass"])
        code, lines = self.summary(f"i686={i686}", f"x86_64={x86_64}")
        self.assertEqual(code, 0)
        self.assertIn("  wizard (i686): skipped, this machine's kernel runs no 32-bit code", lines)
        self.assertEqual(lines[-2], "i686 suites skipped: this machine's kernel runs no 32-bit code")
        self.assertEqual(lines[-1], "tests: 4 passed, 0 failed, 3 skipped")

    def test_skipped_check_counts_and_names_its_reason(self):
        write(self.checks, "check passed: one\n"
              "check skipped: the signed setup installed under Wine, this machine's kernel runs no 32-bit code\n")
        x86_64 = self.folder("win64")
        ctest_report(x86_64, [("instutils", "run")])
        gtest_report(x86_64, "instutils", ["pass"])
        code, lines = self.summary(f"x86_64={x86_64}")
        self.assertEqual(code, 0)
        self.assertEqual(lines[-2], "skipped: the signed setup installed under Wine, "
                                    "this machine's kernel runs no 32-bit code")
        self.assertEqual(lines[-1], "tests: 2 passed, 0 failed, 1 skipped")

    def test_outcomes_that_fail_the_run(self):
        cases = {
            "broken Wine": lambda f: write(os.path.join(f, "broken"), "the i686 probe failed\n"),
            "no report at all": lambda f: None,
            "suite without its own report": lambda f: ctest_report(f, [("wizard", "run")]),
            "a failing case": lambda f: (ctest_report(f, [("wizard", "run")]),
                                         gtest_report(f, "wizard", ["pass", "fail"])),
            "crash after its report": lambda f: (ctest_report(f, [("wizard", "failed")]),
                                                 gtest_report(f, "wizard", ["pass"])),
        }
        for name, make in cases.items():
            with self.subTest(name):
                folder = self.folder(name.replace(" ", "-"))
                make(folder)
                code, lines = self.summary(f"i686={folder}")
                self.assertEqual(code, 1, lines)
                self.assertRegex(lines[-1], r"^tests: \d+ passed, [1-9]\d* failed, \d+ skipped$")


if __name__ == "__main__":
    unittest.main()
