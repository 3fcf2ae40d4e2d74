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
# compiler cache (paths below the parent folder are hashed relative to it).
if command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  args+=("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(cd .. && pwd)}"
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" "$@" >&2
cmake --build "$dir" -j"$(nproc)" >&2
echo "$dir"
