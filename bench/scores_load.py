#!/usr/bin/env python3
"""The score server's load figures: a table seeded with RUNS runs, the server
started on the loopback address with the stand-in verifier (or the real
game with --game), and scores_load driving it for SECONDS.
  bench/scores_load.py sqlite|postgresql BUILD_DIR [--seconds S] [--runs N]
      [--readers N] [--submitters N] [--game]
BUILD_DIR holds quarvel-scores and scores_load (a Release build is fair)."""
import argparse
import os
import sqlite3
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "scores"))
from scores_support import Postgres, Server  # noqa: E402

SEED = """INSERT INTO runs (name, score, stage, frames, version, played, submitted_ms, link, replay_hash, replay)
SELECT 'SEED' || (n % 1000), (n * 7919) % 100000, 1 + n % 4, 9000, 1, '2026-12-09T02:42:36Z',
       1796000000000 + n, '#replay=AAAA', 'seed ' || n, 'seed replay'
FROM {series}"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["sqlite", "postgresql"])
    parser.add_argument("build")
    parser.add_argument("--seconds", type=float, default=20)
    parser.add_argument("--runs", type=int, default=10000)
    parser.add_argument("--readers", type=int, default=16)
    parser.add_argument("--submitters", type=int, default=4)
    parser.add_argument("--game", action="store_true", help="verify with the real game, bench/whole_game.txt")
    args = parser.parse_args()
    program = os.path.join(args.build, "quarvel-scores")
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    options = {}
    load = [os.path.join(args.build, "scores_load"), "0", "--readers", str(args.readers),
            "--submitters", str(args.submitters), "--seconds", str(args.seconds)]
    if args.game:
        options["verifier"] = os.path.join(args.build, "quarvel")
        load += ["--replay", os.path.join(root, "bench", "whole_game.txt")]
    with tempfile.TemporaryDirectory() as folder:
        cluster = None
        if args.kind == "sqlite":
            database = f"sqlite:{folder}/scores.db"
        else:
            cluster = Postgres().__enter__()
            database = cluster.url
        try:
            Server(program, database).start().terminate()  # makes the schema
            if args.kind == "sqlite":
                with sqlite3.connect(f"{folder}/scores.db") as db:
                    db.execute(SEED.format(series=f"(WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s "
                                                  f"WHERE n < {args.runs}) SELECT n FROM s)"))
            else:
                cluster.run("psql", "-q", "-h", cluster.folder, "-U", "quarvel", "-d", "postgres", "-c",
                            SEED.format(series=f"generate_series(1, {args.runs}) AS s(n)"))
            with Server(program, database, "--rate", "0", **options) as server:
                load[1] = str(server.port)
                subprocess.run(load, check=True)
        finally:
            if cluster:
                cluster.__exit__()


if __name__ == "__main__":
    main()
