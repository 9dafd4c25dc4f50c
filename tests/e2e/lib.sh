# Shared parts of the end-to-end tests, sourced by each of them: a private session on its own
# Xvfb, a stand-in converter first on PATH that records how it was started, the program started
# there, and the small tools for waiting on it and driving it with xdotool.
#
# A test sets `failure_shot` (a PNG path, or empty) and calls, in this order:
#   e2e_begin TOOLS...   checks the tools, makes the work folder, sets the exit trap, enters it
#   e2e_start_xvfb       a private X server at 96 DPI, exported as DISPLAY
#   e2e_install_converter
#   e2e_start_program PATH/TO/mapfeed   sets app_pid and main_wid
# The work folder is removed at the end unless MAPFEED_E2E_KEEP is set.

# shellcheck shell=bash

# Window-relative centres of the main window's controls (layout in twips / 15, frame offsets
# added: InputFrm at 8,16, OutputFrm at 256,16, Frame3 at 8,344).
# shellcheck disable=SC2034 # used by the tests that source this
INFILE=(94 68)     # InfileTxt in InputFrm
DGNFILE=(96 116)   # DgnFileTxt in InputFrm
BROWSE_IN=(212 68) # BrwCmd in InputFrm
APPLY=(48 380)     # ApplyCmd in Frame3
CLOSE=(128 380)    # CloseCmd in Frame3

work=
xvfb_pid=
app_pid=
main_wid=
failure_shot=${failure_shot:-}

# What a test must also undo at its end (a window manager, a mount), as function names, run
# first; the test's own status stays the exit status whatever they return.
e2e_at_exit=()
e2e_finish() {
  local status=$? undo
  trap - EXIT
  set +e
  for undo in "${e2e_at_exit[@]}"; do "$undo"; done
  [[ -z $app_pid ]] || kill -KILL "$app_pid" 2>/dev/null || true
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  if ((status != 0)) && [[ -n $work ]]; then
    local file
    for file in mapfeed.out xvfb.log MapfeedLog.dat; do
      [[ -s $work/$file ]] || continue
      echo "--- $file" >&2
      cat -A "$work/$file" >&2
    done
  fi
  if [[ -z $work ]]; then
    :
  elif [[ -n ${MAPFEED_E2E_KEEP:-} ]]; then
    echo "e2e: kept $work" >&2
  else
    rm -rf "$work"
  fi
  exit "$status"
}

fail() {
  echo "e2e: FAIL: $*" >&2
  # A picture of the screen says at once whether a message box stood in the way.
  if [[ -n $failure_shot && -n ${DISPLAY:-} ]]; then
    import -window root "$failure_shot" 2>/dev/null &&
      echo "e2e: screen at the failure: $failure_shot" >&2
  fi
  exit 1
}

now_ns() { date +%s%N; }

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 50 ms until it succeeds. While the
# program is meant to be running, its end is a failure at once rather than after the timeout.
# A condition may leave what it last saw in wait_detail for the failure message.
wait_detail=
wait_for() {
  local seconds=$1 what=$2 status
  wait_detail=
  shift 2
  local deadline=$(($(now_ns) + seconds * 1000000000))
  until "$@"; do
    if [[ -n $app_pid ]] && ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid" && status=0 || status=$?
      app_pid=
      fail "the program ended (status $status) while waiting for $what"
    fi
    (($(now_ns) < deadline)) || fail "nothing after ${seconds}s of waiting for $what${wait_detail:+ ($wait_detail)}"
    sleep 0.05
  done
}

# e2e_begin TOOLS...: the tools the test needs besides the shared ones.
e2e_begin() {
  local tool
  for tool in Xvfb xdotool perl diff "$@"; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2; exit 1; }
  done

  work=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/mapfeed-e2e.XXXXXX")")
  trap e2e_finish EXIT
  trap 'exit 130' INT TERM HUP

  cd "$work" || exit 1
  mkdir -m 700 runtime home bin calls

  # A private, predictable session: no desktop of the caller's leaks in.
  export XDG_RUNTIME_DIR=$work/runtime
  export HOME=$work/home
  export XAUTHORITY=$work/home/.Xauthority
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY ACTIVEPROJECT QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
    QT_AUTO_SCREEN_SCALE_FACTOR QT_STYLE_OVERRIDE QT_FONT_DPI SESSION_MANAGER
}

# The X server, on whatever display number is free; 96 DPI so that 15 twips are a pixel.
# There is no window manager: windows have no frame and get the keyboard focus only when
# asked, and the X window's size is the client area. Without -noreset the server resets when
# its last client leaves, and drops whoever connects meanwhile: the window manager or the
# program, started right after the readiness check below has disconnected.
xvfb_ready() {
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended at start"
  # Reported is not always answering yet: a program started at once may find no display.
  grep -sqx '[0-9]\+' display.number && DISPLAY=:$(<display.number) xdotool getdisplaygeometry >/dev/null 2>&1
}
e2e_start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>display.number 2>xvfb.log &
  xvfb_pid=$!
  wait_for 10 "Xvfb to report its display" xvfb_ready
  DISPLAY=:$(<display.number)
  export DISPLAY
}

# The stand-in converter. `perl -S mapfeed.pl` finds it first on PATH; it writes its
# arguments one a line, its folder and its pid into calls/, the pid file last so that its
# presence means the record is whole. A test may put a stand-in of its own in its place; the
# module beside it, StandIn.pm, keeps the way records are written in one place.
e2e_install_converter() {
  cat >bin/StandIn.pm <<'PERL'
package StandIn;
# How a stand-in converter leaves its records in calls/: each written whole under a temporary
# name, then renamed, so that a file's presence means its record is complete.
use strict;
use warnings;
use FindBin;
use Exporter 'import';
our @EXPORT = qw(note);

my $calls = "$FindBin::Bin/../calls";

sub note {
    my ($name, @lines) = @_;
    open my $out, '>', "$calls/$name.part" or die "$calls/$name.part: $!";
    print $out map { "$_\n" } @lines;
    close $out or die "$calls/$name.part: $!";
    rename "$calls/$name.part", "$calls/$name" or die "$calls/$name: $!";
}

1;
PERL
  cat >bin/mapfeed.pl <<'PERL'
#!/usr/bin/perl
# Stands in for the converter: notes how it was started, then ends at once.
use strict;
use warnings;
use Cwd qw(getcwd);
use FindBin;
use lib $FindBin::Bin;
use StandIn;

note('args', @ARGV);
note('cwd', getcwd());
note('pid', $$);
PERL
  chmod +x bin/mapfeed.pl
  export PATH=$work/bin:$PATH
}

# e2e_start_openbox: a real window manager on the test's X server, in a home of its own so that
# whatever it writes is not taken for the program's; stopped with the test, whose own status
# e2e_finish ends with.
wm_pid=
e2e_start_openbox() {
  mkdir -p wm-home
  HOME=$work/wm-home XDG_CONFIG_HOME=$work/wm-home/.config XDG_CACHE_HOME=$work/wm-home/.cache \
    openbox --sm-disable >openbox.log 2>&1 &
  wm_pid=$!
  wait_for 10 "openbox to manage the screen" wm_is_running
  e2e_at_exit+=(stop_openbox)
}
stop_openbox() { kill "$wm_pid" 2>/dev/null; }
wm_is_running() {
  kill -0 "$wm_pid" 2>/dev/null || fail "openbox ended at start: $(cat openbox.log)"
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# ---- Windows.

# The ids of the visible windows whose title is exactly TITLE, one a line.
windows_titled() {
  local id
  # xdotool matches names as case-blind regular expressions; the exact test is below.
  for id in $(xdotool search --onlyvisible --name "$(title_pattern "$1")" 2>/dev/null); do
    [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$1" ]] && echo "$id"
  done
  return 0
}
# shellcheck disable=SC2001 # one sed is clearer than a loop over the special characters
title_pattern() { printf '^%s$' "$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$1")"; }

# find_window VAR TITLE [SECONDS]: waits for one visible window titled exactly TITLE and stores
# its id in VAR.
found_ids=
window_titled_is_shown() {
  found_ids=$(windows_titled "$1")
  [[ -n $found_ids && $found_ids != *$'\n'* ]] && return 0
  wait_detail="visible: $(visible_titles)"
  return 1
}
visible_titles() {
  local id titles=()
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    titles+=("\"$(xdotool getwindowname "$id" 2>/dev/null)\" ($id)")
  done
  local IFS=,
  echo "${titles[*]:-none}"
}
find_window() {
  local -n into=$1
  wait_for "${3:-10}" "one visible window titled \"$2\"" window_titled_is_shown "$2"
  # shellcheck disable=SC2034 # a name reference to the caller's variable
  into=$found_ids
}

# Whether window WID is mapped, as far as the X server knows; a destroyed window is not.
window_is_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
window_is_gone() { ! window_is_viewable "$1"; }

# expect_size WID WIDTH HEIGHT NAME: the window's client area (its X window; no frame here).
window_has_size() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$1") || return 1
  wait_detail=$(grep -E '^(WIDTH|HEIGHT)=' <<<"$geometry" | tr '\n' ' ')
  [[ $geometry == *$'\nWIDTH='"$2"$'\nHEIGHT='"$3"* ]]
}
expect_size() {
  wait_for 5 "\"$4\" to be $2x$3 pixels" window_has_size "$1" "$2" "$3"
}

# expect_size_wide WID WIDTH HEIGHT NAME: as expect_size, but the window may be wider: a dialog
# narrower than its title grows to the right, so that a window manager shows the title whole.
# window_size_of WID: the window's client area into `width` and `height`.
width=
height=
window_size_of() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$1") || return 1
  width=$(sed -n 's/^WIDTH=//p' <<<"$geometry")
  height=$(sed -n 's/^HEIGHT=//p' <<<"$geometry")
  wait_detail="WIDTH=$width HEIGHT=$height"
}
window_has_size_wide() { window_size_of "$1" && ((width >= $2 && height == $3)); }
expect_size_wide() {
  wait_for 5 "\"$4\" to be $3 pixels high and at least $2 wide" window_has_size_wide "$1" "$2" "$3"
}

# window_has_size_tall WID WIDTH HEIGHT: the client area is WIDTH wide and at least HEIGHT high.
window_has_size_tall() { window_size_of "$1" && ((width == $2 && height >= $3)); }

# frame_of WID: the window with its frame, as "LEFT TOP RIGHT BOTTOM" on the screen.
frame_of() {
  local info x y w h extents l r t b
  info=$(xwininfo -id "$1")
  x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  w=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
  h=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ',')
  read -r l r t b <<<"${extents:-0 0 0 0}"
  echo "$((x - l)) $((y - t)) $((x + w + r - 1)) $((y + h + b - 1))"
}

# Openbox draws a frame around the window once it manages it.
is_framed() { [[ -n $(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p') ]]; }

# give_focus WID: the keyboard focus to window WID, and back there for sure. Under a window
# manager it is asked for and awaited: the manager hands the focus on in its own time after a
# window closes, and keys typed before it does go elsewhere.
window_is_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }
give_focus() {
  if [[ -n $wm_pid ]]; then
    xdotool windowactivate --sync "$1"
    wait_for 5 "window $1 to have the focus" window_is_active "$1"
  else
    xdotool windowfocus --sync "$1"
  fi
}

# click_in WID X Y: a left click at X,Y inside window WID. Without a window manager windows
# overlap freely, so the point must not be covered by another window.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# ---- The program.

# e2e_start_program APP: starts it with its output in mapfeed.out and waits for its main
# window " Orlith Mapfeed", with the keyboard focus: 511x436 pixels (7665 x 6540 twips) and
# the command line under the frames (30 more), times `scale` on a denser screen.
scale=1
e2e_start_program() {
  "$1" >mapfeed.out 2>&1 &
  app_pid=$!

  local ids
  find_window ids " Orlith Mapfeed" 20
  main_wid=$ids
  # The clicks aim at the controls' layout positions, so the window must be drawn at that scale;
  # it is as tall as the lines of the command line need.
  wait_for 5 "the main window to be $((511 * scale)) pixels wide and at least $((466 * scale)) high" \
    window_has_size_tall "$main_wid" $((511 * scale)) $((466 * scale))
  # There is no window manager: the window gets the keyboard focus only when asked.
  xdotool windowfocus --sync "$main_wid"
}

# Replaces the text of the main window's field at X Y with TEXT, as a user would.
type_into() {
  click_in "$main_wid" "$1" "$2"
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 5 "$3"
}

log_lines() { [[ -f MapfeedLog.dat ]] && tr -cd '\n' <MapfeedLog.dat | wc -c || echo 0; }

# The runs window, "Converter runs": every start brings it to the front with the focus.
runs_wid=
find_runs_window() { find_window runs_wid "Converter runs"; }
# Hides the runs window as a user would (ctrl+w), so that it covers nothing that is clicked
# next, and gives the keyboard focus back to the main window.
close_runs_window() {
  find_runs_window
  xdotool windowfocus --sync "$runs_wid" key --clearmodifiers ctrl+w
  wait_for 5 "the runs window to close" window_is_gone "$runs_wid"
  give_focus "$main_wid"
}

# Presses the main window's "Apply" and waits for the converter's record in calls/, the run
# log's new record and the runs window, which it closes again; the converter's pid is added
# to converter_pids.
converter_pids=()
log_target=0
log_has_grown() { (($(log_lines) >= log_target)); }
press_apply() {
  log_target=$(($(log_lines) + 3))
  rm -f calls/*
  click_in "$main_wid" "${APPLY[@]}"
  wait_for 10 "the converter to be started (a message box in the way?)" test -f calls/pid
  wait_for 5 "the run log to grow by three lines" log_has_grown
  converter_pids+=("$(<calls/pid)")
  close_runs_window
}

# Clicks the main window's "Close" and waits for the program to end at once.
closing=
program_ended() { ! kill -0 "$closing" 2>/dev/null; }
close_program() {
  local status
  click_in "$main_wid" "${CLOSE[@]}"
  closing=$app_pid
  app_pid=
  wait_for 5 "the program to end after \"Close\"" program_ended
  wait "$closing" && status=0 || status=$?
  echo "e2e: the program ended with status $status after \"Close\""
}
