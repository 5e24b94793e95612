#!/usr/bin/env bash
# Checks the demo tool chain's stand-in gcc under Wine: "gcc -v" prints the report, unchanged, to standard
# error only and succeeds; without -v it fails as a gcc given no input file.
# Usage: check-standin-gcc.sh GCC_EXE REPORT
set -euo pipefail
gcc=$1 report=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$GRAVO_WINE" "$gcc" -v </dev/null >"$out/stdout" 2>"$out/stderr"
[ ! -s "$out/stdout" ] || { echo "FAILED: gcc -v wrote to standard output"; exit 1; }
tr -d '\r' <"$out/stderr" | diff - "$report" || { echo "FAILED: gcc -v did not print the report"; exit 1; }
if "$GRAVO_WINE" "$gcc" </dev/null >/dev/null 2>&1; then
  echo "FAILED: gcc without arguments succeeded"
  exit 1
fi
echo "stand-in gcc: prints the report of $(basename "$report")"
