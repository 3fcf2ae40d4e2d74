#!/usr/bin/env bash
# Configures and builds into build/ (or build-<sanitizer>/ with --sanitize).
# usage: scripts/build.sh [--sanitize address|thread] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
args=()
if [ "${1:-}" = "--sanitize" ]; then
  dir="build-$2"
  args+=("-DKORVALOG_SANITIZE=$2" "-DKORVALOG_BENCH=OFF")
  shift 2
fi
# ccache, where installed, lets several work trees of the project share one
# compiler cache: paths below the parent folder are hashed relative to it, and
# the build folder is left out of the hash (with -g ccache would otherwise hash
# it, and no other work tree could hit). The settings ride in the launcher so
# that a later `cmake --build` of the same folder keeps them.
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  base="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
  args+=("-DCMAKE_CXX_COMPILER_LAUNCHER=env;CCACHE_BASEDIR=$base;CCACHE_NOHASHDIR=1;ccache")
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" "$@" >&2
cmake --build "$dir" -j"$(nproc)" >&2
echo "$dir"
