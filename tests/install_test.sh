#!/usr/bin/env bash
# cmake --install into a scratch prefix, then: every file in place, the
# installed desktop entry and metainfo validate, the man page formats, and the
# installed game runs headless from another folder, drawing the same title as
# the build folder's game and keeping its high score in the user data folder.
#   tests/install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/quarvel bin/quarvel-win share/quarvel/graphics/graphics.bmp share/quarvel/WAV/8.WAV \
    share/applications/org.quarvel.Quarvel.desktop share/metainfo/org.quarvel.Quarvel.metainfo.xml \
    share/man/man6/quarvel.6 share/man/man6/quarvel-win.6; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
for size in 16 32 48 64 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/org.quarvel.Quarvel.png" ] || { echo "no ${size}px icon"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/org.quarvel.Quarvel.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.quarvel.Quarvel.metainfo.xml" >/dev/null
MANWIDTH=80 man -l "$prefix/share/man/man6/quarvel.6" 2>/dev/null | grep -q "quarvel.ini"

export HOME=$scratch/home XDG_DATA_HOME=$scratch/home/data XDG_CONFIG_HOME=$scratch/home/config
mkdir -p "$HOME"
# The title, as the build folder's game draws it.
(cd "$build" && ./quarvel-win --headless --scene title --max-ms 1000 --hiscore "$scratch/build-hiscore.txt" \
   --shots "$scratch/build-shots" NOSOUND 2>/dev/null) || [ $? -eq 3 ]
(cd / && "$prefix/bin/quarvel-win" --headless --scene title --max-ms 1000 --shots "$scratch/shots" NOSOUND 2>/dev/null) || [ $? -eq 3 ]
cmp "$scratch/shots/final.bmp" "$scratch/build-shots/final.bmp"
[ -f "$XDG_DATA_HOME/quarvel/hiscore.txt" ] || { echo "no high score in the user data folder"; exit 1; }
[ ! -e /hiscore.txt ] || [ /hiscore.txt -ot "$scratch" ] || { echo "wrote /hiscore.txt"; exit 1; }
# A whole run from another folder ends normally.
printf '100 down esc\n' >"$scratch/input.txt"
(cd / && "$prefix/bin/quarvel" --headless --input "$scratch/input.txt" >/dev/null)
echo "install test passed"
