#!/bin/sh
# Builds every libFuzzer harness with clang into build-fuzz/ (or $KV847_FUZZ_DIR), writes the seed
# inputs from real ones and runs each harness for the given number of seconds (default 60), one after
# the other. Usage: scripts/fuzz.sh [seconds] [target...]
# New inputs found go to build-fuzz/corpus/<target>/, crashes to build-fuzz/crashes/; the script ends
# with status 1 when any harness failed.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
SECONDS_EACH="${1:-60}"
# Each harness stops an input over its own limit of CPU time (fuzz/fuzzcommon.h), whatever the
# priority and the load. This limit of wall time is only the last resort, for an input that waits
# without using the CPU; generous, as the harnesses run at the lowest priority, which on a busy machine
# may wait seconds for a core.
TIMEOUT="${KV847_FUZZ_TIMEOUT:-60}"
[ $# -gt 0 ] && shift
./scripts/deps.sh
if ! command -v clang++ >/dev/null 2>&1 || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    echo "Installing clang and its fuzzer runtime"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
BUILD_DIR="${KV847_FUZZ_DIR:-build-fuzz}"
LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
CXX=clang++ cmake -S . -B "$BUILD_DIR" -DKV847_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo $LAUNCHER \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build "$BUILD_DIR" --target fuzz_all -j"$(nproc)"
cd "$BUILD_DIR"
targets="$*"
[ -z "$targets" ] && targets=$(cat fuzz/targets.txt)
rm -rf seeds
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 ./fuzz/fuzz_seeds seeds >/dev/null
mkdir -p crashes
# Qt's own one-time allocations are not ours; see the file.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-qt.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=""
for t in $targets; do
    mkdir -p "corpus/$t" "seeds/$t"
    dict=""
    [ -f "$root/fuzz/${t#fuzz_}.dict" ] && dict="-dict=$root/fuzz/${t#fuzz_}.dict"
    # A .refl file with every pair measured is 18 kB, a report tree with one of its pictures up to
    # 28 kB; everything else fits libFuzzer's default.
    maxlen=4096
    [ "$t" = fuzz_reflfile ] && maxlen=20000
    [ "$t" = fuzz_reportfolders ] && maxlen=32768
    echo "== $t, $SECONDS_EACH s"
    if ! QT_QPA_PLATFORM=offscreen nice -n 19 "./fuzz/$t" $dict -max_total_time="$SECONDS_EACH" -timeout=$TIMEOUT \
        -rss_limit_mb=2048 -max_len=$maxlen -print_final_stats=1 -artifact_prefix="$PWD/crashes/$t-" \
        "corpus/$t" "seeds/$t" 2>"$t.log"; then
        failed="$failed $t"
    fi
    grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^(==|SUMMARY|broken)" "$t.log" || true
done
if [ -n "$failed" ]; then
    echo "failed:$failed (logs in $BUILD_DIR/<target>.log, inputs in $BUILD_DIR/crashes/)"
    exit 1
fi
