#!/usr/bin/env bash
# check-systemd-unit.sh UNIT DEFAULTS FIND: the watch's service as systemd reads it, with its
# program and its settings file in a scratch folder: systemd-analyze verify has nothing to say,
# and systemd-analyze security rates its exposure (printed; it must stay at or below 2.5, "OK").
set -euo pipefail
unit=$1 defaults=$2 find_program=$3
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$defaults" "$work/lorixlog-watch"
# The manual page is not installed here (the installed package's unit is verified whole).
sed -e "s|/usr/bin/lorixlog-find|$find_program|" -e '/^Documentation=/d' \
    -e "s|/etc/default/lorixlog-watch|$work/lorixlog-watch|" "$unit" >"$work/lorixlog-watch.service"
grep -q "^ExecStart=$find_program " "$work/lorixlog-watch.service" || fail "no ExecStart of lorixlog-find"
# The settings as the service's ExecStart uses them: a watch with its metrics.
(set -a; . "$work/lorixlog-watch"; [ -n "$WATCH_SECONDS" ] && [ -n "$METRICS_ADDRESS" ]) ||
  fail "the settings file does not set WATCH_SECONDS and METRICS_ADDRESS"
systemd-analyze verify "$work/lorixlog-watch.service" >"$work/verify" 2>&1 ||
  fail "systemd-analyze verify: $(cat "$work/verify")"
[ ! -s "$work/verify" ] || fail "systemd-analyze verify has remarks: $(cat "$work/verify")"
systemd-analyze security --offline=true "$work/lorixlog-watch.service" >"$work/security" 2>&1 ||
  true
score=$(sed -n 's/.*Overall exposure level for .*: \([0-9.]*\).*/\1/p' "$work/security")
[ -n "$score" ] || fail "no exposure level: $(tail -5 "$work/security")"
echo "systemd-analyze security: exposure $score"
awk -v s="$score" 'BEGIN { exit !(s <= 2.5) }' || fail "exposure $score is above 2.5: $(cat "$work/security")"
echo "PASS: the service unit"
