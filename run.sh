#!/usr/bin/env bash
# Installs what is missing, builds, and starts Mapfeed with the given arguments.
# The program stays in the folder you call this from: its run log MapfeedLog.dat lands there.
set -euo pipefail

MAPFEED_SCRIPT=run.sh
# shellcheck source=scripts/deps.sh
. "$(dirname "${BASH_SOURCE[0]}")/scripts/deps.sh"

mapfeed_install_deps
mapfeed_build "$MAPFEED_ROOT/build"

# Checked after the build, so that a machine without a screen still gets a finished build.
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
  mapfeed_say "no display: DISPLAY and WAYLAND_DISPLAY are both empty, so the window has nowhere to show."
  mapfeed_say "The build is done. To run it on a virtual X server, use: xvfb-run ./run.sh"
  exit 1
fi

# The repository's converter goes last on PATH: a mapfeed.pl of your own earlier on it wins.
# A PATH that ends in ":" is not joined with another ":", which would add an empty entry (the
# current folder) before the converter.
while [[ $PATH == *: ]]; do PATH=${PATH%:}; done
export PATH="${PATH:+$PATH:}$MAPFEED_ROOT/converter"

exec "$MAPFEED_ROOT/build/bin/mapfeed" "$@"
