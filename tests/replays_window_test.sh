#!/usr/bin/env bash
# Games played in the window on a virtual X server are kept as replays:
# Space at the title, some play, Esc and Y at the exit prompt; a second game
# left at once; Esc at the title. Both replays land in
# $XDG_DATA_HOME/quarvel/replays/ with seeds of their own, quarvel --verify
# holds their claims (the last with the high score the window saved),
# quarvel-win --replay plays the first until Esc leaves, and the menu's
# REPLAYS plays it in the same window (heard on the same sound device) and
# comes back to the game, which is heard after it too.
#   tests/replays_window_test.sh BUILD_FOLDER
# Exit code 77 (skipped) without xvfb-run or xdotool.
set -euo pipefail

build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "replays window test: skipped, no $tool"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY
mkdir -p "$work/run"

xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
  set -u
  out=$1 build=$2 replays=$3
  press() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; }
  kept() { ls "$replays"/*.replay 2>/dev/null | wc -l; }
  # leave_game N: Y at the exit prompt (again every 2 s, should the prompt
  # come up late: the title takes no Y) until N replays are kept, 10 s at most.
  leave_game() {
    for try in $(seq 100); do
      [ $((try % 20)) = 1 ] && xdotool key y
      [ "$(kept)" = "$1" ] && return 0
      sleep 0.1
    done
    return 1
  }
  (cd "$out" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=sound.raw \
    exec "$build/quarvel-win" --data "$build" --scale 1 >console.txt 2>&1) &
  game=$!
  source "$4"
  window=$(game_window $game 200)
  if [ -z "$window" ]; then
    echo "no window" >"$out/problem.txt"
  else
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
    xdotool key space
    sleep 3
    for _ in 1 2 3 4 5 6; do  # fire while moving right, then left
      xdotool keydown space keydown Right
      sleep 0.3
      xdotool keyup space keyup Right keydown Left
      sleep 0.3
      xdotool keyup Left
    done
    sleep 0.5
    press Escape  # the stage looks at Esc held, as a player holds it
    sleep 0.5
    leave_game 1 || echo "no replay after Esc and Y" >"$out/problem.txt"
    # A second game, left at once: its own replay, with its own seed.
    sleep 0.5
    xdotool key space
    sleep 2
    press Escape
    sleep 0.5
    leave_game 2 || echo "no replay of the second game" >"$out/problem.txt"
    sleep 0.5
    press Escape
  fi
  for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill -0 $game 2>/dev/null && echo "still running 10 s after Esc on the title" >"$out/problem.txt"
  kill $game 2>/dev/null
  wait $game
  echo $? >"$out/exit-code.txt"' replays-window "$work/run" "$build" "$XDG_DATA_HOME/quarvel/replays" "$here/game_window.sh" || true

fail() {
  echo "replays window test: FAILED: $1" >&2
  sed -n '1,10p' "$work/run/console.txt" >&2 2>/dev/null || true
  exit 1
}
[ -s "$work/run/problem.txt" ] && fail "$(cat "$work/run/problem.txt")"
[ "$(cat "$work/run/exit-code.txt")" = 0 ] || fail "the window ended with exit code $(cat "$work/run/exit-code.txt")"
mapfile -t kept < <(ls "$XDG_DATA_HOME"/quarvel/replays/*.replay 2>/dev/null)
[ "${#kept[@]}" = 2 ] || fail "${#kept[@]} replays kept, not 2: $(ls -R "$XDG_DATA_HOME" | tr '\n' ' ')"
high=$(tr -d '\r' <"$XDG_DATA_HOME/quarvel/hiscore.txt" | sed -n '2s/ *//p')
verdicts=""
for replay in "${kept[@]}"; do
  grep -q '^claim score ' "$replay" || fail "$(basename "$replay") claims nothing: $(head -n 8 "$replay")"
  set +e
  verdict=$("$build/quarvel" --verify "$replay" 2>"$work/verify-err.txt")
  code=$?
  set -e
  [ "$code" = 0 ] || fail "--verify $(basename "$replay"): exit code $code: $verdict $(cat "$work/verify-err.txt")"
  case "$verdict" in
    *'"claims": "held"'*) ;;
    *) fail "claims not held: $verdict" ;;
  esac
  score=$(sed -n 's/^claim score //p' "$replay")
  case "$verdict" in
    *"\"score\": $score,"*) ;;
    *) fail "the verdict's score is not the $score the game showed: $verdict" ;;
  esac
  verdicts="$verdicts$verdict"$'\n'
done
case "$verdict" in
  *"\"highScore\": $high,"*) ;;
  *) fail "the last game's high score is not the $high saved: $verdict" ;;
esac
seeds=$(sed -n 's/^seed //p' "${kept[@]}" | sort -u | wc -l)
[ "$seeds" = 2 ] || fail "the two games have one seed: $(sed -n 's/^seed //p' "${kept[@]}" | tr '\n' ' ')"
replay=${kept[0]}
# Watching it: faster, paused, a frame on, then Esc leaves with exit code 0;
# watching keeps no replay and saves no high score.
cp "$XDG_DATA_HOME/quarvel/hiscore.txt" "$work/hiscore-before.txt"
mkdir -p "$work/watch"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
  out=$1 build=$2 replay=$3
  press() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; }
  (cd "$out" && exec "$build/quarvel-win" --data "$build" --scale 1 --replay "$replay" >console.txt 2>&1) &
  game=$!
  for _ in $(seq 200); do xdotool search --onlyvisible --name "^Quarvel$" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 0.5
  press Right
  sleep 0.5
  press p
  press period
  press Escape
  for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill $game 2>/dev/null
  wait $game
  echo $? >"$out/exit-code.txt"' replays-watch "$work/watch" "$build" "$replay" || true
[ "$(cat "$work/watch/exit-code.txt")" = 0 ] ||
  fail "watching ended with exit code $(cat "$work/watch/exit-code.txt"): $(head -n 3 "$work/watch/console.txt")"
[ "$(ls "$XDG_DATA_HOME"/quarvel/replays/ | wc -l)" = 2 ] || fail "watching kept a replay"
cmp -s "$XDG_DATA_HOME/quarvel/hiscore.txt" "$work/hiscore-before.txt" || fail "watching saved a high score"

# Watching from the menu, in the same window: a game started, F12 (the
# player's picture), P, REPLAYS, the older game chosen; F12 twice while it
# plays, faster, slower, back to its start; Esc back to the list, Esc Esc back to the game, which goes on and
# is kept when left.
mkdir -p "$work/menu"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
  set -u
  out=$1 build=$2 replays=$3
  press() { xdotool keydown "$1"; sleep 0.1; xdotool keyup "$1"; sleep 0.1; }
  (cd "$out" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=sound.raw \
    exec "$build/quarvel-win" --data "$build" --scale 1 >console.txt 2>&1) &
  game=$!
  source "$4"
  window=$(game_window $game 200)
  date +%s.%N >"$out/started.txt"  # the window is up, its sound written from about now on
  if [ -z "$window" ]; then
    echo "no window" >"$out/problem.txt"
  else
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    sleep 0.5
    press space
    sleep 3
    press F12
    press p
    for _ in 1 2 3 4 5; do press Down; done
    press Return  # REPLAYS
    press Down
    press Return  # the older game plays
    date +%s.%N >"$out/watched.txt"
    sleep 1.5
    press F12
    sleep 3  # into the part where the player moved and fired
    press F12
    press Right  # x4
    press Left   # x1
    press Left   # back to the start, and on
    sleep 0.5
    press Escape  # back to the list
    press Escape
    press Escape  # the game again
    date +%s.%N >"$out/back.txt"
    sleep 3
    press Escape
    sleep 0.5
    for try in $(seq 100); do
      [ $((try % 20)) = 1 ] && xdotool key y
      [ "$(ls "$replays"/*.replay | wc -l)" = 3 ] && break
      sleep 0.1
    done
    sleep 0.5
    press Escape
  fi
  for _ in $(seq 100); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill $game 2>/dev/null
  wait $game
  echo $? >"$out/exit-code.txt"' replays-menu "$work/menu" "$build" "$XDG_DATA_HOME/quarvel/replays" "$here/game_window.sh" || true
[ -s "$work/menu/problem.txt" ] && fail "from the menu: $(cat "$work/menu/problem.txt")"
[ "$(cat "$work/menu/exit-code.txt")" = 0 ] ||
  fail "watching from the menu ended with exit code $(cat "$work/menu/exit-code.txt"): $(head -n 3 "$work/menu/console.txt")"
mapfile -t shots < <(sed -n 's/^quarvel-win: screenshot //p' "$work/menu/console.txt")
[ "${#shots[@]}" = 3 ] || fail "from the menu: ${#shots[@]} screenshots, not 3: $(cat "$work/menu/console.txt")"
cmp -s "${shots[0]}" "${shots[1]}" && fail "from the menu: the replay chosen did not show"
cmp -s "${shots[1]}" "${shots[2]}" && fail "from the menu: the replay chosen stood still"
[ "$(ls "$XDG_DATA_HOME"/quarvel/replays/*.replay | wc -l)" = 3 ] ||
  fail "the game after watching from the menu was not kept: $(cat "$work/menu/console.txt")"
# Heard: the replay while it plays, and the player's game after it (the
# replay never closes the player's sound device). SDL's disk driver writes
# the mixer's 44.1 kHz 16-bit stereo in real time.
heard=$(python3 - "$work/menu" <<'PY'
import array, math, sys
out = sys.argv[1]
at = {name: float(open("%s/%s.txt" % (out, name)).read()) for name in ("started", "watched", "back")}
samples = array.array("h", open(out + "/sound.raw", "rb").read())
def rms(start, seconds):
    first = int((at[start] - at["started"] + 1) * 44100) * 2  # a second in, past the keys
    part = samples[first:first + int(seconds * 44100) * 2]
    return math.sqrt(sum(v * v for v in part) / len(part)) / 32768 if part else 0.0
print("%.4f %.4f" % (rms("watched", 2), rms("back", 1.5)))
PY
)
read -r watched_rms back_rms <<<"$heard"
python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) > 0.001 else 1)" "$watched_rms" ||
  fail "from the menu: the replay was not heard (RMS $watched_rms)"
python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) > 0.001 else 1)" "$back_rms" ||
  fail "from the menu: the game was silent after the replay (RMS $back_rms)"

echo "replays window test: two games kept with their own seeds, both verify, the first watched, and from the menu (heard: RMS $watched_rms watching, $back_rms back in the game):"
printf '%s' "$verdicts"
