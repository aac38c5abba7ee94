#!/usr/bin/env bash
# The metrics endpoint of lorixlog-find --watch, as a monitoring system and a hostile network
# meet it. FIND may be lorixlog-find.exe (then under Wine: the sandbox made with --wine).
#
#   metrics-endpoint.sh FIND endpoint     the answers (200, HEAD, 404, 405), promtool's verdict,
#                                         a port in use and --metrics without --watch refused,
#                                         a slow client, a huge request, garbage and 100
#                                         connections at once
#   metrics-endpoint.sh FIND prometheus   Debian's prometheus scrapes it every second while the
#                                         simulator's second device goes off (the sandbox's
#                                         simulator options: the test's CMake entry), until
#                                         lorixlog_device_up of that serial is 0 and up is 1
# Must run inside tools/sandbox.sh: every socket stays in the sandbox's network.
set -euo pipefail
find_program=$1
mode=$2
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
require_sandbox metrics-endpoint
fail_label="metrics $mode"

work=$(mktemp -d)
cleanup() {
  [ -z "${prometheus_pid:-}" ] || kill "$prometheus_pid" 2>/dev/null || true
  [ -z "${find_pid:-}" ] || kill "$find_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail_context() { echo "--- lorixlog-find's standard error:"; cat "$work/err" 2>/dev/null; }

run=("$find_program")
if [[ "$find_program" == *.exe ]]; then
  require_sandbox metrics-endpoint --wine
  [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
  run=(wine "$find_program")
fi
port=9469
url="http://127.0.0.1:$port/metrics"

wait_for() {  # wait_for SECONDS COMMAND...
  local limit=$(($1 * 10)); shift
  for _ in $(seq "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

"${run[@]}" --watch=10 --json --metrics "127.0.0.1:$port" >"$work/events" 2>"$work/err" &
find_pid=$!
wait_for 30 grep -qF "metrics on http://127.0.0.1:$port/metrics" "$work/err" ||
  fail "the endpoint did not say that it listens"

if [ "$mode" = endpoint ]; then
  # Refused before anything is sent: the port in use, --metrics without --watch, no address.
  set +e
  "${run[@]}" --watch=10 --metrics "127.0.0.1:$port" >/dev/null 2>"$work/second"
  status=$?
  "${run[@]}" --metrics "127.0.0.1:$((port + 1))" >/dev/null 2>"$work/alone"
  alone=$?
  "${run[@]}" --watch=10 --metrics ":$port" >/dev/null 2>"$work/noaddress"
  noaddress=$?
  set -e
  [ "$status" -eq 2 ] && grep -qF "address already in use" "$work/second" ||
    fail "a port in use: status $status, $(cat "$work/second")"
  [ "$alone" -eq 2 ] && grep -qF "give --watch too" "$work/alone" ||
    fail "--metrics without --watch: status $alone, $(cat "$work/alone")"
  [ "$noaddress" -eq 2 ] && grep -qF "takes ADDRESS:PORT" "$work/noaddress" ||
    fail "--metrics without an address: status $noaddress"

  # The answers.
  curl -s -f -o "$work/metrics" -D "$work/head" "$url" || fail "GET /metrics failed"
  grep -qi '^content-type: text/plain; version=0.0.4' "$work/head" || fail "no exposition type"
  promtool check metrics <"$work/metrics" || fail "promtool refuses the metrics"
  [ "$(curl -s -o /dev/null -w '%{http_code} %{size_download}' -I "$url")" = "200 0" ] ||
    fail "HEAD is not answered without a body"
  [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/")" = 404 ] ||
    fail "/ is not 404"
  [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/../../etc/passwd")" = 404 ] ||
    fail "a path out of the tree is not 404"
  [ "$(curl -s -o /dev/null -w '%{http_code}' -X POST -d x=1 "$url")" = 405 ] ||
    fail "POST is not 405"

  # A slow client, a huge request, garbage, and 100 connections at once: the endpoint answers
  # the others meanwhile, and closes the slow one after its five seconds.
  python3 - "$port" <<'PY' || fail "the endpoint did not stand its clients"
import socket, sys, time, concurrent.futures
port = int(sys.argv[1])

def connect():
    s = socket.create_connection(("127.0.0.1", port), timeout=20)
    return s

def answer(s):
    data = b""
    while True:
        chunk = s.recv(65536)
        if not chunk:
            return data
        data += chunk

slow = connect()
slow.sendall(b"GET /metr")            # and nothing more
start = time.monotonic()
quick = connect()
quick.sendall(b"GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n")
assert answer(quick).startswith(b"HTTP/1.1 200 "), "no answer beside a slow client"
assert time.monotonic() - start < 2, "a slow client held up another"
slow.settimeout(10)
assert answer(slow) == b"", "the slow client got an answer"
waited = time.monotonic() - start
assert 4 <= waited <= 8, "the slow client was dropped after %.1f s" % waited

huge = connect()
try:
    huge.sendall(b"GET /metrics HTTP/1.1\r\n" + b"X-Filler: " + b"a" * 100000 + b"\r\n\r\n")
except OSError:
    pass                               # closed before all was sent: refused as well
try:
    reply = answer(huge)
except OSError:
    reply = b""
assert reply == b"" or reply.startswith(b"HTTP/1.1 431 "), reply[:60]

garbage = connect()
garbage.sendall(bytes(range(256)) + b"\n\n")
assert answer(garbage).startswith(b"HTTP/1.1 400 "), "garbage is not 400"

def get(_):
    s = connect()
    s.sendall(b"GET /metrics HTTP/1.0\r\n\r\n")
    return answer(s).split(b" ", 2)[1]

with concurrent.futures.ThreadPoolExecutor(max_workers=100) as pool:
    codes = list(pool.map(get, range(100)))
assert codes == [b"200"] * 100, codes
PY
  kill -0 "$find_pid" || fail "the watch ended"
  echo "PASS (metrics endpoint)"
  exit 0
fi

# prometheus: Debian's own, scraping every second.
cat >"$work/prometheus.yml" <<YML
global:
  scrape_interval: 1s
  scrape_timeout: 1s
scrape_configs:
  - job_name: lorixlog
    static_configs:
      - targets: ["127.0.0.1:$port"]
YML
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
  --web.listen-address=127.0.0.1:9090 >"$work/prometheus.log" 2>&1 &
prometheus_pid=$!
query() {  # query PROMQL: the value of the first series, or nothing
  curl -s -G --data-urlencode "query=$1" http://127.0.0.1:9090/api/v1/query |
    python3 -c 'import json,sys; r=json.load(sys.stdin)["data"]["result"]; print(r[0]["value"][1] if r else "")'
}
wait_for 60 sh -c "[ \"\$(curl -s -G --data-urlencode 'query=lorixlog_device_up{serial=\"A20988\"}' \
  http://127.0.0.1:9090/api/v1/query | grep -o '\"1\"]')\" ]" || fail "prometheus never saw A20988 up"
wait_for 90 sh -c "curl -s -G --data-urlencode 'query=lorixlog_device_up{serial=\"A20988\"}' \
  http://127.0.0.1:9090/api/v1/query | grep -q '\"0\"]'" ||
  fail "prometheus did not see A20988 go down: $(query 'lorixlog_device_up')"
[ "$(query 'up{job="lorixlog"}')" = 1 ] || fail "the scrape job is not up"
[ "$(query 'lorixlog_device_up{serial="A20715"}')" = 1 ] || fail "A20715 is not up"
grep -q '"event": "vanished".*"A20988"' "$work/events" || fail "the watch wrote no vanished event"
echo "prometheus: lorixlog_device_up = $(curl -s -G --data-urlencode 'query=lorixlog_device_up' \
  http://127.0.0.1:9090/api/v1/query)"
echo "PASS (metrics scraped by prometheus)"
