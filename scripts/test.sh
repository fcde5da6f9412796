#!/usr/bin/env bash
# Installs what is missing, builds everything with clang (the fuzz targets need
# it) and runs every test: unit, GUI (under Xvfb), end-to-end and fuzz smoke runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
export BUILD_DIR=${BUILD_DIR:-$root/build-test}
"$root/scripts/build.sh" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=ON
[ "$(id -u)" = 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
cd "$BUILD_DIR"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j 2
