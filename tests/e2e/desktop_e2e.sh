#!/usr/bin/env bash
# End to end under a real window manager (openbox) on a private X server: the dialogs open
# beside the main window and not on each other, framed with a close button only and their
# titles whole; a click into the main window leaves them above it; a moved dialog reopens where
# the user left it; and picking a file in the open-file dialog leaves nothing in the user's
# settings. Leaves screenshots of the screen in the folder given.
#
#   desktop_e2e.sh PATH/TO/mapfeed SCREENSHOT-FOLDER
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: desktop_e2e.sh PATH/TO/mapfeed SCREENSHOT-FOLDER'
app=$(realpath -e "${1:?$usage}")
shots=$(realpath -m "${2:?$usage}")
mkdir -p "$shots"
rm -f "$shots"/*.png

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
failure_shot=$shots/failure.png

e2e_begin openbox xprop xwininfo import fc-match
e2e_start_xvfb
e2e_install_converter

e2e_start_openbox

# The program's settings would land here; what it holds before the start is the reference.
export XDG_CONFIG_HOME=$work/home/.config
# Caches (fontconfig's) are not settings and may be filled by any program.
home_listing() { (cd home && find . -path ./.cache -prune -o -printf '%p %s %T@\n' | sort); }
home_listing >home.before

printf 'ARC export\nEND\n' >in.gen
printf 'design\n' >out.dgn
mkdir -p project
printf 'ARC export\nEND\n' >project/picked.gen

# Window-relative centres inside the main window and the dialogs (layout in twips / 15).
LINSYM=(436 152)     # LinsymCmd "set" in OutputFrm
CENTR=(430 210)      # CentrCmb's text part in OutputFrm
PNTSYM=(428 272)     # PntsymCmd "set" in OutputFrm
RASTER_BOX=(295 308) # RasterChck's box in OutputFrm
BARE=(507 8)         # the main window's own surface, right of the frames
SYM_CANCEL=(128 99)  # EndCmd "Cancel" of "Point Symbology", 96,88 64x22
CELL_BROWSE=(300 20) # Br1Cmd of "Cell Information"

shoot() {
  sleep 0.4
  import -window root "$shots/$1.png" || fail "no screenshot $shots/$1.png"
}

key_in() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

next_point_type() {
  click_in "$main_wid" "${CENTR[@]}"
  key_in "$main_wid" Down
}



# open_dialog VAR TITLE: waits for the dialog and its frame, and checks what a user sees of it.
dialogs=()
titles=()
open_dialog() {
  local -n id=$1
  find_window "$1" "$2"
  wait_for 5 "openbox to frame \"$2\"" is_framed "$id"
  sleep 0.3 # mapped is not yet drawn and ready for a click
  dialogs+=("$id")
  titles+=("$2")
}

# ---- The main window and six dialogs, opened through user input.
e2e_start_program "$app"
wait_for 5 "openbox to frame the main window" is_framed "$main_wid"
shoot desktop-main
linesym='' pntsym='' textsym='' rasterinfo='' cellopts='' browse=''
click_in "$main_wid" "${LINSYM[@]}"
open_dialog linesym "Line Symbology"
click_in "$main_wid" "${PNTSYM[@]}"
open_dialog pntsym "Point Symbology"
next_point_type # "Textnode"
open_dialog textsym "Text Symbology"
click_in "$main_wid" "${RASTER_BOX[@]}"
open_dialog rasterinfo "Raster Information"
next_point_type # "Annotation"
next_point_type # "Cells"
open_dialog cellopts "Cell Information"
# A first click into a window that openbox has just mapped is now and then taken only as the
# click that focuses it; a user would click again.
browse_is_shown() { [[ -n $(windows_titled "Browse") ]]; }
click_in "$cellopts" "${CELL_BROWSE[@]}"
for _ in 1 2 3 4 5 6 7 8 9 10; do
  browse_is_shown && break
  sleep 0.2
done
if ! browse_is_shown; then
  echo "e2e: a second click on \"Browse\" was needed"
  click_in "$cellopts" "${CELL_BROWSE[@]}"
fi
open_dialog browse "Browse"
shoot desktop-dialogs

# ---- Beside the main window, on the screen, none exactly on another.
read -r sw sh < <(xdotool getdisplaygeometry)
read -r ml mt mr mb < <(frame_of "$main_wid")
corners=()
for i in "${!dialogs[@]}"; do
  read -r l t r b < <(frame_of "${dialogs[i]}")
  ((r < ml || l > mr || b < mt || t > mb)) ||
    fail "\"${titles[i]}\" ($l,$t-$r,$b) covers the main window ($ml,$mt-$mr,$mb)"
  ((l >= 0 && t >= 0 && r < sw && b < sh)) || fail "\"${titles[i]}\" ($l,$t-$r,$b) is not whole on the screen"
  [[ " ${corners[*]} " != *" $l,$t "* ]] || fail "\"${titles[i]}\" opened exactly on another dialog at $l,$t"
  corners+=("$l,$t")
done
read -r l t _ _ < <(frame_of "$linesym")
((l > mr && t == mt)) || fail "the first dialog is not to the right of the main window: $l,$t against $mr,$mt"
echo "e2e: main window frame $ml,$mt-$mr,$mb; dialog frames at ${corners[*]}"

# ---- Titles whole: the title text, in openbox's title font, fits the frame's title label,
# the widest of the title bar's own windows (its icon and close button are squares).
title_font=$(fc-match -f '%{file}' 'sans:bold')
text_width() {
  convert -font "$title_font" -pointsize 8 -density 96 "label:$1" -trim -format '%w' info:
}
root_id=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
# frame_window WID: openbox's frame around window WID, the last window below the root.
frame_window() {
  local id=$1 parent
  while parent=$(xwininfo -children -id "$id" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
    [[ -n $parent && $parent != "$root_id" ]]; do
    id=$parent
  done
  echo "$id"
}
# label_width WID: the width openbox gives the title text, its label window: the widest window of
# the frame lower than the title bar (18 px here) and at least a line of text high; the icon
# and the buttons beside it are small squares.
label_width() {
  xwininfo -tree -id "$(frame_window "$1")" |
    awk '{ for (f = 1; f <= NF; f++) if ($f ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) {
             split($f, s, /[x+]/); if (s[2] >= 10 && s[2] < 18 && s[1] > best) best = s[1] } }
         END { print best + 0 }'
}
for i in "${!dialogs[@]}"; do
  need=$(text_width "${titles[i]}")
  have=$(label_width "${dialogs[i]}")
  echo "e2e: \"${titles[i]}\": title text $need px, title label $have px"
  ((need <= have)) || fail "the title \"${titles[i]}\" ($need px) is cut in its ${have} px title label"
  # No minimise or maximise for a window of fixed size: the Motif hints ask for neither
  # (functions 8 and 16, decorations 32 and 64, and not "all"). Openbox keeps its iconify
  # button whatever a window asks; maximise it must not offer.
  read -r _ functions decorations _ < <(xprop -id "${dialogs[i]}" _MOTIF_WM_HINTS | sed -n 's/.*= *//p' | tr -d ',')
  ((functions && !(functions & 0x19) && decorations && !(decorations & 0x61))) ||
    fail "\"${titles[i]}\" asks for minimise or maximise: functions $functions, decorations $decorations"
  actions=$(xprop -id "${dialogs[i]}" _NET_WM_ALLOWED_ACTIONS)
  [[ $actions != *_NET_WM_ACTION_MAXIMIZE_* ]] || fail "\"${titles[i]}\" can be maximised: $actions"
done

# ---- A click into the main window raises it, but its dialogs stay above it.
click_in "$main_wid" "${BARE[@]}"
sleep 0.3
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# *//p' | tr -d ',')
position_of() {
  local n=0 id
  for id in $stacking; do
    (( id == $1 )) && { echo "$n"; return; }
    n=$((n + 1))
  done
  echo -1
}
main_at=$(position_of "$main_wid")
((main_at >= 0)) || fail "the main window is not in the stacking list: $stacking"
for i in "${!dialogs[@]}"; do
  at=$(position_of "${dialogs[i]}")
  ((at > main_at)) || fail "\"${titles[i]}\" went behind the main window after a click into it ($stacking)"
done
shoot desktop-after-click

# ---- A dialog the user moved reopens where it was left; a discarded one starts beside.
# A free place, clear of the other dialogs, so that its "Cancel" can be clicked.
xdotool windowmove "$pntsym" 960 100
sleep 0.3
read -r moved_l moved_t _ _ < <(frame_of "$pntsym")
click_in "$pntsym" "${SYM_CANCEL[@]}"
wait_for 5 "\"Point Symbology\" to hide on \"Cancel\"" window_is_gone "$pntsym"
click_in "$main_wid" "${PNTSYM[@]}"
find_window pntsym "Point Symbology"
sleep 0.3
read -r l t _ _ < <(frame_of "$pntsym")
[[ "$l,$t" == "$moved_l,$moved_t" ]] || fail "\"Point Symbology\" reopened at $l,$t, not where it was left ($moved_l,$moved_t)"
shoot desktop-reopened
key_in "$pntsym" Escape
wait_for 5 "\"Point Symbology\" to go on Escape" window_is_gone "$pntsym"
click_in "$main_wid" "${PNTSYM[@]}"
find_window pntsym "Point Symbology"
sleep 0.3
read -r l t _ _ < <(frame_of "$pntsym")
[[ "$l,$t" != "$moved_l,$moved_t" ]] || fail "a new \"Point Symbology\" opened where the discarded one was left"
((l > mr || t > mb)) || fail "a new \"Point Symbology\" did not open beside the main window ($l,$t)"

# ---- The open-file dialog: a file picked there reaches the converter, and nothing of the
# dialog (history, last folder) is left in the user's settings after the end.
before=$(xdotool search --onlyvisible --name '' | sort)
file_dialog=
new_named_window() {
  local id
  for id in $(xdotool search --onlyvisible --name '' | sort | comm -13 <(echo "$before") -); do
    [[ -n $(xdotool getwindowname "$id" 2>/dev/null) ]] && file_dialog=$id && return 0
  done
  return 1
}
click_in "$main_wid" "${BROWSE_IN[@]}"
wait_for 10 "the open-file dialog of \"browse\"" new_named_window
wait_for 5 "openbox to frame the open-file dialog" is_framed "$file_dialog"
shoot desktop-file-dialog
# The file name field has the focus; a full path there picks that file.
xdotool windowfocus --sync "$file_dialog"
xdotool type --delay 5 "$work/project/picked.gen"
xdotool key --clearmodifiers Return
wait_for 5 "the open-file dialog to close on Return" window_is_gone "$file_dialog"
give_focus "$main_wid"
type_into "${DGNFILE[@]}" "$work/out.dgn"
press_apply
grep -qxF -- "$work/project/picked.gen" calls/args || fail "the picked file did not reach the converter: $(tr '\n' ' ' <calls/args)"
close_program
home_listing >home.after
diff home.before home.after >home.diff ||
  fail "the program left something in its home (settings kept between runs): $(cat home.diff)"

echo "e2e: ${#dialogs[@]} dialogs beside the main window and above it under openbox; screenshots in $shots"
