#!/usr/bin/env bash
# The Debian package as a user gets it: built with cpack from the build folder, unpacked into a
# scratch root (never installed on this machine), its files, control fields, menu entry and
# icon checked, and the unpacked program started on a private Xvfb until its window shows.
#
#   install_test.sh BUILD-DIR VERSION ICON-COMPARE [FAILURE-PNG]
#
# BUILD-DIR holds CPackConfig.cmake and the built program; VERSION is the project's;
# ICON-COMPARE is mapfeed-icon-compare, which holds a rendered SVG against the window's icon.
set -uo pipefail

build=$(realpath "$1")
version=$2
icon_compare=$(realpath "$3")
failure_shot=${4:-}
source_root=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../..")

# shellcheck source=tests/e2e/lib.sh
. "$source_root/tests/e2e/lib.sh"

e2e_begin cpack dpkg dpkg-deb desktop-file-validate rsvg-convert readelf
started=$(now_ns)

# ---- The package.

# Its staging folder goes with it into the work folder, so the build folder stays as it was.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >cpack.log 2>&1 ||
  { cat cpack.log >&2; fail "cpack did not build the package"; }

deb=$work/package/mapfeed_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $(basename "$deb"); cpack left: $(cd package && echo *.deb)"
echo "install: $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb --info "$deb" >/dev/null || fail "dpkg-deb cannot read the package"

# field NAME: the control field's value.
field() { dpkg-deb --field "$deb" "$1"; }
expect_field() {
  local value
  value=$(field "$1")
  [[ $value == "$2" ]] || fail "control field $1 is \"$value\", not \"$2\""
}
expect_field Package mapfeed
expect_field Version "$version"
expect_field Section science
expect_field Maintainer "Mapfeed developers"
expect_field Architecture "$(dpkg --print-architecture)"
[[ -n $(field Description) ]] || fail "the package has no description"

# The names in Depends, without versions; an alternative "a | b" gives both.
depends=$(field Depends)
dependency_names=" $(sed 's/([^)]*)//g; s/[,|]/ /g; s/[[:space:]]\+/ /g' <<<"$depends") "
# The Qt libraries come from dpkg-shlibdeps, with the version the program was linked against;
# perl starts the converter and Liberation Sans is the window's font.
for name in libqt6widgets6 libqt6gui6 libqt6core6 libc6 perl fonts-liberation; do
  [[ $dependency_names == *" $name "* ]] || fail "Depends lacks $name: $depends"
done
[[ $depends =~ libqt6widgets6\ \(\>=\ [0-9] ]] || fail "Depends has no version for libqt6widgets6: $depends"

# ---- Its files: exactly these, nothing of the build (static libraries, tests) besides.
expected_files=(
  ./usr/bin/mapfeed
  ./usr/bin/mapfeed.pl
  ./usr/share/applications/mapfeed.desktop
  ./usr/share/doc/mapfeed/README.md
  ./usr/share/icons/hicolor/scalable/apps/mapfeed.svg
  ./usr/share/man/man1/mapfeed.pl.1.gz
  ./usr/share/mapfeed/mapfeed.pl
  ./usr/share/mapfeed/lib/Mapfeed/Args.pm
  ./usr/share/mapfeed/lib/Mapfeed/Convert.pm
  ./usr/share/mapfeed/lib/Mapfeed/Design.pm
  ./usr/share/mapfeed/lib/Mapfeed/Dgn.pm
  ./usr/share/mapfeed/lib/Mapfeed/Failure.pm
  ./usr/share/mapfeed/lib/Mapfeed/Input.pm
)
listed=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)
if [[ $listed != "$(printf '%s\n' "${expected_files[@]}" | sort)" ]]; then
  diff <(printf '%s\n' "${expected_files[@]}" | sort) <(echo "$listed") >&2
  fail "the package holds other files than expected (diff above: expected, packed)"
fi

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack the package"
program=$root/usr/bin/mapfeed
[[ -x $program ]] || fail "usr/bin/mapfeed is not executable"
# Packed without debug information, and not tied to where it was built.
readelf -S "$program" | grep -q '\.debug_info' && fail "usr/bin/mapfeed still carries debug information"
if readelf -d "$program" | grep -E 'R(UN)?PATH' >&2; then
  fail "usr/bin/mapfeed has a library search path (above)"
fi
cmp -s "$root/usr/share/doc/mapfeed/README.md" "$source_root/README.md" ||
  fail "the packed README is not the source tree's"

# ---- The converter: bin/mapfeed.pl links to share/mapfeed/mapfeed.pl and runs from there.
converter=$root/usr/bin/mapfeed.pl
[[ -L $converter && $(readlink "$converter") == ../share/mapfeed/mapfeed.pl ]] ||
  fail "usr/bin/mapfeed.pl is not a link to ../share/mapfeed/mapfeed.pl"
[[ $(stat -c %a "$root/usr/share/mapfeed/mapfeed.pl") == 755 ]] || fail "usr/share/mapfeed/mapfeed.pl is not mode 0755"
printf '1 10 20\nEND\n' >converter.gen
: >converter.dgn
PATH="$root/usr/bin:$PATH" perl -S mapfeed.pl -I converter.gen -D converter.dgn -S A -P P >converter.log 2>&1 ||
  { cat converter.log >&2; fail "the packed converter failed"; }
(($(stat -c %s converter.dgn) > 1536)) || fail "the packed converter wrote no design file"
gzip -dc "$root/usr/share/man/man1/mapfeed.pl.1.gz" | grep -q 'EXIT STATUS' || fail "the converter's manual page is empty"

# ---- The menu entry, and that its program and icon are the packed ones.
entry=$root/usr/share/applications/mapfeed.desktop
desktop-file-validate "$entry" >desktop.log 2>&1 || { cat desktop.log >&2; fail "desktop-file-validate rejects the menu entry"; }
[[ -s desktop.log ]] && { cat desktop.log >&2; fail "desktop-file-validate has remarks on the menu entry"; }
# key NAME: the value of NAME in the entry's [Desktop Entry] group.
key() { sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$1"'=//p}' "$entry"; }
expect_key() { [[ $(key "$1") == "$2" ]] || fail "menu entry: $1 is \"$(key "$1")\", not \"$2\""; }
expect_key Type Application
expect_key Name Mapfeed
expect_key Exec mapfeed
expect_key Icon mapfeed
expect_key Terminal false
[[ -n $(key GenericName) && -n $(key Comment) ]] || fail "menu entry: no GenericName or Comment"
for category in Science Geography Qt; do
  [[ ";$(key Categories)" == *";$category;"* ]] || fail "menu entry: Categories lacks $category: $(key Categories)"
done
# Exec and Icon are looked up by name: on PATH, and in the hicolor theme.
[[ -x $root/usr/bin/$(key Exec) ]] || fail "menu entry: Exec $(key Exec) is not in usr/bin"
[[ -f $root/usr/share/icons/hicolor/scalable/apps/$(key Icon).svg ]] ||
  fail "menu entry: Icon $(key Icon) is not in the hicolor theme"

# ---- The icon is the window's own picture, at two of the sizes the window draws.
svg=$root/usr/share/icons/hicolor/scalable/apps/mapfeed.svg
for size in 64 128; do
  rsvg-convert --width "$size" --height "$size" --output "icon-$size.png" "$svg" ||
    fail "rsvg-convert cannot render the packed icon"
  "$icon_compare" "icon-$size.png" "drawn-$size.png" || fail "the packed icon differs from the window's at ${size}x$size"
done

# ---- The unpacked program starts and shows its window.
e2e_start_xvfb
e2e_start_program "$program"
echo "install: the unpacked program shows \" Orlith Mapfeed\""
close_program

echo "install: passed in $((($(now_ns) - started) / 1000000)) ms"
