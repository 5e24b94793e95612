#!/usr/bin/env bash
# Checks an assembled release folder against the release layout list: exactly its files (the wizard only when
# it is built), the library's public header unchanged, graphics.h including it, Visual C++ stand-ins that say
# so, and MinGW archives that hold an object of every library source.
# Usage: check-kit.sh KIT_DIR LAYOUT PUBLIC_HEADER AR WIZARD(yes|no) SOURCE_NAME...
set -euo pipefail
kit=$1 layout=$2 header=$3 ar=$4 wizard=$5
shift 5
sources=("$@")
. "$(dirname "$0")/../../kit/release-layout.sh"
status=0
fail() { echo "FAILED: $*"; status=1; }

expected=$(release_built "$layout" "$wizard")
diff <(sort <<<"$expected") <(cd "$kit" && find . -type f -printf '%P\n' | sort) \
  || fail "the release folder's files differ from the layout (< expected, > found)"

while read -r path; do
  cmp -s "$header" "$kit/$path" || fail "$path is not the library's public header"
done < <(release_files "$layout" header)
while read -r path; do
  grep -q '^#include "gravo.h"' "$kit/$path" || fail "$path does not include gravo.h"
done < <(release_files "$layout" graphics-header)
while read -r path; do
  grep -q "^GRAVO STAND-IN, NOT A LIBRARY: $(basename "$path")" "$kit/$path" || fail "$path is not a labelled stand-in"
done < <(release_files "$layout" vs-standin)
while read -r path; do
  members=$("$ar" t "$kit/$path")
  for source in "${sources[@]}"; do
    grep -qx "$source.obj" <<<"$members" || fail "$path lacks the object of $source"
  done
done < <(release_files "$layout" mingw32 mingw64)
[ "$status" -ne 0 ] || echo "release folder $kit: layout and archives complete"
exit "$status"
