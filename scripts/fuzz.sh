#!/usr/bin/env bash
# Builds the loaders' fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a while.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Targets: fuzz_doc (whole job files), fuzz_section (traverse section reader),
# fuzz_records (records section reader), fuzz_tools (tools section reader and every tool on what it read), fuzz_gbk (GBK decoding and line splitting), fuzz_cusprog (custom programs file), fuzz_kzd (control-point store), fuzz_custable (custom result tables file). Findings land in build/fuzz-clang/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SECONDS_EACH=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(fuzz_doc fuzz_section fuzz_records fuzz_tools fuzz_gbk fuzz_cusprog fuzz_kzd fuzz_custable)
BUILD=${BUILD_DIR:-$ROOT/build/fuzz-clang}
CXX_FUZZ=${CXX_FUZZ:-clang++}
command -v "$CXX_FUZZ" >/dev/null || { echo "fuzz.sh: $CXX_FUZZ not found (clang and libclang-rt-dev)" >&2; exit 1; }

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_CXX_COMPILER="$CXX_FUZZ" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUINTAR_FUZZ=ON -DQUINTAR_SANITIZE=ON -DQUINTAR_TESTS=OFF -DQUINTAR_BENCH=OFF >/dev/null
cmake --build "$BUILD" --target "${TARGETS[@]}" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
SEEDS=$BUILD/tests/fuzz/seeds
status=0
for t in "${TARGETS[@]}"; do
  corpus=$BUILD/corpus/$t
  findings=$BUILD/findings/$t
  mkdir -p "$corpus" "$findings"
  echo "== $t: ${SECONDS_EACH}s"
  # -rss_limit_mb / -malloc_limit_mb flag huge allocations, -timeout hangs.
  if ! "$BUILD/tests/fuzz/$t" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "$SEEDS"; then
    echo "== $t: finding saved in $findings" >&2
    status=1
  fi
done
exit $status
