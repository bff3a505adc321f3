#!/bin/sh
# Builds the whole test suite with AddressSanitizer (leak detection on) and UndefinedBehaviorSanitizer
# in its own folder, build-asan/ (or $KV847_ASAN_DIR), and runs it. Any finding fails its test.
# The normal build/ is not touched.
set -e
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/deps.sh
BUILD_DIR="${KV847_ASAN_DIR:-build-asan}"
LAUNCHER=""
command -v ccache >/dev/null 2>&1 && LAUNCHER="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo $LAUNCHER \
    -DCMAKE_CXX_FLAGS="$SAN" -DCMAKE_EXE_LINKER_FLAGS="$SAN" -DCMAKE_SHARED_LINKER_FLAGS="$SAN" \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DKV847_TEST_TIMEOUT=900 >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
# Tests that time real intervals skip themselves in this slower build.
export KV847_SANITIZED=1
# Full stacks (the slow unwinder) so that the suppressions below match only Qt's own allocations.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Only allocations made inside Qt's own libraries are suppressed; see the file for each entry.
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-qt.supp:print_suppressions=0"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
