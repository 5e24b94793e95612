#!/usr/bin/env bash
# Checks the release archive: its SHA-256 file (sha256sum's format, naming the archive) matches it, it is a
# sound zip holding exactly the release layout's files at its root in the list's order (the wizard only when
# it is built), and each file unpacks to the bytes of the assembled release folder.
# Usage: check-archive.sh ARCHIVE KIT_DIR LAYOUT WIZARD(yes|no)
set -euo pipefail
archive=$1 kit=$2 layout=$3 wizard=$4
. "$(dirname "$0")/../../kit/release-layout.sh"
status=0
fail() { echo "FAILED: $*"; status=1; }

name=$(basename "$archive")
[ "$(awk '{print $2}' "$archive.sha256")" = "$name" ] || fail "$name.sha256 does not name $name"
(cd "$(dirname "$archive")" && sha256sum --check --strict "$name.sha256") || fail "$name does not match its SHA-256"

unzip -tqq "$archive" || fail "$name is not a sound zip archive"
expected=$(release_built "$layout" "$wizard")
diff <(echo "$expected") <(unzip -Z1 "$archive") \
  || fail "$name's entries differ from the layout (< expected, > found)"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$archive" -d "$unpacked"
diff -r "$kit" "$unpacked" || fail "$name does not unpack to the release folder's bytes"
[ "$status" -ne 0 ] || echo "release archive $name: checksum, entries and contents match the release folder"
exit "$status"
