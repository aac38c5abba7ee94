#!/usr/bin/env bash
# Checks the Debian package as Debian would and installs it as a user would:
#   check-deb.sh PACKAGE.deb
# lintian without errors; AppStream, .desktop and manual pages valid; then (as root: it changes
# the system) apt-get installs the file, the installed programs and manual pages work, and purge
# leaves nothing behind.
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.lorixlog.finder.metainfo.xml" ||
  fail "the AppStream metadata does not validate"
desktop-file-validate "$work/root/usr/share/applications/lorixlog-finder.desktop" ||
  fail "the .desktop file does not validate"
for page in lorixlog-find lorixlog-sim lorixlog-finder; do
  file=$work/root/usr/share/man/man1/$page.1.gz
  [ -f "$file" ] || fail "no manual page $page(1)"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings on $page(1): $warnings"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "the dependencies were not computed"

if [ "$(id -u)" -ne 0 ]; then
  echo "PASS (checks); the installation test needs root" >&2
  exit 0
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
/usr/bin/lorixlog-find --version | grep -qx "lorixlog-find $(dpkg-deb -f "$deb" Version)" ||
  fail "the installed lorixlog-find does not tell its version"
[ "$(man -w lorixlog-find)" = /usr/share/man/man1/lorixlog-find.1.gz ] || fail "man -w lorixlog-find"
[ -f /usr/share/bash-completion/completions/lorixlog-find ] || fail "no bash completion"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq lorixlog-finder >/dev/null
dpkg -s lorixlog-finder >/dev/null 2>&1 && fail "the package is still installed"
for path in /usr/bin/lorixlog-find /usr/bin/lorixlog-finder /usr/share/doc/lorixlog-finder \
  /usr/share/man/man1/lorixlog-find.1.gz; do
  [ ! -e "$path" ] || fail "$path is left after purge"
done
echo "PASS: $deb"
