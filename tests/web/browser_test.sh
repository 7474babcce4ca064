#!/usr/bin/env bash
# The browser build, frame for frame: plays the recorded whole game and one
# scripted run of each stage in Chromium headless (a static server on
# 127.0.0.1 only) and in the native headless program, and compares the frame
# fingerprints, the sound log, the saved high score and the exit code; then
# plays with the keyboard, the touch buttons and a gamepad (input_test.js),
# checks the page itself (site_test.js), the page with the game's own signals
# (game_test.js) and the web app's icons.
#   tests/web/browser_test.sh SITE_FOLDER NATIVE_BUILD_FOLDER
set -euo pipefail

site=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
source "$source_dir/tests/same_game.sh"
work=$(mktemp -d)
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The served folder: the site and the scripts of this test, nothing else.
mkdir -p "$work/served"
for file in "$site"/*; do ln -s "$file" "$work/served/"; done
cp "$source_dir/bench/whole_game.txt" "$here"/stage?.txt "$work/served/"

python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/served" >"$work/server.log" 2>&1 &
server_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/.*127\.0\.0\.1 port \([0-9]*\).*/\1/p' "$work/server.log" | head -n1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "browser test: the static server did not start" >&2; cat "$work/server.log" >&2; exit 1; }

# Runs the page with URL options; leaves the page's results in folder $1.
# Each run has its own profile: a browser still closing from the run before
# holds its profile's lock, and a second browser on that profile gives up
# at once with an empty page.
browser_run() {
  local out=$1 query=$2 status=0
  mkdir -p "$out"
  chromium --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$out/profile" --virtual-time-budget=3600000 \
    --dump-dom "http://127.0.0.1:$port/index.html?$query" >"$out/page.html" 2>"$out/chromium.log" || status=$?
  python3 - "$out" <<'EOF'
import html, re, sys
out = sys.argv[1]
page = open(out + "/page.html", encoding="utf-8", newline="").read()
state = re.search(r'id="status"[^>]*data-state="(\w+)"', page) or re.search(r'data-state="(\w+)"[^>]*id="status"', page)
code = re.search(r'data-exit-code="(-?\d+)"', page)
with open(out + "/exit-code.txt", "w") as f:
    f.write((code.group(1) if state and state.group(1) == "done" and code else "none") + "\n")
line = re.search(r'<p id="status"[^>]*>(.*?)</p>', page, re.S)
with open(out + "/status.txt", "w", encoding="utf-8") as f:  # what the page said last, for a failure's report
    f.write("page state %s: %s\n" % (state.group(1) if state else "none", html.unescape(line.group(1)) if line else ""))
for name in ("frame-hashes", "sound-log", "high-score", "console"):
    found = re.search(r'<pre id="%s">(.*?)</pre>' % name, page, re.S)
    with open("%s/%s.txt" % (out, name), "w", encoding="utf-8", newline="") as f:
        f.write(html.unescape(found.group(1)) if found else "")
EOF
  if [ "$status" -ne 0 ] || [ ! -s "$out/page.html" ]; then  # say why, after what the page printed
    { echo "chromium exited with $status; the last lines of its log:"
      grep -v 'dbus' "$out/chromium.log" | tail -n 5 || true; } >>"$out/console.txt"
  fi
}

failures=0
compare() {  # compare NAME URL-QUERY NATIVE-ARGS...
  local name=$1 query=$2
  shift 2
  local started=$SECONDS
  browser_run "$work/$name/browser" "$query"
  native_run "$work/$name/native" "$native/quarvel-win" "$@"
  same_game "browser test" "$name" "$work/$name/browser" "$work/$name/native" "$started" ||
    failures=$((failures + 1))
}

compare whole "headless&frames=all&script=whole_game.txt" --input "$source_dir/bench/whole_game.txt"
# The same game shared as a link: the page plays the #replay= data that
# quarvel --replay-link prints (from the replay's own high score, saving none).
"$native/quarvel" --replay-link "$source_dir/bench/whole_game.txt" >"$work/whole_game.link"
compare shared "headless&frames=all$(cat "$work/whole_game.link")" --input "$work/whole_game.link"
for stage in 1 2 3; do
  compare "stage$stage" "headless&frames=all&scene=stage$stage&script=stage$stage.txt" \
    --scene "stage$stage" --input "$here/stage$stage.txt"
done
# Listed frames of a run stopped by the clock limit, seed and script in the URL.
printf '100 down space\n160 up space\n' >"$work/listed.txt"
compare listed "headless&scene=stage1&seed=7&input=100%20down%20space%0A160%20up%20space&frames=1-20,30,40-45&maxms=9000" \
  --scene stage1 --seed 7 --input "$work/listed.txt" --shot-frames 1-20,30,40-45 --max-ms 9000

# The timedemo option plays the recorded game to its end and reports it.
# Under the virtual time budget its figure means nothing, so only the frame
# count is checked; tests/web/timedemo.js measures the speed in real time.
browser_run "$work/timedemo" "timedemo"
whole_frames=$(wc -l <"$work/whole/native/frame-hashes.txt")
if ! grep -q "^timedemo: $whole_frames frames in " "$work/timedemo/console.txt"; then
  echo "browser test timedemo: FAILED" >&2
  cat "$work/timedemo/status.txt" "$work/timedemo/console.txt" >&2
  failures=$((failures + 1))
else
  echo "browser test timedemo: reports all $whole_frames frames of the recorded game"
fi

# Keyboard, touch buttons and gamepad, in real time.
node "$here/input_test.js" "http://127.0.0.1:$port/" || failures=$((failures + 1))

# The page: loading, offline copy, stored high score, layouts, controls.
node "$here/site_test.js" "$site" "$source_dir" || failures=$((failures + 1))

# The page with the game's own signals: pause, the high score across a
# reload and two tabs, the questions' Yes and No, the title.
node "$here/game_test.js" "$site" || failures=$((failures + 1))

# The page's replays: a game kept, listed, shared and still there after a
# reload; a replay file opened plays from the link the native game makes.
node "$here/replays_test.js" "$site" "$native" "$source_dir/bench/whole_game.txt" || failures=$((failures + 1))

# The high-score table's page and the game page's submitting client, against
# the native build's score server with the stand-in verifier.
node "$here/scores_test.js" "$site" "$native/quarvel-scores" "$source_dir/tests/scores/stand_in_verifier.py" ||
  failures=$((failures + 1))

# The web app's icons are what make_icons draws from the committed sheet.
mkdir -p "$work/icons"
"$native/make_icons" --web "$source_dir/data/graphics/graphics.bmp" "$work/icons"
stale_icons=""
for icon in "$source_dir"/web/icons/*.png "$work"/icons/*.png; do
  cmp -s "$work/icons/$(basename "$icon")" "$source_dir/web/icons/$(basename "$icon")" || stale_icons="$stale_icons $(basename "$icon")"
done
if [ -n "$stale_icons" ]; then
  echo "browser test icons: FAILED: stale:$stale_icons (make_icons --web data/graphics/graphics.bmp web/icons)" >&2
  failures=$((failures + 1))
else
  echo "browser test icons: web/icons are what make_icons draws from the sheet"
fi

[ "$failures" -eq 0 ] || { echo "browser test: $failures failed" >&2; exit 1; }
echo "browser test: the browser build plays the same game"
