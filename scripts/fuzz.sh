#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (address and undefined-behaviour
# sanitizers on) into build-fuzz/ and runs each for the given number of seconds.
#   scripts/fuzz.sh [SECONDS]        default 60
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-60}
BUILD="$ROOT/build-fuzz"

if [ ! -f "$BUILD/build.ninja" ]; then
    CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$BUILD" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTACHORA_LIBFUZZER=ON > "$BUILD.configure.log" 2>&1 \
        || { cat "$BUILD.configure.log"; exit 1; }
fi
TARGETS=(fuzz_link fuzz_host_records)
cmake --build "$BUILD" --parallel "$(nproc)" --target "${TARGETS[@]}"

mkdir -p "$BUILD/corpus"
for t in "${TARGETS[@]}"; do
    mkdir -p "$BUILD/corpus/$t"
    echo "fuzzing $t for $SECONDS_EACH s"
    QT_QPA_PLATFORM=offscreen "$BUILD/$t" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
        -max_len=4096 "$BUILD/corpus/$t" 2>&1 | tail -n 12
done
