#!/usr/bin/env bash
# Builds Vistrel's two programs and their manual pages (all that `cpack -G DEB` or
# `cmake --install` then needs), says where they are, and runs the viewer. Without a display, it
# runs under a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVISTREL_BENCHMARKS=OFF -DVISTREL_TESTS=OFF
cmake --build build/release -j "$(nproc)"

viewer=build/release/app/vistrel
renderer=build/release/tools/vistrel-render/vistrel-render
echo "Built the viewer: $viewer"
echo "Built the render tool: $renderer (try: $renderer --help)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: running Vistrel on a virtual one (xvfb-run); stop it with Ctrl-C."
  exec xvfb-run -a "$viewer"
fi
exec "$viewer"
