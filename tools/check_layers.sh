#!/usr/bin/env bash
# Fails when a file under src/ includes a header from a layer above its own.
# The layers, bottom to top; the three stages stand side by side and may not
# include each other.
set -euo pipefail
cd "$(dirname "$0")/../src"

rank() {
  case "$1" in
    platform) echo 0 ;;
    gfx) echo 1 ;;
    game) echo 2 ;;
    story) echo 3 ;;
    stage_one | stage_two | stage_three) echo 4 ;;
    app) echo 5 ;;
    *) echo -1 ;;
  esac
}

status=0
for file in */*.h */*.cpp; do
  folder=${file%%/*}
  own=$(rank "$folder")
  if [ "$own" -lt 0 ]; then
    echo "$file: the folder $folder is no known layer" >&2
    status=1
    continue
  fi
  while IFS= read -r line; do
    target=$(sed -E 's/^#include "([^/"]+)\/.*/\1/' <<<"$line")
    [ "$target" = "$folder" ] && continue
    theirs=$(rank "$target")
    if [ "$theirs" -lt 0 ] || [ "$theirs" -ge "$own" ]; then
      echo "$file: $line reaches up or across the layers (from $folder)" >&2
      status=1
    fi
  done < <(grep -E '^#include "[^"]+/' "$file" || true)
  # SDL belongs to the platform layer alone.
  if [ "$folder" != platform ] && grep -qE '^#include <SDL' "$file"; then
    echo "$file: only src/platform may include SDL" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
