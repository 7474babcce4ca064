#!/usr/bin/env python3
"""Hostile and broken requests get the right status every time and leave the
table as it was: broken JSON, huge bodies, binary, control characters, SQL
and HTML in names, forged claims, replays from another rules version, a
replay that crashes, hangs or floods the game, a full verification queue, a
client that goes silent, a flood from one address. Last, a run deleted from
the command line is gone.
  tests/scores/battery_test.py QUARVEL_SCORES"""
import json
import random
import socket
import subprocess
import sys
import tempfile
import threading
import time

from scores_support import Server, expect, replay


def statuses(server, cases):
    for what, method, path, body, headers, wanted in cases:
        status, _, answer = server.request(method, path, body, headers)
        expect(status == wanted, f"{what}: {status} {answer[:200]!r}, not {wanted}")
        if status >= 400:
            expect("error" in json.loads(answer), f"{what}: no reason given: {answer[:200]!r}")


def main():
    program = sys.argv[1]
    rng = random.Random(25)
    with tempfile.TemporaryDirectory() as folder:
        database = f"sqlite:{folder}/scores.db"
        with Server(program, database, "--rate", "0", "--verify-seconds", "2", "--timeout", "1") as server:
            # A table to keep: two runs, one with SQL and one with HTML in its name.
            for name, score in (("ACE", 700), ("X');DROP--", 500), ('<I>"&\'</I>', 300)):
                status, run = server.submit(name, replay(score, name))
                expect(status == 201 and run["name"] == name and run["score"] == score, f"{name}: {status} {run}")
            before = server.table()
            expect([run["name"] for run in before] == ["ACE", "X');DROP--", '<I>"&\'</I>'], f"table: {before}")

            post = {"Content-Type": "application/json"}
            body = lambda name, text: json.dumps({"name": name, "replay": text})  # noqa: E731
            good = replay(100, "never stored")
            cases = [
                ("broken JSON", "POST", "/api/runs", '{"name": "ACE", "replay": ', post, 400),
                ("trailing comma", "POST", "/api/runs", '{"name": "ACE", "replay": "x",}', post, 400),
                ("an array", "POST", "/api/runs", "[1, 2]", post, 400),
                ("no replay", "POST", "/api/runs", '{"name": "ACE"}', post, 400),
                ("replay a number", "POST", "/api/runs", '{"name": "ACE", "replay": 5}', post, 400),
                ("empty replay", "POST", "/api/runs", body("ACE", ""), post, 400),
                ("empty body", "POST", "/api/runs", "", post, 400),
                ("binary", "POST", "/api/runs", bytes(rng.randrange(256) for _ in range(4000)), post, 400),
                ("invalid UTF-8", "POST", "/api/runs", b'{"name": "ACE", "replay": "\xff\xfe"}', post, 400),
                ("huge body", "POST", "/api/runs", body("ACE", "x" * 70_000), post, 413),
                ("lower case", "POST", "/api/runs", body("ace", good), post, 400),
                ("eleven letters", "POST", "/api/runs", body("ABCDEFGHIJK", good), post, 400),
                ("empty name", "POST", "/api/runs", body("", good), post, 400),
                ("blank first", "POST", "/api/runs", body(" ACE", good), post, 400),
                ("a tab", "POST", "/api/runs", body("A\tB", good), post, 400),
                ("a new line", "POST", "/api/runs", body("A\nB", good), post, 400),
                ("NUL", "POST", "/api/runs", body("A\u0000B", good), post, 400),
                ("escape", "POST", "/api/runs", body("A\u001b[2J", good), post, 400),
                ("DEL", "POST", "/api/runs", body("A\u007f", good), post, 400),
                ("not ASCII", "POST", "/api/runs", body("ÄÖÜ", good), post, 400),
                ("HTML, lower case", "POST", "/api/runs", body("<script>", good), post, 400),
                ("braces", "POST", "/api/runs", body("{}", good), post, 400),
                ("forged claim", "POST", "/api/runs", body("ACE", replay(9999, "f", claims="broken")), post, 422),
                ("rules version 7", "POST", "/api/runs", body("ACE", replay(100, "v", version=7)), post, 422),
                ("no replay at all", "POST", "/api/runs", body("ACE", "seed 2\n1 down space\n"), post, 422),
                ("the game crashes", "POST", "/api/runs", body("ACE", replay(100, "c", do="crash")), post, 422),
                ("the game hangs", "POST", "/api/runs", body("ACE", replay(100, "h", do="hang")), post, 422),
                ("the game spins", "POST", "/api/runs", body("ACE", replay(100, "s", do="spin")), post, 422),
                ("the game floods", "POST", "/api/runs", body("ACE", replay(100, "f", do="flood")), post, 422),
                ("the game babbles", "POST", "/api/runs", body("ACE", replay(100, "g", do="garbage")), post, 422),
                ("a stage of 9", "POST", "/api/runs", body("ACE", replay(100, "9", stage=9)), post, 422),
                ("limit 101", "GET", "/api/table?limit=101", None, {}, 400),
                ("limit 0", "GET", "/api/table?limit=0", None, {}, 400),
                ("limit a word", "GET", "/api/table?limit=ten", None, {}, 400),
                ("offset below 0", "GET", "/api/table?offset=-1", None, {}, 400),
                ("offset with SQL", "GET", "/api/table?offset=1%20OR%201%3D1", None, {}, 400),
                ("no such run", "GET", "/api/runs/999999", None, {}, 404),
                ("a run by word", "GET", "/api/runs/abc", None, {}, 404),
                ("a run by SQL", "GET", "/api/runs/1%27%20OR%20%271%27%3D%271", None, {}, 404),
                ("a run id too big", "GET", "/api/runs/99999999999999999999999", None, {}, 404),
                ("no such replay", "GET", "/api/runs/999999/replay", None, {}, 404),
                ("a long address", "GET", "/api/table?x=" + "a" * 9000, None, {}, 414),
            ]
            statuses(server, cases)

            # Headers past the library's 8 KB: the connection is refused an answer.
            status, _, _ = server.request("GET", "/api/table", headers={"X-Big": "a" * 9000})
            expect(status == 400, f"huge header: {status}")

            # A client that sends half a request and goes silent is dropped.
            silent = socket.create_connection(("127.0.0.1", server.port))
            silent.sendall(b"POST /api/runs HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\n{\"name\"")
            silent.settimeout(10)
            started = time.monotonic()
            while silent.recv(4096):
                pass
            expect(time.monotonic() - started < 9, "a silent client was never dropped")
            silent.close()

            after = server.table()
            expect(after == before, f"the table changed:\n{before}\n{after}")
            # The SQL and HTML names came back exactly as sent, nothing escaped twice.
            status, _, answer = server.request("GET", f"/api/runs/{before[1]['id']}")
            expect(json.loads(answer)["name"] == "X');DROP--", f"SQL name: {answer!r}")

        # A full queue: one worker, one place waiting; the third is sent away.
        with Server(program, database, "--rate", "0", "--workers", "1", "--queue", "1") as server:
            answers = []

            def slow(tag):
                status, headers, answer = server.request("POST", "/api/runs", body("Q", replay(50, tag, slow=1500)))
                answers.append((status, headers, json.loads(answer)))

            threads = [threading.Thread(target=slow, args=(f"queue {i}",)) for i in range(3)]
            for thread in threads:
                thread.start()
                time.sleep(0.2)
            for thread in threads:
                thread.join()
            codes = sorted(status for status, _, _ in answers)
            expect(codes == [201, 201, 503], f"full queue: {codes}")
            refused = [(headers, run) for status, headers, run in answers if status == 503][0]
            expect("error" in refused[1] and int(refused[0]["retry-after"]) >= 1, f"503: {refused}")
            before = server.table()

        # A flood from one address: ten a minute, then 429 with Retry-After.
        with Server(program, database) as server:
            codes = [server.submit("F", replay(10, f"flood {i}", do="garbage"))[0] for i in range(12)]
            expect(codes[:10] == [422] * 10 and codes[10:] == [429, 429], f"flood: {codes}")
            status, headers, _ = server.request("POST", "/api/runs", body("F", good), post)
            expect(status == 429 and int(headers.get("retry-after", "0")) >= 1, f"flood: {status} {headers}")
            expect(server.table() == before, "the flood changed the table")
        # Moderation from the command line: the run goes, its id stays unused.
        gone = before[0]["id"]
        deleted = subprocess.run([program, "--database", database, "--delete", str(gone)], capture_output=True, text=True)
        expect(deleted.returncode == 0 and deleted.stdout == f"deleted run {gone}\n", f"--delete: {deleted}")
        again = subprocess.run([program, "--database", database, "--delete", str(gone)], capture_output=True, text=True)
        expect(again.returncode == 1 and "no run has the id" in again.stderr, f"--delete again: {again}")
        with Server(program, database) as server:
            ids = [run["id"] for run in server.table()]
            expect(ids == [run["id"] for run in before if run["id"] != gone] and
                   server.request("GET", f"/api/runs/{gone}")[0] == 404, "the deleted run is still there")
    print("battery: every bad request got its status and the table stayed as it was; --delete deletes")


if __name__ == "__main__":
    main()
