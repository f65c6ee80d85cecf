#!/usr/bin/env python3
"""Fails when the folders of src/ include each other against their order.

Each folder may include only the folders below it:

    app  ->  ui, cli  ->  model  ->  install  ->  discovery  ->  platform  ->  base

(cli and ui are side by side: neither includes the other, and cli never includes the
window's state object in model/). A circle between folders is reported as such. The
core folders, everything but ui/ and app/, include no Qt Widgets header either.
"""
import glob
import os
import re
import sys

ORDER = ["base", "platform", "discovery", "install", "model", "cli", "ui", "app"]
ALLOWED = {
    "base": set(),
    "platform": {"base"},
    "discovery": {"base", "platform"},
    "install": {"base", "platform", "discovery"},
    "model": {"base", "platform", "discovery", "install"},
    "cli": {"base", "platform", "discovery", "install"},
    "ui": {"base", "platform", "discovery", "install", "model"},
    "app": set(ORDER) - {"app"},
}
CORE = {"base", "platform", "discovery", "install", "model", "cli"}
PROJECT_INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z_]+)/[^"]+"', re.M)
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>", re.M)


def widget_headers():
    """Class headers of Qt Widgets as installed, or a list of the common ones."""
    names = set()
    for folder in glob.glob("/usr/include/*/qt6/QtWidgets") + glob.glob(
        "/usr/include/qt6/QtWidgets"
    ):
        names.update(n for n in os.listdir(folder) if re.fullmatch(r"Q[A-Za-z]+", n))
    if not names:
        names = {"QWidget", "QApplication", "QDialog", "QLabel", "QPushButton",
                 "QLineEdit", "QMessageBox", "QLayout", "QVBoxLayout", "QHBoxLayout"}
    return names


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
    widgets = widget_headers()
    edges = {}  # (from, to) -> first file seen
    problems = []
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder)
        if not os.path.isdir(path) or folder not in ALLOWED:
            continue
        for dirpath, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".mm")):
                    continue
                file = os.path.join(dirpath, name)
                shown = os.path.relpath(file, os.path.join(root, ".."))
                text = open(file, encoding="utf-8").read()
                for target in PROJECT_INCLUDE.findall(text):
                    if target != folder and target in ALLOWED:
                        edges.setdefault((folder, target), shown)
                if folder in CORE:
                    for header in SYSTEM_INCLUDE.findall(text):
                        if header.startswith("QtWidgets") or header in widgets:
                            problems.append(f"{shown}: a core file includes <{header}>")

    for (source, target), shown in sorted(edges.items()):
        if target not in ALLOWED[source]:
            problems.append(f"{shown}: {source}/ may not include {target}/")
    # Circles, named folder by folder.
    graph = {}
    for source, target in edges:
        graph.setdefault(source, set()).add(target)
    seen, stack = set(), []

    def visit(node):
        if node in stack:
            loop = stack[stack.index(node):] + [node]
            problems.append("folders include each other in a circle: " + " -> ".join(loop))
            return
        if node in seen:
            return
        seen.add(node)
        stack.append(node)
        for nxt in sorted(graph.get(node, ())):
            visit(nxt)
        stack.pop()

    for node in sorted(graph):
        visit(node)

    for line in problems:
        print(line, file=sys.stderr)
    if problems:
        return 1
    print(f"layers: {len(edges)} folder dependencies, all downward")
    return 0


if __name__ == "__main__":
    sys.exit(main())
