#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# only those that are missing. Runs apt-get as root, or through sudo.
# Arguments name further packages.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # findings on a map: plane rectangular zones to longitude and latitude
    libproj-dev
    # map sheets (XML) and their ZIP archives
    libexpat1-dev libzip-dev
    # names compared as they read (Unicode NFKC)
    libicu-dev
    # the window and printing
    qt6-base-dev qt6-qpa-plugins libgl-dev fonts-ipafont-gothic qt6-translations-l10n
    # tests
    googletest libgtest-dev libgmock-dev xvfb xauth xdotool xclip poppler-utils locales
    # reading the data formats and map sheets back (csv, json, xml) and PROJ's own conversion (cs2cs)
    python3 proj-bin
    # the Debian package (scripts/package.sh) and its test
    dpkg-dev lintian
    # the desktop finding the installed file type and entry (tests/install)
    shared-mime-info desktop-file-utils xdg-utils libglib2.0-bin
    # benchmarks
    libbenchmark-dev time
    # the fuzz targets, which the tests build and run (fuzz/run.sh): clang and its libFuzzer
    clang libclang-rt-14-dev
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

if [[ $(id -u) -eq 0 ]]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "deps: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
    exit 1
fi

echo "deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
