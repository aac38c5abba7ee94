#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite, then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build's tests under Wine, then
# each fuzz target for a short fixed time.
# The sandbox-network tests need root (or unprivileged user namespaces); they make their own
# network namespaces and never touch the machine's own network. As root, or in CI, a skipped test
# is a failure: there every test can and must run.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-debian.sh

strict=
if [ "$(id -u)" -eq 0 ] || [ -n "${CI:-}" ]; then
  strict=1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT

for preset in default asan; do
  echo "== $preset: configure, build, test" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  QT_QPA_PLATFORM=offscreen ctest --preset "$preset" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  [ "$status" -eq 0 ] || exit "$status"
  if [ -n "$strict" ] && grep -q '(Skipped)' "$log"; then
    echo "== $preset: tests were skipped where every test must run:" >&2
    grep '(Skipped)' "$log" >&2
    exit 1
  fi
done

# The Debian package: lintian, AppStream, .desktop and manual pages, then (as root) installed,
# used and purged on this machine.
echo "== packages: the .deb" >&2
rm -rf build/packages
cpack --preset deb >/dev/null
tests/packaging/check-deb.sh build/packages/lorixlog-finder_*_amd64.deb

# The Windows build (MinGW-w64) and its tests under Wine: the toolkit-free unit tests and the
# desktop program's end-to-end scenarios, all inside one sandbox with a wineserver of its own.
echo "== windows: cross-build, tests under Wine" >&2
cmake --preset windows >/dev/null
cmake --build --preset windows
LORIXLOG_SIM="$PWD/build/default/tools/lorixlog-sim" tools/sandbox.sh --wine --build build/windows \
  bash -c 'wineboot --init >/dev/null 2>&1 && xvfb-run -a ctest --preset windows -j2' 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] || exit "$status"
if [ -n "$strict" ] && grep -q '(Skipped)' "$log"; then
  echo "== windows: tests were skipped where every test must run" >&2
  exit 1
fi

# The Windows packages: the zip and the installer, installed and removed again under Wine.
echo "== packages: the Windows zip and installer" >&2
cpack --preset windows >/dev/null
LORIXLOG_SIM="$PWD/build/default/tools/lorixlog-sim" tools/sandbox.sh --wine --build build/windows \
  tests/packaging/check-windows-installer.sh build/packages/lorixlog-finder-*-win64.exe \
  build/packages/lorixlog-finder-*-win64.zip

# Each fuzz target for a short fixed time from its seed corpus (both at once on two cores).
echo "== fuzz: configure, build, run each target" >&2
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz -j2
