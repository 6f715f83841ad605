#!/bin/sh
# Makes docs/observation-table.png, the picture of 观测数据 for the README: the
# table after a run of the four-triangle chain of the file corpus, S5 then
# typed as 300 (its triangle marked on its three sides), drawn on the
# offscreen platform at 96 DPI.
#   scripts/make-observation-table-picture.sh [BUILD_DIR]   (default: build)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cmake -S "$top" -B "$build" >/dev/null
cmake --build "$build" --target trilat-drive -j2 >/dev/null
mkdir -p "$top/docs"
QT_QPA_PLATFORM=offscreen "$build/tests/qt/trilat-drive" --answers "$top/tests/fuzz/corpus/fan4-azimuth" \
  --observations "$top/docs/observation-table.png" --edit "S5=300" 2>/dev/null
echo "wrote $top/docs/observation-table.png"
