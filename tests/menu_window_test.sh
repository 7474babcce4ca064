#!/bin/bash
# The menu in a real window, on Xvfb with xdotool, in a fresh home:
# quarvel-win, P at the title, Down, Enter, Left, Esc, Esc, then SIGTERM:
# quarvel.ini says volume = 90. Started again: P, Down three times to
# CONTROLS, Enter, Enter on the first action, then a: key_left = a.
#   tests/menu_window_test.sh QUARVEL_WIN DATA_FOLDER
# Exit code 77 (skipped) without xvfb-run or xdotool.
set -euo pipefail

for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "menu window test: no $tool, skipped"; exit 77; }
done
program=$(realpath "$1")
data=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data SDL_AUDIODRIVER=dummy
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
mkdir -p "$HOME"
ini=$XDG_CONFIG_HOME/quarvel/quarvel.ini

# KEYS are typed at the window once it shows the title; then the game is
# told to end and must end with exit code 0.
play() {
  local keys=$1 wanted=$2
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp -noreset" bash -c '
    set -u
    program=$1 data=$2 work=$3 keys=$4 ini=$5 wanted=$6
    (cd "$work" && exec "$program" --data "$data" --hiscore "$work/hiscore.txt" --scale 1 >"$work/out.txt" 2>&1) &
    game=$!
    source "$7"
    window=$(game_window $game 100)
    if [ -z "$window" ]; then
      echo "no window" >"$work/problem.txt"
    else
      sleep 1  # the title, with its letters
      xdotool windowfocus --sync "$window"
      for key in $keys; do xdotool key "$key"; sleep 0.2; done
      for _ in $(seq 50); do grep -qx "$wanted" "$ini" 2>/dev/null && break; sleep 0.1; done
    fi
    kill -TERM $game 2>/dev/null
    wait $game
    echo $? >"$work/exit-code.txt"' menu-test "$program" "$data" "$work" "$keys" "$ini" "$wanted" "$here/game_window.sh" || true
}

fail() {
  echo "menu window test: $1" >&2
  [ -f "$work/out.txt" ] && head -n 5 "$work/out.txt" >&2
  exit 1
}

play "p Down Return Left Escape Escape" "volume = 90"
[ -s "$work/problem.txt" ] && fail "$(cat "$work/problem.txt")"
grep -qx 'volume = 90' "$ini" 2>/dev/null || fail "the menu saved no volume = 90: $(cat "$ini" 2>/dev/null)"
[ "$(cat "$work/exit-code.txt")" = 0 ] || fail "SIGTERM ended the game with exit code $(cat "$work/exit-code.txt")"

play "p Down Down Down Return Return a Escape Escape" "key_left = a"
grep -qx 'key_left = a' "$ini" || fail "CONTROLS saved no key_left = a: $(cat "$ini")"
grep -qx 'volume = 90' "$ini" || fail "the volume was lost: $(cat "$ini")"
[ "$(cat "$work/exit-code.txt")" = 0 ] || fail "SIGTERM ended the game with exit code $(cat "$work/exit-code.txt")"
echo "menu window test: the menu sets the volume and a key, saved in quarvel.ini"
