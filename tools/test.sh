#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite, then the same suite built with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build's tests under Wine, the
# packages (installed and removed), each fuzz target for a short fixed time, and the build that
# packagers and users run without the presets (with Debian's own flags).
# The sandbox-network tests need root (or unprivileged user namespaces); they make their own
# network namespaces and never touch the machine's own network. As root, or in CI, a skipped test
# is a failure: there every test can and must run.
# The machine has few cores: stages that mostly wait (tests, packages) run beside stages that
# compute (builds), except the Wine tests, which run alone; the time of each stage is written at
# the end.
set -euo pipefail
cd "$(dirname "$0")/.."

strict=
if [ "$(id -u)" -eq 0 ] || [ -n "${CI:-}" ]; then
  strict=1
fi
logs=$(mktemp -d)
# The machine's packages as the tests found them: what the setup installs is purged again at the
# end (LORIXLOG_KEEP_PACKAGES=1 keeps it, for the next run), and nothing else is touched.
dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' | awk '$NF == "installed" { print $1 }' |
  sort >"$logs/packages-before"
restore_packages() {
  [ -z "${LORIXLOG_KEEP_PACKAGES:-}" ] || return 0
  dpkg-query -W -f='${Package}:${Architecture} ${Status}\n' | awk '$NF == "installed" { print $1 }' |
    sort >"$logs/packages-after"
  local added
  added=$(comm -13 "$logs/packages-before" "$logs/packages-after")
  [ -n "$added" ] || return 0
  local as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  # Only what the setup added goes: apt must not want to remove anything else for it.
  local removed
  removed=$(apt-get -s purge $added 2>/dev/null | awk '/^Purg / { print $2 }' | sort)
  if [ -n "$(comm -13 <(echo "$added" | sed 's/:.*//' | sort) <(echo "$removed" | sed 's/:.*//'))" ]; then
    echo "== the packages the setup installed are kept: removing them would remove others" >&2
    return 0
  fi
  echo "== purging the $(echo "$added" | wc -l) packages the setup installed" >&2
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -qq $added >/dev/null || true
}
trap 'restore_packages; rm -rf "$logs"' EXIT
timings=()
stage_start=$SECONDS

# finished NAME: the time since the last stage ended, for the summary.
finished() {
  timings+=("$(printf '%-52s %4d s' "$1" $((SECONDS - stage_start)))")
  stage_start=$SECONDS
}

# in_background NAME COMMAND...: runs the command with its output in a log of its own.
in_background() {
  local name=$1; shift
  ("$@" >"$logs/$name.log" 2>&1; echo $? >"$logs/$name.status") &
}
# await NAME: waits for a background command; shows its log and fails when it failed.
await() {
  while [ ! -f "$logs/$1.status" ]; do sleep 1; done
  wait
  if [ "$(cat "$logs/$1.status")" != 0 ]; then
    echo "== $1 failed:" >&2
    tail -50 "$logs/$1.log" >&2
    exit 1
  fi
}
# run_tests NAME COMMAND...: runs a test command with its log kept; it must pass, and no test may
# be skipped where every test must run.
run_tests() {
  local name=$1 log="$logs/$1-tests.log"
  shift
  "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  [ "$status" -eq 0 ] || exit "$status"
  if [ -n "$strict" ] && grep -q '(Skipped)' "$log"; then
    echo "== $name: tests were skipped where every test must run:" >&2
    grep '(Skipped)' "$log" >&2
    exit 1
  fi
}
build() {  # build PRESET
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1"
}

tools/setup-debian.sh
finished "setup: the packages needed"
# The compiles go through ccache, which keeps what it compiled between runs on this machine
# (the paths below the checkout do not matter, so another clone hits the same cache).
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1

# Every source as .clang-format lays it out.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
finished "format: every source as .clang-format says"

echo "== default: configure, build" >&2
build default
finished "default: build"

echo "== default: tests (the ASan build beside them)" >&2
in_background asan-build build asan
run_tests default env QT_QPA_PLATFORM=offscreen ctest --preset default
finished "default: tests"
await asan-build
finished "asan: build (beside the default tests)"

echo "== asan: tests (the Windows cross-build beside them)" >&2
in_background windows-build build windows
run_tests asan env QT_QPA_PLATFORM=offscreen ctest --preset asan
finished "asan: tests"
await windows-build
finished "windows: cross-build (beside the ASan tests)"

# The Windows build's tests under Wine: the toolkit-free unit tests, the dialogs and the desktop
# program's end-to-end scenarios, all inside one sandbox with a wineserver of its own. Alone: Wine
# is slow to start its processes on a busy machine.
echo "== windows: tests under Wine" >&2
run_tests windows env LORIXLOG_SIM="$PWD/build/default/tools/lorixlog-sim" \
  tools/sandbox.sh --wine --build build/windows \
  bash -c 'wineboot --init >/dev/null 2>&1 && xvfb-run -a ctest --preset windows'
finished "windows: tests under Wine"

# The Windows packages: the zip and the installer, installed over an older version, started from
# the Start menu and removed again under Wine. Beside it, the fuzz targets are built and each runs
# for a short fixed time from its seed corpus.
echo "== packages: the Windows zip and installer (the fuzz targets beside them)" >&2
in_background fuzz bash -c 'cmake --preset fuzz >/dev/null && cmake --build --preset fuzz &&
  ctest --preset fuzz'
cpack --preset windows >/dev/null
grep -q LorixlogFirewallAdd build/packages/_CPack_Packages/win64/NSIS/project.nsi ||
  { echo "== the installer adds no firewall rules" >&2; exit 1; }
rm -rf build/packages/older
cpack --preset windows -G NSIS -D CPACK_PACKAGE_VERSION=2.0.0 \
  -D CPACK_PACKAGE_FILE_NAME=lorixlog-finder-2.0.0-win64 -B "$PWD/build/packages/older" >/dev/null
LORIXLOG_SIM="$PWD/build/default/tools/lorixlog-sim" tools/sandbox.sh --wine --build build/windows \
  xvfb-run -a bash -c 'tests/packaging/check-windows-installer.sh "$@" &&
    tests/packaging/installer-pages.sh "$1" en && tests/packaging/installer-pages.sh "$1" de' \
  pages build/packages/lorixlog-finder-*-win64.exe build/packages/lorixlog-finder-*-win64.zip \
  build/packages/older/lorixlog-finder-2.0.0-win64.exe
finished "packages: Windows zip and installer under Wine"
await fuzz
finished "fuzz: built, each target run (beside the installer)"

# The Debian packages: lintian, AppStream, .desktop and manual pages, then (as root) installed,
# used and purged on this machine. Beside them, the programs as a packager or user builds them:
# no presets, no -Werror, Debian's own compiler flags (hardening, -O2).
echo "== packages: the .deb files (a build with Debian's flags beside them)" >&2
in_background debian-flags bash -c '
  rm -rf build/debian-flags && eval "$(dpkg-buildflags --export=sh)" &&
  cmake -S . -B build/debian-flags -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
    -DLORIXLOG_BENCHMARKS=OFF -DLORIXLOG_CCACHE=OFF >/dev/null &&
  cmake --build build/debian-flags -j2'
rm -f build/packages/*.deb
cpack --preset deb >/dev/null
tests/packaging/check-deb.sh build/packages/lorixlog-finder_*_amd64.deb \
  build/packages/lorixlog-sim_*_amd64.deb
tests/packaging/check-readme-facts.sh README.md build/packages/lorixlog-finder_*_amd64.deb \
  build/packages/lorixlog-sim_*_amd64.deb
if [ "$(id -u)" -eq 0 ]; then
  tests/packaging/check-user-packages-kept.sh build/packages/lorixlog-finder_*_amd64.deb \
    build/packages/lorixlog-sim_*_amd64.deb
fi
finished "packages: .deb, checked, installed, purged"
await debian-flags
finished "Debian's flags: the programs built (beside the .deb)"

echo "== the stages:" >&2
printf '%s\n' "${timings[@]}" >&2
echo "== all stages passed" >&2
