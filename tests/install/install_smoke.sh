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
for file in example_log.xml WorkFlow_log.dtd WF_relations.dtd conv.txt; do
    [ -f "$data/$file" ] || { echo "missing $data/$file" >&2; exit 1; }
done
"$cli" --version | grep -q '^vesk-cli '
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
