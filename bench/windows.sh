#!/usr/bin/env bash
# The Windows program under wine against the native one: builds
# morvane-check.exe (scripts/build-windows.sh) and a native Release
# morvane-check without Qt and ICU, as the Windows one is built, in
# build-bench-windows/, generates a uniform file of 499,999 points, and prints
# the median wall time of five runs of each on that file and on the example,
# their ratio, and the time wine takes to start a program that does nothing
# (--version), which the ratio on a small file is mostly made of.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build-windows.sh build-windows >/dev/null
build=build-bench-windows
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_UI=OFF \
    -DMORVANE_BUILD_TESTS=OFF -DMORVANE_WITH_ICU=OFF -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane-check morvane_gensima >/dev/null

native=$build/src/cli/morvane-check
exe=build-windows/stage/morvane-check.exe
wine=/usr/lib/wine/wine64
[[ -x $wine ]] || wine=$(command -v wine64)
export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    LC_ALL=C.UTF-8
stopWine() { "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; }
trap stopWine EXIT
# The prefix is made once, and wineserver stays up between the runs, as it
# does for a user's session.
"$wine" "$exe" --version >/dev/null 2>&1

big=$build/uniform-499999.sim
[[ -f $big ]] || "$build/bench/morvane_gensima" uniform 499999 "$big"

# The median wall time in seconds of five runs of the command.
median() {
    local times=() start
    for _ in 1 2 3 4 5; do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        times+=("$(($(date +%s%N) - start))")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n 3p | awk '{ printf "%.3f", $1 / 1e9 }'
}

printf '%-28s %10s %10s %7s\n' "file" "native s" "wine s" "ratio"
row() {
    local name=$1
    shift
    local n w
    n=$(median "$native" "$@")
    w=$(median "$wine" "$exe" "$@")
    printf '%-28s %10s %10s %7s\n' "$name" "$n" "$w" "$(awk -v w="$w" -v n="$n" 'BEGIN { printf "%.2f", w / n }')"
}
row "uniform, 499,999 points" --on-too-many continue "$big"
row "examples/sample.sim" examples/sample.sim
row "(--version: starting)" --version
