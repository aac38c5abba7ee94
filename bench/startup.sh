#!/usr/bin/env bash
# A computer with many addresses (a server, a router, a test host): lorixlog-find starts on a
# sandbox whose interface carries N addresses more (all in 10.90.0.0/16, so that one directed
# broadcast serves them), and the time from its start to its first query (the report's first
# target line, with -v) is measured, several times.
# With --wine, lorixlog-find.exe of the Windows build runs under Wine instead.
#   bench/startup.sh [--build DIR] [--addresses N] [--runs K] [--wine]
#                    (default: build/default, or build/windows with --wine; 1000 addresses, 5 runs)
# Runs by hand, not in CI; nothing leaves the sandbox.
set -euo pipefail
cd "$(dirname "$0")/.."
build=
addresses=1000
runs=5
wine=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --addresses) addresses=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --wine) wine=(--wine); shift ;;
    *) echo "usage: $0 [--build DIR] [--addresses N] [--runs K] [--wine]" >&2; exit 2 ;;
  esac
done
if [ ${#wine[@]} -gt 0 ]; then
  build=$(cd "${build:-build/windows}" && pwd)
  finder=(wine "$build/tools/lorixlog-find.exe")
  export LORIXLOG_SIM=${LORIXLOG_SIM:-$PWD/build/default/tools/lorixlog-sim}
else
  build=$(cd "${build:-build/default}" && pwd)
  finder=("$build/tools/lorixlog-find")
fi
LORIXLOG_BENCH_ADDRESSES=$addresses LORIXLOG_BENCH_RUNS=$runs \
  tools/sandbox.sh "${wine[@]}" --build "$build" bash -c '
  set -euo pipefail
  for ((a = 2; a < LORIXLOG_BENCH_ADDRESSES + 2; a++)); do
    echo "address add 10.90.$((a / 256)).$((a % 256))/16 dev dev0"
  done | ip -batch -
  echo "local addresses: $(ip -4 -o addr show | wc -l)"
  [ -z "${WINEPREFIX:-}" ] || { wineboot --init >/dev/null 2>&1; wine cmd /c exit >/dev/null 2>&1; }
  python3 - "$@" <<"PYTHON"
import os, subprocess, sys, time
times = []
for _ in range(int(os.environ["LORIXLOG_BENCH_RUNS"])):
    start = time.monotonic()
    process = subprocess.Popen(sys.argv[1:] + ["-v"], stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    first = None
    for line in process.stdout:
        if first is None and b"IPv4 broadcast onto" in line:
            first = time.monotonic() - start
    process.wait()
    times.append(first)
print("to the first query: " + ", ".join("%.3f s" % t for t in times))
PYTHON' startup "${finder[@]}"
