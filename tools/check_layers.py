#!/usr/bin/env python3
"""Fails when a file of the skin library includes a header of a higher layer.

The layers, lowest first, are the folders of skinlib/: base (handle owners,
BMP files), skindata, engine, paint, controls, classes (the table that knows
every skin class). A file may include headers of its own layer and of the
layers below. The build already keeps each layer from seeing the include
folders above it; this check also catches a header reached by a relative
path and names every offending line at once.

Usage: check_layers.py [--count] [ROOT]
  --count  print only the number of upward includes and exit 0
"""
import os
import re
import sys

LAYERS = ["base", "skindata", "engine", "paint", "controls", "classes"]
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def source_files(skinlib):
    for layer in os.listdir(skinlib):
        folder = os.path.join(skinlib, layer)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if name.endswith((".h", ".cpp", ".c", ".inl")):
                yield layer, os.path.join(folder, name)


def header_layers(skinlib):
    """Header file name -> the layer folder that holds it."""
    owners = {}
    for layer, path in source_files(skinlib):
        if path.endswith(".h"):
            owners.setdefault(os.path.basename(path), layer)
    return owners


def rank(layer):
    # A folder outside the known order counts as the top, so it may see all
    # and nothing may see it.
    return LAYERS.index(layer) if layer in LAYERS else len(LAYERS)


def upward_includes(root):
    skinlib = os.path.join(root, "skinlib")
    owners = header_layers(skinlib)
    found = []
    for layer, path in source_files(skinlib):
        with open(path, encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = owners.get(os.path.basename(match.group(1)))
                if target is not None and rank(target) > rank(layer):
                    found.append((os.path.relpath(path, root), number, match.group(1), layer, target))
    return found


def main(argv):
    count_only = "--count" in argv
    args = [a for a in argv if a != "--count"]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    if not os.path.isdir(os.path.join(root, "skinlib")):
        print("check_layers: no skinlib folder under %s" % root, file=sys.stderr)
        return 2
    found = upward_includes(root)
    if count_only:
        print(len(found))
        return 0
    for path, number, header, layer, target in found:
        print("%s:%d: layer %s includes %s of the higher layer %s" % (path, number, layer, header, target))
    if found:
        print("check_layers: %d upward include(s)" % len(found))
        return 1
    print("check_layers: no upward includes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
