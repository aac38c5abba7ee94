#!/usr/bin/env bash
# The pace of a sweep and what it costs: lorixlog-find sweeps a prefix behind the router of a
# routed sandbox (the router holds the whole prefix, so it resolves every address of it, as a real
# router does), in which simulated devices answer. Reports the queries a second, the CPU time, the
# peak memory, the most neighbour entries the router held at once (all of them, and of those the
# addresses it was still resolving: INCOMPLETE entries, which the kernel cannot reclaim), and the
# kernel's "neighbor table overflow" messages before and after. A default Linux router holds at
# most 1024 entries in all namespaces of the machine, and other traffic needs room too: a sweep
# at the default pace keeps the whole table below three quarters of that.
#   bench/sweep.sh [--build DIR] [--rate N] [--prefix A.B.C.D/N]   (default: 10.88.0.0/16, the
#                                                                    finder's default pace)
# The kernel's neighbour table is shared by every namespace of the machine: a sweep faster than
# the default pace can overflow it and disturb the machine's own network for a moment. This
# benchmark counts the overflow messages; do not run it faster on a machine you share.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
rate=()
prefix=10.88.0.0/16
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --rate) rate=(--rate "$2"); shift 2 ;;
    --prefix) prefix=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--rate N] [--prefix A.B.C.D/N]" >&2; exit 2 ;;
  esac
done
overflows() { dmesg 2>/dev/null | grep -c 'neighbor table overflow' || true; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
before=$(overflows)
LORIXLOG_BENCH_OUT=$out tools/sandbox.sh --routed --build "$build" bash -c '
  out=$LORIXLOG_BENCH_OUT
  # The router'"'"'s neighbour entries towards the devices, all and those still being resolved,
  # sampled every 100 ms.
  nsenter -t "$LORIXLOG_ROUTER_PID" -n sh -c \
    "while :; do echo \$(ip -4 neigh show dev r1 | wc -l) \$(ip -4 neigh show dev r1 nud incomplete | wc -l); sleep 0.1; done" >"$out.neigh" &
  sampler=$!
  /usr/bin/time -f "%e %U %S %M" -o "$out" "$@" >"$out.csv" 2>"$out.err" || true
  kill "$sampler"
  awk "{ if (\$1 > a) a = \$1; if (\$2 > i) i = \$2 } END { print a + 0, i + 0 }" "$out.neigh" >>"$out"
  grep -c "^10\.88\." "$out.csv" >>"$out" || true
  rm -f "$out.neigh" "$out.csv" "$out.err"' sweep \
  "$build/tools/lorixlog-find" --csv "${rate[@]}" --target "$prefix"
after=$(overflows)
{ read -r elapsed user system rss; read -r neigh incomplete; read -r found; } <"$out"
hosts=$(python3 -c "import ipaddress,sys; n=ipaddress.ip_network(sys.argv[1], strict=False); print(max(n.num_addresses - 2, 1))" "$prefix")
awk -v e="$elapsed" -v u="$user" -v s="$system" -v m="$rss" -v n="$hosts" -v p="$prefix" \
    -v neigh="$neigh" -v incomplete="$incomplete" -v found="$found" -v b="$before" -v a="$after" 'BEGIN {
  sweep = e - 3.9  # the quiet period after the last query
  printf "sweep of %s: %d queries in %.1f s: %.0f queries/s; devices found: %d\n", p, n + 1, sweep, (n + 1) / sweep, found
  printf "CPU: %.2f s (user %.2f, system %.2f), %.1f us a query; peak RSS %.1f MiB\n",
         u + s, u, s, (u + s) * 1e6 / (n + 1), m / 1024
  printf "router: at most %d neighbour entries at once (%d of them being resolved); kernel log: %d overflow messages before, %d after\n",
         neigh, incomplete, b, a }'
