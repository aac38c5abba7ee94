#!/usr/bin/env bash
# Makes the Wine prefix of the tests (WINEPREFIX) ready before they run: initialised once, and
# the test programs named told not to wait for a window manager (Xvfb has none: Wine would wait
# for one a second or two whenever a window appears or goes).
#   prepare-wine-prefix.sh PROGRAM.exe...
set -euo pipefail
[ -n "${WINEPREFIX:-}" ] || { echo "prepare-wine-prefix: WINEPREFIX is not set" >&2; exit 2; }
[ -f "$WINEPREFIX/system.reg" ] || wineboot --init >/dev/null 2>&1
for program in "$@"; do
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
done
wineserver -w
