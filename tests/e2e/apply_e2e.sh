#!/usr/bin/env bash
# End to end: the real program on a private X server, driven by xdotool the way a user drives
# it, with a stand-in converter first on PATH that records how it was started.
#
#   apply_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]
#
# Checks one "Apply" with the start-up defaults (command line, run log, arguments, pid), a
# second "Apply" whose input path holds shell syntax that must stay a plain file name, and
# that "Close" ends the program.
set -euo pipefail

usage='usage: apply_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]'
app=$(realpath -e "${1:?$usage}")
shot=${2:-}
[[ -z $shot ]] || shot=$(realpath -m "$shot")

for tool in Xvfb xdotool perl diff; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2; exit 1; }
done

work=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/mapfeed-e2e.XXXXXX")")
xvfb_pid=
app_pid=
wid=

finish() {
  local status=$?
  trap - EXIT
  [[ -z $app_pid ]] || kill -KILL "$app_pid" 2>/dev/null || true
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  if ((status != 0)); then
    local file
    for file in mapfeed.out xvfb.log MapfeedLog.dat; do
      [[ -s $work/$file ]] || continue
      echo "--- $file" >&2
      cat -A "$work/$file" >&2
    done
  fi
  if [[ -n ${MAPFEED_E2E_KEEP:-} ]]; then
    echo "e2e: kept $work" >&2
  else
    rm -rf "$work"
  fi
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

fail() {
  echo "e2e: FAIL: $*" >&2
  # A picture of the screen says at once whether a message box stood in the way.
  if [[ -n $shot && -n ${DISPLAY:-} ]]; then
    import -window root "${shot%.png}-failure.png" 2>/dev/null &&
      echo "e2e: screen at the failure: ${shot%.png}-failure.png" >&2
  fi
  exit 1
}

now_ns() { date +%s%N; }

# wait_for SECONDS WHAT COMMAND...: runs COMMAND every 50 ms until it succeeds. While the
# program is meant to be running, its end is a failure at once rather than after the timeout.
# A condition may leave what it last saw in wait_detail for the failure message.
wait_detail=
wait_for() {
  local seconds=$1 what=$2
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

cd "$work"
mkdir -m 700 runtime home bin calls

# A private, predictable session: no desktop of the caller's leaks in.
export XDG_RUNTIME_DIR=$work/runtime
export HOME=$work/home
export XAUTHORITY=$work/home/.Xauthority
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY ACTIVEPROJECT QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
  QT_AUTO_SCREEN_SCALE_FACTOR QT_STYLE_OVERRIDE QT_FONT_DPI SESSION_MANAGER

# ---- The X server, on whatever display number is free; 96 DPI so that 15 twips are a pixel.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>display.number 2>xvfb.log &
xvfb_pid=$!
xvfb_ready() {
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended at start"
  grep -qx '[0-9]\+' display.number
}
wait_for 10 "Xvfb to report its display" xvfb_ready
DISPLAY=:$(<display.number)
export DISPLAY

# ---- The stand-in converter. `perl -S mapfeed.pl` finds it first on PATH; it writes its
# arguments one a line, its folder and its pid, the pid file last so that its presence means
# the record is whole.
cat >bin/mapfeed.pl <<'PERL'
#!/usr/bin/perl
# Stands in for the converter: notes how it was started, then ends at once.
use strict;
use warnings;
use Cwd qw(getcwd);
use FindBin;

my $calls = "$FindBin::Bin/../calls";

sub note {
    my ($name, @lines) = @_;
    open my $out, '>', "$calls/$name.part" or die "$calls/$name.part: $!";
    print $out map { "$_\n" } @lines;
    close $out or die "$calls/$name.part: $!";
    rename "$calls/$name.part", "$calls/$name" or die "$calls/$name: $!";
}

note('args', @ARGV);
note('cwd', getcwd());
note('pid', $$);
PERL
chmod +x bin/mapfeed.pl
export PATH=$work/bin:$PATH

printf 'ARC export\nEND\n' >in.gen
printf 'design\n' >out.dgn
input=$work/in.gen
design=$work/out.dgn

# ---- The program.
"$app" >mapfeed.out 2>&1 &
app_pid=$!

ids=
window_is_shown() { ids=$(xdotool search --onlyvisible --name 'Orlith Mapfeed'); }
wait_for 20 "a visible window named \"Orlith Mapfeed\"" window_is_shown
wid=${ids%%$'\n'*}

title=$(xdotool getwindowname "$wid")
[[ $title == " Orlith Mapfeed" ]] || fail "window title is \"$title\", not \" Orlith Mapfeed\""

# 7665 x 6540 twips. The clicks below aim at the controls' layout positions, so the window
# must be drawn at that scale.
window_has_its_size() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$wid") || return 1
  wait_detail=$(grep -E '^(WIDTH|HEIGHT)=' <<<"$geometry" | tr '\n' ' ')
  [[ $geometry == *$'\nWIDTH=511\nHEIGHT=436'* ]]
}
wait_for 5 "the window to be 511x436 pixels" window_has_its_size

# Window-relative centres of the controls (layout in twips / 15, frame offsets added).
INFILE=(94 68)   # InfileTxt in InputFrm
DGNFILE=(96 116) # DgnFileTxt in InputFrm
APPLY=(48 380)   # ApplyCmd in Frame3
CLOSE=(128 380)  # CloseCmd in Frame3

# There is no window manager: the window gets the keyboard focus only when asked.
xdotool windowfocus --sync "$wid"

click() { xdotool mousemove --window "$wid" "$1" "$2" click 1; }

# Replaces the text of the field at X Y with TEXT, as a user would.
type_into() {
  click "$1" "$2"
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 5 "$3"
}

log_lines() { [[ -f MapfeedLog.dat ]] && tr -cd '\n' <MapfeedLog.dat | wc -c || echo 0; }

converter_pids=()
commands=()

# Presses "Apply" and waits for the converter's record and the run log's new record.
log_target=0
log_has_grown() { (($(log_lines) >= log_target)); }
apply() {
  log_target=$(($(log_lines) + 3))
  rm -f calls/*
  click "${APPLY[@]}"
  wait_for 10 "the converter to be started (a message box in the way?)" test -f calls/pid
  wait_for 5 "the run log to grow by three lines" log_has_grown
  converter_pids+=("$(<calls/pid)")
}

# The recorded arguments must be exactly these, one a line.
expect_arguments() {
  printf '%s\n' "$@" >expected.args
  diff -u expected.args calls/args >&2 || fail "the converter got other arguments than the above"
  [[ $(<calls/cwd) == "$work" ]] ||
    fail "the converter ran in $(<calls/cwd), not in the program's folder $work"
}

# The command line the start-up defaults compose: the head, then the 27 option slots each as
# blank, flag, blank, value — source "-S A" in slot 3, point type "-O P" in slot 9, slot 5
# blanked (four blanks), slot 11 a blank flag (three blanks), every other slot two blanks.
default_command() {
  printf 'perl -S mapfeed.pl -I %s -D %s%*s -S A%*s -O P%*s' "$1" "$2" 6 '' 12 '' 35 ''
}

# The whole log must be the expected records, three CR LF lines each and nothing else.
check_log() {
  local records=${#commands[@]}
  local lf cr crlf
  lf=$(tr -cd '\n' <MapfeedLog.dat | wc -c)
  cr=$(tr -cd '\r' <MapfeedLog.dat | wc -c)
  crlf=$(grep -c $'\r$' MapfeedLog.dat || true)
  ((lf == 3 * records)) || fail "MapfeedLog.dat has $lf lines, not $((3 * records))"
  ((cr == lf && crlf == lf)) || fail "MapfeedLog.dat lines are not each ended by CR LF"
  [[ $(tail -c 1 MapfeedLog.dat | od -An -c | tr -d ' ') == '\n' ]] ||
    fail "MapfeedLog.dat does not end with a line end"

  local lines=() i
  mapfile -t lines <MapfeedLog.dat
  for ((i = 0; i < records; i++)); do
    local when=${lines[3 * i]%$'\r'} command=${lines[3 * i + 1]%$'\r'} result=${lines[3 * i + 2]%$'\r'}
    [[ $when =~ [0-9]{1,2}[:.][0-9]{2}[:.][0-9]{2} ]] ||
      fail "record $((i + 1)), line 1 \"$when\" holds no time of day"
    if [[ $command != "${commands[i]}" ]]; then
      printf 'expected: [%s]\nlogged:   [%s]\n' "${commands[i]}" "$command" >&2
      fail "record $((i + 1)), line 2 is not the composed command line"
    fi
    [[ $result == "The returnvalue is: ${converter_pids[i]}" ]] ||
      fail "record $((i + 1)), line 3 is \"$result\", the converter's pid was ${converter_pids[i]}"
  done
}

# The converter ends at once; the program must collect it rather than leave a zombie behind.
converter_is_gone() { ! kill -0 "${converter_pids[-1]}" 2>/dev/null; }

# ---- Run 1: the start-up defaults.
type_into "${INFILE[@]}" "$input"
type_into "${DGNFILE[@]}" "$design"
apply
expect_arguments -I "$input" -D "$design" -S A -O P
commands+=("$(default_command "$input" "$design")")
check_log
wait_for 5 "the finished converter (pid ${converter_pids[-1]}) to be reaped" converter_is_gone

if [[ -n $shot ]]; then
  import -window root "$shot" || echo "e2e: warning: no screenshot taken" >&2
fi

# ---- Run 2: file names with shell syntax reach the converter as plain text; no shell ever
# sees the command line. Blanks separate arguments (nothing is quoted), so the input name
# arrives in two pieces; the design name has no blank and arrives whole.
# shellcheck disable=SC2016 # these texts are meant to stay unexpanded
tricky_input='x$(touch INJ)y.gen'
# shellcheck disable=SC2016
tricky_design='d`touch${IFS}INJ`e.dgn'
: >"$tricky_input"
: >"$tricky_design"
type_into "${INFILE[@]}" "$work/$tricky_input"
type_into "${DGNFILE[@]}" "$work/$tricky_design"
apply
expect_arguments -I "$work/x\$(touch" 'INJ)y.gen' -D "$work/$tricky_design" -S A -O P
injected=$(find "$work" -name 'INJ*')
[[ -z $injected ]] || fail "a file name was run as shell code: $injected exists"
commands+=("$(default_command "$work/$tricky_input" "$work/$tricky_design")")
check_log

# ---- "Close" ends the program at once.
click "${CLOSE[@]}"
closing=$app_pid
app_pid=
program_ended() { ! kill -0 "$closing" 2>/dev/null; }
wait_for 5 "the program to end after \"Close\"" program_ended
wait "$closing" && status=0 || status=$?
echo "e2e: the program ended with status $status after \"Close\""

echo "e2e: 2 runs checked: command lines, run log, arguments, pids, no shell, Close"
