#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (the fuzz programs too) in build-asan, and runs the whole test suite there. Every
# finding fails its test. Extra arguments go to ctest (e.g. -R Parser).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
jobs="${TS_JOBS:-$(nproc)}"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTS_FUZZ=ON >/dev/null
cmake --build build-asan -j"$jobs"
export QT_QPA_PLATFORM=offscreen TZ=UTC LC_ALL=C.UTF-8
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0}"
cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 300 "$@"
