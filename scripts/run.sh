#!/usr/bin/env bash
# Builds Vistrel and runs it. Without a display, it runs under a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DVISTREL_BENCHMARKS=OFF
cmake --build build/release -j "$(nproc)"

mkdir -p out
build/release/tools/vistrel-render/vistrel-render --seed 1 --scale 2 -o out/seed-1.png
echo "Wrote out/seed-1.png"
