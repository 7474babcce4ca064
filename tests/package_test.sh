#!/usr/bin/env bash
# The Debian packages: lintian finds no error or warning in them nor in the
# source package and debug symbols of their .changes, the programs are in
# /usr/games and say the package's version, the score server's package
# holds its program, man page and a sandboxed unit, and the game unpacked from it
# (never installed) plays the recorded whole game from / exactly as the build
# folder's game does: the same frames, sounds, high score and messages.
#   tests/package_test.sh DEB BUILD_DIR
set -euo pipefail
deb=$1
build=$(cd "$2" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

changes=${deb%.deb}.changes
lintian --fail-on error,warning --display-info --pedantic "$changes"
echo "lintian: no errors or warnings in $(basename "$changes") and its files"

dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
for file in usr/games/quarvel usr/games/quarvel-win usr/share/quarvel/graphics/graphics.bmp \
    usr/share/quarvel/WAV/8.WAV usr/share/doc/quarvel/copyright; do
  [ -f "$root/$file" ] || { echo "not in the package: /$file"; exit 1; }
done
version=$(dpkg-deb -f "$deb" Version)
for program in quarvel quarvel-win; do
  [ "$("$root/usr/games/$program" --version)" = "$program $version" ] ||
    { echo "/usr/games/$program --version does not say $program $version"; exit 1; }
done

# The score server's package beside it: the program says its version, its
# man page and its systemd unit are there, and the unit is valid and as
# walled in as systemd-analyze rates "OK".
scores_deb=$(ls "$(dirname "$deb")"/quarvel-scores_"${version}"_*.deb)
dpkg-deb -x "$scores_deb" "$scratch/scores"
unit=$scratch/scores/lib/systemd/system/quarvel-scores.service
for file in usr/bin/quarvel-scores usr/share/man/man1/quarvel-scores.1.gz lib/systemd/system/quarvel-scores.service \
    usr/share/doc/quarvel-scores/copyright; do
  [ -f "$scratch/scores/$file" ] || { echo "not in the server's package: /$file"; exit 1; }
done
[ "$(dpkg-deb -f "$scores_deb" Depends | grep -o "quarvel (= $version)")" = "quarvel (= $version)" ] ||
  { echo "quarvel-scores does not depend on quarvel $version"; exit 1; }
[ "$("$scratch/scores/usr/bin/quarvel-scores" --version)" = "quarvel-scores $version" ] ||
  { echo "quarvel-scores --version does not say quarvel-scores $version"; exit 1; }
for setting in DynamicUser=yes StateDirectory=quarvel-scores ProtectSystem=strict NoNewPrivileges=yes; do
  grep -qx "$setting" "$unit" || { echo "the unit lacks $setting"; exit 1; }
done
if command -v systemd-analyze >/dev/null; then
  mkdir -p "$scratch/units"
  sed "s|/usr/bin/quarvel-scores|$scratch/scores/usr/bin/quarvel-scores|" "$unit" >"$scratch/units/quarvel-scores.service"
  (cd "$scratch/units" && systemd-analyze verify --man=no quarvel-scores.service) ||
    { echo "systemd-analyze verify finds fault with the unit"; exit 1; }
  systemd-analyze security --offline=yes --threshold=20 "$unit" >/dev/null ||
    { echo "the unit is rated above 2.0 by systemd-analyze security"; exit 1; }
fi
echo "package test: quarvel-scores $version, its man page and a valid, sandboxed unit"

export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/data XDG_CONFIG_HOME=$scratch/home/config
mkdir -p "$HOME"
# With sound on (the headless sound device only logs), so that the packaged
# samples are read too: a missing one would be a warning and a gap in the log.
play() {  # play PROGRAM NAME: the whole recorded game, run from /
  (cd / && "$1" --headless --input "$src/bench/whole_game.txt" --frame-hashes "$scratch/$2.frames" \
    --sound-log "$scratch/$2.sounds" --hiscore "$scratch/$2.hiscore" >/dev/null 2>"$scratch/$2.stderr") ||
    { echo "$2: $1 failed"; cat "$scratch/$2.stderr"; exit 1; }
}
play "$build/quarvel-win" build
play "$root/usr/games/quarvel-win" package
[ "$(wc -l <"$scratch/build.frames")" -gt 8000 ] && [ -s "$scratch/build.sounds" ] ||
  { echo "the build's game did not play the whole recording"; exit 1; }
for kind in frames sounds hiscore stderr; do
  cmp "$scratch/build.$kind" "$scratch/package.$kind" || { cat "$scratch/package.stderr"; exit 1; }
done
echo "package test passed: $(wc -l <"$scratch/package.frames") frames, $(wc -l <"$scratch/package.sounds") sounds and the high score as the build's"
