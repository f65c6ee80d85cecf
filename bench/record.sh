#!/usr/bin/env bash
# bench/record.sh [TEMPLATES] [FILES]
#
# The install record at scale: a pack of TEMPLATES folders (default 1,000) of FILES small
# files each (default 100, so 100,000 files in all) is installed by one run, which records
# every file; then that record is uninstalled. Prints time and peak memory of both, beside
# `cp -R` of the same pack and `rm -rf` of an identical tree (targets: uninstall within
# 2 x rm -rf, peak memory under 150 MB). Needs GNU time (scripts/deps.sh --bench).
set -euo pipefail
cd "$(dirname "$0")/.."
templates=${1:-1000}
files=${2:-100}
scripts/deps.sh --bench
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPLUGININSTALLER_BENCH=ON \
  -DPLUGININSTALLER_TESTS=OFF > /dev/null
cmake --build build/bench --target record_bench -j2 > /dev/null
harness=$PWD/build/bench/bench/record_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/pack" "$templates" "$files" <<'PY'
import os, sys
root, templates, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
kinds = ["Titles", "Effects", "Generators", "Transitions"]
for t in range(templates):
    folder = os.path.join(root, kinds[t % 4], f"Template {t:04d}", "Media")
    os.makedirs(folder)
    for f in range(files):
        with open(os.path.join(folder, f"clip {f:03d}.txt"), "w") as out:
            out.write("x" * 16)
PY
echo "pack: $templates templates of $files files ($((templates * files)) files)"
measure() { # LABEL COMMAND...: prints the label, the command's own line, seconds and peak memory
  local label=$1
  shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" > "$work/said"
  read -r seconds kb < "$work/time"
  printf '%-24s %7.2f s  peak %6d MB  %s\n' "$label" "$seconds" $((kb / 1024)) "$(cat "$work/said")"
  echo "$seconds"> "$work/$label.s"
}
# Each tree in a folder of its own, made just before it is used (see the header of the
# anchors script this project measures against: fresh folders keep create costs honest).
mkdir -p "$work/home" "$work/anchor"
measure "cp -R pack" cp -R "$work/pack" "$work/anchor/copy"
measure "install (recorded)" "$harness" install "$work/home" "$work/pack"
record=$(find "$work/home" -name 'installed-templates-*.json' | head -n 1)
echo "record: $(du -k "$record" | cut -f1) KB"
cp -a "$work/home/Movies" "$work/anchor/twin"
measure "rm -rf (same tree)" rm -rf "$work/anchor/twin"
measure "uninstall" "$harness" uninstall "$work/home"
python3 - "$work" <<'PY'
import sys
w = sys.argv[1]
read = lambda name: float(open(f"{w}/{name}.s").read())
rm, un = read("rm -rf (same tree)"), read("uninstall")
cp, ins = read("cp -R pack"), read("install (recorded)")
print(f"uninstall / rm -rf: {un / max(rm, 0.01):.2f} (target <= 2)")
print(f"install / cp -R:    {ins / max(cp, 0.01):.2f}")
PY
