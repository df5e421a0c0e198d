#!/usr/bin/env bash
# Builds the browser page (scripts/build-web.sh) and drives it in Debian's
# chromium, headless, through playwright-core (npm, locked in
# tests/web/package-lock.json): tests/web/page.test.js compares what it
# shows and saves with the native morvane-check of build/, which this builds
# when it is missing. Where the packages cannot be installed at all, says so
# in one line and passes; any other failure fails.
# Usage: scripts/test-web.sh [web build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-web}

extra=(chromium emscripten nodejs)
command -v npm >/dev/null || extra+=(npm)
if ! scripts/deps.sh "${extra[@]}" >/dev/null 2>&1; then
    echo "test-web: skipped: the Debian packages ${extra[*]} cannot be installed here"
    exit 0
fi
if ! (cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null 2>&1); then
    echo "test-web: skipped: npm cannot install playwright-core (tests/web/package-lock.json)"
    exit 0
fi

scripts/build-web.sh "$build"
check=build/src/cli/morvane-check
if [[ ! -x $check ]]; then
    cmake -S . -B build -G Ninja >/dev/null
    cmake --build build --target morvane-check
fi
MORVANE_WEB_PAGE=$build/morvane-web MORVANE_CHECK=$check node --test tests/web/
