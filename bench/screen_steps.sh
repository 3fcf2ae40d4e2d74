#!/usr/bin/env bash
# Each step of the window program timed at the screen, on a capture of
# 1,048,576 events in a 1270x990 window: korvalog-screen-probe sends real
# input (XTest) to build/src/app/korvalog under its own Xvfb and openbox, and
# grabs the screen every 2 ms until it stays still. Printed: median and
# greatest of RUNS runs per step, beside the mean of the in-process benchmark
# of the same step (korvalog-bench, in the same run), then the opening (launch
# to the last change: the chart and its status text) and the memory above an
# empty window. Steps are in bench/screen_steps.txt.
# usage: bench/screen_steps.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-10}
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps.sh)"; exit 2; }
done
probe="$build/tools/screen/korvalog-screen-probe"
[ -x "$probe" ] || { echo "needs $probe (libx11-dev libxtst-dev libxext-dev, then build)"; exit 2; }
data="$build/bench-data"
mkdir -p "$data"
capture="$data/busy-1048576.kv"
[ -s "$capture" ] || "$build/tools/capture/korvalog-make-capture" busy "$capture"

work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$work"' EXIT
# SCREEN_DISPLAY (":58") names the display to start; otherwise the first free one.
source scripts/lib/virtual_display.sh
start_xvfb 63 99 1280x1024x24 /dev/null "${SCREEN_DISPLAY:-}" || exit 2
pids+=("$xvfb")
export DISPLAY=$display XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=xcb
openbox --config-file /dev/null >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The status bar's clock (its first panel) changes every second.
clock=(--ignore 0,-19,60,19)
"$probe" "${clock[@]}" --runs "$runs" bench/screen_steps.txt -- "$build/src/app/korvalog" "$capture" >"$work/screen.txt"
cp "$work/screen.txt" "$data/screen-steps-last.txt"  # the probe's own lines, kept
printf 'loop\n' >"$work/empty.txt"
"$probe" "${clock[@]}" --runs 1 "$work/empty.txt" -- "$build/src/app/korvalog" >"$work/empty-window.txt"

inproc="$work/inproc.csv"
: >"$inproc"
if [ -x "$build/bench/korvalog-bench" ]; then
  # JSON, as the benchmarks' counters differ (the CSV form wants the same
  # ones in every run), read back as "name,,real_time,,time_unit" lines.
  QT_QPA_PLATFORM=offscreen "$build/bench/korvalog-bench" --benchmark_format=json \
    --benchmark_filter='BM_Nav|BM_StatisticsWindowOpen|BM_ReportWindowOpen|BM_DragHandleAndCursor|BM_RepaintVisibleGridAndStrip' \
    2>/dev/null | awk -F'"' '
      $2 == "name" { name = $4 }
      $2 == "real_time" { split($3, v, /[:, ]+/); t = v[2] }
      $2 == "time_unit" { print name ",," t ",," $4 }' >"$inproc" || true
fi

# The in-process benchmark beside each step, in milliseconds.
awk -F, -v first="$inproc" '
  FILENAME == first { gsub(/"/, ""); t = $3; if ($5 == "us") t /= 1000; if ($5 == "ns") t /= 1e6
                      name = $1; sub(/\/.*$/, "", name); ms[name] = t; next }
  BEGIN {
    b["Ctrl+wheel"] = "BM_NavWheelZoomInAndOut"; b["Shift+wheel"] = "BM_NavShiftWheelPan"
    b["+/-"] = "BM_NavKeyZoomPlusMinus"; b["Left/Right"] = "BM_NavKeyPanLeftRight"
    b["Home/End"] = "BM_NavKeyHomeEnd"; b["Backspace"] = "BM_NavBackspacePreviousZoom"
    b["Go-to-time"] = "BM_NavGoToTime"; b["next-change"] = "BM_NavNextEdge"; b["F3"] = "BM_NavNextMatch"
    b["handle-drag"] = "BM_DragHandleAndCursor"; b["resize"] = "BM_RepaintVisibleGridAndStrip"
    b["Statistics"] = "BM_StatisticsWindowOpen"; b["Report"] = b["Report-first"] = "BM_ReportWindowOpen"
  }
  $1 == "step" { printf "%-16s %10s %10s %6s %14s\n", "step", "median ms", "max ms", "runs", "in-process ms"; next }
  NF >= 4 && $1 !~ /:$/ && $1 !~ /-(ms|kb)$/ {
    n = split($0, f, " +")
    name = f[1]; inproc = (name in b && b[name] in ms) ? sprintf("%.2f", ms[b[name]]) : "-"
    printf "%-16s %10s %10s %6s %14s%s\n", name, f[2], f[3], f[4], inproc, (f[5] > 0 ? "  (" f[5] " unchanged)" : "")
  }' "$inproc" FS=' ' "$work/screen.txt"
grep '^open:' "$work/screen.txt"
loaded=$(sed -n 's/^rss-kb //p' "$work/screen.txt")
empty=$(sed -n 's/^rss-kb //p' "$work/empty-window.txt")
awk -v a="$loaded" -v b="$empty" 'BEGIN { printf "memory above an empty window: %.1f bytes per event (%d kB loaded, %d kB empty)\n", (a - b) * 1024 / 1048576, a, b }'
echo "load while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
