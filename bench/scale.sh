#!/usr/bin/env bash
# bench/scale.sh: the window at scale, on packs of 0, 40 and 2,000 plug-in folders:
#   start-up to the first painted window, beside a bare Qt window of the same size;
#   the time to apply one keystroke in a name field with 2,000 rows;
#   peak memory (RSS) at start-up with 2,000 folders.
# Runs offscreen unless QT_QPA_PLATFORM says otherwise (xcb under xvfb-run: an X server);
# needs python3 and GNU time (scripts/deps.sh --bench).
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
for kind in kinds:
    os.makedirs(os.path.join(root, kind))
for i in range(count):
    folder = os.path.join(root, kinds[i % 4], f"Template {i:04d} 模板")
    os.mkdir(folder)
    with open(os.path.join(folder, "template.moti"), "w") as f:
        f.write("<template/>\n")
os.makedirs(os.path.join(root, "Fonts"))
open(os.path.join(root, "Fonts", "a.ttf"), "w").close()
open(os.path.join(root, "tutorial_url.txt"), "w").write("https://example.com/\n")
PY
}
make_pack "$work/p0" 0
make_pack "$work/p40" 40
make_pack "$work/p2000" 2000
# A home where the 2,000 templates are installed already.
python3 - "$work/p2000" "$work/home" <<'PY'
import os, sys
pack, home = sys.argv[1:3]
for kind in ["Titles", "Effects", "Generators", "Transitions"]:
    for name in os.listdir(os.path.join(pack, kind)):
        os.makedirs(os.path.join(home, "Movies/Motion Templates.localized", kind + ".localized", name))
PY

# Rounds interleave the five commands, so a drift of the machine falls on all of them alike,
# each round in its own (seeded) order, so that no command always follows the same one.
python3 - "$harness" "$work" <<'PY'
import os, random, statistics, sys, time
harness, work = sys.argv[1:3]
commands = {"bare": ["bare"], "bare + text": ["bare-text"],
            "0 folders": ["startup", f"{work}/p0"], "40 folders": ["startup", f"{work}/p40"],
            "2000 folders": ["startup", f"{work}/p2000"]}
rounds, warmup = 60, 3
devnull = os.open(os.devnull, os.O_WRONLY)
actions = [(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
def timed(argv):
    start = time.perf_counter()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{argv} failed")
    return elapsed
# The cost of starting and reaping a process that does nothing comes off every figure.
spawn = []
times = {name: [] for name in commands}
order = random.Random(1)
for i in range(warmup + rounds):
    for name, args in order.sample(list(commands.items()), len(commands)):
        elapsed = timed([harness, *args])
        if i >= warmup:
            times[name].append(elapsed)
    if i >= warmup:
        spawn.append(timed(["/bin/true"]))
overhead = statistics.median(spawn)
times = {name: [t - overhead for t in ts] for name, ts in times.items()}
r = {name: statistics.median(t) for name, t in times.items()}
print(f"start-up to first painted window (median of {rounds} interleaved rounds,"
      f" less {overhead*1000:.1f} ms of starting /bin/true):")
for name in commands:
    q = statistics.quantiles(times[name], n=4)
    print(f"  {name:>13}: {r[name]*1000:6.1f} ms (quartiles {q[0]*1000:.1f} to {q[2]*1000:.1f})"
          f"   ratio to bare {r[name]/r['bare']:.2f}, to bare + text {r[name]/r['bare + text']:.2f}")
print(f"2000 folders / 40 folders: {r['2000 folders'] / r['40 folders']:.2f}"
      f", / the same window with no folders: {r['2000 folders'] / r['0 folders']:.2f}")
for base in ["bare", "bare + text"]:
    ratio = r["2000 folders"] / r[base]
    print(f"ratio at 2000 folders to {base}: {ratio:.2f} (target <= 1.3) {'ok' if ratio <= 1.3 else 'over target'}")
PY
echo "where the time goes at 2000 folders (one run):"
UI_BENCH_STAGES=1 "$harness" startup "$work/p2000" 2>&1 > /dev/null | grep '^scan' | sed 's/^/  /'
"$harness" keystroke "$work/p2000" "$work/home"
rss=$(/usr/bin/time -f %M "$harness" startup "$work/p2000" 2>&1 > /dev/null | tail -1)
rss_bare=$(/usr/bin/time -f %M "$harness" bare 2>&1 > /dev/null | tail -1)
echo "peak RSS: 2000 folders $((rss / 1024)) MiB, bare window $((rss_bare / 1024)) MiB"
