"""Compiles every source file a macOS build compiles, for each macOS target given.

compile.py ROOT BUILD ZIG TARGET...

BUILD is a configured Linux build of the project whose moc output exists; its
macos-sources.txt (written by CMake) names the files a macOS build compiles, and its
compile_commands.json gives each target's flags. Every file is compiled with those
flags, -Werror and `zig c++ -target TARGET`. Also fails when a file under src/ is in
no list, or a *_linux file is in the macOS one.

Parsing Qt's headers is most of the time, so each larger target first gets a
precompiled header of the Qt and standard headers its folders include (zig has no
option for one: its own clang is run with the arguments zig would give it).
"""
import concurrent.futures
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
from collections import defaultdict

root, build, zig, targets = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
problems = []

macos = defaultdict(list)  # target -> sources
with open(os.path.join(build, "macos-sources.txt"), encoding="utf-8") as listing:
    for line in listing:
        if line.strip():
            target, path = line.rstrip("\n").split("|", 1)
            macos[target].append(os.path.realpath(path))
macos_files = {path for paths in macos.values() for path in paths}

with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as db:
    commands = json.load(db)
flags_of = {}  # target -> flags
linux_files = set()
mocs = defaultdict(list)  # target -> generated moc sources
for entry in commands:
    args = entry.get("arguments") or shlex.split(entry["command"])
    match = re.search(r"CMakeFiles/([^/]+)\.dir/", " ".join(args))
    if not match:
        continue
    target, path = match[1], os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    linux_files.add(path)
    if os.path.basename(path) == "mocs_compilation.cpp":
        mocs[target].append(path)
    if target in flags_of:
        continue
    flags, skip = [], False
    for i, arg in enumerate(args[1:], 1):
        if skip:
            skip = False
        elif arg in ("-o", "-c"):
            skip = True
        elif arg == "-isystem" and "/mkspecs/" in args[i + 1]:
            skip = True  # the Linux compiler's Qt platform folder
        elif arg.startswith("-fsanitize") or arg in ("-fno-omit-frame-pointer", "-g") \
                or re.fullmatch(r"-O\w*", arg) or arg == entry["file"]:
            continue
        else:
            flags.append(arg)
    flags_of[target] = flags

# Every file under src/ is compiled somewhere; the macOS build takes all but *_linux.
for folder, _, names in os.walk(os.path.join(root, "src")):
    for name in names:
        path = os.path.realpath(os.path.join(folder, name))
        relative = os.path.relpath(path, root)
        if not re.search(r"\.(cpp|mm)$", name):
            continue
        linux_only = re.search(r"_linux\.(cpp|mm)$", name)
        if linux_only and path in macos_files:
            problems.append(f"{relative}: a Linux file in the macOS build")
        elif not linux_only and path not in macos_files:
            problems.append(f"{relative}: not compiled on macOS (list it in installer_sources)")
        if not re.search(r"_mac\.(cpp|mm)$", name) and path not in linux_files:
            problems.append(f"{relative}: in no target of the Linux build")

shutil.rmtree(os.path.join(build, "macos-objects"), ignore_errors=True)  # none left over
EXTRA = ["-g0"]  # debug info is of no use here
QT_OR_STD = re.compile(r"^\s*#\s*include\s*<((?:Q\w*/)?Q\w*|[a-z_]+)>", re.M)


def precompiled_header(arch, target, sources):
    """A precompiled header for the target on arch, or None when it cannot be made."""
    folders = {os.path.dirname(source) for source in sources}
    files = list(sources)
    for folder in folders:
        files += [os.path.join(folder, name) for name in os.listdir(folder)
                  if name.endswith(".h") and "_linux" not in name]
    includes = set()
    for path in files:
        with open(path, encoding="utf-8") as text:
            includes.update(QT_OR_STD.findall(text.read()))
    base = os.path.join(build, "macos-objects", arch, target, "prefix")
    os.makedirs(os.path.dirname(base), exist_ok=True)
    with open(base + ".cpp", "w", encoding="utf-8") as header:
        header.writelines(f"#include <{name}>\n" for name in sorted(includes))
    plan = subprocess.run([zig, "c++", "-target", arch] + flags_of[target] + EXTRA
                          + ["-c", base + ".cpp", "-o", base + ".o", "-###"],
                          capture_output=True, text=True)
    cc1 = [line for line in plan.stderr.splitlines() if '"-cc1"' in line]
    if plan.returncode != 0 or not cc1:
        return None
    args = shlex.split(cc1[-1])
    try:
        args[args.index("-emit-obj")] = "-emit-pch"
        args[args.index("-x") + 1] = "c++-header"
        args[args.index("-o") + 1] = base + ".pch"
    except (ValueError, IndexError):
        return None
    made = subprocess.run(args, capture_output=True, text=True)
    return base + ".pch" if made.returncode == 0 else None


pch_work = [(arch, target) for target, sources in macos.items() if target in flags_of
            and len(sources) >= 3 for arch in targets]
with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
    pchs = dict(zip(pch_work, pool.map(
        lambda work: precompiled_header(work[0], work[1], macos[work[1]]), pch_work)))

jobs = []
for target, sources in sorted(macos.items()):
    if target not in flags_of:
        problems.append(f"{target}: no compile flags in {build}/compile_commands.json")
        continue
    for arch in targets:
        pch = pchs.get((arch, target))
        prefix = ["-Xclang", "-include-pch", "-Xclang", pch] if pch else []
        for source in sources + mocs[target]:
            out = os.path.join(build, "macos-objects", arch, target,
                               os.path.relpath(source, root).replace("/", "_") + ".o")
            jobs.append((arch, source, out, [zig, "c++", "-target", arch] + flags_of[target]
                         + EXTRA + prefix + ["-Werror", "-c", source, "-o", out]))


def run(job):
    arch, source, out, command = job
    os.makedirs(os.path.dirname(out), exist_ok=True)
    done = subprocess.run(command, capture_output=True, text=True)
    return arch, source, done.returncode, done.stdout + done.stderr


failed = 0
with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
    for arch, source, status, output in pool.map(run, jobs):
        if status != 0:
            failed += 1
            print(f"--- {arch}: {os.path.relpath(source, root)}\n{output}", file=sys.stderr)

for problem in problems:
    print(f"macOS check: {problem}", file=sys.stderr)
files = len(jobs) // max(len(targets), 1)
print(f"macOS compile: {files} files x {len(targets)} targets ({', '.join(targets)}), "
      f"{sum(1 for pch in pchs.values() if pch)} of {len(pchs)} precompiled headers, "
      f"{failed} failed")
sys.exit(1 if failed or problems else 0)
