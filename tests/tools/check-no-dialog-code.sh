#!/usr/bin/env bash
# Checks that the command-line programs contain no dialog framework and no toolkit: none of the
# framework's classes among their symbols, and no Qt library among the libraries they need.
#   check-no-dialog-code.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
  name=$(basename "$program")
  framework=$(nm -C "$program" | grep -E ' (CWnd|CDialog|CDialogEx|CWinApp|CCmdTarget|CReportWindow|ui::Backend)::' || true)
  if [ -n "$framework" ]; then
    echo "$name contains dialog framework code:" >&2
    echo "$framework" | head -5 >&2
    status=1
  fi
  toolkit=$( { readelf -d "$program" | grep NEEDED; nm -C -u "$program"; } | grep -E 'libQt|Q[A-Z][a-zA-Z]*::' || true)
  if [ -n "$toolkit" ]; then
    echo "$name needs the toolkit:" >&2
    echo "$toolkit" | head -5 >&2
    status=1
  fi
  [ "$status" -ne 0 ] || echo "$name: no dialog framework, no toolkit"
done
exit "$status"
