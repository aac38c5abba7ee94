#!/usr/bin/env bash
# promtool-corpus.sh FUZZ_SEARCH PROMTOOL CORPUS: runs the search fuzz target once over each
# input of the corpus, which writes the metrics it made of it, and has promtool check each.
set -euo pipefail
target=$1 promtool=$2 corpus=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
LORIXLOG_EXPOSITION_DIR=$out "$target" "$corpus"/* >/dev/null 2>&1
count=0
for f in "$out"/exposition-*.txt; do
  [ -e "$f" ] || { echo "no metrics were written" >&2; exit 1; }
  "$promtool" check metrics <"$f" || { echo "promtool refuses $f:" >&2; cat "$f" >&2; exit 1; }
  count=$((count + 1))
done
grep -q 'lorixlog_device_up{' "$out"/exposition-*.txt || { echo "no device in any metrics" >&2; exit 1; }
echo "promtool accepts the metrics of all $count inputs"
