#!/usr/bin/env bash
# Compiles the model library for Windows with MinGW-w64 (installed when
# missing), so that nothing platform-bound creeps into it unnoticed. Compile
# only: nothing is linked or run. The platform layers stay behind their
# _WIN32 seams (the POSIX serial port compiles to nothing there); the hidapi
# backend and the Qt targets are not part of the model library.
# usage: scripts/cross-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cxx=x86_64-w64-mingw32-g++-posix
if ! command -v "$cxx" >/dev/null; then
  echo "Installing: g++-mingw-w64-x86-64-posix"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The model library: every .cpp directly in a folder of src/ whose build adds
# its files to it.
sources=$(for list in $(grep -l korvalog_model_sources src/*/CMakeLists.txt); do
  find "$(dirname "$list")" -maxdepth 1 -name "*.cpp"
done | sort)
echo "cross-check: compiling $(echo "$sources" | wc -l) model sources with $cxx"
echo "$sources" | xargs -P2 -I{} sh -c \
  "$cxx -std=c++20 -Wall -Wextra -Isrc -DKORVALOG_VERSION_TEXT='\"cross\"' -c {} -o $out/\$(echo {} | tr / _).o" \
  || { echo "cross-check: the model library does not compile for Windows" >&2; exit 1; }
echo "cross-check: ok"
