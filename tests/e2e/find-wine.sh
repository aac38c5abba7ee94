#!/usr/bin/env bash
# lorixlog-find.exe under Wine, inside tools/sandbox.sh --wine with its three built-in devices:
# the CSV keeps its own CR LF line ends (no CR CR LF from text-mode output), the report is UTF-8,
# and a German Windows UI language gives the German report.
#   find-wine.sh FIND_EXE
set -euo pipefail
find_exe=$1
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
require_sandbox find-wine --wine
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Three searches at once (each takes about four seconds): the data, the interfaces, German.
LC_ALL=C.UTF-8 wine "$find_exe" --csv >"$work/csv" 2>"$work/report" &
csv=$!
LC_ALL=C.UTF-8 wine "$find_exe" -v >"$work/verbose" 2>&1 &
verbose=$!
LC_ALL=de_DE.UTF-8 wine "$find_exe" >"$work/german" 2>&1 &
german=$!
wait "$csv" || fail "exit status $?"
wait "$verbose" || fail "exit status $? (-v)"
wait "$german" || fail "exit status $? (German)"
grep -q $'\r\r' "$work/csv" && fail "the CSV has CR CR LF line ends"
[ "$(grep -c $'\r$' "$work/csv")" -eq 4 ] || fail "the CSV has not a header and three rows with CR LF"
grep -q '^10.77.0.21,9959,,lab-north.example.lan,TVK,' "$work/csv" || fail "no row of lab-north"
grep -q 'Found lorixLOG LX-16 device' "$work/report" || fail "no report on standard error"
grep -q ',fnd0,10.77.0.1,true'$'\r''$' "$work/csv" || fail "no local interface and address: $(cat "$work/csv")"

grep -q "IPv4 interface 'fnd0': 10.77.0.1/24, broadcast 10.77.0.255." "$work/verbose" ||
  fail "the interface is not named: $(head -12 "$work/verbose")"

grep -q $'Suche lorix Ger\xc3\xa4te (bitte warten) ...' "$work/german" ||
  fail "no German report in UTF-8: $(head -3 "$work/german")"
echo "PASS"
