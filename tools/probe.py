#!/usr/bin/env python3
"""Plants one single-line change in a scratch copy of the tree, builds it,
runs the tests and says whether any of them failed: a way to see whether the
tests would notice a fault in a line one suspects.

  tools/probe.py FILE LINE 'NEW TEXT' [CTEST OPTIONS...]
  tools/probe.py src/app/settings.cpp 'parseRange(value, 1, 8' \\
      'if (!parseRange(value, 1, 7, s.scale)) return "scale needs a whole number from 1 to 8";'

LINE is a line number, or a piece of text found on exactly one line of FILE.
NEW TEXT replaces that whole line; without leading blanks of its own it keeps
the old line's indentation. CTEST OPTIONS (say -R formats) narrow the run.

Prints one line, "caught: PROGRAM, ... (FAILED CASES)" or "NOT caught", and
exits with 0 when caught, 1 when not, 2 when the change does not build or the
call is wrong; the logs are build.log and ctest.log beside the copy.
The copy is the working tree as it is (tracked files and new ones that git
does not ignore), kept with its one build folder in build-probe/ (or
$QUARVEL_PROBE_DIR) and brought up to date at each probe, so that only what
the change touches is rebuilt. JOBS (default 2) sets the build's jobs.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROBE = os.path.abspath(os.environ.get("QUARVEL_PROBE_DIR", os.path.join(ROOT, "build-probe")))
TREE = os.path.join(PROBE, "tree")
BUILD = os.path.join(PROBE, "build")
JOBS = os.environ.get("JOBS", "2")
CAUGHT, NOT_CAUGHT, BROKEN = 0, 1, 2


def trackedFiles():
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                            check=True, capture_output=True).stdout
    return sorted({name for name in listed.decode().split("\0") if name and os.path.isfile(os.path.join(ROOT, name))})


def syncTree():
    """Makes TREE hold the working tree's files. Only files whose bytes differ
    are written (so they get a new time and are rebuilt); files gone from the
    tree are removed."""
    wanted = trackedFiles()
    for name in wanted:
        source, target = os.path.join(ROOT, name), os.path.join(TREE, name)
        with open(source, "rb") as f:
            data = f.read()
        if os.path.exists(target):
            with open(target, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        os.chmod(target, os.stat(source).st_mode & 0o777)
    keep = set(wanted)
    for folder, _, names in os.walk(TREE):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.relpath(path, TREE) not in keep:
                os.remove(path)


def plant(path, where, text):
    """Replaces one line of TREE/path; returns (line number, old line)."""
    target = os.path.join(TREE, path)
    with open(target, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if where.isdigit():
        number = int(where)
        if not 1 <= number <= len(lines):
            raise ValueError(f"{path} has no line {number}")
    else:
        found = [i + 1 for i, line in enumerate(lines) if where in line]
        if len(found) != 1:
            raise ValueError(f"'{where}' is on {len(found)} lines of {path}, not one: {found[:10]}")
        number = found[0]
    old = lines[number - 1]
    new = text if text[:1].isspace() else re.match(r"\s*", old).group(0) + text
    if new == old:
        raise ValueError(f"{path}:{number} already reads so")
    lines[number - 1] = new
    with open(target, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    return number, old, new


def run(command, log):
    with open(log, "w") as out:
        return subprocess.run(command, stdout=out, stderr=subprocess.STDOUT).returncode


def main():
    if len(sys.argv) < 4:
        print(__doc__.strip(), file=sys.stderr)
        return BROKEN
    path, where, text, ctestOptions = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    path = os.path.relpath(os.path.abspath(path), ROOT) if os.path.isabs(path) else path
    os.makedirs(TREE, exist_ok=True)
    syncTree()
    try:
        number, old, new = plant(path, where, text)
    except (OSError, ValueError) as problem:
        print(f"probe: {problem}", file=sys.stderr)
        return BROKEN
    print(f"probe: {path}:{number}\n  was: {old.strip()}\n  now: {new.strip()}", file=sys.stderr)
    buildLog, testLog = os.path.join(PROBE, "build.log"), os.path.join(PROBE, "ctest.log")
    if not os.path.exists(os.path.join(BUILD, "CMakeCache.txt")):
        if run(["cmake", "-S", TREE, "-B", BUILD, "-DQUARVEL_BENCH=OFF"], buildLog) != 0:
            print(f"probe: cmake failed (log: {buildLog})", file=sys.stderr)
            return BROKEN
    if run(["cmake", "--build", BUILD, "-j", JOBS], buildLog) != 0:
        print(f"does not build: {path}:{number} (log: {buildLog})")
        return BROKEN
    run(["ctest", "--test-dir", BUILD, "-j", JOBS, "--output-on-failure", *ctestOptions], testLog)
    with open(testLog, encoding="utf-8", errors="replace") as f:
        log = f.read()
    if "No tests were found" in log:
        print(f"probe: no tests ran (log: {testLog})", file=sys.stderr)
        return BROKEN
    if "The following tests FAILED:" in log:
        programs = re.findall(r"^\s*\d+ - (\S+) \(", log.split("The following tests FAILED:")[-1], re.M)
        cases = list(dict.fromkeys(re.findall(r"^\[  FAILED  \] (\w+\.\w+)", log, re.M)))
        shown = ", ".join(cases[:4]) + (f" and {len(cases) - 4} more" if len(cases) > 4 else "")
        print(f"caught: {', '.join(programs)}" + (f" ({shown})" if cases else "") + f"; {path}:{number}")
        return CAUGHT
    print(f"NOT caught: {path}:{number}")
    return NOT_CAUGHT


if __name__ == "__main__":
    sys.exit(main())
