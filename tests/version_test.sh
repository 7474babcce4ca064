#!/usr/bin/env bash
# Every place that states the version says the project's version: the
# program's --version, the AppStream release, the Debian changelog and the
# man pages. Each place is one `says` line below.
#   tests/version_test.sh VERSION PROGRAM SOURCE_DIR
set -euo pipefail
version=$1 program=$2 src=$3
faults=0

says() {  # says WHERE FOUND
  if [ "$2" = "$version" ]; then
    echo "$1: $2"
  else
    echo "$1 says '$2', the project's version is $version" >&2
    faults=$((faults + 1))
  fi
}

says "$(basename "$program") --version" "$("$program" --version | sed -n 's/^quarvel[-a-z]* //p')"
# The metainfo lists the newest release first.
says "AppStream metainfo" \
  "$(grep -o -m1 '<release [^>]*version="[^"]*"' "$src/dist/org.quarvel.Quarvel.metainfo.xml" | sed 's/.*version="//; s/"$//')"
# The changelog's newest entry starts: quarvel (VERSION) DISTRIBUTION; ...
says "debian/changelog" "$(sed -n '1s/^quarvel (\([^)]*\)).*/\1/p' "$src/debian/changelog")"
for page in "$src"/dist/*.6; do
  grep -q '^\.so ' "$page" && continue  # an alias of another page
  says "${page#"$src"/}" "$(sed -n 's/^\.TH [^ ]* [^ ]* "[^"]*" "quarvel \([^"]*\)".*/\1/p' "$page")"
done
says "dist/quarvel-scores.1" "$(sed -n 's/^\.TH [^ ]* [^ ]* "[^"]*" "quarvel-scores \([^"]*\)".*/\1/p' "$src/dist/quarvel-scores.1")"

[ "$faults" -eq 0 ] || exit 1
