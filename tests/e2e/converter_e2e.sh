#!/usr/bin/env bash
# End to end with the repository's converter: the real program on a private X server, the
# converter found at the end of PATH as ./run.sh puts it there, "Apply" pressed twice, and the
# design file read back with GDAL's ogrinfo after each run.
#
#   converter_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: converter_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]'
app=$(realpath -e "${1:?$usage}")
shot=${2:-}
[[ -z $shot ]] || shot=$(realpath -m "$shot")
source_root=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../..")

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
[[ -z $shot ]] || failure_shot=${shot%.png}-failure.png

e2e_begin ogrinfo
e2e_start_xvfb
export PATH=$PATH:$source_root/converter
[[ $(command -v mapfeed.pl) == "$source_root/converter/mapfeed.pl" ]] ||
  fail "another mapfeed.pl comes first on PATH: $(command -v mapfeed.pl)"

# Two lines of an Arc/Info generate file; the design file starts empty.
printf '%s\n' 10 '100.5 200.25' '150 260' END 20 '300 400' '310,420' '330 450' END END >roads.gen
: >roads.dgn

e2e_start_program "$app"
type_into "${INFILE[@]}" "$work/roads.gen"
type_into "${DGNFILE[@]}" "$work/roads.dgn"

# The program does not wait for the converter: wait for the file to hold the elements.
line_strings() { ogrinfo -al -q roads.dgn 2>/dev/null | grep -c '^  Type (Integer) = 4$' || true; }
holds_line_strings() {
  wait_detail="$(line_strings) line strings, $(stat -c %s roads.dgn) bytes"
  (($(line_strings) == $1))
}
apply_and_wait() {
  log_target=$(($(log_lines) + 3))
  click_in "$main_wid" "${APPLY[@]}"
  wait_for 10 "the run log's record of the run (a message box in the way?)" log_has_grown
  wait_for 20 "$1 line strings in roads.dgn" holds_line_strings "$1"
}

# The start-up defaults send "-S A" and "-O P" only: the converter reads the file as lines
# and puts them on level 1.
apply_and_wait 2
info=$(ogrinfo -al -q roads.dgn)
grep -q '^  LINESTRING (100.5 200.25,150 260)$' <<<"$info" || fail "the first line is not in roads.dgn: $info"
grep -q '^  LINESTRING (300 400,310 420,330 450)$' <<<"$info" || fail "the second line is not in roads.dgn: $info"
[[ $(grep -c '^  Level (Integer) = 1$' <<<"$info") == 2 ]] || fail "the lines are not on level 1: $info"
[[ $(head -c 4 roads.dgn | od -An -tx1 | tr -d ' ') == 0809fe02 ]] || fail "roads.dgn does not start with a 2D TCB"

if [[ -n $shot ]]; then
  mkdir -p "$(dirname "$shot")"
  import -window root "$shot" || echo "e2e: warning: no screenshot taken" >&2
fi

# A second "Apply" appends: the file keeps the first run's elements.
apply_and_wait 4
close_program
echo "e2e: 2 runs of the repository's converter, read back with ogrinfo"
