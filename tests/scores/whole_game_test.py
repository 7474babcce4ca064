#!/usr/bin/env python3
"""The real game verifies for the table: the recorded whole game, submitted
as a replay, is taken with the score `quarvel --verify` gives, ranks first on
an empty table and carries the link `quarvel --replay-link` makes; when the
replay states claims, the same replay with its claimed score raised is
refused with 422. Skipped (77) while the game has no --verify.
  tests/scores/whole_game_test.py QUARVEL_SCORES QUARVEL REPLAY"""
import json
import re
import subprocess
import sys
import tempfile

from scores_support import Server, expect

SKIP = 77


def main():
    program, game, replay_file = sys.argv[1:4]
    verify = subprocess.run([game, "--verify", replay_file], capture_output=True, text=True, timeout=60)
    if verify.returncode == 2 and "--verify" in verify.stderr:
        print(f"whole game: skipped, {game} has no --verify yet ({verify.stderr.strip()})")
        return SKIP
    expect(verify.returncode == 0, f"--verify: {verify.returncode} {verify.stderr}")
    verdict = json.loads(verify.stdout.splitlines()[0])
    link = subprocess.run([game, "--replay-link", replay_file], capture_output=True, text=True, timeout=60)
    expect(link.returncode == 0, f"--replay-link: {link.returncode} {link.stderr}")
    with open(replay_file, encoding="utf-8") as f:
        text = f.read()
    with tempfile.TemporaryDirectory() as folder:
        with Server(program, f"sqlite:{folder}/scores.db", verifier=game) as server:
            status, run = server.submit("ACE", text)
            expect(status == 201, f"the whole game: {status} {run}")
            expect((run["score"], run["rank"], run["frames"], run["stage"]) ==
                   (verdict["score"], 1, verdict["frames"], verdict["lastStage"]), f"{run} against {verdict}")
            expect(run["link"] == link.stdout.strip(), "the link is not the game's")
            status, _, body = server.request("GET", f"/api/runs/{run['id']}")
            expect(status == 200 and json.loads(body)["link"] == run["link"], "the run cannot be watched")
            if verdict["claims"] == "held":
                # The claimed score stands near the end: raise it.
                at = [m for m in re.finditer(rf"\b{verdict['score']}\b", text)][-1]
                forged = text[:at.start()] + str(verdict["score"] + 1000) + text[at.end():]
                status, answer = server.submit("ACE", forged)
                expect(status == 422, f"a raised claim: {status} {answer}")
            expect([r["id"] for r in server.table()] == [run["id"]], "the table holds more than the one run")
    print(f"whole game: taken with {verdict['score']} points, rank 1, watchable")
    return 0


if __name__ == "__main__":
    sys.exit(main())
