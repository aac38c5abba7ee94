#!/usr/bin/env bash
# Floods lorixlog-find with replies in the sandbox network and prints how fast it handles them.
#
#   bench/flood.sh [REPLIES]      (default 200000; run by hand, not by CI)
#
# One simulated device answers every query it receives REPLIES more times, as fast as it can, with
# serial numbers of its own (so that the table fills up and every further reply is compared with
# 40 records). The
# counters of the namespace's UDP stack tell how many datagrams reached a socket and how many were
# dropped because the finder's receive buffer was full.
set -euo pipefail
cd "$(dirname "$0")/.."
replies=${1:-200000}
build=${LORIXLOG_BUILD:-build/default}

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
udp() { awk '/^Udp:/ { if (!h) { for (i = 1; i <= NF; i++) k[i] = $i; h = 1 } else { for (i = 1; i <= NF; i++) if (k[i] == "'"$1"'") print $i } }' /proc/net/snmp; }
in0=$(udp InDatagrams); drop0=$(udp RcvbufErrors)
/usr/bin/time -f '%e %U %S %M' -o /tmp/lorixlog-flood.time "$1" >/dev/null 2>&1 || true
in1=$(udp InDatagrams); drop1=$(udp RcvbufErrors)
read -r wall user sys rss </tmp/lorixlog-flood.time
handled=$((in1 - in0))
busy=$(awk -v w="$wall" 'BEGIN { b = w - 3.9; if (b < 0.01) b = 0.01; print b }')
awk -v n="$handled" -v d="$((drop1 - drop0))" -v b="$busy" -v u="$user" -v s="$sys" -v m="$rss" -v w="$wall" 'BEGIN {
  printf "datagrams delivered: %d (dropped for a full receive buffer: %d)\n", n, d
  printf "wall time: %.2f s, of which busy (less the 3.9 s quiet period): %.2f s\n", w, b
  printf "datagrams per second: %.0f\n", n / b
  printf "CPU time per datagram: %.2f us\n", (u + s) * 1e6 / (n > 0 ? n : 1)
  printf "peak memory of lorixlog-find: %d KiB\n", m
}'
INNER
chmod +x "$inner"
command -v /usr/bin/time >/dev/null || { echo "needs /usr/bin/time (Debian package 'time')" >&2; exit 2; }
tools/sandbox.sh --build "$build" -- --device 10.77.0.20 --flood "$replies" --vary --no-http -- \
  "$inner" "$build/tools/lorixlog-find"
