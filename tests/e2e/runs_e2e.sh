#!/usr/bin/env bash
# End to end: the converter's runs window, under a window manager (openbox) on a private X
# server with the real perl.
#
#   runs_e2e.sh PATH/TO/mapfeed PATH/TO/mapfeed-xping [SHOTS-FOLDER]
#
# Checks that every run goes into one window, "Converter runs", which comes to the front with
# the focus and the new run selected, beside the main window and never over it; that a name
# with a blank reaches the converter as one argument and "Copy command" gives it back whole to
# a shell; that the output and error show in order with how the run ended; perl's own
# complaint when there is no mapfeed.pl; the converter's descriptors; that a converter outlives
# "Close" without filling the disk; that a flood of output never stalls the window; that a
# short supply of descriptors refuses a start instead of hanging; and that nothing planted in
# the current folder runs through an empty entry of PATH.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: runs_e2e.sh PATH/TO/mapfeed PATH/TO/mapfeed-xping [SHOTS-FOLDER]'
app=$(realpath -e "${1:?$usage}")
xping=$(realpath -e "${2:?$usage}")
shots=${3:-}
[[ -z $shots ]] || { shots=$(realpath -m "$shots") && mkdir -p "$shots"; }

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
[[ -z $shots ]] || failure_shot=$shots/runs-failure.png

e2e_begin xclip xwininfo xprop import openbox
e2e_start_xvfb
e2e_install_converter
mkdir tmp
export TMPDIR=$work/tmp

e2e_start_openbox

shoot() { [[ -z $shots ]] || import -window root "$shots/$1.png" || fail "no screenshot $1"; }

# A stand-in that notes its arguments and pid like the recording one, then does what the
# first line of its input file says.
write_acting_converter() {
  cat >bin/mapfeed.pl <<'PERL'
#!/usr/bin/perl
use strict;
use warnings;
use FindBin;
use lib $FindBin::Bin;
use StandIn;

# Waits for a file the test makes; gives up when the test's folder is gone (a failed test).
sub await {
    until (-e "$FindBin::Bin/../$_[0]") {
        exit 1 unless -d $FindBin::Bin;
        select(undef, undef, undef, 0.02);
    }
}

note('args', @ARGV);
note('pid', $$);
my ($input) = map { $ARGV[$_ + 1] } grep { $ARGV[$_] eq '-I' } 0 .. $#ARGV;
open my $in, '<', $input or die "$input: $!";
chomp(my $mode = <$in> // '');
close $in;
$| = 1;
if ($mode eq 'ok') {
    print "converting $input\nwrote 12 elements\n";
    exit 0;
}
if ($mode eq 'exit3') {
    print "converting $input\n";
    print STDERR "warning: 2 arcs without a label\n";
    print "wrote 41 elements\n";
    exit 3;
}
if ($mode eq 'fail') {
    print "converting $input\n";
    print STDERR "mapfeed.pl: the design file is not a 2D design file\n";
    exit 5;
}
if ($mode eq 'hold') {
    print "first\n";
    await('go');
    # 20 MB after the program has gone: nobody reads it, and the disk must not keep it.
    my $line = ('x' x 99) . "\n";
    print $line for 1 .. 200_000;
    print "last\n";
    close STDOUT or die "stdout: $!";
    note('done', 'written');
    await('release');
    exit 0;
}
if ($mode eq 'flood') {
    # One line of 50 MB, then 200 MB of short lines, as fast as perl prints.
    my $piece = 'y' x (1 << 20);
    print $piece for 1 .. 50;
    print "\n";
    my $line = ('z' x 79) . "\n";
    print $line for 1 .. 2_500_000;
    print STDERR "mapfeed.pl: flood over\n";
    exit 0;
}
die "unknown mode $mode\n";
PERL
}
write_acting_converter

# The text a user copies with "Copy output" (alt+o) in the runs window: the selected run's
# output and how it ended.
runs_output() {
  xdotool windowfocus --sync "$runs_wid" key --clearmodifiers alt+o
  timeout 5 xclip -o -selection clipboard 2>/dev/null
}
runs_shows() {
  local text
  text=$(runs_output) || text='(nothing to copy)'
  wait_detail="it shows: $(printf '%q' "$text")"
  [[ $text == "$1" ]]
}
expect_output() { wait_for 15 "the runs window to show $(printf '%q' "$1")" runs_shows "$1"; }

# The runs window is up, in front, with the keyboard focus, and beside the main window: it
# covers none of it.
expect_front() {
  find_runs_window
  [[ $(xdotool getwindowfocus) == "$runs_wid" ]] ||
    fail "the runs window does not have the keyboard focus (window $(xdotool getwindowfocus) has)"
  local ml mt mr mb rl rt rr rb
  read -r ml mt mr mb <<<"$(frame_of "$main_wid")"
  read -r rl rt rr rb <<<"$(frame_of "$runs_wid")"
  if ((rl <= mr && ml <= rr && rt <= mb && mt <= rb)); then
    fail "the runs window ($rl,$rt-$rr,$rb) overlaps the main window ($ml,$mt-$mr,$mb)"
  fi
}

# The titles of the visible windows of ours, one a line.
our_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$app_pid" --name '' 2>/dev/null); do
    [[ $(xprop -id "$id" _NET_WM_PID 2>/dev/null) == *" = $app_pid" ]] || continue
    window_is_viewable "$id" && xdotool getwindowname "$id" 2>/dev/null
  done | grep -v '^$' | sort
}

printf 'ok\n' >"with space.gen"
printf 'ok\n' >ok.gen
printf 'exit3\n' >exit3.gen
printf 'fail\n' >fail.gen
printf 'hold\n' >hold.gen
printf 'flood\n' >flood.gen
printf 'design\n' >out.dgn

e2e_start_program "$app"

# Types FILE as the input file, presses "Apply" and waits for the converter's record; sets pid.
apply_on() {
  xdotool windowfocus --sync "$main_wid"
  type_into "${INFILE[@]}" "$1"
  rm -f calls/*
  click_in "$main_wid" "${APPLY[@]}"
  wait_for 10 "the converter to be started" test -f calls/pid
  pid=$(<calls/pid)
}

# ---- 1. Five runs, one of them failing: one window, in front, beside the main window.
type_into "${DGNFILE[@]}" "$work/out.dgn"
apply_on "$work/with space.gen"
printf '%s\n' -I "$work/with space.gen" -D "$work/out.dgn" -S A -O P >expected.args
diff -u expected.args calls/args >&2 || fail "the converter got other arguments than the above"
expect_front
expect_output "converting $work/with space.gen
wrote 12 elements
finished (exit status 0)"
# "Copy command" (alt+m): a shell reads back the very words the converter got.
command_copied() {
  xdotool windowfocus --sync "$runs_wid" key --clearmodifiers alt+m
  copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null) || copied=
  wait_detail=$(printf '%q' "$copied")
  [[ $copied == "perl -S mapfeed.pl "* ]]
}
wait_for 10 "\"Copy command\" to copy the command line" command_copied
sh -c "set -- $copied; shift 3; printf '%s\\n' \"\$@\"" >copied.args
diff -u expected.args copied.args >&2 || fail "the copied command gives the shell other words: $copied"

for input in ok exit3 fail ok; do
  apply_on "$work/$input.gen"
  expect_front
  shown=$(our_windows | tr '\n' '|')
  [[ $shown == "Converter runs| Orlith Mapfeed|" || $shown == " Orlith Mapfeed|Converter runs|" ]] ||
    fail "after run $input, the windows of ours shown are $shown, not the main and the runs window"
done
expect_output "converting $work/ok.gen
wrote 12 elements
finished (exit status 0)"
shoot runs-five
# The failed run, selected with the keyboard: its output and error in order, and its end.
xdotool windowfocus --sync "$runs_wid" key --clearmodifiers Down
expect_output "converting $work/fail.gen
mapfeed.pl: the design file is not a 2D design file
failed (exit status 5)"
xdotool key --clearmodifiers Down
expect_output "converting $work/exit3.gen
warning: 2 arcs without a label
wrote 41 elements
failed (exit status 3)"
shoot runs-failed-selected

# ---- 2. No mapfeed.pl anywhere on PATH: perl's own message and its status.
mv bin/mapfeed.pl bin/elsewhere.pl
xdotool windowfocus --sync "$main_wid"
log_target=$(($(log_lines) + 3))
click_in "$main_wid" "${APPLY[@]}"
wait_for 10 "the run log to grow by three lines (a message box in the way?)" log_has_grown
find_runs_window
perl_says() {
  local text
  text=$(runs_output)
  wait_detail=$(printf '%q' "$text")
  [[ $text == *"mapfeed.pl"* && $text =~ $'\n'"failed (exit status "[1-9][0-9]*")"$ ]]
}
wait_for 10 "perl's complaint and a failed end" perl_says
mv bin/elsewhere.pl bin/mapfeed.pl

# ---- 3. A converter that runs on: its descriptors, then "Close" while it runs.
apply_on "$work/hold.gen"
held=$pid
expect_front
expect_output "first"
fds=$(cd "/proc/$held/fd" && printf '%s\n' * | sort -n | tr '\n' ' ')
[[ $fds == '0 1 2 ' ]] || fail "the converter holds descriptors $fds, not 0 1 2 only"
[[ $(readlink "/proc/$held/fd/0") == /dev/null ]] || fail "its standard input is $(readlink "/proc/$held/fd/0")"
out=$(readlink "/proc/$held/fd/1")
[[ $out == "$(readlink "/proc/$held/fd/2")" ]] || fail "its output and error go to different files"
[[ $out == *"(deleted)" || $out == /tmp/* || $out == "$TMPDIR"/* ]] || fail "its output goes to $out"
close_program
touch go
wait_for 20 "the converter to write its output to the end after \"Close\"" test -f calls/done
# What it wrote after the program had gone is freed while it still runs.
kept_blocks() {
  local blocks
  blocks=$(stat -L -c %b "/proc/$held/fd/2") || return 1
  wait_detail="$blocks blocks"
  ((blocks < 4096))
}
wait_for 5 "the 20 MB nobody reads to be freed from the disk" kept_blocks
touch release
wait_for 5 "the converter to end" eval '! kill -0 "$held" 2>/dev/null'

# ---- 4. A flood: one line of 50 MB, then 200 MB; the window keeps answering.
e2e_start_program "$app"
type_into "${DGNFILE[@]}" "$work/out.dgn"
# For comparison: how the idle window answers on this machine now.
"$xping" "$main_wid" 4 >idle-ping.txt 2>&1
echo "e2e: idle: $(cat idle-ping.txt)"
rss_before=$(awk '/^VmRSS/ { print $2 }' "/proc/$app_pid/status")
"$xping" "$main_wid" 120 >ping.txt 2>&1 &
pinger=$!
apply_on "$work/flood.gen"
flooder=$pid
max_blocks=0
while kill -0 "$flooder" 2>/dev/null; do
  blocks=$(stat -L -c %b "/proc/$flooder/fd/2" 2>/dev/null || echo 0)
  ((blocks > max_blocks)) && max_blocks=$blocks
  sleep 0.1
done
# The window is asked for nothing while it takes in the rest, so that the pings time it alone.
sleep 1
kill -TERM "$pinger"
wait "$pinger" || true
rss_peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$app_pid/status")
find_runs_window
flood_done() {
  local text
  text=$(runs_output | tail -n 2)
  wait_detail=$(printf '%q' "$text")
  [[ $text == *"mapfeed.pl: flood over"$'\n'"finished (exit status 0)" ]]
}
wait_for 30 "the flood's end to show" flood_done
read -r longest <<<"$(grep -o '^[0-9]*' ping.txt)"
echo "e2e: flood: $(cat ping.txt); at most $((max_blocks / 2048)) MiB of TMPDIR held; the program grew by $(((rss_peak - rss_before) / 1024)) MiB at its peak"
((longest < 1000)) || fail "the window did not answer for $longest ms during the flood"
((max_blocks < 64 * 2048)) || fail "the flood's output held $((max_blocks / 2048)) MiB of TMPDIR"
((rss_peak - rss_before < 128 * 1024)) || fail "the program grew by $(((rss_peak - rss_before) / 1024)) MiB"
close_program

# ---- 5. Few descriptors: 40 quick runs, each started or refused with a message.
(
  ulimit -n 64
  e2e_start_program "$app" && echo "$app_pid $main_wid" >started.txt && wait "$app_pid"
) &
wait_for 20 "the program under ulimit -n 64" test -s started.txt
read -r app_pid main_wid <started.txt
type_into "${DGNFILE[@]}" "$work/out.dgn"
type_into "${INFILE[@]}" "$work/ok.gen"
refused=0
before=$(log_lines)
for ((i = 0; i < 40; i++)); do
  xdotool windowfocus --sync "$main_wid"
  click_in "$main_wid" "${APPLY[@]}"
  sleep 0.05
  for box in $(windows_titled Mapfeed); do
    refused=$((refused + 1))
    xdotool windowfocus --sync "$box" key --clearmodifiers Return
  done
done
started=$((($(log_lines) - before) / 3))
echo "e2e: 40 quick runs under ulimit -n 64: $started started, $refused refused with a message"
((started + refused == 40)) || fail "of 40 presses, $started started and $refused were refused"
"$xping" "$main_wid" 2 >ping.txt 2>&1
[[ $(cat ping.txt) == *" 0 pings answered"* ]] && fail "the window stopped answering: $(cat ping.txt)"
kill "$app_pid" 2>/dev/null || true
app_pid=

# ---- 6. PATH with an empty entry: a perl and a mapfeed.pl planted in the current folder.
printf '#!/bin/sh\ntouch planted-ran\nexec /usr/bin/perl "$@"\n' >perl
printf '#!/usr/bin/perl\nopen(my $f, ">", "planted-ran"); close $f;\n' >mapfeed.pl
chmod +x perl mapfeed.pl
PATH="::$work/bin:$PATH" e2e_start_program "$app"
type_into "${DGNFILE[@]}" "$work/out.dgn"
apply_on "$work/ok.gen"
find_runs_window
expect_output "converting $work/ok.gen
wrote 12 elements
finished (exit status 0)"
[[ ! -e planted-ran ]] || fail "a program planted in the current folder ran"
close_program
echo "e2e: one runs window for every run, beside the main window; floods, few descriptors and planted programs handled"
