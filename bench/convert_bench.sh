#!/usr/bin/env bash
# The converter engine against GDAL's own DGN writer, on the same geometry, in one run:
#   - converting 1e4, 1e5 and 1e6 vertices of lines (100 vertices a line), polygons (100-vertex
#     rings) and point records: mapfeed-convert from Arc/Info generate text into an empty design
#     file, against `ogr2ogr -f DGN` from CSV with WKT;
#   - appending 1,000 vertices (10 lines) to design files of 1 MB, 10 MB and 100 MB, against
#     `ogr2ogr -update -append` adding the same lines to a copy of the same file.
# Runs alternate between the two sides (the order swapped every round); the table gives the
# medians of wall time and of peak RSS (GNU time), the ratio ours/GDAL, and the spread
# (max/min of each side's times) as the noise. Not a test: nothing here passes or fails.
#
#   bench/convert_bench.sh            # MAPFEED_BENCH_ROUNDS rounds each (default 7)
#
# Needs gdal-bin and GNU time (installed with apt-get when missing) and about 1 GB in TMPDIR.
set -euo pipefail

MAPFEED_SCRIPT=bench/convert_bench.sh
# shellcheck source=scripts/deps.sh
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/deps.sh"
cd "$MAPFEED_ROOT"
MAPFEED_PACKAGES=(build-essential cmake ninja-build gdal-bin time)
mapfeed_install_deps

rounds=${MAPFEED_BENCH_ROUNDS:-7}
build=$MAPFEED_ROOT/build-bench-engine
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPFEED_WITH_QT=OFF -DMAPFEED_TESTS=OFF >/dev/null
cmake --build "$build" --target mapfeed-convert -j 2 >/dev/null
engine=$build/bin/mapfeed-convert

work=$(mktemp -d "${TMPDIR:-/tmp}/mapfeed-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# generate KIND VERTICES NAME [SEED]: NAME.gen (ours) and NAME.csv (GDAL's) with the same geometry.
generate() {
  awk -v kind="$1" -v n="$2" -v gen="$work/$3.gen" -v csv="$work/$3.csv" -v seed="${4:-1}" '
    BEGIN {
      srand(seed); print "id,WKT" > csv
      if (kind == "points") {
        for (i = 1; i <= n; i++) {
          x = sprintf("%.3f", rand() * 100000); y = sprintf("%.3f", rand() * 100000)
          print i, x, y > gen; print i ",\"POINT (" x " " y ")\"" > csv
        }
        print "END" > gen; exit
      }
      for (r = 1; r <= n / 100; r++) {
        x0 = rand() * 100000; y0 = rand() * 100000; print r > gen; wkt = ""
        for (j = 0; j < 100; j++) {
          if (kind == "polygons") { a = 6.283185307 * j / 99; x = sprintf("%.3f", x0 + 50 * cos(a)); y = sprintf("%.3f", y0 + 50 * sin(a)) }
          else { x = sprintf("%.3f", x0 + j * 3.5); y = sprintf("%.3f", y0 + (j % 7) * 2.25) }
          if (kind == "polygons" && j == 99) { x = fx; y = fy }
          if (j == 0) { fx = x; fy = y }
          print x, y > gen; wkt = wkt (j ? ", " : "") x " " y
        }
        print "END" > gen
        print r "," (kind == "polygons" ? "\"POLYGON ((" wkt "))\"" : "\"LINESTRING (" wkt ")\"") > csv
      }
      print "END" > gen
    }'
}

# The CSV's id column is read but not written: a DGN layer holds no attribute fields.
gdal_options=(-oo KEEP_GEOM_COLUMNS=NO -select "")

# timed FILE COMMAND...: appends "seconds kilobytes" of one run to FILE.
timed() {
  local out=$1 start end; shift
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1 || { mapfeed_say "failed: $*"; exit 1; }
  end=$(date +%s%N)
  printf '%s %s\n' "$(((end - start) / 1000))" "$(cat "$work/rss")" >>"$out"
}

# median FILE COLUMN
median() { sort -n -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { sort -n -k1,1 "$1" | awk 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.2f", hi / lo }'; }

# row LABEL: prints the table row of $work/ours and $work/gdal.
row() {
  local ot gt orss grss
  ot=$(median "$work/ours" 1); gt=$(median "$work/gdal" 1)
  orss=$(median "$work/ours" 2); grss=$(median "$work/gdal" 2)
  awk -v l="$1" -v ot="$ot" -v gt="$gt" -v o="$orss" -v g="$grss" -v os="$(spread "$work/ours")" -v gs="$(spread "$work/gdal")" \
    'BEGIN { printf "| %s | %.1f ms | %.1f ms | %.2f | %.1f / %.1f MiB | %s / %s |\n", l, ot / 1000, gt / 1000, ot / gt, o / 1024, g / 1024, os, gs }'
}

echo "mapfeed-convert against ogr2ogr $(ogr2ogr --version | sed 's/,.*//;s/GDAL //'); $rounds rounds; $(nproc) cores"
echo
echo "| conversion | ours | ogr2ogr | ratio | peak RSS ours / GDAL | spread ours / GDAL |"
echo "|---|---|---|---|---|---|"
for kind in lines polygons points; do
  for n in 10000 100000 1000000; do
    generate "$kind" "$n" input
    options=(-S A -P L)
    [[ $kind == polygons ]] && options=(-S A -P A)
    [[ $kind == points ]] && options=(-S A -P P -C 1)
    : >"$work/ours"; : >"$work/gdal"
    for ((r = 0; r < rounds; r++)); do
      for side in $((r % 2)) $((1 - r % 2)); do
        if ((side == 0)); then
          : >"$work/o.dgn"
          timed "$work/ours" "$engine" -I "$work/input.gen" -D "$work/o.dgn" "${options[@]}"
        else
          rm -f "$work/g.dgn"
          timed "$work/gdal" ogr2ogr -f DGN "$work/g.dgn" "$work/input.csv" "${gdal_options[@]}"
        fi
      done
    done
    row "$kind $n"
  done
done

# Design files of about 1, 10 and 100 MB: 100-vertex lines written by the engine; the 100 MB
# one is the 10 MB one's elements ten times over.
generate lines 1200000 big 2
: >"$work/base10.dgn"
"$engine" -I "$work/big.gen" -D "$work/base10.dgn" -S A -P L >/dev/null 2>&1
generate lines 120000 small 3
: >"$work/base1.dgn"
"$engine" -I "$work/small.gen" -D "$work/base1.dgn" -S A -P L >/dev/null 2>&1
size10=$(stat -c %s "$work/base10.dgn")
{
  head -c 2048 "$work/base10.dgn"
  for _ in 1 2 3 4 5 6 7 8 9 10; do tail -c +2049 "$work/base10.dgn" | head -c $((size10 - 2048 - 2)); done
  printf '\377\377'
} >"$work/base100.dgn"
generate lines 1000 add 4

# append_rows REMEMBERED: a table of appends; with REMEMBERED=1 each timed append follows an
# untimed one by the same program on the same copy (for ours: a file whose end it remembers).
declare -A appended
append_rows() {
  local size base r side
  for size in 1 10 100; do
    base=$work/base$size.dgn
    : >"$work/ours"; : >"$work/gdal"
    for ((r = 0; r < rounds; r++)); do
      for side in $((r % 2)) $((1 - r % 2)); do
        if ((side == 0)); then
          cp "$base" "$work/o.dgn"
          (($1)) && "$engine" -I "$work/add.gen" -D "$work/o.dgn" -S A -P L >/dev/null 2>&1
          sync -f "$work/o.dgn"    # the copy's own write-back is not the append's
          timed "$work/ours" "$engine" -I "$work/add.gen" -D "$work/o.dgn" -S A -P L
        else
          cp "$base" "$work/g.dgn"
          (($1)) && ogr2ogr -update -append "$work/g.dgn" "$work/add.csv" -nln elements "${gdal_options[@]}" >/dev/null 2>&1
          sync -f "$work/g.dgn"
          timed "$work/gdal" ogr2ogr -update -append "$work/g.dgn" "$work/add.csv" -nln elements "${gdal_options[@]}"
        fi
      done
    done
    appended[$size]=$(median "$work/ours" 1)
    row "$(awk -v s="$(stat -c %s "$base")" 'BEGIN { printf "%.1f MB", s / 1e6 }') design file"
  done
  awk -v a="${appended[1]}" -v b="${appended[100]}" 'BEGIN { printf "\nours, 100 MB against 1 MB: %.2fx\n", b / a }'
}

echo
echo "First append to a file (a copy: no end remembered, the whole file walked):"
echo
echo "| append 1,000 vertices | ours | ogr2ogr -update -append | ratio | peak RSS ours / GDAL | spread ours / GDAL |"
echo "|---|---|---|---|---|---|"
append_rows 0
echo
echo "Appending again to a file the same program appended to before (ours remembers its end):"
echo
echo "| append 1,000 vertices | ours | ogr2ogr -update -append | ratio | peak RSS ours / GDAL | spread ours / GDAL |"
echo "|---|---|---|---|---|---|"
append_rows 1

# Memory at scale, ours alone, one run each: 1e7 vertices of lines into an empty file, and the
# same 1,000 vertices appended to a design file of about 500 MB.
echo
echo "| at scale (ours) | time | peak RSS |"
echo "|---|---|---|"
generate lines 10000000 huge 5
: >"$work/ours"
: >"$work/o.dgn"
timed "$work/ours" "$engine" -I "$work/huge.gen" -D "$work/o.dgn" -S A -P L
awk '{ printf "| 1e7 vertices of lines (%s) | %.2f s | %.1f MiB |\n", "'"$(du -h "$work/huge.gen" | cut -f1)"' of input", $1 / 1e6, $2 / 1024 }' "$work/ours"
size100=$(stat -c %s "$work/base100.dgn")
{
  head -c 2048 "$work/base100.dgn"
  for _ in 1 2 3 4 5; do tail -c +2049 "$work/base100.dgn" | head -c $((size100 - 2048 - 2)); done
  printf '\377\377'
} >"$work/o.dgn"
sync -f "$work/o.dgn"
: >"$work/ours"
timed "$work/ours" "$engine" -I "$work/add.gen" -D "$work/o.dgn" -S A -P L
awk '{ printf "| append 1,000 vertices to %s MB | %.1f ms | %.1f MiB |\n", "'"$(($(stat -c %s "$work/o.dgn") / 1000000))"'", $1 / 1e3, $2 / 1024 }' "$work/ours"
