#!/bin/sh
# Installs the build into a scratch DESTDIR and checks what a user gets from it.
#   installcheck.sh BUILD_DIR SCRATCH_DIR
set -u
build=$1
scratch=$2
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

rm -rf "$scratch"
mkdir -p "$scratch"
root=$scratch/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$scratch/install.log" 2>&1 || fail "cmake --install: $(tail -3 "$scratch/install.log")"

for f in bin/kv847 bin/kv847-sim share/applications/kv847.desktop lib/udev/rules.d/60-kv847.rules \
    share/metainfo/org.kv847.kv847.metainfo.xml \
    share/icons/hicolor/16x16/apps/kv847.png share/icons/hicolor/48x48/apps/kv847.png \
    share/icons/hicolor/256x256/apps/kv847.png; do
    [ -s "$root/usr/$f" ] || fail "not installed: $f"
done
[ -x "$root/usr/bin/kv847" ] || fail "kv847 is not executable"

version=$("$root/usr/bin/kv847" --version 2>&1)
case $version in
*" 1."*) ;;
*) fail "kv847 --version said: $version" ;;
esac

grep -q 'ATTR{latency_timer}="1"' "$root/usr/lib/udev/rules.d/60-kv847.rules" || fail "udev rule sets no 1 ms latency"
grep -q '^Exec=kv847 ' "$root/usr/share/applications/kv847.desktop" || fail "desktop entry does not start kv847"
if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$root/usr/share/applications/kv847.desktop" || fail "desktop entry does not validate"
fi
if command -v appstreamcli >/dev/null 2>&1; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/org.kv847.kv847.metainfo.xml" >"$scratch/appstream.log" 2>&1 ||
        fail "metainfo does not validate: $(cat "$scratch/appstream.log")"
fi

# The folder the installed program works in: start it, watch its current directory, stop it.
# Columns: where it is started, its options, the folder it must work in.
home=$scratch/home
mkdir -p "$home" "$scratch/terminal"
runs="$scratch/terminal|--demo|$scratch/terminal
$scratch/terminal|--demo --workdir made/here|$scratch/terminal/made/here
$scratch/terminal|--demo --desktop|$home/Documents/KV847
/|--demo|$home/Documents/KV847"
echo "$runs" | while IFS='|' read -r start opts want; do
    rm -rf "$home/Documents"
    # shellcheck disable=SC2086
    (cd "$start" && HOME=$home XDG_CONFIG_HOME=$home/.config QT_QPA_PLATFORM=offscreen \
        exec "$root/usr/bin/kv847" $opts >"$scratch/run.log" 2>&1) &
    pid=$!
    seen=""
    i=0
    while [ $i -lt 100 ]; do
        seen=$(readlink "/proc/$pid/cwd" 2>/dev/null)
        # Watch a second at least: a program started where it must work would pass at once.
        [ "$seen" = "$want" ] && [ $i -ge 10 ] && break
        i=$((i + 1))
        sleep 0.1
    done
    kill -TERM $pid 2>/dev/null
    wait $pid 2>/dev/null
    [ "$seen" = "$want" ] || { echo "FAIL: from $start with $opts it worked in '$seen', not $want"; exit 1; }
    if [ "$want" != "$home/Documents/KV847" ] && [ -e "$home/Documents/KV847" ]; then
        echo "FAIL: from $start with $opts it made $home/Documents/KV847"
        exit 1
    fi
done || fails=$((fails + 1))

# A --workdir that cannot be made ends the program with a message instead of working elsewhere.
touch "$scratch/a-file"
QT_QPA_PLATFORM=offscreen timeout 20 "$root/usr/bin/kv847" --demo --workdir "$scratch/a-file/sub" >"$scratch/bad.log" 2>&1
rc=$?
[ $rc -eq 1 ] || fail "kv847 with a --workdir it cannot make ended with $rc, not 1"
grep -q "a-file/sub" "$scratch/bad.log" || fail "no message about the folder: $(cat "$scratch/bad.log")"

[ $fails -eq 0 ] && echo "install check passed"
exit $fails
