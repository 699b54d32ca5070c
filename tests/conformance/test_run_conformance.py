#!/usr/bin/env python3
"""The conformance runner's own logic: reading a test program's output,
deciding which lines fail only skinned, and reading the exclusions."""

import importlib.util
import os
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
LOCATION = importlib.util.spec_from_file_location("run_conformance", os.path.join(HERE, "run-conformance.py"))
runner = importlib.util.module_from_spec(LOCATION)
LOCATION.loader.exec_module(runner)

SUMMARY = "0104:combo: 460 tests executed (25 marked as todo, 0 as flaky, {} failures), 0 skipped.\n"


def run(text, mode="plain", exit_code=0, timed_out=False):
    return runner.Run("user32/combo", mode, text, exit_code, 1.0, timed_out)


class ReadingOutput(unittest.TestCase):
    def test_failures_are_counted_per_line_with_the_first_message(self):
        output = ("combo.c:349: Test failed: WM_LBUTTONDOWN was not processed. LastError=0\n"
                  "combo.c:772: Test failed: Test 0: WM_LBUTTONDOWN was not processed.\n"
                  "combo.c:772: Test failed: Test 1: WM_LBUTTONDOWN was not processed.\n"
                  "combo.c:100: Test marked todo: not counted\n"
                  "combo.c:101: Test succeeded inside todo block: counted too\n"
                  "combo.c:102: a trace line\n" + SUMMARY.format(4))
        parsed = run(output)
        self.assertEqual(parsed.counts[("combo.c", 349)], 1)
        self.assertEqual(parsed.counts[("combo.c", 772)], 2)
        self.assertEqual(parsed.counts[("combo.c", 101)], 1)
        self.assertNotIn(("combo.c", 100), parsed.counts)
        self.assertNotIn(("combo.c", 102), parsed.counts)
        self.assertEqual(parsed.messages[("combo.c", 772)], "Test 0: WM_LBUTTONDOWN was not processed.")
        self.assertEqual(parsed.executed, 460)
        self.assertTrue(parsed.finished)

    def test_a_run_without_its_summary_did_not_finish(self):
        crashed = run("tab.c:1273: Test failed: got 0x0\n"
                      "wine: Unhandled page fault on read access to 0000000000000000 at address 0000000140006AF2\n",
                      exit_code=5)
        self.assertFalse(crashed.finished)
        self.assertIn("exit code 5", crashed.ending())
        self.assertIn("page fault", crashed.ending())
        self.assertFalse(run(SUMMARY.format(0), timed_out=True).finished)

    def test_an_engine_that_did_not_start_says_why(self):
        refused = run("kiv-conformance: the skin named by KIV_CONFORMANCE_SKIN could not be loaded\n",
                      mode="default.kiv", exit_code=3)
        self.assertFalse(refused.finished)
        self.assertIn("could not be loaded", refused.ending())


class SkinOnlyLines(unittest.TestCase):
    def test_a_line_failing_more_often_skinned_is_skin_only(self):
        plain = run("combo.c:10: Test failed: a\n" + SUMMARY.format(1))
        skinned = run("combo.c:10: Test failed: a\ncombo.c:10: Test failed: b\n"
                      "combo.c:20: Test failed: c\n" + SUMMARY.format(3), mode="default.kiv")
        lines = runner.skin_only([plain], [skinned])
        self.assertEqual(list(lines), [("combo.c", 10), ("combo.c", 20)])
        self.assertEqual(lines[("combo.c", 10)], (1, "a"))
        self.assertEqual(lines[("combo.c", 20)], (1, "c"))

    def test_lines_failing_as_often_plain_are_not(self):
        plain = run("combo.c:10: Test failed: a\n" + SUMMARY.format(1))
        skinned = run("combo.c:10: Test failed: a\n" + SUMMARY.format(1), mode="default.kiv")
        self.assertEqual(runner.skin_only([plain], [skinned]), {})

    def test_a_line_must_fail_in_every_skinned_round_beyond_every_plain_one(self):
        plain1 = run(SUMMARY.format(0))
        plain2 = run("combo.c:10: Test failed: a\n" + SUMMARY.format(1))
        skinned1 = run("combo.c:10: Test failed: a\ncombo.c:30: Test failed: d\n" + SUMMARY.format(2))
        skinned2 = run("combo.c:30: Test failed: d\n" + SUMMARY.format(1))
        lines = runner.skin_only([plain1, plain2], [skinned1, skinned2])
        self.assertEqual(list(lines), [("combo.c", 30)])

    def test_a_skinned_program_that_never_finishes_counts(self):
        plain = run(SUMMARY.format(0))
        skinned = run("", mode="default.kiv", exit_code=5)
        lines = runner.skin_only([plain], [skinned])
        self.assertIn((runner.UNFINISHED, 0), lines)
        again = run(SUMMARY.format(0), mode="default.kiv")
        self.assertEqual(runner.skin_only([plain, plain], [skinned, again]), {})


class Durations(unittest.TestCase):
    def test_durations_come_back_as_written_and_bad_lines_are_skipped(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "durations.txt")
            self.assertEqual(runner.read_durations(path), {})
            runner.write_durations(path, {("user32/edit", "default.kiv"): 54.25, ("user32/edit", "plain"): 3.5})
            with open(path, "a") as handle:
                handle.write("user32/combo plain fast\nnot a line\n")
            self.assertEqual(runner.read_durations(path),
                             {("user32/edit", "default.kiv"): 54.2, ("user32/edit", "plain"): 3.5})

    def test_a_run_again_keeps_the_first_rounds_logs_beside(self):
        with tempfile.TemporaryDirectory() as folder:
            logs = os.path.join(folder, "logs")
            os.makedirs(logs)
            for mode in ("plain", "skin-dark"):
                with open(os.path.join(logs, "conformance_user32_combo.%s.txt" % mode), "w") as handle:
                    handle.write("first " + mode)
            runner.keep_first_logs(folder, ["user32/combo", "user32/edit"], ["plain", "dark.kiv"])
            self.assertEqual(sorted(os.listdir(logs)), ["conformance_user32_combo.plain.first.txt",
                                                        "conformance_user32_combo.skin-dark.first.txt"])
            with open(os.path.join(logs, "conformance_user32_combo.skin-dark.first.txt")) as handle:
                self.assertEqual(handle.read(), "first skin-dark")


class Exclusions(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        tests = os.path.join(self.folder.name, "dlls", "user32", "tests")
        os.makedirs(tests)
        with open(os.path.join(tests, "static.c"), "w") as source:
            source.write("line one\n    ok(colour == expected, \"Unexpected pixel colour.\\n\");\nline three\n")
        self.list = os.path.join(self.folder.name, "exclusions.txt")

    def tearDown(self):
        self.folder.cleanup()

    def read(self, text):
        with open(self.list, "w") as handle:
            handle.write(text)
        return runner.read_exclusions(self.list, self.folder.name)

    def test_an_entry_applies_while_its_line_holds_the_text(self):
        found = self.read("# comment\nuser32/static.c:2 | ok(colour == expected | the skin paints it\n")
        self.assertEqual(found, {("user32", "static.c", 2): "the skin paints it"})

    def test_an_entry_whose_line_moved_is_not_applied(self):
        self.assertEqual(self.read("user32/static.c:3 | ok(colour == expected | the skin paints it\n"), {})

    def test_a_malformed_entry_stops_the_run(self):
        for entry in ("user32/static.c:2 the skin paints it", "static.c:2 | ok( | reason",
                      "user32/static.c:two | ok( | reason"):
            with self.assertRaises(SystemExit):
                self.read(entry + "\n")


if __name__ == "__main__":
    unittest.main()
