#!/usr/bin/env bash
# All tests: installs what is missing, builds the fuzz harnesses with clang-14 and replays
# their saved inputs, then builds Debug with AddressSanitizer and UndefinedBehaviorSanitizer
# (warnings are errors), builds the demo data and runs ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages

# Tests run headless: EGL without a display, SDL audio into the void.
export SDL_AUDIODRIVER=dummy
export EGL_PLATFORM=surfaceless
export HANDSET_DISPLAY=headless
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "== fuzz harnesses (clang-14, libFuzzer)"
fuzz_build=$HANDSET_SOURCE/build/fuzz
CC=clang-14 CXX=clang++-14 cmake -S "$HANDSET_SOURCE" -B "$fuzz_build" -DCMAKE_BUILD_TYPE=Debug -DHANDSET_FUZZ=ON
cmake --build "$fuzz_build" -j "$HANDSET_JOBS"
for source in "$HANDSET_SOURCE"/fuzz/*.cmake; do
    [ -f "$source" ] || continue
    name=$(basename "$source" .cmake)
    corpus=$HANDSET_SOURCE/fuzz/corpus/$name
    inputs=()
    if [ -d "$corpus" ]; then
        mapfile -t inputs < <(find "$corpus" -type f | sort)
    fi
    if [ ${#inputs[@]} -eq 0 ]; then
        echo "fuzz $name: no saved inputs in fuzz/corpus/$name" >&2
        exit 1
    fi
    # Given files, a libFuzzer program runs each once and stops.
    "$fuzz_build/fuzz/fuzz_$name" "${inputs[@]}" > "$fuzz_build/fuzz_$name.log" 2>&1 ||
        { cat "$fuzz_build/fuzz_$name.log"; echo "fuzz $name: a saved input failed" >&2; exit 1; }
    echo "fuzz $name: ${#inputs[@]} saved inputs replayed"
done

echo "== Debug build with AddressSanitizer and UndefinedBehaviorSanitizer"
build=$HANDSET_SOURCE/build/debug
cmake -S "$HANDSET_SOURCE" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DHANDSET_SANITIZE=ON -DHANDSET_WERROR=ON
cmake --build "$build" -j "$HANDSET_JOBS"
build_demo_data "$build"

echo "== tests"
ctest --test-dir "$build" --output-on-failure -j "$HANDSET_JOBS" --timeout 600
