#!/usr/bin/env python3
"""Fails when an include points up or across the layers, anywhere: in src/,
the tests, the benchmarks and the fuzz targets.

  tools/check_layers.py             check the tree
  tools/check_layers.py --self-test plant faults in a copy and see each caught

The layers, bottom to top (see "Code map" in the README):
  base; formats, os; machine; backends, harness; gfx; game; story;
  stage_one, stage_two, stage_three (side by side); app. Beside the game,
  on base, formats and os alone: scores (the high-score server).
The game (gfx, game, story, the stages) sees the machine through
machine/machine.h alone. The machine's state (machine/machine_state.h) is
its own. SDL belongs to the back ends. Nothing in src/ ends the process
(a run ends by returning from main), and no co_await stands in an if or
while condition (g++ 12 miscompiles it).
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

# What each folder of src/ may include besides itself.
BELOW = {
    "base": set(),
    "formats": {"base"},
    "os": {"base"},
    "machine": {"base", "formats", "os"},
    "backends": {"base", "formats", "os", "machine"},
    "harness": {"base", "formats", "os", "machine"},
    "gfx": {"base", "formats", "machine"},
    "game": {"base", "formats", "machine", "gfx"},
    "story": {"base", "formats", "machine", "gfx", "game"},
    "stage_one": {"base", "formats", "machine", "gfx", "game", "story"},
    "stage_two": {"base", "formats", "machine", "gfx", "game", "story"},
    "stage_three": {"base", "formats", "machine", "gfx", "game", "story"},
}
BELOW["app"] = set(BELOW) - {"app"}
# The score server: a program of its own beside the game, never part of it.
BELOW["scores"] = {"base", "formats", "os"}
GAME = {"gfx", "game", "story", "stage_one", "stage_two", "stage_three"}
# The machine headers that are not the game's: back ends, observers, the app's controls.
GAME_MAY_SEE_OF_MACHINE = {"machine/machine.h", "machine/kinds.h"}
PRIVATE = {"machine/machine_state.h": "machine"}

# What a test program of each group may reach, its helpers included: its
# layer and everything below, with the headless back end and the harness
# the in-process sessions run on.
RUNS_ON = {"base", "formats", "os", "machine", "backends", "harness"}
TESTS = {
    "formats": {"base", "formats"},
    "os": {"base", "os"},
    "machine": {"base", "formats", "os", "machine"},
    "backends": RUNS_ON - {"harness"},
    "harness": RUNS_ON,
    "tools": RUNS_ON | {"gfx"},
}
for layer in GAME:
    TESTS[layer] = RUNS_ON | BELOW[layer] | {layer}
TESTS["app"] = TESTS["player"] = set(BELOW) - {"scores"}
TESTS["scores"] = {"base", "formats", "os", "scores"}
BENCH = set(BELOW) - {"app"}
# Fuzz targets: the pure readers, and the app's own command line, settings
# and replays played through the whole game.
FUZZ_APP = {"command_line.cpp", "settings.cpp", "replay_play.cpp"}
# ... and the score server's readers of requests.
FUZZ_SCORES = {"request.cpp"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SYSTEM_SDL = re.compile(r'^\s*#\s*include\s+<SDL', re.M)
# g++ 12 crashes at run time on `if (co_await task())` and the like.
AWAIT_IN_CONDITION = re.compile(r'\b(?:if|while)\s*\((?:[^()]|\([^()]*\))*\bco_await\b')
EXITS = re.compile(r'\b(?:std::)?(?:_Exit|exit|quick_exit|abort)\s*\(')


def includes(path):
    with open(path, encoding="utf-8") as f:
        return INCLUDE.findall(f.read())


def check(root):
    problems = []
    src = os.path.join(root, "src")
    for folder in sorted(os.listdir(src)):
        if folder not in BELOW:
            problems.append(f"src/{folder}: no known layer")
            continue
        for name in sorted(os.listdir(os.path.join(src, folder))):
            path = os.path.join(src, folder, name)
            rel = f"src/{folder}/{name}"
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for target in INCLUDE.findall(text):
                layer = target.split("/")[0]
                if layer == folder:
                    continue
                if target in PRIVATE and PRIVATE[target] != folder:
                    problems.append(f"{rel}: includes {target}, private to src/{PRIVATE[target]}")
                elif layer not in BELOW[folder]:
                    problems.append(f"{rel}: includes {target}, which reaches up or across (from {folder})")
                elif folder in GAME and layer == "machine" and target not in GAME_MAY_SEE_OF_MACHINE:
                    problems.append(f"{rel}: the game sees the machine through machine/machine.h, not {target}")
            if SYSTEM_SDL.search(text) and folder != "backends":
                problems.append(f"{rel}: only src/backends may include SDL")
            for line_number, line in enumerate(text.splitlines(), 1):
                code = line.split("//")[0]
                if EXITS.search(code):
                    problems.append(f"{rel}:{line_number}: ends the process; a run ends by returning from main")
                if AWAIT_IN_CONDITION.search(code):
                    problems.append(f"{rel}:{line_number}: co_await in a condition, which g++ 12 miscompiles; "
                                    "await into a local first")

    # Test helpers: which layers each reaches, through the helpers it includes
    # (a helper's header and its source: linking one links what the other needs).
    support = os.path.join(root, "tests", "support")
    reach_cache = {}

    def reach(path, seen=()):
        if path in reach_cache:
            return reach_cache[path]
        layers = set()
        for target in includes(path):
            layer = target.split("/")[0]
            if layer == "support":
                helper = os.path.join(support, target.split("/", 1)[1])
                for part in (helper, os.path.splitext(helper)[0] + ".cpp"):
                    if part != path and part not in seen and os.path.exists(part):
                        layers |= reach(part, seen + (path,))
            elif layer in BELOW:
                layers.add(layer)
                if target in PRIVATE:
                    layers.add("private:" + target)
        reach_cache[path] = layers
        return layers

    def checkReach(rel, path, allowed):
        layers = reach(path)
        for layer in sorted(layers - allowed):
            problems.append(f"{rel}: reaches {layer.replace('private:', '')}, beyond what it may link")

    tests = os.path.join(root, "tests")
    for group in sorted(os.listdir(tests)):
        folder = os.path.join(tests, group)
        if group == "support" or not os.path.isdir(folder) or not any(n.endswith(".cpp") for n in os.listdir(folder)):
            continue
        if group not in TESTS:
            problems.append(f"tests/{group}: no known test layer")
            continue
        for name in sorted(os.listdir(folder)):
            if name.endswith((".cpp", ".h")):
                checkReach(f"tests/{group}/{name}", os.path.join(folder, name), TESTS[group])
    for name in sorted(os.listdir(os.path.join(root, "bench"))):
        if name.endswith((".cpp", ".h")):
            checkReach(f"bench/{name}", os.path.join(root, "bench", name), BENCH)
    for name in sorted(os.listdir(os.path.join(root, "fuzz"))):
        if name.endswith(".cpp"):
            allowed = set(BELOW) - {"scores"} if name in FUZZ_APP else {"base", "formats"}
            if name in FUZZ_SCORES:
                allowed = TESTS["scores"]
            checkReach(f"fuzz/{name}", os.path.join(root, "fuzz", name), allowed)

    # What the test programs link, as CMakeLists.txt says: the app only for
    # the app's own tests.
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        for group, libs in re.findall(r"set\(TEST_LIBS_(\w+) ([^)]*)\)", f.read()):
            if "q_app" in libs.split() and group not in ("app", "player"):
                problems.append(f"CMakeLists.txt: test_{group} links q_app")
    return problems


def selfTest():
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    plants = [
        ("src/gfx/text.cpp", '#include "app/flow.h"\n'),
        ("src/machine/drawing.cpp", '#include "backends/headless.h"\n'),
        ("src/stage_one/stage_one.cpp", '#include "stage_two/stage_two.h"\n'),
        ("src/backends/headless.h", '#include "machine/machine_state.h"\n'),
        ("src/game/title.cpp", '#include "machine/observer.h"\n'),
        ("src/game/title.cpp", "#include <SDL.h>\n"),
        ("src/os/files.cpp", "void leave() { std::exit(1); }\n"),
        ("src/app/flow.cpp", "void leave() { std::exit(1); }\n"),
        ("src/game/title.cpp", "Task<> t(Game& g) { if (co_await runTitleScreen(g) == TitleChoice::StartGame) {} }\n"),
        ("tests/gfx/text_test.cpp", '#include "support/player_support.h"\n'),
        ("tests/stage_one/play_test.cpp", '#include "support/player_two.h"\n'),
        ("fuzz/wav.cpp", '#include "machine/machine.h"\n'),
        ("src/scores/server.cpp", '#include "machine/machine.h"\n'),
        ("tests/scores/names_test.cpp", '#include "game/title.h"\n'),
    ]
    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        for folder in ("src", "tests", "bench", "fuzz"):
            shutil.copytree(os.path.join(here, folder), os.path.join(scratch, folder))
        shutil.copy(os.path.join(here, "CMakeLists.txt"), scratch)
        if check(scratch):
            print("layers self-test: the tree itself fails", file=sys.stderr)
            return 1
        for path, line in plants:
            target = os.path.join(scratch, path)
            with open(target, encoding="utf-8") as f:
                original = f.read()
            with open(target, "w", encoding="utf-8") as f:
                f.write(line + original)
            if not check(scratch):
                print(f"layers self-test: not caught: {line.strip()} in {path}", file=sys.stderr)
                failed = True
            with open(target, "w", encoding="utf-8") as f:
                f.write(original)
    if not failed:
        print(f"layers self-test: all {len(plants)} planted faults caught")
    return 1 if failed else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return selfTest()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = check(root)
    for problem in problems:
        print(problem, file=sys.stderr)
    if not problems:
        print("layers: every include points down")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
