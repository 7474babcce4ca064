# What the tests that play one script in two builds of the game share
# (tests/web/browser_test.sh, tests/windows_test.sh): a native headless run
# and the comparison of two runs. Sourced, not run.
#
# A run leaves in its folder: exit-code.txt, frame-hashes.txt (every frame's
# CRC-32, or the listed frames'), sound-log.txt, high-score.txt (the saved
# hiscore.txt; empty when none was saved) and console.txt (what it printed).

# native_run OUT PROGRAM ARGS...: PROGRAM headless in folder OUT, with the
# data of the program's build folder linked in, so the high score is saved
# as OUT/hiscore.txt.
native_run() {
  local out=$1 program=$2
  shift 2
  mkdir -p "$out"
  ln -s "$(dirname "$program")/graphics" "$(dirname "$program")/WAV" "$out/"
  (cd "$out" && set +e
    "$program" --headless --sound-log sound-log.txt --frame-hashes frame-hashes.txt "$@" >console.txt 2>&1
    echo $? >exit-code.txt)
  keep_high_score "$out"
}

keep_high_score() {  # keep_high_score OUT: OUT/hiscore.txt as OUT/high-score.txt
  cp "$1/hiscore.txt" "$1/high-score.txt" 2>/dev/null || : >"$1/high-score.txt"
}

# same_game TEST NAME RUN NATIVE_RUN STARTED: says in one line whether the
# two runs played the same game (exit code, frames, sounds, high score) and
# fails when not, with the differences and the first lines RUN printed.
# STARTED is $SECONDS when the test began. The runs' folders are named after
# their kind (browser, windows, native): the messages call them so.
same_game() {
  local test=$1 name=$2 run=$3 native=$4 started=$5
  local bad="" what
  for what in exit-code frame-hashes sound-log high-score; do
    if ! cmp -s "$run/$what.txt" "$native/$what.txt"; then
      bad="$bad $what"
      echo "--- $name: $what differs ($(basename "$run"), then $(basename "$native")):" >&2
      diff "$run/$what.txt" "$native/$what.txt" | head -n 12 >&2 || true
      echo >&2
    fi
  done
  local frames
  frames=$(wc -l <"$native/frame-hashes.txt")
  if [ "$frames" -eq 0 ]; then bad="$bad no-frames"; fi
  if [ -n "$bad" ]; then
    echo "$test $name: FAILED:$bad" >&2
    sed -n '1,20p' "$run/console.txt" >&2
    echo >&2
    return 1
  fi
  echo "$test $name: $frames frames, $(wc -l <"$native/sound-log.txt") sounds, high score and exit code equal ($((SECONDS - started)) s)"
}
