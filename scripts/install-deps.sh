#!/usr/bin/env bash
# Installs the Debian packages a build needs; skips what is already there.
# Usage: install-deps.sh [demo|tests|fuzz]...   (default: tests)
#   demo   what vesk, vesk-cli and the conversion modules build and run with
#   tests  that, and GoogleTest, Google Benchmark, xmllint and Chromium (report.html in a browser)
#   fuzz   that, and clang with libFuzzer
set -euo pipefail

demo=(cmake ninja-build g++ pkg-config libxml2-dev libcli11-dev nlohmann-json3-dev
      libhowardhinnant-date-dev libjpeg62-turbo-dev qt6-base-dev qt6-svg-dev graphviz
      coinor-libclp-dev zlib1g-dev)
tests=(libgtest-dev libbenchmark-dev libxml2-utils chromium)
fuzz=(clang libclang-rt-14-dev)

packages=("${demo[@]}")
[ $# -eq 0 ] && set -- tests
for build in "$@"; do
    case "$build" in
        demo) ;;
        tests) packages+=("${tests[@]}") ;;
        fuzz) packages+=("${tests[@]}" "${fuzz[@]}") ;;
        *) echo "install-deps.sh: unknown build '$build' (demo, tests, fuzz)" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq || echo "apt-get update failed; trying the install with the cached lists" >&2
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
