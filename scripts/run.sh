#!/usr/bin/env bash
# Installs what is missing, builds the program into BUILD_DIR (default: build)
# and starts it. scripts/package.sh packages the same build.
# Arguments are passed to the program (for example a .zsr file to open).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" run
export BUILD_DIR=${BUILD_DIR:-$root/build}
"$root/scripts/build.sh" -DBUILD_TESTING=OFF
# Qt WebEngine refuses its sandbox when run as root.
[ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
exec "$BUILD_DIR/bin/orvane" "$@"
