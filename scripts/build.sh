#!/bin/sh
# Configures and builds into build/ (or $KV847_BUILD_DIR). Uses ccache when it is installed.
set -e
cd "$(dirname "$0")/.."
BUILD_DIR="${KV847_BUILD_DIR:-build}"
LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${KV847_BUILD_TYPE:-RelWithDebInfo}" $LAUNCHER >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
