#!/usr/bin/env bash
# Installs what building, testing and running lorixlog-finder needs on Debian 12.
#   setup-debian.sh          everything the tests need (tools/test.sh)
#   setup-debian.sh --demo   only what the demo needs (tools/demo.sh): the compiler, CMake, the
#                            sandbox's tools, and Qt 6 when there is a display to show it on
# Runs apt-get as root, or through sudo for other users.
set -euo pipefail

if [ "${1:-}" = --demo ]; then
  packages=(g++ make cmake pkg-config iproute2 util-linux curl)
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    packages+=(qt6-base-dev libgl-dev)
    [ -z "${WAYLAND_DISPLAY:-}" ] || packages+=(qt6-wayland)
  fi
else
packages=(
  build-essential cmake pkg-config clang-format-14
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-wayland libgl-dev
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  iproute2 util-linux procps curl python3 time
  xvfb xauth xdotool imagemagick fonts-dejavu-core desktop-file-utils
  nsis lintian appstream man-db dpkg-dev file unzip
  g++-mingw-w64-x86-64 wine wine64 fonts-wine
  ccache prometheus systemd
)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}" >&2
# No service starts while the packages go in (prometheus would listen on this machine): unless
# the machine has a policy of its own, one that refuses every start, for the time of the install.
policy=/usr/sbin/policy-rc.d
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | "${as_root[@]}" tee "$policy" >/dev/null
  "${as_root[@]}" chmod 755 "$policy"
  trap '"${as_root[@]}" rm -f "$policy"' EXIT
fi
"${as_root[@]}" apt-get update -qq
# Nothing the machine has is upgraded on the way.
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
  --no-upgrade "${missing[@]}" >/dev/null
