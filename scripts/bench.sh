#!/usr/bin/env bash
# Builds the benchmarks in a release build (build/bench) and runs every *_bench program there,
# printing one table: each benchmark's CPU time (the median where it repeats; CPU rather than
# wall time because the machine is shared) and, for the scene, the render time over the floor. Arguments go to every benchmark program, e.g.
# --benchmark_filter=Render.
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVISTREL_BENCHMARKS=ON "${launcher[@]}" >/dev/null
targets=$(cmake --build build/bench --target help | sed -n 's/^\.\.\. \([A-Za-z0-9_]*_bench\)$/\1/p')
if [ -z "$targets" ]; then
  echo "bench.sh: no *_bench targets found" >&2
  exit 1
fi
for t in $targets; do
  cmake --build build/bench -j2 --target "$t" >/dev/null
done

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for t in $targets; do
  program=$(find build/bench -name "$t" -type f -executable | head -n 1)
  "$program" --benchmark_format=console --benchmark_color=false "$@" 2>/dev/null |
    sed -n '/^BM_/p' >>"$results"
done

# Console lines read: name, real time, unit, CPU time, unit, iterations, then label or counters.
# Repeated benchmarks show only their aggregates; the median stands for them.
awk '
  function micros(t, unit) {
    return unit == "ns" ? t / 1000 : unit == "ms" ? t * 1000 : unit == "s" ? t * 1e6 : t
  }
  $1 ~ /_(mean|stddev|cv)$/ { next }
  {
    name = $1
    sub(/_median$/, "", name)
    sub(/\/repeats:[0-9]+$/, "", name)
    note = ""
    for (i = 7; i <= NF; ++i) note = note " " $i
    order[++n] = name
    time[name] = micros($4, $5)
    printf "%-40s %12.3f %s\n", name, time[name], note
  }
  BEGIN { printf "%-40s %12s  %s\n", "benchmark", "CPU (us)", "note" }
  END {
    if (("BM_Floor" in time) && ("BM_RenderScene600x206" in time))
      printf "%-40s %12.2f\n", "render/floor", time["BM_RenderScene600x206"] / time["BM_Floor"]
  }' "$results"
