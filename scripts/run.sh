#!/bin/sh
# Sets up, builds and starts the program. With no arguments it runs on the built-in virtual
# analyser; any arguments are passed to kv847 instead (for example --port /dev/ttyUSB0, or none at
# all with "--" to look for a real analyser).
set -e
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
BUILD_DIR="${KV847_BUILD_DIR:-build}"
if [ $# -eq 0 ]; then
    set -- --demo
elif [ "$1" = "--" ]; then
    shift
fi
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
    echo "No display found; starting under xvfb-run." >&2
    exec xvfb-run -a "$BUILD_DIR/kv847" "$@"
fi
exec "$BUILD_DIR/kv847" "$@"
