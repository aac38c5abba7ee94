#!/usr/bin/env bash
# The pace of a sweep and what it costs: lorixlog-find sweeps a /16 (65534 hosts) behind the
# router of a routed sandbox, in which two simulated devices answer. Reports the queries a second
# of the sweep, the CPU time and the peak memory.
#   bench/sweep.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
tools/sandbox.sh --routed --build "$build" /usr/bin/time -f '%e %U %S %M' -o "$out" \
  "$build/tools/lorixlog-find" --csv --target 10.88.0.0/16 >/dev/null 2>&1 || true
read -r elapsed user system rss <"$out"
awk -v e="$elapsed" -v u="$user" -v s="$system" -v m="$rss" 'BEGIN {
  sweep = e - 3.9  # the quiet period after the last query
  printf "sweep of a /16: 65534 queries in %.1f s: %.0f queries/s\n", sweep, 65534 / sweep
  printf "CPU: %.2f s (user %.2f, system %.2f), %.1f us a query; peak RSS %.1f MiB\n",
         u + s, u, s, (u + s) * 1e6 / 65534, m / 1024 }'
