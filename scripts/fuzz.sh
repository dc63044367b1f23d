#!/usr/bin/env bash
# The fuzzers: builds the harnesses of fuzz/ (all, or only those named) with clang-14 and
# libFuzzer in build/fuzz (configured once, with ccache when there is one), then runs each for
# FUZZ_SECONDS seconds (default 60), starting from its saved inputs in fuzz/corpus/<name>
# (every one is run first) and growing its corpus in build/fuzz/corpus/<name> (copy what is
# worth keeping into fuzz/corpus/). An input that crashes, leaks or hangs a harness is kept as
# build/fuzz/artifacts/<name>/crash-... (leak-..., timeout-...); the other harnesses still run,
# and the script fails at the end naming those that found something. Each harness gets a
# temporary folder of its own (TMPDIR) under build/fuzz/tmp, removed after its run.
#   scripts/fuzz.sh [harness ...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages

# The harnesses are the names listed in fuzz/Harnesses.cmake.
mapfile -t listed < <(sed -n 's/^handset_fuzz(\([A-Za-z0-9_]*\).*/\1/p' "$HANDSET_SOURCE/fuzz/Harnesses.cmake")
names=("$@")
if [ ${#names[@]} -eq 0 ]; then names=("${listed[@]}"); fi
targets=()
for name in "${names[@]}"; do
    if ! printf '%s\n' "${listed[@]}" | grep -qx -- "$name"; then
        echo "fuzz: there is no harness named $name" >&2
        exit 1
    fi
    targets+=("fuzz_$name")
done

# A configured build folder reconfigures itself when a CMakeLists.txt changes.
build=$HANDSET_SOURCE/build/fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
    launcher=()
    if command -v ccache > /dev/null; then
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    CC=clang-14 CXX=clang++-14 cmake -S "$HANDSET_SOURCE" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DHANDSET_FUZZ=ON \
        "${launcher[@]}"
fi
cmake --build "$build" -j "$HANDSET_JOBS" --target "${targets[@]}"

seconds=${FUZZ_SECONDS:-60}
found=()
for name in "${names[@]}"; do
    grown=$build/corpus/$name
    artifacts=$build/artifacts/$name
    temporary=$build/tmp/$name
    rm -rf "$temporary"
    mkdir -p "$grown" "$artifacts" "$temporary"
    echo "== fuzz $name: $seconds s"
    if ! TMPDIR=$temporary "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -artifact_prefix="$artifacts/" \
        "$grown" "$HANDSET_SOURCE/fuzz/corpus/$name"; then
        found+=("$name")
    fi
    rm -rf "$temporary"
    rmdir "$artifacts" 2> /dev/null || true
done
if [ ${#found[@]} -gt 0 ]; then
    echo "fuzz: found a fault in ${found[*]} (inputs in $build/artifacts/)" >&2
    exit 1
fi
echo "== fuzz: ${#names[@]} harnesses, nothing found"
