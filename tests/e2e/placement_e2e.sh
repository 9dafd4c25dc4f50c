#!/usr/bin/env bash
# End to end under openbox: a dialog reopened while another stands where it was left opens
# elsewhere, so no two dialogs overlap; Escape dismisses two dialogs one after the other and
# the program runs on (the focus goes back to the dialog still open, not to the main window,
# where Escape means "Close"); at twice the density the main window's frame is whole on the
# screen and a dialog covers none of its controls. Leaves screenshots in the folder given.
#
#   placement_e2e.sh PATH/TO/mapfeed SCREENSHOT-FOLDER
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: placement_e2e.sh PATH/TO/mapfeed SCREENSHOT-FOLDER'
app=$(realpath -e "${1:?$usage}")
shots=$(realpath -m "${2:?$usage}")
mkdir -p "$shots"

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
failure_shot=$shots/placement-failure.png

e2e_begin openbox xprop xwininfo import
e2e_start_xvfb
e2e_install_converter

e2e_start_openbox

LINSYM=(436 152)    # LinsymCmd "set" in OutputFrm
PNTSYM=(428 272)    # PntsymCmd "set" in OutputFrm
SYM_APPLY=(56 99)   # ApplyCmd "Apply" of a symbology dialog, 32,88 48x22

open_dialog() {
  local -n id=$1
  find_window "$1" "$2"
  wait_for 5 "openbox to frame \"$2\"" is_framed "$id"
  sleep 0.3 # mapped is not yet drawn and ready for a click
}
overlap() {
  local l1 t1 r1 b1 l2 t2 r2 b2
  read -r l1 t1 r1 b1 < <(frame_of "$1")
  read -r l2 t2 r2 b2 < <(frame_of "$2")
  ((l1 <= r2 && l2 <= r1 && t1 <= b2 && t2 <= b1))
}
shoot() { sleep 0.4; import -window root "$shots/$1.png" || fail "no screenshot $1"; }
# s N: a layout position times the scale.
s() { echo $(($1 * scale)); }

# ---- Point "set", its "Apply", Line "set", Point "set" again: Line Symbology now stands where
# Point Symbology was left, so Point Symbology opens elsewhere.
e2e_start_program "$app"
wait_for 5 "openbox to frame the main window" is_framed "$main_wid"
pntsym='' linesym=''
click_in "$main_wid" "${PNTSYM[@]}"
open_dialog pntsym "Point Symbology"
click_in "$pntsym" "${SYM_APPLY[@]}"
wait_for 5 "\"Point Symbology\" to hide on \"Apply\"" window_is_gone "$pntsym"
click_in "$main_wid" "${LINSYM[@]}"
open_dialog linesym "Line Symbology"
click_in "$main_wid" "${PNTSYM[@]}"
open_dialog pntsym "Point Symbology"
! overlap "$pntsym" "$linesym" || fail "Point Symbology ($(frame_of "$pntsym")) overlaps Line Symbology ($(frame_of "$linesym"))"
! overlap "$pntsym" "$main_wid" || fail "Point Symbology ($(frame_of "$pntsym")) overlaps the main window"
shoot placement-scale1
echo "e2e: Line Symbology at $(frame_of "$linesym"), Point Symbology at $(frame_of "$pntsym")"

# ---- Escape twice: each press dismisses the dialog that has the focus, and the program runs
# on, though the last window clicked before the second dialog opened was the main window.
xdotool windowfocus --sync "$pntsym"
xdotool key --clearmodifiers Escape
wait_for 5 "\"Point Symbology\" to go on Escape" window_is_gone "$pntsym"
sleep 0.5
xdotool key --clearmodifiers Escape
wait_for 5 "\"Line Symbology\" to go on the second Escape" window_is_gone "$linesym"
sleep 0.5
kill -0 "$app_pid" 2>/dev/null || fail "two Escapes for two dialogs ended the program"
echo "e2e: two dialogs dismissed with Escape, the program runs on"
close_program

# ---- Twice the density: the main window's frame is on the screen, and a dialog opened where
# the screen has no room beside it covers none of the main window's controls.
export QT_SCALE_FACTOR=2
scale=2
e2e_start_program "$app"
wait_for 5 "openbox to frame the main window" is_framed "$main_wid"
read -r sw sh < <(xdotool getdisplaygeometry)
read -r ml mt mr mb < <(frame_of "$main_wid")
((ml >= 0 && mt >= 0 && mr < sw && mb < sh)) || fail "at scale 2 the main window's frame ($ml,$mt-$mr,$mb) is not on the screen"
click_in "$main_wid" "$(s "${LINSYM[0]}")" "$(s "${LINSYM[1]}")"
open_dialog linesym "Line Symbology"
shoot placement-scale2
read -r dl dt dr db < <(frame_of "$linesym")
# The OUTPUT frame's controls lie between x 256+32 and 256+241, y 16+40 and 16+366 (layout
# pixels): "Output level for linework" and its field at y 113 to 130.
main_x=$((ml + 1))
main_y=$((mt + $(xprop -id "$main_wid" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',' | awk '{print $3}')))
field_l=$((main_x + $(s 296)))
field_r=$((main_x + $(s 497)))
field_t=$((main_y + $(s 112)))
field_b=$((main_y + $(s 131)))
((dr < field_l || dl > field_r || db < field_t || dt > field_b)) ||
  fail "at scale 2 Line Symbology ($dl,$dt-$dr,$db) covers \"Output level for linework\" ($field_l,$field_t-$field_r,$field_b)"
echo "e2e: scale 2: main window frame $ml,$mt-$mr,$mb, Line Symbology $dl,$dt-$dr,$db"
click_in "$main_wid" "$(s "${CLOSE[0]}")" "$(s "${CLOSE[1]}")"
closing=$app_pid
app_pid=
wait_for 5 "the program to end after \"Close\"" program_ended
