#!/usr/bin/env python3
"""SIGTERM finishes the requests in flight and stops: submissions still being
verified when it arrives are answered 201 and are in the table after a
restart; the server ends with status 0 and takes no new connection.
  tests/scores/sigterm_test.py QUARVEL_SCORES"""
import socket
import sys
import tempfile
import threading
import time

from scores_support import Server, expect, replay

IN_FLIGHT = 3


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        database = f"sqlite:{folder}/scores.db"
        with Server(program, database, "--rate", "0", "--workers", "2") as server:
            answers = []

            def submit(n):
                answers.append(server.submit(f"T{n}", replay(1000 + n, f"in flight {n}", slow=1500)))

            threads = [threading.Thread(target=submit, args=(n,)) for n in range(IN_FLIGHT)]
            for thread in threads:
                thread.start()
            time.sleep(0.5)
            code = server.terminate()
            for thread in threads:
                thread.join()
        expect(code == 0, f"the server ended with {code}: {server.log}")
        expect(sorted(status for status, _ in answers) == [201] * IN_FLIGHT, f"in flight: {answers}")
        try:
            socket.create_connection(("127.0.0.1", server.port), timeout=2).close()
            expect(False, "the stopped server still takes connections")
        except OSError:
            pass
        with Server(program, database) as again:
            ids = {run["id"] for run in again.table()}
            expect(ids == {run["id"] for _, run in answers}, f"after the restart: {ids}")
    print(f"SIGTERM: the {IN_FLIGHT} submissions in flight were answered and kept, then the server stopped")


if __name__ == "__main__":
    main()
