#!/usr/bin/env bash
# Installs the dependencies, builds, and runs lorixlog-finder against three simulated devices in
# a private sandbox network: no hardware needed, and nothing leaves the sandbox.
#
# With a display (X11 or Wayland) the desktop program opens: it searches, lists the devices, and
# opening one shows that device's page (fetched inside the sandbox, see tools/demo-opener.sh).
# Without a display the command-line finder runs instead.
# It installs only what the demo needs (setup-debian.sh --demo) and builds only the programs it
# runs (no tests) in build/demo.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)

display=
[ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] || display=1
tools/setup-debian.sh --demo
gui=OFF
programs=(lorixlog-find lorixlog-sim)
if [ -n "$display" ]; then
  gui=ON
  programs+=(lorixlog-finder)
fi
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DLORIXLOG_BENCHMARKS=OFF \
  -DLORIXLOG_GUI=$gui >/dev/null
cmake --build build/demo --parallel "$(nproc)" --target "${programs[@]}"
export LORIXLOG_SIM=$here/build/demo/tools/lorixlog-sim

if [ -n "$display" ]; then
  demo_bin=$(mktemp -d)
  trap 'rm -rf "$demo_bin"' EXIT
  ln -s "$here/tools/demo-opener.sh" "$demo_bin/xdg-open"
  tools/sandbox.sh --build build/demo env PATH="$demo_bin:$PATH" build/demo/app/lorixlog-finder
else
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running the command-line finder instead." >&2
  exec tools/sandbox.sh --build build/demo build/demo/tools/lorixlog-find "$@"
fi
