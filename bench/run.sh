#!/usr/bin/env bash
# Builds the benchmarks and prints a table of medians, each against its floor measured in the
# same run. Needs a few hundred MB in TMPDIR for the 100,000-file folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPFEED_TESTS=OFF -DMAPFEED_BENCH=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target browse_relist >/dev/null

folder=$(mktemp -d "${TMPDIR:-/tmp}/mapfeed-bench.XXXXXX")
trap 'rm -rf "$folder"' EXIT
# 100,000 files: a quarter each of .gen, .dgn, .ulf and .txt.
(cd "$folder" && seq 0 99999 | awk '{ e[0]="gen"; e[1]="dgn"; e[2]="ulf"; e[3]="txt"; printf "f%06d.%s\n", $1, e[$1 % 4] }' | xargs touch)

median_ms() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.2f", m }'; }

# The floor: find listing the same folder through the same pattern, without regard to case.
find_ms=$(for _ in $(seq 15); do
  start=$(date +%s%N)
  find "$folder" -maxdepth 1 -iname '*.gen' >/dev/null
  echo $(($(date +%s%N) - start)) | awk '{ printf "%.3f\n", $1 / 1e6 }'
done | median_ms)

json=$("$build/bin/browse_relist" "$folder" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
  --benchmark_format=json 2>/dev/null)
# The median's real time, from the benchmark's JSON report.
bench_ms() {
  printf '%s\n' "$json" | awk -v name="\"$1" '
    index($0, "\"name\": " name) && /_median"/ { inside = 1 }
    inside && /"real_time"/ { sub(/.*: /, ""); sub(/,/, ""); printf "%.2f", $0; exit }'
}
read_ms=$(bench_ms ReadAndFilter)
refilter_ms=$(bench_ms RefilterKeystroke)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-52s %10s %10s %8s\n' "measure" "median ms" "floor ms" "ratio"
printf '%-52s %10s %10s %8s\n' "Browse re-list, 100,000 files, folder read afresh" "$read_ms" "$find_ms" "$(ratio "$read_ms" "$find_ms")"
printf '%-52s %10s %10s %8s\n' "Browse re-list, 100,000 files, one keystroke" "$refilter_ms" "$find_ms" "$(ratio "$refilter_ms" "$find_ms")"
printf 'floor: find DIR -maxdepth 1 -iname "*.gen"; machine: %s, %s cores\n' "$(uname -m)" "$(nproc)"
