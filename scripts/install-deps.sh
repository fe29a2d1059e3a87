#!/usr/bin/env bash
# Installs the Debian packages Vesk builds and tests with; skips what is already there.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libxml2-dev libxml2-utils
          qt6-base-dev libjpeg62-turbo-dev graphviz xvfb xauth)

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
