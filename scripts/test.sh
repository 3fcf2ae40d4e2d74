#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
# usage: scripts/test.sh [--sanitize address|thread]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=$(scripts/build.sh "$@" | tail -1)
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ] && [ "$2" = "thread" ]; then
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tests/tsan-qt.supp"
fi
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 300
