#!/usr/bin/env bash
# Checks an assembled release folder: exactly the files of the release layout (the wizard at the root when it
# is built), the library's public header unchanged, graphics.h including it, Visual C++ stand-ins that say so,
# and MinGW archives that hold an object of every library source.
# Usage: check-kit.sh KIT_DIR PUBLIC_HEADER AR WIZARD_NAME|- SOURCE_NAME...
set -euo pipefail
kit=$1 header=$2 ar=$3 wizard=$4
shift 4
sources=("$@")
status=0
fail() { echo "FAILED: $*"; status=1; }

expected=(include/gravo.h include/graphics.h lib_vs/README.txt
  lib_mingw/lib32/libgravo.a lib_mingw/lib32/libgravow.a
  lib_mingw/lib64/libgravo.a lib_mingw/lib64/libgravow.a
  lib_mingw/lib-for-devcpp_5.4.0/libgravo.a)
for slot in VC6/x86 VC2008/x86 VC2008/x64 VC2015/x86 VC2015/x64; do
  expected+=("lib_vs/$slot/Gravoa.lib" "lib_vs/$slot/Gravow.lib")
done
[ "$wizard" = - ] || expected+=("$wizard")
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$kit" && find . -type f -printf '%P\n' | sort) \
  || fail "the release folder's files differ from the layout (< expected, > found)"

cmp -s "$header" "$kit/include/gravo.h" || fail "include/gravo.h is not the library's public header"
grep -q '^#include "gravo.h"' "$kit/include/graphics.h" || fail "include/graphics.h does not include gravo.h"
for lib in "$kit"/lib_vs/*/*/*.lib; do
  grep -q "^GRAVO STAND-IN, NOT A LIBRARY: $(basename "$lib")" "$lib" || fail "$lib is not a labelled stand-in"
done

for archive in "$kit"/lib_mingw/*/*.a; do
  members=$("$ar" t "$archive")
  for source in "${sources[@]}"; do
    grep -qx "$source.obj" <<<"$members" || fail "$archive lacks the object of $source"
  done
done
[ "$status" -ne 0 ] || echo "release folder $kit: layout and archives complete"
exit "$status"
