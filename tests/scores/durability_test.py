#!/usr/bin/env python3
"""Nothing acknowledged is lost: runs are submitted from several clients in a
loop while the server is killed with SIGKILL at random moments and started
again; every run acknowledged (201, or 200 for one it had) is then in the
table with its score, name and replay. On SQLite or on PostgreSQL.
  tests/scores/durability_test.py sqlite|postgresql QUARVEL_SCORES"""
import random
import sys
import tempfile
import threading
import time

from scores_support import Server, database_for, expect, replay

KILLS = 6
CLIENTS = 4
ACKS_BEFORE_KILL = 3


def main():
    kind, program = sys.argv[1], sys.argv[2]
    rng = random.Random(2025)
    acknowledged = {}  # id -> (name, score, replay)
    lock = threading.Lock()
    counter = iter(range(10**9))
    with tempfile.TemporaryDirectory() as folder:
        database, cluster = database_for(kind, folder)
        started = []
        try:
            for kill in range(KILLS):
                server = Server(program, database, "--rate", "0", "--workers", "2")
                started.append(server)
                server.start()
                stop = threading.Event()

                def client(seed):
                    mine = random.Random(seed)
                    while not stop.is_set():
                        with lock:
                            n = next(counter)
                        score = mine.randrange(100_000)
                        name = f"K{n % 100_000}"
                        text = replay(score, f"run {n}")
                        try:
                            status, run = server.submit(name, text)
                        except (ConnectionError, OSError, ValueError):
                            continue  # killed mid-request: never acknowledged
                        if status in (200, 201):
                            with lock:
                                acknowledged[run["id"]] = (name, score, text)

                clients = [threading.Thread(target=client, args=(kill * 100 + i,)) for i in range(CLIENTS)]
                for thread in clients:
                    thread.start()
                # A few runs acknowledged first (however slow the machine),
                # then the kill at a random moment of the flow.
                wanted = len(acknowledged) + ACKS_BEFORE_KILL
                deadline = time.monotonic() + 60
                while len(acknowledged) < wanted and time.monotonic() < deadline:
                    time.sleep(0.05)
                time.sleep(rng.uniform(0, 1.0))
                server.kill()
                stop.set()
                for thread in clients:
                    thread.join()
            with Server(program, database) as server:
                table = {run["id"]: run for run in server.table()}
                for run_id, (name, score, text) in acknowledged.items():
                    expect(run_id in table, f"run {run_id} was acknowledged and is lost")
                    expect((table[run_id]["name"], table[run_id]["score"]) == (name, score), f"run {run_id} changed")
                sample = rng.sample(sorted(acknowledged), min(20, len(acknowledged)))
                for run_id in sample:
                    status, _, body = server.request("GET", f"/api/runs/{run_id}/replay")
                    expect(status == 200 and body.decode() == acknowledged[run_id][2], f"replay {run_id}")
                scores = [run["score"] for run in server.table()]
                expect(scores == sorted(scores, reverse=True), "the table is out of order")
        finally:
            for server in started:
                if server.process and server.process.poll() is None:
                    server.kill()
            if cluster:
                cluster.__exit__()
    expect(len(acknowledged) >= KILLS * ACKS_BEFORE_KILL, f"too few runs got through: {len(acknowledged)}")
    print(f"durability on {kind}: {KILLS} kills, all {len(acknowledged)} acknowledged runs in the table")


if __name__ == "__main__":
    main()
