#!/usr/bin/env bash
# Random play under the sanitizers: seeded random key scripts through every
# scene with the (sanitized) headless game, each seed played twice.
#   tools/soak.sh BUILD FRAMES [FIRST_SEED] [FRAMES_PER_RUN]
# Every run must end with exit code 0 (the scene ended) or 3 (--max-ms), and
# both plays of a seed must end on the same picture and the same sound log.
# FRAMES counts the first play of each seed. Example, a million frames:
#   tools/soak.sh build-ci/sanitized 1000000
set -uo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:?usage: tools/soak.sh BUILD FRAMES [FIRST_SEED] [FRAMES_PER_RUN]}" && pwd)
wanted=${2:?frames}
seed=${3:-1}
perRun=${4:-3000}
scenes=(title story0 story1 story2 story3 stage1 stage2 stage3)
work=$(mktemp -d /tmp/quarvel-soak.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$build/graphics" "$build/WAV" "$work/"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
[ -f tests/lsan.supp ] && export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

# A key script of about MS virtual milliseconds from seed S. Keys are pressed
# and released at random; Ctrl is let go within 150 ms; Esc is rare.
makeScript() {  # makeScript S MS
  awk -v seed="$1" -v end="$2" 'BEGIN {
    srand(seed); print "seed " seed;
    split("space left right z y n lshift enter space left right space", keys, " ");
    t = 0;
    while (t < end) {
      t += int(rand() * 300) + 1;
      r = rand();
      if (r < 0.02) { print t " down esc"; t += int(rand() * 100) + 1; print t " up esc"; }
      else if (r < 0.08) { print t " down ctrl"; t += int(rand() * 150) + 1; print t " up ctrl"; }
      else if (r < 0.12) { print t " type " (rand() < 0.5 ? "y" : "n"); }
      else { k = keys[int(rand() * 12) + 1]; print t " " (rand() < 0.6 ? "down " : "up ") k; }
    }
  }'
}

playOnce() {  # playOnce SCENE SCRIPT OUT -> exit code; frames in OUT/frames
  rm -rf "$3" && mkdir -p "$3"
  (cd "$work" && "$build/quarvel-win" --headless --timedemo --scene "$1" --input "$2" --max-ms $((perRun * 30)) \
    --shots "$3" --sound-log "$3/sound.log" >"$3/out.txt" 2>"$3/err.txt")
}

frames=0
runs=0
start=$(date +%s)
while [ "$frames" -lt "$wanted" ]; do
  scene=${scenes[$((seed % ${#scenes[@]}))]}
  makeScript "$seed" $((perRun * 30)) >"$work/script.txt"
  for play in a b; do
    playOnce "$scene" "$work/script.txt" "$work/$play"
    code=$?
    if [ $code -ne 0 ] && [ $code -ne 3 ]; then
      echo "soak: seed $seed ($scene) ended with exit code $code:" >&2
      head -20 "$work/$play/err.txt" >&2
      cp "$work/script.txt" "/tmp/quarvel-soak-seed-$seed.txt"
      echo "soak: script kept as /tmp/quarvel-soak-seed-$seed.txt" >&2
      exit 1
    fi
  done
  if ! cmp -s "$work/a/final.bmp" "$work/b/final.bmp" || ! cmp -s "$work/a/sound.log" "$work/b/sound.log"; then
    echo "soak: seed $seed ($scene) did not replay to the same picture and sound" >&2
    exit 1
  fi
  # Frames of the play: from --timedemo when the scene ended, else the budget.
  played=$(grep -o 'timedemo: [0-9]*' "$work/a/out.txt" | grep -o '[0-9]*$')
  frames=$((frames + ${played:-$perRun}))
  runs=$((runs + 1))
  seed=$((seed + 1))
done
echo "soak: $runs seeds, $frames frames (each played twice) in $(($(date +%s) - start)) s, every run ended with 0 or 3 and replayed the same"
