#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs them one after
# the other for SECONDS in all (half on the reader and checks, a quarter on
# whole runs, a quarter on map sheets and their ZIPs), or for SECONDS each
# with --each, then prints the executions per second of each and any crash.
# Exit status 1 when a target crashed.
#
#   fuzz/run.sh 1800
#   fuzz/run.sh --each 25     # what scripts/test.sh runs
#
# The corpus grows in build-fuzz/corpus/ from run to run, seeded from the
# test files; a crashing input lands in build-fuzz/crashes/. Keep each one as
# a test in tests/corpus/ before fixing it.
set -euo pipefail
each=false
if [[ ${1:-} == --each ]]; then
    each=true
    shift
fi
seconds=${1:?usage: fuzz/run.sh [--each] SECONDS}
[[ "$seconds" =~ ^[0-9]+$ ]] && ((seconds >= 2)) || { echo "fuzz: SECONDS must be a whole number, 2 or more" >&2; exit 2; }
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz

crashes=build-fuzz/crashes
mkdir -p "$crashes"
status=0
quarter=$((seconds / 4))
declare -A share=([reader_fuzzer]=$((seconds - 2 * quarter)) [run_fuzzer]=$quarter [sheet_fuzzer]=$quarter)
if $each; then
    share=([reader_fuzzer]=$seconds [run_fuzzer]=$seconds [sheet_fuzzer]=$seconds)
fi
declare -A dict=([reader_fuzzer]=fuzz/sima.dict [run_fuzzer]=fuzz/sima.dict [sheet_fuzzer]=fuzz/sheet.dict)
declare -A seeds=([reader_fuzzer]="tests/corpus/inputs examples" [run_fuzzer]="tests/corpus/inputs examples"
    [sheet_fuzzer]="fuzz/sheets")
for target in reader_fuzzer run_fuzzer sheet_fuzzer; do
    corpus=build-fuzz/corpus/$target
    log=build-fuzz/$target.log
    mkdir -p "$corpus"
    echo "fuzz: $target for ${share[$target]} s"
    # One process: the machine is shared. A run slower than 10 s counts as a hang.
    if ./build-fuzz/$target -max_total_time="${share[$target]}" -timeout=10 -max_len=16384 \
        -dict="${dict[$target]}" -print_final_stats=1 -artifact_prefix="$crashes/$target-" \
        "$corpus" ${seeds[$target]} >"$log" 2>&1; then
        result=ok
    else
        result=CRASH
        status=1
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    printf 'fuzz: %-14s %s, %s executions, %s per second, corpus %s inputs\n' \
        "$target" "$result" "${execs:-?}" "${rate:-?}" "$(ls "$corpus" | wc -l)"
    if [[ $result == CRASH ]]; then
        grep -E '^(==[0-9]+== ?ERROR|SUMMARY|invariant broken|.*runtime error)' "$log" | head -5 || true
        grep -E '^artifact_prefix|Test unit written to' "$log" || true
        echo "fuzz: the full report is in $log"
    fi
done
exit $status
