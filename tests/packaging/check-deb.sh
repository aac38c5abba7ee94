#!/usr/bin/env bash
# Checks the Debian packages as Debian would and installs them as a user would:
#   check-deb.sh FINDER.deb SIMULATOR.deb
# lintian without errors; AppStream, .desktop and manual pages valid; the simulator in a package
# of its own; then (as root) apt-get installs the finder, its programs and manual pages work, the
# simulator is not there until its own package is installed, and purge leaves nothing behind.
# The installation runs in a throwaway copy of the machine's root (throwaway-root.sh): the
# machine's own packages, a lorixlog-finder the user installed included, stay as they are.
set -euo pipefail
deb=$(realpath "$1")
sim_deb=$(realpath "$2")
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/../lib.sh"
installed() {  # the versions of our packages on this machine, one line each
  dpkg-query -W -f='${Package} ${Version} ${Status}\n' lorixlog-finder lorixlog-sim 2>/dev/null || true
}

if [ -z "${LORIXLOG_DEB_INSTALL:-}" ]; then
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for package in "$deb" "$sim_deb"; do
  lintian --fail-on error --tag-display-limit 0 "$package" || fail "lintian reports errors on $package"
done
[ "$(dpkg-deb -f "$deb" Package)" = lorixlog-finder ] || fail "the finder's package is not lorixlog-finder"
[ "$(dpkg-deb -f "$sim_deb" Package)" = lorixlog-sim ] || fail "the simulator's package is not lorixlog-sim"
dpkg-deb -c "$deb" | grep -q 'lorixlog-sim' && fail "the finder's package carries the simulator"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -x "$sim_deb" "$work/sim"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.lorixlog.finder.metainfo.xml" ||
  fail "the AppStream metadata does not validate"
desktop-file-validate "$work/root/usr/share/applications/lorixlog-finder.desktop" ||
  fail "the .desktop file does not validate"
for page in root/lorixlog-find sim/lorixlog-sim root/lorixlog-finder; do
  file=$work/${page%/*}/usr/share/man/man1/${page#*/}.1.gz
  [ -f "$file" ] || fail "no manual page ${page#*/}(1) in its package"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings on ${page#*/}(1): $warnings"
done
[ -x "$work/sim/usr/bin/lorixlog-sim" ] || fail "the simulator's package has no lorixlog-sim"
[ -f "$work/sim/usr/share/bash-completion/completions/lorixlog-sim" ] ||
  fail "the simulator's package has no bash completion"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the dependencies were not computed"

if [ "$(id -u)" -ne 0 ]; then
  echo "PASS (checks); the installation test needs root" >&2
  exit 0
fi
before=$(installed)
LORIXLOG_DEB_INSTALL=1 "$here/throwaway-root.sh" "$0" "$deb" "$sim_deb"
[ "$(installed)" = "$before" ] || fail "the machine's packages changed: '$before' -> '$(installed)'"
echo "PASS: $deb $sim_deb"
exit 0
fi

# In the throwaway root: from a root without our packages (a user's are purged in the copy
# only), install, use, purge.
if [ -n "$(installed)" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lorixlog-finder lorixlog-sim >/dev/null
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
/usr/bin/lorixlog-find --version | grep -qx "lorixlog-find $(dpkg-deb -f "$deb" Version)" ||
  fail "the installed lorixlog-find does not tell its version"
[ "$(man -w lorixlog-find)" = /usr/share/man/man1/lorixlog-find.1.gz ] || fail "man -w lorixlog-find"
for completion in lorixlog-find lorixlog-finder; do
  [ -f "/usr/share/bash-completion/completions/$completion" ] || fail "no bash completion for $completion"
done
[ ! -e /usr/bin/lorixlog-sim ] || fail "the finder's package installed the simulator"
# The watch's service, not enabled, whole as installed (its manual page included), its settings
# a conffile, the alerting rules beside the documentation.
unit=$(dpkg -L lorixlog-finder | grep '/systemd/system/lorixlog-watch.service$')
[ -n "$unit" ] || fail "no lorixlog-watch.service"
verify=$(systemd-analyze verify "$unit" 2>&1) || fail "systemd-analyze verify $unit: $verify"
[ -z "$verify" ] || fail "systemd-analyze verify $unit: $verify"
dpkg-query -W -f='${Conffiles}' lorixlog-finder | grep -q '/etc/default/lorixlog-watch' ||
  fail "/etc/default/lorixlog-watch is not a conffile"
promtool check rules /usr/share/doc/lorixlog-finder/lorixlog-alerts.yml >/dev/null ||
  fail "the installed alerting rules do not check"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$sim_deb" >/dev/null
/usr/bin/lorixlog-sim --help | grep -q 'Usage: lorixlog-sim' || fail "the installed lorixlog-sim"
[ "$(man -w lorixlog-sim)" = /usr/share/man/man1/lorixlog-sim.1.gz ] || fail "man -w lorixlog-sim"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lorixlog-finder lorixlog-sim >/dev/null
for package in lorixlog-finder lorixlog-sim; do
  dpkg -s "$package" >/dev/null 2>&1 && fail "$package is still installed"
done
for path in /usr/bin/lorixlog-find /usr/bin/lorixlog-finder /usr/bin/lorixlog-sim \
  /etc/default/lorixlog-watch "$unit" \
  /usr/share/doc/lorixlog-finder /usr/share/doc/lorixlog-sim /usr/share/man/man1/lorixlog-find.1.gz; do
  [ ! -e "$path" ] || fail "$path is left after purge"
done
