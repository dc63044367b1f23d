#!/usr/bin/env bash
# The fuzzers: builds every harness of fuzz/ with clang-14 and libFuzzer, replays its saved
# inputs, then fuzzes each harness (or only those named) for FUZZ_SECONDS seconds (default 60),
# growing its corpus in build/fuzz/corpus/<name> (copy what is worth keeping into fuzz/corpus/).
#   scripts/fuzz.sh [harness ...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages

build=$HANDSET_SOURCE/build/fuzz
CC=clang-14 CXX=clang++-14 cmake -S "$HANDSET_SOURCE" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DHANDSET_FUZZ=ON
cmake --build "$build" -j "$HANDSET_JOBS"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for source in "$HANDSET_SOURCE"/fuzz/*.cmake; do names+=("$(basename "$source" .cmake)"); done
fi
seconds=${FUZZ_SECONDS:-60}
for name in "${names[@]}"; do
    program=$build/fuzz/fuzz_$name
    if [ ! -x "$program" ]; then
        echo "fuzz: there is no harness named $name" >&2
        exit 1
    fi
    saved=$HANDSET_SOURCE/fuzz/corpus/$name
    grown=$build/corpus/$name
    mkdir -p "$grown"
    echo "== fuzz $name: $seconds s"
    "$program" -max_total_time="$seconds" "$grown" "$saved"
done
