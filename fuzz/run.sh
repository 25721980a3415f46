#!/bin/bash
# Runs the fuzz targets of a fuzzing build (bash build.sh fuzz) for SECONDS
# each, as many at once as there are cores (ZARVOS_FUZZ_JOBS), and prints the
# executions and findings of each. The corpus of a target grows from run to
# run in BUILD/corpus/<target>; findings land in BUILD/findings/<target>/ and
# belong in fuzz/regressions/<target>/ once understood and fixed.
#   fuzz/run.sh BUILD SECONDS [TARGET...]
set -uo pipefail
build=$(cd "$1" && pwd)
seconds=$2
shift 2
source=$(cd "$(dirname "$0")/.." && pwd)
if (($#)); then
    targets=("$@")
else
    targets=()
    for exe in "$build"/bin/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi
jobs=${ZARVOS_FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}

# Scratch data roots on a RAM disk when there is one: every input writes files.
scratch=$(mktemp -d "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/zarvos-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/logs"

run_one() {
    local t=$1 dict=()
    mkdir -p "$build/corpus/$t" "$build/findings/$t" "$scratch/$t"
    case $t in picture_*) ;; *) dict=(-dict="$source/fuzz/zarvos.dict") ;; esac
    (cd "$scratch/$t" && TMPDIR="$scratch/$t" QT_QPA_PLATFORM=offscreen \
        LSAN_OPTIONS="suppressions=$source/tests/lsan.supp" \
        "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
        -print_final_stats=1 "${dict[@]}" -artifact_prefix="$build/findings/$t/" \
        "$build/corpus/$t" "$build/corpus/seeds/$t" >"$build/logs/$t.log" 2>&1)
}

# Crashes, sanitizer reports, leaks, hangs and memory blow-ups; libFuzzer's
# slow-unit files are kept beside them but are no findings.
findings() {
    find "$build/findings/$1" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
        -o -name 'oom-*' \) 2>/dev/null | wc -l
}
declare -A before
for t in "${targets[@]}"; do
    before[$t]=$(findings "$t")
done
for t in "${targets[@]}"; do
    while (($(jobs -rp | wc -l) >= jobs)); do wait -n; done
    run_one "$t" &
done
wait

total_runs=0
total_found=0
printf '%-14s %12s %8s %9s\n' target executions corpus findings
for t in "${targets[@]}"; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$t.log" | tail -1)
    corpus=$(find "$build/corpus/$t" -type f | wc -l)
    found=$(($(findings "$t") - ${before[$t]}))
    printf '%-14s %12s %8s %9s\n' "$t" "${runs:-?}" "$corpus" "$found"
    total_runs=$((total_runs + ${runs:-0}))
    total_found=$((total_found + found))
done
printf '%-14s %12s %8s %9s\n' all "$total_runs" "" "$total_found"
((total_found == 0)) || { echo "findings: $build/findings, logs: $build/logs" >&2; exit 1; }
