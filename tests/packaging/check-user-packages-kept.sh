#!/usr/bin/env bash
# check-user-packages-kept.sh FINDER.deb SIMULATOR.deb: a user who installed lorixlog-finder and
# lorixlog-sim before the tests ran still has them afterwards, in the same version. Run as root;
# the user's machine is itself a throwaway copy of this one, so nothing here changes either.
set -euo pipefail
deb=$(realpath "$1")
sim_deb=$(realpath "$2")
here=$(realpath "$(dirname "${BASH_SOURCE[0]}")")
. "$here/../lib.sh"
[ "$(id -u)" -eq 0 ] || { echo "check-user-packages-kept: needs root" >&2; exit 2; }
"$here/throwaway-root.sh" bash -c '
  set -euo pipefail
  . "$0/../lib.sh"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$1" "$2" >/dev/null
  mine=$(dpkg-query -W -f="\${Package} \${Version} \${Status}\n" lorixlog-finder lorixlog-sim)
  unset LORIXLOG_IN_THROWAWAY_NS
  "$0/check-deb.sh" "$1" "$2" >/dev/null
  after=$(dpkg-query -W -f="\${Package} \${Version} \${Status}\n" lorixlog-finder lorixlog-sim)
  [ "$after" = "$mine" ] || fail "the user'"'"'s packages changed: $mine -> $after"
  echo "kept: $(echo $after)"' "$here" "$deb" "$sim_deb"
echo "PASS: the packages the user installed are kept"
