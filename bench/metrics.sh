#!/usr/bin/env bash
# The watch with its metrics endpoint scraped as Prometheus scrapes it: lorixlog-find
# --watch=10 --metrics runs in a sandbox with a plant of simulated devices (200 by default) for
# ten minutes, a scrape every second; the benchmark reports the resident memory after the first
# minute and at the end, the scrapes that failed, and the CPU time one scrape costs (measured
# over a run of fast scrapes at the end, the searches' own share included, so an upper bound).
#   bench/metrics.sh [--build DIR] [--devices N] [--seconds S]
# Not run by CI (it takes ten minutes); the sandbox keeps every query inside its own network.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
devices=200
seconds=600
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --devices) devices=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--devices N] [--seconds S]" >&2; exit 2 ;;
  esac
done
out=$(mktemp)
trap 'rm -f "$out"' EXIT
LORIXLOG_BENCH_OUT=$out LORIXLOG_BENCH_SECONDS=$seconds \
tools/sandbox.sh --build "$build" --plant "$devices" bash -c '
  out=$LORIXLOG_BENCH_OUT
  "$@" >/dev/null 2>&1 &
  pid=$!
  url=http://127.0.0.1:9469/metrics
  rss() { awk "/^VmRSS/ { print \$2 }" "/proc/$pid/status"; }
  cpu() { awk "{ print \$14 + \$15 }" "/proc/$pid/stat"; }  # clock ticks
  failed=0
  for ((s = 1; s <= LORIXLOG_BENCH_SECONDS; s++)); do
    curl -s -f -o /dev/null "$url" || failed=$((failed + 1))
    [ "$s" -eq 60 ] && rss >"$out.first"
    sleep 1
  done
  last=$(rss)
  devices=$(curl -s "$url" | awk "/^lorixlog_devices / { print \$2 }")
  size=$(curl -s "$url" | wc -c)
  before=$(cpu); start=$(date +%s.%N)
  for ((i = 0; i < 2000; i++)); do curl -s -f -o /dev/null "$url" || failed=$((failed + 1)); done
  after=$(cpu); end=$(date +%s.%N)
  kill -INT "$pid"; wait "$pid" || true
  echo "$(cat "$out.first") $last $failed $devices $size $((after - before)) $(getconf CLK_TCK) $start $end" >"$out"
  rm -f "$out.first"' watch \
  "$build/tools/lorixlog-find" --watch=10 --json --metrics 127.0.0.1:9469
read -r first last failed up size ticks hz start end <"$out"
echo "metrics scraped every second for $seconds s, $devices devices ($up up, $size bytes a scrape):"
echo "  VmRSS $first kB after the first minute, $last kB at the end; $failed scrapes failed"
awk -v t="$ticks" -v hz="$hz" -v a="$start" -v b="$end" 'BEGIN {
  printf "  2000 fast scrapes: %.0f us of CPU each (at most), %.2f ms each end to end\n",
    t / hz / 2000 * 1e6, (b - a) / 2000 * 1e3 }'
