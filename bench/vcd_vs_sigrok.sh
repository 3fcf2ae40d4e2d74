#!/usr/bin/env bash
# VCD figures of a full capture (1,048,576 events on 96 channels, a hundred
# changes every tenth of a second), measured in one run through korvalog-cli,
# each the best of three:
#   export to VCD   next to  saving the project    (target: at most 2x)
#   import the VCD  next to  loading the project   (target: at most 3x)
#   import the VCD  next to  sigrok-cli reading it (target: 10x faster or more)
# Both korvalog-cli sides include the same program start and project load.
# Then the in-process figures of korvalog-bench (export and import next to
# save and load of one capture).
# usage: bench/vcd_vs_sigrok.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=$build/src/app/korvalog-cli
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A logger log with the events, made into a project.
awk 'BEGIN {
  printf "D010125\r\nT09\r\n"
  for (i = 0; i < 1048576; i++) {
    tenth = int(i / 100)
    printf "%s%02d%02d%02d%d\r\n", (int(i / 96) % 2 == 0 ? "H" : "L"), i % 96, int(tenth / 600), int(tenth / 10) % 60, tenth % 10
  }
}' >"$tmp/full.001"
"$cli" convert "$tmp/full.001" "$tmp/full.kv" 2>/dev/null
"$cli" export "$tmp/full.kv" --format vcd --out "$tmp/full.vcd"

best() {  # best wall time of three runs of the command, in milliseconds
  local best=""
  for _ in 1 2 3; do
    local t0 t1 ms
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

save=$(best "$cli" convert "$tmp/full.kv" "$tmp/again.kv")
export=$(best "$cli" export "$tmp/full.kv" --format vcd --out "$tmp/again.vcd")
load=$(best "$cli" info "$tmp/full.kv")
import=$(best "$cli" info "$tmp/full.vcd")
echo "events 1048576, VCD $(stat -c %s "$tmp/full.vcd") bytes, project $(stat -c %s "$tmp/full.kv") bytes"
echo "load+save project    ${save} ms"
echo "load+export VCD      ${export} ms   ($(ratio "$export" "$save") x the save run; target <= 2)"
echo "load project         ${load} ms"
echo "import VCD           ${import} ms   ($(ratio "$import" "$load") x the load run; target <= 3)"
if command -v sigrok-cli >/dev/null; then
  sigrok=$(best sigrok-cli -i "$tmp/full.vcd" -O null)
  echo "sigrok-cli reads VCD ${sigrok} ms   (the import is $(ratio "$sigrok" "$import") x faster; target >= 10)"
else
  echo "sigrok-cli is not installed: no comparison"
fi
if [ -x "$build/bench/korvalog-bench" ]; then
  "$build/bench/korvalog-bench" --benchmark_filter='BM_Export|BM_ImportVcd' 2>/dev/null | grep '^BM_'
fi
