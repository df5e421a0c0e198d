#!/usr/bin/env bash
# Starts the real program on a virtual X server, clicks Start with real input
# events, types a file's path into the real open dialog and checks the result
# text that the window then shows (written out through MORVANE_RESULT_DUMP).
# Usage: RealWindowTest.sh path/to/morvane
set -euo pipefail

program=$1
skip=77

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/deps.sh installs xvfb and xdotool)"
        exit $skip
    fi
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
    local seconds=$1
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A free display number, chosen by the server itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

# Two points named P1, 5 m apart: one duplicate-name finding.
printf 'G00,01,TEST,\r\nA01,1,P1,0.000,0.000,0.000,\r\nA01,2,P1,3.000,4.000,0.000,\r\n' \
    >"$work/points.sim"
printf '%s\r\n' "同一名称" \
    "     1  P1             0.000   0.000  較差 5.000" \
    "     2  P1             3.000   4.000" "" >"$work/expected.txt"

# Keep the program away from the desktop's own settings and dialogs.
env -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME QT_QPA_PLATFORM=xcb \
    MORVANE_RESULT_DUMP="$work/result.txt" HOME="$work" "$program" >"$work/app.log" 2>&1 &
app_pid=$!

title='^Morvane　V1\.2$'
wait_for 20 xdotool search --onlyvisible --name "$title" || fail "no window: $(cat "$work/app.log")"
window=$(xdotool search --onlyvisible --name "$title" | head -n1)

# The middle of Start: 120 twips in, 975 x 375 twips, 15 twips a pixel.
xdotool mousemove --window "$window" 40 20 click 1
# The dialog is the one other visible window; its title depends on Qt's language.
other_window() { xdotool search --onlyvisible --name '.' | grep -vx "$window" | head -n1; }
wait_for 20 test -n "$(other_window)" || fail "no file dialog after Start"
dialog=$(other_window)
wait_for 10 test "$(xdotool getwindowfocus)" = "$dialog" || fail "the file dialog has no focus"

# The dialog's file name field has the focus.
xdotool type --delay 15 "$work/points.sim"
xdotool key Return

wait_for 20 test -s "$work/result.txt" || fail "no result after choosing the file"
if ! cmp -s "$work/expected.txt" "$work/result.txt"; then
    diff <(cat -A "$work/expected.txt") <(cat -A "$work/result.txt") >&2 || true
    fail "unexpected result text"
fi
echo "PASSED: the real window checked the chosen file"
