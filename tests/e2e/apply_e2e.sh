#!/usr/bin/env bash
# End to end: the real program on a private X server, driven by xdotool the way a user drives
# it, with a stand-in converter first on PATH that records how it was started.
#
#   apply_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]
#
# Checks one "Apply" with the start-up defaults (command line, run log, arguments, pid), a
# second "Apply" whose input path holds shell syntax that must stay a plain file name, and
# that "Close" ends the program.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage='usage: apply_e2e.sh PATH/TO/mapfeed [SCREENSHOT.png]'
app=$(realpath -e "${1:?$usage}")
shot=${2:-}
[[ -z $shot ]] || shot=$(realpath -m "$shot")

# shellcheck source=lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# shellcheck disable=SC2034 # read by fail in lib.sh
[[ -z $shot ]] || failure_shot=${shot%.png}-failure.png

# shellcheck disable=SC2119 # no tools beyond the shared ones
e2e_begin
e2e_start_xvfb
e2e_install_converter

printf 'ARC export\nEND\n' >in.gen
printf 'design\n' >out.dgn
input=$work/in.gen
design=$work/out.dgn

e2e_start_program "$app"

commands=()

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
press_apply
expect_arguments -I "$input" -D "$design" -S A -O P
commands+=("$(default_command "$input" "$design")")
check_log
wait_for 5 "the finished converter (pid ${converter_pids[-1]}) to be reaped" converter_is_gone

if [[ -n $shot ]]; then
  import -window root "$shot" || echo "e2e: warning: no screenshot taken" >&2
fi

# ---- Run 2: file names with shell syntax reach the converter as plain text; no shell ever
# sees the command line. Each name arrives whole, as one argument, its blank included.
# shellcheck disable=SC2016 # these texts are meant to stay unexpanded
tricky_input='x$(touch INJ)y.gen'
# shellcheck disable=SC2016
tricky_design='d`touch${IFS}INJ`e.dgn'
: >"$tricky_input"
: >"$tricky_design"
type_into "${INFILE[@]}" "$work/$tricky_input"
type_into "${DGNFILE[@]}" "$work/$tricky_design"
press_apply
expect_arguments -I "$work/$tricky_input" -D "$work/$tricky_design" -S A -O P
injected=$(find "$work" -name 'INJ*')
[[ -z $injected ]] || fail "a file name was run as shell code: $injected exists"
commands+=("$(default_command "$work/$tricky_input" "$work/$tricky_design")")
check_log

# ---- "Close" ends the program at once.
close_program

echo "e2e: 2 runs checked: command lines, run log, arguments, pids, no shell, Close"
