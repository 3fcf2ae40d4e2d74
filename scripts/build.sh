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
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" "$@" >&2
cmake --build "$dir" -j"$(nproc)" >&2
echo "$dir"
