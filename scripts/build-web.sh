#!/usr/bin/env bash
# Builds the checker's browser page into build-web/morvane-web/ and zips
# that folder as build-web/morvane-web.zip. The core is the same C++ as the
# programs', compiled with emscripten (Debian's package) together with zlib,
# expat and libzip, whose sources come from Debian's own source packages;
# proj4js (npm, locked in web/package-lock.json) converts plane coordinates
# for GeoJSON. Everything the page needs is in its folder: it opens from a
# plain folder (file://) or from any static host and asks for nothing else.
# Usage: scripts/build-web.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-web}
mkdir -p "$build"
build=$(cd "$build" && pwd)

extra=(emscripten nodejs dpkg-dev xz-utils bzip2)
# Debian's npm when no other is there: a node set up with its own npm keeps it.
command -v npm >/dev/null || extra+=(npm)
scripts/deps.sh "${extra[@]}"

# The libraries' sources, as Debian 12 builds its own packages from them
# (with Debian's patches applied): apt fetches them through the machine's own
# package sources, read as source lists into a folder of this build, so that
# the machine's apt set-up is left alone.
sources=$build/sources
fetch_sources() {
    local apt=$sources/apt
    mkdir -p "$apt/lists/partial" "$apt/sources.list.d"
    for list in /etc/apt/sources.list.d/*.sources; do
        [[ -f $list ]] || continue
        sed 's/^Types:.*/Types: deb-src/' "$list" >"$apt/sources.list.d/$(basename "$list")"
    done
    if [[ -f /etc/apt/sources.list ]]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
    else
        : >"$apt/sources.list"
    fi
    local options=(-q -o "Dir::Etc::SourceList=$apt/sources.list"
        -o "Dir::Etc::SourceParts=$apt/sources.list.d" -o "Dir::State::Lists=$apt/lists")
    apt-get "${options[@]}" update >/dev/null
    # The release's own versions: a security suite does not always carry
    # the sources of its updates.
    local release
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    (cd "$sources" && apt-get "${options[@]}" source --download-only \
        "expat/$release" "libzip/$release" "zlib/$release" >/dev/null 2>&1) || {
        echo "build-web: apt could not fetch the sources of expat, libzip and zlib" >&2
        exit 1
    }
    for dsc in "$sources"/*.dsc; do
        (cd "$sources" && dpkg-source -q -x "$(basename "$dsc")" >/dev/null)
    done
}
if ! compgen -G "$sources/expat-*/expat/CMakeLists.txt" >/dev/null ||
    ! compgen -G "$sources/libzip-*/CMakeLists.txt" >/dev/null ||
    ! compgen -G "$sources/zlib-*/CMakeLists.txt" >/dev/null; then
    rm -rf "$sources"
    mkdir -p "$sources"
    fetch_sources
fi
one() { compgen -G "$1" | head -n1; }

# emscripten's tools load Debian's node modules (acorn), which a node not
# from Debian does not look for by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

prefix=$build/prefix
cmake_lib() {
    local name=$1 source=$2
    shift 2
    if [[ ! -f $build/deps/$name.done ]]; then
        emcmake cmake -S "$source" -B "$build/deps/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
            -DCMAKE_FIND_ROOT_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
        # Debian's patches to expat test its features' macros for 1, which
        # its autotools set up writes and its CMake set-up leaves empty.
        [[ $name != expat ]] ||
            sed -i 's/^#define \(XML_[A-Z_]*\)$/#define \1 1/' "$build/deps/$name/expat_config.h"
        cmake --build "$build/deps/$name" -j 2 >/dev/null
        cmake --install "$build/deps/$name" >/dev/null
        touch "$build/deps/$name.done"
    fi
}
# zlib's CMake file wants a Windows resource that Debian's sources leave out;
# its library is a handful of files.
if [[ ! -f $prefix/lib/libz.a ]]; then
    zlib=$(one "$sources/zlib-*/")
    mkdir -p "$build/deps/zlib" "$prefix/lib" "$prefix/include"
    cp "$zlib/zconf.h.in" "$build/deps/zlib/zconf.h"
    for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
        inflate inftrees trees uncompr zutil; do
        emcc -O2 -DHAVE_UNISTD_H -DHAVE_STDARG_H -I"$build/deps/zlib" -c "$zlib/$c.c" -o "$build/deps/zlib/$c.o"
    done
    emar rcs "$prefix/lib/libz.a" "$build/deps/zlib"/*.o
    cp "$zlib/zlib.h" "$build/deps/zlib/zconf.h" "$prefix/include/"
fi
cmake_lib expat "$(one "$sources/expat-*/")expat" -DEXPAT_BUILD_TOOLS=OFF \
    -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
    -DEXPAT_SHARED_LIBS=OFF
# emscripten's off_t is 64 bits, which libzip's check cannot find out when
# cross-compiling.
cmake_lib libzip "$(one "$sources/libzip-*/")" -DSIZEOF_OFF_T=8 -DENABLE_BZIP2=OFF \
    -DENABLE_LZMA=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="$prefix/include"

# The core and the page's engine (src/web).
PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig:$prefix/share/pkgconfig \
    emcmake cmake -S . -B "$build/core" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_BUILD_UI=OFF -DMORVANE_BUILD_TESTS=OFF -DMORVANE_WITH_ICU=OFF \
    -DMORVANE_WITH_PROJ=OFF -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
cmake --build "$build/core" -j 2 --target morvane-engine

# proj4js, as locked.
(cd web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)

page=$build/morvane-web
rm -rf "$page"
mkdir -p "$page"
cp web/index.html web/page.css web/page.js web/plot.js "$page/"
# The worker's script is one text that the page turns into a worker of its
# own (a Blob), as a page opened from a folder may not start a worker from
# a file: proj4js, the engine (its WebAssembly inside) and the glue.
node web/tools/bundle-engine.js "$page/engine.js" web/node_modules/proj4/dist/proj4.js \
    "$build/core/src/web/morvane-engine.js" web/worker.js
# The terms of what the page carries.
mkdir -p "$page/licenses"
cp web/node_modules/proj4/LICENSE.md "$page/licenses/proj4js.md"
cp "$(one "$sources/expat-*/")expat/COPYING" "$page/licenses/expat.txt"
cp "$(one "$sources/libzip-*/")LICENSE" "$page/licenses/libzip.txt"
cp "$(one "$sources/zlib-*/")LICENSE" "$page/licenses/zlib.txt"

rm -f "$build/morvane-web.zip"
(cd "$build" && python3 -m zipfile -c morvane-web.zip morvane-web/)
echo "build-web: $build/morvane-web/index.html and $build/morvane-web.zip" \
    "($(du -sk "$page" | cut -f1) KB)"
