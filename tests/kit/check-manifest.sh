#!/usr/bin/env bash
# Checks the wizard's payload manifest against the release layout list: the paths the wizard reads (printed by
# the manifest-paths program, run under Wine) are exactly the files of the list that it installs.
# Usage: check-manifest.sh MANIFEST_PATHS_EXE LAYOUT
set -euo pipefail
program=$1 layout=$2
. "$(dirname "$0")/../../kit/release-layout.sh"

read_paths=$("$GRAVO_WINE" "$program" </dev/null | tr -d '\r' | sort -u)
[ -n "$read_paths" ] || { echo "FAILED: the manifest program printed nothing"; exit 1; }
if ! diff <(release_payloads "$layout" | tr / '\\' | sort) <(echo "$read_paths"); then
  echo "FAILED: the wizard's manifest and the release layout differ (< listed, > read by the wizard)"
  exit 1
fi
echo "the wizard reads exactly the $(wc -l <<<"$read_paths") payload files of the release layout"
