#!/usr/bin/env bash
# The Debian package as a user gets it: built by dpkg-buildpackage from a copy of the source
# tree, checked by lintian and blhc, unpacked into a scratch root (never installed on this
# machine), its files, control fields, menu entry, metainfo and icon checked, and the unpacked
# program started on a private Xvfb until its window shows.
#
#   install_test.sh VERSION ICON-COMPARE [FAILURE-PNG]
#
# VERSION is the project's; ICON-COMPARE is mapfeed-icon-compare, which holds a rendered SVG
# against the window's icon. MAPFEED_JOBS sets the package build's parallel jobs.
set -uo pipefail

version=$1
icon_compare=$(realpath "$2")
failure_shot=${3:-}
source_root=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../..")
id=org.mapfeed.Mapfeed

# shellcheck source=tests/e2e/lib.sh
. "$source_root/tests/e2e/lib.sh"

e2e_begin dpkg-buildpackage dpkg-parsechangelog dpkg-deb lintian blhc appstreamcli strings \
  desktop-file-validate rsvg-convert readelf man
started=$(now_ns)

# ---- The source: the tracked and new files of the tree, without build folders.
# dpkg-buildpackage writes the package beside the tree it builds and leaves debian/build and
# debian/mapfeed inside it, so it builds a copy in the work folder.
tree=$work/src/mapfeed-$version
mkdir -p "$tree"
if git -C "$source_root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Files deleted in the work tree are still listed until the deletion is committed.
  (cd "$source_root" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [[ ! -e $file ]] || printf '%s\0' "$file"; done |
    xargs -0 cp --parents --no-dereference -t "$tree") || fail "cannot copy the source tree"
else
  tar -C "$source_root" --exclude=./.git --exclude='./build*' --exclude=./debian/build -cf - . |
    tar -C "$tree" -xf - || fail "cannot copy the source tree"
fi

debian_version=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Version)
[[ $debian_version == "$version"-* ]] ||
  fail "debian/changelog is at $debian_version, the project at $version"

# ---- The package, with the hardening flags of debian/rules. The tests ran before this one.
(cd "$tree" &&
  DEB_BUILD_OPTIONS="nocheck parallel=${MAPFEED_JOBS:-$(nproc)}" DEB_BUILD_PROFILES=nocheck \
    dpkg-buildpackage -us -uc -b) >build.log 2>&1 ||
  { tail -40 build.log >&2; fail "dpkg-buildpackage did not build the package (build.log above)"; }
arch=$(dpkg --print-architecture)
deb=$work/src/mapfeed_${debian_version}_$arch.deb
changes=$work/src/mapfeed_${debian_version}_$arch.changes
[[ -f $deb && -f $changes ]] || fail "no $(basename "$deb"); the build left: $(cd src && echo *)"
echo "install: $(basename "$deb"), $(stat -c %s "$deb") bytes, built in $((($(now_ns) - started) / 1000000000)) s"

# Every compile and link line carries dpkg-buildflags' hardening flags, -z now included.
# (The compiler makes position-independent executables by default, which blhc knows.)
blhc --arch="$arch" --bindnow build.log >blhc.log 2>&1 ||
  { cat blhc.log >&2; fail "blhc: flags missing from the build (above)"; }

# lintian on the .deb, its debug symbols and the .buildinfo: no error, no warning.
lintian --pedantic --display-info --fail-on error,warning "$changes" >lintian.log 2>&1
lintian_status=$?
grep -v 'running with root privileges' lintian.log | sed 's/^/install: lintian: /'
((lintian_status == 0)) || fail "lintian reports errors or warnings (above)"
# lintian reports these as information only; the program must still have them.
grep -E 'hardening-no-(relro|bindnow|pie)' lintian.log && fail "the program lacks a hardening feature (above)"

# ---- Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
expect_field() {
  local value
  value=$(field "$1")
  [[ $value == "$2" ]] || fail "control field $1 is \"$value\", not \"$2\""
}
expect_field Package mapfeed
expect_field Version "$debian_version"
expect_field Section science
expect_field Priority optional
expect_field Maintainer "Mapfeed Team <team@mapfeed.org>"
expect_field Architecture "$arch"
[[ -n $(field Description) ]] || fail "the package has no description"

# The names in Depends, without versions; an alternative "a | b" gives both.
depends=$(field Depends)
dependency_names=" $(sed 's/([^)]*)//g; s/[,|]/ /g; s/[[:space:]]\+/ /g' <<<"$depends") "
# The Qt libraries come from dpkg-shlibdeps, with the version the program was linked against;
# perl starts the converter, Liberation Sans is the window's font and Symbola draws the control
# pictures of the command line.
for name in libqt6widgets6 libqt6gui6 libqt6core6 libc6 perl fonts-liberation fonts-symbola; do
  [[ $dependency_names == *" $name "* ]] || fail "Depends lacks $name: $depends"
done
[[ $depends =~ libqt6widgets6\ \(\>=\ [0-9] ]] || fail "Depends has no version for libqt6widgets6: $depends"

# ---- Files: the program's own are there, and nothing of the build (static libraries,
# headers, CMake files, test programs) came along. What else `cmake --install` adds is
# lintian's to judge.
listed=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
for file in usr/bin/mapfeed usr/share/applications/$id.desktop \
  usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/metainfo/$id.metainfo.xml \
  usr/share/man/man1/mapfeed.1.gz usr/share/man/man1/mapfeed.pl.1.gz \
  usr/bin/mapfeed.pl usr/share/mapfeed/mapfeed.pl usr/share/doc/mapfeed/copyright \
  usr/share/doc/mapfeed/changelog.Debian.gz; do
  grep -qx "$file" <<<"$listed" || fail "the package lacks $file; it holds: $listed"
done
if grep -E '\.(a|o|h|cmake)$|^usr/(include|lib)/|/mapfeed-[a-z-]+$' <<<"$listed" >&2; then
  fail "the package holds build products (above)"
fi

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb cannot unpack the package"
program=$root/usr/bin/mapfeed
[[ -x $program ]] || fail "usr/bin/mapfeed is not executable"
# Stripped (the symbols are in mapfeed-dbgsym), and not tied to where it was built.
readelf -S "$program" | grep -q '\.debug_info' && fail "usr/bin/mapfeed still carries debug information"
if readelf -d "$program" | grep -E 'R(UN)?PATH' >&2; then
  fail "usr/bin/mapfeed has a library search path (above)"
fi
cmp -s "$root/usr/share/doc/mapfeed/copyright" "$source_root/debian/copyright" ||
  fail "the packed copyright is not debian/copyright"
# The manual page renders without a complaint from groff.
man --warnings -E UTF-8 -l -Tutf8 "$root/usr/share/man/man1/mapfeed.1.gz" 2>man.log |
  sed 's/.\x08//g' >man.txt || fail "man cannot render mapfeed(1)"
[[ -s man.log ]] && { cat man.log >&2; fail "mapfeed(1) renders with warnings (above)"; }
grep -q 'MapfeedLog.dat' man.txt && grep -q 'ACTIVEPROJECT' man.txt ||
  fail "mapfeed(1) does not describe the run log and ACTIVEPROJECT"

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
entry=$root/usr/share/applications/$id.desktop
desktop-file-validate "$entry" >desktop.log 2>&1 || { cat desktop.log >&2; fail "desktop-file-validate rejects the menu entry"; }
[[ -s desktop.log ]] && { cat desktop.log >&2; fail "desktop-file-validate has remarks on the menu entry"; }
# key NAME: the value of NAME in the entry's [Desktop Entry] group.
key() { sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$1"'=//p}' "$entry"; }
expect_key() { [[ $(key "$1") == "$2" ]] || fail "menu entry: $1 is \"$(key "$1")\", not \"$2\""; }
expect_key Type Application
expect_key Name Mapfeed
expect_key Exec mapfeed
expect_key Icon $id
expect_key Terminal false
[[ -n $(key GenericName) && -n $(key Comment) ]] || fail "menu entry: no GenericName or Comment"
for category in Science Geography Qt; do
  [[ ";$(key Categories)" == *";$category;"* ]] || fail "menu entry: Categories lacks $category: $(key Categories)"
done
# Exec and Icon are looked up by name: on PATH, and in the hicolor theme.
[[ -x $root/usr/bin/$(key Exec) ]] || fail "menu entry: Exec $(key Exec) is not in usr/bin"
[[ -f $root/usr/share/icons/hicolor/scalable/apps/$(key Icon).svg ]] ||
  fail "menu entry: Icon $(key Icon) is not in the hicolor theme"
# The program names the entry as its desktop file (Wayland shows the entry's icon for its
# windows); Qt keeps the name as UTF-16.
strings -el "$program" | grep -qx "$id" || fail "usr/bin/mapfeed does not name $id as its desktop file"

# ---- The AppStream metainfo: valid, and naming the same entry, icon and program.
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo" >appstream.log 2>&1
appstream_status=$?
sed 's/^/install: appstreamcli: /' appstream.log
((appstream_status == 0)) && ! grep -qE '^[[:space:]]*[EW]:' appstream.log ||
  fail "appstreamcli reports errors or warnings (above)"
# tag NAME: the text of the metainfo's first element NAME (with its attributes, if given).
tag() { sed -n "s|.*<$1>\(.*\)</${1%% *}>.*|\1|p" "$metainfo" | head -1; }
expect_tag() { [[ $(tag "$1") == "$2" ]] || fail "metainfo: <$1> is \"$(tag "$1")\", not \"$2\""; }
expect_tag id $id
expect_tag 'launchable type="desktop-id"' $id.desktop
expect_tag 'icon type="stock"' "$(key Icon)"
expect_tag binary "$(key Exec)"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo: no release $version"

# ---- The icon is the window's own picture, at two of the sizes the window draws.
svg=$root/usr/share/icons/hicolor/scalable/apps/$id.svg
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
