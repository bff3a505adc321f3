#!/bin/sh
# Configures and builds into build/ (or $KV847_BUILD_DIR).
set -e
cd "$(dirname "$0")/.."
BUILD_DIR="${KV847_BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${KV847_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
