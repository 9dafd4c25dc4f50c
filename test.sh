#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test tier (unit, scenario, binding, e2e).
# Needs no display: the binding tests draw offscreen, the e2e tests start their own X server.
set -euo pipefail

MAPFEED_SCRIPT=test.sh
# shellcheck source=scripts/deps.sh
. "$(dirname "${BASH_SOURCE[0]}")/scripts/deps.sh"
cd "$MAPFEED_ROOT"

# The rules must build without the toolkit: no Qt header may enter the core folders.
# Checked before building, since it is the cheapest way to fail.
check_core_is_toolkit_free() {
  local folders=() folder
  for folder in job ui dialogs browse app runs posix dgn sources convert picture; do
    [[ -d $folder ]] && folders+=("$folder")
  done
  ((${#folders[@]} == 0)) && return 0
  local found=0
  grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' -- "${folders[@]}" || found=$?
  case $found in
    0) mapfeed_say "a Qt include in the toolkit-free core (lines above)"; return 1 ;;
    1) return 0 ;;
    *) mapfeed_say "grep failed on ${folders[*]}"; return 1 ;;
  esac
}

# One build folder, built and tested; a failure here does not stop the suites after it.
# The script ends with the status of the last build or ctest run that failed.
#   build_and_test DIR [CMAKE-ARGUMENTS...]
failed=()
status=0
build_and_test() {
  local dir=$1 code=0
  mapfeed_build "$@" || code=$?
  if ((code != 0)); then
    failed+=("$dir (build)")
    status=$code
    return
  fi
  ctest --test-dir "$dir" --output-on-failure || code=$?
  if ((code != 0)); then
    failed+=("$dir (tests)")
    status=$code
  fi
}

mapfeed_install_deps
check_core_is_toolkit_free

build_and_test build
# The toolkit-free core again, under AddressSanitizer and UndefinedBehaviorSanitizer: unit
# tests, scenarios, the random-event test and the shared log. Any report fails the run.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build_and_test build-asan -DMAPFEED_WITH_QT=OFF -DCMAKE_BUILD_TYPE=Debug \
  "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

if ((${#failed[@]})); then
  mapfeed_say "failed: ${failed[*]}"
fi
exit "$status"
