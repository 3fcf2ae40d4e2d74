#!/usr/bin/env bash
# The real program under a virtual X display: started with the sample
# capture, screenshot taken once the window shows, checked for a drawn chart.
# usage: screenshot_test.sh KORVALOG CHECKER SAMPLE.kv
# Exit 77 (skipped) when the virtual display tools are not installed.
set -uo pipefail
korvalog=$1 checker=$2 sample=$3
for tool in Xvfb import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'kill $app $xvfb 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
source "$(dirname "$0")/../../../scripts/lib/virtual_display.sh"
start_xvfb 90 140 1024x768x24 "$work/xvfb.log" || exit 1
export DISPLAY=$display XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
"$korvalog" "$sample" >"$work/korvalog.log" 2>&1 &
app=$!
# The window is up when the screenshot passes; give it up to 20 s.
for _ in $(seq 40); do
  sleep 0.5
  kill -0 $app 2>/dev/null || { echo "korvalog ended:"; cat "$work/korvalog.log"; exit 1; }
  import -window root "$work/shot.png" 2>/dev/null || continue
  if "$checker" "$work/shot.png"; then
    [ -n "${KORVALOG_KEEP_SHOT:-}" ] && cp "$work/shot.png" "$KORVALOG_KEEP_SHOT"
    exit 0
  fi
done
echo "the chart never showed"; cp "$work/shot.png" /tmp/korvalog-screenshot-test-failed.png 2>/dev/null
exit 1
