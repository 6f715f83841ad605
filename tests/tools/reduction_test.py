#!/usr/bin/env python3
"""Sides measured on the ground, reduced to the Gauss plane, as the batch
command and the replayed window give them: the JSON's stages of each side and
the chain's distortion (recomputed here from the stages), the warning above
2.5 cm/km in the summary, the full report and the window's message box, the
plane lengths brought back to the ground, and the refusals. One table of cases.

usage: reduction_test.py TRILAT_REPLAY TRILAT_ADJUST SOURCE_DIR
"""
import json
import os
import sys

from tooltest import ToolTest

replay, adjust, source = sys.argv[1:4]
test = ToolTest("trilat-reduction-")
check, run, path = test.check, test.run, test.path

# The four-triangle chain of the file corpus, moved 150 km east of the central
# meridian 117 (Y + 650000), with the heights of its marks.
with open(os.path.join(source, "tests/fuzz/file-corpus/fan4-azimuth"), encoding="utf-8") as f:
    base = f.read()
for key in ("Ya", "Yb", "Yc"):
    start = base.index(key + " = ") + len(key) + 3
    end = base.index("\n", start)
    base = base[:start] + repr(float(base[start:end]) + 650000) + base[end:]
HEIGHTS = "高程 A = 500\n高程 B = 510\n高程 1 = 520\n高程 2 = 505\n高程 3 = 500\n高程 C = 490\n"
REDUCED = "边长类型 = 平距\n中央子午线 = 117\n" + HEIGHTS
# 6 km from the central meridian, the projection surface at the marks' height
NEAR = "边长类型 = 平距\n中央子午线 = 117\nY加常数 = 645000\n投影面高程 = 500\n" + HEIGHTS

# label, extra lines, arguments after the file, exit status, what must hold
CASES = [
    ("reduced, JSON", REDUCED, ["--json"], 0, "json-reduced"),
    ("plane chain, JSON", "", ["--json"], 0, "json-plane"),
    ("reduced, summary warns", REDUCED, [], 0, "summary-warns"),
    ("near the meridian, no warning", NEAR, [], 0, "summary-quiet"),
    ("back to the ground", REDUCED, ["--plane-to-ground"], 0, "ground"),
    ("a plane chain back to the ground", "中央子午线 = 117\n" + HEIGHTS, ["--plane-to-ground"], 0, "ground"),
    ("back to the ground without a height", "中央子午线 = 117\n" + HEIGHTS.replace("高程 2 = 505\n", ""),
     ["--plane-to-ground"], 2, "缺少「高程 2」"),
    ("back to the ground without a central meridian", HEIGHTS, ["--plane-to-ground"], 2, "缺少「中央子午线」"),
    ("back to the ground with --json", REDUCED, ["--plane-to-ground", "--json"], 2, "不能与 --json 同时使用"),
    ("a reduction without a height", REDUCED.replace("高程 3 = 500\n", ""), [], 2, "缺少「高程 3」"),
]


def stages_hold(doc, label):
    largest = None
    for s in doc["sides"]:
        r = s["reduction"]
        if s["k"] == 1:  # A-B, from the coordinates
            check(r is None, f"{label}: S{s['k']} from coordinates has no reduction")
            continue
        check(r is not None and set(r) == {"measured_m", "horizontal_m", "surface_m", "plane_m", "scale"},
              f"{label}: S{s['k']} has the five stages")
        check(s["observed"] == r["plane_m"], f"{label}: S{s['k']} observed is the plane length")
        check(abs(r["plane_m"] - r["surface_m"] * r["scale"]) < 1e-9, f"{label}: plane = surface x scale")
        check(r["horizontal_m"] == 100 and r["measured_m"] == 100, f"{label}: S{s['k']} measured as typed")
        ratio = (r["plane_m"] - r["horizontal_m"]) / r["horizontal_m"] * 1e5
        if largest is None or abs(ratio) > abs(largest):
            largest = ratio
    check(abs(doc["distortion_cm_per_km"] - largest) < 1e-9, f"{label}: the distortion is the largest of the sides")
    # 150 km east at 500 m: y^2/2R^2 - h/R = 27.8 - 7.9 cm/km, about 20
    check(19 < doc["distortion_cm_per_km"] < 21, f"{label}: about 20 cm/km, not {doc['distortion_cm_per_km']}")


for label, extra, args, status, expect in CASES:
    name = path(label.replace(" ", "_").replace(",", "") + ".obs")
    with open(name, "w", encoding="utf-8") as f:
        f.write(base + extra)
    r = run([adjust, name] + args)
    out, err = r.stdout.decode(), r.stderr.decode()
    check(r.returncode == status, f"{label}: exit {r.returncode}, not {status} ({err})")
    if status != 0:
        check(expect in err and out == "", f"{label}: {expect!r} on standard error only: {err!r}")
        continue
    if expect == "json-reduced":
        stages_hold(json.loads(out), label)
    elif expect == "json-plane":
        doc = json.loads(out)
        check(doc["distortion_cm_per_km"] is None, f"{label}: no distortion")
        check(all(s["reduction"] is None for s in doc["sides"]), f"{label}: no side reduced")
    elif expect == "summary-warns":
        check("边长已由平距归算到高斯平面" in out and "注意：长度变形" in out, f"{label}: {out}")
    elif expect == "summary-quiet":
        check("边长已由平距归算到高斯平面" in out and "注意" not in out, f"{label}: {out}")
    elif expect == "ground":
        rows = [l.split() for l in out.split("平面边长换算到地面")[1].split("\n")[2:] if l.strip()]
        check([int(r[0]) for r in rows] == list(range(1, 10)), f"{label}: every side 1..9: {rows}")
        doc = json.loads(run([adjust, name, "--json"]).stdout)
        for row, side in zip(rows, doc["sides"]):
            plane, ground = float(row[3]), float(row[4])
            check(abs(plane - side["adjusted"]) < 5e-5, f"{label}: S{row[0]} plane is the adjusted length")
            r = side["reduction"]
            if r:  # the reduction run backwards: ground / plane = horizontal / plane_m
                check(abs(ground - side["adjusted"] * r["horizontal_m"] / r["plane_m"]) < 1e-4,
                      f"{label}: S{row[0]} ground {ground}")

# the full report's table, and the window's warning when the run ends
with open(path("reduced_full_report.obs"), "w", encoding="utf-8") as f:
    f.write(base + REDUCED)
r = run([adjust, path("reduced_full_report.obs"), "--full-report", path("f.txt")])
with open(path("f.txt"), encoding="utf-8") as f:
    report = f.read()
check("边长归算表" in report and "高斯平面 (m)" in report and "比例因子" in report, "the full report has the 边长归算表")
check("定向角 Qb 在地面观测" in report and "注意：长度变形" in report, "the full report names δ and warns")
r = run([replay, "--open", path("reduced_full_report.obs")])
lines = r.stdout.decode().split("\n")
check(any(l.startswith("MESSAGE\t注意：长度变形") for l in lines), "the window's run ends with the warning")
check(lines.index(next(l for l in lines if l.startswith("MESSAGE\t注意"))) > lines.index("TEXT\tText20\t现在显示点"),
      "the warning comes after the points")

test.finish()
