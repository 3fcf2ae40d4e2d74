#!/usr/bin/env bash
# Installs what is missing, builds, installs the desktop entry for the user,
# and starts Korvalog. Arguments are passed on to the program: a project or
# log file to open, or --demo for the built-in demonstration logger.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=$(scripts/build.sh | tail -1)
scripts/install-desktop.sh "$dir"
if [ -x "$dir/src/app/korvalog" ]; then
  exec "$dir/src/app/korvalog" "$@"
fi
exec "$dir/src/app/korvalog-cli" "${@:-help}"
