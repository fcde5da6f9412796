#!/usr/bin/env bash
# The plain CMake commands with CMake's default generator (Unix Makefiles):
# the player runtime step builds from the npm registry (or npm's cache) and,
# offline, from a runtime folder given to CMake.
# Usage: test_default_generator.sh SOURCE_DIR RUNTIME_DIR
set -euo pipefail
source=$1
given=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_runtime() {  # build folder, extra cmake arguments
  local build=$1
  shift
  if ! { cmake -S "$source" -B "$build" -G "Unix Makefiles" -DBUILD_TESTING=OFF "$@" \
         && cmake --build "$build" --target ruffle_runtime; } >"$work/log" 2>&1; then
    cat "$work/log"
    exit 1
  fi
}

build_runtime "$work/npm"
cmp "$given/ruffle.js" "$work/npm/bin/ruffle/ruffle.js"
build_runtime "$work/offline" -DORVANE_RUFFLE_RUNTIME_DIR="$given"
[ ! -e "$work/offline/flash/npm" ] || { echo "the offline build ran npm" >&2; exit 1; }
diff -r "$given" "$work/offline/bin/ruffle"
