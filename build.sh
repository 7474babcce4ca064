#!/usr/bin/env bash
# One command for everything on a fresh Debian 12 machine:
#   ./build.sh play   install what is missing, build, start the windowed game
#   ./build.sh test   install what is missing, build and run every test three times:
#                     plainly, in a Debug build linked with -Werror=odr, then under
#                     AddressSanitizer + UndefinedBehaviorSanitizer
#                     then runs each fuzz target for 20 s and a short soak,
#                     and the Windows build under Wine against the native one
#   ./build.sh bench  install, build and run the benchmarks
#   ./build.sh format apply .clang-format to every C++ file
#   ./build.sh fuzz [TARGET] [SECONDS]   build the fuzz targets (clang) and run
#                     one or all of them longer (default all, 600 s each)
#   ./build.sh soak [FRAMES]   random play through every scene under the sanitizers
#   ./build.sh web    install, build the browser version into build-web/ and
#                     serve it on http://127.0.0.1:8000/
#   ./build.sh release  the Debian package, source archive, browser site (zip),
#                     Windows zip and SHA256SUMS of HEAD into build-release/
#   ./build.sh windows  quarvel.exe and quarvel-win.exe cross-built for 64-bit
#                     Windows, zipped with their DLLs and data into build-release/
#   ./build.sh scores  install, build the game, the browser site and the score
#                     server, and serve them on http://127.0.0.1:8000/ (SQLite in build-scores/)
# QUARVEL_SKIP_WEB=1 leaves the browser build and its test out of "test" on a
# developer's machine; CI (.ci/run, or CI set) always runs them.
set -euo pipefail
cd "$(dirname "$0")"

# What each command needs, and nothing more: a player who only plays gets
# the compiler, CMake and SDL.
GAME_PACKAGES=(cmake g++ make libsdl2-dev libsdl2-mixer-dev libstb-dev)
BENCH_PACKAGES=(libbenchmark-dev)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The browser build (Debian's Emscripten, its JavaScript optimizer's acorn)
# and the static server of ./build.sh web.
WEB_PACKAGES=(emscripten node-acorn nodejs python3)
# The score server (quarvel-scores) and its tests: HTTP, SQLite, libpq, JSON,
# SHA-256, and PostgreSQL itself for the tests.
SCORES_PACKAGES=(pkg-config libcpp-httplib-dev libsqlite3-dev libpq-dev nlohmann-json3-dev libssl-dev postgresql)
# The Debian package and the release files.
RELEASE_PACKAGES=(build-essential debhelper lintian zip)
# Everything the test command adds: the test frameworks, the style checks,
# the desktop files' validators, a display for the window, the browser.
TEST_PACKAGES=("${GAME_PACKAGES[@]}" "${BENCH_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
  "${SCORES_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}" libgtest-dev clang-tidy clang-format chromium
  desktop-file-utils appstream man-db xvfb xauth xdotool imagemagick unzip)
JOBS=${JOBS:-2}

source tools/install_missing.sh

# Sanitized runs of the window back end ignore leaks inside the system's
# graphics and audio driver modules.
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

build() {  # build FOLDER [cmake options...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -DQUARVEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$JOBS"
}

# Every C++ file the project formats: the game, its tests, benchmarks and tools.
cpp_files() { git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'tools/*.cpp' 'fuzz/*.cpp'; }

# Layers, format and clang-tidy: any finding fails the test command.
lint() {  # lint BUILD_FOLDER (with compile_commands.json)
  python3 tools/check_layers.py
  python3 tools/check_layers.py --self-test
  cpp_files | xargs clang-format --dry-run --Werror
  echo "format: every file as .clang-format says"
  run-clang-tidy -p "$1" -quiet -j "$JOBS" "$PWD/src/" >"$1/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' "$1/clang-tidy.log" >&2
    echo "clang-tidy found faults (full log: $1/clang-tidy.log)" >&2
    return 1
  }
  echo "clang-tidy: no findings in src/"
}

# The browser version: Debian's Emscripten, nothing downloaded. Its JavaScript
# optimizer needs Debian's acorn, which a node of another origin first on the
# PATH does not find by itself.
build_web() {
  local acorn
  acorn=$(dpkg -L node-acorn | grep '/acorn/package.json$')
  export NODE_PATH="$(dirname "$(dirname "$acorn")")${NODE_PATH:+:$NODE_PATH}"
  emcmake cmake -S . -B build-ci/emscripten -DCMAKE_BUILD_TYPE=Release -DQUARVEL_WERROR=ON \
    -DQUARVEL_WEB_SITE="$PWD/build-web" >/dev/null
  cmake --build build-ci/emscripten -j"$JOBS"
}

build_fuzz() {  # the libFuzzer targets: clang, ASan, UBSan
  CC=clang CXX=clang++ cmake -S . -B build-ci/fuzz -DQUARVEL_WERROR=ON -DQUARVEL_FUZZ=ON \
    -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF >/dev/null
  cmake --build build-ci/fuzz -j"$JOBS" --target fuzz_targets
}

# ---- Release: the Debian package, the source archive and the browser site ----
# Made from a commit exported with git archive, built in a scratch copy, so
# the working tree stays clean and uncommitted changes never reach a release.

project_version() {  # project_version [COMMIT]: the version project() sets (default: the working tree's)
  if [ -n "${1:-}" ]; then git show "$1:CMakeLists.txt"; else cat CMakeLists.txt; fi |
    sed -n 's/^project(quarvel VERSION \([^ ]*\).*/\1/p'
}

# dpkg-buildpackage in SOURCE_DIR (a scratch copy: it writes into it and its
# parent): the Debian source package and the binary one, without the tests
# and benchmarks. Its files (.dsc, .tar.xz, the .deb and its debug symbols,
# .buildinfo, .changes) are copied into OUT_DIR; the log is LOG.
build_deb() {  # build_deb SOURCE_DIR OUT_DIR LOG
  local src=$1 out=$2 log=$3
  mkdir -p "$out"
  echo "dpkg-buildpackage: building the package (log: $log)"
  (cd "$src" && DEB_BUILD_OPTIONS="parallel=$JOBS nocheck" dpkg-buildpackage -us -uc) >"$log" 2>&1 || {
    tail -n 40 "$log" >&2
    echo "dpkg-buildpackage failed (full log: $log)" >&2
    return 1
  }
  cp "$(dirname "$src")"/quarvel*_*.{dsc,tar.xz,deb,buildinfo,changes} "$out/"
}

# The package the test command checks: the working tree's tracked files as
# they are now (git stash create records them without touching anything), so
# it is built from the same code as build-ci/plain.
test_package() (  # test_package OUT_DIR
  local tree scratch
  tree=$(git stash create)
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  git archive --prefix=quarvel/ "${tree:-HEAD}" | tar -x -C "$scratch"
  rm -rf "$1"
  build_deb "$scratch/quarvel" "$1" "$1.log"
)

release() (  # everything from HEAD into build-release/
  local version out=$PWD/build-release scratch name
  version=$(project_version HEAD)
  name=quarvel-$version
  [ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "release: uncommitted changes are left out; this is HEAD ($(git rev-parse --short HEAD))" >&2
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  rm -rf "$out"
  mkdir -p "$out"
  git archive --format=tar.gz --prefix="$name/" -o "$out/$name.tar.gz" HEAD
  tar -xzf "$out/$name.tar.gz" -C "$scratch"
  mkdir -p build-ci
  build_deb "$scratch/$name" "$out" "$PWD/build-ci/release.log"
  lintian --fail-on error,warning --display-info --pedantic "$out"/quarvel_*.changes
  # The browser site, built by build_web in the exported copy.
  (cd "$scratch/$name" && build_web)
  mv "$scratch/$name/build-web" "$scratch/$name-web"
  (cd "$scratch" && zip -q -r -X "$out/$name-web.zip" "$name-web")
  # The Windows zip, cross-built in the same copy.
  (cd "$scratch/$name" && build_windows "$out")
  (cd "$out" && sha256sum -- * >SHA256SUMS)
  echo "release $version in build-release/:"
  ls -l "$out"
)

# ---- Windows: cross-built with Debian's MinGW-w64 ----
# SDL2 and SDL2_mixer come from tools/windows_deps.sh, built once from Debian's
# source packages into a cache outside the clone. The zip holds one folder
# that plays wherever it is unpacked: the two programs, the two DLLs (the
# compiler's runtime is linked in), graphics/, WAV/, LICENSE.txt and
# README.txt, with CR LF line ends for Notepad.
WINDOWS_SYSTEM_DLLS='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|imm32|setupapi|version|winmm|msvcrt)\.dll$'

build_windows() {  # build_windows OUT_DIR: build-ci/windows, and OUT_DIR/quarvel-VERSION-windows-x64.zip
  local out=$1 deps version name stage program binary imports
  deps=$(tools/windows_deps.sh)
  cmake -S . -B build-ci/windows -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_PREFIX_PATH="$deps" -DCMAKE_BUILD_TYPE=Release -DQUARVEL_WERROR=ON \
    -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF >/dev/null
  cmake --build build-ci/windows -j"$JOBS" --target quarvel quarvel-win
  version=$(project_version)
  name=quarvel-$version-windows-x64
  stage=build-ci/windows/zip/$name
  rm -rf build-ci/windows/zip
  mkdir -p "$stage" "$out"
  for program in quarvel quarvel-win; do
    x86_64-w64-mingw32-strip -o "$stage/$program.exe" "build-ci/windows/$program.exe"
  done
  cp "$deps/bin/SDL2.dll" "$deps/bin/SDL2_mixer.dll" "$stage/"
  # The programs and the DLLs import only from Windows itself and from each
  # other: a MinGW runtime DLL, say, would have to ship in the zip as well.
  for binary in "$stage"/*.exe "$stage"/*.dll; do
    imports=$(x86_64-w64-mingw32-objdump -p "$binary" | awk '/DLL Name:/ { print tolower($3) }' |
      grep -vE "$WINDOWS_SYSTEM_DLLS" | grep -vxE 'sdl2\.dll|sdl2_mixer\.dll' || true)
    [ -z "$imports" ] || { echo "$(basename "$binary") needs DLLs the zip lacks: $imports" >&2; return 1; }
  done
  cp -r data/graphics data/WAV "$stage/"
  sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
  sed 's/$/\r/' dist/windows/README.txt >"$stage/README.txt"
  out=$(cd "$out" && pwd)
  rm -f "$out/$name.zip"
  (cd build-ci/windows/zip && zip -q -r -X "$out/$name.zip" "$name")
  echo "windows: $out/$name.zip"
}

case "${1:-}" in
  play)
    install_missing "${GAME_PACKAGES[@]}"
    build build -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF -DQUARVEL_SCORES=OFF
    cd build && exec ./quarvel-win "${@:2}"
    ;;
  test)
    install_missing "${TEST_PACKAGES[@]}"
    build build-ci/plain -DQUARVEL_BENCH=ON
    lint build-ci/plain
    (cd build-ci/plain && ctest --output-on-failure -j"$JOBS")
    # A Debug build, as a contributor makes one, linked so that two
    # definitions of one name fail (docs/testing.md: about 7 CPU minutes).
    build build-ci/debug -DCMAKE_BUILD_TYPE=Debug -DQUARVEL_BENCH=OFF -DQUARVEL_ODR_CHECK=ON
    (cd build-ci/debug && ctest --output-on-failure -j"$JOBS")
    test_package build-ci/package
    tests/package_test.sh build-ci/package/quarvel_*.deb build-ci/plain
    build build-ci/sanitized -DQUARVEL_SANITIZE=ON -DQUARVEL_BENCH=OFF
    (cd build-ci/sanitized &&
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --output-on-failure -j"$JOBS")
    tools/soak.sh build-ci/sanitized 20000
    build_fuzz
    tools/fuzz.sh build-ci/fuzz all 20
    build_windows build-ci/windows
    tests/windows_test.sh "build-ci/windows/quarvel-$(project_version)-windows-x64.zip" build-ci/plain
    if [ "${QUARVEL_SKIP_WEB:-0}" = 1 ] && [ -z "${CI:-}" ]; then
      echo "QUARVEL_SKIP_WEB=1: the browser build and its test are left out"
    else
      build_web
      tests/web/browser_test.sh build-web build-ci/plain
    fi
    ;;
  fuzz)
    install_missing "${GAME_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    build_fuzz
    tools/fuzz.sh build-ci/fuzz "${2:-all}" "${3:-600}"
    ;;
  soak)
    install_missing "${GAME_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    build build-ci/sanitized -DQUARVEL_SANITIZE=ON -DQUARVEL_BENCH=OFF
    tools/soak.sh build-ci/sanitized "${2:-1000000}"
    ;;
  bench)
    install_missing "${GAME_PACKAGES[@]}" "${BENCH_PACKAGES[@]}"
    build build -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=ON -DQUARVEL_SCORES=OFF -DCMAKE_BUILD_TYPE=Release
    cd build && ./quarvel_bench "${@:2}"
    ;;
  format)  # applies .clang-format to every C++ file
    cpp_files | xargs clang-format -i
    ;;
  release)
    install_missing "${GAME_PACKAGES[@]}" "${WEB_PACKAGES[@]}" "${SCORES_PACKAGES[@]}" "${RELEASE_PACKAGES[@]}"
    release
    ;;
  windows)
    install_missing "${GAME_PACKAGES[@]}" zip
    build_windows build-release
    ;;
  web)
    install_missing "${GAME_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
    build_web
    echo "Serving build-web/ on http://127.0.0.1:8000/ (Ctrl+C stops)"
    exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web
    ;;
  scores)
    install_missing "${GAME_PACKAGES[@]}" "${WEB_PACKAGES[@]}" "${SCORES_PACKAGES[@]}"
    build build-scores -DQUARVEL_TESTS=OFF -DQUARVEL_BENCH=OFF -DQUARVEL_SCORES=ON -DCMAKE_BUILD_TYPE=Release
    build_web
    echo "Serving the game, the high-score table and its API on http://127.0.0.1:8000/ (Ctrl+C stops)"
    exec build-scores/quarvel-scores --listen 127.0.0.1:8000 --database sqlite:build-scores/scores.db \
      --site build-web --verifier build-scores/quarvel
    ;;
  *)
    echo "usage: ./build.sh play|test|bench|format|web|scores|release|windows|fuzz [TARGET] [SECONDS]|soak [FRAMES]" >&2
    exit 2
    ;;
esac
