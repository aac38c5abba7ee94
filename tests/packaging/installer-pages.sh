#!/usr/bin/env bash
# installer-pages.sh SETUP.exe LANG: the Windows installer as a user clicks through it, under
# Wine in the language LANG (en or de): every page with Enter; the finish page offers "Run
# lorixlog-finder" (checked) and a desktop shortcut (not checked), its pictures are the
# program's own; Finish starts the program. Screenshots of each page go to SCREENSHOT_DIR when
# set. Runs inside tools/sandbox.sh --wine under an X display of its own (xvfb-run).
set -euo pipefail
setup=$(realpath "$1")
lang=$2
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
require_sandbox installer-pages --wine
[ -n "${DISPLAY:-}" ] || { echo "installer-pages: needs a display (xvfb-run)" >&2; exit 2; }
fail_label="installer $lang"
[ "$lang" = de ] && export LC_ALL=de_DE.UTF-8 || export LC_ALL=C.UTF-8
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
dir="$WINEPREFIX/drive_c/Program Files/lorixlog-finder"
# From a prefix without the program (an earlier run may have left it).
if [ -f "$dir/Uninstall.exe" ]; then
  wine "$dir/Uninstall.exe" /S
  wineserver -w
fi
shot() { [ -z "${SCREENSHOT_DIR:-}" ] || import -window root "$SCREENSHOT_DIR/installer-$lang-$1.png"; }

wine "$setup" >/dev/null 2>&1 &
window=
for _ in $(seq 150); do
  window=$(xdotool search --onlyvisible --name "lorixlog-finder" 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || fail "the installer shows no window"
# Welcome, license, options, folder, Start menu: Enter on each; then it installs.
page=0
finish=
for _ in $(seq 40); do
  sleep 1
  page=$((page + 1))
  shot "page-$page"
  if [ -f "$dir/lorixlog-finder.exe" ] && [ -f "$dir/Uninstall.exe" ]; then
    sleep 1
    finish=1
    break
  fi
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key Return
done
[ -n "$finish" ] || fail "clicking through the pages installed nothing"
sleep 1
shot finish
[ -z "$(find "$WINEPREFIX/drive_c/users" -name 'lorixlog-finder.lnk' -path '*Desktop*' 2>/dev/null)" ] ||
  fail "a desktop shortcut before Finish"
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key Return   # Finish: "Run lorixlog-finder" is checked
shown=
for _ in $(seq 100); do
  if xdotool search --onlyvisible --name "lorixlog-finder version" >/dev/null 2>&1; then
    shown=1
    break
  fi
  sleep 0.2
done
shot program
wine taskkill /F /IM lorixlog-finder.exe >/dev/null 2>&1 || true
[ -n "$shown" ] || fail "Finish did not start lorixlog-finder"
[ -z "$(find "$WINEPREFIX/drive_c/users" -name 'lorixlog-finder.lnk' -path '*Desktop*' 2>/dev/null)" ] ||
  fail "a desktop shortcut although its box was not checked"
wine "$dir/Uninstall.exe" /S
wineserver -w
echo "PASS (installer pages, $lang)"
