#!/usr/bin/env bash
# Runs the libFuzzer targets built in BUILD (see fuzz/CMakeLists.txt):
#   tools/fuzz.sh BUILD [TARGET|all] [SECONDS]
# Each target starts from its committed seeds in fuzz/corpus/TARGET and keeps
# what it learns in BUILD/corpus/TARGET. A finding (crash, sanitizer report,
# leak, timeout) stops that target, is saved as BUILD/findings/TARGET-*, and
# makes the script fail; turn it into a regression test.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: tools/fuzz.sh BUILD [TARGET|all] [SECONDS]}
which=${2:-all}
seconds=${3:-20}
targets=(script bitmap wav hiscore command_line settings replay replay_play request)
[ "$which" != all ] && targets=("$which")
mkdir -p "$build/findings"
failed=()
for t in "${targets[@]}"; do
  program="$build/fuzz/fuzz_$t"
  [ -x "$program" ] || { echo "fuzz: no target $t in $build" >&2; exit 2; }
  mkdir -p "$build/corpus/$t"
  log="$build/findings/$t.log"
  extra=()
  [ "$t" = script ] && extra=(-max_len=4096)  # longer scripts only repeat lines, slowly
  [ "$t" = replay ] && extra=(-max_len=4096)
  [ "$t" = replay_play ] && extra=(-max_len=2048)  # each input is two plays of the game
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${extra[@]}" \
    -artifact_prefix="$build/findings/$t-" "$build/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1
  code=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  if [ $code -eq 0 ]; then
    echo "fuzz $t: ${runs:-?} runs in ${seconds} s, no finding"
  else
    echo "fuzz $t: FINDING (exit $code), see $log:" >&2
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -5 >&2
    failed+=("$t")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz: findings in ${failed[*]}" >&2; exit 1; }
