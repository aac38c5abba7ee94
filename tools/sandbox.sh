#!/usr/bin/env bash
# Runs a command inside a private network namespace with simulated lorixlog devices.
#
#   tools/sandbox.sh [--build DIR] [--subnets N] [--sim-verbose] [--wine] [--routed | --plant N]
#                    [-- SIM OPTIONS ... --] COMMAND [ARG]...
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
# With --routed the devices stand behind a router, as loggers on another subnet do: a router
# namespace (10.76.0.254 towards the finder's rt0 at 10.76.0.1, 10.88.0.1/16 towards the devices,
# so that it resolves every address of the prefix; forwarding on, directed broadcasts not
# forwarded) and a devices namespace (10.88.0.20 to .29 and 10.88.3.200, where the simulator
# runs). The finder reaches 10.88.0.0/16 through the router only, so it finds those devices with
# --target alone. The command gets the router's PID as LORIXLOG_ROUTER_PID.
# With --plant N, N devices stand on the finder's own link as loggers on one switch do, in a
# namespace of their own (so that addresses are resolved between the two): the finder's pl0 has
# 10.60.0.1/16, the devices 10.60.0.2 upwards; all answer a broadcast in one burst.
# Environment: LORIXLOG_SIM and LORIXLOG_BUILD point at the simulator and the build directory.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${LORIXLOG_BUILD:-$here/../build/default}
subnets=1
sim_verbose=()
sim_args=()
wine=
routed=
plant=

usage="usage: $0 [--build DIR] [--subnets N] [--sim-verbose] [--wine] [--routed | --plant N] [-- SIM OPTIONS --] COMMAND..."
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help)
      # The usage, and what the comment at the top of this script says of the options.
      echo "$usage"
      sed -n '3,/^set -euo/{/^set -euo/d;s/^# \{0,1\}//;p}' "$0"
      exit 0 ;;
    --build) build=$2; shift 2 ;;
    --subnets) subnets=$2; shift 2 ;;
    --sim-verbose) sim_verbose=(--verbose); shift ;;
    --wine) wine=1; shift ;;
    --routed) routed=1; shift ;;
    --plant) plant=$2; shift 2 ;;
    --) shift
        if [ "${1:-}" = "--device" ] || [ "${1:-}" = "--port" ]; then
          while [ $# -gt 0 ] && [ "$1" != "--" ]; do sim_args+=("$1"); shift; done
          [ $# -gt 0 ] && shift
        fi
        break ;;
    -*) echo "sandbox: unknown option '$1'" >&2; echo "$usage" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
[ -z "$plant" ] || [[ "$plant" =~ ^[1-9][0-9]{0,3}$ && "$plant" -le 4000 ]] ||
  { echo "sandbox: --plant takes 1 to 4000 devices" >&2; exit 2; }
[ -z "$plant" ] || [ -z "$routed" ] || { echo "$usage" >&2; exit 2; }
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
  [ -z "$routed" ] || wine_flag+=(--routed)
  [ -z "$plant" ] || wine_flag+=(--plant "$plant")
  if [ -n "$wine" ]; then
    unshare+=(--mount --propagation private)
    wine_flag+=(--wine)
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

holders=()
if [ -n "$routed" ]; then
  unshare --net sleep 3600 & router=$!
  unshare --net sleep 3600 & devices=$!
  holders=("$router" "$devices")
  for _ in $(seq 100); do
    [ "$(readlink /proc/$router/ns/net)" != "$(readlink /proc/$$/ns/net)" ] &&
      [ "$(readlink /proc/$devices/ns/net)" != "$(readlink /proc/$$/ns/net)" ] && break
    sleep 0.02
  done
  ip link add rt0 type veth peer name r0
  ip link set r0 netns "$router"
  ip link add r1 type veth peer name dv0
  ip link set r1 netns "$router"
  ip link set dv0 netns "$devices"
  ip addr add 10.76.0.1/24 dev rt0
  ip link set rt0 up
  nsenter -t "$router" -n sh -c 'ip link set lo up; ip addr add 10.76.0.254/24 dev r0; ip link set r0 up;
    ip addr add 10.88.0.1/16 dev r1; ip link set r1 up; sysctl -qw net.ipv4.ip_forward=1'
  nsenter -t "$devices" -n sh -c 'ip link set lo up; for d in $(seq 20 29); do
    ip addr add 10.88.0.$d/16 dev dv0; done; ip addr add 10.88.3.200/16 dev dv0; ip link set dv0 up;
    ip route add default via 10.88.0.1'
  ip route add 10.88.0.0/16 via 10.76.0.254
  export LORIXLOG_ROUTER_PID=$router
  [ ${#sim_args[@]} -gt 0 ] || sim_args=(
    --device 10.88.0.20 --serial R20715 --name plant-a.example.lan --model lorixLOG --detail LX-8
    --device 10.88.0.21 --serial R20988 --name plant-b --model lorixLOG --detail LX-16)
  sim_args=(--netns "/proc/$devices/ns/net" "${sim_args[@]}")
fi

if [ -n "$plant" ]; then
  unshare --net sleep 3600 & devices=$!
  holders=("$devices")
  for _ in $(seq 100); do
    [ "$(readlink /proc/$devices/ns/net)" != "$(readlink /proc/$$/ns/net)" ] && break
    sleep 0.02
  done
  ip link add pl0 type veth peer name dv0
  ip link set dv0 netns "$devices"
  ip addr add 10.60.0.1/16 dev pl0
  ip link set pl0 up
  # One ip process for all addresses: a plant has a thousand.
  for ((a = 2; a < plant + 2; a++)); do
    echo "address add 10.60.$((a / 256)).$((a % 256))/16 dev dv0"
  done | nsenter -t "$devices" -n ip -batch -
  nsenter -t "$devices" -n sh -c 'ip link set lo up; ip link set dv0 up'
  if [ ${#sim_args[@]} -eq 0 ]; then
    for ((a = 2; a < plant + 2; a++)); do
      sim_args+=(--device "10.60.$((a / 256)).$((a % 256))" --no-http)
    done
  fi
  sim_args=(--netns "/proc/$devices/ns/net" --shuffle "${sim_args[@]}")
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
  [ ${#holders[@]} -eq 0 ] || kill "${holders[@]}" 2>/dev/null || true
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
