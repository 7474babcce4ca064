#!/usr/bin/env bash
# The Windows build under Wine, from its zip unpacked into a folder whose
# name is not ASCII, against the native build:
#   - both programs say their name and version;
#   - the recorded whole game and a scripted run of each stage, headless,
#     give the same frame fingerprints, sound log, high score and exit code;
#   - a replay made natively plays the same game, and --verify gives the
#     native verdict;
#   - without --hiscore the high score goes to the user's
#     AppData\Roaming\Quarvel, nothing beside the program or in the working
#     folder; the window writes its settings there too;
#   - a read-only high-score file is shown and played against as natively,
#     and never rewritten;
#   - file names with non-ASCII letters work for every file the game reads
#     and writes;
#   - Ctrl+C in its console ends the program cleanly;
#   - the window opens on a virtual X server and shows the title as the
#     headless run draws it; Esc there ends the program with exit code 0.
#   tests/windows_test.sh ZIP NATIVE_BUILD_FOLDER
# Wine runs in a copy of the prefix tools/windows_deps.sh keeps in its cache,
# with SDL's dummy sound driver and no display but the test's own Xvfb.
set -euo pipefail

zip=$(realpath "$1")
native=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
source "$here/same_game.sh"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cp -a "$("$source_dir/tools/windows_deps.sh" wine)" "$WINEPREFIX"
# One Wine server for every run, instead of one started and stopped per run.
wineserver -p

# Unpacked where no build put it, and run from elsewhere: the programs must
# find their data beside themselves.
install="$work/Spiele für alle"
mkdir -p "$install"
unzip -q "$zip" -d "$install"
game=$(echo "$install"/quarvel-*-windows-x64)
exe=$game/quarvel-win.exe
[ -f "$exe" ] && [ -f "$game/quarvel.exe" ] || { echo "windows test: no programs in $(basename "$zip")" >&2; exit 1; }
cp "$source_dir/bench/whole_game.txt" "$here"/web/stage?.txt "$work/"

failures=0
fail() {
  echo "windows test $1: FAILED: $2" >&2
  failures=$((failures + 1))
}

# windows_run OUT ARGS...: the Windows program headless in folder OUT (no
# data there), its files named as native_run names them.
windows_run() {
  local out=$1
  shift
  mkdir -p "$out"
  (cd "$out" && set +e
    wine "$exe" --headless --sound-log sound-log.txt --frame-hashes frame-hashes.txt "$@" >console.txt 2>&1
    echo $? >exit-code.txt)
  keep_high_score "$out"
}

compare() {  # compare NAME ARGS...: the same game natively and under Wine
  local name=$1 started=$SECONDS
  shift
  native_run "$work/$name/native" "$native/quarvel-win" "$@"
  windows_run "$work/$name/windows" --hiscore hiscore.txt "$@"
  same_game "windows test" "$name" "$work/$name/windows" "$work/$name/native" "$started" ||
    failures=$((failures + 1))
}

# Both programs say their own name and the zip's version, and the exit code
# of a bad option comes through.
version=$(basename "$game" | sed 's/^quarvel-\(.*\)-windows-x64$/\1/')
for program in quarvel quarvel-win; do
  said=$(wine "$game/$program.exe" --version | tr -d '\r')
  [ "$said" = "$program $version" ] || fail version "$program.exe --version says '$said'"
done
code=0
wine "$exe" --no-such-option >/dev/null 2>&1 || code=$?
[ "$code" = 2 ] || fail version "a bad option ends with exit code $code, not 2"
[ "$failures" -gt 0 ] || echo "windows test version: both programs say $version; a bad option is exit code 2"

compare whole --input ../../whole_game.txt
for stage in 1 2 3; do
  compare "stage$stage" --scene "stage$stage" --input "../../stage$stage.txt"
done

# A replay made natively (the recorded game as a replay, with its claims)
# plays the same game under Wine, and both programs give it one verdict.
native_run "$work/recorded" "$native/quarvel-win" --input ../whole_game.txt --record ../whole.replay
if [ ! -s "$work/whole.replay" ]; then
  fail replay "the native --record wrote no replay: $(head -n 3 "$work/recorded/console.txt")"
else
  compare replay --input ../../whole.replay
  native_verdict=$(cd "$work/recorded" && "$native/quarvel" --verify ../whole.replay 2>&1 || true)
  windows_verdict=$(cd "$work" && wine "$game/quarvel.exe" --verify whole.replay 2>&1 | tr -d '\r' || true)
  case "$native_verdict" in
    *'"claims": "held"'*) ;;
    *) fail replay "natively the replay's claims do not hold: $native_verdict" ;;
  esac
  if [ "$windows_verdict" != "$native_verdict" ]; then
    fail replay "--verify under Wine says $windows_verdict, natively $native_verdict"
  else
    echo "windows test replay: --verify gives the native verdict under Wine"
  fi
fi

# The player's own folder. Wine names its user after the Unix one.
appdata=$(echo "$WINEPREFIX"/drive_c/users/"$(id -un)"/AppData/Roaming)
[ -d "$appdata" ] || appdata=$(echo "$WINEPREFIX"/drive_c/users/"$(id -un)"/"Application Data")
# The working folder holds data too, but the program's own folder comes
# first on Windows: so the high score is the player's, not the folder's.
started=$SECONDS
mkdir -p "$work/appdata"
ln -s "$native/graphics" "$native/WAV" "$work/appdata/"
windows_run "$work/appdata" --scene stage1 --input ../stage1.txt
if [ "$(cat "$work/appdata/exit-code.txt")" != 0 ]; then
  fail appdata "exit code $(cat "$work/appdata/exit-code.txt")"
elif ! cmp -s "$appdata/Quarvel/hiscore.txt" "$work/stage1/native/high-score.txt"; then
  fail appdata "no high score as the native one's in AppData\\Roaming\\Quarvel"
elif [ -n "$(find "$work/appdata" "$game" -name 'hiscore.txt*')" ]; then
  fail appdata "a high score was written beside the program or in the working folder"
else
  echo "windows test appdata: the high score is saved in AppData\\Roaming\\Quarvel ($((SECONDS - started)) s)"
fi

# A read-only high score of 5000: as natively, the same frames show it, one
# line says it cannot be saved, and the file keeps its bytes. Wine marks a
# file without write permission read-only (FILE_ATTRIBUTE_READONLY), which
# the program checks.
started=$SECONDS
for kind in native windows; do
  mkdir -p "$work/read-only/$kind"
  printf 'hi-score\r\n 5000\r\n' >"$work/read-only/$kind/locked.txt"
  chmod a-w "$work/read-only/$kind/locked.txt"
done
native_run "$work/read-only/native" "$native/quarvel-win" --scene stage1 --input ../../stage1.txt --hiscore locked.txt
windows_run "$work/read-only/windows" --scene stage1 --input ../../stage1.txt --hiscore locked.txt
if ! same_game "windows test" read-only "$work/read-only/windows" "$work/read-only/native" "$started" >/dev/null; then
  fail read-only "not the native game"
elif ! grep -q "read-only" "$work/read-only/windows/console.txt"; then
  fail read-only "no line says the file is read-only: $(head -n 3 "$work/read-only/windows/console.txt")"
elif [ "$(od -c "$work/read-only/windows/locked.txt")" != "$(printf 'hi-score\r\n 5000\r\n' | od -c)" ] ||
  [ -n "$(find "$work/read-only/windows" -name 'locked.txt.new')" ]; then
  fail read-only "the file was touched"
else
  echo "windows test read-only: shown and played against as natively, told, never rewritten ($((SECONDS - started)) s)"
fi

# Every file the game reads or writes, named with letters beyond ASCII.
started=$SECONDS
names="$work/names/Spielstände"
mkdir -p "$names"
cp "$work/stage1.txt" "$names/Eingabe-ü.txt"
(cd "$work/names" && set +e
  wine "$exe" --headless --scene stage1 --input "Spielstände/Eingabe-ü.txt" --hiscore "Spielstände/Höchststand.txt" \
    --sound-log "Spielstände/Töne.txt" --frame-hashes "Spielstände/Bilder.txt" --shots "Spielstände/Bilder" \
    >console.txt 2>&1
  echo $? >exit-code.txt)
if [ "$(cat "$work/names/exit-code.txt")" != 0 ]; then
  fail names "exit code $(cat "$work/names/exit-code.txt"): $(head -n 3 "$work/names/console.txt")"
elif ! cmp -s "$names/Bilder.txt" "$work/stage1/native/frame-hashes.txt" ||
  ! cmp -s "$names/Töne.txt" "$work/stage1/native/sound-log.txt" ||
  ! cmp -s "$names/Höchststand.txt" "$work/stage1/native/high-score.txt" || [ ! -f "$names/Bilder/final.bmp" ]; then
  fail names "the files are not the native run's: $(ls "$work/names" "$names" | tr '\n' ' ')"
else
  echo "windows test names: input, high score, logs and shots under non-ASCII names ($((SECONDS - started)) s)"
fi

# Ctrl+C typed in the console the program runs in is the clean quit, as on
# Linux: the game's quit path writes the final shot and ends with exit code
# 0 (Wine hands Ctrl+C to the console's handlers; without one the program
# would just end, also with 0 under Wine, but with no shot). The headless
# title waits for a key for ever; the high-score file it makes shows the
# game, and so the handler, has started.
started=$SECONDS
mkdir -p "$work/ctrl-c"
code=$(cd "$work/ctrl-c" && python3 - "$exe" <<'PYTHON'
import os, pty, select, signal, sys, time
pid, console = pty.fork()
if pid == 0:
    os.execvp("wine", ["wine", sys.argv[1], "--headless", "--scene", "title", "--hiscore", "started.txt",
                       "--shots", ".", "--max-ms", "100000000000"])
def wait_for(seconds, done):
    end = time.time() + seconds
    while time.time() < end and not done():
        if select.select([console], [], [], 0.1)[0]:
            try:
                os.read(console, 4096)
            except OSError:
                pass
ended = []
wait_for(30, lambda: os.path.exists("started.txt"))
os.write(console, b"\x03")
wait_for(10, lambda: ended.append(os.waitpid(pid, os.WNOHANG)) or ended[-1][0] != 0)
if ended and ended[-1][0] != 0:
    print(os.waitstatus_to_exitcode(ended[-1][1]))
else:
    os.kill(pid, signal.SIGKILL)
    os.waitpid(pid, 0)
    print("none: still running 10 s after Ctrl+C")
PYTHON
)
if [ "$code" != 0 ] || [ ! -f "$work/ctrl-c/final.bmp" ]; then
  fail ctrl-c "exit code $code, $(ls "$work/ctrl-c" | tr '\n' ' ')"
else
  echo "windows test ctrl-c: Ctrl+C in the console ends the game cleanly, exit code 0 ($((SECONDS - started)) s)"
fi

# The window on Xvfb: the title as the headless run draws it, the volume key
# saves the settings file in AppData, Esc ends the program with exit code 0.
# The X window holds the frame Wine draws itself (there is no window
# manager): a border alike left, right and below, the caption above. Inside
# it, at scale 2, every 2x2 block sampled at its top left pixel must give the
# headless picture exactly; the screen is read until it does (the title is
# drawn a moment after the window opens), for 10 s at most.
started=$SECONDS
native_run "$work/title/native" "$native/quarvel-win" --scene title --shots . --hiscore title.txt
convert "$work/title/native/final.bmp" -depth 8 rgb:"$work/title/native/title.rgb"
mkdir -p "$work/title/windows"
rm -f "$appdata/Quarvel/quarvel.ini"
# The server started without a display: a window needs one started with it.
wineserver -k
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
  set -u
  out=$1 appdata=$3
  (cd "$out" && exec wine "$2" --scale 2 --hiscore title.txt >console.txt 2>&1) &
  game=$!
  source "$5"
  window=$(game_window $game 200)
  if [ -z "$window" ]; then
    echo "no window" >"$out/problem.txt"
  else
    for _ in $(seq 100); do
      eval "$(xdotool getwindowgeometry --shell "$window")"
      echo "$WIDTH x $HEIGHT at $X, $Y" >"$out/geometry.txt"
      border=$(((WIDTH - 640) / 2))
      import -window root -crop "640x480+$((X + border))+$((Y + HEIGHT - 480 - border))" +repage "$out/window.png"
      convert "$out/window.png" -sample 50% -depth 8 rgb:"$out/title.rgb"
      cmp -s "$out/title.rgb" "$4" && touch "$out/shown" && break
      sleep 0.1
    done
    xdotool mousemove $((X + 10)) $((Y + 10)) windowfocus --sync "$window" key minus
    for _ in $(seq 50); do [ -s "$appdata/Quarvel/quarvel.ini" ] && break; sleep 0.1; done
    xdotool key Escape
  fi
  for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill $game 2>/dev/null
  wait $game
  echo $? >"$out/exit-code.txt"' window-test "$work/title/windows" "$exe" "$appdata" "$work/title/native/title.rgb" "$here/game_window.sh" || true
if [ -s "$work/title/windows/problem.txt" ]; then
  fail window "$(cat "$work/title/windows/problem.txt"): $(head -n 3 "$work/title/windows/console.txt")"
elif [ ! -f "$work/title/windows/shown" ]; then
  fail window "the window ($(cat "$work/title/windows/geometry.txt")) does not show the headless title; \
$(cmp -l "$work/title/windows/title.rgb" "$work/title/native/title.rgb" 2>/dev/null | wc -l) bytes differ"
elif ! grep -qx 'volume = 90' "$appdata/Quarvel/quarvel.ini" 2>/dev/null; then
  fail window "the volume key saved no volume = 90 in AppData\\Roaming\\Quarvel\\quarvel.ini"
elif [ "$(cat "$work/title/windows/exit-code.txt")" != 0 ]; then
  fail window "Esc on the title ended with exit code $(cat "$work/title/windows/exit-code.txt")"
else
  echo "windows test window: the title as drawn headless, settings saved in AppData, Esc ends with 0 ($((SECONDS - started)) s)"
fi

# The desktop ending the session (log-off, shutdown) while the title waits:
# the game saves the high score it has reached (0 = 0 on the title), so the
# LF-only file comes back CR LF, and ends with exit code 0. It draws with
# SDL's software renderer here: as the session's desktop closes, Wine's
# Direct3D-over-OpenGL thread crashes the process in about one run in ten
# (a fault at address 0 in Wine's own thread, never with the software
# renderer in 50 runs), and the session messages do not touch the renderer.
started=$SECONDS
mkdir -p "$work/session"
printf 'hi-score\n 0\n' >"$work/session/hiscore.txt"
wineserver -k
wineserver -w
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
  out=$1
  (cd "$out" && SDL_RENDER_DRIVER=software wine "$2" --hiscore hiscore.txt >console.txt 2>&1; echo $? >"$out/exit-code.txt") &
  for _ in $(seq 200); do xdotool search --onlyvisible --name "^Quarvel$" >/dev/null 2>&1 && break; sleep 0.1; done
  wine wineboot --end-session >/dev/null 2>&1
  for _ in $(seq 100); do [ -s "$out/exit-code.txt" ] && break; sleep 0.1; done' session-test "$work/session" "$exe" || true
if [ "$(cat "$work/session/hiscore.txt")" != "$(printf 'hi-score\r\n 0\r\n')" ]; then
  fail session "the end of the session left the high score unsaved: $(od -c "$work/session/hiscore.txt" | head -n 2)"
elif [ "$(cat "$work/session/exit-code.txt" 2>/dev/null)" != 0 ]; then
  fail session "the end of the session ended the game with exit code $(cat "$work/session/exit-code.txt" 2>/dev/null)"
else
  echo "windows test session: the end of the session saves the high score, exit code 0 ($((SECONDS - started)) s)"
fi

[ "$failures" -eq 0 ] || { echo "windows test: $failures failed" >&2; exit 1; }
echo "windows test: the Windows build plays the same game"
