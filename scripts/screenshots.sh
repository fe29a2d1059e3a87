#!/usr/bin/env bash
# Renders each tab of the main window (on the example log), the help window, the folder dialog
# and an error box in front of the relations editor to PNG files in docs/, and, when the public logs lie beside the project, the inspector
# with the inductive net of bpic2012 and its Best noise grid. Run by hand; uses xvfb-run when it is there, else Qt's
# offscreen platform. Usage: screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
cmake --build "$build" --target vesk_screenshots
mkdir -p "$root/docs"
shoot() {
    if command -v xvfb-run >/dev/null; then
        # A window manager, when there is one, stacks the windows as a desktop does (the
        # picture of an error in front of the editor needs that).
        xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
            'command -v openbox >/dev/null && { openbox & sleep 1; }; exec "$0" "$@"' \
            "$build/bin/vesk_screenshots" "$@"
    else
        QT_QPA_PLATFORM=offscreen "$build/bin/vesk_screenshots" "$@"
    fi
}
shoot "$root/docs"
bpic2012="$root/../shared/data/xes/bpic2012.xes.gz"
[ -f "$bpic2012" ] && shoot "$root/docs" "$bpic2012"
ls "$root"/docs/window-*.png
