#!/usr/bin/env bash
# Configures and builds Vesk. Usage: build.sh BUILD_DIR DEPS [cmake arguments...] [-- targets...]
# DEPS is what install-deps.sh installs first (demo, tests or fuzz).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
deps=$2
shift 2
cmake_args=()
targets=()
while [ $# -gt 0 ]; do
    if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
    cmake_args+=("$1"); shift
done
bash "$root/scripts/install-deps.sh" "$deps"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
    "${cmake_args[@]}" >/dev/null
cmake --build "$dir" ${targets[@]+--target "${targets[@]}"}
