#!/usr/bin/env bash
# bench/stall.sh [MB]
#
# Installs one template holding a file of MB megabytes (default 1500) through the real
# window on Qt's offscreen platform and prints the longest time the window's thread went
# without a turn of its event loop (target: at most 50 ms). Runs three times, each into a
# fresh home folder.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-1500}
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPLUGININSTALLER_BENCH=ON \
  -DPLUGININSTALLER_TESTS=OFF > /dev/null
cmake --build build/bench --target stall_bench -j2 > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pack/Titles/Large"
head -c "${size}M" /dev/urandom > "$work/pack/Titles/Large/clip.mov"
for round in 1 2 3; do
  mkdir "$work/home-$round"
  QT_QPA_PLATFORM=offscreen build/bench/bench/stall_bench "$work/home-$round" "$work/pack"
  rm -rf "$work/home-$round"
done
