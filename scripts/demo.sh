#!/usr/bin/env bash
# Builds everything and runs Vesk's main job on the bundled example log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" "$root/build"
log="$root/data/example_log.xml"
"$root/build/bin/vesk-cli" processes "$log"
"$root/build/bin/vesk-cli" relations "$log" --process 1 --events start,complete
