#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for a bounded time, one after the
# other: FUZZ_SECONDS each (60 unless set). Any finding fails the run and leaves its input in
# build/fuzz/findings/. What a run learns goes to build/fuzz/corpus/; the committed seeds in
# fuzz/corpus/ are only read.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
build=build/fuzz
harnesses=(primitives generators render_options)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DVISTREL_FUZZ=ON >/dev/null
cmake --build "$build" -j "${FUZZ_JOBS:-$(nproc)}" --target "${harnesses[@]/%/_fuzzer}"

mkdir -p "$build/findings" "$build/logs"
for harness in "${harnesses[@]}"; do
  mkdir -p "$build/corpus/$harness"
  log="$build/logs/$harness.log"
  # -timeout bounds one input (a few dozen calls); the harnesses bound each call themselves.
  if ! "$build/fuzz/${harness}_fuzzer" -max_total_time="$seconds" -timeout=10 -max_len=1024 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$harness-" \
      "$build/corpus/$harness" "fuzz/corpus/$harness" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $harness found a fault; the input is in $build/findings/" >&2
    exit 1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  echo "fuzz: $harness ran $runs inputs in $seconds s without a finding"
done
