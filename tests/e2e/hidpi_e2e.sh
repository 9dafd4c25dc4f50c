#!/usr/bin/env bash
# End to end on a screen of twice the density (QT_SCALE_FACTOR=2): the main window and a
# dialog are drawn at twice their size in pixels, and clicks at the doubled positions reach
# the same controls.
#
#   hidpi_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]
set -euo pipefail

app=$(realpath -e "${1:?usage: hidpi_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]}")
shot=${2:-}
[[ -z $shot ]] || shot=$(realpath -m "$shot")
failure_shot=$shot

# shellcheck source=tests/e2e/lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin import
e2e_start_xvfb
e2e_install_converter
export QT_SCALE_FACTOR=2
scale=2
e2e_start_program "$app"

# "set" of the line symbology, at twice its place: its dialog opens at twice its size.
click_in "$main_wid" $((436 * 2)) $((152 * 2))  # LinsymCmd at 436,152
find_window line_wid "Line Symbology" 10
expect_size_wide "$line_wid" $((172 * 2)) $((129 * 2)) "Line Symbology"
[[ -z $shot ]] || import -window root "$shot"

click_in "$main_wid" $((CLOSE[0] * 2)) $((CLOSE[1] * 2))
closing=$app_pid
app_pid=
wait_for 5 "the program to end after \"Close\"" program_ended
echo "hidpi e2e: passed"
