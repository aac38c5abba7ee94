#!/usr/bin/env bash
# Takes the README's screenshots: the desktop program under Xvfb in the sandbox network, in
# English and German, after its search (docs/main-LANG.png) and with its device list
# (docs/list-LANG.png). Given the Windows program (tools/screenshots.sh
# build/windows/app/lorixlog-finder.exe), it runs that under Wine and writes
# docs/windows-main-LANG.png and docs/windows-list-LANG.png.
# --scale 1.5 or --scale 2 (first) takes them as a screen at 150 % or 200 % shows the program
# (Qt's scale factor, Wine's pixels per inch) and adds @1.5x or @2x to the names.
set -euo pipefail
cd "$(dirname "$0")/.."
scale=1
if [ "${1:-}" = --scale ]; then
  scale=$2
  shift 2
fi
finder=${1:-build/default/app/lorixlog-finder}
if [ -z "${LORIXLOG_IN_SANDBOX:-}" ]; then
  if [[ "$finder" == *.exe ]]; then
    LORIXLOG_SIM=${LORIXLOG_SIM:-$PWD/build/default/tools/lorixlog-sim} \
      exec tools/sandbox.sh --wine --build "$(dirname "$(dirname "$finder")")" \
      "$0" --scale "$scale" "$@"
  fi
  exec tools/sandbox.sh "$0" --scale "$scale" "$@"
fi

suffix=
[ "$scale" = 1 ] || suffix="@${scale}x"
width=$(awk "BEGIN { print int(1024 * $scale) }")
height=$(awk "BEGIN { print int(768 * $scale) }")
display=$((500 + RANDOM % 400))
Xvfb ":$display" -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb LC_ALL= LANGUAGE=

run=("$finder")
prefix=
if [[ "$finder" == *.exe ]]; then
  [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
  # The prefix's pixels per inch are set for this run only, and put back at the end.
  if [ "$scale" != 1 ]; then
    trap 'wineserver -k 2>/dev/null; wine reg delete "HKCU\\Control Panel\\Desktop" /v LogPixels \
      /f >/dev/null 2>&1; wineserver -w 2>/dev/null; kill $xvfb 2>/dev/null' EXIT
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$(awk "BEGIN { print int(96 * $scale) }")" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  run=(wine "$finder")
  prefix=windows-
else
  export QT_SCALE_FACTOR=$scale
fi

crop() {  # crop WINDOW FILE
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

for lang in en de; do
  [ "$lang" = de ] && export LANG=de_DE.UTF-8 || export LANG=C.UTF-8
  # Wine takes the Windows UI language from LC_ALL.
  [ -z "$prefix" ] || export LC_ALL=$LANG
  "${run[@]}" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 300); do
    [ "$(xdotool search --onlyvisible --name 'lorixlog-finder version' | wc -l)" -ge 2 ] && break
    sleep 0.1
  done
  sleep 0.5
  main=$(xdotool search --onlyvisible --name 'lorixlog-finder version' | head -1)
  list=$(xdotool search --onlyvisible --name 'lorixlog-finder version' | tail -1)
  crop "$main" "docs/${prefix}list-$lang$suffix.png"
  xdotool windowfocus --sync "$list"
  sleep 0.3
  xdotool key Escape
  for _ in $(seq 50); do
    [ "$(xdotool search --onlyvisible --name 'lorixlog-finder version' | wc -l)" -eq 1 ] && break
    sleep 0.1
  done
  sleep 0.5
  crop "$main" "docs/${prefix}main-$lang$suffix.png"
  xdotool windowfocus --sync "$main"
  sleep 0.3
  xdotool key Escape
  wait "$pid" || true
done
echo "screenshots written to docs/"
