#!/bin/sh
# Makes docs/window.png, the picture of the main window for the README: the
# window after a run over a chain of two triangles, drawn on the offscreen
# platform at 96 DPI.
#   scripts/make-window-picture.sh [BUILD_DIR]   (default: build)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target trilat-drive -j2 >/dev/null
mkdir -p "$top/docs"
QT_QPA_PLATFORM=offscreen "$build/tests/qt/trilat-drive" --chain 2 --grab "$top/docs/window.png"
echo "wrote $top/docs/window.png"
