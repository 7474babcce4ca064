#!/usr/bin/env bash
# One command for everything on a fresh Debian 12 machine:
#   ./build.sh play   install what is missing, build, start the windowed game
#   ./build.sh test   install what is missing, build and run every test twice:
#                     plainly, then under AddressSanitizer + UndefinedBehaviorSanitizer
#   ./build.sh bench  install, build and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake g++ make libsdl2-dev libsdl2-mixer-dev libgtest-dev libbenchmark-dev desktop-file-utils appstream man-db)
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

build() {  # build FOLDER [cmake options...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -DQUARVEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
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
    ;;
  bench)
    install_missing
    build build -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=ON -DCMAKE_BUILD_TYPE=Release
    cd build && ./quarvel_bench "${@:2}"
    ;;
  *)
    echo "usage: ./build.sh play|test|bench" >&2
    exit 2
    ;;
esac
