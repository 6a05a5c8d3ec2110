#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD=${BUILD_DIR:-build/test}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Debug -DQUINTAR_SANITIZE=ON -DQUINTAR_WERROR=ON -DQUINTAR_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$JOBS"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$BUILD"
ctest --output-on-failure -j"$JOBS" "$@"
