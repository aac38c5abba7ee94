#!/usr/bin/env bash
# lorixlog-finder where there is no display: one line on standard error that says so and points
# to lorixlog-find, status 2, nothing on standard output; in the user's language. Not Qt's abort.
# Must run inside the sandbox network (tools/sandbox.sh).
#   no-display.sh FINDER
set -euo pipefail
finder=$1
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
require_sandbox no-display
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

display=$((100 + RANDOM % 400))
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done

check() {  # check LABEL EXPECTED-LINE ENV...
  local label=$1 expected=$2
  shift 2
  fail_label=$label
  set +e
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$finder" >"$work/out" 2>"$work/err"
  local status=$?
  set -e
  fail_context() { echo "--- stderr:"; cat "$work/err"; }
  [ "$status" -eq 2 ] || fail "exit status $status, not 2"
  [ ! -s "$work/out" ] || fail "standard output is not empty"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "standard error is not one line"
  [ "$(cat "$work/err")" = "$expected" ] || fail "standard error: $(cat "$work/err")"
}

check unset "lorixlog-finder: cannot open a display (neither DISPLAY nor WAYLAND_DISPLAY is set); lorixlog-find searches from a terminal" \
  LANG=C.UTF-8
check unreachable "lorixlog-finder: cannot open a display (could not connect to display :$display); lorixlog-find searches from a terminal" \
  LANG=C.UTF-8 DISPLAY=":$display"
check german "lorixlog-finder: kann keine Anzeige öffnen (could not connect to display :$display); lorixlog-find sucht vom Terminal aus" \
  LANG=de_DE.UTF-8 LC_ALL= LANGUAGE= DISPLAY=":$display"
echo "PASS (no-display)"
