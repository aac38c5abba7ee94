#!/usr/bin/env bash
# Installs the Windows package under Wine as a user would, silently, starts the program from its
# Start-menu entry, and removes it again:
#   check-windows-installer.sh SETUP.exe ZIP [OLDER_SETUP.exe]
# With an older installer, that one is installed first: the new one replaces it (one folder, one
# entry in the list of installed programs). Runs inside tools/sandbox.sh --wine (a wineserver of
# its own, in a private network) under an X display (xvfb-run).
set -euo pipefail
setup=$(realpath "$1")
zip=$(realpath "$2")
older=${3:+$(realpath "$3")}
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
require_sandbox check-windows-installer --wine
[ -n "${DISPLAY:-}" ] || { echo "check-windows-installer: needs a display (xvfb-run)" >&2; exit 2; }
version=$(basename "$setup" | sed -E 's/^lorixlog-finder-([0-9.]+)-win64\.exe$/\1/')
dir="$WINEPREFIX/drive_c/Program Files/lorixlog-finder"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# The portable zip: the two programs, the Windows user's README (with the firewall) and the
# license.
listing=$(unzip -l "$zip")
for file in lorixlog-finder.exe lorixlog-find.exe README.txt LICENSE.txt; do
  grep -qE " $file\$" <<<"$listing" || fail "the zip has no $file"
done
grep -qE ' README.md$' <<<"$listing" && fail "the zip ships the developers' README.md"
unzip -p "$zip" README.txt | grep -q 'netsh advfirewall firewall add rule' ||
  fail "the zip's README does not say how to allow the programs in the firewall"

[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
installed_versions() {  # the DisplayVersion of every entry of ours in the list of programs
  wine reg query "$key" 2>/dev/null | tr -d '\r' | grep -i 'lorixlog-finder' | while read -r entry; do
    wine reg query "$entry" /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ { print $3 }'
  done
}
if [ -n "$older" ]; then
  wine "$older" /S
  wineserver -w
  [ "$(installed_versions)" != "$version" ] && [ -n "$(installed_versions)" ] ||
    fail "the older installer did not install an older version: $(installed_versions)"
fi

# Silent install (over the older version, if any).
wine "$setup" /S
wineserver -w
for file in lorixlog-finder.exe lorixlog-find.exe Uninstall.exe LICENSE.txt README.txt; do
  [ -f "$dir/$file" ] || fail "not installed: $dir/$file"
done
ls -d "$WINEPREFIX/drive_c/Program Files/lorixlog-finder "* 2>/dev/null &&
  fail "a folder named with a version beside the installation"
[ "$(installed_versions)" = "$version" ] ||
  fail "the list of installed programs holds '$(installed_versions | tr '\n' ' ')', not $version once"
out=$(wine "$dir/lorixlog-find.exe" --version | tr -d '\r')
[ "$out" = "lorixlog-find $version" ] || fail "the installed lorixlog-find.exe says '$out'"

# The README's scheduled task for the watch: Wine's schtasks knows only /XML and has no task
# scheduler to talk to, so the task's own command (its /TR) runs as the task would run it, from
# the installed folder, and its metrics answer.
task=$(tr -d '\r' <"$dir/README.txt" | sed -n 's/^    \(schtasks \/Create .*\)/\1/p')
[ -n "$task" ] || fail "README.txt shows no scheduled task"
command=$(python3 -c 'import shlex, sys; a = shlex.split(sys.argv[1]); print(a[a.index("/TR") + 1])' \
  "$task")
[[ "$command" == '"C:\Program Files\lorixlog-finder\lorixlog-find.exe" '* ]] ||
  fail "the task does not start the installed lorixlog-find.exe: $command"
# The task scheduler starts the program named first, quoted, with the rest as its arguments.
program=$(sed -E 's/^"([^"]*)".*/\1/' <<<"$command")
read -ra arguments <<<"$(sed -E 's/^"[^"]*" *//' <<<"$command")"
wine "$program" "${arguments[@]}" >/dev/null 2>&1 &
answered=
for _ in $(seq 100); do
  if curl -s -f http://127.0.0.1:9469/metrics | grep -q '^lorixlog_searches_total '; then
    answered=1
    break
  fi
  sleep 0.2
done
wine taskkill /F /IM lorixlog-find.exe >/dev/null 2>&1 || true
wineserver -w
[ -n "$answered" ] || fail "the scheduled task's command serves no metrics: $command"

# The Start-menu entry starts the installed program, whose window then shows.
lnk=$(find "$WINEPREFIX/drive_c" -iname 'lorixlog-finder.lnk' | head -1)
[ -n "$lnk" ] || fail "no Start-menu entry"
# The link holds the target's path in 8-bit and in UTF-16 text.
target=$({ strings "$lnk"; strings -el "$lnk"; } | grep -iE '^[a-z]:\\.*lorixlog-finder\.exe$' | head -1)
[ -n "$target" ] || fail "the Start-menu entry names no lorixlog-finder.exe: $(strings "$lnk" | tail -3)"
[ -f "$(winepath -u "$target" 2>/dev/null)" ] || fail "the Start-menu entry points at a missing $target"
wine start /unix "$lnk" >/dev/null 2>&1
shown=
for _ in $(seq 150); do
  if xdotool search --onlyvisible --name "lorixlog-finder version" >/dev/null 2>&1; then
    shown=1
    break
  fi
  sleep 0.2
done
wine taskkill /F /IM lorixlog-finder.exe >/dev/null 2>&1 || true
wineserver -w
[ -n "$shown" ] || fail "starting the Start-menu entry shows no window of the program"

# Silent uninstall: the programs, the entry and the firewall's rules (whose commands Wine lacks)
# go without a trace or a failure.
wine "$dir/Uninstall.exe" /S
wineserver -w
for _ in $(seq 50); do [ -e "$dir/lorixlog-finder.exe" ] || break; sleep 0.2; done
[ ! -e "$dir/lorixlog-finder.exe" ] || fail "the uninstaller left the program"
[ ! -e "$dir/lorixlog-find.exe" ] || fail "the uninstaller left lorixlog-find.exe"
[ -z "$(find "$WINEPREFIX/drive_c" -iname 'lorixlog-finder.lnk')" ] || fail "the Start-menu entry is left"
[ -z "$(installed_versions)" ] || fail "the list of installed programs still holds it"
echo "PASS: $(basename "$setup")${older:+ over $(basename "$older")}"
