#!/usr/bin/env bash
# Fails when a file includes a header of a layer it may not use. Each folder of src/ is a
# layer; a folder may include its own headers and those of the folders listed after it below.
# The front ends (cli, gui) reach the layers under the controller only through control/ (and
# gui through ui/). Usage: check_includes.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}

declare -A allowed=(
    [base]=""
    [xml]="base"
    [log]="base xml"
    [attributes]="base log"
    [mining]="base log"
    [net]="base log mining"
    [discovery]="base log mining net"
    [conformance]="base log mining net"
    [process_map]="base log attributes"
    [resources]="base log attributes process_map"
    [formats]="base xml log mining net discovery conformance attributes process_map resources"
    [control]="base xml log mining net discovery conformance attributes process_map resources formats"
    [ui]="base xml log mining net discovery conformance attributes process_map resources formats control"
    [cli]="base control"
    [gui]="base control ui"
    [tools]="base xml log"
)

faults=0
checked=0
while IFS= read -r file; do
    rel=${file#"$root"/}
    case "$rel" in
        src/*) layer=${rel#src/}; layer=${layer%%/*} ;;
        tools/*) layer=tools ;;
        *) continue ;;
    esac
    if [ -z "${allowed[$layer]+set}" ]; then
        echo "$rel: the folder '$layer' is no layer; add it to ${0##*/}" >&2
        faults=$((faults + 1))
        continue
    fi
    checked=$((checked + 1))
    while IFS=: read -r line header; do
        case "$header" in */*) ;; *) continue ;; esac
        target=${header%%/*}
        [ "$target" = "$layer" ] && continue
        case " ${allowed[$layer]} " in *" $target "*) continue ;; esac
        echo "$rel:$line: includes \"$header\", but $layer may use only: ${allowed[$layer]:-nothing else}" >&2
        faults=$((faults + 1))
    done < <(grep -n -o '^#include "[^"]*"' "$file" | sed 's/#include "\(.*\)"/\1/')
done < <(find "$root/src" "$root/tools" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$faults" -gt 0 ]; then
    echo "$faults include(s) run against the layers" >&2
    exit 1
fi
echo "$checked files include only the layers below them"
