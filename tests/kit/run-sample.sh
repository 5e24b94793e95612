#!/usr/bin/env bash
# Builds the Gravo sample against a release folder only (its include\ and one lib_mingw\ folder, as a user
# does) and runs it under Wine.
# Usage: run-sample.sh CXX KIT_DIR LIB_FOLDER LIBRARY SAMPLE_SOURCE OUT_DIR [DEFINITION]
set -euo pipefail
cxx=$1 kit=$2 folder=$3 library=$4 source=$5 out=$6 definition=${7:-}
mkdir -p "$out"
rm -f "$out/sample.exe"
# -static: the program needs no MinGW runtime DLLs beside it.
"$cxx" -std=c++11 -O2 ${definition:+"$definition"} -I"$kit/include" "$source" -o "$out/sample.exe" \
  -L"$kit/lib_mingw/$folder" -l"$library" -lgdi32 -luser32 -lole32 -lshell32 -static
output=$("$GRAVO_WINE" "$out/sample.exe" </dev/null)
echo "$output"
grep -qx "Gravo sample: ok" <<<"${output//$'\r'/}"
