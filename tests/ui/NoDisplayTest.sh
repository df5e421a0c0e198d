#!/usr/bin/env bash
# Runs the window program where no display can be opened: help and version
# still answer, and anything else says why it cannot start instead of
# aborting inside Qt.
# Usage: NoDisplayTest.sh path/to/morvane
set -uo pipefail

program=$1
failures=0

# Runs the program without any display and checks its exit status ($1) and
# that the output stream ($2: out or err) holds the text $3.
expect() {
    local status=$1 stream=$2 text=$3 display=${display:-}
    shift 3
    local out err actual
    out=$(mktemp)
    err=$(mktemp)
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ${display:+DISPLAY=$display} \
        "$program" "$@" >"$out" 2>"$err"
    actual=$?
    local shown=$out
    [[ $stream == err ]] && shown=$err
    if [[ $actual != "$status" ]] || ! grep -qF -- "$text" "$shown"; then
        echo "FAILED: morvane $*: exit $actual (expected $status), expected \"$text\" on std$stream" >&2
        echo "--- stdout" >&2 && cat "$out" >&2
        echo "--- stderr" >&2 && cat "$err" >&2
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}

expect 0 out "Usage: morvane [FILE]" --help
expect 0 out "--version" --help
expect 0 out "morvane 1.2" --version
expect 2 err "morvane: no display; use morvane-check FILE on a terminal"
expect 2 err "morvane: no display" site.sim
# A display that is named but not there: no abort, the same status.
display=:97 expect 2 err "morvane: no display could be opened" site.sim

if ((failures > 0)); then
    exit 1
fi
echo "PASSED: help and version without a display; no display is an error"
