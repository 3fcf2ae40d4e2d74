#!/usr/bin/env bash
# The Windows build, built and run here: korvalog-cli.exe and the model's
# unit tests cross-built with MinGW-w64 (GoogleTest compiled from Debian's
# sources by the same compiler) into build-windows/, then run under Wine:
#  1. every unit test program, the serial layer's on COM ports of the Wine
#     prefix that lead to the logger simulator on Linux pseudo-terminals;
#  2. a live capture from the simulator by korvalog-cli.exe, which must hold
#     exactly the events the simulator sent, read back by the Linux build;
#  3. info, dump, search, sequence, stats, convert and export of that capture
#     on Windows paths (a drive letter, backslashes, non-ASCII letters) by
#     both builds, which must agree byte for byte;
#  4. a capture killed under Wine, recovered from its journal.
# Installs what it needs (once); uses the Linux build in build/ for the
# simulator and the reference tool, building what is missing of it.
# usage: scripts/cross-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

packages=(g++-mingw-w64-x86-64-posix wine64 wine googletest)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

step() { echo "cross-check: $*"; }
fail() {
  echo "cross-check: FAILED: $*" >&2
  exit 1
}

# The Linux side: the simulator and the reference korvalog-cli.
if [ -f build/CMakeCache.txt ]; then
  cmake --build build -j"$(nproc)" --target korvalog-sim korvalog-cli >/dev/null
else
  scripts/build.sh >/dev/null
fi
sim=$root/build/tools/sim/korvalog-sim
linux_cli=$root/build/src/app/korvalog-cli

# The Windows build, through the toolchain file; ccache as for the Linux build.
win=build-windows
args=()
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  args+=("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache" "-DCMAKE_C_COMPILER_LAUNCHER=ccache")
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
fi
step "building for Windows in $win/"
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DKORVALOG_GUI=OFF -DKORVALOG_BENCH=OFF -DKORVALOG_GTEST_SOURCE=/usr/src/googletest "${args[@]}" >/dev/null
cmake --build "$win" -j"$(nproc)" >/dev/null || {
  cmake --build "$win" 2>&1 | grep -E "error|Error" | head -40
  fail "the Windows build does not compile"
}
win_cli=$root/$win/src/app/korvalog-cli.exe

# A Wine prefix of our own, without a display. Arguments reach the Windows
# programs in UTF-8 only when the Unix side speaks UTF-8.
export WINEPREFIX=$root/$win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "making the Wine prefix (once)"
  WINEARCH=win64 wineboot -i >/dev/null 2>&1
fi

work=$root/$win/cross-check
rm -rf "$work"
mkdir -p "$work"
sims=()
cleanup() {
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -f "$WINEPREFIX"/dosdevices/com{7,8,9,10}
}
trap cleanup EXIT

# start_sim N ARGS...: the simulator on a pseudo-terminal, reached from the
# Wine prefix as COMn.
start_sim() {
  local n=$1
  shift
  "$sim" --link "$work/com$n" "$@" >"$work/com$n.out" 2>"$work/com$n.log" &
  sims+=($!)
  for _ in $(seq 100); do [ -L "$work/com$n" ] && break; sleep 0.1; done
  [ -L "$work/com$n" ] || fail "the simulator for COM$n did not start"
  ln -sfn "$(readlink -f "$work/com$n")" "$WINEPREFIX/dosdevices/com$n"
}

# 1. The unit tests, the serial layer's on COM7.
start_sim 7 --pattern none
step "running the unit tests under Wine"
(cd "$win" && KORVALOG_TEST_COM='\\.\COM7' ctest --output-on-failure -j"$(nproc)" --timeout 300) ||
  fail "unit tests under Wine"
# A logger that is unplugged while the port is open: a failed line.
start_sim 8 --pattern none --seconds 3
KORVALOG_TEST_COM_UNPLUG='\\.\COM8' wine "$win/tests/transport/korvalog_windows_transport_tests.exe" \
  --gtest_filter='WindowsSerialUnplug.*' >"$work/unplug.log" 2>&1 || {
  cat "$work/unplug.log"
  fail "the unplugged line under Wine"
}
grep -q "1 test" "$work/unplug.log" && ! grep -q SKIPPED "$work/unplug.log" || fail "the unplug test did not run"

# 2. A live capture of a known script. The folder has a space and non-ASCII
# letters; Windows sees it as C:\korvalog-e2e\Prüfstand Aufzüge.
folder="Prüfstand Aufzüge"
unix_dir=$WINEPREFIX/drive_c/korvalog-e2e/$folder
win_dir="C:\\korvalog-e2e\\$folder"
mkdir -p "$unix_dir"
awk 'BEGIN { for (i = 0; i < 300; i++) { ch = 1 + (i * 7) % 96; lv[ch] = 1 - lv[ch];
             printf "%.3f %d %d\n", 0.3 + i * 0.025, ch, lv[ch] } }' >"$work/script.txt"
start_sim 9 --script "$work/script.txt"
step "capturing from the simulator on COM9 under Wine for 10 s"
wine "$win_cli" capture --logger 96 --port 9 --seconds 10 --out "$win_dir\\lift.kv" 2>"$work/capture.log" ||
  { cat "$work/capture.log"; fail "korvalog-cli.exe capture"; }
[ -f "$unix_dir/lift.kv" ] || fail "the capture was not written to $win_dir\\lift.kv"
[ ! -e "$unix_dir/lift.kv.journal" ] || fail "the journal stayed behind after the save"
"$linux_cli" dump "$unix_dir/lift.kv" | tr -d '\r' | awk -F'\t' '{ print $1 + 0, $2 }' >"$work/captured.txt"
awk '{ print $2, $3 }' "$work/script.txt" >"$work/sent.txt"
cmp -s "$work/sent.txt" "$work/captured.txt" ||
  fail "the capture holds $(wc -l <"$work/captured.txt") events, not the 300 the simulator sent"
step "the capture holds exactly the 300 events the simulator sent"

# 3. The same commands by both builds on the same files.
cp "$work/script.txt" "$unix_dir/script.kv"  # not a project: a usage error on both
tr -d '\r' <"$unix_dir/lift.kv" >"$unix_dir/lift-lf.kv"  # line ends as another tool may leave them
compare() {  # compare NAME COMMAND ARGS... (paths given as Windows paths)
  local name=$1
  shift
  local linux_args=() a
  for a in "$@"; do
    if [[ "$a" == "$win_dir"* ]]; then
      a=${a#"$win_dir"}
      linux_args+=("$unix_dir${a//\\//}")
    else
      linux_args+=("$a")
    fi
  done
  local ls=0 ws=0
  "$linux_cli" "${linux_args[@]}" >"$work/$name.linux.out" 2>"$work/$name.linux.err" || ls=$?
  wine "$win_cli" "$@" >"$work/$name.windows.out" 2>"$work/$name.windows.err" || ws=$?
  [ "$ls" = "$ws" ] || fail "$name: exit status $ls on Linux, $ws on Windows"
  if [ "$1" = "info" ] && [ "$ws" = 0 ]; then  # the first line names the file as it was given
    [ "$(head -1 "$work/$name.windows.out")" = "file	$2" ] || fail "$name: the file is not named as given"
    sed -i 1d "$work/$name.linux.out" "$work/$name.windows.out"
  fi
  cmp "$work/$name.linux.out" "$work/$name.windows.out" || fail "$name: the outputs differ"
}
compare info info "$win_dir\\lift.kv"
compare info-lf info "$win_dir\\lift-lf.kv"
compare dump dump "$win_dir\\lift.kv"
compare dump-lf dump "$win_dir\\lift-lf.kv"
compare search search "$win_dir\\lift.kv" --high 1,8
compare sequence sequence "$win_dir\\lift.kv"
compare stats stats "$win_dir\\lift.kv"
compare stats-total stats "$win_dir\\lift.kv" --type "Total On Time" --interval "15 mins" --format "S..S.SS"
compare not-a-project info "$win_dir\\script.kv"
compare missing info "$win_dir\\missing.kv"
for f in vcd csv; do
  compare "export-$f" export "$win_dir\\lift.kv" --format $f --out "$win_dir\\lift-windows.$f"
  "$linux_cli" export "$unix_dir/lift.kv" --format $f --out "$unix_dir/lift-linux.$f"
  cmp "$unix_dir/lift-linux.$f" "$unix_dir/lift-windows.$f" || fail "export $f: the files differ"
done
compare export-wide export "$win_dir\\lift.kv" --format csv --wide --from 1 --to 5 --out "$win_dir\\wide-w.csv"
"$linux_cli" export "$unix_dir/lift.kv" --format csv --wide --from 1 --to 5 --out "$unix_dir/wide-l.csv"
cmp "$unix_dir/wide-l.csv" "$unix_dir/wide-w.csv" || fail "export wide csv: the files differ"
# Text files the tool reads, with CR LF and with LF line ends: the export's
# VCD read back, and a logger log.
sed 's/$/\r/' "$unix_dir/lift-linux.vcd" >"$unix_dir/lift-crlf.vcd"
compare vcd info "$win_dir\\lift-windows.vcd"
compare vcd-crlf dump "$win_dir\\lift-crlf.vcd"
cp samples/lift-site.001 "$unix_dir/Aufzug Süd.001"
tr -d '\r' <samples/lift-site.001 >"$unix_dir/Aufzug Süd-lf.001"
compare log info "$win_dir\\Aufzug Süd.001"
compare log-lf info "$win_dir\\Aufzug Süd-lf.001"
compare log-stats stats "$win_dir\\Aufzug Süd-lf.001" --interval "15 mins"
wine "$win_cli" convert "$win_dir\\lift-lf.kv" "$win_dir\\converted-w.kv" 2>/dev/null
"$linux_cli" convert "$unix_dir/lift-lf.kv" "$unix_dir/converted-l.kv" 2>/dev/null
cmp "$unix_dir/converted-l.kv" "$unix_dir/converted-w.kv" || fail "convert: the projects differ"
grep -q $'\r$' "$unix_dir/lift-windows.csv" || fail "the CSV export has no CR LF line ends"
for name in info dump stats vcd vcd-crlf log log-lf log-stats; do
  [ -s "$work/$name.windows.out" ] || fail "$name printed nothing"
done
step "info, dump, search, sequence, stats, export and convert agree byte for byte"

# 4. A capture killed under Wine leaves its journal, which is recovered.
start_sim 10 --rate 400 --seed 7
wine "$win_cli" capture --logger 96 --port 10 --out "$win_dir\\killed.kv" 2>"$work/killed.log" &
victim=$!
journal=$unix_dir/killed.kv.journal
for _ in $(seq 300); do
  [ -f "$journal" ] && [ "$(stat -c %s "$journal")" -gt 20000 ] && break
  sleep 0.1
done
[ -f "$journal" ] && [ "$(stat -c %s "$journal")" -gt 20000 ] || fail "the killed capture's journal did not grow"
{
  kill -KILL "$victim"
  wait "$victim"
} 2>/dev/null || true
for _ in $(seq 50); do [ -z "$(pgrep -f 'korvalog-cli.exe capture' || true)" ] && break; sleep 0.1; done
[ ! -e "$unix_dir/killed.kv" ] || fail "the killed capture wrote its project"
cp "$journal" "$work/killed.journal"
wine "$win_cli" recover "$win_dir\\killed.kv.journal" --out "$win_dir\\recovered.kv" >"$work/recover.out" \
  2>"$work/recover.err" || { cat "$work/recover.err"; fail "recover under Wine"; }
[ ! -e "$journal" ] || fail "the recovered journal stayed behind"
"$linux_cli" recover "$work/killed.journal" --out "$work/recovered-linux.kv" >/dev/null 2>&1
events=$("$linux_cli" dump "$unix_dir/recovered.kv" | wc -l)
[ "$events" -gt 100 ] || fail "only $events events recovered"
cmp <("$linux_cli" dump "$unix_dir/recovered.kv") <("$linux_cli" dump "$work/recovered-linux.kv") ||
  fail "the builds recover different captures"
step "a capture killed under Wine: $events events recovered from its journal"
step "ok"
