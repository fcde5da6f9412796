#!/usr/bin/env bash
# The Debian package on this machine, as a user gets it: built by CPack from
# BUILD_DIR, installed with apt-get, started through its desktop entry by
# xdg-open with a selection file, which it shows once the movie is ready,
# then removed, leaving nothing of it behind. Needs root and changes the
# machine while it runs; it puts it back even when it fails.
# Run it under run_under_openbox.sh.   Usage: test_package.sh BUILD_DIR
set -euo pipefail
build=$1
title='Torvex-Z series 选型系统'
type=application/x-orvane-zsr

[ "$(id -u)" = 0 ] || { echo "test_package.sh installs a package: run it as root" >&2; exit 1; }
known() { dpkg-query -W -f='${db:Status-Abbrev}' orvane 2>/dev/null | grep -q '^.[^n]'; }
if known; then
  echo "a package orvane is on this machine already: it is left alone" >&2
  exit 1
fi

work=$(mktemp -d)
program_group=
cleanup() {
  if [ -n "$program_group" ]; then kill -- -"$program_group" 2>/dev/null || true; fi
  if known; then apt-get purge -y -qq orvane >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

echo "== building the package"
cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(echo "$work"/package/orvane_*.deb)
dpkg-deb --field "$deb" Depends Recommends

echo "== installing it"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 \
  || { cat "$work/apt.log"; fail "apt-get install"; }
[ "$(readlink -f /usr/bin/orvane)" = /usr/lib/orvane/orvane ] || fail "/usr/bin/orvane does not lead to the program folder"
desktop-file-validate /usr/share/applications/orvane.desktop

echo "== opening a selection file from the desktop"
file="$work/线路 A.zsr"
printf 'TZSEL/1\nmode=module\ncpu=ZC-220\npower=ZP-P30\nbase=ZB-B06\nqty=ZX-DI16:3' | zsr encode "$file"
[ "$(xdg-mime query filetype "$file")" = "$type" ] || fail "the file type is not known"
[ "$(xdg-mime query default "$type")" = orvane.desktop ] || fail "the file type has no program"
# The program's start-up trace marks the moment the file is open in the movie.
ORVANE_START_TRACE="$work/trace" setsid xdg-open "$file" >"$work/program.log" 2>&1 &
program_group=$!
opened=
for _ in $(seq 240); do
  if grep -qs $'\tdocument opened$' "$work/trace" && xdotool search --name "^$title\$" >/dev/null 2>&1; then
    opened=yes
    break
  fi
  sleep 0.5
done
[ -n "$opened" ] || { cat "$work/program.log"; fail "the file was not shown"; }
kill -- -"$program_group"
wait "$program_group" 2>/dev/null || true
program_group=

echo "== removing it"
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { sub("^\\.", "", $6); print $6 }' >"$work/files"
apt-get purge -y -qq orvane >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get purge"; }
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left"; fi
done <"$work/files"
[ ! -e /usr/lib/orvane ] || fail "/usr/lib/orvane is left"
[ "$(xdg-mime query filetype "$file")" != "$type" ] || fail "the file type is still registered"
! grep -qs orvane /usr/share/applications/mimeinfo.cache || fail "the desktop entry is still registered"
echo "The package installed, opened a selection file and left nothing behind."
