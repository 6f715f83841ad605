#!/usr/bin/env python3
"""trilat-adjust as a surveyor's script uses it: exit status, messages,
nothing on standard output for a refused file, and every output file
read back by an independent reader.

usage: batch_command_test.py TRILAT_REPLAY TRILAT_ADJUST SOURCE_DIR
"""
import csv
import json
import math
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

from tooltest import ToolTest

replay, adjust, source = sys.argv[1:4]
test = ToolTest("trilat-batch-")
check, run, path, work = test.check, test.run, test.path, test.work
own_env = test.env


def saved(answers_file, name, edit=None):
    with open(os.path.join(source, answers_file), "rb") as f:
        answers = f.read()
    if edit:
        answers = edit(answers)
    r = run([replay, "--save", path(name), "--report"], answers)
    check(r.returncode == 0, f"{name}: replay --save")
    return [l[7:] for l in r.stdout.decode().split("\n") if l.startswith("REPORT\t")]


# A completed run with every output.
report = saved("tests/data/golden/with-d-and-re-entries.answers", "d.obs")
# the PDF output needs the build with Qt (TRILAT_PDF=1)
with_pdf = os.environ.get("TRILAT_PDF") == "1"
outputs = dict(report="d.txt", pdf="d.pdf", csv="d.csv", dat="d.dat", gama="d.xml")
if not with_pdf:
    del outputs["pdf"]
args = [adjust, path("d.obs"), "--json"]
for option, name in outputs.items():
    args += ["--" + option, path(name)]
r = run(args)
check(r.returncode == 0, f"complete run: exit {r.returncode} ({r.stderr.decode()})")
doc = json.loads(r.stdout)
with open(path("d.txt"), encoding="utf-8") as f:
    check(f.read().split("\n")[:-1] == report, "--report holds the lines of trilat-replay --report")
if with_pdf:
    text = run(["pdftotext", "-layout", path("d.pdf"), "-"]).stdout.decode()
    # the PDF's text reads back as the characters printed (方, 角, 长, 米 too, not look-alike radicals)
    for line in ("由已知边起算的三边锁平差", "平差结果", "单位权测边中误差", "1/py=", "方位角条件闭合差", "观测边长 (米)"):
        check(line in text, f"the PDF holds {line!r}")
    for p in doc["points"]:
        check(p["name"] in text, f"the PDF names point {p['name']}")
    # Qt's own notes in English (here: no runtime folder) are not the command's
    bare = {k: v for k, v in own_env.items() if k != "XDG_RUNTIME_DIR"}
    r = run([adjust, path("d.obs"), "--pdf", path("bare.pdf")], env=bare)
    check(r.returncode == 0 and r.stderr == b"", f"a PDF without a runtime folder: {r.stderr.decode()!r}")
# The command loads no Qt library, itself or through another: its PDF files
# come from trilat-pdf beside it, the one program of the command that does.
# Linked whole (the usual build) it has no dynamic section and ldd names no
# library; linked with shared libraries (TRILAT_STATIC_ADJUST=OFF, the
# sanitizer builds) none of them is Qt's. Either way no Qt code is in it.
needed = run(["readelf", "-d", adjust]).stdout.decode()
loaded = run(["ldd", adjust])
if "(NEEDED)" in needed:
    check("libQt" not in needed, f"trilat-adjust needs no Qt library: {needed}")
    check("libstdc++" in loaded.stdout.decode() and "libQt" not in loaded.stdout.decode(),
          f"nor loads one: {loaded.stdout.decode()}")
else:
    check("There is no dynamic section in this file." in needed, f"trilat-adjust linked whole: {needed}")
    check(b"not a dynamic executable" in loaded.stdout + loaded.stderr,
          f"ldd loads nothing with it: {loaded.stdout + loaded.stderr!r}")
with open(adjust, "rb") as f:
    image = f.read()
check(b"libQt" not in image and b"QCoreApplication" not in image, "no Qt code linked into trilat-adjust")
if with_pdf:
    alone = os.path.join(work, "alone")
    os.mkdir(alone)
    shutil.copy(adjust, alone)
    r = run([os.path.join(alone, os.path.basename(adjust)), path("d.obs"), "--pdf", path("alone.pdf")])
    check(r.returncode == 3 and r.stdout == b"" and r.stderr.decode() ==
          f"trilat-adjust: {path('alone.pdf')}: 无法启动写 PDF 的程序 {alone}/trilat-pdf：没有这个文件或文件夹\n",
          f"without trilat-pdf beside it: exit {r.returncode}, {r.stderr.decode()!r}")
with open(path("d.csv"), encoding="utf-8-sig", newline="") as f:
    rows = list(csv.reader(f))
check(len(rows) == len(doc["points"]) + 1, "the CSV: a header and a row a point")
for row, p in zip(rows[1:], doc["points"]):
    check(row[0] == p["name"] and row[1] == format(p["x"], ".3f") and row[2] == format(p["y"], ".3f"),
          f"the CSV row {row} against {p}")
with open(path("d.dat"), encoding="gbk", newline="") as f:
    dat = [l.split(",") for l in f.read().split("\r\n") if l]
check([d[0] for d in dat] == [p["name"] for p in doc["points"]], "the .dat names, read as GBK")
check(all(d[1] == "" and d[2] == format(p["y"], ".3f") and d[3] == format(p["x"], ".3f") and float(d[4]) == 0
          for d, p in zip(dat, doc["points"])), "the .dat lines: name, empty code, Y, X, H 0")
gama = ET.parse(path("d.xml")).getroot()
distances = [(d.get("from"), d.get("to")) for d in gama.iter() if d.tag.endswith("distance")]
typed = [(s["from"], s["to"]) for s in doc["sides"] if s["k"] not in (1, len(doc["sides"]))]
check(sorted(map(sorted, distances)) == sorted(map(sorted, typed)), "the Gama document holds every typed side once")

# The precision columns of the CSV, as the JSON has them.
check(rows[0][3:] == ["mx(mm)", "my(mm)", "mp(mm)", "E(mm)", "F(mm)", "φ(°)"], f"the CSV precision header {rows[0]}")
for row, p in zip(rows[1:], doc["points"]):
    check(row[3] == format(p["mx_mm"], ".2f") and row[6] == format(p["ellipse"]["a_mm"], ".2f"),
          f"the CSV precision of {p['name']}")

# The checks of the adjustment: every point's precision, every side's
# redundancy, their sum, and no test without an a-priori standard error.
check(doc["iterations"] >= 1 and abs(doc["sum_redundancy"] - 3) < 1e-9, "iterations and the redundancy sum")
check(doc["global_test"] is None and all(s["normalised"] is None for s in doc["sides"]), "no sigma0, no test")
check(all(s["redundancy"] is None for s in doc["sides"] if s["k"] in (1, len(doc["sides"]))), "no r for A-B, C-D")
for p in doc["points"]:
    e = p["ellipse"]
    check(e["a_mm"] >= e["b_mm"] >= 0 and 0 <= e["azimuth_deg"] < 180, f"the ellipse of {p['name']}")
    check(abs(p["mp_mm"] ** 2 - p["mx_mm"] ** 2 - p["my_mm"] ** 2) <= 1e-9 * (1 + p["mp_mm"] ** 2), "mp^2 = mx^2 + my^2")
# sigma0 from the file, and --sigma over it
with open(path("d.obs"), encoding="utf-8") as f:
    obs = f.read()
with open(path("s.obs"), "w", encoding="utf-8") as f:
    f.write(obs.replace("\nN = ", "\n先验测边中误差 = 2\nN = ", 1))
for args, sigma in (([], 2.0), (["--sigma", "4"], 4.0)):
    r = run([adjust, path("s.obs"), "--json"] + args)
    t = json.loads(r.stdout)
    g = t["global_test"]
    vv = sum(s["correction"] ** 2 for s in t["sides"])
    check(r.returncode == 0 and g is not None and g["dof"] == 3 and abs(g["critical"] - 7.8147) < 1e-3,
          f"the global test with sigma0 {sigma}: {g}")
    check(abs(g["statistic"] - vv / (sigma * 1e-3) ** 2) <= 1e-6 * (1 + g["statistic"]), f"[vv]/sigma0^2 with {sigma}")
    check(all(s["normalised"] is not None for s in t["sides"] if s["redundancy"] and s["redundancy"] >= 0.01),
          "a w for every side with r >= 0.01")
# The summary shows the global test with the file's 先验测边中误差 or --sigma, and not without either.
for label, args, shown in (("the file's sigma0", [path("s.obs")], True), ("--sigma", [path("d.obs"), "--sigma", "3"], True),
                           ("no sigma0", [path("d.obs")], False)):
    r = run([adjust] + args)
    lines = r.stdout.decode().split("\n")
    tests = [l for l in lines if l.startswith("全局检验：[pvv]/σ0² = ")]
    check(r.returncode == 0 and len(tests) == (1 if shown else 0), f"the summary's global test, {label}: {lines}")
    check(not shown or ("，自由度 3，χ²(0.95) = 7.815，" in tests[0] and tests[0][-2:] in ("通过", "未通过")),
          f"the global test line, {label}: {tests}")
# An external azimuth: the orientation angle's own check (held almost fixed by
# its weight, r far below 0.01: no w).
saved("tests/fuzz/corpus/fan4-azimuth", "w.obs")
r = run([adjust, path("w.obs"), "--json", "--sigma", "2"])
t = json.loads(r.stdout)
o = t.get("orientation")
check(r.returncode == 0 and o is not None and set(o) == {"correction_arcsec", "redundancy", "normalised", "sigma_arcsec",
                                                         "mdb_arcsec", "bias_to_noise", "weakest_shift_mm"},
      f"the orientation object: {o}")
# sigma0 2 mm: the angle's 0.002 arc seconds, the equal weights' ratio
check(o is not None and o["sigma_arcsec"] == 0.002 and o["mdb_arcsec"] is None, f"the orientation angle's sigma: {o}")

# Weighted sides: the file's distance meter (a + b D), a side's own standard
# error and the orientation angle's; --edm with --orientation-sigma gives the
# same figures without the side's own; --sigma replaces the whole model.
with open(path("w.obs"), encoding="utf-8") as f:
    plain = f.read()
weighted = plain.replace("\nN = ", "\n测距固定误差 = 3\n测距比例误差 = 2\n定向角中误差 = 2.5\nS5 中误差 = 6\nN = ", 1)
with open(path("weighted.obs"), "w", encoding="utf-8") as f:
    f.write(weighted)
r = run([adjust, path("weighted.obs"), "--json"])
t = json.loads(r.stdout)
check(r.returncode == 0 and t["weights"] == {"a_mm": 3, "b_ppm": 2, "mu0_mm": 5}, f"the weights: {t.get('weights')}")
for s in t["sides"]:
    if s["k"] == 1:
        check(s["sigma_mm"] is None and s["mdb_mm"] is None, "no sigma for A-B")
        continue
    expected = 6 if s["k"] == 5 else 3 + 2 * abs(s["observed"]) / 1000
    check(abs(s["sigma_mm"] - expected) < 1e-12, f"sigma of side {s['k']}: {s['sigma_mm']} (expected {expected})")
    if s["redundancy"] >= 0.01:
        check(abs(s["mdb_mm"] - 4.13 * expected / s["redundancy"] ** 0.5) < 1e-9 * s["mdb_mm"], f"the MDB of {s['k']}")
        # a side the chain checks entirely: r = 1 within rounding (1 + 7e-16 seen), lambda 0
        lam = 4.13 * (max(0.0, 1 - s["redundancy"]) / s["redundancy"]) ** 0.5
        check(abs(s["bias_to_noise"] - lam) < 1e-9, f"lambda of {s['k']}")
        check(s["weakest_shift_mm"] is not None and s["weakest_shift_mm"] >= 0, f"the shift by side {s['k']}")
    else:
        check(s["mdb_mm"] is None and s["bias_to_noise"] is None and s["weakest_shift_mm"] is None, f"side {s['k']} unchecked")
check(t["orientation"]["sigma_arcsec"] == 2.5, f"the orientation angle's sigma: {t['orientation']}")
# ms: the a-posteriori standard error of unit weight, sqrt([pvv] / 3), p = mu0^2 / sigma^2
pvv = sum((s["correction"] * 1000 / s["sigma_mm"]) ** 2 for s in t["sides"] if s["sigma_mm"])
pvv += (t["orientation"]["correction_arcsec"] / 2.5) ** 2
check(abs(t["ms_mm"] - 5 * (pvv / 3) ** 0.5) < 1e-5 * t["ms_mm"], f"ms {t['ms_mm']} against {5 * (pvv / 3) ** 0.5}")
check(abs(t["global_test"]["statistic"] - pvv) < 1e-9 * pvv, f"the global test [pvv]/mu0^2: {t['global_test']}")
r = run([adjust, path("w.obs"), "--json", "--edm", "3,2", "--orientation-sigma", "2.5"])
e = json.loads(r.stdout)
check(r.returncode == 0 and e["weights"] == t["weights"], "--edm gives the weights")
check(all(abs(a["sigma_mm"] - 3 - 2 * abs(a["observed"]) / 1000) < 1e-12 for a in e["sides"] if a["k"] > 1),
      "--edm: every side a + b D")
r = run([adjust, path("weighted.obs"), "--json", "--sigma", "2"])
e = json.loads(r.stdout)
check(r.returncode == 0 and e["weights"] is None and all(a["sigma_mm"] in (None, 2) for a in e["sides"]),
      "--sigma replaces the file's weights")
r = run([adjust, path("weighted.obs"), "--gama", path("weighted.xml"), "--csv", path("weighted.csv")])
check(r.returncode == 0, "the weighted exports")
gama = ET.parse(path("weighted.xml")).getroot()
stdevs = [float(d.get("stdev")) for d in gama.iter() if d.tag.endswith("distance")]
check(sorted(stdevs) == sorted(a["sigma_mm"] for a in t["sides"] if a["sigma_mm"]), "the Gama distances' stdev: each side's sigma")
check([float(a.get("stdev")) for a in gama.iter() if a.tag.endswith("angle")] == [2.5], "the Gama angle's stdev")
check([p.get("sigma-apr") for p in gama.iter() if p.tag.endswith("parameters")] == ["5"], "sigma-apr = mu0")
with open(path("weighted.csv"), encoding="utf-8-sig", newline="") as f:
    table = list(csv.reader(f))
at = table.index([])
check(table[at + 1] == ["k", "起点", "终点", "观测值(m)", "v(mm)", "平差值(m)", "σ(mm)", "MDB(mm)", "λ"], f"the CSV sides {table[at + 1]}")
check([int(row[0]) for row in table[at + 2:]] == [s["k"] for s in t["sides"] if s["k"] > 1], "a CSV row per measured side")
check(all(row[6] == format(s["sigma_mm"], ".2f") for row, s in zip(table[at + 2:], t["sides"][1:])), "the CSV sigma column")
check(o is not None and o["redundancy"] < 0.01 and o["normalised"] is None, f"no w of the orientation angle: {o}")
check(abs(t["sum_redundancy"] - 3) < 1e-9, "the redundancy sum with the orientation angle")
# grade limits files of a user's own: one complete, one with a limit without its source
with open(path("limits.txt"), "w", encoding="utf-8") as f:
    f.write("trilat-grade-limits 1\n四等 | 最弱边边长相对中误差 | 1/40000 | 测试 | 1 | 表 1 | 第 1 条\n")
with open(path("nosource.txt"), "w", encoding="utf-8") as f:
    f.write("trilat-grade-limits 1\n# a comment\n四等 | 最弱点点位中误差 | 50 | GB 50026 | 2007 | | \n")
LIMITS, NOSOURCE = path("limits.txt"), path("nosource.txt")
# The adjusted sides: m_S = ms sqrt((1 - r) sigma^2 / mu0^2), m_S / S, and the weakest side.
for s in t["sides"][1:]:
    expected = t["ms_mm"] * (max(0.0, 1 - s["redundancy"]) * (s["sigma_mm"] / 5) ** 2) ** 0.5  # r may be 1 + 7e-16
    check(abs(s["adjusted_sigma_mm"] - expected) <= 1e-6 * expected and
          abs(s["relative"] - expected / 1000 / s["adjusted"]) <= 1e-6 * s["relative"], f"m_S of side {s['k']}: {s}")
check(t["sides"][0]["adjusted_sigma_mm"] is None and t["sides"][0]["azimuth_sigma_arcsec"] == 0, "A-B is fixed")
w = max(t["sides"][1:], key=lambda s: s["relative"])
check(t["weakest_side"] == {"k": w["k"], "from": w["from"], "to": w["to"], "relative": w["relative"]},
      f"the weakest side {t['weakest_side']}")
# The design of the same chain: mu0 in place of ms, the grade against the user's limits.
r = run([adjust, path("weighted.obs"), "--design", "--json", "--grade", "四等", "--limits", LIMITS])
z = json.loads(r.stdout)
check(r.returncode == 0 and z["design"] and z["ms_mm"] == 5 and z["misclosures"]["w2_mm"] == 0, f"the design: {r.stderr}")
checks = {c["item"]: c for c in z["grade"]["checks"]}
weakest = z["weakest_side"]["relative"]
check(z["grade"]["name"] == "四等" and list(checks) == ["平均边长", "测距相对中误差", "最弱边边长相对中误差", "最弱点点位中误差", "三角形个数"],
      f"the grade's checks {z['grade']}")
check(checks["最弱边边长相对中误差"] == {"item": "最弱边边长相对中误差", "value": weakest, "limit": 1 / 40000,
                                      "passed": weakest <= 1 / 40000, "source": "测试 1 表 1 第 1 条"}, f"{checks}")
check(all(c["limit"] is None and c["passed"] is None and c["source"] is None for i, c in checks.items() if i != "最弱边边长相对中误差"),
      "无此项限差: no limit, no verdict")
r = run([adjust, path("weighted.obs"), "--design", "--grade", "四等", "--full-report", path("design.txt")])
with open(path("design.txt"), encoding="utf-8") as f:
    design = f.read()
check(r.returncode == 0 and r.stdout.decode().startswith("精度预估完成\n") and "三边锁精度预估报告" in design
      and "五、等级检核" in design and "无此项限差" in design, "the 精度预估报告")

# Outputs that need no Qt never start it.
env = dict(own_env, QT_QPA_PLATFORM="no-such-platform")
r = run([adjust, path("d.obs"), "--csv", path("q.csv"), "--json"], env=env)
check(r.returncode == 0 and os.path.exists(path("q.csv")), "--json and --csv run without Qt")

# --help: every option on standard output, each with a line of explanation; exit 0.
r = run([adjust, "--help"])
help_lines = r.stdout.decode().split("\n")
check(r.returncode == 0 and r.stderr == b"" and help_lines[0].startswith("用法：trilat-adjust 观测文件"),
      f"--help: exit {r.returncode}, {help_lines[:1]}")
for option in ("--json", "--sigma", "--edm", "--orientation-sigma", "--report", "--pdf", "--csv", "--dat", "--gama", "--dxf",
               "--full-report", "--steps", "--with-steps", "--help"):
    at = [i for i, l in enumerate(help_lines) if l.split(" ")[2:3] == [option]]
    check(len(at) == 1 and at[0] + 1 < len(help_lines) and help_lines[at[0] + 1].startswith("      ")
          and len(help_lines[at[0] + 1].strip()) > 4, f"--help explains {option}")

# The command line's messages: the arguments, the exit status and standard
# error line by line (for bad arguments the usage follows). Nothing goes to
# standard output, and no English is mixed in: what is left of a message
# without the program's name, the paths and the options has no Latin word.
D, folder = path("d.obs"), work
with open(path("locked.obs"), "w", encoding="utf-8") as f:
    f.write("trilat-observations 1\n")
os.chmod(path("locked.obs"), 0)
USAGE = ["用法：trilat-adjust 观测文件 [--json] [--sigma 毫米 | --edm a,b [--orientation-sigma 秒]] [--report 文件.txt]",
         "                     [--pdf 文件.pdf] [--csv 文件.csv] [--dat 文件.dat] [--gama 文件.xml] [--dxf 文件.dxf]",
         "                     [--full-report 文件.pdf|文件.txt] [--steps 文件.pdf|文件.txt] [--with-steps]",
         "                     [--plane-to-ground] [--grade 等级] [--limits 文件] [--design]",
         "（trilat-adjust --help 说明每个选项）"]
W = path("w.obs")  # a chain with an orientation angle
# root reads any file: the permission row runs without the capabilities that let it
as_user = ["setpriv", "--bounding-set=-dac_override,-dac_read_search"] if os.geteuid() == 0 else []
MESSAGES = [
    # label, arguments, exit status, standard error
    ("no arguments", [], 2, ["trilat-adjust: 缺少观测文件"] + USAGE),
    ("only --json", ["--json"], 2, ["trilat-adjust: 缺少观测文件"] + USAGE),
    ("an unknown option", [D, "--bogus"], 2, ["trilat-adjust: 未知的选项 --bogus"] + USAGE),
    ("an option without its value", [D, "--csv"], 2, ["trilat-adjust: 选项 --csv 缺少值"] + USAGE),
    ("an empty value", [D, "--csv", ""], 2, ["trilat-adjust: 选项 --csv 缺少值"] + USAGE),
    ("--sigma without its value", [D, "--sigma"], 2, ["trilat-adjust: 选项 --sigma 缺少值"] + USAGE),
    ("an option twice", [D, "--csv", "a.csv", "--csv", "b.csv"], 2, ["trilat-adjust: 选项 --csv 给了两次"] + USAGE),
    ("two files", [D, D], 2, [f"trilat-adjust: 多余的参数 {D}：只能给一个观测文件"] + USAGE),
    ("--sigma 0", [D, "--sigma", "0"], 2, ["trilat-adjust: --sigma 的值 0 不是正数（先验测边中误差，毫米）"] + USAGE),
    ("--sigma x", [D, "--sigma", "x"], 2, ["trilat-adjust: --sigma 的值 x 不是正数（先验测边中误差，毫米）"] + USAGE),
    ("--sigma -2", [D, "--sigma", "-2"], 2, ["trilat-adjust: --sigma 的值 -2 不是正数（先验测边中误差，毫米）"] + USAGE),
    ("--edm with --sigma", [D, "--sigma", "2", "--edm", "2,2"], 2,
     ["trilat-adjust: --sigma 与 --edm 不能同时给出：前者给所有边同一个中误差，后者按边长给出各边的中误差"] + USAGE),
    ("--edm one number", [D, "--edm", "2"], 2,
     ["trilat-adjust: --edm 的值 2 应是「a,b」：a 毫米、b 毫米每千米，都不小于零，不能都为零（例如 2,2）"] + USAGE),
    ("--edm zero", [D, "--edm", "0,0"], 2,
     ["trilat-adjust: --edm 的值 0,0 应是「a,b」：a 毫米、b 毫米每千米，都不小于零，不能都为零（例如 2,2）"] + USAGE),
    ("--orientation-sigma alone", [W, "--orientation-sigma", "2"], 2,
     ["trilat-adjust: --orientation-sigma 只与 --edm 一起给出"] + USAGE),
    ("--orientation-sigma 0", [W, "--edm", "2,2", "--orientation-sigma", "0"], 2,
     ["trilat-adjust: --orientation-sigma 的值 0 不是正数（定向角中误差，秒）"] + USAGE),
    ("--edm without the angle's sigma", [W, "--edm", "2,2"], 2,
     ["trilat-adjust: 这条三角锁有定向角：与 --edm 一起须以 --orientation-sigma 给出定向角中误差（秒）"]),
    ("--orientation-sigma without an angle", [D, "--edm", "2,2", "--orientation-sigma", "2"], 2,
     ["trilat-adjust: 这条三角锁没有定向角：--orientation-sigma 不适用"]),
    ("a full report neither PDF nor text", [D, "--full-report", "r.doc"], 2,
     ["trilat-adjust: --full-report 的文件名 r.doc 须以 .pdf 或 .txt 结尾"] + USAGE),
    ("steps neither PDF nor text", [D, "--steps", "s.doc"], 2,
     ["trilat-adjust: --steps 的文件名 s.doc 须以 .pdf 或 .txt 结尾"] + USAGE),
    ("--with-steps without a full report", [D, "--with-steps"], 2,
     ["trilat-adjust: --with-steps 须与 --full-report 一起用"] + USAGE),
    ("a grade the limits lack", [D, "--grade", "五等"], 2, ["trilat-adjust: 等级「五等」不在程序的限差中"]),
    ("a grade a user's limits lack", [D, "--grade", "二级", "--limits", LIMITS], 2,
     [f"trilat-adjust: 等级「二级」不在限差文件 {LIMITS} 中"]),
    ("--limits without a grade", [D, "--limits", LIMITS], 2, ["trilat-adjust: --limits 须有等级：文件中的「等级」或 --grade"]),
    ("a limit without its source", [D, "--grade", "四等", "--limits", NOSOURCE], 2,
     [f"trilat-adjust: {NOSOURCE}: 第 3 行：限差 50 没有完整的出处：标准、版本、表、条都须写明"]),
    ("--design with --report", [D, "--design", "--report", "r.txt"], 2,
     ["trilat-adjust: --design 不能与 --report 同时使用：精度预估没有观测值"] + USAGE),
    ("--design without mu0", [D, "--design"], 2,
     ["trilat-adjust: 精度预估须有先验单位权中误差：在观测文件中给出测距固定误差与测距比例误差（或先验测边中误差），或用 --edm / --sigma"]),
    ("no such file", [path("missing.obs")], 2, [f"trilat-adjust: {path('missing.obs')}: 无法读取：没有这个文件或文件夹"]),
    ("no permission", [path("locked.obs")], 2, [f"trilat-adjust: {path('locked.obs')}: 无法读取：没有权限"]),
    ("a folder", [folder], 2, [f"trilat-adjust: {folder}: 无法读取：这是一个文件夹，不是文件"]),
    ("an output in no folder", [D, "--csv", path("no/such.csv")], 3,
     [f"trilat-adjust: {path('no/such.csv')}: 无法在文件夹中建立临时文件以写入「{path('no/such.csv')}」：没有这个文件或文件夹"]),
]
for label, args, status, expected in MESSAGES:
    r = run((as_user if label == "no permission" else []) + [adjust] + args)
    lines = r.stderr.decode().split("\n")[:-1]
    check(r.returncode == status and r.stdout == b"" and lines == expected,
          f"{label}: exit {r.returncode}, {lines} (expected {status}, {expected})")
    rest = r.stderr.decode().replace("trilat-adjust", "")
    for a in sorted((a for a in args if "/" in a or "." in a), key=len, reverse=True):
        rest = rest.replace(a, "")
    rest = re.sub(r"--[a-z-]+|\.(txt|pdf|csv|dat|xml|dxf)\b", "", rest)
    check(not re.search(r"[A-Za-z]{2,}", rest), f"{label}: English in {rest!r}")
# Standard output on a full disk is a failure named, not a success; an output
# named /dev/stdout goes there and the device stays what it was.
with open("/dev/full", "wb") as full:
    r = subprocess.run([adjust, D, "--json"], stdout=full, stderr=subprocess.PIPE, timeout=120, env=own_env)
check(r.returncode == 3 and r.stderr.decode() == "trilat-adjust: 标准输出：无法写入：磁盘已满\n",
      f"a full standard output: exit {r.returncode}, {r.stderr.decode()!r}")
r = run([adjust, D, "--csv", "/dev/stdout"])
check(r.returncode == 0 and r.stdout.startswith("\ufeff".encode()) and os.path.exists("/dev/stdout")
      and not os.path.isfile("/dev/stdout"), f"--csv /dev/stdout: exit {r.returncode}, {r.stdout[:40]!r}")
with open(path("bad.obs"), "w", encoding="utf-8") as f:
    f.write("trilat-observations 1\nN = 2\nXa = zero\n")
r = run([adjust, path("bad.obs"), "--json", "--csv", path("bad.csv")])
check(r.returncode == 2 and r.stdout == b"", f"a bad value: exit {r.returncode}")
check("第 3 行" in r.stderr.decode(), f"the message names the line: {r.stderr.decode()!r}")
check(not os.path.exists(path("bad.csv")), "a bad file writes no output")

# A triangle the adjustment cannot solve, edited into a saved file: exit 2 at
# the line of the side that completes it, with the dialogue's reason.
with open(path("d.obs"), encoding="utf-8") as f:
    lines = f.read().split("\n")
s4 = next(i for i, l in enumerate(lines) if l.replace(" ", "").startswith("S4="))
lines[s4] = "S4 = 99999"
with open(path("impossible.obs"), "w", encoding="utf-8") as f:
    f.write("\n".join(lines))
r = run([adjust, path("impossible.obs"), "--json"])
message = r.stderr.decode()
check(r.returncode == 2 and r.stdout == b"", f"an impossible triangle: exit {r.returncode}")
check(f"第 {s4 + 2} 行" in message and "第2个三角形" in message and "S4=99999" in message and "不能构成三角形" in message,
      f"the message names the line and the triangle: {message!r}")

# A computation that ends with a fault: exit 1, the fault named, no output file.
# The nearly flat triangle 5 with half a metre of error on its long side: the
# iterated solution cannot close it, the corrected sides stop forming it.
saved("tests/properties/data/flat-triangle-noise.answers", "flat.obs",
      lambda a: a.replace(b"-2999.997000000\n", b"-2999.500000000\n"))
r = run([adjust, path("flat.obs"), "--json", "--csv", path("flat.csv"), "--report", path("flat.txt")])
check(r.returncode == 1, f"a fault: exit {r.returncode}")
fault = json.loads(r.stdout)
check(fault["status"] == "failed" and "第5个三角形" in fault["fault"], "the fault in the JSON document")
check(fault["misclosures"]["w2_mm"] is not None and fault["weakest"]["name"] is None, "figures before the fault")
check(fault["iterations"] is None and fault["global_test"] is None, "no checks of a failed run")
check("第5个三角形" in r.stderr.decode(), "the fault on standard error")
check(not os.path.exists(path("flat.csv")) and not os.path.exists(path("flat.txt")), "a fault writes no output")

# The same chain as measured, with the left/right of S6 typed wrong (its sign
# reversed): the message names triangle 3 and S6, not the flat triangle 5.
saved("tests/properties/data/flat-triangle-noise.answers", "flat-measured.obs")
with open(path("flat-measured.obs"), encoding="utf-8") as f:
    lines = f.read().split("\n")
s6 = next(i for i, l in enumerate(lines) if l.replace(" ", "").startswith("S6="))
check(lines[s6].replace(" ", "") == "S6=-3000.000000000", f"S6 of the chain: {lines[s6]!r}")
lines[s6] = "S6 = 3000.000000000"
with open(path("s6.obs"), "w", encoding="utf-8") as f:
    f.write("\n".join(lines))
r = run([adjust, path("s6.obs"), "--json", "--csv", path("s6.csv")])
message = r.stderr.decode()
check(r.returncode == 1 and not os.path.exists(path("s6.csv")), f"a wrong sign: exit {r.returncode}")
check("从第3个三角形开始出现：S6 的左右可能输错了：改为右侧后，闭合差为 wb = " in message and "第5个三角形" not in message,
      f"the wrong sign on standard error: {message!r}")
doc = json.loads(r.stdout)
d = doc["diagnosis"]
check(d["verdict"] == "one_sign" and d["first_triangle"] == 3 and d["dof"] == 3, f"the diagnosis: {d}")
check(d["candidates"][0]["side"] == 6 and d["candidates"][0]["typed_sign"] == 1 and d["statistic"] > d["critical"],
      f"the candidate S6: {d['candidates'][0]}")
check(d["candidates"][0]["statistic"] <= d["critical"] < d["candidates"][1]["statistic"], "only S6 passes the test")
check(d["text"] in doc["fault"] and d["text"] in message, "the diagnosis's words in the fault")
check(fault["diagnosis"] is not None and fault["diagnosis"]["verdict"] == "no_single_sign",
      "half a metre on a side of the flat triangle: no sign explains it")
check(json.loads(run([adjust, path("d.obs"), "--json"]).stdout)["diagnosis"] is None, "a completed run: no diagnosis")

# An output that cannot be written: exit 3, nothing on standard output.
r = run([adjust, path("d.obs"), "--json", "--csv", path("no/such/folder.csv")])
check(r.returncode == 3 and r.stdout == b"", f"an unwritable output: exit {r.returncode}")
# A name the .dat cannot hold refuses the export, naming the point; no output is written.
saved("tests/data/worked-example.answers", "emoji.obs",
      lambda a: a.replace(b"P1\n", "P\U0001F600\n".encode()))
r = run([adjust, path("emoji.obs"), "--csv", path("emoji.csv"), "--dat", path("emoji.dat")])
check(r.returncode == 3 and r.stdout == b"", f"a name outside the .dat encoding: exit {r.returncode}")
check("P" in r.stderr.decode() and not os.path.exists(path("emoji.csv")), "the refusal names the point, no CSV")

leftovers = [n for n in os.listdir(work) if n.startswith(".")]  # half-written outputs
check(leftovers == [], f"no temporary file left behind: {leftovers}")
# A chain long enough (more than 8192 points and sides) that the JSON's points
# and sides are formatted by two threads, block by block: the document reads,
# every point and side comes once and in order, and two runs give the same bytes.
# The chain: a strip of 4100 equilateral triangles of 100 m, closing on C.
def strip_file(n, side=100.0):
    h = math.sqrt(3) / 2
    st = [(0.0, 0.0), (0.0, side)]  # A, then B; station k is st[k + 1]
    d2 = lambda a, b: (a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2
    for _ in range(n):
        a, b = st[-2], st[-1]
        dx, dy, m = b[0] - a[0], b[1] - a[1], ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)
        p, q = (m[0] - dy * h, m[1] + dx * h), (m[0] + dy * h, m[1] - dx * h)
        st.append(p if (d2(p, st[-3]) > d2(q, st[-3]) if len(st) >= 3 else p[0] < q[0]) else q)
    station = lambda k: st[k + 1]
    lines = ["trilat-observations 1", f"N = {n}"]
    C = station(n)
    for key, v in zip(("Xa", "Ya", "Xb", "Yb", "Xc", "Yc"), (*station(-1), *station(0), *C)):
        lines.append(f"{key} = {v:.10f}")
    lines += ["Xd = 0", "Yd = 0", "Tb = 0", "Qb = 0"]
    for i in range(2, 2 * n + 2):
        value = side
        if i % 2 == 0:  # the cross side is negative when it lies right of the route leg
            s_, e, off = station(i // 2 - 1), station(i // 2), station(i // 2 - 2)
            if (off[0] - s_[0]) * -(e[1] - s_[1]) + (off[1] - s_[1]) * (e[0] - s_[0]) > 0:
                value = -value
        lines.append(f"S{i} = {value:.10f}")
    lines.append("点名 B = B")
    lines += [f"点名 {k} = P{k}" for k in range(1, n)]
    lines.append("点名 C = C")
    return "\n".join(lines) + "\n"

with open(path("strip.obs"), "w", encoding="utf-8") as f:
    f.write(strip_file(4100))
first, second = run([adjust, path("strip.obs"), "--json"]), run([adjust, path("strip.obs"), "--json"])
check(first.returncode == 0 and first.stdout == second.stdout, f"a long chain twice: exit {first.returncode} {first.stderr.decode()!r}")
if first.returncode == 0:
    long_doc = json.loads(first.stdout)
    names = [p["name"] for p in long_doc["points"]]
    check(names == ["B"] + [f"P{k}" for k in range(1, 4100)] + ["C"], f"the long chain's points in order: {names[:3]} … {names[-3:]}")
    check([s["k"] for s in long_doc["sides"]] == list(range(1, 2 * 4100 + 2)), "the long chain's sides in order")
    check(len(names) + len(long_doc["sides"]) > 8192, "enough items for two threads")

test.finish()
