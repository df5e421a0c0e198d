#!/usr/bin/env bash
# Renders the window and desktop icons from their SVG drawings into the PNGs
# that are committed beside them (src/ui/icons/morvane-SIZE.png), so that a
# build needs no renderer. Run it after changing a drawing; it needs
# rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../src/ui/icons"
if ! command -v rsvg-convert >/dev/null; then
    echo "render-icons: rsvg-convert is missing (Debian package librsvg2-bin)" >&2
    exit 1
fi
# 16 px has its own drawing, pixel by pixel; the larger sizes scale the other.
rsvg-convert --width 16 --height 16 --output morvane-16.png morvane-16.svg
for size in 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "morvane-$size.png" morvane.svg
done
echo "render-icons: src/ui/icons/morvane-{16,32,48,64,128,256}.png"
