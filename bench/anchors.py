#!/usr/bin/env python3
"""anchors.py [SCALE] [options]: times copy and merge tools on a pack from make-pack.py.

  copy   the destination does not exist before each run
  merge  the destination is an identical copy of the pack (cp -a, then sync) before each run

Every tool runs once per round, in an order shuffled per round from a fixed seed, so that
drift of the machine reaches all alike; one row per tool gives the median, least and most
seconds, MB/s (10^6 bytes) and files/s. The pack is read once first, so it is warm in the
page cache. Timed commands do not sync.

Fresh destinations: deleting a copy and writing the next one into the same place gives
false figures on some file systems. ext4 without a journal, for one, avoids reusing
inodes freed in the last minute or more, and creating a file in a block group full of
them costs about forty times a create in a fresh group: a plain "rm -rf, copy again"
loop then times its own deletions. So the destinations live in a folder marked as a top
of hierarchy (chattr +T), where ext4 places each new top folder in a fresh block group;
each destination has a name of its own, and once timed it is emptied but its top folder
is kept (under .used) so that its group is not handed out again during the run. The
header shows the cost of one create in a fresh group ("create probe"): well above about
40 us means the figures are inflated, e.g. by another run's deletions a moment ago.

Options:
  --runs N            timed runs per tool (default 7); --warmup N untimed first (default 1)
  --work DIR          scratch folder (default $TMPDIR/pack-anchors)
  --only copy|merge   time one of the two
  --copy NAME=CMD     another copy tool; {src} and {dst} are replaced (repeatable)
  --merge NAME=CMD    another merge tool (repeatable)
  --keep              keep the pack and the scratch folder
"""
import argparse
import os
import random
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
COPY = [("cp -R", "cp -R {src} {dst}"), ("cp -a", "cp -a {src} {dst}"),
        ("rsync -a", "rsync -a {src}/ {dst}/")]
MERGE = [("cp -R src/. dst/", "cp -R {src}/. {dst}/"), ("rsync -a", "rsync -a {src}/ {dst}/")]


def options():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scale", nargs="?", type=float, default=1.0)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--warmup", type=int, default=1)
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "pack-anchors"))
    parser.add_argument("--only", choices=["copy", "merge"])
    parser.add_argument("--copy", action="append", default=[])
    parser.add_argument("--merge", action="append", default=[])
    parser.add_argument("--keep", action="store_true")
    return parser.parse_args()


def shell(command):
    subprocess.run(command, shell=True, check=True)


class Destinations:
    """Unique destination folders, each in a fresh block group where the file system can."""

    def __init__(self, work):
        self.parent = os.path.join(work, "runs")
        self.used = os.path.join(self.parent, ".used")
        os.makedirs(self.used, exist_ok=True)
        marked = subprocess.run(["chattr", "+T", self.parent], capture_output=True)
        self.fresh_groups = marked.returncode == 0
        self.count = 0

    def new(self):
        self.count += 1
        return os.path.join(self.parent, f"dst-{os.getpid()}-{self.count}")

    def retire(self, path):
        if not os.path.exists(path):
            return
        for entry in os.listdir(path):
            full = os.path.join(path, entry)
            if os.path.isdir(full) and not os.path.islink(full):
                shutil.rmtree(full)
            else:
                os.unlink(full)
        os.rename(path, os.path.join(self.used, os.path.basename(path)))

    def probe(self, files=400):
        """Microseconds per file create in a fresh folder."""
        folder = self.new()
        os.mkdir(folder)
        start = time.perf_counter()
        for n in range(files):
            os.close(os.open(os.path.join(folder, str(n)), os.O_CREAT | os.O_WRONLY, 0o644))
        elapsed = time.perf_counter() - start
        self.retire(folder)
        return elapsed / files * 1e6


def pack_stats(root):
    files = size = 0
    for folder, _, names in os.walk(root):
        for name in names:
            files += 1
            size += os.lstat(os.path.join(folder, name)).st_size
    return files, size


def warm(root):
    for folder, _, names in os.walk(root):
        for name in names:
            with open(os.path.join(folder, name), "rb") as data:
                while data.read(1 << 20):
                    pass


def main():
    args = options()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    src = os.path.join(work, f"pack-S{args.scale:g}")
    if not os.path.exists(src + ".done"):
        shutil.rmtree(src, ignore_errors=True)
        shell(f"python3 {shlex.quote(os.path.join(HERE, 'make-pack.py'))} "
              f"{shlex.quote(src)} {args.scale:g}")
        open(src + ".done", "w").close()
    files, size = pack_stats(src)
    warm(src)
    places = Destinations(work)

    tools = []
    for kind, anchors, extra in (("copy", COPY, args.copy), ("merge", MERGE, args.merge)):
        if args.only in (None, kind):
            tools += [(kind, name, command) for name, command in anchors]
            tools += [(kind,) + tuple(item.split("=", 1)) for item in extra]
    print(f"pack: {src}, {files} files, {size / 1e6:.0f} MB; runs {args.runs} "
          f"(+{args.warmup} warm-up); fresh block groups: "
          f"{'yes' if places.fresh_groups else 'no (chattr +T not supported here)'}; "
          f"create probe {places.probe():.0f} us")

    times = {(kind, name): [] for kind, name, _ in tools}
    order = random.Random(20240101)
    for round_ in range(args.warmup + args.runs):
        for kind, name, command in order.sample(tools, len(tools)):
            dst = places.new()
            if kind == "merge":
                shell(f"cp -a {shlex.quote(src)} {shlex.quote(dst)}")
            # Nothing of the last run or of the prepared copy is left to write out: a copy
            # over data still waiting in the page cache would only drop it, and look cheap.
            shell("sync")
            line = command.replace("{src}", shlex.quote(src)).replace("{dst}", shlex.quote(dst))
            start = time.perf_counter()
            done = subprocess.run(line, shell=True, stdout=subprocess.DEVNULL)
            elapsed = time.perf_counter() - start
            if done.returncode != 0:
                sys.exit(f"{kind} {name} failed: {line}")
            if round_ >= args.warmup:
                times[(kind, name)].append(elapsed)
            places.retire(dst)

    print(f"{'kind':<6} {'tool':<20} {'median s':>9} {'min s':>8} {'max s':>8} "
          f"{'MB/s':>6} {'files/s':>8}")
    for (kind, name), runs in times.items():
        median = statistics.median(runs)
        print(f"{kind:<6} {name:<20} {median:9.3f} {min(runs):8.3f} {max(runs):8.3f} "
              f"{size / 1e6 / median:6.0f} {files / median:8.0f}")
    if not args.keep:
        shutil.rmtree(places.parent, ignore_errors=True)
        shutil.rmtree(src, ignore_errors=True)
        for leftover in (src + ".done",):
            if os.path.exists(leftover):
                os.unlink(leftover)
        if not os.listdir(work):
            os.rmdir(work)


main()
