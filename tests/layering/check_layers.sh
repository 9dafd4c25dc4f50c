#!/usr/bin/env bash
# The layers depend one way. One row per folder: the folders its files may include from, which
# are also the only ones whose libraries its CMakeLists.txt may link. A unit (a header and its
# source) may not depend on itself through others: include circles between units fail too.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

declare -A may_use=(
  [job]="job"
  [ui]="ui job"
  [dialogs]="dialogs ui job"
  [browse]="browse ui"
  [app]="app dialogs browse ui job"
  [runs]="runs"
  [posix]="posix ui job dgn"
  [platform]="platform posix runs picture app dialogs browse ui job"
  [dgn]="dgn"
  [sources]="sources dgn"
  [convert]="convert sources dgn"
  [picture]="picture convert sources dgn"
)

status=0
fail() {
  echo "layering: $*"
  status=1
}

for folder in "${!may_use[@]}"; do
  [[ -d $folder ]] || continue
  allowed=" ${may_use[$folder]} "
  # Every project include names its folder first: "folder/File.h".
  while IFS=: read -r file line target; do
    used=${target%%/*}
    [[ -n ${may_use[$used]+x} ]] || continue
    [[ $allowed == *" $used "* ]] || fail "$file:$line includes $target: $folder/ may use only${allowed% }"
  done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$folder" |
           sed -E 's/#[[:space:]]*include[[:space:]]*"([^"]+)"/\1/; s/:[[:space:]]*/:/2')
  # The link lines say the same: only the libraries of the folders it may use.
  if [[ -f $folder/CMakeLists.txt ]]; then
    for library in $(grep -oE 'mapfeed_[a-z]+' "$folder/CMakeLists.txt" | sort -u); do
      used=${library#mapfeed_}
      [[ -n ${may_use[$used]+x} ]] || continue
      [[ $allowed == *" $used "* ]] || fail "$folder/CMakeLists.txt links $library: $folder/ may use only${allowed% }"
    done
  fi
done

# Units depending on each other in a circle: tsort finds the loops in "unit unit" pairs.
pairs=$(for folder in "${!may_use[@]}"; do
  [[ -d $folder ]] || continue
  grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/[A-Za-z0-9_]+\.h"' "$folder" |
    sed -E 's#^([^:]+)\.(h|cpp):[0-9]+:.*"([^"]+)\.h"#\1 \3#' | awk '$1 != $2'
done)
loops=$(printf '%s\n' "$pairs" | tsort 2>&1 >/dev/null | grep -v '^tsort: -: input contains a loop:$')
[[ -z $loops ]] || fail "units include each other in a circle:"$'\n'"$loops"
exit "$status"
