# shellcheck shell=bash
# Shared by run.sh and test.sh (sourced, not run): the Debian packages Mapfeed needs,
# their installation, and the configure-and-build step.
#
# A package is installed only when dpkg does not already report it installed, so a machine
# that has everything makes no network call at all.

# What Mapfeed needs, built and tested on Debian 12:
# - the compiler and build tools, Qt 6 Widgets, GoogleTest; perl for the converter;
# - for the end-to-end tests: a virtual X server, xdotool, ImageMagick's `import` for
#   screenshots, xwininfo from x11-utils, xclip to read back text copied from a window, a window
#   manager that stacks and frames windows as a desktop does, and one plain font family so text
#   renders the same everywhere; Symbola for the control pictures (␍, ␉) the command line shows;
# - for the install test: debhelper and dpkg-buildpackage, lintian, blhc for the build flags,
#   appstreamcli for the metainfo, the menu entry's validator, an SVG renderer for the icon, man
#   for the manual page;
# - GDAL's ogrinfo, the independent reader the converter's tests check design files with.
# - for the watchdog test: XCB to ping the window, and FUSE to hang a share of its own.
MAPFEED_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev googletest
  perl
  xvfb xauth xdotool x11-utils xclip imagemagick fonts-liberation fonts-symbola openbox
  desktop-file-utils librsvg2-bin
  debhelper dpkg-dev lintian blhc appstream man-db
  libxcb1-dev fuse3 libfuse3-dev
  diffutils
  gdal-bin
)

# The source tree: the folder above scripts/.
MAPFEED_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

mapfeed_say() { printf '%s: %s\n' "${MAPFEED_SCRIPT:-mapfeed}" "$*" >&2; }

# Prints, one a line, each named package that dpkg does not report as installed.
mapfeed_missing_packages() {
  local package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null) || status=
    # "install ok installed", also "hold ok installed"; "… not-installed" and half states are missing.
    [[ $status == *" ok installed" ]] || printf '%s\n' "$package"
  done
}

# Installs whatever of MAPFEED_PACKAGES is missing, through sudo when not root.
mapfeed_install_deps() {
  local missing=()
  mapfile -t missing < <(mapfeed_missing_packages "${MAPFEED_PACKAGES[@]}")
  ((${#missing[@]} == 0)) && return 0

  local as_root=()
  if ((EUID != 0)); then
    if ! command -v sudo >/dev/null 2>&1; then
      mapfeed_say "missing packages: ${missing[*]}"
      mapfeed_say "install them as root: apt-get install --no-install-recommends ${missing[*]}"
      return 1
    fi
    as_root=(sudo)
  fi
  mapfeed_say "installing missing packages: ${missing[*]}"
  # Wait for a dpkg lock held by another apt run (a fresh machine may be updating itself).
  local apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
  "${apt[@]}" update &&
    "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
}

# Configures and builds one build folder with Ninja.
#   mapfeed_build DIR [CMAKE-ARGUMENTS...]
# No more jobs than the machine has cores (ninja's own default runs two more).
mapfeed_build() {
  local dir=$1
  shift
  cmake -S "$MAPFEED_ROOT" -B "$dir" -G Ninja "$@" &&
    cmake --build "$dir" --parallel "${MAPFEED_JOBS:-$(nproc)}"
}
