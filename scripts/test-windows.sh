#!/usr/bin/env bash
# Builds morvane-check.exe (scripts/build-windows.sh) and runs it under wine
# over the example, every file of the bad-input corpus, the real map sheet
# and files with Japanese names; what it prints on standard output and
# standard error and its exit status must be those of the Linux build, byte
# for byte, but for GeoJSON coordinates, which may differ by 1e-9 degrees.
# Where the cross compiler or wine cannot be installed, says so in one line
# and passes.
# Usage: scripts/test-windows.sh [Linux build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build}/src/cli/morvane-check
windowsBuild=build-windows
[[ -x $linux ]] || { echo "test-windows: no $linux; build first" >&2; exit 1; }

if ! scripts/deps.sh g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 >/dev/null 2>&1; then
    echo "test-windows: skipped: mingw-w64 or wine64 cannot be installed on this machine"
    exit 0
fi
scripts/build-windows.sh "$windowsBuild" >/dev/null
exe=$windowsBuild/stage/morvane-check.exe

wine=/usr/lib/wine/wine64
[[ -x $wine ]] || wine=$(command -v wine64)
# A prefix of the test's own, quiet, without the .NET and HTML runtimes a
# console program never asks for, and arguments read as UTF-8.
export WINEPREFIX=$PWD/$windowsBuild/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    LC_ALL=C.UTF-8
stopWine() { "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
trap stopWine EXIT
# The first start makes the prefix and talks about it.
"$wine" "$exe" --version >/dev/null 2>&1

# Relative paths, so that both programs are given and print the same names.
work=$windowsBuild/test
rm -rf "$work"
mkdir -p "$work/linux" "$work/windows" "$work/境界 測量"
cp examples/sample.sim "$work/境界 測量/境界点.sim"
cp tests/data/12103-0400-76.zip "$work/境界 測量/千葉市の地図.zip"
printf 'A01,1,道５,-1.0,2.0,\r\nA01,2,道5,-1.0,2.0,\r\n' >"$work/全角.sim"

cases=()
add() { cases+=("$(printf '%q ' "$@")"); }
add --version
add --help
add examples/sample.sim
add --crlf examples/sample.sim
add --list examples/sample.sim
add -q --tolerance 0.02 --lower 0.001 examples/sample.sim
add --check numbers examples/sample.sim
add --tolerance 0,05 examples/sample.sim
add --format csv examples/sample.sim
add --format json examples/sample.sim
add --format geojson --zone 9 examples/sample.sim
add examples/sample.sim tests/corpus/inputs/empty.sim no-such-file.sim
add --together examples/sample.sim "$work/境界 測量/境界点.sim"
for file in tests/corpus/inputs/*; do
    add "$file"
    add --format json "$file"
done
add tests/data/12103-0400-76.zip
add --format csv tests/data/12103-0400-76.zip
add --format json tests/data/12103-0400-76.zip
add --format geojson tests/data/12103-0400-76.zip
add --format geojson --tolerance 9.99 tests/data/12103-0400-76.zip
add "$work/境界 測量/境界点.sim"
add --format json "$work/境界 測量/境界点.sim"
add --format geojson --zone 9 "$work/境界 測量/境界点.sim"
add "$work/境界 測量/千葉市の地図.zip"
add "$work/全角.sim"

passed=0
failed=0
for i in "${!cases[@]}"; do
    eval "args=(${cases[$i]})"
    for side in linux windows; do
        if [[ $side == linux ]]; then run=("$linux"); else run=("$wine" "$exe"); fi
        status=0
        "${run[@]}" "${args[@]}" >"$work/$side/$i.out" 2>"$work/$side/$i.err" </dev/null ||
            status=$?
        echo "$status" >"$work/$side/$i.status"
    done
    same=true
    for part in status err; do
        cmp -s "$work/linux/$i.$part" "$work/windows/$i.$part" || same=false
    done
    if [[ " ${args[*]} " == *" geojson "* ]]; then
        python3 - "$work/linux/$i.out" "$work/windows/$i.out" <<'EOF' || same=false
import json, sys

def alike(a, b):
    if isinstance(a, float) or isinstance(b, float):
        return isinstance(a, (int, float)) and isinstance(b, (int, float)) and abs(a - b) <= 1e-9
    if isinstance(a, dict):
        return isinstance(b, dict) and a.keys() == b.keys() and all(alike(a[k], b[k]) for k in a)
    if isinstance(a, list):
        return isinstance(b, list) and len(a) == len(b) and all(map(alike, a, b))
    return a == b

texts = [open(name, "rb").read() for name in sys.argv[1:]]
sys.exit(0 if texts[0] == texts[1] or alike(*(json.loads(t) for t in texts)) else 1)
EOF
    else
        cmp -s "$work/linux/$i.out" "$work/windows/$i.out" || same=false
    fi
    if $same; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "test-windows: FAILED: morvane-check ${cases[$i]}(outputs in $work/linux and $work/windows, case $i)"
        for part in status out err; do
            diff <(head -c 2000 "$work/linux/$i.$part") <(head -c 2000 "$work/windows/$i.$part") |
                head -n 8 || true
        done
    fi
done

# Comparing names as they read needs ICU, which the Windows program leaves out.
status=0
"$wine" "$exe" --names nfkc "$work/全角.sim" >"$work/windows/nfkc.out" 2>"$work/windows/nfkc.err" ||
    status=$?
if [[ $status == 2 && ! -s $work/windows/nfkc.out ]] &&
    grep -q "built without ICU" "$work/windows/nfkc.err"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    echo "test-windows: FAILED: --names nfkc was not refused (status $status)"
fi

echo "test-windows: $passed passed, $failed failed"
((failed == 0))
