#!/usr/bin/env bash
# The core's layers depend one way. Each rule below names a folder (or files) and the project
# headers it may not include; a hit is printed and fails the test.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

status=0
forbid() {
  local what=$1 pattern=$2
  shift 2
  local hits
  hits=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"($pattern)" "$@" 2>/dev/null) || true
  if [[ -n $hits ]]; then
    echo "layering: $what"
    echo "$hits"
    status=1
  fi
}

foundation=(app/Controls.h app/Controls.cpp app/Window.h app/Window.cpp app/WindowHost.h app/Services.h)
forbid "the job knows no window" 'app/|dialogs/|browse/|platform/' job/*
forbid "the window foundation knows no window of the program" 'app/(Application|MainWindow|OptionDialogs)|dialogs/|browse/|platform/' "${foundation[@]}"
forbid "a dialog knows only the foundation and the job" 'app/(Application|MainWindow|OptionDialogs)|browse/|platform/' dialogs/*
forbid "the Browse window knows only the foundation" 'app/(Application|MainWindow|OptionDialogs)|dialogs/|platform/|job/' browse/*
forbid "the main window knows the dialogs, not the application" 'app/Application|platform/' app/MainWindow.* app/OptionDialogs.h
exit "$status"
