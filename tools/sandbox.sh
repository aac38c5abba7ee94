#!/usr/bin/env bash
# Runs a command inside a private network namespace with simulated lorixlog devices.
#
#   tools/sandbox.sh [--build DIR] [--subnets N] [--sim-verbose] [--wine] [-- SIM OPTIONS ... --] COMMAND [ARG]...
#
# The namespace is made here (as root with unshare -n, else rootless with unshare -Urn) and holds
# only loopback and a veth pair per subnet: the finder's end fnd<i> with 10.77+i.0.1/24 and the
# devices' end dev<i>. No default route, nothing reaches the computer's own network. Without
# simulator options three built-in devices answer on 10.77.0.20-22. Every subnet i gets the
# device addresses 10.77+i.0.20-29, so simulator options may name any of them.
# With --wine the command may run Windows programs under Wine: Wine's sockets belong to the
# wineserver process, so the sandbox also gets a private mount namespace with a private tmpfs over
# /tmp/.wine-<uid>, where a fresh wineserver starts inside the network namespace (never one of the
# computer's own); it is stopped at the end. The limited broadcast gets a route (Wine, like Windows,
# does not send it without one), and WINEPREFIX defaults to a prefix in the build directory.
# Environment: LORIXLOG_SIM and LORIXLOG_BUILD point at the simulator and the build directory.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${LORIXLOG_BUILD:-$here/../build/default}
subnets=1
sim_verbose=()
sim_args=()
wine=

while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2; shift 2 ;;
    --subnets) subnets=$2; shift 2 ;;
    --sim-verbose) sim_verbose=(--verbose); shift ;;
    --wine) wine=1; shift ;;
    --) shift
        if [ "${1:-}" = "--device" ] || [ "${1:-}" = "--port" ]; then
          while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
          [ $# -gt 0 ] && shift
        fi
        break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--build DIR] [--subnets N] [--wine] [-- SIM OPTIONS --] COMMAND..." >&2; exit 2; }
[ ! -d "$build" ] || build=$(cd "$build" && pwd)

if [ -z "${LORIXLOG_IN_SANDBOX:-}" ]; then
  export LORIXLOG_IN_SANDBOX=1 LORIXLOG_BUILD="$build"
  sim_section=()
  [ ${#sim_args[@]} -gt 0 ] && sim_section=(-- "${sim_args[@]}" --)
  unshare=(unshare --net)
  [ "$(id -u)" -eq 0 ] || unshare=(unshare --user --map-root-user --net)
  verbose_flag=()
  [ ${#sim_verbose[@]} -gt 0 ] && verbose_flag=(--sim-verbose)
  wine_flag=()
  if [ -n "$wine" ]; then
    unshare+=(--mount --propagation private)
    wine_flag=(--wine)
  fi
  exec "${unshare[@]}" -- "$0" --build "$build" --subnets "$subnets" "${verbose_flag[@]}" \
    "${wine_flag[@]}" "${sim_section[@]}" "$@"
fi

# Inside the new namespace: refuse to go on unless it is fresh (only a loopback interface).
links=$(ip -o link show | awk -F': ' '{print $2}' | sed 's/@.*//')
if [ "$links" != "lo" ]; then
  echo "sandbox: not in a fresh network namespace (interfaces: $links); refusing to run" >&2
  exit 3
fi

ip link set lo up
for ((i = 0; i < subnets; i++)); do
  net="10.$((77 + i)).0"
  ip link add "fnd$i" type veth peer name "dev$i"
  ip addr add "$net.1/24" dev "fnd$i"
  for d in $(seq 20 29); do ip addr add "$net.$d/24" dev "dev$i"; done
  ip link set "fnd$i" up
  ip link set "dev$i" up
done

if [ -n "$wine" ]; then
  # A wineserver of our own, inside this network namespace: its socket directory is private.
  wine_dir="/tmp/.wine-$(id -u)"
  mkdir -p "$wine_dir"
  mount -t tmpfs -o mode=0700 tmpfs "$wine_dir"
  [ -z "$(ls -A "$wine_dir")" ] || { echo "sandbox: $wine_dir is not empty" >&2; exit 3; }
  ip route add broadcast 255.255.255.255 dev fnd0
  export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
  export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
fi

if [ ${#sim_args[@]} -eq 0 ]; then
  export LORIXLOG_SANDBOX_HOSTS="A20715=10.77.0.20,lab-north=10.77.0.21,lab-north.example.lan=10.77.0.21,tank-farm=10.77.0.22"
  sim_args=(
    --device 10.77.0.20 --serial A20715 --name A20715 --model lorixLOG --detail LX-8 --firmware 3.1.4
    --device 10.77.0.21 --serial A20988 --name lab-north.example.lan --model lorixLOG --detail LX-16 --firmware 3.2.0
    --device 10.77.0.22 --serial B10042 --name tank-farm --model lorixMINI --detail M-2 --firmware 2.9.1
  )
fi

sim=${LORIXLOG_SIM:-$build/tools/lorixlog-sim}
ready=$(mktemp -u "${TMPDIR:-/tmp}/lorixlog-sim-ready.XXXXXX")
"$sim" "${sim_verbose[@]}" --ready-file "$ready" --max-seconds 3600 "${sim_args[@]}" &
sim_pid=$!
stop() {
  [ -z "$wine" ] || wineserver -k 2>/dev/null || true
  kill "$sim_pid" 2>/dev/null
  wait "$sim_pid" 2>/dev/null
  rm -f "$ready"
}
trap stop EXIT
for _ in $(seq 100); do
  [ -e "$ready" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { echo "sandbox: the simulator did not start" >&2; exit 3; }
  sleep 0.05
done
[ -e "$ready" ] || { echo "sandbox: the simulator did not get ready" >&2; exit 3; }

set +e
"$@"
status=$?
set -e
exit $status
