#!/usr/bin/env bash
# Builds the loaders' fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a while.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Targets: fuzz_doc (whole job files), fuzz_section (traverse section reader),
# fuzz_records (records section reader), fuzz_tools (tools section reader and every tool on what it read), fuzz_gbk (GBK decoding and line splitting), fuzz_cusprog (custom programs file), fuzz_kzd (control-point store), fuzz_custable (custom result tables file), fuzz_settings (the settings file). Findings land in build/fuzz-clang/findings/.
# Every library is built with coverage instrumentation in its own build folder, apart
# from the test build. Seeds come from the tree: tests/fuzz/corpus/<target>/ and, for
# the targets that read job files, examples/. FUZZ_RUNS=N with FUZZ_SEED=S runs each
# target N inputs from a fixed seed instead of for a time (for comparing coverage).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SECONDS_EACH=${1:-60}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(fuzz_doc fuzz_section fuzz_records fuzz_tools fuzz_gbk fuzz_cusprog fuzz_kzd fuzz_custable fuzz_settings)
BUILD=${BUILD_DIR:-$ROOT/build/fuzz-clang}
CXX_FUZZ=${CXX_FUZZ:-clang++}
JOBS=${JOBS:-$(nproc)}
# Only this script needs clang and its fuzzer runtime; CI's build does not.
if ! command -v "$CXX_FUZZ" >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  if [ "$CXX_FUZZ" = clang++ ] && command -v apt-get >/dev/null && [ "$(id -u)" = 0 ]; then
    apt-get install -y --no-install-recommends clang libclang-rt-dev >/dev/null
  fi
fi
command -v "$CXX_FUZZ" >/dev/null || { echo "fuzz.sh: $CXX_FUZZ not found (clang and libclang-rt-dev)" >&2; exit 1; }

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_CXX_COMPILER="$CXX_FUZZ" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUINTAR_FUZZ=ON -DQUINTAR_SANITIZE=ON -DQUINTAR_TESTS=OFF -DQUINTAR_BENCH=OFF >/dev/null
cmake --build "$BUILD" --target "${TARGETS[@]}" -j"$JOBS"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for t in "${TARGETS[@]}"; do
  corpus=$BUILD/corpus/$t
  findings=$BUILD/findings/$t
  mkdir -p "$corpus" "$findings"
  seeds=()
  [ -d "$ROOT/tests/fuzz/corpus/$t" ] && seeds+=("$ROOT/tests/fuzz/corpus/$t")
  case $t in fuzz_doc|fuzz_section|fuzz_records|fuzz_tools|fuzz_gbk) seeds+=("$ROOT/examples") ;; esac
  if [ -n "${FUZZ_RUNS:-}" ]; then
    limit=(-runs="$FUZZ_RUNS" -seed="${FUZZ_SEED:-1}")
    echo "== $t: $FUZZ_RUNS runs"
  else
    limit=(-max_total_time="$SECONDS_EACH")
    echo "== $t: ${SECONDS_EACH}s"
  fi
  # -rss_limit_mb / -malloc_limit_mb flag huge allocations, -timeout hangs.
  if ! "$BUILD/tests/fuzz/$t" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 \
      -malloc_limit_mb=512 -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" \
      "$corpus" "${seeds[@]}"; then
    echo "== $t: finding saved in $findings" >&2
    status=1
  fi
done
exit $status
