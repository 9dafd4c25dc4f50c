#!/usr/bin/env bash
# End to end: opens every window of the program through real user input on a private X
# server, checks each one's title and client size, leaves a picture of the screen with it open,
# and checks one behaviour of each — mostly through what the main window's "Apply" then hands
# to a stand-in converter.
#
#   windows_e2e.sh PATH/TO/mapfeed SCREENSHOT-FOLDER
#
# Windows, in the order they are opened: the main window, "Line Symbology", "Point Symbology",
# "Raster Information" with its message box, "Text Symbology", "Cell Information", "Browse"
# and the input file's open-file dialog. Then "Close" must end the program.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: windows_e2e.sh PATH/TO/mapfeed SCREENSHOT-FOLDER'
app=$(realpath -e "${1:?$usage}")
shots=$(realpath -m "${2:?$usage}")
mkdir -p "$shots"
rm -f "$shots"/*.png

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
failure_shot=$shots/failure.png
# The windows' ids, as find_window finds them.
linesym='' pntsym='' rasterinfo='' message='' textsym='' cellopts='' browse='' file_dialog=''

e2e_begin xwininfo import
e2e_start_xvfb
e2e_install_converter

printf 'ARC export\nEND\n' >in.gen
printf 'design\n' >out.dgn
printf 'other\n' >other.dat
input=$work/in.gen
design=$work/out.dgn

# Window-relative centres inside the main window (OutputFrm at 256,16; InputFrm at 8,16).
LINSYM=(436 152)    # LinsymCmd "set", 160,128 41x17 in OutputFrm
CENTR=(430 210)     # CentrCmb's text part, 144,184 81x21 in OutputFrm (its arrow is at the right)
PNTSYM=(428 272)    # PntsymCmd "set", 152,248 41x17 in OutputFrm
RASTER_BOX=(295 308) # RasterChck's box at the left edge of its 193x41 at 32,272 in OutputFrm
# Inside the dialogs.
SYM_STYLE=(136 25)  # OutStyTxt of "Point Symbology" and "Line Symbology", 120,16 33x19
SYM_APPLY=(56 99)   # ApplyCmd of the symbology dialogs and of "Text Symbology", 32,88 48x22
RASTER_APPLY=(116 96) # ApplyCmd of "Raster Information", 84,88 65x17
RASTER_Y=(232 41)   # UlhyTxt, 168,32 129x19
RASTER_SIZE=(232 65) # PixszTxt, 168,56 129x19
CELL_BROWSE=(300 20) # Br1Cmd of "Cell Information", 272,8 57x25
FIRST_FILE=(166 25) # first row of File1 in "Browse", 136,16 113x145

# A picture of the whole screen, named after the window that is open in it. Mapping a window
# does not mean it is drawn yet: give the program a moment to paint.
shoot() {
  sleep 0.3
  import -window root "$shots/$1.png" || fail "no screenshot $shots/$1.png"
}

# type_in WID X Y TEXT: replaces the text of the field at X Y of window WID with TEXT.
type_in() {
  xdotool windowfocus --sync "$1"
  click_in "$1" "$2" "$3"
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 5 "$4"
}

# Keys go to the window with the X focus, which no window manager hands out here.
key_in() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

# expect_gone WID NAME WHY: window WID must stop being shown (hidden or discarded).
expect_gone() { wait_for 5 "\"$2\" to go away $3" window_is_gone "$1"; }

# Picks the next entry of CentrCmb by keyboard, as a user does with the focus in it.
next_point_type() {
  click_in "$main_wid" "${CENTR[@]}"
  key_in "$main_wid" Down
}

# args_contain WORDS...: the converter's arguments hold WORDS, one after another.
args_contain() {
  local args=() want=("$@") i j
  mapfile -t args <calls/args
  for ((i = 0; i + ${#want[@]} <= ${#args[@]}; i++)); do
    for ((j = 0; j < ${#want[@]}; j++)); do
      [[ ${args[i + j]} == "${want[j]}" ]] || continue 2
    done
    return 0
  done
  echo "e2e: the converter's arguments: $(tr '\n' ' ' <calls/args)" >&2
  fail "the arguments do not hold \"$*\" in a row"
}

# args_lack WORD...: none of the converter's arguments is one of WORDS.
args_lack() {
  local word
  for word; do
    if grep -qxF -- "$word" calls/args; then
      echo "e2e: the converter's arguments: $(tr '\n' ' ' <calls/args)" >&2
      fail "the arguments hold \"$word\""
    fi
  done
}

# ---- The main window, at its size with its title; "Apply" with the start-up defaults hands
# over the two files and none of the dialogs' options.
e2e_start_program "$app"
shoot main-window
type_into "${INFILE[@]}" "$input"
type_into "${DGNFILE[@]}" "$design"
press_apply
args_contain -I "$input" -D "$design" -S A
args_lack -sl -sp -R -f -txsz -J -ce -cn

# ---- "Line Symbology": Escape discards it, typed style and all; a new one starts at "0".
click_in "$main_wid" "${LINSYM[@]}"
find_window linesym "Line Symbology"
expect_size_wide "$linesym" 172 129 "Line Symbology"
shoot line-symbology
type_in "$linesym" "${SYM_STYLE[@]}" 5
key_in "$linesym" Escape
expect_gone "$linesym" "Line Symbology" "on Escape"
click_in "$main_wid" "${LINSYM[@]}"
find_window linesym "Line Symbology"
click_in "$linesym" "${SYM_APPLY[@]}"
expect_gone "$linesym" "Line Symbology" "after its \"Apply\""
press_apply
args_contain -sl 0,0,0

# ---- "Point Symbology": a typed style and the two fields' "0" reach the converter as "-sp".
click_in "$main_wid" "${PNTSYM[@]}"
find_window pntsym "Point Symbology"
expect_size_wide "$pntsym" 172 129 "Point Symbology"
shoot point-symbology
type_in "$pntsym" "${SYM_STYLE[@]}" 7
click_in "$pntsym" "${SYM_APPLY[@]}"
expect_gone "$pntsym" "Point Symbology" "after its \"Apply\""
press_apply
args_contain -sp 7,0,0
args_contain -sl 0,0,0

# ---- "Raster Information": "Apply" with empty fields is refused in a message box; its OK
# (the default, so Return) keeps the dialog open with the focus in the first empty field.
click_in "$main_wid" "${RASTER_BOX[@]}"
find_window rasterinfo "Raster Information"
expect_size "$rasterinfo" 312 112 "Raster Information"
shoot raster-information
click_in "$rasterinfo" "${RASTER_APPLY[@]}"
find_window message "Mapfeed"
shoot mapfeed-message
key_in "$message" Return
expect_gone "$message" "the message box" "on Return"
window_is_viewable "$rasterinfo" || fail "\"Raster Information\" went away with the message box's OK"
# No click: the X coordinate goes where OK put the focus.
xdotool windowfocus --sync "$rasterinfo"
xdotool type --delay 5 10
type_in "$rasterinfo" "${RASTER_Y[@]}" 20
type_in "$rasterinfo" "${RASTER_SIZE[@]}" 5
click_in "$rasterinfo" "${RASTER_APPLY[@]}"
expect_gone "$rasterinfo" "Raster Information" "after \"Apply\" with three fields (was the X typed elsewhere?)"
press_apply
args_contain -R 10,20,5

# ---- "Text Symbology", on picking "Textnode": its "Apply" hands over its three start texts.
next_point_type
find_window textsym "Text Symbology"
expect_size_wide "$textsym" 172 129 "Text Symbology"
shoot text-symbology
click_in "$textsym" "${SYM_APPLY[@]}"
expect_gone "$textsym" "Text Symbology" "after its \"Apply\""
press_apply
args_contain -f 0 -txsz 100 -J 2

# Picking "Annotation" opens it again; Escape discards it.
next_point_type
find_window textsym "Text Symbology"
key_in "$textsym" Escape
expect_gone "$textsym" "Text Symbology" "on Escape"

# ---- "Cell Information", on picking "Cells", which also drops the text options.
type_into "${INFILE[@]}" "$work/other.dat"
next_point_type
find_window cellopts "Cell Information"
expect_size "$cellopts" 338 112 "Cell Information"
shoot cell-information
press_apply
args_contain -I "$work/other.dat"
args_lack -f -txsz -J

# ---- "Browse", from the cell dialog's first "Browse": it lists the program's folder under
# "*.gen", where in.gen is the only match; a double click on it fills the main window's input
# file and hides the window.
click_in "$cellopts" "${CELL_BROWSE[@]}"
find_window browse "Browse"
expect_size "$browse" 257 248 "Browse"
shoot browse
xdotool mousemove --window "$browse" "${FIRST_FILE[@]}" click --repeat 2 --delay 80 1
expect_gone "$browse" "Browse" "after a double click on a file"
press_apply
args_contain -I "$input" -D "$design"

window_is_viewable "$cellopts" || fail "\"Cell Information\" went away with \"Browse\""
key_in "$cellopts" Escape
expect_gone "$cellopts" "Cell Information" "on Escape"

# ---- The input file's open-file dialog, Qt's own, modal; whatever its title, it is a new
# named window. Escape cancels it and leaves the field as it was.
before=$(xdotool search --onlyvisible --name '' | sort)
new_named_window() {
  local id
  for id in $(xdotool search --onlyvisible --name '' | sort | comm -13 <(echo "$before") -); do
    [[ -n $(xdotool getwindowname "$id" 2>/dev/null) ]] && file_dialog=$id && return 0
  done
  wait_detail="visible: $(visible_titles)"
  return 1
}
click_in "$main_wid" "${BROWSE_IN[@]}"
wait_for 10 "the open-file dialog of \"browse\"" new_named_window
echo "e2e: the open-file dialog is titled \"$(xdotool getwindowname "$file_dialog")\""
shoot input-file-dialog
key_in "$file_dialog" Escape
expect_gone "$file_dialog" "the open-file dialog" "on Escape"
press_apply
args_contain -I "$input" -D "$design"

# ---- "Close" ends the program.
close_program

echo "e2e: 8 windows opened and checked; screenshots in $shots"
