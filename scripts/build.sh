#!/usr/bin/env bash
# Configures (CMake + Ninja) and builds into build/. Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja "$@" >/dev/null
cmake --build build
