#!/usr/bin/env python3
"""Every #include "…" of src/ and tools/ runs down the floors of the program or
stays within its own folder: never up, never between the siblings dialogue,
display and files. Prints each include that does not, with the file, the line
and both floors, and exits 1.

    include_floors_test.py SOURCE_ROOT
"""
import os
import re
import sys

# Folder -> (floor, rank). Files of a rank may include files of lower ranks and
# of their own folder; folders sharing a rank are siblings and include none of
# each other.
FLOORS = {
    "src/core": ("core", 0),
    "src/reduction": ("reduction", 1),
    "src/text": ("text", 1),
    "src/state": ("state", 2),
    "src/rules": ("rules", 3),
    "src/dialogue": ("dialogue", 4),
    "src/display": ("display", 4),
    "src/files": ("files", 4),
    "src/run": ("run", 5),
    "src/ui/qt": ("ui/qt", 6),
    "tools": ("tools", 7),
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def folder_of(path):
    """The floor folder a path (relative to the root) lies in, or None."""
    best = None
    for folder in FLOORS:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def target_of(root, including, name):
    """The file an include names, relative to the root: beside the including
    file first, then below src/ (the include root of every floor)."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if os.path.exists(os.path.join(root, beside)):
        return beside
    return os.path.normpath(os.path.join("src", name))


def faults(root):
    found = []
    for top in ("src", "tools"):
        for dirpath, _, files in os.walk(os.path.join(root, top)):
            for f in sorted(files):
                if not f.endswith((".h", ".hpp", ".cpp")):
                    continue
                path = os.path.relpath(os.path.join(dirpath, f), root)
                own = folder_of(path)
                if own is None:
                    found.append(f"{path}: in no floor; add its folder to the floors of this test")
                    continue
                with open(os.path.join(root, path), encoding="utf-8") as text:
                    for number, line in enumerate(text, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = target_of(root, path, m.group(1))
                        other = folder_of(target)
                        if other is None or other == own:
                            continue
                        (floor, rank), (to_floor, to_rank) = FLOORS[own], FLOORS[other]
                        if to_rank > rank:
                            found.append(f"{path}:{number}: floor {floor} includes \"{m.group(1)}\" of floor "
                                         f"{to_floor}, which lies above it")
                        elif to_rank == rank:
                            found.append(f"{path}:{number}: floor {floor} includes \"{m.group(1)}\" of its "
                                         f"sibling floor {to_floor}")
    return found


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    found = faults(os.path.abspath(root))
    for f in found:
        print(f)
    if found:
        print(f"{len(found)} include(s) against the floors")
        return 1
    print("every include runs down the floors")
    return 0


if __name__ == "__main__":
    sys.exit(main())
