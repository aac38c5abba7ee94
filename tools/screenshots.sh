#!/usr/bin/env bash
# Takes the README's screenshots: the desktop program under Xvfb in the sandbox network, in
# English and German, after its search (docs/main-LANG.png) and with its device list
# (docs/list-LANG.png). Given the Windows program (tools/screenshots.sh
# build/windows/app/lorixlog-finder.exe), it runs that under Wine and writes
# docs/windows-main-LANG.png and docs/windows-list-LANG.png.
set -euo pipefail
cd "$(dirname "$0")/.."
finder=${1:-build/default/app/lorixlog-finder}
if [ -z "${LORIXLOG_IN_SANDBOX:-}" ]; then
  if [[ "$finder" == *.exe ]]; then
    LORIXLOG_SIM=${LORIXLOG_SIM:-$PWD/build/default/tools/lorixlog-sim} \
      exec tools/sandbox.sh --wine --build "$(dirname "$(dirname "$finder")")" "$0" "$@"
  fi
  exec tools/sandbox.sh "$0" "$@"
fi

run=("$finder")
prefix=
if [[ "$finder" == *.exe ]]; then
  [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
  run=(wine "$finder")
  prefix=windows-
fi
display=$((500 + RANDOM % 400))
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb LC_ALL= LANGUAGE=

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
  crop "$main" "docs/${prefix}list-$lang.png"
  xdotool windowfocus --sync "$list"
  sleep 0.3
  xdotool key Escape
  for _ in $(seq 50); do
    [ "$(xdotool search --onlyvisible --name 'lorixlog-finder version' | wc -l)" -eq 1 ] && break
    sleep 0.1
  done
  sleep 0.5
  crop "$main" "docs/${prefix}main-$lang.png"
  xdotool windowfocus --sync "$main"
  sleep 0.3
  xdotool key Escape
  wait "$pid" || true
done
echo "screenshots written to docs/"
