#!/usr/bin/env bash
# Start-up benchmark under a virtual X display: from launching `korvalog` with
# a capture of 1,048,576 events on all 128 channels to its first painting of
# the chart (the program reports that moment when KORVALOG_TIMING is set),
# and, in the same run, GTKWave loading the same events as a VCD and showing
# all 128 traces (a Tcl script adds them, zooms to the whole dump and quits),
# when GTKWave is installed. Medians of RUNS runs each.
# usage: bench/startup_to_chart.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
for tool in Xvfb; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb)"; exit 2; }
done
data="$build/bench-data"
mkdir -p "$data"
capture="$data/busy-1048576.kv"
[ -s "$capture" ] || "$build/tools/capture/korvalog-make-capture" busy "$capture"

work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
# SCREEN_DISPLAY (":58") names the display to start; otherwise the first free one.
source scripts/lib/virtual_display.sh
start_xvfb 150 199 1280x1024x24 /dev/null "${SCREEN_DISPLAY:-}" || exit 2
export DISPLAY=$display XDG_CONFIG_HOME=$work/config

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
now_ms() { date +%s%3N; }

# korvalog: launch to first painted chart.
: >"$work/korvalog.ms"
for _ in $(seq "$runs"); do
  start=$(now_ms)
  painted=$(KORVALOG_TIMING=exit "$build/src/app/korvalog" "$capture" 2>&1 |
            sed -n 's/.*first-chart-paint-epoch-ms=\([0-9]*\).*/\1/p')
  [ -n "$painted" ] || { echo "korvalog reported no painting"; exit 1; }
  echo $((painted - start)) >>"$work/korvalog.ms"
done
ours=$(median <"$work/korvalog.ms")
echo "korvalog: launch to first painted chart of 1,048,576 events: median ${ours} ms (runs: $(tr '\n' ' ' <"$work/korvalog.ms"))"

if ! command -v gtkwave >/dev/null; then
  echo "gtkwave: not installed (apt-get install gtkwave), no comparison"
  exit 0
fi
# The same events as a VCD: korvalog-cli's export when it has one, otherwise
# made from the dump lines (channel, level, dd/mm hhnn:ss.zzz).
vcd="$data/busy-1048576.vcd"
if [ ! -s "$vcd" ]; then
  if "$build/src/app/korvalog-cli" help 2>&1 | grep -q '^ *korvalog-cli export'; then
    "$build/src/app/korvalog-cli" export "$capture" --format vcd --all-channels --out "$vcd"
  else
    "$build/src/app/korvalog-cli" dump "$capture" | awk -F'\t' '
      BEGIN { print "$timescale 1ms $end"; print "$scope module logger $end"
              for (i = 1; i <= 128; i++) printf "$var wire 1 c%d ch%03d $end\n", i, i
              print "$upscope $end"; print "$enddefinitions $end"; first = -1 }
      { split($3, a, " "); t = a[2]
        ms = int((substr(t,1,2)*3600 + substr(t,3,2)*60 + substr(t,6)) * 1000 + 0.5)
        if (first < 0) { first = ms; print "#0"; print "$dumpvars"
                         for (i = 1; i <= 128; i++) printf "0c%d\n", i; print "$end" }
        if (ms != last) { print "#" (ms - first); last = ms }
        printf "%dc%d\n", $2, $1 + 0 }' >"$vcd"
  fi
fi
cat >"$work/all.tcl" <<'TCL'
set sigs {}
for {set i 0} {$i < [gtkwave::getNumFacs]} {incr i} { lappend sigs [gtkwave::getFacName $i] }
gtkwave::addSignalsFromList $sigs
gtkwave::/Time/Zoom/Zoom_Full
gtkwave::/File/Quit
TCL
: >"$work/gtkwave.ms"
for _ in $(seq "$runs"); do
  start=$(now_ms)
  gtkwave -S "$work/all.tcl" "$vcd" >/dev/null 2>&1 || true
  echo $(($(now_ms) - start)) >>"$work/gtkwave.ms"
done
theirs=$(median <"$work/gtkwave.ms")
echo "gtkwave: launch to all 128 traces shown (and quit): median ${theirs} ms (runs: $(tr '\n' ' ' <"$work/gtkwave.ms"))"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "korvalog / gtkwave = %.2f (target at most 0.2)\n", a / b }'
