#!/bin/sh
# Rebuilds the picture generator in a temporary folder and redraws every picture under resources/.
# resources/resources.qrc is kept by hand; add new pictures there too.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
cmake -S "$root/tools/iconart" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --parallel >/dev/null
QT_QPA_PLATFORM=offscreen "$build/iconart" "$root/resources"
