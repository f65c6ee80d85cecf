#!/usr/bin/env python3
"""make-pack.py DIR [SCALE]: a synthetic pack of Motion templates for the bench.

DIR gets Titles/, Effects/, Generators/ and Transitions/ with 10 plug-in folders each per
unit of SCALE (default 1, about 150 MB; fractions allowed, 0.1 gives 4 folders), plus
Fonts/, tutorial_url.txt, post.command and a .DS_Store, as a maker's pack has them. Each
folder holds a template (XML text), a thumbnail and media of mixed sizes, some nested.
Everything comes from fixed seeds: folder number i is the same at every scale and every
run, bytes, modes and times included, so two runs compare like with like. Media bytes
are random (incompressible). DIR must be missing or empty.
"""
import os
import random
import sys

KINDS = [("Titles", ".moti"), ("Effects", ".moef"), ("Generators", ".motn"),
         ("Transitions", ".motr")]
WORDS = ["Glow", "Push", "Lower Third", "Gradient", "Basic", "Slide", "Flash", "Orbit",
         "Film", "Neon", "标题", "光效", "背景", "推移", "字幕"]
MTIME = 1_600_000_000
KB, MB = 1024, 1024 * 1024


def main():
    if len(sys.argv) not in (2, 3) or sys.argv[1] in ("-h", "--help"):
        sys.exit(__doc__)
    root, scale = sys.argv[1], float(sys.argv[2]) if len(sys.argv) == 3 else 1.0
    if scale <= 0:
        sys.exit("SCALE must be above 0")
    if os.path.exists(root) and os.listdir(root):
        sys.exit(f"{root} is not empty")
    totals = {"files": 0, "dirs": 0, "bytes": 0}
    made = []  # every path, for the fixed times at the end

    def folder(path):
        os.makedirs(path, exist_ok=True)
        totals["dirs"] += 1
        made.append(path)
        return path

    def file(path, data, mode=0o644):
        with open(path, "wb") as out:
            out.write(data)
        os.chmod(path, mode)
        totals["files"] += 1
        totals["bytes"] += len(data)
        made.append(path)

    folder(root)
    count = max(1, round(40 * scale))
    for i in range(count):
        kind, extension = KINDS[i % 4]
        rng = random.Random(f"plug-in {i}")
        name = f"{rng.choice(WORDS)} {rng.choice(WORDS)} {i:04d}"
        base = folder(os.path.join(folder(os.path.join(root, kind)), name))
        lines = "".join(f'  <parameter name="p{n}" value="{rng.random():.6f}"/>\n'
                        for n in range(rng.randint(100, 1500)))
        file(os.path.join(base, name + extension),
             f'<?xml version="1.0"?>\n<template id="{i}">\n{lines}</template>\n'.encode())
        file(os.path.join(base, "small.png"), rng.randbytes(rng.randint(20 * KB, 200 * KB)))
        media = folder(os.path.join(base, "Media"))
        for n in range(rng.randint(3, 12)):
            # Mostly small files, a few large ones: about 3.5 MB per folder on average.
            size = rng.randint(4 * KB, 300 * KB) if rng.random() < 0.9 else \
                rng.randint(1 * MB, 5 * MB)
            where = media if n % 3 else folder(os.path.join(media, f"Layer {n}"))
            file(os.path.join(where, f"clip {n}.mov"), rng.randbytes(size))
    fonts = folder(os.path.join(root, "Fonts"))
    rng = random.Random("fonts")
    for n in range(3):
        file(os.path.join(fonts, f"Bench Sans {n}.ttf"), rng.randbytes(rng.randint(50, 400) * KB))
    file(os.path.join(root, "tutorial_url.txt"), b"https://example.com/tutorial\n")
    file(os.path.join(root, "post.command"), b"#!/bin/sh\nexit 0\n", 0o755)
    file(os.path.join(root, ".DS_Store"), random.Random("ds").randbytes(6 * KB))
    for path in reversed(made):  # folders after their contents
        os.utime(path, (MTIME, MTIME), follow_symlinks=False)
    print(f"files={totals['files']} dirs={totals['dirs']} bytes={totals['bytes']}")


main()
