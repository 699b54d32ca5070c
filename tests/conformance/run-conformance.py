#!/usr/bin/env python3
"""Runs the peer's control tests plain and skinned and compares their checks.

Every test program runs once without the engine and once per skin with the
engine started before main (KIV_CONFORMANCE_SKIN). A check line that fails
more often skinned than plain is a skin-only failure; so is a skinned run that
does not finish when the plain one does. Files with such lines are run a
second time, plain and skinned, and only lines that are skin-only in both
rounds are reported, so a check that fails now and then under a loaded machine
does not decide the result. The group passes when no skin-only line remains
beyond the listed exclusions.

Programs run under Wine, spread over lanes; each lane has its own prefix,
display and Wine server (cmake/wine-session.sh), so runs in parallel never
share a desktop.
"""

import argparse
import os
import queue
import re
import signal
import subprocess
import sys
import threading
import time
from collections import Counter, OrderedDict

FAILURE = re.compile(r"^([\w.-]+\.[ch]):(\d+):[\d.]* (Test failed|Test succeeded inside todo block): ?(.*)$")
SUMMARY = re.compile(r"^[0-9a-f]+:(\w+):[\d.]* (\d+) tests executed \((\d+) marked as todo, "
                     r"(\d+) as flaky, (\d+) failures?\), (\d+) skipped\.")
START_FAILURE = re.compile(r"^kiv-conformance: (.*)$")
UNFINISHED = "(end)"


class Run:
    """What one program run printed, reduced to its failing checks."""

    def __init__(self, test, mode, output, exit_code, seconds, timed_out):
        self.test = test
        self.mode = mode
        self.output = output
        self.exit_code = exit_code
        self.seconds = seconds
        self.timed_out = timed_out
        self.counts = Counter()      # (file, line) -> failing checks
        self.messages = OrderedDict()  # (file, line) -> first message
        self.executed = None
        self.start_failure = None
        self.exception = None
        for text in output.splitlines():
            if self.exception is None and (("nhandled" in text and "exception" in text) or "page fault" in text):
                self.exception = text.strip()
            match = FAILURE.match(text)
            if match:
                key = (match.group(1), int(match.group(2)))
                self.counts[key] += 1
                self.messages.setdefault(key, match.group(4).strip() or match.group(3))
                continue
            match = SUMMARY.match(text)
            if match:
                self.executed = int(match.group(2))
                continue
            match = START_FAILURE.match(text)
            if match:
                self.start_failure = match.group(1)

    @property
    def finished(self):
        return self.executed is not None and not self.timed_out

    def ending(self):
        if self.timed_out:
            return "did not finish within the time limit"
        if self.start_failure:
            return "could not start the engine: " + self.start_failure
        ending = "ended with exit code %d before its summary" % self.exit_code
        return ending + (": " + self.exception if self.exception else "")


class Lane:
    """One prefix, display and Wine server; runs one program at a time."""

    def __init__(self, args, index):
        self.args = args
        self.state = os.path.join(args.state_root, "lane%d" % index)
        self.work = os.path.join(self.state, "work")

    def start(self):
        os.makedirs(self.work, exist_ok=True)
        subprocess.run([os.path.join(self.args.cmake_dir, "wine-session.sh"), "start", self.state, self.args.winearch],
                       check=True, stdin=subprocess.DEVNULL)

    def stop(self):
        subprocess.run([os.path.join(self.args.cmake_dir, "wine-session.sh"), "stop", self.state],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, test, mode):
        env = dict(os.environ)
        env.pop("KIV_CONFORMANCE_SKIN", None)
        if mode != "plain":
            env["KIV_CONFORMANCE_SKIN"] = windows_path(os.path.join(self.args.bin, mode))
        program = os.path.join(self.args.bin, program_name(test))
        command = [os.path.join(self.args.cmake_dir, "wine-run.sh"), self.state, self.args.winearch, program]
        began = time.monotonic()
        # Tests write files into their current folder: each lane has its own.
        process = subprocess.Popen(command, cwd=self.work, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
        timed_out = False
        try:
            output, _ = process.communicate(timeout=self.args.timeout)
        except subprocess.TimeoutExpired:
            timed_out = True
            os.killpg(process.pid, signal.SIGKILL)
            output, _ = process.communicate()
        seconds = time.monotonic() - began
        text = output.decode("utf-8", "replace")
        log = os.path.join(self.args.state_root, "logs", "%s.%s.txt" % (program_name(test)[:-4], mode_name(mode)))
        with open(log, "w", encoding="utf-8") as handle:
            handle.write(text)
        return Run(test, mode, text, process.returncode, seconds, timed_out)


def keep_first_logs(state_root, tests, modes):
    """The first round's logs of tests run again, kept beside the second's as NAME.MODE.first.txt."""
    for test in tests:
        for mode in modes:
            log = os.path.join(state_root, "logs", "%s.%s.txt" % (program_name(test)[:-4], mode_name(mode)))
            if os.path.exists(log):
                os.replace(log, log[:-4] + ".first.txt")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def program_name(test):
    return "conformance_%s.exe" % test.replace("/", "_")


def mode_name(mode):
    return "plain" if mode == "plain" else "skin-" + os.path.splitext(mode)[0]


def read_durations(path):
    """Seconds each (test, mode) took last time, from 'test mode seconds' lines."""
    durations = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8") as handle:
            for text in handle:
                parts = text.split()
                if len(parts) == 3:
                    try:
                        durations[(parts[0], parts[1])] = float(parts[2])
                    except ValueError:
                        pass
    return durations


def write_durations(path, durations):
    with open(path, "w", encoding="utf-8") as handle:
        for (test, mode), seconds in sorted(durations.items()):
            handle.write("%s %s %.1f\n" % (test, mode, seconds))


def run_all(lanes, jobs, durations):
    """Runs (test, mode) jobs over the lanes, the longest last time first so
    the lanes end together; returns {(test, mode): Run}."""
    pending = queue.Queue()
    for job in sorted(jobs, key=lambda job: -durations.get(job, 0.0)):
        pending.put(job)
    results = {}
    errors = []
    lock = threading.Lock()

    def work(lane):
        while True:
            try:
                test, mode = pending.get_nowait()
            except queue.Empty:
                return
            try:
                run = lane.run(test, mode)
            except Exception as error:  # a lane that cannot run programs ends the whole group
                with lock:
                    errors.append("%s %s: %s" % (test, mode_name(mode), error))
                return
            with lock:
                results[(test, mode)] = run
                print("  %-22s %-14s %6.1f s  %s" % (test, mode_name(mode), run.seconds,
                      "%d failing checks" % sum(run.counts.values()) if run.finished else run.ending()),
                      flush=True)

    threads = [threading.Thread(target=work, args=(lane,)) for lane in lanes]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if errors:
        raise SystemExit("conformance: FAILED: could not run the test programs: " + "; ".join(errors))
    return results


def skin_only(plains, skinneds):
    """(file, line) -> (checks, message) for lines that fail in every skinned
    run more often than in any plain run; a skinned program that never
    finishes while a plain one does counts as one more line."""
    lines = OrderedDict()
    for key, count in skinneds[0].counts.items():
        floor = max(run.counts.get(key, 0) for run in plains)
        if all(run.counts.get(key, 0) > floor for run in skinneds):
            lines[key] = (count - floor, skinneds[0].messages[key])
    if any(run.finished for run in plains) and not any(run.finished for run in skinneds):
        lines[(UNFINISHED, 0)] = (1, skinneds[0].ending())
    return lines


def read_exclusions(path, sources):
    """Lines 'dll/file.c:line | text the source line holds | reason'."""
    exclusions = {}
    if not path or not os.path.exists(path):
        return exclusions
    with open(path, encoding="utf-8") as handle:
        for number, text in enumerate(handle, 1):
            text = text.strip()
            if not text or text.startswith("#"):
                continue
            parts = [part.strip() for part in text.split(" | ")]
            where, _, line = parts[0].rpartition(":")
            if len(parts) != 3 or "/" not in where or not line.isdigit():
                raise SystemExit("%s:%d: expected 'dll/file.c:line | source text | reason'" % (path, number))
            dll, name = where.split("/", 1)
            source = os.path.join(sources, "dlls", dll, "tests", name)
            held = ""
            if os.path.exists(source):
                with open(source, encoding="utf-8", errors="replace") as code:
                    lines = code.read().splitlines()
                if 0 < int(line) <= len(lines):
                    held = lines[int(line) - 1]
            if parts[1] not in held:
                print("conformance: exclusion %s no longer matches its source line; not applied" % parts[0])
                continue
            exclusions[(dll, name, int(line))] = parts[2]
    return exclusions


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", required=True, help="folder of the test programs, KivAPI.dll and the skins")
    parser.add_argument("--cmake-dir", required=True, help="folder of wine-session.sh and wine-run.sh")
    parser.add_argument("--state-root", required=True, help="folder for the lanes' Wine prefixes and the logs")
    parser.add_argument("--winearch", required=True, choices=["win32", "win64"])
    parser.add_argument("--sources", required=True, help="folder of the peer's test sources")
    parser.add_argument("--fetch", required=True, help="script that fetches the peer's test sources")
    parser.add_argument("--exclusions", help="file of excluded check lines")
    parser.add_argument("--skin", action="append", required=True, help="skin file name in --bin (repeatable)")
    parser.add_argument("--jobs", type=int, default=int(os.environ.get("KIV_CONFORMANCE_JOBS", "2")))
    parser.add_argument("--timeout", type=int, default=180, help="seconds one program may run")
    parser.add_argument("tests", nargs="+", help="dll/name of each test file")
    args = parser.parse_args()
    # A developer may name fewer files, e.g. KIV_CONFORMANCE_FILES="comctl32/button user32/static".
    chosen = os.environ.get("KIV_CONFORMANCE_FILES", "").split()
    if chosen:
        unknown = [test for test in chosen if test not in args.tests]
        if unknown:
            print("conformance: FAILED: KIV_CONFORMANCE_FILES names files not in the group: %s" % " ".join(unknown))
            return 1
        args.tests = [test for test in args.tests if test in chosen]
    for name in ("bin", "cmake_dir", "state_root", "sources", "fetch", "exclusions"):
        if getattr(args, name):
            setattr(args, name, os.path.abspath(getattr(args, name)))
    began = time.monotonic()

    if not os.path.exists(os.path.join(args.sources, ".complete")):
        fetched = subprocess.run([args.fetch], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        print(fetched.stdout.decode("utf-8", "replace"), end="")
        if fetched.returncode != 0:
            print("conformance: FAILED: the peer's test sources could not be fetched (see above); "
                  "run tools/setup.sh on a machine that reaches the package archive")
            return 1
        print("conformance: FAILED: the peer's test sources have just been fetched; "
              "configure and build again so the test programs are made")
        return 1
    missing = [test for test in args.tests if not os.path.exists(os.path.join(args.bin, program_name(test)))]
    missing += [skin for skin in args.skin if not os.path.exists(os.path.join(args.bin, skin))]
    if missing:
        print("conformance: FAILED: not built: %s" % ", ".join(missing))
        return 1
    exclusions = read_exclusions(args.exclusions, args.sources)

    os.makedirs(os.path.join(args.state_root, "logs"), exist_ok=True)
    lanes = [Lane(args, index) for index in range(max(1, args.jobs))]
    modes = ["plain"] + args.skin
    try:
        for lane in lanes:
            try:
                lane.start()
            except subprocess.CalledProcessError:
                print("conformance: FAILED: no Wine session could be started in %s" % lane.state)
                return 1
        print("conformance: %d files, plain and with %s, %d lanes" % (len(args.tests), " and ".join(args.skin),
                                                                        len(lanes)), flush=True)
        timings = os.path.join(args.state_root, "durations.txt")
        durations = read_durations(timings)
        first = run_all(lanes, [(test, mode) for test in args.tests for mode in modes], durations)
        durations.update({key: run.seconds for key, run in first.items()})
        write_durations(timings, durations)
        suspects = [test for test in args.tests
                    if any(skin_only([first[(test, "plain")]], [first[(test, skin)]]) for skin in args.skin)]
        second = {}
        if suspects:
            print("conformance: running again to confirm: %s" % ", ".join(suspects), flush=True)
            keep_first_logs(args.state_root, suspects, modes)
            second = run_all(lanes, [(test, mode) for test in suspects for mode in modes], durations)
    finally:
        for lane in lanes:
            lane.stop()

    broken = [test for test in args.tests if not first[(test, "plain")].finished and
              not second.get((test, "plain"), first[(test, "plain")]).finished]
    # (test, file, line) -> [checks, message, skins], in the order first seen.
    lines = OrderedDict()
    excluded = OrderedDict()
    print()
    print("%-18s %6s   %s" % ("file", "plain", "   ".join("%-22s" % mode_name(skin) for skin in args.skin)))
    for test in args.tests:
        dll = test.split("/")[0]
        rounds = [first] + ([second] if test in second else [])
        cells = []
        for skin in args.skin:
            confirmed = skin_only([runs[(test, "plain")] for runs in rounds], [runs[(test, skin)] for runs in rounds])
            only = 0
            for (name, line), (checks, message) in confirmed.items():
                reason = exclusions.get((dll, name, line))
                key = (test, name, line)
                if reason:
                    excluded.setdefault(key, [reason, []])[1].append(mode_name(skin))
                    continue
                only += 1
                entry = lines.setdefault(key, [checks, message, []])
                entry[0] = max(entry[0], checks)
                entry[2].append(mode_name(skin))
            skinned = first[(test, skin)]
            cells.append("%5d, %d skin-only%s" % (sum(skinned.counts.values()), only,
                                                  "" if skinned.finished else ", crash"))
        print("%-18s %6d   %s" % (test, sum(first[(test, "plain")].counts.values()),
                                  "   ".join("%-22s" % cell for cell in cells)))
    print()

    def where(test, name, line):
        return "%s.c" % test if name == UNFINISHED else "%s/%s:%d" % (test.split("/")[0], name, line)

    for (test, name, line), (checks, message, skins) in lines.items():
        print("%s: %s%s [%s]" % (where(test, name, line), message, " (x%d)" % checks if checks > 1 else "",
                                 ", ".join(skins)))
    for (test, name, line), (reason, skins) in excluded.items():
        print("excluded: %s [%s]: %s" % (where(test, name, line), ", ".join(skins), reason))
    for test in broken:
        print("%s: the plain run does not finish: %s" % (test, first[(test, "plain")].ending()))
    print("conformance: %d skin-only lines (%d checks), %d excluded, %.0f s" %
          (len(lines), sum(entry[0] for entry in lines.values()), len(excluded), time.monotonic() - began))
    if broken:
        print("conformance: FAILED: plain runs must finish for the comparison to mean anything")
        return 1
    return 1 if lines else 0


if __name__ == "__main__":
    sys.exit(main())
