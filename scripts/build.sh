#!/usr/bin/env bash
# Configures and builds into BUILD_DIR (default: build).
# Usage: scripts/build.sh [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
