#!/usr/bin/env bash
# Times start-up to the first paint of the window, for the real window and for a bare
# Qt window that only shows itself, interleaved in one run, with their peak memory.
# Usage: bench/startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-21}
probe="$build/bench/startup_probe"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

measure() {  # prints "milliseconds kib"
    local start end kib
    start=$(date +%s%N)
    read -r end kib < <("$probe" "$1" 2>/dev/null)
    echo "$(( (end - start) / 1000 )) $kib" | awk '{printf "%.2f %d\n", $1 / 1000, $2}'
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

"$probe" bare > /dev/null 2>&1; "$probe" real > /dev/null 2>&1   # warm the caches
: > /tmp/quilvern-startup-bare; : > /tmp/quilvern-startup-real
for _ in $(seq "$runs"); do
    measure bare >> /tmp/quilvern-startup-bare
    measure real >> /tmp/quilvern-startup-real
done
bare_ms=$(cut -d' ' -f1 /tmp/quilvern-startup-bare | median)
real_ms=$(cut -d' ' -f1 /tmp/quilvern-startup-real | median)
bare_kib=$(cut -d' ' -f2 /tmp/quilvern-startup-bare | median)
real_kib=$(cut -d' ' -f2 /tmp/quilvern-startup-real | median)
awk -v bt="$bare_ms" -v rt="$real_ms" -v bm="$bare_kib" -v rm="$real_kib" -v n="$runs" 'BEGIN {
    printf "start-up to first paint, median of %d runs (%s)\n", n, ENVIRON["QT_QPA_PLATFORM"]
    printf "  bare Qt window: %7.1f ms  %6.1f MB peak\n", bt, bm / 1024
    printf "  Quilvern:       %7.1f ms  %6.1f MB peak\n", rt, rm / 1024
    printf "  ratio:          %7.2f x   %6.2f x\n", rt / bt, rm / bm
}'
