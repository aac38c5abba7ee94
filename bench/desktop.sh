#!/usr/bin/env bash
# The desktop program from its start to the end of its search and to the device list, with 40
# simulated devices on four subnets of a sandbox (or, with --devices N, a plant of N devices on
# a link of their own beside the four subnets): the Linux program (Qt, under Xvfb) and the
# Windows program under Wine, beside lorixlog-find (and lorixlog-find.exe) for the search alone.
# Reports the wall time to the report's "... done." line, to the device list on the screen, and
# the program's CPU time then. (Xvfb runs no window manager: Wine waits for one a moment whenever
# a window appears, which the time to the list shows and a desktop would not.)
#   bench/desktop.sh [--devices N] [BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
plant=()
if [ "${1:-}" = "--devices" ]; then
  [ "$2" = 40 ] || plant=(--plant "$2")
  shift 2
fi
build=$(cd "${1:-build/default}" && pwd)
windows=${2:-build/windows}
[ ! -d "$windows" ] || windows=$(cd "$windows" && pwd)
devices=()
if [ ${#plant[@]} -eq 0 ]; then
  for net in 77 78 79 80; do
    for d in $(seq 20 29); do devices+=(--device "10.$net.0.$d" --no-http); done
  done
  devices=(-- "${devices[@]}" --)
fi
LORIXLOG_SIM=$build/tools/lorixlog-sim LORIXLOG_BENCH_BUILD=$build LORIXLOG_BENCH_WINDOWS=$windows \
LORIXLOG_BENCH_TIMER="$PWD/bench/timed-run.py" \
  tools/sandbox.sh --wine --build "$windows" --subnets 4 "${plant[@]}" "${devices[@]}" bash -c '
  set -euo pipefail
  display=$((500 + RANDOM % 100))
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap "kill $xvfb 2>/dev/null || true" EXIT
  sleep 1
  export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
  [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
  run() { python3 "$LORIXLOG_BENCH_TIMER" "$@"; wineserver -k 2>/dev/null || true; }
  run "lorixlog-find" --end "$LORIXLOG_BENCH_BUILD/tools/lorixlog-find"
  run "lorixlog-finder (Qt)" --list "$LORIXLOG_BENCH_BUILD/app/lorixlog-finder"
  if [ -f "$LORIXLOG_BENCH_WINDOWS/app/lorixlog-finder.exe" ]; then
    wine cmd /c exit >/dev/null 2>&1 || true  # the wineserver up before the timing
    run "lorixlog-find.exe (Wine)" --end wine "$LORIXLOG_BENCH_WINDOWS/tools/lorixlog-find.exe"
    wine cmd /c exit >/dev/null 2>&1 || true
    run "lorixlog-finder.exe (Wine)" --list wine "$LORIXLOG_BENCH_WINDOWS/app/lorixlog-finder.exe"
  fi'
