#!/usr/bin/env bash
# Builds the benchmarks (Release, into build-bench/) and prints a table of medians, each against
# its floor measured in the same run:
#   - start to the first painted window, offscreen and under a private Xvfb, against a bare
#     QApplication showing an empty QWidget of the same size (bench/bare_window.cpp);
#   - the peak memory (RSS) of those runs, against the same floor;
#   - "Apply" from the click to the run log's record, with a converter that ends at once, against
#     a bare posix_spawnp of the same program, with the log where TMPDIR is and on tmpfs;
#   - the Browse window's re-listing of a folder of 100,000 files, against find.
# Installs what is missing (hyperfine, GNU time, Google Benchmark, Xvfb) with apt-get.
# Needs a few hundred MB in TMPDIR for the 100,000-file folder; takes a few minutes.
#
#   bench/run.sh
#
# MAPFEED_BENCH_ROUNDS (default 6) sets how many interleaved rounds of 15 start-ups each
# program gets per platform.
set -euo pipefail

MAPFEED_SCRIPT=bench/run.sh
# shellcheck source=scripts/deps.sh
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/deps.sh"
cd "$MAPFEED_ROOT"

MAPFEED_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-liberation
  libbenchmark-dev hyperfine time xvfb findutils util-linux)
mapfeed_install_deps

build=$MAPFEED_ROOT/build-bench
jobs=$(nproc)
((jobs > 2)) && jobs=2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPFEED_TESTS=OFF -DMAPFEED_BENCH=ON >/dev/null
cmake --build "$build" --parallel "$jobs" \
  --target mapfeed bare_window first_paint_exit apply_click exit_at_once browse_relist reaper_choice preview_layout >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/mapfeed-bench.XXXXXX")
xvfb_pid=
finish() {
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM HUP

say() { printf '%s\n' "$*" >&2; }
median() { sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# ---- Start-up and peak memory.

program=$build/bin/mapfeed
bare=$build/bin/bare_window
rounds=${MAPFEED_BENCH_ROUNDS:-6}
runs=15

# A private, predictable session for every start: no desktop settings of the caller's leak in.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
  QT_STYLE_OVERRIDE QT_FONT_DPI QT_QPA_PLATFORMTHEME SESSION_MANAGER
# Both programs end right after their first painted frame.
export LD_PRELOAD=$build/lib/first_paint_exit.so
# The program starts in a folder of its own, like a user's project folder.
mkdir "$work/start" && cd "$work/start"

# The three start-ups measured: the floor, the floor with one line of text, the program.
commands=("$(printf %q "$bare")" "$(printf %q "$bare") --label" "$(printf %q "$program")")

# Each must end by itself after its first paint, or the timings below would wait forever.
check_ends() {
  local command
  for command in "${commands[@]}"; do
    eval "timeout 30 $command" >"$work/check.out" 2>&1 ||
      { cat "$work/check.out" >&2; say "bench: \"$command\" did not end after its first paint ($1)"; exit 1; }
  done
}

# Prints the median start-up time in ms of each command, one a line. hyperfine runs them in
# rounds, the commands one after the other in each, so a change in the machine's load falls
# on all of them alike; the medians are taken over every run of every round.
startup_medians() {
  local round times=$work/times.txt
  : >"$times"
  for ((round = 1; round <= rounds; round++)); do
    hyperfine -N --style none --warmup 2 --runs "$runs" --export-json "$work/round.json" \
      "${commands[@]}" >"$work/hyperfine.out" 2>&1 || { cat "$work/hyperfine.out" >&2; exit 1; }
    # Each result's list of times, as "command-number seconds" lines.
    awk '/"command":/ { n++ } /"times": \[/ { inside = 1; next } inside && /\]/ { inside = 0 }
      inside { gsub(/[ ,]/, ""); print n, $0 }' "$work/round.json" >>"$times"
  done
  local n
  for n in 1 2 3; do awk -v n="$n" '$1 == n { print $2 * 1000 }' "$times" | median; echo; done
}

# Prints the median peak RSS in MB of each command, one a line, from GNU time's maximum
# resident set size, the commands taking turns.
rss_medians() {
  local i n
  rm -f "$work"/maxrss.*
  for ((i = 0; i < 15; i++)); do
    for n in 0 1 2; do
      eval "/usr/bin/time -a -o $(printf %q "$work/maxrss.$n") -f %M ${commands[$n]}" >/dev/null 2>&1
    done
  done
  for n in 0 1 2; do awk '{ print $1 / 1024 }' "$work/maxrss.$n" | median; echo; done
}

measure_platform() {
  check_ends "$1"
  startup_medians >"$work/start.txt"
  rss_medians >"$work/rss.txt"
  mapfile -t start_ms <"$work/start.txt"
  mapfile -t rss_mb <"$work/rss.txt"
}

say "bench: start-up, offscreen"
export QT_QPA_PLATFORM=offscreen
measure_platform offscreen
off_ms=("${start_ms[@]}")
off_mb=("${rss_mb[@]}")

say "bench: start-up, Xvfb"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do
  grep -sqx '[0-9]\+' "$work/display" && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; say "bench: Xvfb ended at start"; exit 1; }
  sleep 0.1
done
grep -sqx '[0-9]\+' "$work/display" || { say "bench: Xvfb reported no display"; exit 1; }
DISPLAY=:$(<"$work/display")
export DISPLAY QT_QPA_PLATFORM=xcb
measure_platform Xvfb
x_ms=("${start_ms[@]}")
x_mb=("${rss_mb[@]}")
kill "$xvfb_pid" 2>/dev/null || true
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=
unset DISPLAY QT_QPA_PLATFORM LD_PRELOAD
cd "$MAPFEED_ROOT"

# ---- "Apply", with the log on TMPDIR's file system, and on tmpfs when that is another one.

say "bench: Apply"
fs_type() { findmnt -n -o FSTYPE --target "$1" | head -n 1; }
apply_folders=("${TMPDIR:-/tmp}")
if [[ -d /dev/shm && -w /dev/shm && $(fs_type /dev/shm) == tmpfs && $(fs_type "${TMPDIR:-/tmp}") != tmpfs ]]; then
  apply_folders+=(/dev/shm)
fi

# The median real time in the unit the benchmark reported, from Google Benchmark's JSON.
bench_median() {
  printf '%s\n' "$1" | awk -v name="\"$2" '
    index($0, "\"name\": " name) && /_median"/ { inside = 1 }
    inside && /"real_time"/ { sub(/.*: /, ""); sub(/,/, ""); printf "%.2f", $0; exit }'
}
apply_rows=()
for folder in "${apply_folders[@]}"; do
  json=$("$build/bin/apply_click" "$folder" "$build/bin/exit_at_once" --benchmark_repetitions=9 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_format=json 2>"$work/apply.err") || { cat "$work/apply.err" >&2; exit 1; }
  if grep -q '"error_occurred": true' <<<"$json"; then
    grep '"error_message"' <<<"$json" >&2
    say "bench: the Apply benchmark failed"
    exit 1
  fi
  apply_rows+=("$folder|$(fs_type "$folder")|$(bench_median "$json" ApplyClick)|$(bench_median "$json" BareSpawn)")
done

# ---- The Browse window's re-listing.

say "bench: Browse"
folder=$work/relist
mkdir "$folder"
# 100,000 files: a quarter each of .gen, .dgn, .ulf and .txt.
(cd "$folder" && seq 0 99999 | awk '{ e[0]="gen"; e[1]="dgn"; e[2]="ulf"; e[3]="txt"; printf "f%06d.%s\n", $1, e[$1 % 4] }' | xargs touch)

# The floor: find listing the same folder through the same pattern, without regard to case.
find_ms=$(for _ in $(seq 15); do
  start=$(date +%s%N)
  find "$folder" -maxdepth 1 -iname '*.gen' >/dev/null
  echo $(($(date +%s%N) - start)) | awk '{ printf "%.3f\n", $1 / 1e6 }'
done | median)

json=$("$build/bin/browse_relist" "$folder" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
  --benchmark_format=json 2>/dev/null)
read_ms=$(bench_median "$json" ReadAndFilter)
refilter_ms=$(bench_median "$json" RefilterKeystroke)

# ---- The table.

verdict() { awk -v r="$1" -v t="$2" 'BEGIN { print (r <= t) ? "met" : "MISSED" }'; }
row() { printf '%-62s %9s %9s %6s %7s %7s\n' "$@"; }
line() { row "$1" "$2" "$3" "$(ratio "$2" "$3")" "${4:--}" "${4:+$(verdict "$(ratio "$2" "$3")" "$4")}"; }

echo
row "measure" "median" "floor" "ratio" "target" ""
line "start to first paint, offscreen (ms)" "${off_ms[2]}" "${off_ms[0]}" 1.10
line "start to first paint, Xvfb (ms)" "${x_ms[2]}" "${x_ms[0]}" 1.10
line "peak RSS, offscreen (MB)" "${off_mb[2]}" "${off_mb[0]}" 1.15
line "peak RSS, Xvfb (MB)" "${x_mb[2]}" "${x_mb[0]}" 1.15
for r in "${apply_rows[@]}"; do
  IFS='|' read -r where type apply spawn <<<"$r"
  line "Apply, click to record, log in $where ($type) (us)" "$apply" "$spawn" 1.50
done
line "Browse re-list, 100,000 files, folder read afresh (ms)" "$read_ms" "$find_ms"
line "Browse re-list, 100,000 files, one keystroke (ms)" "$refilter_ms" "$find_ms"
echo
echo "For scale, the bare window with one line of text (bare_window --label) as the floor:"
line "start to first paint, offscreen (ms)" "${off_ms[2]}" "${off_ms[1]}"
line "start to first paint, Xvfb (ms)" "${x_ms[2]}" "${x_ms[1]}"
line "peak RSS, offscreen (MB)" "${off_mb[2]}" "${off_mb[1]}"
line "peak RSS, Xvfb (MB)" "${x_mb[2]}" "${x_mb[1]}"
echo
echo "floors: start-up and RSS: bench/bare_window (QApplication + empty 511x436 QWidget, same exit hook);"
echo "        Apply: posix_spawnp of the same stand-in with the same arguments, reaped by a detached thread"
echo "        as the program does; both wait, untimed, for the reap between clicks;"
echo "        Browse: find DIR -maxdepth 1 -iname '*.gen'"
echo "runs: start-up $((rounds * runs)) per program and platform (hyperfine $(hyperfine --version | awk '{ print $2 }')), RSS 15, Apply and Browse 9 repetitions (Google Benchmark)"
echo "machine: $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), $(nproc) cores," \
  "$(awk '/^MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo) memory," \
  "Qt $(pkg-config --modversion Qt6Widgets 2>/dev/null || echo '?'), $(uname -sr)"

echo
"$build/bin/reaper_choice" "$build/bin/exit_at_once" 300

echo
QT_QPA_PLATFORM=offscreen "$build/bin/preview_layout" 1024 2>/dev/null
