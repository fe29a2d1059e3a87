#!/usr/bin/env bash
# Builds everything and runs Vesk's main job on the bundled example log: relations, net, replay
# and the export with pictures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" "$root/build"
log="$root/data/example_log.xml"
out="$root/build/example-export"
"$root/build/bin/vesk-cli" processes "$log"
"$root/build/bin/vesk-cli" mine "$log" --process 1 --events start,complete \
    --overlap start:complete --out "$out" --render
echo "Exported files: $out"
