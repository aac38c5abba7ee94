#!/usr/bin/env bash
# Bash completion knows every option that a program's --help names:
#   check-completion.sh COMPLETION_FILE PROGRAM [PROGRAM_ARGS]...
set -euo pipefail
completion=$1
shift
help=$("$@" --help)
known=$(bash -c "source '$completion'; declare -f" )
missing=()
for option in $(grep -oE '(^|[ ,])--?[a-zA-Z][a-zA-Z-]*' <<<"$help" | tr -d ' ,' | sort -u); do
  grep -qE "(^|[ '])$option([ ']|$)" <<<"$known" || missing+=("$option")
done
[ ${#missing[@]} -eq 0 ] || { echo "FAIL: $completion does not know: ${missing[*]}" >&2; exit 1; }
echo "PASS: $completion knows every option of $(basename "$1")"
