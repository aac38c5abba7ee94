#!/usr/bin/env bash
# Takes the README's screenshots: the desktop program under Xvfb in the sandbox network, in
# English and German, after its search (docs/main-LANG.png) and with its device list
# (docs/list-LANG.png).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${LORIXLOG_IN_SANDBOX:-}" ]; then
  exec tools/sandbox.sh "$0" "$@"
fi

finder=${1:-build/default/app/lorixlog-finder}
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
  "$finder" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    [ "$(xdotool search --onlyvisible --name 'lorixlog-finder version' | wc -l)" -ge 2 ] && break
    sleep 0.1
  done
  sleep 0.5
  main=$(xdotool search --onlyvisible --name 'lorixlog-finder version' | head -1)
  list=$(xdotool search --onlyvisible --name 'lorixlog-finder version' | tail -1)
  crop "$main" "docs/list-$lang.png"
  xdotool windowfocus --sync "$list" key Escape
  sleep 0.5
  crop "$main" "docs/main-$lang.png"
  xdotool windowfocus --sync "$main" key Escape
  wait "$pid" || true
done
echo "screenshots written to docs/"
