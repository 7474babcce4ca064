#!/usr/bin/env bash
# One command for everything on a fresh Debian 12 machine:
#   ./build.sh play   install what is missing, build, start the windowed game
#   ./build.sh test   install what is missing, build and run every test twice:
#                     plainly, then under AddressSanitizer + UndefinedBehaviorSanitizer
#                     then runs each fuzz target for 20 s and a short soak
#   ./build.sh bench  install, build and run the benchmarks
#   ./build.sh fuzz [TARGET] [SECONDS]   build the fuzz targets (clang) and run
#                     one or all of them longer (default all, 600 s each)
#   ./build.sh soak [FRAMES]   random play through every scene under the sanitizers
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make libsdl2-dev libsdl2-mixer-dev libgtest-dev libbenchmark-dev clang libclang-rt-14-dev)
JOBS=${JOBS:-2}

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# Sanitized runs of the window back end ignore leaks inside the system's
# graphics and audio driver modules.
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

build() {  # build FOLDER [cmake options...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -DQUARVEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
}

build_fuzz() {  # the libFuzzer targets: clang, ASan, UBSan
  CC=clang CXX=clang++ cmake -S . -B build-ci/fuzz -DQUARVEL_WERROR=ON -DQUARVEL_FUZZ=ON \
    -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF >/dev/null
  cmake --build build-ci/fuzz -j"$JOBS" --target fuzz_targets
}

case "${1:-}" in
  play)
    install_missing
    build build -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF
    cd build && exec ./quarvel-win "${@:2}"
    ;;
  test)
    install_missing
    build build-ci/plain -DQUARVEL_BENCH=ON
    (cd build-ci/plain && ctest --output-on-failure -j"$JOBS")
    build build-ci/sanitized -DQUARVEL_SANITIZE=ON -DQUARVEL_BENCH=OFF
    (cd build-ci/sanitized &&
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j"$JOBS")
    tools/soak.sh build-ci/sanitized 20000
    build_fuzz
    tools/fuzz.sh build-ci/fuzz all 20
    ;;
  fuzz)
    install_missing
    build_fuzz
    tools/fuzz.sh build-ci/fuzz "${2:-all}" "${3:-600}"
    ;;
  soak)
    install_missing
    build build-ci/sanitized -DQUARVEL_SANITIZE=ON -DQUARVEL_BENCH=OFF
    tools/soak.sh build-ci/sanitized "${2:-1000000}"
    ;;
  bench)
    install_missing
    build build -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=ON -DCMAKE_BUILD_TYPE=Release
    cd build && ./quarvel_bench "${@:2}"
    ;;
  *)
    echo "usage: ./build.sh play|test|bench|fuzz [TARGET] [SECONDS]|soak [FRAMES]" >&2
    exit 2
    ;;
esac
