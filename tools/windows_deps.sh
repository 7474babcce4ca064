#!/usr/bin/env bash
# What the Windows build needs from outside the game, made on this machine
# from Debian's packages alone and kept in a cache outside the clone:
#
#   tools/windows_deps.sh          SDL2 and SDL2_mixer for x86_64-w64-mingw32,
#                                  built from Debian's source packages with the
#                                  POSIX-threads MinGW-w64 compilers; prints the
#                                  prefix to pass as CMAKE_PREFIX_PATH
#   tools/windows_deps.sh wine     a ready 64-bit Wine prefix; prints the folder
#                                  (copy it before use: Wine writes into it)
#
# The cache is ${QUARVEL_CACHE:-$HOME/.cache/quarvel}; each entry is named after
# the versions it was made from and appears only when it is complete, so a
# second run just prints the folder. Progress and times go to stderr, the
# folder alone to stdout: PREFIX=$(tools/windows_deps.sh).
#
# The sources come from the Debian mirrors this machine already uses for its
# binary packages, through a private apt configuration in a temporary folder:
# /etc/apt and /var/lib/apt/lists are only read, never written.
set -euo pipefail

# Debian 12's libsdl2 and libsdl2-mixer: the very versions the Linux build
# links (libsdl2-dev, libsdl2-mixer-dev), so both builds run the same SDL.
SDL2_VERSION=2.26.5+dfsg-1
MIXER_VERSION=2.6.2+dfsg-2
# Raised whenever the way the libraries are built below changes, so that an
# older cache entry is not taken for a new one.
RECIPE=1

JOBS=${JOBS:-2}
CACHE=${QUARVEL_CACHE:-$HOME/.cache/quarvel}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake

PACKAGES=(cmake make dpkg-dev xz-utils gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix)
WINE_PACKAGES=(wine wine64)

say() { echo "windows_deps: $*" >&2; }
die() {
  say "$*"
  exit 1
}
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

source "$ROOT/tools/install_missing.sh"

# One cache entry at a time is made, whatever the number of clones asking for
# it: the lock is held until this script ends. Folders left by a build that
# was killed are removed once the lock is ours.
lock_entry() {  # lock_entry KEY
  mkdir -p "$CACHE"
  exec {lock_fd}>"$CACHE/.$1.lock"
  flock "$lock_fd"
  rm -rf "$CACHE/.$1.building."*
}

# The scratch folder of the step under way; removed when the step or the
# script ends, with the Wine server of a prefix inside it.
WORK=""
cleanup() {
  [ -n "$WORK" ] || return 0
  if [ -d "$WORK/prefix" ]; then WINEPREFIX=$WORK/prefix wineserver -k 2>/dev/null || true; fi
  rm -rf "$WORK"
  WORK=""
}
trap cleanup EXIT

new_work() {  # new_work FOLDER KEY: a scratch folder in FOLDER
  cleanup
  mkdir -p "$1"
  WORK=$(mktemp -d "$1/.$2.building.XXXXXX")
}

# --- Sources -----------------------------------------------------------------

# Every "deb" entry of the machine's own apt configuration whose suite belongs
# to this Debian release, as "URI SUITE" lines; both the one-line and the
# deb822 formats are read. Files that apt ignores (other endings) are skipped.
machine_mirrors() {
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ } print $i, $(i + 1) }'
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk 'BEGIN { RS = ""; FS = "\n" }
        {
          types = ""; uris = ""; suites = ""; enabled = "yes"
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^#/ || !match($i, /^[A-Za-z-]+:/)) continue
            key = tolower(substr($i, 1, RLENGTH - 1)); value = substr($i, RLENGTH + 1)
            if (key == "types") types = value
            else if (key == "uris") uris = value
            else if (key == "suites") suites = value
            else if (key == "enabled") enabled = value
          }
          if (enabled ~ /no/ || types !~ /(^|[ \t])deb([ \t]|$)/) next
          nu = split(uris, u, " "); ns = split(suites, s, " ")
          for (a = 1; a <= nu; a++) for (b = 1; b <= ns; b++) print u[a], s[b]
        }' "$f"
    done
  } | awk -v release="$codename" '$2 == release || index($2, release "-") == 1' | sort -u
}

# apt-get source through a configuration of its own: its sources list, package
# lists and cache all live in DIR/apt.
fetch_sources() {  # fetch_sources DIR
  local dir=$1 apt=$1/apt mirrors
  mirrors=$(machine_mirrors)
  [ -n "$mirrors" ] || die "no Debian $(. /etc/os-release && echo "$VERSION_CODENAME") entry in /etc/apt/sources.list*"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$dir/src"
  : >"$apt/sources.list"
  local uri suite
  while read -r uri suite; do
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n\n' \
      "$uri" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg
  done <<<"$mirrors" >"$apt/sources.list.d/debian-src.sources"
  local opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o Dir::Cache::pkgcache=
    -o Dir::Cache::srcpkgcache= -o "APT::Sandbox::User=$(id -un)" -o Acquire::Languages=none)
  apt-get "${opts[@]}" update >"$dir/apt-update.log" 2>&1 || {
    cat "$dir/apt-update.log" >&2
    die "apt-get update (private lists) failed"
  }
  (cd "$dir/src" && apt-get "${opts[@]}" --only-source source \
    "libsdl2=$SDL2_VERSION" "libsdl2-mixer=$MIXER_VERSION") >"$dir/apt-source.log" 2>&1 || {
    cat "$dir/apt-source.log" >&2
    die "apt-get source failed; the versions the mirrors offer: $(apt-cache "${opts[@]}" showsrc libsdl2 libsdl2-mixer |
      awk '/^Package:/ { p = $2 } /^Version:/ { printf "%s=%s ", p, $2 }')"
  }
}

# --- SDL2 and SDL2_mixer -------------------------------------------------------

DEPS_KEY=mingw64-SDL2-$SDL2_VERSION-mixer-$MIXER_VERSION-r$RECIPE
DEPS=$CACHE/$DEPS_KEY

deps_complete() {  # deps_complete PREFIX
  local f
  for f in quarvel-deps.txt bin/SDL2.dll bin/SDL2_mixer.dll lib/libSDL2.dll.a lib/libSDL2_mixer.dll.a \
    lib/cmake/SDL2/SDL2Config.cmake lib/cmake/SDL2_mixer/SDL2_mixerConfig.cmake include/SDL2/SDL_mixer.h; do
    [ -f "$1/$f" ] || return 1
  done
}

build_deps() {
  deps_complete "$DEPS" && return
  lock_entry "$DEPS_KEY"
  deps_complete "$DEPS" && return
  install_missing "${PACKAGES[@]}"
  new_work "$CACHE" "$DEPS_KEY"
  say "building $DEPS_KEY in $WORK (-j$JOBS)"

  local t
  t=$(now)
  fetch_sources "$WORK"
  say "sources fetched in $(since "$t")"

  # Installed as if at the final folder (the pkg-config files name it), into
  # a copy of the tree under WORK/root, which is moved into place at the end.
  local dest=$WORK/root stage=$WORK/root$DEPS
  local common=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEPS"
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$WORK/src/=")

  t=$(now)
  cmake -S "$WORK/src/libsdl2-${SDL2_VERSION%-*}" -B "$WORK/build-sdl2" "${common[@]}" \
    -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF >"$WORK/sdl2.log" 2>&1 &&
    cmake --build "$WORK/build-sdl2" -j"$JOBS" >>"$WORK/sdl2.log" 2>&1 &&
    DESTDIR=$dest cmake --install "$WORK/build-sdl2" --strip >>"$WORK/sdl2.log" 2>&1 || {
    tail -40 "$WORK/sdl2.log" >&2
    die "the SDL2 build failed"
  }
  say "SDL2 built in $(since "$t")"

  # Only WAV: every decoder that would need another library is off.
  t=$(now)
  cmake -S "$WORK/src/libsdl2-mixer-${MIXER_VERSION%-*}" -B "$WORK/build-mixer" "${common[@]}" \
    -DCMAKE_PREFIX_PATH="$stage" -DBUILD_SHARED_LIBS=ON -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS= -DSDL2MIXER_WAVE=ON >"$WORK/mixer.log" 2>&1 &&
    cmake --build "$WORK/build-mixer" -j"$JOBS" >>"$WORK/mixer.log" 2>&1 &&
    DESTDIR=$dest cmake --install "$WORK/build-mixer" --strip >>"$WORK/mixer.log" 2>&1 || {
    tail -40 "$WORK/mixer.log" >&2
    die "the SDL2_mixer build failed"
  }
  say "SDL2_mixer built in $(since "$t")"

  # What the DLLs import is checked where they are zipped with the game (build.sh).

  {
    echo "SDL2 (Debian source libsdl2) $SDL2_VERSION"
    echo "SDL2_mixer (Debian source libsdl2-mixer) $MIXER_VERSION, WAV only"
    echo "compiler gcc-mingw-w64-x86-64-posix $(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix)"
    echo "recipe $RECIPE, made $(date -u +%Y-%m-%dT%H:%M:%SZ)"
  } >"$stage/quarvel-deps.txt"
  deps_complete "$stage" || die "the install in $stage is incomplete"
  mv -T "$stage" "$DEPS"
  cleanup
  say "SDL2 and SDL2_mixer are in $DEPS"
}

# --- Wine ----------------------------------------------------------------------

# Raised whenever the prefix is made differently below.
WINE_RECIPE=1
wine_key() { echo "wine64-$(dpkg-query -W -f='${Version}' wine64)-r$WINE_RECIPE"; }

# A fresh 64-bit prefix made by wineboot with no display, without the Mono
# and Gecko installers (Debian's Wine has neither). Its windows are left
# unmanaged: Xvfb has no window manager, and Wine would otherwise wait 2 s
# for one to withdraw each window that closes (wait_for_withdrawn_state).
build_wine_prefix() {
  install_missing "${WINE_PACKAGES[@]}"
  local key
  key=$(wine_key)
  WINE_PREFIX=$CACHE/$key
  [ -f "$WINE_PREFIX/system.reg" ] && return
  lock_entry "$key"
  [ -f "$WINE_PREFIX/system.reg" ] && return
  new_work "$CACHE" "$key"
  local t
  t=$(now)
  (
    unset DISPLAY WAYLAND_DISPLAY
    export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wineboot --init &&
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &&
      wineserver -w
  ) >"$WORK/wineboot.log" 2>&1 || {
    cat "$WORK/wineboot.log" >&2
    die "wineboot failed"
  }
  [ -f "$WORK/prefix/system.reg" ] || die "wineboot made no registry"
  mv -T "$WORK/prefix" "$WINE_PREFIX"
  cleanup
  say "Wine prefix made in $(since "$t"): $WINE_PREFIX"
}

case "${1:-deps}" in
  deps)
    build_deps
    echo "$DEPS"
    ;;
  wine)
    build_wine_prefix
    echo "$WINE_PREFIX"
    ;;
  *) die "usage: $0 [deps|wine]" ;;
esac
