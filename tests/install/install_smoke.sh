#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs from there: the
# installed vesk-cli must find its data, conv.txt and modules without the build tree.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
cli="$prefix/bin/vesk-cli"
data="$prefix/share/vesk"
for file in example_log.xml WorkFlow_log.dtd WF_relations.dtd conv.txt help.txt Vesk.ico; do
    [ -f "$data/$file" ] || { echo "missing $data/$file" >&2; exit 1; }
done
"$cli" --version | grep -q '^vesk-cli '
if [ -x "$prefix/bin/vesk" ]; then
    "$prefix/bin/vesk" --version | grep -q '^vesk '
    [ -f "$prefix/share/applications/vesk.desktop" ]
    [ -f "$prefix/share/icons/hicolor/48x48/apps/vesk.png" ]
    # The installed window finds its help in share/vesk and stays up until it is closed.
    status=0
    QT_QPA_PLATFORM=offscreen timeout 2 "$prefix/bin/vesk" "$data/example_log.xml" || status=$?
    [ "$status" -eq 124 ] || { echo "vesk ended by itself with status $status" >&2; exit 1; }
fi
"$cli" processes "$data/example_log.xml" | grep -q '^1 (order handling)$'
work=$(mktemp -d -p "$prefix")
cp "$data/example_log.xml" "$work/"
"$cli" mine "$work/example_log.xml" --process 1 --out "$work/out" -q | grep -q '^Unfired tasks: none$'
[ -f "$work/out/example_log.xml 1 .tpn" ]
"$cli" convert --list | grep -q "^csv"
printf 'case,task,event,date,time\n1,a,complete,04-03-2002,10:00\n' > "$work/tiny.log"
"$cli" convert csv "$work/tiny.log" -q
"$cli" processes "$work/tiny.xml" | grep -q '^1 '
echo "installed vesk-cli works from $prefix"
