#!/usr/bin/env bash
# The browser page against its targets: checking examples/sample.sim from
# the drop to the result on screen under 0.3 s; 499,999 points (uniform
# layout) under 3 x the native morvane-check on the same file and machine;
# the first load of the page under 2 MB. Builds the page (scripts/build-web.sh),
# a Release morvane-check and the generator (build-bench/), and the test
# tools (tests/web), then prints a table. The page's times are medians in
# chromium, headless; the native time the median wall time of three runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)

build=build-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_UI=ON \
    -DMORVANE_BUILD_TESTS=OFF -DMORVANE_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target morvane-check morvane_gensima >/dev/null
data="$build/bench-data"
mkdir -p "$data"
large="$data/uniform-499999.sim"
[[ -f $large ]] || "$build/bench/morvane_gensima" uniform 499999 "$large"

native=$(python3 - "$build/src/cli/morvane-check" "$large" <<'PY'
import subprocess, sys, time
walls = []
for _ in range(3):
    start = time.monotonic()
    status = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    walls.append(time.monotonic() - start)
    if status > 1:
        sys.exit(f"web bench: morvane-check failed on {sys.argv[2]}")
print(sorted(walls)[1])
PY
)

figures=$(node bench/web/measure.js build-web/morvane-web examples/sample.sim "$large" 5)
python3 - "$figures" "$native" <<'PY'
import json, sys
f = json.loads(sys.argv[1])
native = float(sys.argv[2])
large = f["largeMedianMs"] / 1000
rows = [
    ("example, drop to result (first check)", f'{f["exampleFirstMs"] / 1000:.3f} s', "< 0.3 s",
     f["exampleFirstMs"] < 300),
    ("example, drop to result (median of 5)", f'{f["exampleMedianMs"] / 1000:.3f} s', "< 0.3 s",
     f["exampleMedianMs"] < 300),
    (f'{f["largePoints"]:,} points, uniform: page (median of 3)', f"{large:.2f} s",
     f"< 3 x native = {3 * native:.2f} s", large < 3 * native),
    (f'{f["largePoints"]:,} points, uniform: native morvane-check', f"{native:.2f} s", "-", True),
    ("first load of the page", f'{f["firstLoadBytes"] / 1e6:.2f} MB', "< 2 MB",
     f["firstLoadBytes"] < 2e6),
]
print("| measure | figure | target | met |")
print("|---|---:|---|---|")
for name, figure, target, met in rows:
    print(f"| {name} | {figure} | {target} | {'met' if met else 'MISSED'} |")
PY
