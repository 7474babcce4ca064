#!/usr/bin/env python3
"""Two servers on one PostgreSQL serve one table: submissions to both, the
same replays sent to both at once, and both hand out the same table with
every replay once.
  tests/scores/instances_test.py QUARVEL_SCORES"""
import random
import sys
import threading

from scores_support import Postgres, Server, expect, replay

REPLAYS = 40


def main():
    program = sys.argv[1]
    rng = random.Random(7)
    with Postgres() as cluster:
        with Server(program, cluster.url, "--rate", "0") as one, Server(program, cluster.url, "--rate", "0") as two:
            texts = [replay(rng.randrange(50_000), f"shared {n}") for n in range(REPLAYS)]
            answers = []
            lock = threading.Lock()

            def send(server, order):
                for n in order:
                    status, run = server.submit(f"P{n}", texts[n])
                    with lock:
                        answers.append((n, status, run.get("id")))

            # Both servers get every replay, in different orders, at the same time.
            orders = [rng.sample(range(REPLAYS), REPLAYS) for _ in range(4)]
            threads = [threading.Thread(target=send, args=(server, order))
                       for server, order in zip((one, two, one, two), orders)]
            for thread in threads:
                thread.start()
            for thread in threads:
                thread.join()
            expect(all(status in (200, 201) for _, status, _ in answers), f"answers: {answers}")
            created = [n for n, status, _ in answers if status == 201]
            expect(sorted(created) == list(range(REPLAYS)), f"each replay created once: {sorted(created)}")
            ids = {}
            for n, _, run_id in answers:
                expect(ids.setdefault(n, run_id) == run_id, f"replay {n} has two ids")
            table_one, table_two = one.table(), two.table()
            expect(table_one == table_two, "the two servers hand out different tables")
            expect(sorted(run["id"] for run in table_one) == sorted(ids.values()), "the table is not the replays")
    print(f"two servers on one PostgreSQL: {REPLAYS} replays sent {len(answers)} times, one table, no duplicate")


if __name__ == "__main__":
    main()
