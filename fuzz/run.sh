#!/bin/sh
# Builds the libFuzzer targets with clang in build/libfuzzer and runs each in turn for
# FUZZ_SECONDS seconds (default 60). Usage: fuzz/run.sh [TARGET...] (default: all).
#
# The committed corpus of a target is read but never written: new inputs go to
# build/libfuzzer/corpus/TARGET, which libFuzzer fills because it comes first. Crashes land
# in build/libfuzzer/artifacts/TARGET. FUZZ_FLAGS adds libFuzzer options, for example
# FUZZ_FLAGS="-jobs=1 -workers=1" (output then goes to build/libfuzzer/logs/TARGET).
# Exits non-zero when any target found a crash or did not run.
set -eu

cd "$(dirname "$0")/.."
root=$(pwd)
seconds=${FUZZ_SECONDS:-60}
# Not build/fuzz: that is where the main build keeps this folder's replay programs.
build=build/libfuzzer
jobs=${JOBS:-$(nproc)}
targets=${*:-parse_number format_by_pattern money_field quantity_field ini_read ini_roundtrip text_area_read}

for tool in clang clang++ cmake ninja; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "Missing $tool. Run: sudo apt-get install -y clang libclang-rt-dev cmake ninja-build" >&2
        exit 1
    fi
done

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUILVERN_WITH_QT=OFF -DQUILVERN_FUZZ=ON
fi
cmake --build "$build" --target fuzz_targets -j "$jobs"

# The settings file is flushed with fsync on every input; on a memory file system that
# costs nothing, on a disk it would be most of the run.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

failed=""
for target in $targets; do
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    logs="$build/logs/$target"
    mkdir -p "$corpus" "$artifacts" "$logs"
    echo "== $target: ${seconds}s"
    # -jobs writes fuzz-N.log into the working directory, so run from the log folder.
    if ! (cd "$logs" && "$root/$build/fuzz/fuzz_$target" \
            "$root/$corpus" "$root/fuzz/$target/corpus" \
            -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
            -artifact_prefix="$root/$artifacts/" -print_final_stats=1 ${FUZZ_FLAGS:-}); then
        failed="$failed $target"
    fi
done

if [ -n "$failed" ]; then
    echo "Fuzzing found problems in:$failed (see $build/artifacts)" >&2
    exit 1
fi
echo "No crashes."
