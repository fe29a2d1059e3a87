#!/usr/bin/env bash
# Builds what the demo needs (vesk-cli and the conversion modules, no tests) and runs Vesk's
# main job on the bundled example log: relations, net, replay, the export with pictures and
# report.html, and the process map.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-demo"
bash "$root/scripts/build.sh" "$build" demo -DVESK_BUILD_TESTS=OFF -- vesk vesk-cli csv2xml eventlog2xml
cli="$build/bin/vesk-cli"
log="$build/bin/example_log.xml"
out="$build/example-export"
echo "\$ vesk-cli processes example_log.xml"
"$cli" processes "$log"
echo
echo "\$ vesk-cli mine example_log.xml --process 1 --out example-export --render"
"$cli" mine "$log" --process 1 --out "$out" --render --report
echo
echo "\$ vesk-cli map example_log.xml --process 1 --paths 50 --variants 3"
"$cli" map "$log" --process 1 --paths 50 --variants 3
echo
echo "\$ vesk-cli mine example_log.xml --process 2"
"$cli" mine "$log" --process 2
echo
echo "Exported files: $out (open report.html or Default.htm)"
# The window, on the example log, where there is a display to show it on.
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Starting the window: $build/bin/vesk $log"
    "$build/bin/vesk" "$log" &
else
    echo "No display here: start the window with $build/bin/vesk $log"
fi
