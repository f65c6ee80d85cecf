#!/usr/bin/env bash
# bench/run.sh [SCALE] [anchors.py options...]
#
# Times the engine's fresh copy and its merge over an identical install beside cp -R,
# rsync and the other anchors, on the same synthetic pack and in the same rounds, then
# prints how the engine compares with cp -R (copy) and with `cp -R src/. dst/` (merge).
# SCALE defaults to 4 (about 600 MB); the pack comes from bench/make-pack.py and the
# timing, with its fresh destinations, from bench/anchors.py (options after SCALE).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scale=4
if [[ $# -gt 0 && $1 != -* ]]; then
  scale=$1
  shift
fi

scripts/deps.sh --bench
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPLUGININSTALLER_BENCH=ON \
  -DPLUGININSTALLER_TESTS=OFF > /dev/null
cmake --build build/bench --target engine_bench -j2 > /dev/null
harness=$root/build/bench/bench/engine_bench

table=$(mktemp)
trap 'rm -f "$table"' EXIT
python3 bench/anchors.py "$scale" --copy "ours=$harness copy {src} {dst}" \
  --merge "ours=$harness merge {src} {dst}" "$@" | tee "$table"

python3 - "$table" <<'PY'
import re, sys
median = {}
for line in open(sys.argv[1]):
    m = re.match(r"^(copy|merge)\s+(.+?)\s+([\d.]+)\s+[\d.]+\s+[\d.]+\s+\d+\s+\d+\s*$", line)
    if m:
        median[(m[1], m[2])] = float(m[3])
def ratio(kind, anchor, target):
    ours, base = median.get((kind, "ours")), median.get((kind, anchor))
    if ours and base:
        verdict = "ok" if ours / base <= target else "over target"
        print(f"ratio {kind}: ours / {anchor} = {ours / base:.2f} (target <= {target}) {verdict}")
ratio("copy", "cp -R", 1.05)
ratio("merge", "cp -R src/. dst/", 0.7)
PY

# The window at scale, in the same run.
bench/scale.sh
