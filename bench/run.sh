#!/usr/bin/env bash
# bench/run.sh [SCALE] [anchors.py options...]
#
# Times the engine's fresh copy and its merge over an identical install beside cp -R,
# rsync and the other anchors, on the same synthetic pack and in the same rounds, then
# prints how the engine compares with cp -R (copy), and with `cp -R src/. dst/` and
# `rsync -a` (merge). Then the same on a copy-on-write volume (XFS with reflink on a loop
# file, as root; skipped otherwise), where cp clones as it does on APFS.
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
scratch=$(mktemp -d)
trap 'rm -f "$table"; scripts/cow-volume.sh unmount "$scratch/cow" 2> /dev/null; rmdir "$scratch" 2> /dev/null || true' EXIT

# measure LABEL COPY_TARGET MERGE_TARGETS... [-- anchors.py options]: one interleaved run of
# the engine and its anchors, then the engine's ratios against them. A merge target is
# "ANCHOR=RATIO"; the copy is always against cp -R.
measure() {
  local label=$1 copy_target=$2
  shift 2
  local targets=()
  while [[ $# -gt 0 && $1 != -- ]]; do targets+=("$1"); shift; done
  [[ $# -gt 0 ]] && shift
  echo "== $label"
  python3 bench/anchors.py "$scale" --copy "ours=$harness copy {src} {dst}" \
    --merge "ours=$harness merge {src} {dst}" "$@" | tee "$table"
  python3 - "$table" "$label" "$copy_target" "${targets[@]}" <<'PY'
import re, sys
table, label, copy_target, merges = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4:]
median = {}
for line in open(table):
    m = re.match(r"^(copy|merge)\s+(.+?)\s+([\d.]+)\s+[\d.]+\s+[\d.]+\s+\d+\s+\d+\s*$", line)
    if m:
        median[(m[1], m[2])] = float(m[3])
def ratio(kind, anchor, target):
    ours, base = median.get((kind, "ours")), median.get((kind, anchor))
    if ours and base:
        verdict = "ok" if ours / base <= target else "over target"
        print(f"{label}: ratio {kind}: ours / {anchor} = {ours / base:.2f} (target <= {target}) {verdict}")
ratio("copy", "cp -R", copy_target)
for merge in merges:
    anchor, target = merge.rsplit("=", 1)
    ratio("merge", anchor, float(target))
PY
}

# This machine's disk: a re-install needs no more than a look at each file, as rsync's.
measure "$(df --output=fstype "${TMPDIR:-/tmp}" 2> /dev/null | tail -1 | tr -d ' ' || echo disk)" \
  1.05 "cp -R src/. dst/=0.7" "rsync -a=1.0" -- "$@"

# A copy-on-write file system, where cp clones: the engine must clone as well.
if scripts/cow-volume.sh mount "$scratch/cow" "$(python3 -c "print(max(2, int($scale * 1.2) + 2))")G"; then
  measure "xfs with reflink (loop file)" 1.2 "cp -R src/. dst/=1.2" -- --work "$scratch/cow/work" "$@"
else
  echo "== xfs with reflink: skipped (see above; run as root after scripts/deps.sh --bench)"
fi

# The window at scale, in the same run.
bench/scale.sh
