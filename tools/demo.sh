#!/usr/bin/env bash
# Installs the dependencies, builds, and runs the finder against three simulated devices in a
# private sandbox network (no hardware needed, nothing leaves the sandbox).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default

exec tools/sandbox.sh build/default/tools/lorixlog-find "$@"
