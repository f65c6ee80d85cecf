#!/usr/bin/env bash
# bench/scale.sh: the window at scale, on packs of 40 and 2,000 plug-in folders:
#   start-up to the first painted window, beside a bare Qt window of the same size;
#   the time to apply one keystroke in a name field with 2,000 rows;
#   peak memory (RSS) at start-up with 2,000 folders.
# Runs offscreen; needs hyperfine and GNU time (scripts/deps.sh --bench).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/deps.sh --bench
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DPLUGININSTALLER_BENCH=ON \
  -DPLUGININSTALLER_TESTS=OFF > /dev/null
cmake --build build/bench --target ui_bench -j2 > /dev/null
harness=$root/build/bench/bench/ui_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Packs of N template folders, one small template file each: the window's cost is per folder.
make_pack() {
  python3 - "$1" "$2" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
kinds = ["Titles", "Effects", "Generators", "Transitions"]
for i in range(count):
    folder = os.path.join(root, kinds[i % 4], f"Template {i:04d} 模板")
    os.makedirs(folder)
    with open(os.path.join(folder, "template.moti"), "w") as f:
        f.write("<template/>\n")
os.makedirs(os.path.join(root, "Fonts"))
open(os.path.join(root, "Fonts", "a.ttf"), "w").close()
open(os.path.join(root, "tutorial_url.txt"), "w").write("https://example.com/\n")
PY
}
make_pack "$work/p40" 40
make_pack "$work/p2000" 2000

hyperfine --warmup 2 --runs 15 -N --export-json "$work/h.json" \
  -n bare "$harness bare" \
  -n "bare + text" "$harness bare-text" \
  -n "40 folders" "$harness startup $work/p40" \
  -n "2000 folders" "$harness startup $work/p2000" > /dev/null
python3 - "$work/h.json" <<'PY'
import json, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
print("start-up to first painted window (median of 15):")
for name in ["bare", "bare + text", "40 folders", "2000 folders"]:
    print(f"  {name:>13}: {r[name]*1000:7.1f} ms   ratio to bare {r[name]/r['bare']:.2f}"
          f", to bare + text {r[name]/r['bare + text']:.2f}")
print(f"2000 folders / 40 folders: {r['2000 folders'] / r['40 folders']:.2f}")
for base in ["bare", "bare + text"]:
    ratio = r["2000 folders"] / r[base]
    print(f"ratio at 2000 folders to {base}: {ratio:.2f} (target <= 1.3) {'ok' if ratio <= 1.3 else 'over target'}")
PY
echo "where the time goes at 2000 folders (one run):"
UI_BENCH_STAGES=1 "$harness" startup "$work/p2000" 2>&1 > /dev/null | grep '^scan' | sed 's/^/  /'
"$harness" keystroke "$work/p2000"
rss=$(/usr/bin/time -f %M "$harness" startup "$work/p2000" 2>&1 > /dev/null | tail -1)
rss_bare=$(/usr/bin/time -f %M "$harness" bare 2>&1 > /dev/null | tail -1)
echo "peak RSS: 2000 folders $((rss / 1024)) MiB, bare window $((rss_bare / 1024)) MiB"
