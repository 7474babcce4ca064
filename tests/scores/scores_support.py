"""What the score server's integration tests share: the server started and
stopped (its port read from its first line), requests with their status,
replays for the stand-in verifier, and a PostgreSQL cluster of its own in a
scratch folder, run as an unprivileged user when the test runs as root."""
import glob
import http.client
import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
STAND_IN = os.path.join(HERE, "stand_in_verifier.py")
START_SECONDS = 20


class Server:
    """quarvel-scores on a free loopback port."""

    def __init__(self, program, database, *options, verifier=STAND_IN):
        self.args = [program, "--listen", "127.0.0.1:0", "--database", database, "--verifier", verifier, *options]
        self.process = None
        self.port = None
        self.log = []

    def start(self):
        self.process = subprocess.Popen(self.args, stderr=subprocess.PIPE, text=True)
        deadline = time.monotonic() + START_SECONDS
        while time.monotonic() < deadline:
            line = self.process.stderr.readline()
            if not line:
                raise RuntimeError(f"the server ended before it served: {' '.join(self.log)}")
            self.log.append(line)
            found = re.search(r"serving http://127\.0\.0\.1:(\d+)/", line)
            if found:
                self.port = int(found.group(1))
                return self
        raise RuntimeError("the server did not start")

    def kill(self):
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()

    def terminate(self, timeout=30):
        self.process.send_signal(signal.SIGTERM)
        code = self.process.wait(timeout)
        self.log += self.process.stderr.readlines()
        return code

    def __enter__(self):
        return self.start()

    def __exit__(self, *ignored):
        if self.process.poll() is None:
            self.kill()

    def request(self, method, path, body=None, headers=None, timeout=60):
        """(status, headers as a dict with lower-case names, body as bytes)"""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            if isinstance(body, str):
                body = body.encode()
            connection.request(method, path, body=body, headers=headers or {})
            response = connection.getresponse()
            return response.status, {k.lower(): v for k, v in response.getheaders()}, response.read()
        finally:
            connection.close()

    def submit(self, name, replay):
        """(status, the JSON answer)"""
        status, _, body = self.request("POST", "/api/runs", json.dumps({"name": name, "replay": replay}),
                                       {"Content-Type": "application/json"})
        return status, json.loads(body)

    def table(self):
        """Every run of the table, page after page."""
        runs, offset = [], 0
        while True:
            status, _, body = self.request("GET", f"/api/table?limit=100&offset={offset}")
            assert status == 200, (status, body)
            page = json.loads(body)
            runs += page["runs"]
            if not page["more"]:
                return runs
            offset += 100


def replay(score, tag, **fields):
    """A replay the stand-in verifier plays to score; tag makes it unique."""
    words = " ".join(f"{key}={value}" for key, value in fields.items())
    return f"stand-in score={score} {words}\n# {tag}\n"


def expect(condition, what):
    if not condition:
        raise AssertionError(what)


class Postgres:
    """A PostgreSQL cluster in a scratch folder, on a Unix socket there,
    removed when it goes. Never the machine's own service."""

    def __init__(self):
        found = sorted(glob.glob("/usr/lib/postgresql/*/bin/initdb"))
        if not found:
            raise RuntimeError("no PostgreSQL: apt-get install postgresql")
        self.bin = os.path.dirname(found[-1])
        self.folder = tempfile.mkdtemp(prefix="qs-pg-")
        self.data = os.path.join(self.folder, "data")
        self.as_user = []
        if os.getuid() == 0:
            nobody = pwd.getpwnam("nobody")
            os.chown(self.folder, nobody.pw_uid, nobody.pw_gid)
            self.as_user = ["runuser", "-u", "nobody", "--"]
        self.url = f"postgresql:///postgres?host={self.folder}&user=quarvel"

    def run(self, *args):
        subprocess.run(self.as_user + list(args), check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       cwd=self.folder)

    def __enter__(self):
        self.run(os.path.join(self.bin, "initdb"), "-D", self.data, "-U", "quarvel", "--auth=trust", "-E", "UTF8")
        options = f"-c listen_addresses='' -k {self.folder} -c fsync=on -c synchronous_commit=on"
        self.run(os.path.join(self.bin, "pg_ctl"), "-D", self.data, "-o", options, "-l",
                 os.path.join(self.folder, "log"), "-w", "start")
        return self

    def __exit__(self, *ignored):
        try:
            self.run(os.path.join(self.bin, "pg_ctl"), "-D", self.data, "-m", "immediate", "-w", "stop")
        finally:
            shutil.rmtree(self.folder, ignore_errors=True)


def database_for(kind, folder):
    """A database URL of the kind ("sqlite" or "postgresql") and what to
    close it with."""
    if kind == "sqlite":
        return f"sqlite:{folder}/scores.db", None
    cluster = Postgres().__enter__()
    return cluster.url, cluster
