#!/usr/bin/env python3
"""trilat-adjust --dxf read back by ezdxf (Debian's python3-ezdxf): every
point, name, side and ellipse where the JSON document of the same run (and
the file's typed A and D) puts them, DXF x = Y and y = X; the texts the
names, hostile ones too; ezdxf's audit clean.

usage: dxf_test.py TRILAT_REPLAY TRILAT_ADJUST SOURCE_DIR
(run by a python3 that has ezdxf)
"""
import json
import math
import os
import re
import sys

import ezdxf
from ezdxf.lldxf.encoding import decode_dxf_unicode
from ezdxf.tools.text import caret_decode

from tooltest import ToolTest

replay, adjust, source = sys.argv[1:4]
test = ToolTest("trilat-dxf-")
check, run, path = test.check, test.run, test.path
LAYERS = {"KNOWN_POINTS", "NEW_POINTS", "POINT_NAMES", "SIDES", "ERROR_ELLIPSES", "ELLIPSE_SCALE"}


def saved(answers_file, name, names=None):
    """The observation file of the answers' last run, names replaced (the
    file's own escapes) where given."""
    with open(os.path.join(source, answers_file), "rb") as f:
        r = run([replay, "--save", path(name)], f.read())
    check(r.returncode == 0, f"{name}: replay --save")
    with open(path(name), encoding="utf-8") as f:
        text = f.read()
    for which, value in (names or {}).items():
        text = re.sub(rf"^点名 {which} = .*$", lambda _: f"点名 {which} = {value}", text, count=1, flags=re.M)
    with open(path(name), "w", encoding="utf-8") as f:
        f.write(text)
    return text


def shown(raw):
    """A TEXT value as CAD shows it: \\U+XXXX and caret notation read with
    the file, then %%% a percent sign (any other %% code a symbol, here NUL)."""
    return re.sub("%%(.)", lambda m: "%" if m.group(1) == "%" else "\0", caret_decode(decode_dxf_unicode(raw)))


def near(a, b, tolerance=1e-6):
    return all(abs(p - q) <= tolerance * max(1.0, abs(p)) for p, q in zip(a, b))


def is_round(v):
    return any(abs(v / (s * 10 ** math.floor(math.log10(v / s) + 1e-9)) - 1) < 1e-9 for s in (1, 2, 5))


def drawing(name, obs):
    r = run([adjust, path(name + ".obs"), "--json", "--dxf", path(name + ".dxf")])
    check(r.returncode == 0, f"{name}: exit {r.returncode} ({r.stderr.decode()})")
    doc = json.loads(r.stdout)
    with open(path(name + ".dxf"), "rb") as f:
        check(f.read().isascii(), f"{name}: the file is plain ASCII, every other character escaped")
    dxf = ezdxf.readfile(path(name + ".dxf"))
    audit = dxf.audit()
    check(dxf.dxfversion == "AC1015", f"{name}: version {dxf.dxfversion}")
    check(not audit.errors and not audit.fixes, f"{name}: audit {audit.errors} {audit.fixes}")
    check(LAYERS <= {layer.dxf.name for layer in dxf.layers}, f"{name}: the layers")
    msp = dxf.modelspace()
    on = lambda kind, layer: [e for e in msp.query(kind) if e.dxf.layer == layer]

    # expected: the report's points from the JSON (B and C with zero cofactors
    # are known), A and D at their typed coordinates
    typed = dict(re.findall(r"^(X[ad]|Y[ad]) = (\S+)", obs, flags=re.M))
    points = [(p["name"], p["y"], p["x"], p["qxx"] == p["qyy"] == 0) for p in doc["points"]]
    for end in ("a", "d"):
        if float(typed["X" + end]) or float(typed["Y" + end]):  # no D: both zero
            points.append((end.upper(), float(typed["Y" + end]), float(typed["X" + end]), True))
    at = {n: (y, x) for n, y, x, _ in reversed(points)}
    for layer, known in (("KNOWN_POINTS", True), ("NEW_POINTS", False)):
        want = sorted((y, x) for _, y, x, k in points if k == known)
        got = sorted((e.dxf.location.x, e.dxf.location.y) for e in on("POINT", layer))
        check(len(got) == len(want) and all(near(g, w) for g, w in zip(got, want)), f"{name}: {layer} {got} {want}")
    triangles = [[v[:2] for v in e.get_points()] for e in on("LWPOLYLINE", "KNOWN_POINTS") if e.closed]
    centres = sorted((sum(v[0] for v in t) / 3, sum(v[1] for v in t) / 3) for t in triangles)
    check(all(len(t) == 3 for t in triangles) and all(near(c, w, 1e-9) for c, w in
          zip(centres, sorted((y, x) for _, y, x, k in points if k))), f"{name}: a triangle at every known point")
    circles = sorted((e.dxf.center.x, e.dxf.center.y) for e in on("CIRCLE", "NEW_POINTS"))
    check(circles == sorted((y, x) for _, y, x, k in points if not k), f"{name}: a circle at every new point")

    sides = sorted(sorted([at[s["from"]], at[s["to"]]]) for s in doc["sides"])
    lines = sorted(sorted([(e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y)]) for e in on("LINE", "SIDES"))
    check(len(lines) == len(sides) and all(near(l[0], s[0]) and near(l[1], s[1]) for l, s in zip(lines, sides)),
          f"{name}: a line for every side")
    median = sorted(math.dist(*s) for s in sides)[len(sides) // 2]

    texts = on("TEXT", "POINT_NAMES")
    check(sorted(shown(t.dxf.text) for t in texts) == sorted(n for n, *_ in points), f"{name}: the texts are the names")
    for t in texts:
        if shown(t.dxf.text) not in at:
            continue  # failed above
        y, x = at[shown(t.dxf.text)]
        dx, dy = t.dxf.insert.x - y, t.dxf.insert.y - x
        check(0 < dx < median / 5 and 0 < dy < median / 5, f"{name}: {t.dxf.text} upper right of its point")
    style = dxf.styles.get("CHINESE")
    check(all(t.dxf.style == "CHINESE" for t in msp.query("TEXT")) and style.dxf.font == "simsun.ttc",
          f"{name}: the Chinese text style")

    # the magnification from the caption: round, the largest ellipse at most
    # half the median side, the next round factor more
    captions = [shown(t.dxf.text) for t in on("TEXT", "ELLIPSE_SCALE")]
    found = [re.fullmatch(r"误差椭圆 (\d+|0\.0*[125]) mm（放大 (\d+) 倍）", c) for c in captions]
    check(len(found) == 1 and found[0], f"{name}: the caption {captions}")
    mm, m = float(found[0].group(1)), float(found[0].group(2))
    largest = max(p["ellipse"]["a_mm"] for p in doc["points"])
    check(is_round(m) and m * largest / 1000 <= median / 2 < 2.5 * m * largest / 1000,
          f"{name}: the magnification {m} (largest {largest} mm, median side {median} m)")
    check(is_round(mm) and mm <= largest < 2.5 * mm, f"{name}: the bar's {mm} mm")
    bar = [e for e in on("LINE", "ELLIPSE_SCALE") if abs(e.dxf.start.y - e.dxf.end.y) < 1e-9]
    check(len(bar) == 1 and abs(abs(bar[0].dxf.end.x - bar[0].dxf.start.x) - mm * m / 1000) < 1e-9,
          f"{name}: the bar drawn as long as a {mm} mm ellipse")

    ellipses = on("ELLIPSE", "ERROR_ELLIPSES")
    want = [p for p in doc["points"] if p["ellipse"]["a_mm"] > 0]
    check(len(ellipses) == len(want), f"{name}: an ellipse for every new point")
    for p in want:
        e = p["ellipse"]
        phi = math.radians(e["azimuth_deg"])
        axis = (m * e["a_mm"] / 1000 * math.sin(phi), m * e["a_mm"] / 1000 * math.cos(phi))
        match = [q for q in ellipses if near((q.dxf.center.x, q.dxf.center.y), (p["y"], p["x"]))]
        check(len(match) == 1 and near((match[0].dxf.major_axis.x, match[0].dxf.major_axis.y), axis, 1e-9)
              and abs(match[0].dxf.ratio - e["b_mm"] / e["a_mm"]) < 1e-9, f"{name}: the ellipse of {p['name']}")


# A chain with D, and one with an external azimuth.
drawing("d", saved("tests/data/golden/with-d-and-re-entries.answers", "d.obs"))
drawing("w", saved("tests/fuzz/corpus/fan4-azimuth", "w.obs"))
# Names in Chinese and names that would be read as DXF's codes.
hostile = {"B": "北京^J%%p", "1": r"旧\\新\\U+4E2D^\s100%", "2": r"两行\n名字%%%c\t", "C": "%%%%d^^"}
drawing("hostile", saved("tests/fuzz/corpus/fan4-azimuth", "hostile.obs", hostile))

# A character beyond U+FFFF: refused naming the point, no file, exit 3.
saved("tests/data/worked-example.answers", "emoji.obs", {"1": "P\U0001F600"})
r = run([adjust, path("emoji.obs"), "--dxf", path("emoji.dxf")])
check(r.returncode == 3 and "P\U0001F600" in r.stderr.decode() and not os.path.exists(path("emoji.dxf")),
      f"a name beyond U+FFFF: exit {r.returncode} {r.stderr.decode()!r}")
test.finish()
