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

# The translations: found in the installation itself, seen from a work folder of its own, with no
# .qm file where the program is started or works. Then again with the installed folder gone.
qmdir=$(cd "$root/usr/share/kv847/translations" 2>/dev/null && pwd -P)
for lang in eng ru; do
    [ -s "$qmdir/KV847_$lang.qm" ] || fail "not installed: share/kv847/translations/KV847_$lang.qm"
done
mkdir -p "$scratch/work"
for d in "$scratch/terminal" "$scratch/work"; do
    ! ls "$d"/*.qm >/dev/null 2>&1 || fail "a .qm file in $d spoils the check"
done
(cd "$scratch/terminal" && HOME=$home QT_QPA_PLATFORM=offscreen \
    timeout 20 "$root/usr/bin/kv847" --workdir "$scratch/work" --translations >"$scratch/tr.log" 2>&1)
rc=$?
[ $rc -eq 0 ] || fail "kv847 --translations ended with $rc: $(cat "$scratch/tr.log")"
grep -Fqx "KV847_ru: $qmdir/KV847_ru.qm" "$scratch/tr.log" ||
    fail "the Russian translation is not taken from $qmdir: $(cat "$scratch/tr.log")"
mv "$root/usr/share/kv847/translations" "$scratch/translations.away"
(cd "$scratch/terminal" && HOME=$home QT_QPA_PLATFORM=offscreen \
    timeout 20 "$root/usr/bin/kv847" --workdir "$scratch/work" --translations >"$scratch/tr-gone.log" 2>&1)
gone=$(grep "^KV847_ru: " "$scratch/tr-gone.log")
case $gone in
"KV847_ru: not found in "*"$qmdir"*) ;;
"KV847_ru: $qmdir/"*) fail "with the folder gone it still names it: $gone" ;;
"KV847_ru: /"*) ;; # another installation of this machine's own prefix
*) fail "with the folder gone it does not say it looked there: $(cat "$scratch/tr-gone.log")" ;;
esac
mv "$scratch/translations.away" "$root/usr/share/kv847/translations"

[ $fails -eq 0 ] && echo "install check passed"
exit $fails
