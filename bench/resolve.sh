#!/usr/bin/env bash
# A watch of names that a name server never answers: lorixlog-find --watch=10 with N names as
# targets, in a sandbox whose resolver asks a server on the link that does not exist (so every
# name waits for the resolver's time-out, as with a name server that is down). Samples the
# finder's threads and memory (RSS) every round: they must stay flat, however many rounds pass.
#   bench/resolve.sh [--build DIR] [--names N] [--seconds S]   (default: build/default, 1000, 120)
# Runs by hand, not in CI; nothing leaves the sandbox.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
names=1000
seconds=120
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --names) names=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--names N] [--seconds S]" >&2; exit 2 ;;
  esac
done
build=$(cd "$build" && pwd)
list=$(mktemp)
trap 'rm -f "$list"' EXIT
for ((i = 1; i <= names; i++)); do echo "logger$i.unresolvable.example"; done >"$list"

LORIXLOG_BENCH_LIST=$list LORIXLOG_BENCH_SECONDS=$seconds \
  tools/sandbox.sh --build "$build" unshare --mount --propagation private bash -c '
  set -euo pipefail
  # A name server on the link that nobody is: every question waits for its time-out.
  resolv=$(mktemp)
  echo "nameserver 10.77.0.99" >"$resolv"
  mount --bind "$resolv" /etc/resolv.conf
  "$1" --watch=10 --targets-from "$LORIXLOG_BENCH_LIST" >/dev/null 2>&1 &
  finder=$!
  start=$SECONDS
  printf "%-8s %-8s %s\n" seconds threads "RSS (KiB)"
  while [ $((SECONDS - start)) -lt "$LORIXLOG_BENCH_SECONDS" ]; do
    sleep 10
    printf "%-8s %-8s %s\n" $((SECONDS - start)) \
      "$(awk "/^Threads:/ { print \$2 }" /proc/$finder/status)" \
      "$(awk "/^VmRSS:/ { print \$2 }" /proc/$finder/status)"
  done
  kill -TERM "$finder"
  wait "$finder" || true
  rm -f "$resolv"' resolve "$build/tools/lorixlog-find"
