#!/usr/bin/env bash
# Whole-process measurements of vesk-cli beside xmllint on the same files, printed as one
# markdown table: CPU and wall time, peak memory and the ratios. Usage:
#   bench/run.sh [BUILD_DIR] [--quick] [--huge]
# --quick: the 1 M-event log only, no 10 M run and 5 construction seeds instead of 20.
# --huge: also one run of xmllint and of mine on 100 M events (a 15 GB file, about 15 minutes).
# Needs xmllint (libxml2-utils) and GNU time (/usr/bin/time). Logs are made in $TMPDIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
quick=0
huge=0
for arg in "$@"; do
    case "$arg" in
        --quick) quick=1 ;;
        --huge) huge=1 ;;
        *) build=$arg ;;
    esac
done
bin="$build/bin"
for tool in "$bin/vesk-cli" "$bin/make_log" /usr/bin/time xmllint; do
    command -v "$tool" >/dev/null || {
        echo "run.sh: $tool is missing (build with scripts/test.sh or -DVESK_BENCHMARKS=ON)" >&2
        exit 2
    }
done
work=${TMPDIR:-/tmp}/vesk-bench
mkdir -p "$work"

# "user+sys wall peak_KiB" of one run (median of three for the short ones).
measure() {
    local runs=$1
    shift
    local results=()
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%U %S %e %M %x" -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" || true
        # The last line: GNU time puts "Command exited with non-zero status" before it.
        results+=("$(tail -1 "$work/time.txt" | awk '{printf "%.3f %.3f %d %d\n", $1 + $2, $3, $4, $5}')")
    done
    printf '%s\n' "${results[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

make_log() {
    local file=$1
    shift
    [ -s "$file" ] || "$bin/make_log" "$@" --out "$file" 2>/dev/null
}

# The machine the figures belong to.
cpu_model=$(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo 2>/dev/null || echo unknown)
echo "Machine: ${cpu_model:-unknown}, $(nproc) cores, $(. /etc/os-release 2>/dev/null && echo "$PRETTY_NAME")"
echo
echo "| what | command | CPU s | wall s | peak MiB | CPU ratio to xmllint | MiB per M events |"
echo "|---|---|---|---|---|---|---|"
row() {  # name, command text, cpu wall kib status, reference cpu, events in millions
    local cpu wall kib status
    read -r cpu wall kib status <<<"$3"
    local ratio="-" per="-"
    [ "$4" != "-" ] && ratio=$(awk -v a="$cpu" -v b="$4" 'BEGIN{printf "%.2f", a / b}')
    [ "$5" != "-" ] && per=$(awk -v k="$kib" -v m="$5" 'BEGIN{printf "%.0f", k / 1024 / m}')
    printf '| %s | `%s` | %s | %s | %.0f | %s | %s |\n' "$1" "$2" "$cpu" "$wall" \
        "$(awk -v k="$kib" 'BEGIN{print k / 1024}')" "$ratio" "$per"
}

sizes=(1)
[ "$quick" -eq 0 ] && sizes+=(10)
[ "$huge" -eq 1 ] && sizes+=(100)
declare -A one_m_cpu
for m in "${sizes[@]}"; do
    log="$work/big_${m}m.xml"
    make_log "$log" --cases $((m * 100000)) --activities 30 --seed 11 --events start,complete
    events=$(awk -v m="$m" 'BEGIN{print m * 1.005436}')
    runs=3
    [ "$m" -gt 1 ] && runs=1
    ref=$(measure "$runs" xmllint --stream --noout "$log")
    row "${m} M events: xmllint" "xmllint --stream --noout LOG" "$ref" - -
    ref_cpu=${ref%% *}
    if [ "$m" -ge 100 ]; then
        rm -rf "$work/out"
        mo=$(measure 1 "$bin/vesk-cli" mine "$log" --process 1 --events start,complete --out "$work/out" -q)
        row "${m} M events: mine" "vesk-cli mine LOG --process 1 --events start,complete --out DIR" "$mo" "$ref_cpu" "$events"
        one_m_cpu[$m]=${mo%% *}
        continue
    fi
    r=$(measure "$runs" "$bin/vesk-cli" relations "$log" --process 1 --events start,complete -q)
    row "${m} M events: relations" "vesk-cli relations LOG --process 1 --events start,complete" "$r" "$ref_cpu" "$events"
    rm -rf "$work/out"
    mo=$(measure "$runs" "$bin/vesk-cli" mine "$log" --process 1 --events start,complete --out "$work/out" -q)
    row "${m} M events: mine" "vesk-cli mine LOG --process 1 --events start,complete --out DIR" "$mo" "$ref_cpu" "$events"
    one_m_cpu[$m]=${mo%% *}
    rm -rf "$work/out"
    mi=$(measure "$runs" "$bin/vesk-cli" mine "$log" --process 1 --events start,complete --construction inductive --out "$work/out" -q)
    row "${m} M events: mine, inductive" "vesk-cli mine LOG --process 1 --events start,complete --construction inductive --out DIR" "$mi" "$ref_cpu" "$events"
    mp=$(measure "$runs" "$bin/vesk-cli" map "$log" --process 1 --events start,complete --format json)
    row "${m} M events: map" "vesk-cli map LOG --process 1 --events start,complete --format json" "$mp" "$ref_cpu" "$events"
    echo "|  | map CPU / relations CPU: $(awk -v a="${mp%% *}" -v b="${r%% *}" 'BEGIN{printf "%.2f", a / b}') |  |  |  |  |  |"
done
if [ "$quick" -eq 0 ]; then
    echo
    echo "10 M / 1 M CPU time of mine: $(awk -v a="${one_m_cpu[10]}" -v b="${one_m_cpu[1]}" 'BEGIN{printf "%.2f", a / b}')"
fi
if [ "$huge" -eq 1 ]; then
    echo
    echo "100 M / 1 M CPU time of mine: $(awk -v a="${one_m_cpu[100]}" -v b="${one_m_cpu[1]}" 'BEGIN{printf "%.2f", a / b}')"
fi

# Attributes: the 1 M-event log as XES with five attributes besides org:resource (two of the
# cases, three of the events), read without, with the five, and with all of them.
alog="$work/attributes_1m.xes"
make_log "$alog" --cases 100000 --activities 30 --seed 11 --events start,complete --format xes --attributes 5
echo
echo "| 1 M events, XES, 5 attributes | command | CPU s | wall s | peak MiB | CPU ratio to xmllint | MiB per M events |"
echo "|---|---|---|---|---|---|---|"
aref=$(measure 3 xmllint --stream --noout "$alog")
row "xmllint" "xmllint --stream --noout LOG" "$aref" - -
five=channel_0,amount_0,team_0,cost_0,priority_0
for choice in none "$five" all; do
    a=$(measure 3 "$bin/vesk-cli" relations "$alog" --process 1 --events start,complete --attributes "$choice" -q)
    row "relations, --attributes ${choice/$five/the five}" "vesk-cli relations LOG --process 1 --events start,complete --attributes ${choice/$five/KEYS}" "$a" "${aref%% *}" 1.005770
done
a=$(measure 3 "$bin/vesk-cli" attributes "$alog" --process 1 --events start,complete)
row "attributes" "vesk-cli attributes LOG --process 1 --events start,complete" "$a" "${aref%% *}" 1.005770
if [ -f "$root/../shared/data/xes/bpic2012.xes.gz" ]; then
    bpic="$root/../shared/data/xes/bpic2012.xes.gz"
    plain=$(measure 5 "$bin/vesk-cli" map "$bpic" --format json)
    where=$(measure 5 "$bin/vesk-cli" map "$bpic" --format json --case-where "AMOUNT_REQ>20000")
    echo
    echo "map of bpic2012 with --case-where AMOUNT_REQ>20000 / without, CPU: $(awk -v a="${where%% *}" -v b="${plain%% *}" 'BEGIN{printf "%.2f (%s s / %s s)", a / b, a, b}')"
fi

echo
echo "| construction, 200 activities, width 4, 1,000 cases | CPU s | wall s | peak MiB |"
echo "|---|---|---|---|"
seeds=20
[ "$quick" -eq 1 ] && seeds=5
slowest=0
for seed in $(seq "$seeds"); do
    log="$work/net_${seed}.xml"
    make_log "$log" --cases 1000 --activities 200 --width 4 --seed "$seed"
    read -r cpu wall kib status <<<"$(measure 1 timeout 60 "$bin/vesk-cli" mine "$log" --process 1 --no-replay -q)"
    if [ "$status" -eq 124 ]; then
        printf '| seed %s | stopped after 60 s | | %.0f |\n' "$seed" "$(awk -v k="$kib" 'BEGIN{print k / 1024}')"
        wall=60
    else
        printf '| seed %s | %s | %s | %.0f |\n' "$seed" "$cpu" "$wall" "$(awk -v k="$kib" 'BEGIN{print k / 1024}')"
    fi
    slowest=$(awk -v a="$wall" -v b="$slowest" 'BEGIN{print (a > b) ? a : b}')
done
echo
echo "slowest construction: $slowest s wall"

# A large alphabet: the construction divides blocks of over 2,000 activities on their
# directly-follows graph alone; its stage beside the read's (a flower would have 3 places).
echo
echo "| inductive construction, big alphabet | read CPU s | net CPU s | net / read | net |"
echo "|---|---|---|---|---|"
for k in 3000 10000; do
    log="$work/alphabet_${k}.xml"
    make_log "$log" --cases $((6000000 / k)) --activities "$k" --width 4 --seed 5
    "$bin/vesk-cli" mine "$log" --process 1 --construction inductive --no-replay --timings \
        >"$work/alphabet.out" 2>"$work/alphabet.err"
    awk -v k="$k" -v net="$(sed -n 's/^Net: //p' "$work/alphabet.out")" '
        /time: read/ {r = $7} /time: net/ {n = $7}
        END {printf "| %s activities | %s | %s | %.2f | %s |\n", k, r, n, n / r, net}' "$work/alphabet.err"
done

# The replay stage on the public logs: the inductive net beside the alpha net of the same log
# (--timings CPU seconds of the stage "replay", which includes the fitness count).
public="$root/../shared/data/xes"
if [ -d "$public" ]; then
    echo
    echo "| public log | replay CPU s, alpha | inductive (noise 0.2) | ratio | inductive (noise 0) | ratio |"
    echo "|---|---|---|---|---|---|"
    replay_cpu() {
        "$bin/vesk-cli" mine "$@" -q --timings 2>&1 >/dev/null | awk '/time: replay/ {print $7}'
    }
    for log in "$public"/*.xes*; do
        alpha=$(replay_cpu "$log" --construction alpha)
        filtered=$(replay_cpu "$log" --construction inductive)
        exact=$(replay_cpu "$log" --construction inductive --noise 0)
        awk -v n="$(basename "$log")" -v a="$alpha" -v f="$filtered" -v e="$exact" 'BEGIN {
            r = a > 0 ? sprintf("%.1f", f / a) : "-"; s = a > 0 ? sprintf("%.1f", e / a) : "-"
            printf "| %s | %s | %s | %s | %s | %s |\n", n, a, f, r, e, s }'
    done
fi

# One case of 200,000 distinct tasks: refused with an estimate, not grown until killed.
wide="$work/wide.xml"
if [ ! -s "$wide" ]; then
    {
        echo '<WorkFlow_log><process id="1"><process_instance id="c1">'
        for i in $(seq 0 199999); do
            echo "<audit_trail_entry><task_name>t$i</task_name><event kind=\"complete\"/></audit_trail_entry>"
        done
        echo '</process_instance></process></WorkFlow_log>'
    } >"$wide"
fi
/usr/bin/time -f "%U %S %e %M" -o "$work/time.txt" "$bin/vesk-cli" relations "$wide" --process 1 \
    >/dev/null 2>"$work/stderr.txt" && code=0 || code=$?
read -r _ _ wall kib < <(tail -1 "$work/time.txt")
echo
echo "200,000 distinct tasks in one case: exit $code after $wall s, peak $((kib / 1024)) MiB:"
sed 's/^/    /' "$work/stderr.txt"
