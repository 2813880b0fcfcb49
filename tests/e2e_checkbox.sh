#!/bin/bash
# End to end from outside: starts the real Quorvane.exe on the test session's Xvfb, selects the
# current user's Run node and clicks a row's check box with xdotool (real X input), then checks
# the registry and config.xml, and quits with Escape (exit code 2).
#   tests/e2e_checkbox.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/../scripts/wine-env.sh"
qv_wine_env "$build/wineprefix"
export DISPLAY=$(cat "$build/xvfb.display")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
name=QuorvaneEndToEnd

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wine reg delete "$key" /v "$name" /f >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cp "$build/app/Quorvane.exe" "$build/app/Quorvane.language" "$build/app/config.xml" "$work/"
# The only entry of the current user's Run key in this throwaway prefix.
wine reg delete "$key" /f >/dev/null 2>&1
wine reg add "$key" /v "$name" /d 'C:\Tools\e2e.exe /tray' /f >/dev/null 2>&1 || fail "reg add"

wine "$work/Quorvane.exe" >/dev/null 2>&1 &
pid=$!
window=
# Up to three minutes: the first program started after a run at another DPI rebuilds Wine's
# font cache before it shows anything, and a loaded machine (the installer tests run meanwhile)
# takes longer still.
deadline=$((SECONDS + 180))
while [ "$SECONDS" -lt "$deadline" ]; do
  window=$(xdotool search --name '^Quorvane \(' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || fail "Quorvane.exe ended before its main window appeared"
  sleep 0.2
done
if [ -z "$window" ]; then
  # What is on the display instead, for the log and a screenshot.
  for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    echo "visible window: $(xdotool getwindowname "$w" 2>/dev/null)"
  done
  mkdir -p "$build/screenshots"
  xwd -root | convert xwd:- "$build/screenshots/e2e_no_window.png" 2>/dev/null
  fail "the main window did not appear in 180 s"
fi
sleep 1.5

# The window is maximised at the top left. Tree rows are 32 pixels high (32-pixel images); the
# current user's Run node is the fourteenth visible node (after the seven children of All Users).
read -r wx wy < <(xdotool getwindowgeometry --shell "$window" | awk -F= '/^X=/{x=$2}/^Y=/{y=$2}END{print x, y}')
tree_first_y=$((wy + 56))
xdotool mousemove $((wx + 130)) $((tree_first_y + 13 * 32)) click 1
sleep 1

# The list starts under the banner and buttons; its header is about 18 pixels high and the
# check box sits at the left of the first row.
shot="$build/screenshots"
mkdir -p "$shot"
xwd -root | convert xwd:- "$shot/e2e_before_click.png" 2>/dev/null
clicked=0
for dy in 0 2 -2 4; do
  xdotool mousemove $((wx + 267)) $((wy + 200 + dy)) click 1
  sleep 1
  if ! wine reg query "$key" /v "$name" >/dev/null 2>&1; then clicked=1; break; fi
done
xwd -root | convert xwd:- "$shot/e2e_after_click.png" 2>/dev/null
[ "$clicked" = 1 ] || fail "the value is still in the Run key after clicking its check box"
grep -q "valuename=\"$name\"" "$work/config.xml" || fail "config.xml holds no record: $(cat "$work/config.xml")"
grep -q 'disabledregistryitem' "$work/config.xml" || fail "the record is not a registry record"

xdotool key --window "$window" Escape
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
wait "$pid"
code=$?
pid=
[ "$code" = 2 ] || fail "exit code $code, expected 2"
echo "e2e: check box click disabled the entry; 1 passed, 0 failed"
