#!/usr/bin/env bash
# Watchdog: the window must keep answering whatever the file system does. Each case starts the
# real program afresh in a folder of its own, sets a trap in the file system, presses "Apply"
# or opens a window, and pings the main window throughout (a _NET_WM_PING, which only the
# program's own event loop answers). No answer may take longer than a second; each case must
# end in the message box that tells the user what happened.
#
#   watchdog_e2e.sh PATH/TO/mapfeed PATH/TO/mapfeed-xping [PATH/TO/mapfeed-hung-share]
#
# The hung-share cases need the third program and FUSE (/dev/fuse, fusermount3); without them
# they are reported as left out.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: watchdog_e2e.sh PATH/TO/mapfeed PATH/TO/mapfeed-xping [PATH/TO/mapfeed-hung-share]'
app=$(realpath -e "${1:?$usage}")
xping=$(realpath -e "${2:?$usage}")
hung_share=${3:+$(realpath -e "$3")}

# The hung share must be seen by this test alone: mounted where every program of the machine
# sees it, it would hang whatever lists or walks the mounts. So the test runs in a mount
# namespace of its own, and without one the hung-share cases are left out.
if [[ -z ${MAPFEED_WATCHDOG_PRIVATE:-} ]] && unshare --mount --propagation private true 2>/dev/null; then
  MAPFEED_WATCHDOG_PRIVATE=1 exec unshare --mount --propagation private bash "${BASH_SOURCE[0]}" "$@"
fi

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

e2e_begin flock
# shellcheck disable=SC2034 # read by fail in lib.sh
failure_shot=$work/failure.png
e2e_start_xvfb
e2e_install_converter

# Cases at most this long; the patience of the program is two seconds.
readonly CASE_SECONDS=10
readonly LONGEST_MS=1000
CELL_BROWSE=(300 20) # Br1Cmd of "Cell Information"
CENTR=(430 210)      # CentrCmb's text part

mount_pid=
share=
unmount_share() {
  [[ -n $share ]] || return 0
  # The file system's own end first: it fails every waiting request; fusermount3 would itself
  # wait on the share.
  [[ -z $mount_pid ]] || { kill -KILL "$mount_pid" 2>/dev/null; wait "$mount_pid" 2>/dev/null; } || true
  fusermount3 -u -z "$share" 2>/dev/null || true
  mount_pid= share=
}
e2e_at_exit+=(unmount_share)

share_is_mounted() { grep -q " $1 fuse" /proc/self/mounts; }
# mount_hung_share FOLDER: a share that never answers, holding in.gen and out.dgn.
mount_hung_share() {
  share=$1
  mkdir -p "$share"
  "$hung_share" "$share" 0 >share.log 2>&1 &
  mount_pid=$!
  wait_for 5 "the hung share to be mounted" share_is_mounted "$share"
}
can_hang_a_share() {
  [[ -n ${MAPFEED_WATCHDOG_PRIVATE:-} && -n $hung_share && -c /dev/fuse ]] && command -v fusermount3 >/dev/null
}

results=()
failures=0
pinger=
box_seen=

# A message box of the program is up.
message_box_is_up() { [[ -n $(windows_titled "Mapfeed") ]]; }

# ---- One case: begin_case NAME, then the trap and the action, then end_case.
begin_case() {
  case_name=$1
  mkdir -p "$work/cases/$case_name"
  cd "$work/cases/$case_name"
  printf 'ARC export\nEND\n' >in.gen
  printf 'design\n' >out.dgn
}
start_watched() {
  e2e_start_program "$app"
  "$xping" "$main_wid" 60 >ping.txt 2>&1 &
  pinger=$!
  case_started=$(now_ns)
}
# end_case WHAT: waits (bounded) for the message box that tells WHAT, then notes the longest
# wait for an answer to a ping.
end_case() {
  local deadline=$(($(now_ns) + CASE_SECONDS * 1000000000)) outcome
  box_seen=
  while (($(now_ns) < deadline)); do
    if message_box_is_up; then
      box_seen=$(( ($(now_ns) - case_started) / 1000000 ))
      break
    fi
    sleep 0.05
  done
  sleep 0.3
  kill -TERM "$pinger" 2>/dev/null || true
  wait "$pinger" 2>/dev/null || true
  local longest
  longest=$(grep -o '^[0-9]*' ping.txt || echo 99999)
  if [[ -n $box_seen ]]; then
    outcome="message box after $box_seen ms"
  else
    outcome="no message box within ${CASE_SECONDS} s"
  fi
  results+=("$(printf '%-22s longest wait for the window %6s ms; %s' "$case_name" "$longest" "$outcome")")
  if ((longest > LONGEST_MS)) || [[ -z $box_seen ]]; then
    ((failures += 1))
    results[-1]+="  <-- FAIL ($1)"
    import -window root "$work/$case_name.png" 2>/dev/null || true
  fi
  kill -KILL "$app_pid" 2>/dev/null || true
  # A thread stuck on the share dies only once the share lets go of it.
  unmount_share
  wait "$app_pid" 2>/dev/null || true
  app_pid=
  cd "$work"
}

apply_with() {
  type_into "${INFILE[@]}" "$1"
  type_into "${DGNFILE[@]}" "$2"
  click_in "$main_wid" "${APPLY[@]}"
}

# Opens "Browse" the way a user does: "Cells" in the point type list, then the cell dialog's
# first "Browse" button.
open_browse() {
  local cellopts textsym
  click_in "$main_wid" "${CENTR[@]}"
  xdotool windowfocus --sync "$main_wid" key --clearmodifiers Down
  # "Textnode" opens its dialog, which takes the focus when it is shown; keys meant for the
  # list wait until it has.
  find_window textsym "Text Symbology"
  sleep 0.3
  for _ in 1 2; do
    xdotool windowfocus --sync "$main_wid"
    xdotool key --clearmodifiers Down
  done
  find_window cellopts "Cell Information"
  click_in "$cellopts" "${CELL_BROWSE[@]}"
}

# ---- The cases.

begin_case fifo-log
mkfifo MapfeedLog.dat
start_watched
apply_with "$PWD/in.gen" "$PWD/out.dgn"
end_case "the log that is a named pipe"

begin_case held-lock
: >MapfeedLog.dat
flock MapfeedLog.dat sleep 8 &
locker=$!
start_watched
apply_with "$PWD/in.gen" "$PWD/out.dgn"
end_case "the log that another program holds"
kill "$locker" 2>/dev/null || true

begin_case fifo-input
mkfifo pipe.gen
start_watched
apply_with "$PWD/pipe.gen" "$PWD/out.dgn"
end_case "the input file that is a named pipe"

begin_case fifo-design
mkfifo pipe.dgn
start_watched
apply_with "$PWD/in.gen" "$PWD/pipe.dgn"
end_case "the design file that is a named pipe"

begin_case dev-zero-input
start_watched
apply_with /dev/zero "$PWD/out.dgn"
end_case "the input file that is a device"

if can_hang_a_share; then
  begin_case hung-share-apply
  mount_hung_share "$PWD/share"
  start_watched
  apply_with "$share/in.gen" "$PWD/out.dgn"
  end_case "the input file on a share that does not answer"

  begin_case hung-share-browse
  mount_hung_share "$PWD/share"
  start_watched
  open_browse
  end_case "the drive list with a share that does not answer"

  begin_case hung-share-project
  mount_hung_share "$PWD/share"
  ACTIVEPROJECT=$share start_watched
  click_in "$main_wid" "${BROWSE_IN[@]}"
  end_case "the project folder on a share that does not answer"
else
  results+=("hung-share cases left out: no FUSE or no private mount namespace here, or no mapfeed-hung-share")
fi

printf 'watchdog: %s\n' "${results[@]}"
((failures == 0)) || fail "$failures case(s) froze the window or told the user nothing"
echo "watchdog: the window answered within ${LONGEST_MS} ms in every case"
