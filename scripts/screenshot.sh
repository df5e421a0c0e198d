#!/usr/bin/env bash
# Makes docs/screenshot.png, the README's picture of the window: the built
# program checks examples/sample.sim on a virtual X server, a right click opens
# the result text's menu, and the window's part of the screen is written as a
# PNG. Needs a build (scripts/run.sh or scripts/test.sh) and the packages of
# scripts/deps.sh (Xvfb, xdotool, python3).
# Usage: scripts/screenshot.sh [build folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
program=$build/src/ui/morvane
[[ -x $program ]] || { echo "screenshot: no $program; build first" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    if [[ -n $app_pid ]]; then kill "$app_pid" 2>/dev/null || true; fi
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

deadline=$((SECONDS + 30))
wait_for() {
    local failure=$1
    shift
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            echo "screenshot: $failure" >&2
            cat "$work/app.log" >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
}

# -fbdir keeps the screen in a file (XWD), read below as the picture.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x800x24 -fbdir "$work" -nolisten tcp -noreset \
    >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
wait_for "Xvfb did not start" test -s "$work/display"
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

# Away from the desktop's settings, as a first start shows the window.
mkdir -m 700 "$work/runtime"
# From the repository's root, so that the title names examples/sample.sim as
# a user's start would.
cd "$root"
env -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME -u XDG_CONFIG_HOME QT_QPA_PLATFORM=xcb \
    HOME="$work" XDG_RUNTIME_DIR="$work/runtime" "$program" examples/sample.sim \
    >"$work/app.log" 2>&1 &
app_pid=$!

program_windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true; }
checked() {
    window=$(program_windows | head -n1)
    [[ -n $window && $(xdotool getwindowname "$window") == "sample.sim（25点）較差 0 ≤ d < 0.05 m - Morvane　V1.2" ]]
}
wait_for "the window did not show the checked file" checked

# No window manager: the window goes to the corner and has no frame.
xdotool windowmove "$window" 0 0
at_corner() { [[ $(xdotool getwindowgeometry "$window") == *"Position: 0,0"* ]]; }
wait_for "the window did not move" at_corner
eval "$(xdotool getwindowgeometry --shell "$window")"

# Below the findings, where the menu hides none of them; then the pointer
# leaves the picture, so that no entry is highlighted.
xdotool mousemove --window "$window" 150 330 click 3
menu_open() { [[ $(program_windows | grep -cvx "$window") -ge 1 ]]; }
wait_for "no menu after the right click" menu_open
xdotool mousemove 790 790
sleep 1

python3 - "$work/Xvfb_screen0" "$WIDTH" "$HEIGHT" "$root/docs/screenshot.png" <<'EOF'
import struct, sys, zlib

screen, width, height, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
data = open(screen, "rb").read()
# The XWD header: 25 big-endian 32-bit fields, then the window's name, then
# the colour map, then the pixels.
fields = struct.unpack(">25I", data[:100])
header_size, byte_order, bits_per_pixel, bytes_per_line = fields[0], fields[7], fields[11], fields[12]
masks, colours = fields[14:17], fields[19]
assert bits_per_pixel == 32, "a 24-bit screen is kept in 32-bit pixels"
pixels = data[header_size + 12 * colours:]
order = "<" if byte_order == 0 else ">"

def channel(value, mask):
    shift = (mask & -mask).bit_length() - 1
    return (value & mask) >> shift

rows = []
for y in range(height):
    line = pixels[y * bytes_per_line:y * bytes_per_line + 4 * width]
    row = bytearray(b"\0")
    for (value,) in struct.iter_unpack(order + "I", line):
        row += bytes(channel(value, m) for m in masks)
    rows.append(bytes(row))

def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

with open(out, "wb") as f:
    f.write(b"\x89PNG\r\n\x1a\n")
    f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
    f.write(chunk(b"IDAT", zlib.compress(b"".join(rows), 9)))
    f.write(chunk(b"IEND", b""))
EOF
echo "screenshot: wrote docs/screenshot.png (${WIDTH}x${HEIGHT})"
