#!/usr/bin/env bash
# Starts the real program on a virtual X server and uses it only as a user
# can: clicks Start, types a file's path into the real open dialog, then
# selects the whole result text, copies it and compares the clipboard. Two
# checks in a row, so that Start is seen to work again after a run. Then a
# second session, started as `morvane FILE`, shows the findings without a
# click, and Ctrl+P opens the printer dialog, which is cancelled.
# Usage: RealWindowTest.sh path/to/morvane
set -euo pipefail

program=$1
skip=77

for tool in Xvfb xdotool xclip; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/deps.sh installs xvfb, xdotool and xclip)"
        exit $skip
    fi
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; fi
    # Ends the clipboard helper too, which lives as long as the display.
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    local log
    for log in "$work/xvfb.log" "$work/app.log"; do
        if [[ -s $log ]]; then
            echo "--- ${log##*/}" >&2
            cat "$log" >&2
        fi
    done
    exit 1
}

# All waits share one deadline: a loaded machine may spend its time wherever
# it has to, and the test still ends well within ctest's limit.
deadline=$((SECONDS + 60))

# Runs the command after $1 until it succeeds; at the deadline fails with $1.
# The command is run anew each time, so it must do its own looking (a
# function), not be handed a value expanded once before the wait began.
wait_for() {
    local failure=$1
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || fail "$failure"
        sleep 0.05
    done
}

# A free display number, chosen by the server itself. -noreset: the server
# would otherwise reset when its last client leaves (the first program, ended
# below) and refuse the next one for a moment.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_for "Xvfb did not start" test -s "$work/display"
display=$(head -n1 "$work/display")
export DISPLAY=":$display"

# Two points named P1, 5 m apart: one duplicate-name finding.
printf 'G00,01,TEST,\r\nA01,1,P1,0.000,0.000,0.000,\r\nA01,2,P1,3.000,4.000,0.000,\r\n' \
    >"$work/names.sim"
# Two points 5 mm apart, the one with the larger X first in the file.
printf 'G00,01,TEST,\r\nA01,1,K1,10.003,20.004,0.000,\r\nA01,2,K2,10.000,20.000,0.000,\r\n' \
    >"$work/places.sim"

# What a copy of the whole result text holds: the report as the run makes it,
# but with the LF line ends of Qt's text widget, up to the empty line after
# the last finding.
printf '%s\n' "同一名称" \
    "     1  P1             0.000   0.000  較差 5.000" \
    "     2  P1             3.000   4.000" "" >"$work/names.expected"
printf '%s\n' "同一座標値" \
    "     2  K2             10.000   20.000  較差 0.005" \
    "     1  K1             10.003   20.004" "" >"$work/places.expected"

# Keep the program away from the desktop's own settings and dialogs.
mkdir -m 700 "$work/runtime"
start_program() {
    env -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME -u XDG_CONFIG_HOME QT_QPA_PLATFORM=xcb \
        HOME="$work" XDG_RUNTIME_DIR="$work/runtime" "$program" "$@" >>"$work/app.log" 2>&1 &
    app_pid=$!
}
start_program

# The program's mapped windows; Qt marks each with the process id.
program_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true; }

find_main_window() {
    window=$(program_windows | head -n1)
    [[ -n $window ]]
}

find_dialog() {
    dialog=$(program_windows | grep -vx "$window" | head -n1)
    [[ -n $dialog ]]
}

is_viewable() { [[ $(xwininfo -id "$1" 2>/dev/null) == *"Map State: IsViewable"* ]]; }
closed() { ! is_viewable "$1"; }

# There is no window manager: Qt itself gives the keyboard focus to the window
# that it activates, and keys typed before that would go astray.
has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }

window_title() { xdotool getwindowname "$window"; }

wait_for "no window: the program did not start" find_main_window
title=$(window_title)
[[ $title == "Morvane　V1.2" ]] || fail "the window's title is \"$title\""

# Controls are placed in twips on a client area of 7890 x 10050 twips; the
# window's own size gives the scale, whatever the screen's density.
measure_window() { eval "$(xdotool getwindowgeometry --shell "$window")"; }
measure_window
click_at_twips() {
    xdotool mousemove --window "$window" $(($1 * WIDTH / 7890)) $(($2 * HEIGHT / 10050)) click 1
}

# Clicks Start and answers the open dialog with the path $1.
check_file() {
    click_at_twips 607 307 # the middle of Start
    wait_for "no file dialog after Start" find_dialog
    wait_for "the file dialog did not get the keyboard focus" has_focus "$dialog"
    # The dialog opens with its file name field focused.
    xdotool type --delay 15 "$1"
    xdotool key Return
    wait_for "the file dialog did not close after Return" closed "$dialog"
}

# A window busy with a check answers only afterwards; xclip waits that long.
read_clipboard() { timeout 5 xclip -o -selection clipboard -t UTF8_STRING >"$work/clipboard"; }
clipboard_has_marker() { read_clipboard && cmp -s "$work/marker" "$work/clipboard"; }
clipboard_replaced() { read_clipboard && ! cmp -s "$work/marker" "$work/clipboard"; }

# A click in the middle of the result text, until the window has the focus:
# a window just mapped on a loaded machine may not yet take the first click.
focus_result_text() {
    click_at_twips 3907 5227
    sleep 0.1
    has_focus "$window"
}

# Selects all of the result text, copies it and writes the copy to $1. The
# clipboard holds a marker of ours first, so that nothing is read before the
# window's copy has replaced it.
copy_result_text() {
    printf 'not yet copied' >"$work/marker"
    # xclip stays in the background as the owner until the window takes over.
    xclip -selection clipboard -i "$work/marker" >/dev/null 2>&1
    wait_for "could not put a marker on the clipboard" clipboard_has_marker
    wait_for "the main window did not get the keyboard focus for ${1##*/}" focus_result_text
    xdotool key ctrl+a ctrl+c
    wait_for "nothing was copied from the result text" clipboard_replaced
    mv "$work/clipboard" "$1"
}

expect_copy() {
    if ! cmp -s "$1" "$2"; then
        diff <(cat -A "$1") <(cat -A "$2") >&2 || true
        fail "$3"
    fi
}

check_file "$work/names.sim"
copy_result_text "$work/names.copy"
expect_copy "$work/names.expected" "$work/names.copy" "unexpected result text after the first Start"

check_file "$work/places.sim"
copy_result_text "$work/places.copy"
expect_copy "$work/places.expected" "$work/places.copy" "unexpected result text after the second Start"

# A new session with a file named on the command line checks it at once; the
# title names the file when the check is done.
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
start_program "$work/names.sim"
wait_for "no window: the program did not start with a file" find_main_window
measure_window
titled_after_check() { [[ $(window_title) == "names.sim（2点）較差 0 ≤ d < 0.05 m - Morvane　V1.2" ]]; }
wait_for "the file named on the command line was not checked" titled_after_check
copy_result_text "$work/given.copy"
expect_copy "$work/names.expected" "$work/given.copy" "unexpected result text for morvane FILE"

# Ctrl+P, with the focus in the result text, opens the printer dialog; Escape
# cancels it and leaves the window as it was.
xdotool key ctrl+p
wait_for "no printer dialog after Ctrl+P" find_dialog
dialog_title=$(xdotool getwindowname "$dialog")
[[ $dialog_title == *印刷* || $dialog_title == *Print* ]] ||
    fail "the window after Ctrl+P is \"$dialog_title\", no printer dialog"
wait_for "the printer dialog did not get the keyboard focus" has_focus "$dialog"
xdotool key Escape
wait_for "the printer dialog did not close after Escape" closed "$dialog"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended after the printer dialog"

echo "PASSED: the real window checked two chosen files, one Start after the other, a file" \
    "named on the command line without a click, and Ctrl+P opened the printer dialog"
