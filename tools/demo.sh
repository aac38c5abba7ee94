#!/usr/bin/env bash
# Installs the dependencies, builds, and runs lorixlog-finder against three simulated devices in
# a private sandbox network: no hardware needed, and nothing leaves the sandbox.
#
# With a display (X11 or Wayland) the desktop program opens: it searches, lists the devices, and
# opening one shows that device's page (fetched inside the sandbox, see tools/demo-opener.sh).
# Without a display the command-line finder runs instead.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)

tools/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  demo_bin=$(mktemp -d)
  trap 'rm -rf "$demo_bin"' EXIT
  ln -s "$here/tools/demo-opener.sh" "$demo_bin/xdg-open"
  tools/sandbox.sh env PATH="$demo_bin:$PATH" build/default/app/lorixlog-finder
else
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): running the command-line finder instead." >&2
  exec tools/sandbox.sh build/default/tools/lorixlog-find "$@"
fi
