#!/usr/bin/env bash
# Runs every benchmark of the build and the start-up comparison.
set -euo pipefail
build=${1:-build}
for bench in values_bench core_bench keystroke_bench pdf_bench; do
    "$build/bench/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
"$(dirname "$0")/startup.sh" "$build"
