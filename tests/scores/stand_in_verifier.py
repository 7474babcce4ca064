#!/usr/bin/env python3
"""Stands in for `quarvel --verify FILE` and `quarvel --replay-link FILE` in
the server's tests, keeping their contract (one line of JSON; exit 0 held,
1 a broken claim, 2 not playable, one line on stderr for 1 and 2).

It plays only its own replays, whose first line says how they turn out:
  stand-in score=N [stage=S] [frames=F] [version=V] [claims=held|none|broken]
           [played=TIME|null] [do=hang|crash|garbage|flood|spin] [slow=MS]
and whatever follows makes each replay a different one. `do` makes it
misbehave: hang (sleep for ever), crash (SIGSEGV), garbage (not JSON),
flood (print 8 MB), spin (burn CPU for ever); slow=MS plays as told but
takes that long.
"""
import base64
import os
import signal
import sys
import time

RULES_VERSION = 1


def fail(code, why):
    print("quarvel: " + why, file=sys.stderr)
    sys.exit(code)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("--verify", "--replay-link"):
        fail(2, "usage: --verify FILE | --replay-link FILE")
    try:
        with open(sys.argv[2], "rb") as f:
            data = f.read()
    except OSError as error:
        fail(2, f"{sys.argv[2]}: {error.strerror}")
    first = data.split(b"\n", 1)[0].decode("ascii", "replace").split()
    if not first or first[0] != "stand-in":
        fail(2, f"{sys.argv[2]}:1: not a replay")
    fields = dict(word.split("=", 1) for word in first[1:] if "=" in word)
    if sys.argv[1] == "--replay-link":
        print("#replay=" + base64.urlsafe_b64encode(data[:2000]).decode().rstrip("="))
        return
    action = fields.get("do")
    if action == "hang":
        time.sleep(3600)
    elif action == "crash":
        os.kill(os.getpid(), signal.SIGSEGV)
    elif action == "garbage":
        print("this is not a verdict")
        return
    elif action == "flood":
        sys.stdout.write("x" * (8 << 20))
        return
    elif action == "spin":
        while True:
            pass
    time.sleep(int(fields.get("slow", "0")) / 1000)
    version = int(fields.get("version", RULES_VERSION))
    if version != RULES_VERSION:
        fail(2, f"{sys.argv[2]}: rules version {version}; this game plays version {RULES_VERSION}")
    score = int(fields.get("score", "0"))
    claims = fields.get("claims", "held")
    if claims == "broken":
        fail(1, f"{sys.argv[2]}: the replay claims a score of {score + 1000}, it plays to {score}")
    played = fields.get("played", "2026-12-09T02:42:36Z")
    played_json = "null" if played == "null" else f'"{played}"'
    print(f'{{"version":{version},"seed":2,"frames":{fields.get("frames", "9000")},"score":{score},'
          f'"highScore":{score},"lastStage":{fields.get("stage", "4")},"lastFrameCrc":"9a0b1c2d",'
          f'"claims":"{claims}","played":{played_json}}}')


if __name__ == "__main__":
    main()
