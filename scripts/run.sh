#!/usr/bin/env bash
# Installs what is missing, builds, and starts Korvalog. Arguments are passed
# on to the program (a project or log file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=$(scripts/build.sh | tail -1)
if [ -x "$dir/src/app/korvalog" ]; then
  exec "$dir/src/app/korvalog" "$@"
fi
exec "$dir/src/app/korvalog-cli" "${@:-help}"
