#!/bin/sh
# Builds the program and its Debian package; prints where the package is.
#   sudo dpkg -i build/package/kv847_*.deb     install      sudo dpkg -r kv847     remove
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
BUILD_DIR="${KV847_BUILD_DIR:-build}"
rm -f "$BUILD_DIR"/package/kv847_*.deb
(cd "$BUILD_DIR" && cpack -G DEB -B "$PWD/package" >/dev/null)
rm -rf "$BUILD_DIR/package/_CPack_Packages"
ls "$BUILD_DIR"/package/kv847_*.deb
