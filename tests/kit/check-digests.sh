#!/usr/bin/env bash
# Checks the digests the wizard carries against the staged release files that the kit is assembled from: one
# digest for each file the wizard installs, and each the SHA-256 of that file's bytes.
# Usage: check-digests.sh DIGESTS_EXE PAYLOAD_DIR LAYOUT
set -euo pipefail
program=$1 payload=$2 layout=$3
. "$(dirname "$0")/../../kit/release-layout.sh"

digests=$("$GRAVO_WINE" "$program" </dev/null | tr -d '\r')
if ! diff <(release_payloads "$layout" | sort) <(cut -c67- <<<"$digests" | sort); then
  echo "FAILED: the wizard's digests and the installed files of the layout differ (< listed, > carried)"
  exit 1
fi
(cd "$payload" && sha256sum --check --strict <<<"$digests") || { echo "FAILED: a carried digest is not its file's"; exit 1; }
echo "the wizard carries the SHA-256 of each of the $(wc -l <<<"$digests") files it installs"
