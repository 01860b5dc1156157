#!/usr/bin/env bash
# Builds Vistrel and runs it. Without a display, it runs under a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVISTREL_BENCHMARKS=OFF
cmake --build build/release -j "$(nproc)" --target vistrel

program=build/release/app/vistrel
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: running Vistrel on a virtual one (xvfb-run); stop it with Ctrl-C."
  exec xvfb-run -a "$program"
fi
exec "$program"
