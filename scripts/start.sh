#!/usr/bin/env bash
# Builds the installer around the demo pack and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPLUGININSTALLER_TESTS=OFF "$@"
cmake --build build/release -j"$(nproc 2> /dev/null || sysctl -n hw.ncpu)"
name=$(sed -n 's/^PLUGININSTALLER_APP_NAME:STRING=//p' build/release/CMakeCache.txt)
exec "build/release/$name.app/Contents/MacOS/$name"
