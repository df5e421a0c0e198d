#!/usr/bin/env bash
# Cross-builds morvane-check.exe for 64-bit Windows into build-windows/ (or
# the folder given as the first argument): installs mingw-w64 and what else
# is missing through scripts/deps.sh, builds expat, libzip, SQLite and PROJ
# (its library alone) from their Debian source packages, then the command
# line without Qt and ICU, linked statically, and packs it into
# build-windows/morvane-check-VERSION-windows-x86_64.zip. The libraries are
# built once; a second run rebuilds only the program.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-windows}")

scripts/deps.sh g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 sqlite3 tcl zip

sources=$build/sources
prefix=$build/prefix
mkdir -p "$sources" "$prefix"
jobs=$(($(nproc) < 2 ? $(nproc) : 2))
toolchain=$root/packaging/windows/mingw-w64-x86_64.cmake
crossCmake=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DMORVANE_WINDOWS_PREFIX="$prefix"
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF)

# apt-get source needs source entries, which a machine set up for binary
# packages often lacks: the machine's own entries are read again as
# deb-src, in an apt state of this build's own, and the machine's apt is
# left as it is.
apt=$build/apt
aptOptions=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources"
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o Debug::NoLocking=1
    -o APT::Sandbox::User="$(id -un)")
prepareSourceEntries() {
    [[ -d $apt/lists && -n $(ls "$apt/lists" 2>/dev/null) ]] && return
    mkdir -p "$apt/sources" "$apt/lists/partial" "$apt/cache/archives/partial"
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [[ -e $file ]] || continue
        sed -E 's/^Types:.*/Types: deb-src/' "$file" >"$apt/sources/$(basename "$file")"
    done
    if [[ -f /etc/apt/sources.list ]]; then
        sed -nE 's/^deb[[:space:]]+/deb-src /p' /etc/apt/sources.list >"$apt/sources/list.list"
    fi
    apt-get "${aptOptions[@]}" update -q >"$apt/update.log" 2>&1 ||
        { cat "$apt/update.log" >&2; exit 1; }
}

# Unpacks the Debian source package into sources/NAME, its patches applied.
# A version an archive no longer carries (a security update replaced) is
# passed over for the next one down.
fetchSource() {
    local package=$1
    [[ -d $sources/$package ]] && return
    prepareSourceEntries
    local version dsc
    for version in $(apt-cache "${aptOptions[@]}" showsrc "$package" |
        sed -n 's/^Version: //p' | sort -ruV); do
        rm -rf "$sources/download"
        mkdir -p "$sources/download"
        if (cd "$sources/download" &&
            apt-get "${aptOptions[@]}" source --download-only -q "$package=$version" \
                >download.log 2>&1); then
            dsc=$(ls "$sources/download"/*.dsc)
            dpkg-source --no-check -x "$dsc" "$sources/$package" >/dev/null
            echo "build-windows: $package $version (Debian source)"
            rm -rf "$sources/download"
            return
        fi
    done
    echo "build-windows: no source of the Debian package $package could be fetched" >&2
    cat "$sources/download/download.log" >&2 2>/dev/null || true
    exit 1
}

# Runs a step of a library's build with its output in LOG, shown only when
# the step fails: the libraries' own warnings are not ours to mend.
quietly() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }
}

# Each library is built once; its stamp records that it is in the prefix.
built() { [[ -f $prefix/$1.built ]]; }
stamp() { touch "$prefix/$1.built"; }

# zlib (Debian's mingw-w64 build) comes as a static archive and as a DLL's
# import library side by side, and CMake's search takes the latter, which
# would make the program need zlib1.dll; in the prefix the archive is alone.
mkdir -p "$prefix/lib"
cp /usr/x86_64-w64-mingw32/lib/libz.a "$prefix/lib/"

fetchSource expat
if ! built expat; then
    # The upstream tree keeps the library in its expat folder.
    quietly "$build/expat.log" cmake -S "$sources/expat/expat" -B "$build/expat" "${crossCmake[@]}" \
        -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF \
        -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_FUZZERS=OFF
    # Debian's security patches test "XML_DTD == 1", as its autotools build
    # defines it; CMake's configuration header defines it empty.
    sed -i 's/^#define XML_DTD$/#define XML_DTD 1/' "$build/expat/expat_config.h"
    quietly "$build/expat.log" cmake --build "$build/expat" -j "$jobs"
    quietly "$build/expat.log" cmake --install "$build/expat"
    stamp expat
fi

fetchSource libzip
if ! built libzip; then
    # Deflate through zlib alone: no other compression, no encryption.
    quietly "$build/libzip.log" cmake -S "$sources/libzip" -B "$build/libzip" "${crossCmake[@]}" -DENABLE_BZIP2=OFF \
        -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF \
        -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF \
        -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
    quietly "$build/libzip.log" cmake --build "$build/libzip" -j "$jobs"
    quietly "$build/libzip.log" cmake --install "$build/libzip"
    stamp libzip
fi

fetchSource sqlite3
if ! built sqlite3; then
    # The source tree makes its one-file form (sqlite3.c) with tclsh on this
    # machine; that file alone is then compiled for Windows.
    mkdir -p "$build/sqlite3"
    (cd "$build/sqlite3" && quietly configure.log "$sources/sqlite3/configure" --disable-tcl &&
        quietly make.log make sqlite3.c)
    x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION \
        -c "$build/sqlite3/sqlite3.c" -o "$build/sqlite3/sqlite3.o"
    mkdir -p "$prefix/lib" "$prefix/include"
    rm -f "$prefix/lib/libsqlite3.a"
    x86_64-w64-mingw32-gcc-ar-posix rcs "$prefix/lib/libsqlite3.a" "$build/sqlite3/sqlite3.o"
    cp "$build/sqlite3/sqlite3.h" "$prefix/include/"
    stamp sqlite3
fi

fetchSource proj
if ! built proj; then
    # The library alone: no programs, no tests, no grids through TIFF or the
    # network. Its database is built all the same, by the sqlite3 program of
    # this machine.
    quietly "$build/proj.log" cmake -S "$sources/proj" -B "$build/proj" "${crossCmake[@]}" -DBUILD_APPS=OFF \
        -DBUILD_TESTING=OFF -DENABLE_TIFF=OFF -DENABLE_CURL=OFF -DBUILD_PROJSYNC=OFF \
        -DEXE_SQLITE3="$(command -v sqlite3)" -DSQLITE3_INCLUDE_DIR="$prefix/include" \
        -DSQLITE3_LIBRARY="$prefix/lib/libsqlite3.a" -DNLOHMANN_JSON_ORIGIN=internal
    quietly "$build/proj.log" cmake --build "$build/proj" -j "$jobs"
    quietly "$build/proj.log" cmake --install "$build/proj"
    stamp proj
fi

cmake -S . -B "$build/morvane" "${crossCmake[@]}" -DMORVANE_BUILD_UI=OFF \
    -DMORVANE_BUILD_TESTS=OFF -DMORVANE_WITH_ICU=OFF -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$build/morvane" -j "$jobs" --target morvane-check
exe=$build/morvane/src/cli/morvane-check.exe
stage=$build/stage
rm -rf "$stage" && mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/morvane-check.exe" "$exe"

version=$(sed -nE 's/^project\(Morvane VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
zipFile=$build/morvane-check-$version-windows-x86_64.zip
rm -f "$zipFile"
(cd "$stage" && zip -q -X "$zipFile" morvane-check.exe)
echo "build-windows: $zipFile"
