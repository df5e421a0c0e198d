#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then cross-builds the
# Windows command line and compares it under wine with the Linux one
# (scripts/test-windows.sh); then the browser page's tests in chromium
# (scripts/test-web.sh); then builds the fuzz
# targets with clang and runs each a short while over its corpus, so that a
# change that breaks them or that they crash on fails here; then builds the
# core tests again with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ and runs them there, so that no memory error or undefined
# behaviour passes unnoticed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

# The Windows command line, cross-built and run under wine, against the Linux
# build just tested.
scripts/test-windows.sh build

# The browser page, built with emscripten and driven in chromium.
scripts/test-web.sh

fuzz/run.sh --each 25

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DMORVANE_BUILD_UI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build build-asan --target core_tests
UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
