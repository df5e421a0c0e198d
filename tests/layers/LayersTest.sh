#!/usr/bin/env bash
# Fails when a folder of src/ includes from a folder above it, when a header
# includes a header that includes it back, or when the Qt-free folders
# include Qt. Usage: LayersTest.sh path/to/src
set -euo pipefail
src=$1

# What each folder may include besides itself; everything else is above it.
declare -A below=(
    [core]=""
    [input]="core"
    [checks]="core"
    [output]="core"
    [export]="core"
    [run]="core input checks output"
    [print]="core output"
    [plot]="core output print"
    # morvane-check's drawing, behind an interface that names no Qt type.
    [drawing]="core output print plot"
    # The front ends reach the readers and the checks only through the run:
    # one road for a check. The command line draws only through the module
    # that drawing loads, so that it loads Qt only to draw.
    [ui]="core output export run print plot"
    [cli]="core output export run drawing"
    [web]="core output export run"
)
qt_free="core input checks output export run drawing cli web"

failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

for folder in "$src"/*/; do
    name=$(basename "$folder")
    [[ -v below[$name] ]] || fail "src/$name is not in the map of layers"
done

while IFS= read -r file; do
    rel=${file#"$src"/}
    folder=${rel%%/*}
    [[ -v below[$folder] ]] || continue
    while IFS= read -r included; do
        target=${included%%/*}
        [[ $target == "$folder" || " ${below[$folder]} " == *" $target "* ]] ||
            fail "src/$rel includes $included from a layer above or beside it"
        # Reported once, from the first of the two names.
        if [[ $rel < $included && -f "$src/$included" ]] &&
            grep -q "^#include \"$rel\"" "$src/$included"; then
            fail "src/$rel and src/$included include each other"
        fi
    done < <(sed -n 's/^#include "\([a-z]*\/[^"]*\)".*/\1/p' "$file")
    if [[ " $qt_free " == *" $folder "* ]] && grep -qE '^#include <Q' "$file"; then
        fail "src/$rel includes Qt, but src/$folder is free of Qt"
    fi
done < <(find "$src" -name '*.h' -o -name '*.cpp')

((failures == 0)) || exit 1
echo "PASSED: every include points down"
