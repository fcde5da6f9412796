#!/usr/bin/env bash
# Installs the Debian packages this project builds, runs and tests with.
# Usage: scripts/install-deps.sh [run|package|test]
#   (default: test, which is a superset of package, itself a superset of run)
set -euo pipefail
mode=${1:-test}

run_pkgs=(
  build-essential cmake ninja-build pkg-config
  libssl-dev libpugixml-dev libcurl4-openssl-dev
  qt6-base-dev qt6-webengine-dev qt6-webchannel-dev libqt6webenginecore6-bin
  libgl-dev libxcb1-dev haxe nodejs npm fonts-wqy-microhei xdg-utils qt6-translations-l10n
  libxlsxwriter-dev
)
# CPack's Debian package needs dpkg-shlibdeps and file; the build takes
# Debian's hardening flags from dpkg-buildflags (dpkg-dev too).
package_pkgs=(dpkg-dev file)
# The install tests also need a window manager, the desktop-file and
# AppStream validators and the generic desktop's file-type lookup that
# xdg-open uses (mimetype); the update tests serve the version file with
# nginx and make their certificates with openssl; the bill's tests read
# the printed PDF back with pdftotext, the exported .xlsx with openpyxl, and
# print the workbook and paste the clipboard's table with LibreOffice Calc
# (headless, without the desktop's toolkit); the hardware export tests check
# the .aml files against the CAEX schemas with xmllint and read them back
# with lxml; the package test checks the package
# with lintian and reads the manual pages with man; the idle benchmark clicks
# and types into the program and reads the screen with XTest (libxcb-xtest0-dev).
test_pkgs=(
  clang libclang-rt-14-dev googletest libgtest-dev
  xvfb xauth xdotool x11-utils imagemagick openssl nginx-light
  openbox desktop-file-utils appstream libfile-mimeinfo-perl poppler-utils
  lintian man-db libxcb-xtest0-dev python3-openpyxl libreoffice-calc-nogui python3-lxml libxml2-utils
)

pkgs=("${run_pkgs[@]}")
[ "$mode" != run ] && pkgs+=("${package_pkgs[@]}")
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
