#!/usr/bin/env bash
# Fails when a file of src/ grows past 450 lines: split it by what it holds instead.
# Usage: check_file_sizes.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
limit=450
long=0
while IFS= read -r file; do
    lines=$(wc -l < "$file")
    if [ "$lines" -gt "$limit" ]; then
        echo "${file#"$root"/}: $lines lines, more than $limit" >&2
        long=$((long + 1))
    fi
done < <(find "$root/src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
[ "$long" -eq 0 ] || exit 1
echo "every file of src/ has at most $limit lines"
