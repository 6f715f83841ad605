#!/bin/sh
# Makes docs/network.png, the picture of the window 网图 for the README: the
# drawing after a run over a generated chain of ten triangles with 5 mm of
# side noise, drawn on the offscreen platform at 96 DPI.
#   scripts/make-network-picture.sh [BUILD_DIR]   (default: build)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target trilat-network-picture -j2 >/dev/null
mkdir -p "$top/docs"
QT_QPA_PLATFORM=offscreen "$build/tests/qt/trilat-network-picture" "$top/docs/network.png"
echo "wrote $top/docs/network.png"
