#!/usr/bin/env python3
"""trilat-adjust --full-report: the full report (成果报告) as plain text and as
PDF, read back against the figures of trilat-adjust --json of the same file.

usage: full_report_test.py TRILAT_REPLAY TRILAT_ADJUST SOURCE_DIR
"""
import datetime
import json
import os
import re
import sys

from tooltest import ToolTest

replay, adjust, source = sys.argv[1:4]
test = ToolTest("trilat-full-report-")
check, run, path, work = test.check, test.run, test.path, test.work
own_env = test.env


def saved(answers, name, sigma=None, project=None):
    """An observation file of a replayed run, with an a-priori sigma and a project name edited in."""
    r = run([replay, "--save", path(name)], answers)
    check(r.returncode == 0, f"{name}: replay --save")
    with open(path(name), encoding="utf-8") as f:
        text = f.read()
    head = ""
    if project:
        head += f"\n工程名称 = {project}"
    if sigma:
        head += f"\n先验测边中误差 = {sigma}"
    with open(path(name), "w", encoding="utf-8") as f:
        f.write(text.replace("\nN = ", head + "\nN = ", 1))


def answers_file(name):
    with open(os.path.join(source, name), "rb") as f:
        return f.read()


def chain_answers(n, side=100.0):
    """A run over a chain of n equilateral triangles closing on C without azimuth data
    (the construction of tests/qt/ChainAnswers.cpp)."""
    h = 3 ** 0.5 / 2
    st = [(0.0, 0.0), (0.0, side)]  # A, then route station k at st[k + 1]
    while len(st) < n + 3:
        (ax, ay), (bx, by) = st[-2], st[-1]
        dx, dy, mx, my = bx - ax, by - ay, (ax + bx) / 2, (ay + by) / 2
        p, q = (mx - dy * h, my + dx * h), (mx + dy * h, my - dx * h)
        d2 = lambda u, v: (u[0] - v[0]) ** 2 + (u[1] - v[1]) ** 2
        take_p = d2(p, st[-3]) > d2(q, st[-3]) if len(st) >= 3 else p[0] < q[0]
        st.append(p if take_p else q)
    station = lambda k: st[k + 1]
    number = lambda v: "0" if abs(v) < 1e-9 else f"{v:.10f}".rstrip("0").rstrip(".")
    a = [str(n)]
    C = station(n)
    for v in (*station(-1), *station(0), *C, 0, 0, 0, 0):
        a += [number(v), ""]
    for i in range(2, 2 * n + 2):
        v = side
        if i % 2 == 0:
            (sx, sy), (ex, ey), (ox, oy) = station(i // 2 - 1), station(i // 2), station(i // 2 - 2)
            if (ox - sx) * -(ey - sy) + (oy - sy) * (ex - sx) > 0:
                v = -side
        a += [number(v), ""]
    for k in range(n + 1):
        a += ["B" if k == 0 else ("C" if k == n else f"P{k}"), ""]
    a += [""] * (n + 1)
    return ("\n".join(a) + "\n").encode()


def fan_at_fifty_kilometres():
    """fan4-azimuth drawn 500 times larger (sides of 50 km), every side off by
    millimetres and Qb by 0.2": Qb takes a correction of -0.009" (r = 0.045),
    its v² is 4 % of [pvv], and the error ellipses are 20 to 30 millimetres."""
    off = [0.004, -0.003, 0.005, -0.004, 0.002, -0.005, 0.003, -0.002]  # [m], sides 2..9
    coordinates = ["500000", "500000", "500000", "550000", "456698.72981077805", "575000", "0", "0"]
    sides = [f"{(50000 + e) * (-1 if k == 8 else 1):.3f}" for k, e in zip(range(2, 10), off)]
    a = ["4"]
    for value in coordinates + ["55.00000000", "25.00002"] + sides + ["B", "P1", "P2", "P3", "C"]:
        a += [value, ""]
    return ("\n".join(a + [""] * 5) + "\n").encode()


def packed_degrees(text):
    """Decimal degrees of a packed D.MMSSss text (by hand: degrees, minutes, seconds)."""
    sign = -1 if text.startswith("-") else 1
    d, rest = text.lstrip("-").split(".")
    rest = (rest + "000000")[:6]
    return sign * (int(d) + int(rest[:2]) / 60 + int(rest[2:4]) / 3600 + int(rest[4:6]) / 360000)


def packed(degrees):
    """Decimal degrees as packed D.MMSSss, seconds to 0.01"."""
    h = round(abs(degrees) * 360000)
    return ("-" if degrees < 0 and h else "") + f"{h // 360000}.{h // 6000 % 60:02d}{h % 6000:04d}"


def table(text, heading):
    """The rows of the table below heading, split into cells at runs of blanks."""
    lines = text.split("\n")
    start = lines.index(heading)
    rule = next(i for i in range(start, len(lines)) if lines[i].startswith("---"))
    header = lines[rule - 1]
    rows = []
    for line in lines[rule + 1:]:
        if not line:
            break
        rows.append(line.split())
    return header, rows


def f(value, decimals):
    """As the program writes a figure: fixed decimals, no sign on a figure that shows as zero."""
    text = format(value, f".{decimals}f")
    return text.lstrip("-") if float(text) == 0 else text


today = datetime.date.today().isoformat()
cases = [
    ("d", answers_file("tests/data/golden/with-d-and-re-entries.answers"), None, None),
    ("az", answers_file("tests/fuzz/corpus/fan4-azimuth"), 2, "某某线三角锁"),
    ("worked", answers_file("tests/data/worked-example.answers"), None, None),
    ("fan50km", fan_at_fifty_kilometres(), 20, None),
]
for name, answers, sigma, project in cases:
    saved(answers, name + ".obs", sigma, project)
    r = run([adjust, path(name + ".obs"), "--json", "--full-report", path(name + ".txt")],
            env=dict(own_env, QT_QPA_PLATFORM="no-such-platform"))  # the text report never starts Qt
    check(r.returncode == 0, f"{name}: exit {r.returncode} ({r.stderr.decode()})")
    doc = json.loads(r.stdout)
    with open(path(name + ".txt"), encoding="utf-8") as file:
        text = file.read()
    lines = text.split("\n")
    check(lines[0] == ((project + " ") if project else "") + "三边锁平差成果报告", f"{name}: the title {lines[0]!r}")
    check(lines[1] == "日期：" + today, f"{name}: today's date {lines[1]!r}")
    for word in ("方位角", "中误差"):
        check(word in text, f"{name}: the report holds {word}")

    # every point, its coordinates and precision as the JSON has them
    _, rows = table(text, "四、平差坐标与点位精度")
    check([row[0] for row in rows] == [p["name"] for p in doc["points"]], f"{name}: the points in order")
    for row, p in zip(rows, doc["points"]):
        check(row[1:3] == [f(p["x"], 4), f(p["y"], 4)], f"{name}: coordinates of {p['name']}: {row}")
        e = p["ellipse"]
        figures = [f(p["mx_mm"], 2), f(p["my_mm"], 2), f(p["mp_mm"], 2), f(e["a_mm"], 2), f(e["b_mm"], 2),
                   f(e["azimuth_deg"], 2)]
        known = p["mx_mm"] == 0 and p["my_mm"] == 0
        check(row[3:] == (["-"] * 6 if known else figures), f"{name}: precision of {p['name']}: {row} / {figures}")

    # every side: observed, v [mm], adjusted, r, w
    _, rows = table(text, "二、观测值、改正数与检核")
    sides = [row for row in rows if row[0] != "Qb"]
    check(len(sides) == len(doc["sides"]), f"{name}: a row a side")
    for row, s in zip(sides, doc["sides"]):
        known = s["redundancy"] is None
        want = [str(s["k"]), s["from"], s["to"], f(s["observed"], 4), "已知" if known else f(s["correction"] * 1000, 2),
                f(s["adjusted"], 4), "-" if known else f(s["redundancy"], 3),
                "-" if s["normalised"] is None else f(s["normalised"], 2)]
        check(row == want, f"{name}: side {s['k']}: {row} against {want}")
    o = doc.get("orientation")
    q = [row for row in rows if row[0] == "Qb"]
    check(len(q) == (1 if o else 0), f"{name}: an orientation row where there is an orientation angle")
    if o and q:
        check(q[0][4] == f(o["correction_arcsec"], 2) and q[0][6] == f(o["redundancy"], 3),
              f"{name}: the orientation row {q[0]} against {o}")
        adjusted = packed(packed_degrees(q[0][3]) + o["correction_arcsec"] / 3600)
        check(q[0][5] == adjusted, f"{name}: the adjusted Qb {q[0][5]}, observed {q[0][3]} + v {o['correction_arcsec']}\" = {adjusted}")

    # misclosures, ms and the global test
    m = doc["misclosures"]
    check(f"纵坐标条件闭合差 w2 = {f(m['w2_mm'], 2)} 毫米" in text and f"横坐标条件闭合差 w3 = {f(m['w3_mm'], 2)} 毫米" in text,
          f"{name}: the misclosures")
    check(m["w1_arcsec"] is None or f"方位角条件闭合差 w1 = {f(m['w1_arcsec'], 2)} 秒" in text, f"{name}: w1")
    check(f"单位权测边中误差 ms = {f(doc['ms_mm'], 2)} 毫米" in text, f"{name}: ms")
    g = doc["global_test"]
    if g:
        check(f"[pvv]/σ0² = {f(g['statistic'], 3)}，自由度 {g['dof']}" in text, f"{name}: the global test")
        pvv = sum(s["correction"] ** 2 for s in doc["sides"]) + (o["correction_arcsec"] ** 2 if o else 0)
        check(abs(g["statistic"] - pvv / (sigma * 1e-3) ** 2) <= 1e-9 * g["statistic"],
              f"{name}: [pvv]/σ0² {g['statistic']} against {pvv / (sigma * 1e-3) ** 2}, Qb's v² in [pvv]")
    else:
        check("未作全局检验" in text, f"{name}: the sentence that no global test was made")

# The PDF: every point name, 方位角 and 中误差 in its text, 第 n 页 共 m 页 on
# every page, m the page count pdfinfo gives. Only the build with Qt writes
# PDF (TRILAT_PDF=1).
with_pdf = os.environ.get("TRILAT_PDF") == "1"
if with_pdf:
    saved(chain_answers(120), "long.obs", 2, "长锁")
for name in ("d", "az", "long") if with_pdf else ():
    r = run([adjust, path(name + ".obs"), "--json", "--full-report", path(name + ".pdf")])
    check(r.returncode == 0, f"{name}.pdf: exit {r.returncode} ({r.stderr.decode()})")
    doc = json.loads(r.stdout)
    text = run(["pdftotext", "-layout", path(name + ".pdf"), "-"]).stdout.decode()
    pages = int(re.search(r"Pages:\s+(\d+)", run(["pdfinfo", path(name + ".pdf")]).stdout.decode()).group(1))
    for word in ("方位角", "中误差", "三边锁平差成果报告", "日期：" + today):
        check(word in text, f"{name}.pdf holds {word}")
    words = set(text.split())
    missing = [p["name"] for p in doc["points"] if p["name"] not in words]
    check(missing == [], f"{name}.pdf names every point: missing {missing[:5]}")
    feet = [l.split() for l in text.split("\n") if "共" in l and "页" in l and l.strip().startswith("第")]
    check([(foot[1], foot[4]) for foot in feet] == [(str(n), str(pages)) for n in range(1, pages + 1)],
          f"{name}.pdf: 第 n 页 共 {pages} 页 on every page: {feet[:3]}…")
    check(text.count("\f") == pages, f"{name}.pdf: pdftotext's pages")
    check(name != "long" or pages > 3, f"the long chain fills several pages: {pages}")

# The steps (计算过程): alone, and as a section of the full report; the PDF on A4
# with the full report's page numbers and no drawing page.
r = run([adjust, path("az.obs"), "--steps", path("az-steps.txt"), "--full-report", path("az-with.txt"), "--with-steps"])
check(r.returncode == 0, f"--steps: exit {r.returncode} ({r.stderr.decode()})")
with open(path("az-steps.txt"), encoding="utf-8") as f:
    steps = f.read()
with open(path("az-with.txt"), encoding="utf-8") as f:
    with_steps = f.read()
for word in ("三边锁平差计算过程", "第 1 次线性化（在观测值处）", "4. 条件方程 A·v + w = 0 的系数", "N = A·P^-1·A^T", "联系数 k = -N^-1·w"):
    check(word in steps, f"the steps hold {word}")
check("三边锁平差成果报告" in with_steps and "计算过程（条件平差）" in with_steps
      and with_steps.index("计算过程（条件平差）") > with_steps.index("三边锁平差成果报告"), "--with-steps: a section after the report")
if with_pdf:
    r = run([adjust, path("long.obs"), "--steps", path("long-steps.pdf")])
    check(r.returncode == 0, f"steps PDF: exit {r.returncode} ({r.stderr.decode()})")
    text = run(["pdftotext", "-layout", path("long-steps.pdf"), "-"]).stdout.decode()
    pages = int(re.search(r"Pages:\s+(\d+)", run(["pdfinfo", path("long-steps.pdf")]).stdout.decode()).group(1))
    feet = [l.split() for l in text.split("\n") if "共" in l and "页" in l and l.strip().startswith("第")]
    check(pages > 2 and [(foot[1], foot[4]) for foot in feet] == [(str(n), str(pages)) for n in range(1, pages + 1)],
          f"steps PDF: 第 n 页 共 {pages} 页 on every page")
    check("网图" not in text and "计算过程" in text, "the steps PDF has no drawing page")

# A weighted chain (tests/data/weighted-report.obs: a + b D, the orientation
# angle's own and a side's own standard error) against its golden report
# (tests/data/weighted-report.txt, the day of the report put in). Worked by
# hand from it: side 2 of 2.000004 km has sigma 3 + 2 x 2.000004 = 7.00 mm,
# MDB 4.13 x 7 / sqrt(0.164) = 71.4 mm, lambda 4.13 x sqrt(0.836 / 0.164) = 9.33,
# w = -1.12 / (7 x sqrt(0.164)) = -0.39; side 8 (B-C, both known) r = 1, lambda 0;
# its adjusted standard error ms sqrt((1 - r) sigma^2 / mu0^2) = 3.194 x 0.914 x 7 / 5
# = 4.09 mm, 1/T = 1/(2000003 / 4.09) = 1/489200 to the nearest 100.
golden_obs = os.path.join(source, "tests/data/weighted-report.obs")
r = run([adjust, golden_obs, "--full-report", path("weighted.txt")], env=dict(own_env, QT_QPA_PLATFORM="no-such-platform"))
check(r.returncode == 0, f"the weighted report: exit {r.returncode} ({r.stderr.decode()})")
with open(os.path.join(source, "tests/data/weighted-report.txt"), encoding="utf-8") as file:
    golden = re.sub(r"^日期：\S+$", "日期：" + today, file.read(), count=1, flags=re.M)
with open(path("weighted.txt"), encoding="utf-8") as file:
    got = file.read()
check(got == golden, "the weighted report as its golden file: " +
      next((f"line {i + 1}: {a!r} / {b!r}" for i, (a, b) in enumerate(zip(got.split("\n"), golden.split("\n"))) if a != b),
           "lengths differ"))
if with_pdf:
    r = run([adjust, golden_obs, "--full-report", path("weighted.pdf")])
    text = run(["pdftotext", "-layout", path("weighted.pdf"), "-"]).stdout.decode()
    check(r.returncode == 0 and "MDB" in text and "μ0 = a + b = 5.00" in text, "the weighted PDF report")

# A report of another kind is refused as a bad argument.
r = run([adjust, path("d.obs"), "--full-report", path("d.doc")])
check(r.returncode == 2 and "须以 .pdf 或 .txt 结尾".encode() in r.stderr and not os.path.exists(path("d.doc")), f".doc refused: exit {r.returncode}")
leftovers = [n for n in os.listdir(work) if n.startswith(".")]
check(leftovers == [], f"no temporary file left behind: {leftovers}")
test.finish()
