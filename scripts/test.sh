#!/usr/bin/env bash
# Builds everything and runs the whole test suite. Usage: test.sh [--sanitize] [cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--sanitize" ]; then
    shift
    dir="$root/build-sanitize"
    BUILD_TYPE=Debug bash "$root/scripts/build.sh" "$dir" tests -DVESK_SANITIZE=ON \
        -DVESK_BENCHMARKS=ON "$@"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
    dir="$root/build"
    bash "$root/scripts/build.sh" "$dir" tests -DVESK_BENCHMARKS=ON "$@"
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)"
