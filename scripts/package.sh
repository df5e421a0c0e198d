#!/usr/bin/env bash
# Builds the Debian package dist/morvane_<version>_<arch>.deb: a Release build
# of the two programs and morvane-check's drawing module with Debian's
# hardening flags in build-package/ (or the folder given as the first
# argument), packed by CPack, then checked with lintian, which must find no
# error.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
scripts/deps.sh
# Folders in the package are 0755 and files 0644 or 0755, whatever the caller's umask.
umask 022

# Debian's build flags (fortified functions, stack protector, full RELRO and
# immediate binding) without -g: the package ships stripped programs.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CXXFLAGS_MAINT_STRIP=-g
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build"
rm -rf "$build/cpack"
cpack --config "$build/CPackConfig.cmake" -B "$build/cpack" >/dev/null

debs=("$build"/cpack/morvane_*.deb)
mkdir -p dist
cp "${debs[0]}" dist/
deb=dist/$(basename "${debs[0]}")
echo "package: $deb"
# lintian exits non-zero on errors only (warnings are listed in the README).
lintian --fail-on error "$deb"
