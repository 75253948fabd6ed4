#!/usr/bin/env bash
# Runs each libFuzzer target of fuzz/ for a bounded time (KEYPOSE_FUZZ_SECONDS, 60 by
# default) from its checked-in seed corpus, in a clang build instrumented for the fuzzer and
# built with AddressSanitizer and UndefinedBehaviorSanitizer (build-fuzz/). Fails on any
# finding; its input is kept in build-fuzz/findings/. The corpus grows in a scratch copy, so
# the checked-in seeds stay as they are.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${KEYPOSE_FUZZ_SECONDS:-60}
targets=(document_reader stored_lists messages gltf_import scripts)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKEYPOSE_FUZZ=ON -DKEYPOSE_TESTS=OFF \
    -DKEYPOSE_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]/%/_fuzzer}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p build-fuzz/findings
status=0
for target in "${targets[@]}"; do
    cp -r "fuzz/corpus/$target" "$scratch/$target"
    log=build-fuzz/$target.log
    if build-fuzz/fuzz/${target}_fuzzer -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
        "$scratch/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: $runs executions in $seconds s, no findings"
    else
        echo "$target: FINDING (build-fuzz/findings/, log $log)"
        grep -E -A30 'ERROR|runtime error|deadly signal|leak' "$log" | head -60
        status=1
    fi
done
exit $status
