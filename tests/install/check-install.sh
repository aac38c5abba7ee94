#!/usr/bin/env bash
# Installs the build into a scratch root and checks that a desktop finds the program: the
# binaries, the .desktop file (valid, naming the installed program and icon) and the icons.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
for program in lorixlog-finder lorixlog-find lorixlog-sim; do
  [ -x "$root/usr/bin/$program" ] || fail "$program is not installed in bin"
done
desktop=$root/usr/share/applications/lorixlog-finder.desktop
[ -f "$desktop" ] || fail "no .desktop file"
desktop-file-validate "$desktop" || fail ".desktop file does not validate"
grep -qx 'Exec=lorixlog-finder' "$desktop" || fail ".desktop file does not start lorixlog-finder"
grep -qx 'Icon=lorixlog-finder' "$desktop" || fail ".desktop file names another icon"
for size in 16 24 32 48 64 72 96 128 192 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/lorixlog-finder.png
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "the ${size}x${size} icon has another size"
done
echo "PASS: install layout"
