#!/usr/bin/env bash
# The real program under a virtual X display with a window manager that adds
# title bars: the main window comes back where and as large as it was closed
# (not a title bar lower at every start), after a move and a resize too, and
# at twice the scale it opens wholly on a 1600x1000 screen; a side window
# opened again comes back where it was.
# usage: window_frame_test.sh KORVALOG SAMPLE.kv
# Exit 77 (skipped) when the virtual display tools are not installed.
set -uo pipefail
korvalog=$1 sample=$2
for tool in Xvfb openbox xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool not installed"; exit 77; }
done
work=$(mktemp -d)
app= wm= xvfb=
trap 'kill $app $wm $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/../../../scripts/lib/virtual_display.sh"
start_xvfb 141 190 1600x1000x24 "$work/xvfb.log" || exit 1
export DISPLAY=$display XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
openbox >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is up once it owns the screen's selection; a moment
# more and it frames new windows (a window mapped before is adopted where
# it stands).
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
sleep 1

fail() { echo "$1"; cat "$work/korvalog.log"; exit 1; }

# A window's frame: "x y width height" of the window manager's frame around
# it (what the user sees move): the window's place on the screen (xwininfo;
# xdotool counts a framed window's offset twice) and the frame's extents.
frame_of() {
  local info x y w h extents l r t b
  info=$(xwininfo -id "$1" 2>/dev/null)
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/.*Width: *//p' <<<"$info")
  h=$(sed -n 's/.*Height: *//p' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
  IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
  echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# The id of the visible window whose title matches, once the window manager
# has framed it (up to 30 s); empty if it never is.
framed() {
  local id
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && { echo "$id"; return; }
    sleep 0.2
  done
}
# Starts the program and sets `geometry` once its window has stayed put.
start() {
  "$korvalog" "$sample" >>"$work/korvalog.log" 2>&1 &
  app=$!
  window=$(framed '^KORVALOG - ')
  [ -n "$window" ] || fail "the window never showed"
  settle
}
settle() {
  local last= now
  for _ in $(seq 30); do
    sleep 0.3
    now=$(frame_of "$window")
    [ "$now" = "$last" ] && break
    last=$now
  done
  geometry=$now
}
stop() {
  # Ctrl+Q typed into the window, as a user would (again until it goes).
  for _ in $(seq 75); do
    kill -0 $app 2>/dev/null || break
    xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+q 2>/dev/null
    sleep 0.2
  done
  kill -0 $app 2>/dev/null && fail "the program did not close"
  wait $app 2>/dev/null
  app=
}
start; first=$geometry; stop
start; second=$geometry; stop
start; third=$geometry; stop
echo "default: first $first, second $second, third $third"
[ "$first" = "$second" ] && [ "$second" = "$third" ] || fail "the window moved between starts"

# The Markers window (Ctrl+Shift+M) closed and opened again, three times:
# where it was each time (it went a title bar lower at every opening).
start
markers=()
for _ in 1 2 3; do
  xdotool windowactivate --sync "$window" key --clearmodifiers ctrl+shift+m 2>/dev/null
  side=$(framed '^Markers$')
  [ -n "$side" ] || fail "the Markers window never showed"
  sleep 0.5
  markers+=("$(frame_of "$side")")
  xdotool windowactivate --sync "$side" key --clearmodifiers alt+F4 2>/dev/null
  for _ in $(seq 50); do xdotool search --onlyvisible --name '^Markers$' >/dev/null 2>&1 || break; sleep 0.1; done
done
stop
echo "Markers opened at: ${markers[*]}"
[ "${markers[0]}" = "${markers[1]}" ] && [ "${markers[1]}" = "${markers[2]}" ] ||
  fail "the Markers window moved between openings"

# Moved and resized by the user: back the same after two restarts.
start
xdotool windowsize --sync "$window" 900 640 2>/dev/null
xdotool windowmove --sync "$window" 217 143 2>/dev/null
settle; moved=$geometry; stop
start; again=$geometry; stop
start; third=$geometry; stop
echo "moved: $moved, restarted $again, $third"
[ "$moved" = "$again" ] && [ "$again" = "$third" ] || fail "the moved window came back elsewhere"

# Twice the scale on a fresh configuration: wholly on the screen, and put
# back there after restarts. The first placing may fall on an odd screen
# pixel, half a pixel of the program's, and come back a pixel off once.
rm -rf "$work/config"
export QT_SCALE_FACTOR=2
start; big=$geometry; stop
start; bigAgain=$geometry; stop
start; bigThird=$geometry; stop
echo "at twice the scale: $big, restarted $bigAgain, $bigThird"
read -r x y w h <<<"$big"
[ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1600 ] && [ $((y + h)) -le 1000 ] ||
  fail "the window does not fit the screen"
read -r x2 y2 w2 h2 <<<"$bigAgain"
[ $(((x2 - x) * (x2 - x))) -le 1 ] && [ $(((y2 - y) * (y2 - y))) -le 1 ] && [ "$w $h" = "$w2 $h2" ] &&
  [ "$bigAgain" = "$bigThird" ] || fail "at twice the scale the window moved between starts"
exit 0
