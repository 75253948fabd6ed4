#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds and runs every test, first in a
# normal build (build/), then under AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan/), then runs each fuzz target for a bounded time (scripts/fuzz.sh,
# build-fuzz/). Fails when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t packages < <(grep -v '^\s*#' scripts/packages.txt | grep -v '^\s*$')
bash scripts/ensure-packages.sh "${packages[@]}"
jobs=$(nproc)
# The Khronos glTF validator (an npm package run by Node) checks the glTF export of every
# example; it is installed once into .cache/ (npm comes with Node.js from some sources, from
# Debian's npm package otherwise).
command -v npm >/dev/null || bash scripts/ensure-packages.sh npm
export KEYPOSE_GLTF_VALIDATOR="$PWD/.cache/gltf-validator/node_modules"
if [ ! -d "$KEYPOSE_GLTF_VALIDATOR/gltf-validator" ]; then
    npm install --prefix "$PWD/.cache/gltf-validator" --no-audit --no-fund --loglevel=error \
        gltf-validator@2.0.0-dev.3.10
fi

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DKEYPOSE_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs"
}

echo "== normal build"
run_suite build
echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
# Mesa's software rasterizer draws on the test's own thread: LeakSanitizer's stop-the-world
# can fail on its worker threads.
LP_NUM_THREADS=0 ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
    run_suite build-asan -DKEYPOSE_SANITIZE=ON -DKEYPOSE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug
echo "== libFuzzer targets, AddressSanitizer + UndefinedBehaviorSanitizer"
bash scripts/fuzz.sh
