#!/bin/sh
# Builds the screenshot tool and makes every picture in English and in Russian:
#   tools/shots/shots.sh [OUTDIR]    (default /tmp/kv847-shots; pictures in OUTDIR/en and OUTDIR/ru)
set -e
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="$(realpath -m "${1:-/tmp/kv847-shots}")"
cmake --build "$root/build" --target kv847-shots kv847_translations -j2 >/dev/null
cd "$root/build"
for lang in en ru; do
    rm -rf "$out/$lang"
    if [ "$lang" = ru ]; then flag=--ru; else flag=; fi
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ./tools/shots/kv847-shots "$out/$lang" $flag
done
echo "pictures in $out/en and $out/ru"
