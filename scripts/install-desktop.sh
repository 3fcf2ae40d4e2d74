#!/usr/bin/env bash
# Installs the desktop entry, the icon and the file types (projects *.kv,
# logger logs *.0??) for the current user, pointing at the program built in
# build/, so that a double click on a project opens it in Korvalog. The same
# files go into the Debian package (src/app/qt/CMakeLists.txt). Safe to run
# again.
# usage: scripts/install-desktop.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
share="${XDG_DATA_HOME:-$HOME/.local/share}"
mkdir -p "$share/applications" "$share/mime/packages" "$share/icons/hicolor/scalable/apps"
sed "s|@KORVALOG_EXEC@|$build/src/app/korvalog|" data/korvalog.desktop.in >"$share/applications/korvalog.desktop"
cp data/korvalog-mime.xml "$share/mime/packages/korvalog.xml"
cp data/korvalog.svg "$share/icons/hicolor/scalable/apps/korvalog.svg"
# The desktop's caches, where its tools are installed.
command -v update-mime-database >/dev/null && update-mime-database "$share/mime" >/dev/null 2>&1 || true
command -v update-desktop-database >/dev/null && update-desktop-database "$share/applications" >/dev/null 2>&1 || true
command -v xdg-mime >/dev/null &&
  xdg-mime default korvalog.desktop application/x-korvalog-project application/x-korvalog-logger-log >/dev/null 2>&1 ||
  true
exit 0
