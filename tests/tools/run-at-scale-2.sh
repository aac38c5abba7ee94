#!/usr/bin/env bash
# Runs a test program on a screen of 1280 x 800 pixels at scale 2, as a user of a small laptop
# screen at 200 % has it.
#   run-at-scale-2.sh qt PROGRAM ARGS...    Qt's offscreen platform with such a screen
#   run-at-scale-2.sh wine PROGRAM ARGS...  Wine on an X display of its own at 192 pixels per inch
# Wine: the test's prefix (WINEPREFIX) is borrowed; its wineserver is ended before and after, so
# the test must run alone (RUN_SERIAL), and the prefix's DPI is put back afterwards.
set -euo pipefail
kind=$1
shift
case "$kind" in
  qt)
    config=$(mktemp)
    trap 'rm -f "$config"' EXIT
    echo '{"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1280, "height": 800,
      "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}' >"$config"
    QT_QPA_PLATFORM="offscreen:configfile=$config" QT_SCALE_FACTOR=2 "$@"
    ;;
  wine)
    [ -n "${WINEPREFIX:-}" ] || { echo "run-at-scale-2: WINEPREFIX is not set" >&2; exit 2; }
    display=$((500 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    key='HKCU\Control Panel\Desktop'
    restore() {
      wineserver -k 2>/dev/null || true
      DISPLAY=":$display" wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
      wineserver -w 2>/dev/null || true
      kill "$xvfb" 2>/dev/null || true
    }
    trap restore EXIT
    for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
    export DISPLAY=":$display"
    # A server of its own, on this display, that reads the DPI afresh.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wine reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    set +e
    wine "$@"
    status=$?
    set -e
    exit "$status"
    ;;
  *)
    echo "usage: run-at-scale-2.sh qt|wine PROGRAM ARGS..." >&2
    exit 2
    ;;
esac
