#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the
# program need and this machine lacks. Safe to run again.
# usage: scripts/install-deps.sh [--fuzz]
#   --fuzz: only what the fuzz targets need (clang, its libFuzzer and
#   sanitizer runtimes, llvm-symbolizer for readable crash reports).
set -euo pipefail
if [ "${1:-}" = "--fuzz" ]; then
  packages=(clang libclang-rt-14-dev llvm-14 cmake make)
else
  packages=(
    g++ cmake make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev fonts-dejavu-core
    libhidapi-dev
    qt6-svg-dev
    sigrok-cli poppler-utils
    postgresql libpq-dev
    xvfb xauth imagemagick
    libx11-dev libxtst-dev libxext-dev openbox xdotool x11-utils
    dpkg-dev file lintian help2man unzip
  )
fi
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
