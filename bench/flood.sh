#!/usr/bin/env bash
# Floods lorixlog-find with replies in the sandbox network and prints how fast it handles them,
# beside the least a program can do with the same flood: a bare loop of one recvfrom a datagram
# (bench/shim/bare-receive.c) as the yardstick.
#
#   bench/flood.sh [REPLIES]      (default 200000; run by hand, not by CI)
#
# One simulated device answers every query it receives REPLIES more times, as fast as it can, with
# serial numbers of its own (so that the table takes four of them from that address and every
# further reply is dropped as one more device of an address that has its share). The counters of
# the namespace's UDP stack tell how many datagrams reached a socket and how many were dropped
# because the receive buffer was full.
set -euo pipefail
cd "$(dirname "$0")/.."
replies=${1:-200000}
build=${LORIXLOG_BUILD:-build/default}
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/bare-receive" bench/shim/bare-receive.c
cat >"$work/inner" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
udp() { awk '/^Udp:/ { if (!h) { for (i = 1; i <= NF; i++) k[i] = $i; h = 1 } else { for (i = 1; i <= NF; i++) if (k[i] == "'"$1"'") print $i } }' /proc/net/snmp; }
measure() {  # NAME COMMAND...
  local name=$1; shift
  local in0 drop0 in1 drop1
  in0=$(udp InDatagrams); drop0=$(udp RcvbufErrors)
  /usr/bin/time -f '%e %U %S %M' -o "$LORIXLOG_WORK/time" "$@" >/dev/null 2>&1 || true
  in1=$(udp InDatagrams); drop1=$(udp RcvbufErrors)
  read -r wall user sys rss <"$LORIXLOG_WORK/time"
  awk -v name="$name" -v n="$((in1 - in0))" -v d="$((drop1 - drop0))" -v u="$user" -v s="$sys" \
      -v m="$rss" -v w="$wall" 'BEGIN {
    b = w - 3.9; if (b < 0.01) b = 0.01
    printf "%-26s %9d datagrams (%6d dropped), busy %.2f s, %8.0f a second, %.2f us CPU each, peak %d KiB\n",
           name, n, d, b, n / b, (u + s) * 1e6 / (n > 0 ? n : 1), m }'
}
measure "bare recvfrom loop" "$LORIXLOG_WORK/bare-receive" 10.77.0.255
sleep 1
measure "lorixlog-find" "$1"
INNER
chmod +x "$work/inner"
LORIXLOG_WORK=$work tools/sandbox.sh --build "$build" -- --device 10.77.0.20 --flood "$replies" \
  --vary --no-http -- "$work/inner" "$build/tools/lorixlog-find"
