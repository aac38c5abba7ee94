#!/usr/bin/env bash
# check-readme-facts.sh README FINDER.deb SIMULATOR.deb: what the README states that the build
# can check: the programs each package installs, and the device table's record limit.
set -euo pipefail
readme=$1 deb=$2 sim_deb=$3
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
root=$(dirname "$(realpath "$readme")")
text=$(tr '\n' ' ' <"$readme" | tr -s ' ')

programs() {  # the programs a package installs, sorted, one a line
  dpkg-deb -c "$1" | awk '{ print $NF }' | sed -n 's|^\./usr/bin/\(..*\)|\1|p' | sort
}
stated() {  # the programs the README says PACKAGE installs
  echo "$text" | grep -o "\`$1_<version>_amd64.deb\` installs the programs\? [^,.;]*" |
    grep -o '`lorixlog-[a-z]*`' | tr -d '`' | sort
}
[ "$(stated lorixlog-finder)" = "$(programs "$deb")" ] ||
  fail "README: the finder's package installs '$(stated lorixlog-finder | xargs)', the build: '$(programs "$deb" | xargs)'"
[ "$(stated lorixlog-sim)" = "$(programs "$sim_deb")" ] ||
  fail "README: the simulator's package installs '$(stated lorixlog-sim | xargs)', the build: '$(programs "$sim_deb" | xargs)'"

limit=$(sed -n 's/^constexpr int kMaxDevices = \([0-9]*\);.*/\1/p' "$root/discovery/DeviceTable.h")
[ -n "$limit" ] || fail "no kMaxDevices in discovery/DeviceTable.h"
for said in $(echo "$text" | grep -o 'at most [0-9,]* records\|holds [0-9,]* devices' | grep -o '[0-9,]*[0-9]' | tr -d ,); do
  [ "$said" = "$limit" ] || fail "README: a table of $said records; the build holds $limit"
done
echo "$text" | grep -q "at most $limit records" || fail "README does not state the record limit"
echo "PASS: the README's facts (packages: $(programs "$deb" | xargs) / $(programs "$sim_deb" | xargs); $limit records)"
