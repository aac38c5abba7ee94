#!/usr/bin/env bash
# Installs the Windows package under Wine as a user would, silently, and removes it again:
#   check-windows-installer.sh SETUP.exe ZIP
# Runs inside tools/sandbox.sh --wine (a wineserver of its own, in a private network).
set -euo pipefail
setup=$(realpath "$1")
zip=$(realpath "$2")
[ -n "${LORIXLOG_IN_SANDBOX:-}" ] && [ -n "${WINEPREFIX:-}" ] ||
  { echo "check-windows-installer: run me through tools/sandbox.sh --wine" >&2; exit 2; }
fail() { echo "FAIL: $*" >&2; exit 1; }
version=$(basename "$setup" | sed -E 's/^lorixlog-finder-([0-9.]+)-win64\.exe$/\1/')

# The portable zip: the two programs, README and LICENSE.
listing=$(unzip -l "$zip")
for file in lorixlog-finder.exe lorixlog-find.exe README.md LICENSE; do
  grep -qE " $file\$" <<<"$listing" || fail "the zip has no $file"
done

[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
wine "$setup" /S
wineserver -w
dir="$WINEPREFIX/drive_c/Program Files/lorixlog-finder $version"
for file in lorixlog-finder.exe lorixlog-find.exe Uninstall.exe LICENSE; do
  [ -f "$dir/$file" ] || fail "not installed: $dir/$file"
done
[ -n "$(find "$WINEPREFIX/drive_c" -iname 'lorixlog-finder.lnk')" ] || fail "no Start-menu entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\lorixlog-finder '"$version"
entry=$(wine reg query "$key" /v DisplayVersion 2>/dev/null || true)
grep -q "$version" <<<"$entry" || fail "no entry in the list of installed programs"
out=$(wine "$dir/lorixlog-find.exe" --version | tr -d '\r')
[ "$out" = "lorixlog-find $version" ] || fail "the installed lorixlog-find.exe says '$out'"

wine "$dir/Uninstall.exe" /S
wineserver -w
for _ in $(seq 50); do [ -e "$dir/lorixlog-finder.exe" ] || break; sleep 0.2; done
[ ! -e "$dir/lorixlog-finder.exe" ] || fail "the uninstaller left the program"
[ ! -e "$dir/lorixlog-find.exe" ] || fail "the uninstaller left lorixlog-find.exe"
[ -z "$(find "$WINEPREFIX/drive_c" -iname 'lorixlog-finder.lnk')" ] || fail "the Start-menu entry is left"
echo "PASS: $(basename "$setup")"
