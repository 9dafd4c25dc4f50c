#!/usr/bin/env bash
# End to end: the converter's own window, on a private X server with the real perl.
#
#   console_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]
#
# Checks that a name with a blank reaches the converter as one argument; that each run opens
# a window in front, with the focus, titled with its task and input file, which shows the
# converter's output and error in order and then how it ended (read back as a user would
# copy it: ctrl+a, ctrl+c); perl's own complaint when there is no mapfeed.pl; that the
# converter holds no descriptor but 0, 1 and 2, its output going to a file with no name; and
# that a converter outlives "Close", writing its output to the end.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: console_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]'
app=$(realpath -e "${1:?$usage}")
shot=${2:-}
[[ -z $shot ]] || shot=$(realpath -m "$shot")

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
[[ -z $shot ]] || failure_shot=${shot%.png}-failure.png

e2e_begin xclip xwininfo import
e2e_start_xvfb
e2e_install_converter
mkdir tmp
export TMPDIR=$work/tmp

# A second stand-in, swapped in after the first run: it notes its arguments and pid like the
# recording one, then does what the first line of its input file says.
write_acting_converter() {
  cat >bin/mapfeed.pl <<'PERL'
#!/usr/bin/perl
use strict;
use warnings;
use FindBin;

my $calls = "$FindBin::Bin/../calls";
sub note {
    my ($name, @lines) = @_;
    open my $out, '>', "$calls/$name.part" or die "$calls/$name.part: $!";
    print $out map { "$_\n" } @lines;
    close $out or die "$calls/$name.part: $!";
    rename "$calls/$name.part", "$calls/$name" or die "$calls/$name: $!";
}
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
chomp(my $mode = <$in>);
close $in;
$| = 1;
if ($mode eq 'exit3') {
    print "converting $input\n";
    print STDERR "warning: 2 arcs without a label\n";
    print "wrote 41 elements\n";
    exit 3;
}
if ($mode eq 'hold') {
    print "first\n";
    await('go');
    print "line $_\n" for 1 .. 2000;
    print "last\n";
    close STDOUT or die "stdout: $!";
    note('done', 'written');
    await('release');
    exit 0;
}
die "unknown mode $mode\n";
PERL
}

# ---- Reading a converter's window.

# The text of window WID as a user copies it: the focus, select all, copy, the clipboard.
console_text() {
  xdotool windowfocus --sync "$1" key --clearmodifiers ctrl+a ctrl+c
  timeout 5 xclip -o -selection clipboard 2>/dev/null
}
console_shows() {
  local text
  text=$(console_text "$1") || text='(nothing to copy)'
  wait_detail="it shows: $(printf '%q' "$text")"
  [[ $text == "$2" ]]
}
# expect_console WID TEXT: the window shows exactly TEXT (lines joined by \n), soon.
expect_console() {
  wait_for 10 "the converter window to show $(printf '%q' "$2")" console_shows "$1" "$2"
}

# expect_front PID NAME: the converter's window is up, titled with its task and file name,
# and has the keyboard focus; sets console.
console=
expect_front() {
  find_console console "$1"
  local title
  title=$(xdotool getwindowname "$console")
  [[ $title == "Converter task $1: $2" ]] || fail "the converter window is titled \"$title\""
  [[ $(xdotool getwindowfocus) == "$console" ]] ||
    fail "the converter window does not have the keyboard focus (window $(xdotool getwindowfocus) has)"
}

# Presses "Apply" when no converter of ours will note its start: waits for the log's record,
# and prints the task identifier it names.
press_apply_unrecorded() {
  log_target=$(($(log_lines) + 3))
  click_in "$main_wid" "${APPLY[@]}"
  wait_for 10 "the run log to grow by three lines (a message box in the way?)" log_has_grown
  tail -n 1 MapfeedLog.dat | tr -d '\r' | sed 's/^The returnvalue is: //'
}

printf 'ARC export\n' >"with space.gen"
printf 'exit3\n' >exit3.gen
printf 'hold\n' >hold.gen
printf 'design\n' >out.dgn

e2e_start_program "$app"

# Types FILE as the input file, presses "Apply" and waits for the converter's record; sets pid.
apply_on() {
  type_into "${INFILE[@]}" "$1"
  rm -f calls/*
  click_in "$main_wid" "${APPLY[@]}"
  wait_for 10 "the converter to be started" test -f calls/pid
  pid=$(<calls/pid)
}

# ---- 1. A name with a blank is one argument; a converter that prints nothing.
type_into "${DGNFILE[@]}" "$work/out.dgn"
apply_on "$work/with space.gen"
printf '%s\n' -I "$work/with space.gen" -D "$work/out.dgn" -S A -O P >expected.args
diff -u expected.args calls/args >&2 || fail "the converter got other arguments than the above"
expect_front "$pid" "with space.gen"
expect_console "$console" "finished (exit status 0)"
xdotool windowfocus --sync "$console" key --clearmodifiers ctrl+w
wait_for 5 "the converter window to close on ctrl+w" window_is_gone "$console"
xdotool windowfocus --sync "$main_wid"

# ---- 2. Output and error in order, then the exit status.
write_acting_converter
apply_on "$work/exit3.gen"
expect_front "$pid" "exit3.gen"
expect_console "$console" "converting $work/exit3.gen
warning: 2 arcs without a label
wrote 41 elements
finished (exit status 3)"
if [[ -n $shot ]]; then
  xdotool key --clearmodifiers ctrl+End # no selection left from the copy
  import -window root "$shot" || fail "no screenshot $shot"
fi
exit3_console=$console

# ---- 3. No mapfeed.pl anywhere on PATH: perl's own message and its status.
mv bin/mapfeed.pl bin/elsewhere.pl
xdotool windowfocus --sync "$main_wid"
pid=$(press_apply_unrecorded)
expect_front "$pid" "exit3.gen"
text=$(console_text "$console")
for ((i = 0; i < 100; i++)); do
  [[ $text == *$'\n'finished* ]] && break
  sleep 0.1
  text=$(console_text "$console")
done
[[ $text == *"mapfeed.pl"* && $text =~ $'\n'"finished (exit status "[1-9][0-9]*")"$ ]] ||
  fail "without mapfeed.pl the window shows $(printf '%q' "$text")"
mv bin/elsewhere.pl bin/mapfeed.pl
# The earlier window still stands, unchanged.
expect_console "$exit3_console" "converting $work/exit3.gen
warning: 2 arcs without a label
wrote 41 elements
finished (exit status 3)"

# Closed, they cover nothing of the main window that is clicked next.
for id in "$console" "$exit3_console"; do
  xdotool windowfocus --sync "$id" key --clearmodifiers ctrl+w
  wait_for 5 "a converter window to close" window_is_gone "$id"
done

# ---- 4. A converter that runs on: its descriptors, then "Close" while it runs.
xdotool windowfocus --sync "$main_wid"
apply_on "$work/hold.gen"
held=$pid
expect_front "$held" "hold.gen"
expect_console "$console" "first"

fds=$(cd "/proc/$held/fd" && printf '%s\n' * | sort -n | tr '\n' ' ')
[[ $fds == '0 1 2 ' ]] || fail "the converter holds descriptors $fds, not 0 1 2 only"
[[ $(readlink "/proc/$held/fd/0") == /dev/null ]] || fail "its standard input is $(readlink "/proc/$held/fd/0")"
out=$(readlink "/proc/$held/fd/1")
[[ $out == "$(readlink "/proc/$held/fd/2")" ]] || fail "its output and error go to different files"
[[ $out == "$TMPDIR/"*' (deleted)' ]] || fail "its output goes to $out, not to a file with no name in $TMPDIR"
[[ -z $(ls -A "$TMPDIR") ]] || fail "left in $TMPDIR: $(ls -A "$TMPDIR")"

xdotool windowfocus --sync "$main_wid"
close_program
kill -0 "$held" 2>/dev/null || fail "the converter ended with the program"
touch go
wait_for 10 "the converter to write its output to the end after the program ended" test -f calls/done
expected_output=$({
  echo first
  seq -f 'line %g' 1 2000
  echo last
})
# Its standard output is closed by now; its standard error is the same file.
[[ $(cat "/proc/$held/fd/2") == "$expected_output" ]] || fail "the converter's output is not whole"
touch release

echo "e2e: converter windows checked: one argument per name, title, focus, output and error in order," \
  "exit status, perl's message, descriptors 0 1 2, a converter outliving Close"
