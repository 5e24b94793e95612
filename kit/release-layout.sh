# Sourced by the kit's tests and the end-to-end tests: reads release-layout.txt, the release folder's list of
# files (its header says what each line holds).
#   release_files LAYOUT [KIND...]  the release paths of the given kinds (of every kind when none is given),
#                                   in the list's order, one a line
#   release_built LAYOUT yes|no     every release path, without the wizard's when no wizard is built ("no")
#   release_payloads LAYOUT         the release paths the wizard installs: every file but itself and the readme

release_files() {
  local layout=$1
  shift
  awk -v kinds="$*" 'BEGIN { n = split(kinds, k, " "); for (i = 1; i <= n; i++) wanted[k[i]] = 1 }
    /^[^#]/ && (n == 0 || $2 in wanted) { print $1 }' "$layout"
}

release_built() {
  if [ "$2" = yes ]; then
    release_files "$1"
  else
    release_files "$1" | grep -vx "$(release_files "$1" wizard)"
  fi
}

release_payloads() {
  release_files "$1" header graphics-header vs-standin mingw32 mingw64
}
