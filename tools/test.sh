#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite, then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer. The sandbox-network tests need root (or
# unprivileged user namespaces); they make their own network namespaces and never touch the
# machine's own network.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-debian.sh
for preset in default asan; do
  echo "== $preset: configure, build, test" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset"
done
