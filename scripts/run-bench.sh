#!/usr/bin/env bash
# Builds the release preset and runs fermalux_bench and fermalux_bench_persistence, printing the median of each benchmark.
# Extra arguments go to the benchmark binary (for example --benchmark_filter=BM_dmCalcBGX).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target fermalux_bench fermalux_bench_persistence >/dev/null
for bench in fermalux_bench fermalux_bench_persistence; do
build/release/bench/$bench --benchmark_repetitions=15 --benchmark_report_aggregates_only=true \
    --benchmark_filter="${FMX_BENCH_FILTER:-.}" "$@" 2>/dev/null | grep -E '^(Benchmark|-|BM_.*_median)'
done
