#!/usr/bin/env bash
# A plant's worth of loggers answering at the same moment: lorixlog-find searches a link on which
# N simulated devices answer the broadcast in one burst (the simulator hands its replies to the
# system with sendmmsg, as fast as a switch delivers them), several times over, and reports per
# search the devices found of those expected, the replies the finder's receive buffer dropped
# (the namespace's UdpRcvbufErrors), the rounds of queries the finder sent, and the wall and CPU
# time. With --wine the Windows build's lorixlog-find.exe runs under Wine instead. With
# --desktop-buffer the finder gets the receive buffer of a desktop user (208 KiB: the usual
# net.core.rmem_max, and no right to pass it), by a preloaded shim (bench/shim/), however large
# this machine's cap is.
#
#   bench/burst.sh [--build DIR] [--devices N] [--searches K] [--wine] [--desktop-buffer]
#                  (default: build/default, 500 devices, 10 searches)
# Runs by hand, not in CI. Nothing leaves the sandbox: tools/sandbox.sh --plant makes the network.
set -euo pipefail
cd "$(dirname "$0")/.."
build=
devices=500
searches=10
wine=()
desktop=
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --devices) devices=$2; shift 2 ;;
    --searches) searches=$2; shift 2 ;;
    --wine) wine=(--wine); shift ;;
    --desktop-buffer) desktop=1; shift ;;
    *) echo "usage: $0 [--build DIR] [--devices N] [--searches K] [--wine] [--desktop-buffer]" >&2
       exit 2 ;;
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
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }
shim_dir=$(mktemp -d)
trap 'rm -rf "$shim_dir"' EXIT
if [ -n "$desktop" ]; then
  [ ${#wine[@]} -eq 0 ] || { echo "--desktop-buffer is for the Linux build" >&2; exit 2; }
  cc -shared -fPIC -O2 -o "$shim_dir/shim.so" bench/shim/desktop-receive-buffer.c -ldl
  finder=(env LD_PRELOAD="$shim_dir/shim.so" "${finder[@]}")
fi

LORIXLOG_BENCH_DEVICES=$devices LORIXLOG_BENCH_SEARCHES=$searches \
  tools/sandbox.sh "${wine[@]}" --build "$build" --plant "$devices" bash -c '
  set -euo pipefail
  [ -z "${WINEPREFIX:-}" ] || wineboot --init >/dev/null 2>&1
  drops() { nstat -az UdpRcvbufErrors | awk "/UdpRcvbufErrors/ { print \$2 }"; }
  out=$(mktemp -d)
  trap "rm -rf $out" EXIT
  all=0 total_wall=0 total_cpu=0 worst=$LORIXLOG_BENCH_DEVICES
  printf "%-7s %-14s %-13s %-7s %-8s %s\n" search found dropped rounds wall cpu
  for ((i = 1; i <= LORIXLOG_BENCH_SEARCHES; i++)); do
    before=$(drops)
    /usr/bin/time -f "%e %U %S" -o "$out/time" "$@" -v --csv >"$out/csv" 2>"$out/err" || true
    after=$(drops)
    read -r wall user sys <"$out/time"
    found=$(grep -c "^10\.60\." "$out/csv" || true)
    rounds=$((1 + $(grep -c "the query goes out again" "$out/err" || true)))
    warned=$(grep -c "^WARNING: .*replies were lost" "$out/err" || true)
    cpu=$(awk -v u="$user" -v s="$sys" "BEGIN { printf \"%.2f\", u + s }")
    printf "%-7s %-14s %-13s %-7s %-8s %s%s\n" "$i" "$found/$LORIXLOG_BENCH_DEVICES" \
      "$((after - before))" "$rounds" "${wall}s" "${cpu}s" "$([ "$warned" = 0 ] || echo "  (warned)")"
    [ "$found" -ne "$LORIXLOG_BENCH_DEVICES" ] || all=$((all + 1))
    [ "$found" -ge "$worst" ] || worst=$found
    total_wall=$(awk -v a="$total_wall" -v b="$wall" "BEGIN { print a + b }")
    total_cpu=$(awk -v a="$total_cpu" -v b="$cpu" "BEGIN { print a + b }")
  done
  awk -v n="$LORIXLOG_BENCH_SEARCHES" -v all="$all" -v worst="$worst" -v d="$LORIXLOG_BENCH_DEVICES" \
      -v w="$total_wall" -v c="$total_cpu" "BEGIN {
    printf \"all %d found in %d of %d searches (fewest: %d); mean wall %.2f s, CPU %.2f s\n\",
           d, all, n, worst, w / n, c / n }"' burst "${finder[@]}"
