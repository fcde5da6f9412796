#!/usr/bin/env bash
# Builds the Debian package (orvane_<version>_<arch>.deb) from the program
# build that scripts/run.sh uses, BUILD_DIR (default: build): when that is up
# to date nothing is compiled again. Prints the package's path. Install it as
# root with `apt-get install ./build/orvane_*.deb`.
# Usage: scripts/package.sh [extra cmake arguments...]
#   for example -DORVANE_RUFFLE_RUNTIME_DIR=DIR to build without the npm registry
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh" package
"$root/scripts/build.sh" -DBUILD_TESTING=OFF "$@"
rm -f "$BUILD_DIR"/orvane_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
ls "$BUILD_DIR"/orvane_*.deb
