#!/usr/bin/env bash
# Runs the real lorixlog-finder under Xvfb, as a person would use it, and checks what it did.
# FINDER may be the Windows program (lorixlog-finder.exe): it then runs under Wine, whose
# ShellExecute hands the URL to the first xdg-open on PATH (with the host name in small letters),
# and the sandbox must have been made with --wine (a wineserver of its own).
# Must run inside the sandbox network (tools/sandbox.sh) with its three built-in devices:
#   10.77.0.20 A20715 (host name = serial number), 10.77.0.21 A20988 lab-north.example.lan,
#   10.77.0.22 B10042 tank-farm;
# stop-and-save needs the routed sandbox (tools/sandbox.sh --routed) instead, its devices at
# 10.88.0.20 and 10.88.0.21 behind a router.
#
#   finder-e2e.sh FINDER SCENARIO
# Scenarios:
#   by-name       choose the second device with the keyboard and open it by name
#   double-click  open the first device with a double click on its line
#   german        as by-name, under a German locale
#   cancel-quit   cancel the device list, then quit with Escape
#   quit-during-search
#                 Escape while the search runs: the program ends, without the device list
#   browser-fails the opener starts but finds no browser (exit status 3): the report says so
#                 and the list stays open
#   targets       the report's context menu (right click), Search targets..., a target typed:
#                 kept in the user's settings file, searched at once, and the report says so
#   stop-and-save a sweep of 10.88.0.0/16 (the caption shows how far it has come) stopped with
#                 Enter once a device is found; the list opens, and its menu (Shift+F10) saves it
#                 as CSV and as JSON: both files are what lorixlog-find writes for those devices
# SCREENSHOT_DIR, when set, receives screenshots of the windows.
set -euo pipefail

finder=$1
scenario=$2
. "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
require_sandbox finder-e2e

work=$(mktemp -d)
cleanup() {
  [ -n "${finder_pid:-}" ] && kill "$finder_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail_label=$scenario
fail_context() { echo "--- report:"; cat "$work/out"; }

# A display of our own.
display=$((100 + RANDOM % 400))
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.05; done
export DISPLAY=":$display"

# A stand-in for the desktop's opener that records what it is given.
mkdir "$work/bin"
opener_status=0
[ "$scenario" = browser-fails ] && opener_status=3
cat >"$work/bin/xdg-open" <<STANDIN
#!/bin/sh
printf '%s\n' "\$*" >>"$work/opened"
exit $opener_status
STANDIN
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# The program's settings go to the test's own folder (under Wine: its private prefix).
export XDG_CONFIG_HOME="$work/config"

case "$scenario" in
  german)
    export LANG=de_DE.UTF-8 LC_ALL= LANGUAGE=
    # Wine takes the Windows UI language from LC_ALL when the locale is not installed.
    [[ "$finder" != *.exe ]] || export LC_ALL=de_DE.UTF-8
    ;;
  *) export LANG=C.UTF-8 LC_ALL= LANGUAGE= ;;
esac

run=("$finder")
if [[ "$finder" == *.exe ]]; then
  require_sandbox finder-e2e --wine
  [ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1
  run=(wine "$finder")
  # The settings that an earlier scenario kept in the shared prefix are no part of this one.
  rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/lorixlog-finder
fi
[ "$scenario" != stop-and-save ] || run+=(--target 10.88.0.0/16)
"${run[@]}" >"$work/out" 2>"$work/err" &
finder_pid=$!

wait_for() {  # wait_for SECONDS COMMAND...
  local limit=$(($1 * 10)); shift
  for _ in $(seq "$limit"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}
shot() { [ -n "${SCREENSHOT_DIR:-}" ] && import -window root "$SCREENSHOT_DIR/$1.png" || true; }
# Escape on the device list, which closes and leaves the main window alone.
close_list() {
  xdotool windowfocus --sync "$list_window"
  sleep 0.3
  xdotool key Escape
  wait_for 5 sh -c '[ "$(xdotool search --onlyvisible --name "lorixlog-finder version" | wc -l)" -eq 1 ]' \
    || fail "the device list did not close"
  main_window=$(xdotool search --onlyvisible --name "lorixlog-finder version" | head -1)
}
# Escape on the main window: the program ends.
quit_main() {
  xdotool windowfocus --sync "$main_window"
  sleep 0.3
  xdotool key Escape
}

if [ "$scenario" = quit-during-search ]; then
  # The window is up and the search runs: the report has its opening, not its end.
  wait_for 20 sh -c '[ -n "$(xdotool search --onlyvisible --name "lorixlog-finder version")" ]' \
    || fail "the window did not open"
  wait_for 10 grep -qF "Searching lorix" "$work/out" || fail "the search did not start"
  grep -qF '... done.' "$work/out" && fail "the search ended before the test could press Escape"
  shot "$scenario-searching"
  main_window=$(xdotool search --onlyvisible --name "lorixlog-finder version" | head -1)
  xdotool windowfocus --sync "$main_window"
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$finder_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$finder_pid" 2>/dev/null && fail "Escape during the search did not end the program"
  set +e; wait "$finder_pid"; status=$?; set -e
  finder_pid=
  [ "$status" -eq 0 ] || fail "exit status $status"
  tr -d '\r' <"$work/out" >"$work/report" && mv "$work/report" "$work/out"
  grep -qxF '... cancelled.' "$work/out" || fail "the report does not say the search was cancelled"
  [ ! -f "$work/opened" ] || fail "xdg-open was called"
  echo "PASS ($scenario)"
  exit 0
fi

if [ "$scenario" = stop-and-save ]; then
  [ -n "${LORIXLOG_ROUTER_PID:-}" ] || fail "stop-and-save needs tools/sandbox.sh --routed"
  wait_for 30 grep -qF "Found lorixLOG" "$work/out" || fail "the sweep found no device"
  main_window=$(xdotool search --onlyvisible --name "lorixlog-finder" | head -1)
  wait_for 10 sh -c "xdotool getwindowname $main_window | grep -q ' of 65,53[0-9] addresses '" ||
    fail "the caption shows no progress: '$(xdotool getwindowname "$main_window")'"
  caption=$(xdotool getwindowname "$main_window")
  grep -qF '... done.' "$work/out" && fail "the sweep ended before the test could stop it"
  # Stop: the default button during the search. On a busy machine (the sanitizers' build) the
  # window may take the key only once it has the focus for good: the key again then.
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$main_window"
    sleep 0.3
    xdotool key Return
    wait_for 5 grep -qF '... done.' "$work/out" && break
  done
fi

done_line='... done.'
[ "$scenario" = german ] && done_line='... fertig.'
wait_for 20 grep -qF "$done_line" "$work/out" || fail "the search did not finish"
# The device list opens by itself: a second window with the program's title.
wait_for 10 sh -c '[ "$(xdotool search --onlyvisible --name "lorixlog-finder version" | wc -l)" -ge 2 ]' \
  || fail "the device list did not open"
sleep 0.5
list_window=$(xdotool search --onlyvisible --name "lorixlog-finder version" | tail -1)
shot "$scenario-list"

case "$scenario" in
  by-name|german)
    xdotool windowfocus --sync "$list_window"
    sleep 0.3          # Wine activates the window first; a key sent before that is lost
    xdotool key Down   # the second line: A20988, lab-north.example.lan
    xdotool key Tab    # to the by Name button
    xdotool key Return
    expected="http://lab-north.example.lan/"
    ;;
  double-click)
    eval "$(xdotool getwindowgeometry --shell "$list_window")"
    # The list box stands at (12, 30) dialog units of the 315 x 230 dialog; its first line just
    # below its top edge.
    x=$((12 * WIDTH / 315 + 40))
    y=$((30 * HEIGHT / 230 + 9))
    xdotool mousemove --window "$list_window" "$x" "$y" click 1
    sleep 0.3
    xdotool click --repeat 2 --delay 60 1
    expected="http://10.77.0.20/"
    ;;
  browser-fails)
    xdotool windowfocus --sync "$list_window"
    sleep 0.3
    xdotool key Return  # opens the first device: the opener finds no browser
    wait_for 10 grep -qF "ERROR: The web browser could not be started" "$work/out" \
      || fail "the report does not say that the browser could not be started"
    [ "$(xdotool search --onlyvisible --name "lorixlog-finder version" | wc -l)" -ge 2 ] \
      || fail "the device list closed"
    kill -0 "$finder_pid" 2>/dev/null || fail "the program ended as if the page had opened"
    close_list
    quit_main
    expected="http://10.77.0.20/"
    ;;
  cancel-quit)
    close_list
    kill -0 "$finder_pid" 2>/dev/null || fail "cancelling the list ended the program"
    shot "$scenario-main"
    quit_main
    expected=""
    ;;
  targets)
    close_list
    eval "$(xdotool getwindowgeometry --shell "$main_window")"
    # The report stands at (18, 126) dialog units of the 315 x 326 dialog.
    xdotool mousemove --window "$main_window" $((18 * WIDTH / 315 + 60)) $((126 * HEIGHT / 326 + 60))
    xdotool click 3
    sleep 0.5
    shot "$scenario-menu"
    xdotool key t      # Search &targets...
    wait_for 10 sh -c '[ -n "$(xdotool search --onlyvisible --name "^Search targets$")" ]' \
      || fail "the targets dialog did not open"
    targets_window=$(xdotool search --onlyvisible --name "^Search targets$" | head -1)
    xdotool windowfocus --sync "$targets_window"
    sleep 0.3
    xdotool type --delay 30 "10.88.7.7"
    shot "$scenario-dialog"
    xdotool key Tab Return   # to OK: the new list is searched at once
    wait_for 20 grep -qF "Search targets: 1, kept for every search in" "$work/out" \
      || fail "the report does not say that the target is kept"
    grep -qF "10.88.7.7" "$work/out" || fail "the search after OK did not query the target"
    # The search found the devices again: the list opens by itself.
    wait_for 10 sh -c '[ "$(xdotool search --onlyvisible --name "lorixlog-finder version" | wc -l)" -ge 2 ]' \
      || fail "the device list did not open after the search"
    sleep 0.5
    list_window=$(xdotool search --onlyvisible --name "lorixlog-finder version" | tail -1)
    close_list
    if [[ "$finder" == *.exe ]]; then
      kept=$(find "$WINEPREFIX/drive_c/users" -path '*/lorixlog-finder/targets' | head -1)
    else
      kept="$XDG_CONFIG_HOME/lorixlog-finder/targets"
    fi
    [ -f "$kept" ] && [ "$(cat "$kept")" = "10.88.7.7" ] || fail "the target was not kept: '$kept'"
    quit_main
    expected=""
    ;;
  stop-and-save)
    [ "$(xdotool getwindowname "$(xdotool search --onlyvisible --name "lorixlog-finder version" |
      head -1)")" != "$caption" ] || fail "the caption was not restored"
    for kind in csv json; do
      file="$work/list.$kind"
      name=$file
      [[ "$finder" != *.exe ]] || name="Z:${file//\//\\}"
      xdotool windowfocus --sync "$list_window"
      sleep 0.3
      xdotool key shift+F10
      sleep 0.5
      shot "$scenario-menu-$kind"
      xdotool key s      # Save list as...
      wait_for 10 sh -c '[ -n "$(xdotool search --onlyvisible --name "^Save list as$")" ]' \
        || fail "no save dialog opened"
      xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "^Save list as$" | head -1)"
      sleep 0.5
      xdotool type --delay 20 "$name"
      shot "$scenario-save-$kind"
      xdotool key Return
      wait_for 10 test -s "$file" || fail "the list was not saved as $kind"
      wait_for 5 grep -qF "Device list saved as" "$work/out" || fail "the report does not say so"
    done
    found=$(tr -d '\r' <"$work/out" | sed -n 's/^  at IPv4 address //p')
    [ -n "$found" ] || fail "the report names no device found"
    find_program=$(dirname "$(dirname "$finder")")/tools/lorixlog-find
    find_run=("$find_program")
    [[ "$finder" != *.exe ]] || find_run=(wine "$find_program.exe")
    targets=()
    for ip in $found; do targets+=(--target "$ip"); done
    for kind in csv json; do
      "${find_run[@]}" "--$kind" "${targets[@]}" >"$work/find.$kind" 2>/dev/null || true
      cmp -s "$work/find.$kind" "$work/list.$kind" ||
        fail "the saved $kind list is not what lorixlog-find writes: $(diff "$work/find.$kind" "$work/list.$kind" | head -20)"
    done
    close_list
    quit_main
    expected=""
    ;;
  *) echo "unknown scenario $scenario" >&2; exit 2 ;;
esac

for _ in $(seq 100); do kill -0 "$finder_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$finder_pid" 2>/dev/null && fail "the program did not end"
set +e; wait "$finder_pid"; status=$?; set -e
finder_pid=
[ "$status" -eq 0 ] || fail "exit status $status"

# The report with Windows' line ends made plain.
tr -d '\r' <"$work/out" >"$work/report" && mv "$work/report" "$work/out"
if [ -n "$expected" ]; then
  # Wine's ShellExecute runs the opener through winebrowser, which may still be on its way.
  wait_for 10 test -s "$work/opened" || fail "nothing was handed to xdg-open"
  [ "$(cat "$work/opened")" = "$expected" ] || fail "xdg-open got '$(cat "$work/opened")', not '$expected' once"
  open_word="Open:"
  [ "$scenario" = german ] && open_word="Öffne:"
  grep -qxF "$open_word $expected " "$work/out" || fail "the report has no '$open_word $expected ' line"
else
  [ ! -f "$work/opened" ] || fail "xdg-open was called: $(cat "$work/opened")"
fi
if [ "$scenario" = stop-and-save ]; then
  grep -qF "R20715" "$work/out" || fail "the report does not describe the devices"
else
  grep -qF "A20988" "$work/out" || fail "the report does not describe the devices"
fi
echo "PASS ($scenario)"
