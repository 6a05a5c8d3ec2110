#!/usr/bin/env bash
# Sets up, builds and starts the program on a sample job (or on the job given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DQUINTAR_TESTS=OFF -DQUINTAR_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target quintar
JOB=${1:-examples/closed-traverse.qvt}
[ -f "$JOB" ] || JOB=""
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24" build/release/app/quintar $JOB
fi
exec build/release/app/quintar $JOB
