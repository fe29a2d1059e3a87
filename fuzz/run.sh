#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each on its seed corpus.
# Usage: fuzz/run.sh [--seconds N] [HARNESS...]   (default 60 seconds, every harness)
# A crash, a sanitizer report, a timeout or running out of memory ends the run with an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
harnesses=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        *) harnesses+=("$1"); shift ;;
    esac
done
# Every fuzz_*.cpp is a harness, as fuzz/CMakeLists.txt finds them.
if [ ${#harnesses[@]} -eq 0 ]; then
    for source in "$root"/fuzz/fuzz_*.cpp; do
        name=$(basename "$source" .cpp)
        harnesses+=("${name#fuzz_}")
    done
fi

bash "$root/scripts/install-deps.sh" fuzz
build="$root/build-fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVESK_FUZZ=ON -DVESK_BUILD_TESTS=OFF -DVESK_GUI=OFF >/dev/null
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for h in "${harnesses[@]}"; do
    # New inputs go to a scratch copy; the seeds in the repository stay as they are.
    work=$(mktemp -d)
    cp "$root/fuzz/corpus/$h/"* "$work/"
    echo "== fuzz_$h: $seconds s" >&2
    status=0
    (cd "$work" && "$build/bin/fuzz_$h" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -max_len=65536 -dict="$root/fuzz/xml.dict" -print_final_stats=1 \
        "$work" >"$work.log" 2>&1) || status=$?
    grep -E '^stat::number_of_executed_units|^#[0-9]+ +DONE' "$work.log" >&2 || true
    if [ "$status" -ne 0 ]; then
        failed+=("$h")
        tail -n 60 "$work.log" >&2
        # Keep what made it fail where CI shows it.
        mkdir -p "$root/build-fuzz/artifacts/$h"
        cp "$work"/crash-* "$work"/timeout-* "$work"/oom-* "$root/build-fuzz/artifacts/$h/" \
            2>/dev/null || true
    fi
    rm -rf "$work" "$work.log"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found problems in: ${failed[*]}" >&2
    exit 1
fi
echo "every fuzzer ran $seconds s without a finding" >&2
