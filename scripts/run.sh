#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Without a display
# (or before the window exists) it checks the example file on the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" && -x build/src/ui/morvane ]]; then
    exec build/src/ui/morvane "$@"
fi
echo "run: no display; checking examples/sample.sim with morvane-check instead" >&2
status=0
build/src/cli/morvane-check examples/sample.sim || status=$?
# 1 means findings, which the example has on purpose.
[[ $status -le 1 ]]
