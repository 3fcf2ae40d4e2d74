#!/usr/bin/env bash
# Makes the packages into packages/, both by CPack from the builds' install
# rules: the Debian package korvalog_VERSION_amd64.deb from the Linux build
# (build/), and the Windows zip korvalog-cli-VERSION-windows-x64.zip from the
# MinGW build (build-windows/, as scripts/cross-check.sh makes it), which
# carries the guide the Debian package holds. Builds what is missing.
# usage: scripts/package.sh [deb|zip]   (both when not told)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
want=${1:-both}
case $want in deb | zip | both) ;; *)
  echo "usage: scripts/package.sh [deb|zip]" >&2
  exit 2
  ;;
esac
out=$root/packages
mkdir -p "$out"
step() { echo "package: $*"; }

args=()
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  args+=("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache" "-DCMAKE_C_COMPILER_LAUNCHER=ccache")
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
fi

# The Debian package. Its files come from the whole build (the install rules
# name the programs, the guide and the manual pages).
step "building in build/"
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
fi
cmake --build build -j"$(nproc)" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=$out/korvalog_${version}_amd64.deb
if [ "$want" != zip ]; then
  rm -f "$deb"
  (cd build && cpack -G DEB -B "$out" >/dev/null)
  rm -rf "$out/_CPack_Packages"
  [ -f "$deb" ] || { echo "package: cpack made no $deb" >&2; exit 1; }
  step "$deb"
fi
[ "$want" = deb ] && exit 0

# The Windows zip: korvalog-cli.exe built as scripts/cross-check.sh builds
# it, with the Debian package's guide.
[ -f "$deb" ] || { echo "package: the zip takes its guide from $deb; run scripts/package.sh deb first" >&2; exit 1; }
win=build-windows
mkdir -p "$win/package"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
guide=$(find "$unpacked/usr/share/doc/korvalog" -name '*.pdf' | head -1)
[ -n "$guide" ] || { echo "package: the Debian package holds no guide" >&2; exit 1; }
cp "$guide" "$win/package/"
step "building korvalog-cli.exe in $win/"
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DKORVALOG_GUI=OFF -DKORVALOG_BENCH=OFF -DKORVALOG_GTEST_SOURCE=/usr/src/googletest \
  -DKORVALOG_GUIDE_PDF="$root/$win/package/$(basename "$guide")" "${args[@]}" >/dev/null
cmake --build "$win" -j"$(nproc)" --target korvalog-cli >/dev/null
zip=$out/korvalog-cli-${version}-windows-x64.zip
rm -f "$zip"
(cd "$win" && cpack -G ZIP -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
[ -f "$zip" ] || { echo "package: cpack made no $zip" >&2; exit 1; }
step "$zip"
