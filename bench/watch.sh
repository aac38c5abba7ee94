#!/usr/bin/env bash
# The memory of a long watch: lorixlog-find --watch=10 --json runs 30 rounds (about five
# minutes) in a sandbox against simulated devices that come and go on schedules of their own, and
# the benchmark reports its resident memory after the first round and after the last, and the
# changes it wrote. The memory must stay flat: what the watch keeps is bounded by the devices.
#   bench/watch.sh [--build DIR] [--rounds N]
# Not run by CI (it takes minutes); the sandbox keeps every query inside its own network.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
rounds=30
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--rounds N]" >&2; exit 2 ;;
  esac
done
interval=10
# Ten devices: three always there, the others on cycles that do not divide the interval, so that
# they appear, vanish and come back again and again.
devices=(--device 10.77.0.20 --device 10.77.0.21 --device 10.77.0.22
  --device 10.77.0.23 --cycle 25,35 --device 10.77.0.24 --cycle 40,30
  --device 10.77.0.25 --cycle 15,45 --device 10.77.0.26 --cycle 60,20
  --device 10.77.0.27 --cycle 33,27 --device 10.77.0.28 --cycle 12,48
  --device 10.77.0.29 --cycle 50,50)
out=$(mktemp)
trap 'rm -f "$out" "$out.events"' EXIT
LORIXLOG_BENCH_OUT=$out LORIXLOG_BENCH_ROUNDS=$rounds LORIXLOG_BENCH_INTERVAL=$interval \
tools/sandbox.sh --build "$build" -- "${devices[@]}" -- bash -c '
  out=$LORIXLOG_BENCH_OUT
  "$@" >"$out.events" &
  pid=$!
  rss() { awk "/^VmRSS/ { print \$2 }" "/proc/$pid/status"; }
  sleep $((LORIXLOG_BENCH_INTERVAL + 1))
  rss >"$out"
  sleep $(((LORIXLOG_BENCH_ROUNDS - 1) * LORIXLOG_BENCH_INTERVAL))
  rss >>"$out"
  kill -INT "$pid"
  wait "$pid"; echo "$?" >>"$out"' watch \
  "$build/tools/lorixlog-find" --watch="$interval" --json
{ read -r first; read -r last; read -r status; } <"$out"
appeared=$(grep -c '"event": "appeared"' "$out.events" || true)
changed=$(grep -c '"event": "changed"' "$out.events" || true)
vanished=$(grep -c '"event": "vanished"' "$out.events" || true)
echo "watch of $rounds rounds every $interval s: VmRSS $first kB after the first round, $last kB after the last"
echo "changes written: $appeared appeared, $changed changed, $vanished vanished; exit status on SIGINT: $status"
