#!/usr/bin/env bash
# Builds the Debian package (orvane_<version>_<arch>.deb) in BUILD_DIR
# (default: build-package) and prints its path. Install it as root with
# `apt-get install ./build-package/orvane_*.deb`.
# Usage: scripts/package.sh [extra cmake arguments...]
#   for example -DORVANE_RUFFLE_RUNTIME_DIR=DIR to build without the npm registry
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-package}
"$root/scripts/install-deps.sh" package
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "$@"
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/orvane_*.deb
