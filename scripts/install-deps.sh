#!/usr/bin/env bash
# Installs the Debian packages this project builds, runs and tests with.
# Usage: scripts/install-deps.sh [run|test]   (default: test, which is a superset)
set -euo pipefail
mode=${1:-test}

run_pkgs=(
  build-essential cmake ninja-build pkg-config
  libssl-dev libpugixml-dev libcurl4-openssl-dev
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
  libgl-dev haxe nodejs npm fonts-wqy-microhei xdg-utils
)
test_pkgs=(
  clang libclang-rt-14-dev googletest libgtest-dev
  xvfb xauth xdotool imagemagick openssl
)

pkgs=("${run_pkgs[@]}")
[ "$mode" = test ] && pkgs+=("${test_pkgs[@]}")

missing=()
for p in "${pkgs[@]}"; do
  # npm ships inside the nodesource nodejs package on some machines
  if [ "$p" = npm ] && command -v npm >/dev/null 2>&1; then continue; fi
  if [ "$p" = nodejs ] && command -v node >/dev/null 2>&1; then continue; fi
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
