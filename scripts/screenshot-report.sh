#!/usr/bin/env bash
# Exports the example's process 1 with report.html and photographs the page in headless
# Chromium (Debian's chromium package), with one place chosen: docs/report.png; and, when the
# public logs lie beside the project, the inductive net of bpic2012: docs/report-inductive.png,
# and the Map and Variants views of bpic2012's report: docs/report-map.png, report-variants.png,
# and the Resources view of helpdesk's: docs/report-resources.png.
# Usage: screenshot-report.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
command -v chromium >/dev/null || {
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get install -y -qq --no-install-recommends chromium >/dev/null
}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$build/bin/vesk-cli" mine "$root/data/example_log.xml" --process 1 --out "$out" --report -q >/dev/null
photograph() {  # PAGE PNG
    local profile
    profile=$(mktemp -d -p "$out")
    chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --hide-scrollbars --window-size=1400,900 \
        --screenshot="$2" "file://$1" 2>/dev/null
    echo "wrote $2"
}
photograph "$out/report.html#Place6" "$root/docs/report.png"
bpic2012="$root/../shared/data/xes/bpic2012.xes.gz"
if [ -f "$bpic2012" ]; then
    mkdir -p "$out/inductive"
    "$build/bin/vesk-cli" mine "$bpic2012" --construction inductive --out "$out/inductive" \
        --report -q >/dev/null
    photograph "$out/inductive/report.html#Place5" "$root/docs/report-inductive.png"
    mkdir -p "$out/map"
    "$build/bin/vesk-cli" mine "$bpic2012" --out "$out/map" --report -q >/dev/null
    photograph "$out/map/report.html#map" "$root/docs/report-map.png"
    photograph "$out/map/report.html#variants" "$root/docs/report-variants.png"
fi
helpdesk="$root/../shared/data/xes/helpdesk.xes.gz"
if [ -f "$helpdesk" ]; then
    mkdir -p "$out/helpdesk"
    "$build/bin/vesk-cli" mine "$helpdesk" --out "$out/helpdesk" --report -q >/dev/null
    photograph "$out/helpdesk/report.html#resources" "$root/docs/report-resources.png"
fi
