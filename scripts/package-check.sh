#!/usr/bin/env bash
# CI: makes the packages (scripts/package.sh) and tries them as a user would.
#  1. lintian on the Debian package: no errors;
#  2. the package unpacked (dpkg-deb -x) into a temporary root: from there
#     korvalog-cli version and info on the sample, a chart picture (which
#     korvalog-cli hands to korvalog-pictures beside it), the manual pages,
#     and the window program offscreen on the sample, which must load it,
#     paint its chart and quit by itself (KORVALOG_TIMING=exit);
#  3. the Windows zip unpacked: korvalog-cli.exe version under Wine in a
#     fresh prefix, and its dump of the sample byte for byte the package's.
# Reuses build/ and build-windows/ as scripts/test.sh and
# scripts/cross-check.sh leave them.
# usage: scripts/package-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
step() { echo "package-check: $*"; }
fail() {
  echo "package-check: FAILED: $*" >&2
  exit 1
}
scripts/install-deps.sh >/dev/null
scripts/package.sh
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=$root/packages/korvalog_${version}_amd64.deb
zip=$root/packages/korvalog-cli-${version}-windows-x64.zip
step "$(basename "$deb"): $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Package Version Depends

work=$(mktemp -d)
cleanup() {
  [ -d "$work/wine" ] && WINEPREFIX=$work/wine wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# 1. lintian, errors fail (warnings are shown).
step "lintian"
lintian --fail-on error "$deb" || fail "lintian found errors"

# 2. From a temporary root.
rootfs=$work/root
dpkg-deb -x "$deb" "$rootfs"
bin=$rootfs/usr/bin
for p in korvalog korvalog-cli korvalog-pictures korvalog-sim; do [ -x "$bin/$p" ] || fail "no /usr/bin/$p"; done
[ "$("$bin/korvalog-cli" version)" = "korvalog-cli $version" ] || fail "korvalog-cli version"
[ "$("$bin/korvalog" --version)" = "korvalog $version" ] || fail "korvalog --version"
"$bin/korvalog-cli" info samples/lift-recording.kv >"$work/info.txt" || fail "korvalog-cli info"
grep -q "^events	[1-9]" "$work/info.txt" || fail "korvalog-cli info read no events"
"$bin/korvalog-cli" export samples/lift-recording.kv --format png --out "$work/chart.png" ||
  fail "the chart picture, drawn by the installed korvalog-pictures"
# The manual pages, made from --help: they name the options.
for page in "korvalog --demo-speed" "korvalog-cli korvalog-cli capture"; do
  zcat "$rootfs/usr/share/man/man1/${page%% *}.1.gz" | sed 's/\\-/-/g' | grep -qF -- "${page#* }" ||
    fail "the manual page of ${page%% *}"
done
[ -n "$(find "$rootfs/usr/share/doc/korvalog" -name '*.pdf')" ] || fail "no guide in /usr/share/doc/korvalog"
# The window program, with a home of its own (settings, journal folder).
mkdir -p -m 700 "$work/home"
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/home QT_QPA_PLATFORM=offscreen \
  KORVALOG_TIMING=exit timeout 120 "$bin/korvalog" samples/lift-recording.kv 2>"$work/window.log" ||
  { cat "$work/window.log"; fail "the window program on the sample"; }
grep -q "first-chart-paint" "$work/window.log" || fail "the window program did not paint the sample"
step "installed programs run from a temporary root"

# 3. The zip under Wine, in a prefix made for this run.
unzip -q "$zip" -d "$work/zip"
folder=$work/zip/korvalog-cli-${version}-windows-x64
[ -f "$folder/korvalog-cli.exe" ] && [ -f "$folder/README.txt" ] || fail "the zip lacks korvalog-cli.exe or README.txt"
[ -n "$(find "$folder" -maxdepth 1 -name '*.pdf')" ] || fail "the zip holds no guide"
export WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
cp samples/lift-recording.kv "$folder/"
(cd "$folder" && wine korvalog-cli.exe version 2>"$work/wine.log") | tr -d '\r' >"$work/win-version.txt" ||
  fail "korvalog-cli.exe version under Wine"
[ "$(cat "$work/win-version.txt")" = "korvalog-cli $version" ] || fail "korvalog-cli.exe version: $(cat "$work/win-version.txt")"
(cd "$folder" && wine korvalog-cli.exe dump lift-recording.kv 2>>"$work/wine.log") >"$work/dump.windows" ||
  fail "korvalog-cli.exe dump under Wine"
"$bin/korvalog-cli" dump samples/lift-recording.kv >"$work/dump.linux"
cmp "$work/dump.linux" "$work/dump.windows" || fail "the dumps of the two builds differ"
step "the zip's korvalog-cli.exe runs under a fresh Wine prefix; its dump is the Linux build's ($(wc -l <"$work/dump.linux") lines)"
step "ok"
