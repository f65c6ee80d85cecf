#!/usr/bin/env bash
# Renders the real installer window to PNG files under shots/: the demo pack at start,
# empty resources, during a run, the completion alert and the location sheet; each in
# Chinese and English, light and dark (shots/zh-light, shots/zh-dark, shots/en-light, ...).
# Runs on Qt's offscreen platform with a CJK font; installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --render
cmake -S scripts/render -B build/render -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build/render -j"$(nproc 2> /dev/null || sysctl -n hw.ncpu)"

# A virtual screen larger than the window, so sheets and alerts get their natural size.
config="$PWD/build/render/offscreen-screen.json"
cat > "$config" << 'JSON'
{ "screens": [ { "name": "render", "x": 0, "y": 0, "width": 1600, "height": 1000,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
JSON
rm -rf shots && mkdir -p shots
QT_QPA_PLATFORM="offscreen:configfile=$config" LC_ALL=C.UTF-8 \
  build/render/render-window demo-pack shots > /dev/null
ls -1 shots/*/*.png
